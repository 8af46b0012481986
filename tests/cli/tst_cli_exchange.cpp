#include <sys/stat.h>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "CliRunner.h"
#include "Csv.h"
#include "Outlook.h"
#include "PicksSheet.h"
#include "SamplePool.h"
#include "TestPools.h"

using namespace TestPools;

namespace {
const QStringList kPoolFiles = {"System.dat", "Teams.dat", "PlayPick.dat"};

// Every file of a pool folder, by name.
QMap<QString, QByteArray> Snapshot(const QString& directory) {
  QMap<QString, QByteArray> files;
  for (const QString& file : kPoolFiles)
    files.insert(file, ReadBytes(QDir(directory).filePath(file)));
  return files;
}
}  // namespace

class TestCliExchange : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir FDir;
  int FPools = 0;

  // A locked pool of 64 teams with `players` players, saved; returns its folder.
  QString MakePool(int players, bool locked = true) {
    const QString directory = FDir.filePath(QStringLiteral("Pool%1.BGD").arg(++FPools));
    QDir().mkpath(directory);
    auto pool = CreatePool(directory);
    pool->SystemFile().SetPoolName(QStringLiteral("Shared Pool"));
    pool->SystemFile().SetFinalized(locked);
    AddFullField(pool->TeamsFile());
    for (int i = 0; i < players; ++i)
      AddPlayer(*pool, QStringLiteral("Player %1").arg(i + 1), 100 + i);
    pool->SavePool();
    pool->ClosePool();
    return directory;
  }

  QString File(const QString& name) const { return FDir.filePath(name); }

 private slots:
  void initTestCase() { QVERIFY(FDir.isValid()); }

  void wrongCommandLinesShowTheUsage() {
    const QString pool = MakePool(0);
    QCOMPARE(RunTool({"template", pool}).Status, 2);
    QCOMPARE(RunTool({"export-picks", pool, "--csv"}).Status, 2);
    const TCliRun run = RunTool({"import-picks", pool});
    QCOMPARE(run.Status, 2);
    QVERIFY(run.Err.contains("import-picks DIR FILE [--replace]"));
    QCOMPARE(RunTool({"import-picks", pool, File("missing.csv")}).Status, 1);
  }

  void onlyAPlainFileIsRead() {
    // A named pipe would keep the tool waiting for ever: it is refused before it is opened.
    const QString pool = MakePool(0);
    const QString pipe = File("picks.pipe");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const TCliRun run = RunTool({"import-picks", pool, pipe});
    QCOMPARE(run.Status, 1);
    QVERIFY2(run.Err.contains("not a plain file"), run.Err.constData());
  }

  void templateFillsAPool() {
    const QString pool = MakePool(0);
    QCOMPARE(RunTool({"template", pool, "--csv", File("template.csv")}).Status, 0);
    // Filled in by copying the example row under a player's name.
    QByteArray filled = ReadBytes(File("template.csv"));
    filled.replace(TPicksSheet::kExampleName.toUtf8(), "Chalk");
    WriteBytes(File("template.csv"), filled);
    const TCliRun run = RunTool({"import-picks", pool, File("template.csv")});
    QCOMPARE(run.Status, 0);
    QCOMPARE(run.Out, QByteArray("Imported 1 new player.\n"));
    const TCliRun players = RunTool({"players", pool});
    QCOMPARE(players.Json().array().size(), 1);
    QCOMPARE(players.Json().array().at(0)["name"].toString(), QStringLiteral("Chalk"));
  }

  void aRefusedFileLeavesThePoolAsItWas() {
    const QString pool = MakePool(3);
    const QString sheet = File("refused.csv");
    QCOMPARE(RunTool({"export-picks", pool, "--csv", sheet}).Status, 0);
    // A fourth player, good, and a fifth with a guess out of range: neither goes in.
    QByteArray bytes = ReadBytes(sheet);
    const Csv::TTable table = Csv::Read(bytes);
    QStringList good = table.Rows[1];
    good[0] = "Player Four";
    QStringList bad = table.Rows[1];
    bad[0] = "Player Five";
    bad[1] = "1200";
    Csv::TWriter writer;
    writer.Row(table.Rows[0]);
    writer.Row(good);
    writer.Row(bad);
    WriteBytes(sheet, writer.Bytes());

    const auto before = Snapshot(pool);
    const TCliRun run = RunTool({"import-picks", pool, sheet});
    QCOMPARE(run.Status, 1);
    QVERIFY(run.Err.contains("Nothing was imported"));
    QVERIFY2(run.Err.contains("Row 3, column B (Total Points (tie-breaker)): the tie-breaker "
                              "guess must be a whole number from 0 to 999, not \"1200\""),
             run.Err.constData());
    QCOMPARE(Snapshot(pool), before);
  }

  void existingPlayersAreReplacedOnlyWhenAsked() {
    const QString pool = MakePool(2);
    const QString sheet = File("again.csv");
    QCOMPARE(RunTool({"export-picks", pool, "--csv", sheet}).Status, 0);
    const auto before = Snapshot(pool);
    const TCliRun refused = RunTool({"import-picks", pool, sheet});
    QCOMPARE(refused.Status, 1);
    QVERIFY(
        refused.Err.contains("Row 2, column A (Player Name): the pool already has a player "
                             "named \"Player 1\""));
    QVERIFY(refused.Err.contains("import with --replace"));
    QCOMPARE(Snapshot(pool), before);

    const TCliRun replaced = RunTool({"import-picks", pool, sheet, "--replace"});
    QCOMPARE(replaced.Status, 0);
    QCOMPARE(replaced.Out, QByteArray("Replaced the picks of 2 players.\n"));
    QCOMPARE(Snapshot(pool), before);
  }

  void anOpenFirstRoundIsRefused() {
    const QString pool = MakePool(0, false);
    QCOMPARE(RunTool({"template", pool, "--csv", File("open.csv")}).Status, 0);
    const auto before = Snapshot(pool);
    const TCliRun run = RunTool({"import-picks", pool, File("open.csv")});
    QCOMPARE(run.Status, 1);
    QVERIFY(run.Err.contains("not locked"));
    QCOMPARE(Snapshot(pool), before);
  }

  // Picks read after a game has its winner go in only when the organiser says they were made
  // before it: the real tool, without and with --after-results.
  void aPoolWithResultsTakesPicksOnlyWhenSaidSo() {
    const QString sheet = File("paper.csv");
    QCOMPARE(RunTool({"export-picks", MakePool(1), "--csv", sheet}).Status, 0);
    const QString pool = MakePool(0);
    {
      auto played = OpenPool(pool);
      PlayUpperLinesUpTo(*played, 2);
      played->TeamsFile().SetModified(true);
      QVERIFY(played->SavePool());
      played->ClosePool();
    }
    const auto before = Snapshot(pool);
    auto run = [&](const QStringList& more) {
      QProcess tool;
      tool.start(COURTSIDER_CLI, QStringList{"import-picks", pool, sheet} + more);
      return tool.waitForFinished(60000) && tool.exitStatus() == QProcess::NormalExit
                 ? qMakePair(tool.exitCode(), tool.readAllStandardError())
                 : qMakePair(-1, QByteArray());
    };
    const auto refused = run({});
    QCOMPARE(refused.first, 1);
    QVERIFY2(refused.second.contains("the tournament has begun") &&
                 refused.second.contains("--after-results"),
             refused.second.constData());
    QCOMPARE(Snapshot(pool), before);
    QCOMPARE(run({"--after-results"}).first, 0);
    QVERIFY(OpenReadOnly(pool)->PlayerPicksFile().FindPlayer("Player 1"));
  }

  void exportThenImportIntoACopyGivesTheSameFile() {
    const QString pool = MakePool(25);
    const QString copy = FDir.filePath("RoundTrip.BGD");
    QDir().mkpath(copy);
    for (const char* file : {"System.dat", "Teams.dat"})
      QVERIFY(QFile::copy(QDir(pool).filePath(file), QDir(copy).filePath(file)));
    QCOMPARE(RunTool({"export-picks", pool, "--csv", File("all.csv")}).Status, 0);
    QCOMPARE(RunTool({"import-picks", copy, File("all.csv")}).Status, 0);
    QCOMPARE(ReadBytes(QDir(copy).filePath("PlayPick.dat")),
             ReadBytes(QDir(pool).filePath("PlayPick.dat")));
  }

  void publishWritesTheStandingsPage() {
    // Eight teams left: the page gives each player's win chance, on the threads asked for.
    const QString pool = FDir.filePath(QStringLiteral("Played.BGD"));
    QDir().mkpath(pool);
    {
      auto module = CreatePool(pool);
      SamplePool::Fill(*module, 4, 3, 0);
      module->SavePool();
      module->ClosePool();
    }
    QCOMPARE(RunTool({"publish", pool}).Status, 2);
    QCOMPARE(RunTool({"publish", pool, "--html", File("x.html"), "--threads", "0"}).Status, 2);
    QVERIFY(!QFile::exists(File("x.html")));
    const auto before = Snapshot(pool);
    QCOMPARE(RunTool({"publish", pool, "--html", File("standings.html"), "--threads", "2"}).Status,
             0);
    const QString page = QString::fromUtf8(ReadBytes(File("standings.html")));
    QVERIFY(page.startsWith("<!DOCTYPE html>"));
    QVERIFY(page.contains("<h1>Tarnwell Office Pool</h1>"));
    QVERIFY(page.contains("<h3>" + SamplePool::PlayerName(3) + "</h3>"));
    QVERIFY(page.contains("<th>Win chance</th>"));
    const TOutlookResult outlook =
        ComputeOutlook(TOutlookInput::FromPool(*OpenPool(pool)), TOutlookOptions{});
    QCOMPARE(outlook.GamesLeft, 7);
    for (const TOutlookPlayer& player : outlook.Players) {
      const QRegularExpression row("<td class=\"name\">" + QRegularExpression::escape(player.Name) +
                                   "</td><td class=\"total\">\\d+</td><td>\\d+</td><td>" +
                                   QRegularExpression::escape(FormatChance(player.WinChance)) +
                                   "</td>");
      QVERIFY2(row.match(page).hasMatch(), qPrintable(player.Name));
    }
    QCOMPARE(Snapshot(pool), before);
    const TCliRun unwritable = RunTool({"publish", pool, "--html", File("no/such/folder/x.html")});
    QCOMPARE(unwritable.Status, 1);
    QVERIFY(unwritable.Err.startsWith("Cannot write"));
  }

  // A pool published on every save: each save of the tool writes the page whole; a page that
  // cannot be written (the real tool under a file-size limit the pool's files fit in) is
  // told, the save stands and the page already there stays whole; stopped, saves leave it.
  void publishOnSaveFollowsEverySaveAndNeverBlocksIt() {
    const QString pool = FDir.filePath(QStringLiteral("OnSave.BGD"));
    QDir().mkpath(pool);
    {
      auto module = CreatePool(pool);
      SamplePool::Fill(*module, 4, 3, 0);
      module->SavePool();
      module->ClosePool();
    }
    const QString page = File("shared/standings.html");
    QDir().mkpath(File("shared"));
    QCOMPARE(RunTool({"publish", pool, "--stop-on-save", "--html", page}).Status, 2);
    const TCliRun recorded = RunTool({"publish", pool, "--html", page, "--on-save"});
    QCOMPARE(recorded.Status, 0);
    QVERIFY2(recorded.Out.contains("published to " + page.toUtf8() + " after every save"),
             recorded.Out.constData());
    QVERIFY(!ReadBytes(page).contains("Upset bonus"));

    QCOMPARE(RunTool({"scoring", pool, "upset-bonus"}).Status, 0);
    const QByteArray upset = ReadBytes(page);
    QVERIFY(upset.contains("<h2>Standings - Upset bonus</h2>"));

    QProcess shell;
    shell.start("/bin/sh",
                {"-c", "trap '' XFSZ; ulimit -f 64; exec \"$0\" scoring \"$1\" seed-bonus",
                 COURTSIDER_CLI, pool});
    QVERIFY(shell.waitForFinished(60000));
    QCOMPARE(shell.exitCode(), 0);
    const QByteArray err = shell.readAllStandardError();
    QVERIFY2(err.startsWith("The pool was saved, but its standings could not be published: " +
                            page.toUtf8()),
             err.constData());
    QCOMPARE(ReadBytes(page), upset);
    QVERIFY(RunTool({"info", pool}).Out.contains("\"scoring\":\"seed-bonus\""));

    QCOMPARE(RunTool({"publish", pool, "--stop-on-save"}).Status, 0);
    QCOMPARE(RunTool({"scoring", pool, "round-points"}).Status, 0);
    QCOMPARE(ReadBytes(page), upset);
  }

  void aSaveThatCannotBeWrittenFailsAndKeepsThePool() {
    // The real tool in a shell whose files may not grow past 64 KiB: the player file of 100
    // players (311 KB) cannot be written. The failure must be reported, and the pool kept.
    const QString pool = MakePool(100);
    const QString sheet = File("big.csv");
    QCOMPARE(RunTool({"export-picks", pool, "--csv", sheet}).Status, 0);
    const QString small = MakePool(0);
    const auto before = Snapshot(small);
    QProcess shell;
    shell.start("/bin/sh",
                {"-c", "trap '' XFSZ; ulimit -f 128; exec \"$0\" import-picks \"$1\" \"$2\"",
                 COURTSIDER_CLI, small, sheet});
    QVERIFY(shell.waitForFinished(60000));
    QCOMPARE(shell.exitStatus(), QProcess::NormalExit);
    QCOMPARE(shell.exitCode(), 1);
    const QByteArray err = shell.readAllStandardError();
    QVERIFY2(err.contains("could not be saved"), err.constData());
    QCOMPARE(Snapshot(small), before);
  }
};

QTEST_MAIN(TestCliExchange)
#include "tst_cli_exchange.moc"
