#include "IniOut.h"

#include <QColor>
#include <QCursor>
#include <QGuiApplication>
#include <QLocale>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QPoint>
#include <QRegularExpression>
#include <QScreen>
#include <QSize>
#include <QWindow>
#include <algorithm>
#include <functional>
#include <optional>

#include "Registry.h"
#include "Text.h"

namespace {

struct TItem {
  QString Component;
  QString Property;
  QString Default;
  QString Key;
  QString ValueName;
  bool ReadOnly = false;
};

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

enum class TPart { Whole, X, Y, Width, Height };

enum class TKind {
  Integer,
  Colour,
  Cursor,
  Boolean,
  Enumeration,
  Set,
  Character,
  Float,
  String,
  StringList,
  Component,
  Unsupported
};

struct TPropertyRef {
  QObject* Object = nullptr;
  QMetaProperty Property;
  TPart Part = TPart::Whole;
};

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

}  // namespace

// Notes where a window stood as it is put away (not minimised), before the window manager
// takes back a maximised window's size.
class TLastPlacement : public QObject {
 public:
  explicit TLastPlacement(QWidget* window) : QObject(window), FWindow(window) {
    window->installEventFilter(this);
  }
  // The window's place and size as last shown, while it is put away.
  std::optional<QRect> Placement() const { return FWindow->isVisible() ? std::nullopt : FPut; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == FWindow && event->type() == QEvent::Hide && !event->spontaneous())
      FPut = QRect(FWindow->pos(), FWindow->size());
    return false;
  }

 private:
  QWidget* FWindow;
  std::optional<QRect> FPut;
};

TIniOut::TIniOut(QWidget* window) : FWindow(window) {
  if (window && window->isWindow())
    FLastPlacement = new TLastPlacement(window);
}

TIniOut::~TIniOut() {
  delete FLastPlacement;
}

void TIniOut::SetFileName(const QString& name) {
  if (name.isEmpty()) {
    FFileName.clear();
    return;
  }
  const int folderEnd =
      std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
  const int dot = name.lastIndexOf(QLatin1Char('.'));
  const QString stem = dot > folderEnd ? name.left(dot) : name;
  FFileName = (stem + QStringLiteral(".INI")).toUpper();
}

void TIniOut::RestoreWindowState() {
  if (!FWindow)
    return;
  TRegistry registry;
  const bool reachable = FRegistryRoot == TRegistryRoot::CurrentUser;
  bool placed = false;
  for (const QString& text : FItems) {
    const std::optional<TItem> item = ParseItem(text);
    if (!item)
      continue;
    const std::optional<TPropertyRef> ref = Locate(FWindow, *item);
    if (!ref || !ref->Property.isWritable())
      continue;
    QString value = item->Default;
    if (reachable && registry.OpenKey(item->Key, false) && registry.ValueExists(item->ValueName)) {
      value = registry.ReadString(item->ValueName);
    }
    registry.CloseKey();
    const TKind kind = KindOf(*ref);
    if (const std::optional<QVariant> converted = FromText(*ref, kind, value, FWindow)) {
      WriteValue(*ref, *converted);
      placed = placed || (ref->Object == FWindow.data() && ref->Part != TPart::Whole);
    }
  }
  if (placed)
    KeepOnScreen();
}

QList<QRect> TIniOut::AvailableScreens() const {
  if (!FScreens.isEmpty())
    return FScreens;
  QList<QRect> areas;
  for (const QScreen* screen : QGuiApplication::screens())
    areas.append(screen->availableGeometry());
  return areas;
}

namespace {
qint64 Area(const QRect& rect) {
  return rect.isEmpty() ? 0 : qint64(rect.width()) * rect.height();
}

// Squared distance between the centres, to find the screen nearest a window on none.
qint64 Distance(const QRect& a, const QRect& b) {
  const QPoint d = a.center() - b.center();
  return qint64(d.x()) * d.x() + qint64(d.y()) * d.y();
}
}  // namespace

