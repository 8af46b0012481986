#pragma once

#include <QMetaProperty>
#include <QRect>
#include <QString>
#include <QVariant>
#include <optional>

class QObject;
class QWidget;

// The properties of a window and its controls as the stored window state names them, and
// their values as the text it keeps: the items TIniOut reads and writes.
namespace StoredProperties {

// One item: "component;property;default;key;value name;unused;read only".
struct TItem {
  QString Component;
  QString Property;
  QString Default;
  QString Key;
  QString ValueName;
  bool ReadOnly = false;
};

// An item's fields, or nothing when one it needs is empty.
std::optional<TItem> ParseItem(const QString& text);

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

// The item's component and property, when the window has them.
std::optional<TPropertyRef> Locate(QWidget* window, const TItem& item);
TKind KindOf(const TPropertyRef& ref);
bool WriteValue(const TPropertyRef& ref, const QVariant& value);
// One part of a window's place and size.
int PartOf(const QRect& placement, TPart part);
// The property's value as stored text, and stored text as a value for it; nothing when it
// cannot be written or read so. A component is named by its object name within `window`.
std::optional<QString> ToText(const TPropertyRef& ref, TKind kind);
std::optional<QVariant> FromText(const TPropertyRef& ref, TKind kind, const QString& text,
                                 QWidget* window);

}  // namespace StoredProperties
