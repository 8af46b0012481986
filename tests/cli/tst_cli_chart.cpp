#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "BracketList.h"
#include "CliRunner.h"
#include "TestPools.h"

using namespace TestPools;

class TestCliChart : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir FDir;
  QString FPool;

  static QImage Written(const QString& file) {
    return QImage(file).convertToFormat(QImage::Format_RGB32);
  }

  static bool Inked(const QImage& image, const QRect& box) {
    for (int y = box.top(); y <= box.bottom(); ++y) {
      for (int x = box.left(); x <= box.right(); ++x) {
        if (qGray(image.pixel(x, y)) < 128)
          return true;
      }
    }
    return false;
  }

  // The numbers of the slots with a name written in them.
  static QList<int> InkedSlots(const QImage& image) {
    const TBracketList chart;
    QList<int> inked;
    for (int number = 1; number <= chart.Count(); ++number) {
      if (Inked(image, chart.Slot(number)->TextBox()))
        inked << number;
    }
    return inked;
  }

  static QList<int> FirstRoundAnd(const QList<int>& later) {
    QList<int> numbers;
    for (int number = 1; number <= 64; ++number)
      numbers << number;
    return numbers + later;
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
    // Every team on its first-round line, and the one that reached the fourth round on the
    // slots of rounds 2 to 4 of its path (region 1, seed 1).
    QCOMPARE(InkedSlots(image), FirstRoundAnd({65, 97, 113}));
    // The pool name is too long for the narrow box the other charts use: the builder's wider
    // box shows it, so ink falls beside the narrow box on the title line.
    QVERIFY(Inked(image, QRect(QPoint(290, 5), QPoint(319, 24))) ||
            Inked(image, QRect(QPoint(460, 5), QPoint(489, 24))));
  }

  void picksChartShowsThePlayersPicks() {
    const QString file = FDir.filePath("ann.png");
    const TCliRun run = RunTool({"chart", FPool, "--player", "Ann", "--png", file});
    QCOMPARE(run.Status, 0);
    const QImage image = Written(file);
    QCOMPARE(image.size(), QSize(800, 600));
    // Ann's champion (region 2, seed 1, line 17) on every slot of its path; the results of
    // the pool (the team in round 4) are not hers.
    QCOMPARE(InkedSlots(image), FirstRoundAnd({73, 101, 115, 122, 125, 127}));
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
