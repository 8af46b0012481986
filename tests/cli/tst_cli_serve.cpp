// courtsider-cli serve: its command line, and a whole run of the real tool in a process of its
// own, an entry taken over HTTP and Ctrl+C ending it.
#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "CliRunner.h"
#include "Csv.h"
#include "HttpProbe.h"
#include "PicksImport.h"
#include "PicksSheet.h"
#include "TestPools.h"

class TestCliServe : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir FDir;

  QString MakePool(const QString& name, bool locked) {
    return TestPools::SaveFullPool(FDir.filePath(name), locked);
  }

 private slots:
  void wrongCommandLinesAreRefused_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("said");
    QTest::newRow("port") << QStringList{"--port", "70000"} << "--port must be a whole number";
    QTest::newRow("time") << QStringList{"--until", "next Friday"} << "YYYY-MM-DD HH:MM";
    QTest::newRow("past") << QStringList{"--until", "2001-03-15 12:00"} << "has passed already";
  }

  void wrongCommandLinesAreRefused() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, said);
    const TCliRun run = RunTool(QStringList{"serve", MakePool("Args.BGD", true)} + arguments);
    QCOMPARE(run.Status, 2);
    QVERIFY2(run.Err.contains(said.toUtf8()), run.Err.constData());
  }

  void anOpenFirstRoundIsNotServed() {
    const TCliRun run = RunTool({"serve", MakePool("Open.BGD", false), "--port", "0"});
    QCOMPARE(run.Status, 1);
    QCOMPARE(QString::fromUtf8(run.Err).trimmed(), TOpenPool::kNotLocked);
  }

  // Once a game has its winner the pool is served read-only: the tool takes no lock, so the
  // organiser's results go in beside it.
  void aPoolWithAResultIsServedReadOnly() {
    const QString directory = MakePool("Played.BGD", true);
    auto pool = TestPools::OpenPool(directory);
    TestPools::AddPlayer(*pool, QStringLiteral("Early Bird"), 120);
    // Into the last four: the win chances the page gives are worked out at once.
    TestPools::PlayUpperLinesUpTo(*pool, 5);
    pool->TeamsFile().SetModified(true);
    QVERIFY(pool->SavePool());
    pool->ClosePool();
    QProcess tool;
    tool.setProgram(QCoreApplication::applicationDirPath() + "/courtsider-cli");
    tool.setArguments({"serve", directory, "--port", "0"});
    tool.start();
    QVERIFY(tool.waitForReadyRead(60000));
    const QString first = QString::fromUtf8(tool.readLine());
    QVERIFY2(first.startsWith("Entries are closed: serving the standings at http://127.0.0.1:"),
             qPrintable(first));
    const quint16 port =
        first.section(QStringLiteral("http://127.0.0.1:"), 1).section('/', 0, 0).toUShort();
    const auto page = HttpProbe::Exchange(HttpProbe::Request("GET", "/", port), port);
    QCOMPARE(page.Status, 200);
    QVERIFY(page.Body.contains("<a href=\"/player/1\">Early Bird</a>"));
    QCOMPARE(HttpProbe::Exchange(HttpProbe::PostEntry("{}", port), port).Status, 404);
    pool = TestPools::OpenPool(directory);
    QVERIFY(pool);
    pool->ClosePool();
    ::kill(static_cast<pid_t>(tool.processId()), SIGINT);
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(tool.readAll()), QStringLiteral("Stopped.\n"));
  }

  void servesUntilCtrlC() {
    const QString directory = MakePool("Served.BGD", true);
    QProcess tool;
    tool.setProgram(QCoreApplication::applicationDirPath() + "/courtsider-cli");
    tool.setArguments({"serve", directory, "--port", "0", "--until", "2999-12-31 23:59"});
    tool.start();
    QVERIFY(tool.waitForReadyRead(60000));
    const QString first = QString::fromUtf8(tool.readLine());
    QVERIFY2(first.contains("until 2999-12-31 23:59. Ctrl+C stops."), qPrintable(first));
    const quint16 port =
        first.section(QStringLiteral("http://127.0.0.1:"), 1).section('/', 0, 0).toUShort();
    QVERIFY(port > 0);

    // The tool holds the pool while it serves: a look needs no lock.
    auto pool = TestPools::OpenReadOnly(directory);
    const Csv::TTable sheet = Csv::Read(TPicksSheet(*pool).Template());
    pool->ClosePool();
    const QJsonObject entry{{"name", "Cli Player"},
                            {"guess", "133"},
                            {"winners", QJsonArray::fromStringList(
                                            sheet.Rows.at(1).mid(TPicksSheet::kFirstGameColumn))}};
    const auto answer = HttpProbe::Exchange(
        HttpProbe::PostEntry(QJsonDocument(entry).toJson(QJsonDocument::Compact), port), port);
    QCOMPARE(answer.Status, 200);
    // A name made to clear the terminal, retitle it and forge a line of its own.
    const QJsonObject forged{{"name", "\x1b[2J\x1b]0;Mine\x07\n2026-01-01 10:00:00 new entry \"Al\""},
                             {"guess", "133"},
                             {"winners", QJsonArray{}}};
    QCOMPARE(HttpProbe::Exchange(
                 HttpProbe::PostEntry(QJsonDocument(forged).toJson(QJsonDocument::Compact), port),
                 port)
                 .Status,
             422);

    ::kill(static_cast<pid_t>(tool.processId()), SIGINT);
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.exitCode(), 0);
    const QString said = QString::fromUtf8(tool.readAll());
    QVERIFY2(said.contains("new entry \"Cli Player\""), qPrintable(said));
    // One line per event, the name one escaped, quoted value, nothing raw for the terminal.
    QCOMPARE(said.count('\n'), 3);
    QVERIFY2(!said.contains('\x1b') && !said.contains('\x07'), qPrintable(said));
    QVERIFY2(said.contains(" refused \"\\u001b[2J\\u001b]0;Mine\\u0007\\n2026-01-01 10:00:00 "
                           "new entry \\\"Al\\\"\": "),
             qPrintable(said));
    QVERIFY2(said.endsWith("Stopped. 1 new entries, 0 changed.\n"), qPrintable(said));
    pool = TestPools::OpenPool(directory);
    QVERIFY(pool->PlayerPicksFile().FindPlayer("Cli Player"));
    pool->ClosePool();
  }
};

QTEST_MAIN(TestCliServe)
#include "tst_cli_serve.moc"
