#pragma once

#include <QImage>
#include <QPoint>
#include <QScrollArea>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "BracketBitmap.h"

class QAction;
class QMimeData;
class TBracketItem;
class TBracketList;
class TChartEntry;
class TChartImage;

// The one chart widget: a bracket chart's picture in a scroll area. It draws the names of the
// chart it is given, the name under the mouse in bold, and turns mouse presses, moves,
// double-clicks and drag and drop into calls of the handlers a window plugs in, each with the
// chart point and the slot hit there. It knows nothing of teams, players or files: what a
// click or a drop means is the window's business.
//
// At actual size a point on the picture control is a point of the chart, and the picture is
// the chart's own two-colour one. Zoomed (the View menu's commands, or Ctrl and the mouse
// wheel), the chart is drawn afresh at the larger or smaller size from its geometry and its
// texts, and every point of the control is turned back into a chart point before anything is
// hit-tested, so clicks, drags and the bold name under the mouse work alike at every zoom.
//
// The chart it shows belongs to the pool's document: a window sets it when the pool is
// replaced (SetChart(nullptr) on AboutToBeReplaced, the new chart on Replaced) and calls
// RefreshChart when the document says the chart changed.
class TChartView : public QScrollArea {
  Q_OBJECT
  // The zoom as a window keeps it with its state: in percent, or kZoomToFit.
  Q_PROPERTY(int zoom READ ZoomSetting WRITE SetZoomSetting)

 public:
  static constexpr int kZoomToFit = 0;
  static constexpr int kActualSize = 100;
  // The sizes Zoom In and Zoom Out step through, in percent.
  static constexpr std::array<int, 10> kZoomSteps = {50, 67, 75, 100, 125, 150, 200, 250, 300, 400};

  // What a drag carries. A team dragged from a list: its name, UTF-8. A team dragged from a
  // chart picture: the number of the slot the drag started on, in decimal.
  static inline const QString kTeamMimeType = QStringLiteral("application/x-courtsider-team");
  static inline const QString kSlotMimeType = QStringLiteral("application/x-courtsider-slot");

  // A mouse event on the picture, in chart pixels.
  struct TChartMouse {
    Qt::MouseButton Button = Qt::NoButton;  // the button that went down (none for a move)
    Qt::MouseButtons Buttons;               // every button held
    Qt::KeyboardModifiers Modifiers;
    QPoint Point;
    TBracketItem* Slot = nullptr;  // HitSlot at the point
    bool DoubleClick = false;      // the press is the second click of a double-click
  };
  // A drag over the picture, or its drop.
  struct TChartDrop {
    const QMimeData* Data = nullptr;
    bool FromThisChart = false;  // the drag started on this picture
    QPoint Point;
    TBracketItem* Slot = nullptr;  // HitSlot at the point
  };

  explicit TChartView(QWidget* parent = nullptr);
  ~TChartView() override;

  // The chart to draw and hit-test; null shows the bare picture and hits nothing.
  void SetChart(const TBracketList* chart);
  const TBracketList* Chart() const { return FChart; }
  // The picture the names are written over (the chart picture with the window's titles);
  // copied.
  void SetBackground(const TBracketBitmap& background);
  // Copies the background afresh and writes the name of every slot, the hovered one bold.
  void RefreshChart();

  // The picture control inside the scroll area; at actual size its coordinates are chart
  // pixels.
  QWidget* Picture() const;
  // The chart point under a point of the picture control.
  QPoint ChartPoint(const QPointF& picturePoint) const;
  // What is shown now.
  QImage Image() const;
  // The slot drawn bold under the mouse, or null.
  TBracketItem* HoverSlot() const { return FHoverSlot; }

  TBracketItem* HitSlot(const QPoint& point) const;
  // The whole name of the entry at a chart point when the chart can only show it in short
  // (the picture's tip then shows it); empty otherwise.
  QString WholeName(const QPoint& point) const;
  TBracketItem* HitSlotForTeam(const QPoint& point, const TChartEntry* team) const;

