#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "CliRunner.h"
#include "PoolLock.h"
#include "PoolSave.h"
#include "ScoringRule.h"
#include "SheetRows.h"
#include "TestPools.h"

using namespace TestPools;

namespace {

struct TToolRun {
  int Status = -1;
  QByteArray Out;
  QByteArray Err;
};

// Runs the real tool in a process of its own; with `fileSizeLimit` set, no file it writes may
// grow beyond that many bytes, as on a disk that is full. Going past the limit raises SIGXFSZ,
// which the tool is started ignoring unless `plainLimit` leaves it as a shell's "ulimit -f"
// does.
TToolRun RunProcess(const QStringList& arguments, qint64 fileSizeLimit = -1,
                    const QString& outputFile = {}, bool closeOutput = false,
                    bool plainLimit = false) {
  QProcess process;
  process.setProgram(QCoreApplication::applicationDirPath() + "/courtsider-cli");
  process.setArguments(arguments);
  if (!outputFile.isEmpty())
    process.setStandardOutputFile(outputFile);
  // A pipe whose reading end is closed before the tool writes a byte.
  int pipe[2] = {-1, -1};
  if (closeOutput && ::pipe(pipe) != 0)
    return {};
  process.setChildProcessModifier([fileSizeLimit, pipe, plainLimit] {
    if (pipe[1] >= 0) {
      ::dup2(pipe[1], STDOUT_FILENO);
      ::close(pipe[0]);
    }
    std::signal(SIGXFSZ, plainLimit ? SIG_DFL : SIG_IGN);
    if (fileSizeLimit >= 0) {
      rlimit limit{};
      limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(fileSizeLimit);
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
  });
  process.start();
  if (closeOutput) {
    ::close(pipe[0]);
    ::close(pipe[1]);
  }
  if (!process.waitForStarted())
    return {};
  process.waitForFinished(120000);
  TToolRun run;
  run.Status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.Out = process.readAllStandardOutput();
  run.Err = process.readAllStandardError();
  return run;
}

// What a writer is told while `holder`, process `process` of this machine, holds `pool`.
QString HeldBy(const QString& pool, const QString& holder, qint64 process) {
  const QString since =
      QFileInfo(pool + "/" + TPoolLock::kFileName).lastModified().toString(TPoolLock::kSinceFormat);
  return TPoolLock::kHeldBy.arg(holder, QSysInfo::machineHostName(), QString::number(process),
                                since);
}

}  // namespace

class TestCliProcess : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir FDir;
  QString FPool;

  QStringList Entries(const QString& dir) const {
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
  }

 private slots:
  void initTestCase() {
    FPool = FDir.filePath("Office.BGD");
    QDir().mkpath(FPool);
    auto pool = CreatePool(FPool);
    AddFullField(pool->TeamsFile());
    pool->SystemFile().SetFinalized(true);
    for (int i = 0; i < 40; ++i)
      AddPlayer(*pool, QString("Player %1").arg(i), 100 + i);
    QVERIFY(pool->SavePool());
    pool->ClosePool();
  }

  // Standard output that cannot take the result: a message and status 1, never success.
  void outputThatCannotBeWrittenFails() {
    TToolRun run = RunProcess({"players", FPool}, -1, "/dev/full");
    QVERIFY2(run.Status == 1, run.Err);
    QVERIFY2(run.Err.contains("Cannot write the output: No space left on device"), run.Err);

    run = RunProcess({"players", FPool}, -1, {}, true);
    QCOMPARE(run.Status, 1);
    QVERIFY2(run.Err.contains("Cannot write the output"), run.Err);

    run = RunProcess({"info", FPool}, -1, "/dev/null");
    QCOMPARE(run.Status, 0);
    QVERIFY(run.Err.isEmpty());
  }

  // A picture or report that does not fit leaves no file, empty or cut, behind; with room it
  // is written whole.
  void filesThatDoNotFitLeaveNothingBehind() {
    const QList<QStringList> commands{
        {"chart", FPool, "--png", FDir.filePath("png/chart.png")},
        {"report", FPool, "Standings - Point Total", "--rtf", FDir.filePath("rtf/stndpts.rtf")},
        {"report", FPool, "Standings - Point Total", "--pdf", FDir.filePath("pdf/stndpts.pdf")}};
    for (const QStringList& command : commands) {
      const QString out = QFileInfo(command.last()).path();
      QDir().mkpath(out);
      TToolRun run = RunProcess(command, 2000);
      QCOMPARE(run.Status, 1);
      QVERIFY2(run.Err.contains("Cannot write") && run.Err.contains("File too large"), run.Err);
      QCOMPARE(Entries(out), QStringList());

      run = RunProcess(command);
      QCOMPARE(run.Status, 0);
      QVERIFY(QFileInfo(command.last()).size() > 2000);
    }
  }

