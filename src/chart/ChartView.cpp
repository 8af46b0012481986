#include "ChartView.h"

#include <QCursor>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include "BracketList.h"
#include "ChartGeometry.h"

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
    painter.drawImage(0, 0, FView->FCanvas->Image());
  }
  void mousePressEvent(QMouseEvent* event) override {
    FView->MouseDown(FView->MakeMouse(event->position().toPoint(), event->button(),
                                      event->buttons(), event->modifiers(), false));
  }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    const auto mouse = FView->MakeMouse(event->position().toPoint(), event->button(),
                                        event->buttons(), event->modifiers(), true);
    // The second click of a double-click is a press too.
    FView->MouseDown(mouse);
    FView->MouseDoubleClick(mouse);
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    FView->MouseMove(FView->MakeMouse(event->position().toPoint(), Qt::NoButton, event->buttons(),
                                      event->modifiers(), false));
  }
  // Off the picture no name is under the pointer.
  void leaveEvent(QEvent*) override { FView->Hover(nullptr); }
  void dragEnterEvent(QDragEnterEvent* event) override { DragOver(event); }
  void dragMoveEvent(QDragMoveEvent* event) override { DragOver(event); }
  void dropEvent(QDropEvent* event) override {
    const auto drop =
        FView->MakeDrop(event->mimeData(), event->source(), event->position().toPoint());
    if (!FView->DragOver(drop)) {
      event->ignore();
      return;
    }
    event->acceptProposedAction();
    FView->DragDrop(drop);
  }

 private:
  void DragOver(QDropEvent* event) {
    const auto drop =
        FView->MakeDrop(event->mimeData(), event->source(), event->position().toPoint());
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
}

TChartView::~TChartView() = default;

QWidget* TChartView::Picture() const {
  return FPicture;
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
  FPicture->update();
}

TBracketItem* TChartView::HitSlot(const QPoint& point) const {
  return FChart ? FChart->HitSlot(point.x(), point.y()) : nullptr;
}

TBracketItem* TChartView::HitSlotForTeam(const QPoint& point, const TChartEntry* team) const {
  return FChart ? FChart->HitSlotForTeam(point.x(), point.y(), team) : nullptr;
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
  FPicture->update();
}

TChartView::TChartMouse TChartView::MakeMouse(const QPoint& point, Qt::MouseButton button,
                                              Qt::MouseButtons buttons,
                                              Qt::KeyboardModifiers modifiers,
                                              bool doubleClick) const {
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
                                            const QPoint& point) const {
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
  return ok && slot >= 1 && slot <= 127 ? slot : 0;
}