  // --- Zoom --------------------------------------------------------------------------------
  int ZoomSetting() const { return FZoomSetting; }
  // A percent outside the steps' range is taken to the nearest end of it.
  void SetZoomSetting(int setting);
  // Picture pixels per chart pixel, as shown now.
  double Scale() const { return FScale; }
  void ZoomToFit() { SetZoomSetting(kZoomToFit); }
  void ActualSize() { SetZoomSetting(kActualSize); }
  void ZoomIn();
  void ZoomOut();
  // The largest this view is any use at: the picture at its zoom and `margin` (room for the
  // frame and the scroll bars); while it zooms to fit, as much room as there is.
  QSize UsefulSize(const QSize& margin) const;
  // The View menu's commands, for the window's menu: Zoom to Fit (Ctrl+0), Actual Size
  // (Ctrl+1), Zoom In (Ctrl++) and Zoom Out (Ctrl+-).
  QList<QAction*> ZoomActions() const;
  QAction* actViewZoomToFit = nullptr;
  QAction* actViewActualSize = nullptr;
  QAction* actViewZoomIn = nullptr;
  QAction* actViewZoomOut = nullptr;

  // Starts dragging the team of a slot from the picture, at once (no drag distance).
  void StartDrag(int slotNumber);
  // Runs a drag in place of QDrag, for tests; null puts QDrag back. What the runner drops on
  // the picture counts as coming from it.
  using TDragRunner = std::function<void(std::unique_ptr<QMimeData>)>;
  void SetDragRunner(TDragRunner runner) { FDragRunner = std::move(runner); }

  static std::unique_ptr<QMimeData> TeamMimeData(const QString& teamName);
  static std::unique_ptr<QMimeData> SlotMimeData(int slotNumber);
  // The team name a drag carries; empty when it carries none (`has` tells an empty name).
  static QString TeamFromMime(const QMimeData* data, bool* has = nullptr);
  // The slot number a drag carries; 0 when it carries none.
  static int SlotFromMime(const QMimeData* data);

  // The window's handlers; any may be left empty.
  std::function<void(const TChartMouse&)> OnMouseDown;
  std::function<void(const TChartMouse&)> OnDoubleClick;
  std::function<void(const TChartMouse&)> OnMouseMove;
  // True accepts the drag at this point; with no handler nothing is accepted.
  std::function<bool(const TChartDrop&)> OnDragOver;
  std::function<void(const TChartDrop&)> OnDragDrop;

 signals:
  // The zoom chosen changed, and with it the room the view can use.
  void ZoomChanged();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  friend class TChartImage;

  void CreateZoomActions();
  // Zooms to `setting` (see SetZoomSetting) about `anchor`, a viewport point.
  void ChooseZoom(int setting, const QPoint& anchor);
  // The zoom step after the size shown now, larger for a positive `direction`.
  int NextStep(int direction) const;
  // Shows the picture at `scale`, keeping the chart point under `anchor` (a viewport point)
  // where it is.
  void ApplyScale(double scale, const QPoint& anchor);
  // The scale at which the whole chart fits the room the view has.
  double FitScale() const;
  // The chart drawn at the zoom, for a device of pixel ratio `ratio`; made again only when
  // what it shows has changed.
  const QImage& ZoomedImage(qreal ratio);

  // The events' points are points of the picture control; what they carry are chart points.
  TChartMouse MakeMouse(const QPointF& at, Qt::MouseButton button, Qt::MouseButtons buttons,
                        Qt::KeyboardModifiers modifiers, bool doubleClick) const;
  TChartDrop MakeDrop(const QMimeData* data, QObject* source, const QPointF& at) const;
  void MouseDown(const TChartMouse& mouse);
  void MouseDoubleClick(const TChartMouse& mouse);
  void MouseMove(const TChartMouse& mouse);
  bool DragOver(const TChartDrop& drop);
  void DragDrop(const TChartDrop& drop);
  // Moves the bold name to `slot`.
  void Hover(TBracketItem* slot);

  TChartImage* FPicture;
  const TBracketList* FChart = nullptr;
  std::optional<TBracketBitmap> FBackground;
  std::optional<TBracketBitmap> FCanvas;
  TBracketItem* FHoverSlot = nullptr;
  TDragRunner FDragRunner;
  bool FDragging = false;
  int FZoomSetting = kActualSize;
  double FScale = 1.0;
  QImage FZoomed;
};