  // Output cut short by a file-size limit is a failure with its reason, whether the limit
  // ends the tool by its signal or fails the write; never success with a cut file.
  void outputCutShortIsNeverSuccess() {
    const QString out = FDir.filePath("players.json");
    for (bool plain : {true, false}) {
      TToolRun run = RunProcess({"players", FPool}, 10000, out, false, plain);
      QVERIFY2(run.Status == 1, run.Err);
      QVERIFY2(run.Err.contains("Cannot write the output: File too large"), run.Err);
      QVERIFY(QFileInfo(out).size() <= 10000);
    }
    TToolRun run = RunProcess({"players", FPool}, -1, out);
    QCOMPARE(run.Status, 0);
    QVERIFY(QFileInfo(out).size() > 10000);
  }

  // Two writers at once: while one import is writing the pool, another is refused at once
  // with who holds it, and loses nothing; once the first is done, the second goes through.
  // The first writer is the tool's own import in a process of its own, held up in its save.
  void aSecondWriterIsRefusedWhileTheFirstWrites() {
    const QString pool = SaveFullPool(FDir.filePath("Writers.BGD"), true);
    const auto made = OpenReadOnly(pool);
    auto sheet = [&](const QString& name, int players) {
      QList<QStringList> rows;
      for (int i = 0; i < players; ++i)
        rows << QStringList{QStringLiteral("%1 %2").arg(name).arg(i), QStringLiteral("100")};
      const QString file = FDir.filePath(name + ".csv");
      WriteBytes(file, SheetWithRows(*made, rows));
      return file;
    };
    const QString first = sheet("First", 30);
    const QString second = sheet("Second", 20);
    made->ClosePool();

    int held[2];
    int go[2];
    QVERIFY(::pipe(held) == 0 && ::pipe(go) == 0);
    const pid_t writer = ::fork();
    if (writer == 0) {
      TPoolSave::SetStepHook([&](const QString& step) {
        char byte = 1;
        if (step == QLatin1String("backup") && ::write(held[1], &byte, 1) == 1)
          ::read(go[0], &byte, 1);
      });
      const TCliRun run = RunTool({"import-picks", pool, first});
      ::_exit(run.Status);
    }
    ::close(held[1]);
    ::close(go[0]);
    pollfd ready{held[0], POLLIN, 0};
    QVERIFY(::poll(&ready, 1, 120000) == 1);

    const TToolRun refused = RunProcess({"import-picks", pool, second});
    QCOMPARE(refused.Status, 1);
    const QString holder = HeldBy(pool, QCoreApplication::applicationName(), writer);
    QVERIFY2(refused.Err.contains(holder.toUtf8()), refused.Err);

    char byte = 1;
    QCOMPARE(::write(go[1], &byte, 1), 1);
    int status = -1;
    QCOMPARE(::waitpid(writer, &status, 0), writer);
    ::close(held[0]);
    ::close(go[1]);
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    QCOMPARE(OpenReadOnly(pool)->PlayerPicksFile().Count(), 30);

    const TToolRun after = RunProcess({"import-picks", pool, second});
    QVERIFY2(after.Status == 0, after.Err);
    QCOMPARE(OpenReadOnly(pool)->PlayerPicksFile().Count(), 50);
  }