QRect TIniOut::FitOnScreens(const QRect& placed, const QList<QRect>& screens,
                            const QMargins& frame) {
  if (screens.isEmpty() || placed.isEmpty())
    return placed;
  const QRect window(placed.topLeft(), placed.size().grownBy(frame));
  qint64 onScreens = 0;
  bool topOnScreen = false;
  const QRect topEdge(window.left(), window.top(), window.width(), 1);
  const QRect* nearest = &screens.first();
  for (const QRect& screen : screens) {
    const qint64 overlap = Area(window.intersected(screen));
    onScreens += overlap;
    topOnScreen = topOnScreen || screen.intersects(topEdge);
    const qint64 best = Area(window.intersected(*nearest));
    if (overlap > best ||
        (best == 0 && overlap == 0 && Distance(window, screen) < Distance(window, *nearest))) {
      nearest = &screen;
    }
  }
  QRect fitted = window;
  fitted.setSize(window.size().boundedTo(nearest->size()));
  const bool mostlyOff = onScreens * 2 < Area(window);
  if (!mostlyOff && topOnScreen && fitted.size() == window.size())
    return placed;
  if (mostlyOff || !topOnScreen) {
    fitted.moveLeft(
        std::clamp(fitted.left(), nearest->left(), nearest->right() - fitted.width() + 1));
    fitted.moveTop(
        std::clamp(fitted.top(), nearest->top(), nearest->bottom() - fitted.height() + 1));
  } else {
    // Shrunk only: keep it in the screen from where it stood.
    fitted.moveLeft(std::min(fitted.left(), nearest->right() - fitted.width() + 1));
    fitted.moveTop(std::min(fitted.top(), nearest->bottom() - fitted.height() + 1));
    fitted.moveLeft(std::max(fitted.left(), nearest->left()));
    fitted.moveTop(std::max(fitted.top(), nearest->top()));
  }
  return QRect(fitted.topLeft(), fitted.size().shrunkBy(frame));
}

namespace {
// Fits a window once more when it first shows on screen: only then does the window manager's
// frame around it have a size.
class TFitWhenShown : public QObject {
 public:
  TFitWhenShown(QWidget* window, std::function<void()> fit)
      : QObject(window), FWindow(window), FFit(std::move(fit)) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == FWindow && event->type() == QEvent::Show && FWindow->windowHandle()) {
      FWindow->removeEventFilter(this);
      FWindow->windowHandle()->installEventFilter(this);
    } else if (watched == FWindow->windowHandle() && event->type() == QEvent::Expose &&
               FWindow->windowHandle()->isExposed()) {
      FWindow->windowHandle()->removeEventFilter(this);
      FFit();
      deleteLater();
    }
    return false;
  }

 private:
  QWidget* FWindow;
  std::function<void()> FFit;
};
}  // namespace

void TIniOut::KeepOnScreen() {
  if (!FWindow || !FWindow->isWindow())
    return;
  QWidget* window = FWindow;
  const QList<QRect> screens = AvailableScreens();
  // Both fits start from the stored place: the second, with the frame known, is the one that
  // counts.
  const QRect stored(window->pos(), window->size());
  auto fit = [window, screens, stored] {
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    const QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                           frame.right() - client.right(), frame.bottom() - client.bottom());
    const QRect fitted = FitOnScreens(stored, screens, margins);
    if (fitted.topLeft() != window->pos())
      window->move(fitted.topLeft());
    if (fitted.size() != window->size())
      window->resize(fitted.size());
  };
  fit();
  if (!window->isVisible())
    new TFitWhenShown(window, fit);
}

void TIniOut::StoreWindowState() {
  if (!FWindow || FRegistryRoot != TRegistryRoot::CurrentUser)
    return;
  TRegistry registry;
  for (const QString& text : FItems) {
    const std::optional<TItem> item = ParseItem(text);
    if (!item || item->ReadOnly)
      continue;
    const std::optional<TPropertyRef> ref = Locate(FWindow, *item);
    if (!ref || !ref->Property.isReadable())
      continue;
    std::optional<QString> value = ToText(*ref, KindOf(*ref));
    const std::optional<QRect> put = FLastPlacement ? FLastPlacement->Placement() : std::nullopt;
    if (put && ref->Object == FWindow.data() && ref->Part != TPart::Whole)
      value = QString::number(PartOf(*put, ref->Part));
    if (!value || !registry.OpenKey(item->Key, true))
      continue;
    registry.WriteString(item->ValueName, *value);
    registry.CloseKey();
  }
  registry.Flush();
}
