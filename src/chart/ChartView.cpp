#include "ChartView.h"

#include <QCursor>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "BracketList.h"
#include "ChartEntry.h"
#include "ChartGeometry.h"
#include "ChartPicture.h"

namespace {
// Zoom to fit never shows the chart smaller than this; a smaller window scrolls.
constexpr double kSmallestFit = 0.25;
constexpr int kWheelStep = 120;
}  // namespace

// The picture control: paints the view's canvas and hands its events to the view.
class TChartImage : public QWidget {
 public:
  explicit TChartImage(TChartView* view) : QWidget(nullptr), FView(view) {
    setObjectName(QStringLiteral("imgBrackets"));
    setFixedSize(ChartGeometry::kWidth, ChartGeometry::kHeight);
    setMouseTracking(true);
    setAcceptDrops(true);
    setCursor(Qt::ArrowCursor);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (!FView->FCanvas)
      return;
    QPainter painter(this);
    // At actual size the chart's own picture, pixel for pixel.
    if (FView->FScale == 1.0) {
      painter.drawImage(0, 0, FView->FCanvas->Image());
    } else {
      painter.drawImage(0, 0, FView->ZoomedImage(devicePixelRatioF()));
    }
  }
  void mousePressEvent(QMouseEvent* event) override {
    FView->MouseDown(FView->MakeMouse(event->position(), event->button(), event->buttons(),
                                      event->modifiers(), false));
  }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    const auto mouse = FView->MakeMouse(event->position(), event->button(), event->buttons(),
                                        event->modifiers(), true);
    // The second click of a double-click is a press too.
    FView->MouseDown(mouse);
    FView->MouseDoubleClick(mouse);
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    FView->MouseMove(FView->MakeMouse(event->position(), Qt::NoButton, event->buttons(),
                                      event->modifiers(), false));
  }
  // A name the chart shows in short tells itself whole; elsewhere the window's own tip.
  bool event(QEvent* event) override {
    if (event->type() == QEvent::ToolTip) {
      const auto* help = static_cast<QHelpEvent*>(event);
      const QString name = FView->WholeName(FView->ChartPoint(help->pos()));
      if (!name.isEmpty()) {
        QToolTip::showText(help->globalPos(), name, this);
        return true;
      }
    }
    return QWidget::event(event);
  }
  // Off the picture no name is under the pointer.
  void leaveEvent(QEvent*) override { FView->Hover(nullptr); }
  void dragEnterEvent(QDragEnterEvent* event) override { DragOver(event); }
  void dragMoveEvent(QDragMoveEvent* event) override { DragOver(event); }
  void dropEvent(QDropEvent* event) override {
    const auto drop = FView->MakeDrop(event->mimeData(), event->source(), event->position());
    if (!FView->DragOver(drop)) {
      event->ignore();
      return;
    }
    event->acceptProposedAction();
    FView->DragDrop(drop);
  }

 private:
  void DragOver(QDropEvent* event) {
    const auto drop = FView->MakeDrop(event->mimeData(), event->source(), event->position());
    if (FView->DragOver(drop)) {
      event->acceptProposedAction();
    } else {
      event->ignore();
    }
  }

  TChartView* FView;
};

TChartView::TChartView(QWidget* parent) : QScrollArea(parent), FPicture(new TChartImage(this)) {
  setObjectName(QStringLiteral("sbxBracket"));
  setWidgetResizable(false);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setWidget(FPicture);
  CreateZoomActions();
}

TChartView::~TChartView() = default;

QWidget* TChartView::Picture() const {
  return FPicture;
}

QPoint TChartView::ChartPoint(const QPointF& picturePoint) const {
  if (FScale == 1.0)
    return picturePoint.toPoint();
  return QPoint(static_cast<int>(std::floor(picturePoint.x() / FScale)),
                static_cast<int>(std::floor(picturePoint.y() / FScale)));
}

QImage TChartView::Image() const {
  return FCanvas ? FCanvas->Image() : QImage();
}

void TChartView::SetChart(const TBracketList* chart) {
  FChart = chart;
  FHoverSlot = nullptr;
  RefreshChart();
}

void TChartView::SetBackground(const TBracketBitmap& background) {
  FBackground = background;
  RefreshChart();
}

void TChartView::RefreshChart() {
  if (!FBackground)
    return;
  FCanvas = FBackground;
  FCanvas->DrawAllSlots(FChart);
  if (FHoverSlot)
    FCanvas->DrawSlot(FHoverSlot, true);
  FZoomed = QImage();
  FPicture->update();
}

TBracketItem* TChartView::HitSlot(const QPoint& point) const {
  return FChart ? FChart->HitSlot(point.x(), point.y()) : nullptr;
}

TBracketItem* TChartView::HitSlotForTeam(const QPoint& point, const TChartEntry* team) const {
  return FChart ? FChart->HitSlotForTeam(point.x(), point.y(), team) : nullptr;
}

