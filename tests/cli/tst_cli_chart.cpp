#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "BracketBitmap.h"
#include "BracketList.h"
#include "CliRunner.h"
#include "TestPools.h"

using namespace TestPools;

class TestCliChart : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir FDir;
  QString FPool;

  // The chart of a pool, drawn here the way the windows draw it.
  static QImage Expected(const QString& directory, const QString& player) {
    auto pool = OpenPool(directory);
    TBracketList chart;
    TBracketBitmap bitmap(pool->SystemFile());
    if (player.isEmpty()) {
      bitmap.DrawTitles(pool->SystemFile(), ChartGeometry::kBuilderPoolNameBox);
      TBracketBitmap::PlaceTeams(chart, pool->TeamsFile());
    } else {
      TBracketBitmap::PlaceTeams(chart, *pool->PlayerPicksFile().FindPlayer(player));
    }
    bitmap.DrawAllSlots(&chart);
    return bitmap.Image().convertToFormat(QImage::Format_RGB32);
  }

  static QImage Written(const QString& file) {
    return QImage(file).convertToFormat(QImage::Format_RGB32);
  }

  static bool SlotInked(const QImage& image, const TBracketItem& slot) {
    const QRect box = slot.TextBox();
    for (int y = box.top(); y <= box.bottom(); ++y) {
      for (int x = box.left(); x <= box.right(); ++x) {
        if (qGray(image.pixel(x, y)) < 128)
          return true;
      }
    }
    return false;
  }

 private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    FPool = FDir.filePath("Posted.BGD");
    QDir().mkpath(FPool);
    auto pool = CreatePool(FPool);
    pool->SystemFile().SetPoolName("Third Floor Engineering Pool");
    pool->SystemFile().SetFinalized(true);
    AddFullField(pool->TeamsFile());
    TTeamSeedObject* first = pool->TeamsFile().Items(0);  // region 1, seed 1
    first->SetTeamName("Northwestern State University Demons");
    first->SetRoundReached(4);
    TPlayerPicksListObject* ann = AddPlayer(*pool, "Ann", 150);
    ann->Pick(16)->SetRoundReached(7);  // region 2, seed 1
    pool->SavePool();
    pool->ClosePool();
  }

  void resultsChartIsTheBuildersView() {
    const QString file = FDir.filePath("results.png");
    const TCliRun run = RunTool({"chart", FPool, "--png", file});
    QCOMPARE(run.Status, 0);
    QVERIFY(run.Err.isEmpty());
    const QImage image = Written(file);
    QCOMPARE(image.size(), QSize(800, 600));
    QVERIFY(image == Expected(FPool, QString()));
    const TBracketList chart;
    QVERIFY(SlotInked(image, *chart.Slot(113)));
    QVERIFY(!SlotInked(image, *chart.Slot(121)));
    QVERIFY(!SlotInked(image, *chart.Slot(127)));
  }

  void picksChartShowsThePlayersPicks() {
    const QString file = FDir.filePath("ann.png");
    const TCliRun run = RunTool({"chart", FPool, "--player", "Ann", "--png", file});
    QCOMPARE(run.Status, 0);
    const QImage image = Written(file);
    QVERIFY(image == Expected(FPool, "Ann"));
    const TBracketList chart;
    QVERIFY(SlotInked(image, *chart.Slot(127)));
    QVERIFY(!SlotInked(image, *chart.Slot(113)));
  }

  void refusals() {
    const QString file = FDir.filePath("refused.png");
    // Player names are matched exactly.
    TCliRun run = RunTool({"chart", FPool, "--player", "ann", "--png", file});
    QCOMPARE(run.Status, 1);
    QCOMPARE(run.Err, QByteArray("No player named ann\n"));
    QVERIFY(!QFileInfo::exists(file));

    run = RunTool({"chart", FPool});
    QCOMPARE(run.Status, 2);
    QVERIFY(run.Err.contains("chart DIR --png FILE [--player NAME]"));

    run = RunTool({"chart", FDir.filePath("Missing.BGD"), "--png", file});
    QCOMPARE(run.Status, 1);
    QVERIFY(run.Err.startsWith("Error opening pool database\n"));
    QVERIFY(!QFileInfo::exists(file));

    run = RunTool({"chart", FPool, "--png", FDir.filePath("no/such/folder/chart.png")});
    QCOMPARE(run.Status, 1);
    QVERIFY(run.Err.startsWith("Cannot write "));
  }
};

QTEST_MAIN(TestCliChart)
#include "tst_cli_chart.moc"
