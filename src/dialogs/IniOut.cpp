#include "IniOut.h"

#include <QGuiApplication>
#include <QPoint>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <functional>
#include <optional>

#include "Registry.h"
#include "StoredProperties.h"

using namespace StoredProperties;

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
