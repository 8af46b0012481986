#include <QBuffer>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

#include "CliRunner.h"
#include "ConsoleReportUi.h"
#include "JsonWriter.h"
#include "ScoringRule.h"
#include "TestPools.h"
#include "Version.h"

using namespace TestPools;

class TestCli : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir FDir;

  // A locked pool with two teams and one player, saved to disk.
  QString MakePool(const char* name) {
    const QString dir = FDir.filePath(name);
    QDir().mkpath(dir);
    auto pool = CreatePool(dir);
    pool->SystemFile().SetPoolName(QString::fromUtf8("Büro Pool"));
    pool->SystemFile().SetFinalized(true);
    pool->SystemFile().SetTieBreakerPoints(140);
    AddTeam(pool->TeamsFile(), "Duke", 1, 4, 3);
    AddTeam(pool->TeamsFile(), "Yale \"Bulldogs\"", 3, 13, 2, true);
    TPlayerPicksListObject* ann = AddPlayer(*pool, "Ann", 151);
    ann->Pick(0)->SetRoundReached(7);
    pool->SavePool();
    pool->ClosePool();
    return dir;
  }

 private slots:
  // Long work says how far it has got on a terminal, in one line rewritten in place, and
  // nothing where standard error is not a terminal.
  void progressOnATerminal() {
    QBuffer err;
    err.open(QIODevice::WriteOnly);
    TConsoleReportUi ui(err, true, 0);
    std::atomic<int> step{0};
    ui.RunWithProgress(
        "Report Status", "Working out who can still win",
        [&step] {
          for (; step < 4; ++step)
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
        },
        [&step] { return step / 4.0; }, [] {});
    const QByteArray shown = err.data();
    QVERIFY2(shown.startsWith("\rWorking out who can still win: "), shown.constData());
    QVERIFY(shown.endsWith("\rWorking out who can still win: 100%\x1b[K\n"));
    QVERIFY(shown.count('\n') == 1);

    QBuffer pages;
    pages.open(QIODevice::WriteOnly);
    TConsoleReportUi pagesUi(pages, true, 0);
    for (int page = 1; page <= 3; ++page)
      pagesUi.ShowStatus("Report Status", QStringLiteral("Printing page %1").arg(page));
    pagesUi.HideStatus();
    // Pages made quicker than the eye follows show the first of them only.
    QCOMPARE(pages.data(), QByteArray("\rPrinting page 1\x1b[K\n"));

    QBuffer file;
    file.open(QIODevice::WriteOnly);
    TConsoleReportUi quiet(file, TConsoleReportUi::IsTerminal(file), 0);
    quiet.RunWithProgress(
        "Report Status", "Working", [] {}, [] { return 1.0; }, [] {});
    quiet.ShowStatus("Report Status", "Printing page 1");
    quiet.HideStatus();
    QVERIFY(file.data().isEmpty());
  }

  // Names come from pool files and may hold any character. Control characters must leave
  // as escapes, whether a text starts plain or not: JSON allows none of them raw.
  void jsonEscapesEveryControlCharacter() {
    QStringList texts;
    for (char16_t c = 0; c < 0x20; ++c) {
      texts << QStringLiteral("plain ") + QChar(c) + QStringLiteral(" end");
      texts << QString::fromUtf8("\u00e9 ") + QChar(c);
    }
    texts << QStringLiteral("quote \" back \\ del \x7f")
          << QString::fromUtf8("Z\u00fcrich \u20ac \U0001F3C0 \"") << QString();
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    {
      TJsonWriter json(out);
      json.BeginArray();
      for (const QString& text : texts)
        json.Value(text);
      json.EndArray();
      json.Finish();
    }
    const QByteArray bytes = out.data();
    for (const char byte : bytes.chopped(1))
      QVERIFY2(static_cast<unsigned char>(byte) >= 0x20, qPrintable(QString::number(byte)));
    QVERIFY(bytes.startsWith("[\"plain \\u0000 end\","));
    QJsonParseError error;
    const QJsonArray parsed = QJsonDocument::fromJson(bytes, &error).array();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(parsed.toVariantList().size(), texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i)
      QCOMPARE(parsed.at(i).toString(), texts.at(i));
  }

  void newCreatesAPoolAndRefusesAnExistingOne() {
    const QString dir = FDir.filePath("made/Fresh.BGD");
    TCliRun run = RunTool({"new", dir});
    QCOMPARE(run.Status, 0);
    QCOMPARE(QFileInfo(dir + "/System.dat").size(), 108);
    QVERIFY(QFileInfo::exists(dir + "/Teams.dat"));
    QVERIFY(QFileInfo::exists(dir + "/PlayPick.dat"));

    run = RunTool({"new", dir});
    QCOMPARE(run.Status, 1);
    QVERIFY(run.Err.contains("already holds a pool"));
  }

  void infoTeamsAndPlayersDescribeThePool() {
    const QString dir = MakePool("Described.BGD");
    TCliRun run = RunTool({"info", dir});
    QCOMPARE(run.Status, 0);
    const QJsonObject info = run.Json().object();
    QCOMPARE(info["pool_name"].toString(), QString::fromUtf8("Büro Pool"));
    QCOMPARE(info["bracket_names"].toArray().at(3).toString(), QString("West"));
    QCOMPARE(info["round_points"].toArray().size(), 6);
    QCOMPARE(info["round_points"].toArray().at(5).toInt(), 32);
    QCOMPARE(info["scoring"].toString(), QString("round-points"));
    QCOMPARE(info["locked"].toBool(), true);
    QCOMPARE(info["tie_breaker"].toInt(), 140);
    QCOMPARE(info["teams"].toInt(), 2);
    QCOMPARE(info["players"].toInt(), 1);

    run = RunTool({"teams", dir});
    QCOMPARE(run.Status, 0);
    const QJsonArray teams = run.Json().array();
    QCOMPARE(teams.size(), 2);
    QCOMPARE(teams[1].toObject()["name"].toString(), QString("Yale \"Bulldogs\""));
    QCOMPARE(teams[1].toObject()["region"].toInt(), 3);
    QCOMPARE(teams[1].toObject()["seed"].toInt(), 13);
    QCOMPARE(teams[1].toObject()["round_reached"].toInt(), 2);
    QCOMPARE(teams[1].toObject()["eliminated"].toBool(), true);

    run = RunTool({"players", dir});
    QCOMPARE(run.Status, 0);
    const QJsonObject ann = run.Json().array().at(0).toObject();
    QCOMPARE(ann["name"].toString(), QString("Ann"));
    QCOMPARE(ann["tie_breaker"].toInt(), 151);
    const QJsonArray picks = ann["picks"].toArray();
    QCOMPARE(picks.size(), 64);
    QCOMPARE(picks[0].toObject()["team"].toString(), QString("Duke"));
    QCOMPARE(picks[0].toObject()["round_reached"].toInt(), 7);
    QCOMPARE(picks[1].toObject()["seed"].toInt(), 13);
    QCOMPARE(picks[2].toObject()["team"].toString(), QString());
  }

  // The rule is set through the pool's document under its lock, saved, and every score then
  // says it; a rule the tool does not know is a usage error that names the ones it does.
  void scoringSetsTheRule() {
    const QString dir = MakePool("Rules.BGD");
    TCliRun run = RunTool({"scoring", dir, "Upset-Bonus"});
    QCOMPARE(run.Status, 0);
    QCOMPARE(run.Out, QString("Scoring: Upset bonus\n"));
    QCOMPARE(RunTool({"info", dir}).Json().object()["scoring"].toString(), QString("upset-bonus"));
    run = RunTool({"standings", dir, "--format", "json"});
    QCOMPARE(run.Json().object()["title"].toString(),
             QString("Standings by Current Points - Upset bonus"));
    QCOMPARE(run.Json().object()["scoring"].toString(), QString("upset-bonus"));

    run = RunTool({"scoring", dir, "double"});
    QCOMPARE(run.Status, 2);
    QVERIFY2(run.Err.contains("relaxed-upset-bonus, upset-multiplier"), qPrintable(run.Err));
    {
      auto open = TestPools::OpenPool(dir);
      run = RunTool({"scoring", dir, "seed-bonus"});
      QCOMPARE(run.Status, 1);
      QCOMPARE(open->ScoringRule(), TScoringRule::UpsetBonus);
    }
  }

  // Prizes set through the document and saved; what is not given stays; a bad split or fee
  // is refused with its reason and changes nothing; "--split none" takes them away.
  void prizesAreSetShownAndTakenAway() {
    const QString dir = MakePool("Prizes.BGD");
    TCliRun run = RunTool({"prizes", dir, "--fee", "10", "--split", "60, 30,10"});
    QCOMPARE(run.Status, 0);
    QCOMPARE(run.Out, QString("Entry fee: 10.00\nPrize split: 60,30,10\n"));
    run = RunTool({"prizes", dir, "--fee", "12.5"});
    QCOMPARE(run.Out, QString("Entry fee: 12.50\nPrize split: 60,30,10\n"));
    const QByteArray saved = TestPools::ReadBytes(dir + "/Prizes.ini");
    for (const QStringList& bad : {QStringList{"--split", "60,30"}, QStringList{"--fee", "ten"},
                                   QStringList{"--fee", "0"}}) {
      run = RunTool(QStringList{"prizes", dir} + bad);
      QCOMPARE(run.Status, 1);
      QVERIFY2(run.Err.contains("Nothing was changed"), qPrintable(run.Err));
    }
    QVERIFY(run.Err.startsWith("A pool that pays prizes needs an entry fee above 0."));
    QCOMPARE(TestPools::ReadBytes(dir + "/Prizes.ini"), saved);
    const QJsonObject prizes = RunTool({"info", dir}).Json().object()["prizes"].toObject();
    QCOMPARE(prizes["fee"].toString(), QString("12.50"));
    QCOMPARE(prizes["split"].toString(), QString("60,30,10"));

    QCOMPARE(RunTool({"prizes", dir, "--split", "none"}).Status, 0);
    QCOMPARE(RunTool({"prizes", dir}).Out,
             QString("No prizes: set them with --fee N --split 60,30,10.\n"));
    QVERIFY(RunTool({"info", dir}).Json().object()["prizes"].isNull());
  }

  void longOutputComesOutWhole() {
    // Far more than one buffer's worth of JSON.
    const QString dir = FDir.filePath("Crowd.BGD");
    QDir().mkpath(dir);
    auto pool = CreatePool(dir);
    AddFullField(pool->TeamsFile());
    pool->SystemFile().SetFinalized(true);
    for (int i = 0; i < 40; ++i)
      AddPlayer(*pool, QString::fromUtf8("Spieler Nr. %1 – ü").arg(i), i);
    pool->SavePool();
    pool->ClosePool();

    const TCliRun run = RunTool({"players", dir});
    QCOMPARE(run.Status, 0);
    QVERIFY(run.Out.size() > 100000);
    QJsonParseError error;
    const QJsonArray players = QJsonDocument::fromJson(run.Out, &error).array();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(players.size(), 40);
    QCOMPARE(players.last().toObject()["name"].toString(), QString::fromUtf8("Spieler Nr. 39 – ü"));
    QCOMPARE(players.last().toObject()["picks"].toArray().at(63).toObject()["team"].toString(),
             QString("R4S16"));
  }

  void readingNeverChangesThePool() {
    const QString dir = MakePool("Untouched.BGD");
    QMap<QString, QByteArray> before;
    for (const QString& file : QDir(dir).entryList(QDir::Files)) {
      before[file] = ReadBytes(dir + "/" + file);
    }
    for (const char* command : {"info", "teams", "players"}) {
      QCOMPARE(RunTool({command, dir}).Status, 0);
    }
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
      QCOMPARE(ReadBytes(dir + "/" + it.key()), it.value());
    }

    // A pool without a player file reads as one without players; the file is not created.
    QVERIFY(QFile::remove(dir + "/PlayPick.dat"));
    const TCliRun run = RunTool({"info", dir});
    QCOMPARE(run.Status, 0);
    QCOMPARE(run.Json().object()["players"].toInt(), 0);
    QVERIFY(!QFile::exists(dir + "/PlayPick.dat"));
  }

  void failuresAndUsage() {
    TCliRun run = RunTool({"info", FDir.filePath("Nowhere.BGD")});
    QCOMPARE(run.Status, 1);
    QVERIFY(run.Err.startsWith("Error opening pool database\n"));
    QVERIFY(run.Out.isEmpty());

    // A folder without a settings file is no pool either.
    QDir().mkpath(FDir.filePath("Empty.BGD"));
    run = RunTool({"teams", FDir.filePath("Empty.BGD")});
    QCOMPARE(run.Status, 1);
    QVERIFY(run.Err.startsWith("Error opening pool database\n"));

    QCOMPARE(RunTool({}).Status, 2);
    QCOMPARE(RunTool({"frobnicate"}).Status, 2);
    run = RunTool({"info"});
    QCOMPARE(run.Status, 2);
    QVERIFY(run.Err.contains("usage: courtsider-cli info DIR"));
    QCOMPARE(RunTool({"info", "a", "b"}).Status, 2);

    // The tool's own options come before the command; after it, options are the command's.
    run = RunTool({"--version"});
    QCOMPARE(run.Status, 0);
    QCOMPARE(run.Out, QString("courtsider-cli " + kProgramVersion + "\n").toUtf8());
    run = RunTool({"-h"});
    QCOMPARE(run.Status, 0);
    QVERIFY(run.Out.contains("courtsider-cli info DIR"));
    run = RunTool({"--frobnicate"});
    QCOMPARE(run.Status, 2);
    QVERIFY(run.Err.startsWith("Unknown option 'frobnicate'."));
    run = RunTool({"info", "--version"});
    QCOMPARE(run.Status, 2);
    QVERIFY(run.Err.contains("usage: courtsider-cli info DIR"));
  }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
