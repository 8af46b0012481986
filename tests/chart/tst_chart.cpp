// The chart widget through real Qt events: mouse presses, double-clicks, moves and drag and
// drop on its picture reach the window's handlers with the slot under the point.

#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>

#include "BracketList.h"
#include "ChartView.h"
#include "SystemFile.h"
#include "TeamsFile.h"
#include "TestPools.h"

namespace {

// Black pixels in the slot's text box: a bold name has more of them than a regular one.
int Ink(const QImage& image, const TBracketItem* slot) {
  int ink = 0;
  const QRect box = slot->TextBox();
  for (int y = box.top(); y <= box.bottom(); ++y) {
    for (int x = box.left(); x <= box.right(); ++x)
      ink += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
  }
  return ink;
}

// The mouse moving over the picture with no button held.
void MoveTo(QWidget* picture, const QPoint& point) {
  QMouseEvent move(QEvent::MouseMove, point, picture->mapToGlobal(point), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(picture, &move);
}

QPoint Inside(const TBracketItem* slot) {
  return QPoint(slot->Left() + 5, slot->Top() + 5);
}

QPoint Middle(const TBracketItem* slot) {
  return QPoint((slot->Left() + slot->Right()) / 2, (slot->Top() + slot->Bottom()) / 2);
}

// Where a chart point shows on the picture at `scale`: the middle of the pixels that show it.
QPointF Shown(const QPoint& chartPoint, double scale) {
  return (QPointF(chartPoint) + QPointF(0.5, 0.5)) * scale;
}

}  // namespace

class TestChart : public QObject {
  Q_OBJECT

 private:
  void Build() {
    TestPools::AddTeam(FTeams, QStringLiteral("Alpha State"), 1, 1, 2);
    TestPools::AddTeam(FTeams, QStringLiteral("Beta Tech"), 1, 16, 1);
    FChart.PlaceTeams(FTeams);
    FView = std::make_unique<TChartView>();
    FView->resize(500, 400);
    FView->SetBackground(TBracketBitmap(FSystem));
    FView->SetChart(&FChart);
    FView->show();
    QVERIFY(QTest::qWaitForWindowExposed(FView.get()));
  }

  TSystemFile FSystem;
  TTeamsFile FTeams;
  TBracketList FChart;
  std::unique_ptr<TChartView> FView;

 private slots:
  void cleanup() { FView.reset(); }

  void pictureCoordinatesAreChartCoordinates() {
    Build();
    QWidget* picture = FView->Picture();
    QCOMPARE(picture->objectName(), QStringLiteral("imgBrackets"));
    QCOMPARE(picture->size(), QSize(800, 600));
    QCOMPARE(picture->mapTo(FView->viewport(), QPoint(0, 0)), QPoint(0, 0));
    QCOMPARE(FView->Image().size(), QSize(800, 600));
    // The names are on the picture: the filled slots carry ink, an empty one none.
    QVERIFY(Ink(FView->Image(), FChart.Slot(1)) > 0);
    QVERIFY(Ink(FView->Image(), FChart.Slot(65)) > 0);
    QCOMPARE(Ink(FView->Image(), FChart.Slot(66)), 0);
  }