QString TChartView::WholeName(const QPoint& point) const {
  const TBracketItem* slot = HitSlot(point);
  if (!slot || !slot->Team())
    return {};
  // The name under the mouse is drawn bold, the widest it is ever drawn.
  const QString& name = slot->Team()->TeamName();
  const TFittedText fitted =
      FitText(name, kChartTextPixelSize, true, ChartGeometry::NameRoom(slot->TextBox()).width());
  return fitted.Shortened(name) ? name : QString();
}

void TChartView::Hover(TBracketItem* slot) {
  if (slot == FHoverSlot)
    return;
  TBracketItem* const old = FHoverSlot;
  FHoverSlot = slot;
  if (!FCanvas)
    return;
  FCanvas->DrawSlot(slot, true);
  FCanvas->DrawSlot(old, false);
  FZoomed = QImage();
  FPicture->update();
}

TChartView::TChartMouse TChartView::MakeMouse(const QPointF& at, Qt::MouseButton button,
                                              Qt::MouseButtons buttons,
                                              Qt::KeyboardModifiers modifiers,
                                              bool doubleClick) const {
  const QPoint point = ChartPoint(at);
  TChartMouse mouse;
  mouse.Button = button;
  mouse.Buttons = buttons;
  mouse.Modifiers = modifiers;
  mouse.Point = point;
  mouse.Slot = HitSlot(point);
  mouse.DoubleClick = doubleClick;
  return mouse;
}

TChartView::TChartDrop TChartView::MakeDrop(const QMimeData* data, QObject* source,
                                            const QPointF& at) const {
  const QPoint point = ChartPoint(at);
  TChartDrop drop;
  drop.Data = data;
  // While our own drag runs, whatever is dropped is what it carries, even where the drag
  // machinery names no source (a test running the drag in QDrag's place).
  drop.FromThisChart = source == FPicture || FDragging;
  drop.Point = point;
  drop.Slot = HitSlot(point);
  return drop;
}

void TChartView::MouseDown(const TChartMouse& mouse) {
  if (OnMouseDown)
    OnMouseDown(mouse);
}

void TChartView::MouseDoubleClick(const TChartMouse& mouse) {
  if (OnDoubleClick)
    OnDoubleClick(mouse);
}

void TChartView::MouseMove(const TChartMouse& mouse) {
  Hover(mouse.Slot);
  if (OnMouseMove)
    OnMouseMove(mouse);
}

bool TChartView::DragOver(const TChartDrop& drop) {
  return OnDragOver && OnDragOver(drop);
}

void TChartView::DragDrop(const TChartDrop& drop) {
  if (OnDragDrop)
    OnDragDrop(drop);
}

void TChartView::StartDrag(int slotNumber) {
  auto data = SlotMimeData(slotNumber);
  FDragging = true;
  if (FDragRunner) {
    FDragRunner(std::move(data));
  } else {
    auto* drag = new QDrag(FPicture);
    drag->setMimeData(data.release());
    drag->exec(Qt::MoveAction);
  }
  FDragging = false;
  // A drag sends no moves and no leave: the bold name follows where the pointer ended up.
  const QPoint at = FPicture->mapFromGlobal(QCursor::pos());
  Hover(FPicture->visibleRegion().contains(at) ? HitSlot(at) : nullptr);
}

std::unique_ptr<QMimeData> TChartView::TeamMimeData(const QString& teamName) {
  auto data = std::make_unique<QMimeData>();
  data->setData(kTeamMimeType, teamName.toUtf8());
  return data;
}

std::unique_ptr<QMimeData> TChartView::SlotMimeData(int slotNumber) {
  auto data = std::make_unique<QMimeData>();
  data->setData(kSlotMimeType, QByteArray::number(slotNumber));
  return data;
}

QString TChartView::TeamFromMime(const QMimeData* data, bool* has) {
  const bool carries = data && data->hasFormat(kTeamMimeType);
  if (has)
    *has = carries;
  return carries ? QString::fromUtf8(data->data(kTeamMimeType)) : QString();
}

int TChartView::SlotFromMime(const QMimeData* data) {
  if (!data || !data->hasFormat(kSlotMimeType))
    return 0;
  bool ok = false;
  const int slot = data->data(kSlotMimeType).toInt(&ok);
  return ok && slot >= 1 && slot <= ChartPaths::kSlotCount ? slot : 0;
}

// --- Zoom ----------------------------------------------------------------------------------

