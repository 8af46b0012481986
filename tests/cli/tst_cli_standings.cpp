#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "CliRunner.h"
#include "TestPools.h"

using namespace TestPools;

class TestCliStandings : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir FDir;

  // A pool of the 64-team field where team 0 has won two games and team 1 is out, with three
  // players, saved to disk.
  QString MakePool(const char* name, bool locked, int actualTotal) {
    const QString dir = FDir.filePath(name);
    QDir().mkpath(dir);
    auto pool = CreatePool(dir);
    pool->SystemFile().SetPoolName("Office Pool");
    pool->SystemFile().SetFinalized(locked);
    pool->SystemFile().SetTieBreakerPoints(actualTotal);
    AddFullField(pool->TeamsFile());
    pool->TeamsFile().Items(0)->SetRoundReached(3);
    pool->TeamsFile().Items(1)->SetEliminated(true);
    if (locked) {
      AddPlayer(*pool, "Ann", 150)->Pick(0)->SetRoundReached(7);            // 3 earned, 63 possible
      AddPlayer(*pool, "Smith, \"Bo\"", 135)->Pick(0)->SetRoundReached(3);  // 3 and 3
      AddPlayer(*pool, QString::fromUtf8("Zoë"), 99)->Pick(1)->SetRoundReached(2);  // nothing
    }
    pool->SavePool();
    pool->ClosePool();
    return dir;
  }

  // The same field with its first two rounds played, the upper line of every game winning
  // (R1S1 through, R1S8 out in round 2, R1S16 in round 1), and three players.
  QString MakePlayedPool(const char* name) {
    const QString dir = FDir.filePath(name);
    QDir().mkpath(dir);
    auto pool = CreatePool(dir);
    pool->SystemFile().SetPoolName("Office Pool");
    pool->SystemFile().SetFinalized(true);
    AddFullField(pool->TeamsFile());
    PlayUpperLinesUpTo(*pool, 3);
    AddPicks(*pool, "Ann", 150, {{"R1S1", 7}});               // 1 and 3 points
    AddPicks(*pool, "Bo", 140, {{"R1S8", 3}, {"R1S16", 2}});  // 1 and 1
    AddPicks(*pool, "Cy", 130, {{"R1S1", 4}, {"R1S8", 2}});   // 2 and 4
    pool->SavePool();
    pool->ClosePool();
    return dir;
  }

  static QList<QByteArray> Lines(const QByteArray& out) {
    QList<QByteArray> lines = out.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
      lines.removeLast();
    return lines;
  }

 private slots:
  void historyAfterEachCompletedRound() {
    const QString dir = MakePlayedPool("History.BGD");
    const TCliRun json = RunTool({"history", dir, "--format", "json"});
    QCOMPARE(json.Status, 0);
    const QJsonObject top = json.Json().object();
    QCOMPARE(top["rounds"].toArray(), QJsonArray({1, 2}));
    const QJsonArray rows = top["rows"].toArray();
    QCOMPARE(rows.size(), 3);
    auto row = [&rows](int i) {
      const QJsonObject player = rows[i].toObject();
      return QStringList{player["player"].toString(),
                         QJsonDocument(player["points"].toArray()).toJson(QJsonDocument::Compact),
                         QJsonDocument(player["places"].toArray()).toJson(QJsonDocument::Compact)};
    };
    QCOMPARE(row(0), QStringList({"Cy", "[2,4]", "[1,1]"}));
    QCOMPARE(row(1), QStringList({"Ann", "[1,3]", "[2,2]"}));
    QCOMPARE(row(2), QStringList({"Bo", "[1,1]", "[2,3]"}));

    const QList<QByteArray> text = Lines(RunTool({"history", dir}).Out);
    QCOMPARE(text.at(1), QByteArray("Standings by Round"));
    QCOMPARE(text.at(3), "Player Name" + QByteArray(24, ' ') + "    Rd 1 Pos      Rd 2 Pos");
    QCOMPARE(text.at(5), "Ann" + QByteArray(32, ' ') + "       1 2nd         3 2nd");
    QCOMPARE(Lines(RunTool({"history", dir, "--format", "csv"}).Out).at(2),
             QByteArray("Ann,1,2,3,2"));
    // Before any round is over there is nothing to show but that.
    const QString fresh = MakePool("Fresh.BGD", true, 0);
    QCOMPARE(Lines(RunTool({"history", fresh}).Out).at(3),
             QByteArray("No round has been completed yet."));
  }

  void popularityAsJson() {
    const QString dir = MakePlayedPool("Popular.BGD");
    const TCliRun run = RunTool({"popularity", dir, "--format", "json"});
    QCOMPARE(run.Status, 0);
    const QJsonObject top = run.Json().object();
    QCOMPARE(top["players"].toInt(), 3);
    const QJsonObject first = top["teams"].toArray().at(0).toObject();
    QCOMPARE(first["team"].toString(), QString("R1S1"));
    QCOMPARE(first["picked"].toArray(), QJsonArray({2, 2, 2, 1, 1, 1}));
    QCOMPARE(first["shares"].toArray().at(3).toDouble(), 1.0 / 3);
    QCOMPARE(top["champions"].toArray(),
             QJsonArray({QJsonObject{{"team", "R1S1"}, {"players", 1}, {"share", 1.0 / 3}}}));
    const QJsonArray alone = top["alone"].toArray();
    QCOMPARE(alone.at(0).toObject()["picks"].toArray(),
             QJsonArray({QJsonObject{{"team", "R1S1"}, {"from_round", 4}, {"to_round", 6}}}));
    QCOMPARE(alone.at(1).toObject()["picks"].toArray(),
             QJsonArray({QJsonObject{{"team", "R1S8"}, {"from_round", 2}, {"to_round", 2}},
                         QJsonObject{{"team", "R1S16"}, {"from_round", 1}, {"to_round", 1}}}));
    QVERIFY(alone.at(2).toObject()["picks"].toArray().isEmpty());
  }

  void standingsJsonHoldsEveryRowInReportOrder() {
    const QString dir = MakePool("Json.BGD", true, 140);
    const TCliRun run = RunTool({"standings", dir, "--format", "json"});
    QCOMPARE(run.Status, 0);
    const QJsonObject top = run.Json().object();
    QCOMPARE(top.keys(), QStringList({"pool_name", "rows", "scoring", "tie_breaker", "title"}));
    QCOMPARE(top["pool_name"].toString(), QString("Office Pool"));
    QCOMPARE(top["title"].toString(), QString("Standings by Current Points"));
    QCOMPARE(top["tie_breaker"].toInt(), 140);
    const QJsonArray rows = top["rows"].toArray();
    QCOMPARE(rows.size(), 3);

    // Ann and Bo both have 3 points; Bo's guess is closer to 140.
    const QJsonObject bo = rows[0].toObject();
    QCOMPARE(bo.keys(), QStringList({"champion", "current", "final_four", "finals", "place",
                                     "player", "position", "potential", "round_correct",
                                     "round_possible", "tie_breaker"}));
    QCOMPARE(bo["position"].toInt(), 1);
    QCOMPARE(bo["player"].toString(), QString("Smith, \"Bo\""));
    QCOMPARE(bo["tie_breaker"].toInt(), 135);
    const QJsonObject ann = rows[1].toObject();
    QCOMPARE(ann["position"].toInt(), 2);
    QCOMPARE(ann["current"].toInt(), 3);
    QCOMPARE(ann["potential"].toInt(), 63);
    QCOMPARE(ann["round_correct"].toArray(), QJsonArray({1, 1, 0, 0, 0, 0}));
    QCOMPARE(ann["round_possible"].toArray(), QJsonArray({1, 1, 1, 1, 1, 1}));
    QCOMPARE(ann["final_four"].toArray(), QJsonArray({"R1S1", "", "", ""}));
    QCOMPARE(ann["finals"].toArray(), QJsonArray({"R1S1", ""}));
    QCOMPARE(ann["champion"].toString(), QString("R1S1"));
    QCOMPARE(rows[2].toObject()["player"].toString(), QString::fromUtf8("Zoë"));

    const QJsonObject potential =
        RunTool({"standings", dir, "--by", "potential", "--format", "json"}).Json().object();
    QCOMPARE(potential["title"].toString(), QString("Standings by Potential Points Remaining"));
    QCOMPARE(potential["rows"].toArray()[0].toObject()["player"].toString(), QString("Ann"));
  }

  // Once the final is played, each player's prize: two still level after the tie-breaker
  // share the prizes of first and second place. While games are left, no prize anywhere.
  void standingsShowThePrizesOnceTheTournamentIsOver() {
    for (const int upTo : {6, 7}) {
      const QString dir = FDir.filePath(QString("Prizes%1.BGD").arg(upTo));
      QDir().mkpath(dir);
      auto pool = CreatePool(dir);
      pool->SystemFile().SetFinalized(true);
      pool->SystemFile().SetTieBreakerPoints(upTo == 7 ? 140 : 0);
      AddFullField(pool->TeamsFile());
      PlayUpperLinesUpTo(*pool, upTo);
      AddPicks(*pool, "Ann", 150, {{"R1S1", 7}});
      AddPicks(*pool, "Bo", 130, {{"R1S1", 7}});  // as far from the total as Ann
      AddPicks(*pool, "Cy", 140, {{"R1S1", 4}});
      AddPicks(*pool, "Dee", 140, {{"R1S8", 3}});
      pool->SetPrizes({2500, {6000, 3000, 1000}});
      pool->SavePool();
      pool->ClosePool();

      const QJsonArray rows =
          RunTool({"standings", dir, "--format", "json"}).Json().object()["rows"].toArray();
      QStringList prizes;
      for (const QJsonValue& row : rows) {
        if (row.toObject().contains("prize"))
          prizes << row.toObject()["player"].toString() + " " + row.toObject()["prize"].toString();
      }
      const TCliRun text = RunTool({"standings", dir});
      const TCliRun csv = RunTool({"standings", dir, "--format", "csv"});
      if (upTo == 6) {
        QVERIFY2(prizes.isEmpty(), qPrintable(prizes.join(", ")));
        QVERIFY(!text.Out.contains("Prize") && !csv.Out.contains("Prize"));
        continue;
      }
      QCOMPARE(prizes, QStringList({"Ann 45.00", "Bo 45.00", "Cy 10.00", "Dee 0.00"}));
      QVERIFY(Lines(text.Out).at(4).endsWith("45.00"));
      QVERIFY(Lines(csv.Out).at(3).endsWith(",3,10.00"));
    }
  }

  void standingsTextAndCsvFollowTheReportColumns() {
    const QString dir = MakePool("Text.BGD", true, 0);
    TCliRun run = RunTool({"standings", dir});
    QCOMPARE(run.Status, 0);
    QList<QByteArray> lines = Lines(run.Out);
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines[0], QByteArray("Office Pool"));
    QCOMPARE(lines[1], QByteArray("Standings by Current Points"));
    QCOMPARE(lines[3].simplified(),
             QByteArray("Pos Player Name Total Rd 1 Rd 2 Rd 3 Rd 4 Rd 5 Rd 6 TB pts"));
    // No actual total yet: equal points keep the order the players were added.
    QCOMPARE(lines[4].simplified(), QByteArray("1 Ann 3 1 1 0 0 0 0 150"));
    QCOMPARE(lines[6].simplified(), QString::fromUtf8("3 Zoë 0 0 0 0 0 0 0 99").toUtf8());

    run = RunTool({"standings", dir, "--by", "potential", "--format", "csv"});
    QCOMPARE(run.Status, 0);
    lines = Lines(run.Out);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0],
             QByteArray("Pos,Player Name,Total,Rd 1,Rd 2,Rd 3,Rd 4,Rd 5,Rd 6,TB pts,Place"));
    QCOMPARE(lines[1], QByteArray("1,Ann,63,1,1,1,1,1,1,150,1"));
    QCOMPARE(lines[2], QByteArray("2,\"Smith, \"\"Bo\"\"\",3,1,1,0,0,0,0,135,2"));

    // Once the actual total is entered, every row carries its difference.
    const QString entered = MakePool("Entered.BGD", true, 140);
    lines = Lines(RunTool({"standings", entered, "--format", "csv"}).Out);
    QVERIFY(lines[0].endsWith(",TB pts,+/-,Place"));
    QCOMPARE(lines[1], QByteArray("1,\"Smith, \"\"Bo\"\"\",3,1,1,0,0,0,0,135,-5,1"));
    QCOMPARE(lines[2], QByteArray("2,Ann,3,1,1,0,0,0,0,150,10,1"));
    lines = Lines(RunTool({"standings", entered}).Out);
    QVERIFY(lines[3].endsWith("TB pts    +/-"));
    QVERIFY(lines[4].endsWith("135     -5"));
  }

  // A name a spreadsheet would run as a formula is written after an apostrophe.
  void csvNamesNeverRunAsFormulas() {
    const QString dir = MakePool("Formula.BGD", true, 0);
    auto pool = OpenPool(dir);
    pool->PlayerPicksFile().Items(2)->SetPlayerName("=HYPERLINK(\"http://x\",\"y\")");
    pool->PlayerPicksFile().SetModified(true);
    QVERIFY(pool->SavePool());
    pool->ClosePool();
    const QList<QByteArray> lines = Lines(RunTool({"standings", dir, "--format", "csv"}).Out);
    QCOMPARE(lines[3],
             QByteArray("3,\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\",0,0,0,0,0,0,0,99,3"));
  }

  void selectionsListEachPlayersPicksByRound() {
    const QString dir = MakePool("Picks.BGD", true, 0);
    TCliRun run = RunTool({"selections", dir, "--format", "json"});
    QCOMPARE(run.Status, 0);
    const QJsonObject top = run.Json().object();
    QCOMPARE(top.keys(), QStringList({"pool_name", "rows"}));
    const QJsonArray rows = top["rows"].toArray();
    QCOMPARE(rows.size(), 3);
    const QJsonObject ann = rows[0].toObject();
    QCOMPARE(ann["player"].toString(), QString("Ann"));
    const QJsonArray annRounds = ann["rounds"].toArray();
    QCOMPARE(annRounds.size(), 6);
    for (const QJsonValue& round : annRounds)
      QCOMPARE(round.toArray(), QJsonArray({"R1S1"}));
    const QJsonArray boRounds = rows[1].toObject()["rounds"].toArray();
    QCOMPARE(boRounds[1].toArray(), QJsonArray({"R1S1"}));
    QCOMPARE(boRounds[2].toArray(), QJsonArray());

    run = RunTool({"selections", dir});
    QCOMPARE(run.Status, 0);
    const QList<QByteArray> lines = Lines(run.Out);
    QCOMPARE(lines[1], QByteArray("Player Selections"));
    QCOMPARE(lines[3], QByteArray("Ann"));
    QCOMPARE(lines[4], QByteArray("  Rd 1: R1S1"));
    QCOMPARE(lines[9], QByteArray("  Rd 6: R1S1"));
    QCOMPARE(lines.size(), 2 + 3 * 8);
  }

  // An unlocked pool holds no players and still prints; nothing is ever written back.
  void readingNeitherNeedsALockNorChangesThePool() {
    const QString open = MakePool("Open.BGD", false, 0);
    TCliRun run = RunTool({"standings", open, "--format", "json"});
    QCOMPARE(run.Status, 0);
    QVERIFY(run.Json().object()["rows"].toArray().isEmpty());

    const QString dir = MakePool("Kept.BGD", true, 140);
    QMap<QString, QByteArray> before;
    for (const QString& file : QDir(dir).entryList(QDir::Files)) {
      before[file] = ReadBytes(dir + "/" + file);
    }
    for (const QStringList& arguments :
         {QStringList{"standings", dir}, QStringList{"standings", dir, "--format", "csv"},
          QStringList{"standings", dir, "--by", "potential", "--format", "json"},
          QStringList{"selections", dir}, QStringList{"selections", dir, "--format", "json"}}) {
      QCOMPARE(RunTool(arguments).Status, 0);
    }
    QCOMPARE(QDir(dir).entryList(QDir::Files), before.keys());
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
      QCOMPARE(ReadBytes(dir + "/" + it.key()), it.value());
    }
  }

  void wrongArgumentsAndMissingPools() {
    const QString dir = MakePool("Args.BGD", true, 0);
    TCliRun run = RunTool({"standings", dir, "--by", "luck"});
    QCOMPARE(run.Status, 2);
    QVERIFY(run.Err.contains("usage: courtsider-cli standings DIR"));
    QCOMPARE(RunTool({"standings", dir, "--format", "pdf"}).Status, 2);
    QCOMPARE(RunTool({"selections", dir, "--format", "csv"}).Status, 2);
    QCOMPARE(RunTool({"selections"}).Status, 2);

    run = RunTool({"standings", FDir.filePath("Missing.BGD")});
    QCOMPARE(run.Status, 1);
    QVERIFY(run.Err.startsWith("Error opening pool database\n"));
    QVERIFY(run.Out.isEmpty());
  }
};

QTEST_GUILESS_MAIN(TestCliStandings)
#include "tst_cli_standings.moc"
