#include "StoredProperties.h"

#include <QColor>
#include <QCursor>
#include <QLocale>
#include <QMetaEnum>
#include <QPoint>
#include <QRegularExpression>
#include <QSize>
#include <QWidget>

#include "Text.h"

namespace StoredProperties {
namespace {

// The controls a window owns: its children, but not those of another window inside it (a
// tips dialog owned by the builder keeps its own check box).
QObject* FindComponent(QObject* parent, const QString& name) {
  for (QObject* child : parent->children()) {
    if (child->objectName() == name)
      return child;
    const QWidget* widget = qobject_cast<QWidget*>(child);
    if (widget && widget->isWindow())
      continue;
    if (QObject* found = FindComponent(child, name))
      return found;
  }
  return nullptr;
}

QObject* Resolve(QWidget* window, const QString& name) {
  if (name == window->objectName())
    return window;
  return FindComponent(window, name);
}

std::optional<TPropertyRef> FindProperty(QObject* object, const QString& name) {
  struct TAlias {
    const char* Stored;
    const char* Qt;
    TPart Part;
  };
  static const TAlias kAliases[] = {{"Left", "pos", TPart::X},
                                    {"Top", "pos", TPart::Y},
                                    {"Width", "size", TPart::Width},
                                    {"Height", "size", TPart::Height}};
  const QMetaObject* meta = object->metaObject();
  for (const TAlias& alias : kAliases) {
    if (name != QLatin1String(alias.Stored))
      continue;
    const int index = meta->indexOfProperty(alias.Qt);
    if (index >= 0)
      return TPropertyRef{object, meta->property(index), alias.Part};
  }
  QString qtName = name;
  int index = meta->indexOfProperty(qtName.toLatin1().constData());
  if (index < 0) {
    qtName[0] = qtName.at(0).toLower();
    index = meta->indexOfProperty(qtName.toLatin1().constData());
  }
  if (index < 0)
    return std::nullopt;
  return TPropertyRef{object, meta->property(index), TPart::Whole};
}

QVariant ReadValue(const TPropertyRef& ref) {
  const QVariant value = ref.Property.read(ref.Object);
  switch (ref.Part) {
    case TPart::X:
      return value.toPoint().x();
    case TPart::Y:
      return value.toPoint().y();
    case TPart::Width:
      return value.toSize().width();
    case TPart::Height:
      return value.toSize().height();
    case TPart::Whole:
      break;
  }
  return value;
}

QMetaEnum CursorShapes() {
  return QMetaEnum::fromType<Qt::CursorShape>();
}

// The members of a set, written as "[First,Second]": the single-bit flags that are on, each
// under its first name (Qt gives some flags a second one).
QString SetToText(const QMetaEnum& flags, int value) {
  QStringList names;
  unsigned named = 0;
  for (int i = 0; i < flags.keyCount(); ++i) {
    const unsigned bit = static_cast<unsigned>(flags.value(i));
    const bool single = bit != 0 && (bit & (bit - 1)) == 0;
    if (single && (static_cast<unsigned>(value) & bit) && !(named & bit)) {
      names << QLatin1String(flags.key(i));
      named |= bit;
    }
  }
  return QLatin1Char('[') + names.join(QLatin1Char(',')) + QLatin1Char(']');
}

int TextToSet(const QMetaEnum& flags, const QString& text) {
  static const QRegularExpression kSeparators(QStringLiteral("[^A-Za-z0-9_]+"));
  const QStringList words = text.split(kSeparators, Qt::SkipEmptyParts);
  int value = 0;
  for (int i = 0; i < flags.keyCount(); ++i) {
    if (words.contains(QLatin1String(flags.key(i))))
      value |= flags.value(i);
  }
  return value;
}

}  // namespace

std::optional<TItem> ParseItem(const QString& text) {
  const QStringList fields = text.split(QLatin1Char(';'));
  auto field = [&fields](int n) {
    return n <= fields.size() ? TrimBlanksAndControls(fields.at(n - 1)) : QString();
  };
  TItem item{field(1), field(2), field(3), field(4), field(5), field(7) == QLatin1String("1")};
  if (item.Component.isEmpty() || item.Property.isEmpty() || item.Key.isEmpty() ||
      item.ValueName.isEmpty()) {
    return std::nullopt;
  }
  return item;
}

TKind KindOf(const TPropertyRef& ref) {
  if (ref.Part != TPart::Whole)
    return TKind::Integer;
  const QMetaProperty& property = ref.Property;
  if (property.isFlagType())
    return TKind::Set;
  if (property.isEnumType())
    return TKind::Enumeration;
  const QMetaType type = property.metaType();
  switch (type.id()) {
    case QMetaType::Bool:
      return TKind::Boolean;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::SChar:
      return TKind::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
      return TKind::Float;
    case QMetaType::QChar:
    case QMetaType::Char:
      return TKind::Character;
    case QMetaType::QString:
      return TKind::String;
    case QMetaType::QStringList:
      return TKind::StringList;
    case QMetaType::QColor:
      return TKind::Colour;
    case QMetaType::QCursor:
      return TKind::Cursor;
    default:
      break;
  }
  if (type.flags() & QMetaType::PointerToQObject)
    return TKind::Component;
  return TKind::Unsupported;
}

bool WriteValue(const TPropertyRef& ref, const QVariant& value) {
  if (ref.Part == TPart::Whole)
    return ref.Property.write(ref.Object, value);
  QVariant whole = ref.Property.read(ref.Object);
  const int n = value.toInt();
  switch (ref.Part) {
    case TPart::X: {
      QPoint point = whole.toPoint();
      point.setX(n);
      whole = point;
      break;
    }
    case TPart::Y: {
      QPoint point = whole.toPoint();
      point.setY(n);
      whole = point;
      break;
    }
    case TPart::Width: {
      QSize size = whole.toSize();
      size.setWidth(n);
      whole = size;
      break;
    }
    case TPart::Height: {
      QSize size = whole.toSize();
      size.setHeight(n);
      whole = size;
      break;
    }
    case TPart::Whole:
      break;
  }
  return ref.Property.write(ref.Object, whole);
}

int PartOf(const QRect& placement, TPart part) {
  switch (part) {
    case TPart::X:
      return placement.x();
    case TPart::Y:
      return placement.y();
    case TPart::Width:
      return placement.width();
    case TPart::Height:
      return placement.height();
    case TPart::Whole:
      break;
  }
  return 0;
}

std::optional<QString> ToText(const TPropertyRef& ref, TKind kind) {
  const QVariant value = ReadValue(ref);
  switch (kind) {
    case TKind::Integer:
      if (value.metaType().id() == QMetaType::ULongLong ||
          value.metaType().id() == QMetaType::ULong)
        return QString::number(value.toULongLong());
      return QString::number(value.toLongLong());
    case TKind::Colour: {
      const QColor colour = value.value<QColor>();
      return colour.alpha() == 255 ? colour.name() : colour.name(QColor::HexArgb);
    }
    case TKind::Cursor: {
      const int shape = value.value<QCursor>().shape();
      const char* key = CursorShapes().valueToKey(shape);
      return key ? QString::fromLatin1(key) : QString::number(shape);
    }
    case TKind::Boolean:
      return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case TKind::Enumeration: {
      const char* key = ref.Property.enumerator().valueToKey(value.toInt());
      if (!key)
        return std::nullopt;
      return QString::fromLatin1(key);
    }
    case TKind::Set:
      return SetToText(ref.Property.enumerator(), value.toInt());
    case TKind::Character:
      return QString(value.toChar());
    case TKind::Float:
      return QLocale::c().toString(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case TKind::String:
      return value.toString();
    case TKind::StringList:
      return value.toStringList().join(QLatin1Char('|'));
    case TKind::Component: {
      const QObject* component = value.value<QObject*>();
      return component ? component->objectName() : QString();
    }
    case TKind::Unsupported:
      break;
  }
  return std::nullopt;
}

std::optional<QVariant> FromText(const TPropertyRef& ref, TKind kind, const QString& text,
                                 QWidget* window) {
  bool ok = false;
  switch (kind) {
    case TKind::Integer: {
      const qlonglong n = text.toLongLong(&ok);
      if (!ok)
        return std::nullopt;
      return QVariant(n);
    }
    case TKind::Colour: {
      const QColor named(text);
      if (named.isValid())
        return QVariant(named);
      const uint rgb = text.toUInt(&ok);
      if (!ok)
        return std::nullopt;
      return QVariant(QColor::fromRgb(rgb));
    }
    case TKind::Cursor: {
      int shape = CursorShapes().keyToValue(text.toLatin1().constData(), &ok);
      if (!ok)
        shape = text.toInt(&ok);
      if (!ok || shape < 0 || shape > Qt::LastCursor)
        return std::nullopt;
      return QVariant(QCursor(static_cast<Qt::CursorShape>(shape)));
    }
    case TKind::Boolean:
      return QVariant(!text.isEmpty() && QStringLiteral("1TYty").contains(text.at(0)));
    case TKind::Enumeration: {
      const int value = ref.Property.enumerator().keyToValue(text.toLatin1().constData(), &ok);
      if (!ok)
        return std::nullopt;
      return QVariant(value);
    }
    case TKind::Set:
      return QVariant(TextToSet(ref.Property.enumerator(), text));
    case TKind::Character:
      if (text.isEmpty())
        return std::nullopt;
      return QVariant(text.at(0));
    case TKind::Float: {
      const double value = QLocale::c().toDouble(text, &ok);
      if (!ok)
        return std::nullopt;
      return QVariant(value);
    }
    case TKind::String:
      return QVariant(text);
    case TKind::StringList:
      return QVariant(text.split(QLatin1Char('|')));
    case TKind::Component: {
      if (text.isEmpty())
        return QVariant::fromValue<QObject*>(nullptr);
      QObject* component = Resolve(window, text);
      if (!component)
        return std::nullopt;
      return QVariant::fromValue(component);
    }
    case TKind::Unsupported:
      break;
  }
  return std::nullopt;
}

// The item's component and property, when the window has them.
std::optional<TPropertyRef> Locate(QWidget* window, const TItem& item) {
  QObject* component = Resolve(window, item.Component);
  if (!component)
    return std::nullopt;
  return FindProperty(component, item.Property);
}

}  // namespace StoredProperties