  // Near and Far pick the champion alike, level on points; Near's guess lies closer to the
  // total entered before the final. They share a place until the final is played, then the
  // guess parts them, in every listing that shows a place; under a bonus rule the titles name
  // it.
  void placesAndTitlesAsTheToolPrintsThem() {
    const auto poolPlayedTo = [this](const QString& name, int round) {
      const QString dir = FDir.filePath(name);
      QDir().mkpath(dir);
      auto pool = CreatePool(dir);
      AddFullField(pool->TeamsFile());
      pool->SystemFile().SetFinalized(true);
      pool->SystemFile().SetTieBreakerPoints(148);
      pool->SetScoringRule(TScoringRule::UpsetBonus);
      AddPicks(*pool, "Far", 170, {{"R1S1", 7}});
      AddPicks(*pool, "Near", 150, {{"R1S1", 7}});
      AddPicks(*pool, "Out", 148, {{"R1S16", 2}});
      PlayUpperLinesUpTo(*pool, round);
      pool->SavePool();
      pool->ClosePool();
      return dir;
    };
    const auto places = [](const TToolRun& run) {
      QStringList rows;
      for (const QJsonValue row : QJsonDocument::fromJson(run.Out)["rows"].toArray())
        rows << QStringLiteral("%1 %2").arg(row["player"].toString()).arg(row["place"].toInt());
      return rows;
    };
    const QString semis = poolPlayedTo("Semis.BGD", 6);
    QCOMPARE(places(RunProcess({"standings", semis, "--format", "json"})),
             QStringList({"Near 1", "Far 1", "Out 3"}));

    const QString final = poolPlayedTo("Final.BGD", 7);
    QCOMPARE(places(RunProcess({"standings", final, "--format", "json"})),
             QStringList({"Near 1", "Far 2", "Out 3"}));
    const QList<QByteArray> csv =
        RunProcess({"standings", final, "--format", "csv"}).Out.split('\n');
    QCOMPARE(csv.at(0), QByteArray("Pos,Player Name,Total,Rd 1,Rd 2,Rd 3,Rd 4,Rd 5,Rd 6,TB pts,"
                                   "+/-,Place"));
    QCOMPARE(csv.at(2), QByteArray("2,Far,63,1,1,1,1,1,1,170,22,2"));

    const QJsonArray outlook =
        QJsonDocument::fromJson(RunProcess({"outlook", final, "--format", "json"}).Out)["players"]
            .toArray();
    QStringList outlookPlaces;
    for (const QJsonValue player : outlook) {
      outlookPlaces << QStringLiteral("%1 %2-%3")
                           .arg(player["player"].toString())
                           .arg(player["best_place"].toInt())
                           .arg(player["worst_place"].toInt());
    }
    QCOMPARE(outlookPlaces, QStringList({"Near 1-1", "Far 2-2", "Out 3-3"}));

    const TToolRun history = RunProcess({"history", final});
    QCOMPARE(history.Out.split('\n').at(1), QByteArray("Standings by Round - Upset bonus"));
    QVERIFY2(history.Out.contains("\nFar ") && history.Out.contains(" 63 2nd\n"), history.Out);
    QCOMPARE(RunProcess({"outlook", final}).Out.split('\n').at(1),
             QByteArray("Who Can Still Win - Upset bonus"));
  }

  // While the tool serves the pick-entry page it holds the pool, and another writer is told
  // which command that is.
  void aWriterIsToldWhichCommandHoldsThePool() {
    QProcess serve;
    serve.start(QCoreApplication::applicationDirPath() + "/courtsider-cli",
                {"serve", FPool, "--port", "0"});
    QVERIFY(serve.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(
        QFile::exists(FPool + "/" + TPoolLock::kFileName) || serve.state() == QProcess::NotRunning,
        60000);
    QVERIFY2(serve.state() == QProcess::Running, serve.readAllStandardError());
    const QString sheet = FDir.filePath("held.csv");
    WriteBytes(sheet, QByteArray());
    const TToolRun refused = RunProcess({"import-picks", FPool, sheet});
    QCOMPARE(refused.Status, 1);
    QVERIFY2(
        refused.Err.contains(HeldBy(FPool, "courtsider-cli serve", serve.processId()).toUtf8()),
        refused.Err);
    serve.terminate();
    QVERIFY(serve.waitForFinished(60000));
  }

  void aNewPoolThatDoesNotFitLeavesNoFolder() {
    const QString parent = FDir.filePath("new");
    TToolRun run = RunProcess({"new", parent + "/Fresh.BGD"}, 50);
    QCOMPARE(run.Status, 1);
    QVERIFY2(run.Err.contains("Cannot create a pool in") && run.Err.contains("File too large"),
             run.Err);
    QCOMPARE(Entries(parent), QStringList());

    run = RunProcess({"new", parent + "/Fresh.BGD"});
    QCOMPARE(run.Status, 0);
    QCOMPARE(Entries(parent), QStringList{"Fresh.BGD"});
    QCOMPARE(QFileInfo(parent + "/Fresh.BGD/System.dat").size(), 108);
  }
};

QTEST_GUILESS_MAIN(TestCliProcess)
#include "tst_cli_process.moc"
