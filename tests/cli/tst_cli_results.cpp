#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "CliRunner.h"
#include "FFDataModule.h"
#include "TestPools.h"

using namespace TestPools;

// The tournament read in from results files by the command-line tool, through the pool's
// document: all or nothing, the file the whole truth of the chart, read twice a no-op.
class TestCliResults : public QObject {
  Q_OBJECT

  QTemporaryDir FDir;

  QString Write(const QString& name, const QByteArray& text) {
    const QString path = FDir.filePath(name);
    WriteBytes(path, text);
    return path;
  }

  // The team each later slot (65..127) holds, as the pool on disk has it: "-" for none.
  static QStringList Later(const QString& dir) {
    auto pool = OpenReadOnly(dir);
    QStringList rounds;
    for (const auto& team : pool->TeamsFile().List())
      rounds << QStringLiteral("%1:%2%3")
                    .arg(team->TeamName())
                    .arg(team->RoundReached())
                    .arg(team->Eliminated() ? "x" : "");
    pool->ClosePool();
    return rounds;
  }

 private slots:
  void lockRefusesAShortFirstRound() {
    const QString dir = FDir.filePath("Short.BGD");
    QDir().mkpath(dir);
    auto pool = CreatePool(dir);
    AddTeam(pool->TeamsFile(), "Alone", 1, 1)->SetRoundReached(1);
    pool->SavePool();
    pool->ClosePool();
    const TCliRun refused = RunTool({"lock", dir});
    QCOMPARE(refused.Status, 1);
    QVERIFY(refused.Err.contains("63 empty line(s)"));
    QCOMPARE(RunTool({"info", dir}).Json().object()["locked"].toBool(), false);
    // Results need the lock.
    const TCliRun early = RunTool({"results", dir, Write("early.txt", "Alone\n")});
    QCOMPARE(early.Status, 1);
    QVERIFY(early.Err.contains("finalized"));
  }

  void eachRefusalNamesItsLineAndChangesNothing() {
    const QString dir = SaveFullPool(FDir.filePath("Refuse.BGD"), true);
    QCOMPARE(RunTool({"results", dir, Write("ok.txt", "R1S1\nR1S8\n")}).Status, 0);
    const QByteArray before = ReadBytes(dir + "/Teams.dat");
    const QList<QPair<QByteArray, QByteArray>> cases = {
        {"R1S1\nR1S8\nNobody\n", "line 3: no team of the pool is named \"Nobody\""},
        {"R1S1\nR1S16\n", "line 2: R1S16 is out: it lost to R1S1"},
        {"R1S1\n# next\nR1S1\n", "line 3: R1S1 has no opponent yet"},
        {"R1S1\tt75-60\n", "line 1: only the final's line carries a score"},
    };
    for (const auto& [text, message] : cases) {
      const TCliRun run = RunTool({"results", dir, Write("bad.txt", text)});
      QCOMPARE(run.Status, 1);
      QVERIFY2(run.Err.startsWith(message), run.Err.constData());
      QCOMPARE(ReadBytes(dir + "/Teams.dat"), before);
    }
  }

  void theFileIsTheWholeTruth() {
    const QString dir = SaveFullPool(FDir.filePath("Truth.BGD"), true);
    const QString file = Write("truth.txt", "R1S1\nR1S8\nR1S1\n");
    QCOMPARE(RunTool({"results", dir, file}).Status, 0);
    // Read twice: nothing changes and nothing is written.
    const QByteArray teams = ReadBytes(dir + "/Teams.dat");
    const TCliRun again = RunTool({"results", dir, file});
    QCOMPARE(again.Status, 0);
    QCOMPARE(again.Out, QByteArray("No change: the pool already holds these results.\n"));
    QCOMPARE(ReadBytes(dir + "/Teams.dat"), teams);
    // R1S16 won after all: the game is corrected and R1S1's later win taken back.
    const TCliRun fixed = RunTool({"results", dir, Write("fixed.txt", "R1S16\nR1S8\n")});
    QCOMPARE(fixed.Out, QByteArray("corrected: R1S16 beat R1S1 (the pool had R1S1 winning)\n"
                                   "taken back: R1S1's win in round 2\n"));
    const QStringList rounds = Later(dir);
    QVERIFY(rounds.contains("R1S1:1x"));
    QVERIFY(rounds.contains("R1S16:2"));
  }

  void theFinalsScoreSetsTheTotal() {
    const QString dir = FDir.filePath("Final.BGD");
    QDir().mkpath(dir);
    {
      auto pool = CreatePool(dir);
      pool->SystemFile().SetFinalized(true);
      AddFullField(pool->TeamsFile());
      PlayUpperLinesUpTo(*pool, 6);
      pool->SavePool();
      pool->ClosePool();
    }
    const TCliRun run = RunTool({"result", dir, "R1S1", "75-60"});
    QCOMPARE(run.Status, 0);
    QCOMPARE(run.Out, QByteArray("added: R1S1 beat R3S1\nchampionship total: 135\n"));
    QCOMPARE(RunTool({"standings", dir, "--format", "json"}).Json().object()["tie_breaker"].toInt(),
             135);
    // One result names no line: the reason alone.
    const TCliRun early = RunTool({"result", dir, "R1S8"});
    QCOMPARE(early.Status, 1);
    QVERIFY(early.Err.startsWith("R1S8 is out: it lost to R1S1"));
    const TCliRun twice = RunTool({"result", dir, "R1S1"});
    QCOMPARE(twice.Status, 1);
    QVERIFY(twice.Err.startsWith("R1S1 has already won the championship"));
  }
};

QTEST_GUILESS_MAIN(TestCliResults)
#include "tst_cli_results.moc"