void TChartView::CreateZoomActions() {
  auto make = [this](const QString& caption, const QString& hint, const QList<QKeySequence>& keys,
                     void (TChartView::*handler)()) {
    auto* action = new QAction(caption, this);
    action->setToolTip(hint.section(QLatin1Char('|'), 0, 0).trimmed());
    action->setStatusTip(hint.section(QLatin1Char('|'), -1).trimmed());
    action->setShortcuts(keys);
    connect(action, &QAction::triggered, this, handler);
    return action;
  };
  actViewZoomToFit =
      make(QStringLiteral("Zoom to &Fit"),
           QStringLiteral("Zoom to Fit | Show the whole chart as large as the window allows"),
           {QKeySequence(Qt::CTRL | Qt::Key_0)}, &TChartView::ZoomToFit);
  actViewActualSize = make(QStringLiteral("&Actual Size"),
                           QStringLiteral("Actual Size | Show the chart at its own size"),
                           {QKeySequence(Qt::CTRL | Qt::Key_1)}, &TChartView::ActualSize);
  // Ctrl and = as well: on many keyboards the plus sign needs Shift.
  actViewZoomIn =
      make(QStringLiteral("Zoom &In"), QStringLiteral("Zoom In | Show the chart larger"),
           {QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)}, &TChartView::ZoomIn);
  actViewZoomOut =
      make(QStringLiteral("Zoom &Out"), QStringLiteral("Zoom Out | Show the chart smaller"),
           {QKeySequence::ZoomOut}, &TChartView::ZoomOut);
  for (QAction* action : ZoomActions())
    action->setShortcutContext(Qt::WindowShortcut);
}

QList<QAction*> TChartView::ZoomActions() const {
  return {actViewZoomToFit, actViewActualSize, actViewZoomIn, actViewZoomOut};
}

void TChartView::SetZoomSetting(int setting) {
  ChooseZoom(setting, viewport()->rect().center());
}

void TChartView::ZoomIn() {
  ChooseZoom(NextStep(+1), viewport()->rect().center());
}

void TChartView::ZoomOut() {
  ChooseZoom(NextStep(-1), viewport()->rect().center());
}

void TChartView::ChooseZoom(int setting, const QPoint& anchor) {
  if (setting != kZoomToFit)
    setting = std::clamp(setting, kZoomSteps.front(), kZoomSteps.back());
  const bool changed = setting != FZoomSetting;
  FZoomSetting = setting;
  // Fitted, the chart stands in the middle of the room; otherwise in its top-left corner, as
  // at its own size it always has.
  setAlignment(setting == kZoomToFit ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop);
  ApplyScale(setting == kZoomToFit ? FitScale() : setting / 100.0, anchor);
  if (changed)
    emit ZoomChanged();
}

int TChartView::NextStep(int direction) const {
  // From a size between the steps (zoomed to fit), the step beyond it.
  const int percent = static_cast<int>(std::lround(FScale * 100));
  if (direction > 0) {
    const auto above = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), percent);
    return above == kZoomSteps.end() ? kZoomSteps.back() : *above;
  }
  const auto below = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), percent);
  return below == kZoomSteps.begin() ? kZoomSteps.front() : *(below - 1);
}

QSize TChartView::UsefulSize(const QSize& margin) const {
  if (FZoomSetting == kZoomToFit)
    return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  return FPicture->size() + margin;
}

double TChartView::FitScale() const {
  const QSize room = maximumViewportSize();
  const double scale = std::min(static_cast<double>(room.width()) / ChartGeometry::kWidth,
                                static_cast<double>(room.height()) / ChartGeometry::kHeight);
  return std::max(scale, kSmallestFit);
}

void TChartView::ApplyScale(double scale, const QPoint& anchor) {
  // The chart point under the anchor, and where it will be once the picture has its new size.
  const QPointF picturePoint = FPicture->mapFrom(viewport(), anchor);
  const QPointF chartPoint = picturePoint / FScale;
  FScale = scale;
  FZoomed = QImage();
  FPicture->setFixedSize(static_cast<int>(std::floor(ChartGeometry::kWidth * scale)),
                         static_cast<int>(std::floor(ChartGeometry::kHeight * scale)));
  const QPointF moved = chartPoint * scale - QPointF(anchor);
  horizontalScrollBar()->setValue(static_cast<int>(std::lround(moved.x())));
  verticalScrollBar()->setValue(static_cast<int>(std::lround(moved.y())));
  FPicture->update();
}

const QImage& TChartView::ZoomedImage(qreal ratio) {
  const QSize size = FPicture->size() * ratio;
  if (FZoomed.size() == size || !FCanvas)
    return FZoomed;
  FZoomed = QImage(size, QImage::Format_RGB32);
  FZoomed.setDevicePixelRatio(ratio);
  QPainter painter(&FZoomed);
  painter.scale(FScale, FScale);
  FCanvas->Paint(painter);
  return FZoomed;
}

void TChartView::resizeEvent(QResizeEvent* event) {
  QScrollArea::resizeEvent(event);
  if (FZoomSetting == kZoomToFit)
    ApplyScale(FitScale(), viewport()->rect().center());
}

void TChartView::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) {
    QScrollArea::wheelEvent(event);
    return;
  }
  // Ctrl and the wheel zoom about the point under the mouse, a step a notch.
  const int notches = event->angleDelta().y() / kWheelStep;
  for (int i = 0; i < std::abs(notches); ++i)
    ChooseZoom(NextStep(notches), event->position().toPoint());
  event->accept();
}