  void pressesAndDoubleClicksReachTheHandlers() {
    Build();
    QList<TChartView::TChartMouse> downs;
    QList<TChartView::TChartMouse> doubles;
    FView->OnMouseDown = [&](const TChartView::TChartMouse& mouse) { downs << mouse; };
    FView->OnDoubleClick = [&](const TChartView::TChartMouse& mouse) { doubles << mouse; };
    const TBracketItem* one = FChart.Slot(1);

    QTest::mousePress(FView->Picture(), Qt::RightButton, Qt::ShiftModifier, Inside(one));
    QTest::mouseRelease(FView->Picture(), Qt::RightButton, Qt::ShiftModifier, Inside(one));
    QCOMPARE(downs.size(), 1);
    QCOMPARE(downs[0].Button, Qt::RightButton);
    QCOMPARE(downs[0].Modifiers, Qt::ShiftModifier);
    QCOMPARE(downs[0].Point, Inside(one));
    QVERIFY(downs[0].Slot == one);
    QVERIFY(!downs[0].DoubleClick);

    // Between the lines there is no slot.
    QTest::mousePress(FView->Picture(), Qt::LeftButton, {}, QPoint(400, 100));
    QCOMPARE(downs.size(), 2);
    QVERIFY(downs[1].Slot == nullptr);
    QTest::mouseRelease(FView->Picture(), Qt::LeftButton, {}, QPoint(400, 100));

    const TBracketItem* second = FChart.Slot(65);
    QTest::mouseDClick(FView->Picture(), Qt::LeftButton, {}, Inside(second));
    QCOMPARE(doubles.size(), 1);
    QVERIFY(doubles[0].Slot == second);
    QVERIFY(doubles[0].DoubleClick);
    // Its second click also came as a press, marked as such.
    QVERIFY(downs.last().DoubleClick);
    QVERIFY(downs.last().Slot == second);
  }

  void theNameUnderTheMouseIsBold() {
    Build();
    const TBracketItem* one = FChart.Slot(1);
    const TBracketItem* two = FChart.Slot(2);
    const int regularOne = Ink(FView->Image(), one);
    const int regularTwo = Ink(FView->Image(), two);
    MoveTo(FView->Picture(), Inside(one));
    QVERIFY(FView->HoverSlot() == one);
    QVERIFY(Ink(FView->Image(), one) > regularOne);
    MoveTo(FView->Picture(), Inside(two));
    QVERIFY(FView->HoverSlot() == two);
    QCOMPARE(Ink(FView->Image(), one), regularOne);
    QVERIFY(Ink(FView->Image(), two) > regularTwo);
    // A refresh keeps the bold name where the mouse is.
    FView->RefreshChart();
    QVERIFY(Ink(FView->Image(), two) > regularTwo);
    // Off the picture no name is bold.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(FView->Picture(), &leave);
    QVERIFY(FView->HoverSlot() == nullptr);
    QCOMPARE(Ink(FView->Image(), two), regularTwo);
    // A drag sends no moves: the bold name is where the drag let go, or nowhere off the chart.
    QPoint letGo;
    FView->SetDragRunner([&letGo](std::unique_ptr<QMimeData>) { QCursor::setPos(letGo); });
    letGo = FView->Picture()->mapToGlobal(Inside(two));
    FView->StartDrag(1);
    QVERIFY(FView->HoverSlot() == two);
    letGo = FView->mapToGlobal(QPoint(-40, -40));
    FView->StartDrag(2);
    QVERIFY(FView->HoverSlot() == nullptr);
    QCOMPARE(Ink(FView->Image(), two), regularTwo);
    // Another chart: nothing is hovered any more.
    MoveTo(FView->Picture(), Inside(one));
    FView->SetChart(nullptr);
    QVERIFY(FView->HoverSlot() == nullptr);
    QCOMPARE(Ink(FView->Image(), one), 0);
  }

