// The chart widget through real Qt events: mouse presses, double-clicks, moves and drag and
// drop on its picture reach the window's handlers with the slot under the point.

#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

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