  // A name the chart can show only in short tells itself whole in the picture's tip; a name
  // shown whole leaves the window's own tip.
  void aShortenedNameShowsWholeInTheTip() {
    const QString longName = QStringLiteral("Southeastern Louisiana Lions");
    TestPools::AddTeam(FTeams, longName, 1, 8, 1);
    Build();
    QWidget* picture = FView->Picture();
    picture->setToolTip(QStringLiteral("Double-click team or drag from list"));
    const auto tipAt = [picture](const QPoint& point) {
      QHelpEvent help(QEvent::ToolTip, point, picture->mapToGlobal(point));
      QApplication::sendEvent(picture, &help);
      return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    const TBracketItem* longSlot = nullptr;
    for (int n = 1; n <= 16; ++n) {
      if (FChart.Slot(n)->Team() && FChart.Slot(n)->Team()->TeamName() == longName)
        longSlot = FChart.Slot(n);
    }
    QVERIFY(longSlot);
    QCOMPARE(tipAt(Inside(longSlot)), longName);
    QCOMPARE(tipAt(Inside(FChart.Slot(1))), picture->toolTip());
    QToolTip::hideText();
  }

  void dropsReachTheHandlerWithTheSlot() {
    Build();
    QList<TChartView::TChartDrop> overs;
    QList<TChartView::TChartDrop> drops;
    FView->OnDragOver = [&](const TChartView::TChartDrop& drop) {
      overs << drop;
      bool isTeam = false;
      TChartView::TeamFromMime(drop.Data, &isTeam);
      return isTeam;
    };
    FView->OnDragDrop = [&](const TChartView::TChartDrop& drop) {
      drops << drop;
      QCOMPARE(TChartView::TeamFromMime(drop.Data), QStringLiteral("Beta Tech"));
    };
    QWidget* picture = FView->Picture();
    const auto team = TChartView::TeamMimeData(QStringLiteral("Beta Tech"));
    const QPoint target = Inside(FChart.Slot(65));

    QDragEnterEvent enter(QPoint(10, 10), Qt::MoveAction, team.get(), Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(picture, &enter);
    QVERIFY(enter.isAccepted());
    QDragMoveEvent move(target, Qt::MoveAction, team.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(picture, &move);
    QVERIFY(move.isAccepted());
    QVERIFY(overs.last().Slot == FChart.Slot(65));
    QVERIFY(!overs.last().FromThisChart);
    QDropEvent drop(target, Qt::MoveAction, team.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(picture, &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(drops.size(), 1);
    QVERIFY(drops[0].Slot == FChart.Slot(65));
    QCOMPARE(drops[0].Point, target);

    // What the window does not accept is never dropped.
    const auto slot = TChartView::SlotMimeData(1);
    QDragMoveEvent refused(target, Qt::MoveAction, slot.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(picture, &refused);
    QVERIFY(!refused.isAccepted());
    QDropEvent refusedDrop(target, Qt::MoveAction, slot.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(picture, &refusedDrop);
    QCOMPARE(drops.size(), 1);
  }

  void dragsFromThePictureCarryTheSlot() {
    Build();
    int carried = 0;
    FView->SetDragRunner(
        [&](std::unique_ptr<QMimeData> data) { carried = TChartView::SlotFromMime(data.get()); });
    FView->OnMouseDown = [this](const TChartView::TChartMouse& mouse) {
      if (mouse.Button == Qt::LeftButton && !mouse.DoubleClick && mouse.Slot)
        FView->StartDrag(FChart.SlotNumber(mouse.Slot));
    };
    QTest::mousePress(FView->Picture(), Qt::LeftButton, {}, Inside(FChart.Slot(65)));
    QCOMPARE(carried, 65);
  }

  void whatADragOfThePictureDropsComesFromIt() {
    Build();
    QList<bool> fromThisChart;
    FView->OnDragOver = [&](const TChartView::TChartDrop& drop) {
      fromThisChart << drop.FromThisChart;
      return true;
    };
    const QPoint target = Inside(FChart.Slot(97));
    auto moveAndDrop = [&](const QMimeData* data) {
      QDragEnterEvent enter(target, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(FView->Picture(), &enter);
      QDropEvent drop(target, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(FView->Picture(), &drop);
    };
    FView->SetDragRunner([&](std::unique_ptr<QMimeData> data) { moveAndDrop(data.get()); });
    FView->StartDrag(65);
    QCOMPARE(fromThisChart, (QList<bool>{true, true}));
    // The same drag with no drag of ours running comes from elsewhere.
    const auto data = TChartView::SlotMimeData(65);
    moveAndDrop(data.get());
    QCOMPARE(fromThisChart, (QList<bool>{true, true, false, false}));
  }

  // Every slot found under the mouse, by moves, presses and drops, at three sizes.
  void everySlotIsHitAtEveryZoom_data() {
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QSize>("room");
    QTest::newRow("half size") << 50 << QSize(500, 400);
    QTest::newRow("one and a half") << 150 << QSize(500, 400);
    QTest::newRow("fitted to a large window") << int{TChartView::kZoomToFit} << QSize(1500, 1000);
  }
  void everySlotIsHitAtEveryZoom() {
    QFETCH(int, zoom);
    QFETCH(QSize, room);
    Build();
    FView->resize(room);
    FView->SetZoomSetting(zoom);
    const double scale = FView->Scale();
    if (zoom == TChartView::kZoomToFit) {
      QVERIFY(scale > 1.5 && scale < 2);
      QVERIFY(FView->Picture()->width() <= FView->viewport()->width());
    } else {
      QCOMPARE(scale, zoom / 100.0);
    }
    QCOMPARE(FView->Picture()->size(), QSize(int(800 * scale), int(600 * scale)));
    QList<TChartView::TChartMouse> downs;
    QList<TChartView::TChartDrop> drops;
    FView->OnMouseDown = [&](const TChartView::TChartMouse& mouse) { downs << mouse; };
    FView->OnDragOver = [](const TChartView::TChartDrop&) { return true; };
    FView->OnDragDrop = [&](const TChartView::TChartDrop& drop) { drops << drop; };
    QWidget* picture = FView->Picture();
    const auto team = TChartView::TeamMimeData(QStringLiteral("Alpha State"));
    for (int n = 1; n <= TBracketList::kSlotCount; ++n) {
      const TBracketItem* slot = FChart.Slot(n);
      const QPointF at = Shown(Middle(slot), scale);
      QMouseEvent move(QEvent::MouseMove, at, picture->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                       Qt::NoModifier);
      QApplication::sendEvent(picture, &move);
      QVERIFY2(FView->HoverSlot() == slot, qPrintable(QString::number(n)));
      QMouseEvent press(QEvent::MouseButtonPress, at, picture->mapToGlobal(at), Qt::RightButton,
                        Qt::RightButton, Qt::NoModifier);
      QApplication::sendEvent(picture, &press);
      QVERIFY(downs.last().Slot == slot);
      QCOMPARE(downs.last().Point, Middle(slot));
      QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, team.get(), Qt::LeftButton,
                            Qt::NoModifier);
      QApplication::sendEvent(picture, &enter);
      QDropEvent drop(at, Qt::CopyAction, team.get(), Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(picture, &drop);
      QVERIFY(drops.last().Slot == slot);
    }
    // Between the lines there is still nothing.
    const QPointF gap = Shown(QPoint(400, 100), scale);
    QMouseEvent press(QEvent::MouseButtonPress, gap, picture->mapToGlobal(gap), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(picture, &press);
    QVERIFY(downs.last().Slot == nullptr);
  }

  // At its own size the view shows the chart's picture; larger, a chart drawn afresh, not the
  // picture blown up: its rules where the scaled geometry puts them, its letters finer than
  // the picture's pixels.
  void aZoomedChartIsDrawnAfresh() {
    Build();
    FView->resize(900, 700);
    QCOMPARE(FView->Picture()->grab().toImage().convertToFormat(QImage::Format_RGB32),
             FView->Image().convertToFormat(QImage::Format_RGB32));
    FView->SetZoomSetting(200);
    const QImage zoomed = FView->Picture()->grab().toImage();
    QCOMPARE(zoomed.size(), QSize(1600, 1200));
    // The rule under slot 1 covers rows 16 and 17 of the picture: 32 to 35 at twice the size.
    for (int y = 32; y <= 35; ++y)
      QCOMPARE(qGray(zoomed.pixel(100, y)), 0);
    QCOMPARE(qGray(zoomed.pixel(100, 31)), 255);
    QCOMPARE(qGray(zoomed.pixel(100, 36)), 255);
    // A picture blown up has every pair of neighbouring pixels alike; the name has not.
    const QRect box = FChart.Slot(1)->TextBox();
    int unlike = 0;
    for (int y = box.top() * 2; y <= box.bottom() * 2; y += 2) {
      for (int x = box.left() * 2; x <= box.right() * 2; x += 2)
        unlike += zoomed.pixel(x, y) != zoomed.pixel(x + 1, y) ? 1 : 0;
    }
    QVERIFY(unlike > 10);
    // Back at its own size, its own picture again.
    FView->ActualSize();
    QCOMPARE(FView->Picture()->grab().toImage().convertToFormat(QImage::Format_RGB32),
             FView->Image().convertToFormat(QImage::Format_RGB32));
  }

  void zoomCommandsStepAndTheWheelZoomsAboutTheMouse() {
    Build();
    QSignalSpy changed(FView.get(), &TChartView::ZoomChanged);
    FView->actViewZoomIn->trigger();
    QCOMPARE(FView->ZoomSetting(), 125);
    FView->actViewZoomOut->trigger();
    FView->actViewZoomOut->trigger();
    QCOMPARE(FView->ZoomSetting(), 75);
    FView->actViewZoomToFit->trigger();
    QCOMPARE(FView->ZoomSetting(), int{TChartView::kZoomToFit});
    QCOMPARE(FView->UsefulSize(QSize(20, 20)), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    // From a fitted size between the steps, the step beyond it.
    const double fitted = FView->Scale();
    FView->actViewZoomIn->trigger();
    QVERIFY(FView->Scale() > fitted);
    FView->actViewActualSize->trigger();
    QCOMPARE(FView->ZoomSetting(), 100);
    QCOMPARE(FView->UsefulSize(QSize(20, 20)), QSize(820, 620));
    QCOMPARE(changed.count(), 6);
    QCOMPARE(FView->actViewZoomToFit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_0));
    QCOMPARE(FView->actViewActualSize->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_1));
    // Stored values out of range come back in it.
    FView->SetZoomSetting(5000);
    QCOMPARE(FView->ZoomSetting(), 400);
    FView->SetZoomSetting(-3);
    QCOMPARE(FView->ZoomSetting(), 50);

    // Ctrl and the wheel: one step a notch, the chart point under the mouse staying there.
    FView->SetZoomSetting(100);
    const QPoint mouse(200, 150);
    const QPoint chartPoint =
        FView->ChartPoint(FView->Picture()->mapFrom(FView->viewport(), mouse));
    QWheelEvent wheel(mouse, FView->viewport()->mapToGlobal(mouse), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(FView->viewport(), &wheel);
    QCOMPARE(FView->ZoomSetting(), 125);
    const QPoint after = FView->ChartPoint(FView->Picture()->mapFrom(FView->viewport(), mouse));
    QVERIFY((after - chartPoint).manhattanLength() <= 2);
  }

  void mimeDataIsReadSafely() {
    QCOMPARE(TChartView::SlotFromMime(nullptr), 0);
    QMimeData junk;
    junk.setData(TChartView::kSlotMimeType, "not a number");
    QCOMPARE(TChartView::SlotFromMime(&junk), 0);
    junk.setData(TChartView::kSlotMimeType, "128");
    QCOMPARE(TChartView::SlotFromMime(&junk), 0);
    junk.setData(TChartView::kSlotMimeType, "127");
    QCOMPARE(TChartView::SlotFromMime(&junk), 127);
    bool has = true;
    QCOMPARE(TChartView::TeamFromMime(&junk, &has), QString());
    QVERIFY(!has);
    const auto team = TChartView::TeamMimeData(QStringLiteral("Café"));
    QCOMPARE(TChartView::TeamFromMime(team.get(), &has), QStringLiteral("Café"));
    QVERIFY(has);
  }
};

QTEST_MAIN(TestChart)
#include "tst_chart.moc"
