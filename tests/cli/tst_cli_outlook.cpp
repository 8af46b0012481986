#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <array>

#include "CliRunner.h"
#include "TestPools.h"

using namespace TestPools;

namespace {
// The name AddFullField gives the team at `index` of the teams file.
QString TeamName(int index) {
  return QStringLiteral("R%1S%2").arg(index / 16 + 1).arg(index % 16 + 1);
}
}  // namespace

class TestCliOutlook : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir FDir;

  // The 64-team field after two rounds won by the better seed every time: the four best
  // seeds of each region are left, fifteen games to go. Ann and Bo each took a top seed of
  // the left side as champion; Cy advanced nobody.
  QString MakePool(const char* name, bool locked) {
    const QString dir = FDir.filePath(name);
    QDir().mkpath(dir);
    auto pool = CreatePool(dir);
    pool->SystemFile().SetPoolName("Office Pool");
    pool->SystemFile().SetFinalized(locked);
    AddFullField(pool->TeamsFile());
    for (int i = 0; i < 64; ++i) {
      const int seed = i % 16 + 1;
      TTeamSeedObject* team = pool->TeamsFile().Items(i);
      team->SetRoundReached(seed <= 4 ? 3 : seed <= 8 ? 2 : 1);
      team->SetEliminated(seed > 4);
    }
    if (locked) {
      AddPlayer(*pool, "Ann")->Pick(0)->SetRoundReached(7);
      AddPlayer(*pool, "Bo")->Pick(16)->SetRoundReached(7);
      AddPlayer(*pool, "Cy");
    }
    pool->SavePool();
    pool->ClosePool();
    return dir;
  }

 private slots:
  void jsonFollowsTheDocumentedSchema() {
    const QString dir = MakePool("Json.BGD", true);
    const TCliRun run = RunTool({"outlook", dir, "--format", "json", "--threads", "2"});
    QCOMPARE(run.Status, 0);
    const QJsonObject top = run.Json().object();
    QCOMPARE(top.keys(), QStringList({"assumed", "exact", "games_left", "last_games", "model",
                                      "outcomes", "players", "pool_name", "rooting", "samples"}));
    // Fifteen games left: too many to list every outcome.
    QVERIFY(top["last_games"].toArray().isEmpty());
    QCOMPARE(top["model"].toString(), QString("even"));
    QCOMPARE(top["exact"].toBool(), true);
    QCOMPARE(top["outcomes"].toInteger(), 32768);
    QCOMPARE(top["samples"].toInteger(), 0);
    QCOMPARE(top["games_left"].toInt(), 15);
    const QJsonArray players = top["players"].toArray();
    QCOMPARE(players.size(), 3);
    double chances = 0;
    for (const QJsonValue& value : players) {
      const QJsonObject player = value.toObject();
      QCOMPARE(player.keys(), QStringList({"best_place", "champions", "current", "max", "player",
                                           "tied", "win_chance", "win_chance_high",
                                           "win_chance_low", "won", "worst_place"}));
      chances += player["win_chance"].toDouble();
      QCOMPARE(player["win_chance_low"].toDouble(), player["win_chance"].toDouble());
    }
    QVERIFY(qAbs(chances - 1.0) < 1e-9);
    // Cy has nothing left and comes last, 0 points against 3 each.
    const QJsonObject cy = players.last().toObject();
    QCOMPARE(cy["player"].toString(), QString("Cy"));
    QCOMPARE(cy["current"].toInt(), 0);
    QCOMPARE(cy["max"].toInt(), 0);
    QCOMPARE(cy["win_chance"].toDouble(), 0.0);
    QCOMPARE(cy["best_place"].toInt(), 3);
    QVERIFY(cy["champions"].toArray().isEmpty());
    // Ann wins alone only where her champion goes further than Bo's, and the one champion
    // she can win with is hers.
    const QJsonObject ann =
        players.at(players.at(0).toObject()["player"] == "Ann" ? 0 : 1).toObject();
    QCOMPARE(ann["current"].toInt(), 3);
    QCOMPARE(ann["max"].toInt(), 63);
    QCOMPARE(ann["best_place"].toInt(), 1);
    QCOMPARE(ann["worst_place"].toInt(), 2);
    QVERIFY(ann["won"].toDouble() > 0 && ann["tied"].toDouble() > 0);
    QCOMPARE(ann["champions"].toArray().at(0).toObject()["team"].toString(), QString("R1S1"));

    const QJsonArray rooting = top["rooting"].toArray();
    QCOMPARE(rooting.size(), 8);
    const QJsonObject first = rooting.at(0).toObject();
    QCOMPARE(first["round"].toInt(), 3);
    QCOMPARE(first["teams"].toArray(), QJsonArray({"R1S1", "R1S4"}));
    // Ann needs her champion to win its next game: without it she can only tie.
    for (const QJsonValue& value : first["players"].toArray()) {
      const QJsonObject player = value.toObject();
      if (player["player"] == "Ann") {
        const QJsonArray chance = player["win_chance"].toArray();
        QVERIFY(chance.at(0).toDouble() > ann["win_chance"].toDouble());
        QVERIFY(chance.at(1).toDouble() < ann["win_chance"].toDouble());
      }
    }
  }

  void textAndCsvShowTheTableAndTheRootingGuide() {
    const QString dir = MakePool("Text.BGD", true);
    const TCliRun text = RunTool({"outlook", dir, "--model", "seed"});
    QCOMPARE(text.Status, 0);
    const QList<QByteArray> lines = text.Out.split('\n');
    QCOMPARE(lines.at(0), QByteArray("Office Pool"));
    QCOMPARE(lines.at(1), QByteArray("Who Can Still Win"));
    QVERIFY(lines.at(2).contains("15 games left; games weighed by the teams' seeds"));
    QVERIFY(lines.at(4).startsWith(" Pos  Player Name"));
    // The rooting guide: a line for each player who can still win, with the results of the
    // next round that help most. Ann needs her champion to win its next game.
    const int guide = lines.indexOf(
        "Rooting guide: the results of Rd 3 that raise each player's win chance most, and the "
        "chance if they come");
    QVERIFY(guide > 8);
    const QList<QByteArray> rooting = lines.mid(guide + 1);
    QCOMPARE(rooting.size(), 3);  // Ann, Bo and the end of the output
    const QByteArray ann = rooting.at(rooting.at(0).contains("Ann") ? 0 : 1);
    QVERIFY2(ann.contains(" R1S1 "), ann.constData());
    QVERIFY(!text.Out.mid(text.Out.indexOf("Rooting guide")).contains("Cy"));

    const TCliRun csv = RunTool({"outlook", dir, "--format", "csv"});
    QCOMPARE(csv.Status, 0);
    const QList<QByteArray> rows = csv.Out.split('\n');
    QVERIFY(rows.at(0).startsWith("Pos,Player Name,Current,Max,Best Place,Worst Place,Won,Tied"));
    QVERIFY(rows.at(0).endsWith(",Rd 3 R4S3 v R4S2: R4S3,Rd 3 R4S3 v R4S2: R4S2"));
    // Three players, each with 16 rooting columns after the 10 of the table.
    QCOMPARE(rows.at(3).count(',') + 1, 10 + 16);
  }

  // Before the results are in the outcomes are drawn: the Won and Tied columns hold shares
  // of the outcomes, as no count of 2^63 fits them, and each chance carries its interval, the
  // expected prize and the chance of a paid place too.
  void sampledTextKeepsItsColumns() {
    const QString dir = FDir.filePath("Sampled.BGD");
    QDir().mkpath(dir);
    auto pool = CreatePool(dir);
    pool->SystemFile().SetFinalized(true);
    AddFullField(pool->TeamsFile());
    AddPlayer(*pool, "Ann")->Pick(0)->SetRoundReached(7);
    AddPlayer(*pool, "Bo")->Pick(16)->SetRoundReached(7);
    pool->SetPrizes({1000, {10000}});
    pool->SavePool();
    pool->ClosePool();
    const TCliRun text = RunTool({"outlook", dir});
    QCOMPARE(text.Status, 0);
    const QList<QByteArray> lines = text.Out.split('\n');
    QVERIFY(lines.at(2).startsWith("63 games left;"));
    QVERIFY(lines.at(5).contains(
        "Win %  95% interval     Exp. Prize  95% interval       Prize %  95% interval     "
        "Champions"));
    for (const QByteArray& line : {lines.at(6), lines.at(7)}) {
      // Pos, name, now, max, best, worst, won, tied, chance, interval, expected prize,
      // interval, prize chance, interval, champions.
      const QList<QByteArray> fields = line.simplified().split(' ');
      QVERIFY(fields.size() >= 14);
      QVERIFY2(QRegularExpression("^\\d+\\.\\d\\d\xe2\x80\x93\\d+\\.\\d\\d$")
                   .match(QString::fromUtf8(fields.at(11)))
                   .hasMatch(),
               fields.at(11).constData());
      QVERIFY(fields.at(13).contains("%\xe2\x80\x93"));
      for (int f : {6, 7, 8})
        QVERIFY2(QRegularExpression("^\\d+\\.\\d\\d%$")
                     .match(QString::fromUtf8(fields.at(f)))
                     .hasMatch(),
                 fields.at(f).constData());
      QVERIFY(fields.at(9).contains("%\xe2\x80\x93"));  // the interval's en dash
    }
    // In JSON each expected prize and prize chance lies within its interval, which the two
    // players' draws leave open.
    const QJsonArray players =
        RunTool({"outlook", dir, "--format", "json"}).Json().object()["players"].toArray();
    QCOMPARE(players.size(), 2);
    for (const QJsonValue& value : players) {
      const QJsonObject player = value.toObject();
      const double prize = player["expected_prize"].toDouble();
      QVERIFY(player["expected_prize_low"].toDouble() < prize);
      QVERIFY(prize < player["expected_prize_high"].toDouble());
      QVERIFY(player["prize_chance_low"].toDouble() < player["prize_chance"].toDouble());
      QVERIFY(player["prize_chance"].toDouble() < player["prize_chance_high"].toDouble());
    }
  }

  // The pool's prizes: each player's expected prize and chance of a paid place in every
  // format, and with the final four left, who wins what in every outcome.
  void prizesInEveryFormat() {
    const QString dir = MakePool("Prizes.BGD", true);
    {
      TFFDataModule pool;
      pool.SetDirectory(dir);
      QVERIFY(pool.OpenPool());
      // Only the top seeds left: the final four, three games.
      for (int i = 0; i < 64; ++i) {
        const int seed = i % 16 + 1;
        TTeamSeedObject* team = pool.TeamsFile().Items(i);
        if (seed == 1)
          team->SetRoundReached(5);
        else if (seed == 2)
          team->SetRoundReached(4);
      }
      pool.SetPrizes({1000, {7000, 3000}});
      pool.SavePool();
      pool.ClosePool();
    }
    const TCliRun json = RunTool({"outlook", dir, "--format", "json"});
    QCOMPARE(json.Status, 0);
    const QJsonObject top = json.Json().object();
    QCOMPARE(top["pot"].toDouble(), 30.0);
    double pot = 0;
    for (const QJsonValue& value : top["players"].toArray()) {
      const QJsonObject player = value.toObject();
      QVERIFY(player.contains("expected_prize") && player.contains("prize_chance"));
      pot += player["expected_prize"].toDouble();
      // Cy, with nothing, is third in every outcome: never paid.
      if (player["player"] == "Cy") {
        QCOMPARE(player["expected_prize"].toDouble(), 0.0);
        QCOMPARE(player["prize_chance"].toDouble(), 0.0);
      }
    }
    QVERIFY(qAbs(pot - 30.0) < 0.011);
    const QJsonArray last = top["last_games"].toArray();
    QCOMPARE(last.size(), 8);
    for (const QJsonValue& value : last) {
      double paid = 0;
      for (const QJsonValue& entry : value.toObject()["paid"].toArray())
        paid += entry.toObject()["prize"].toDouble();
      QVERIFY(qAbs(paid - 30.0) < 1e-9);
    }
    // The rooting guide goes by the expected prize: either way a semifinal goes, the players'
    // expected prizes add up to the pot.
    const QJsonArray rooting = top["rooting"].toArray();
    QCOMPARE(rooting.size(), 2);
    for (const QJsonValue& game : rooting) {
      std::array<double, 2> pots{};
      for (const QJsonValue& player : game.toObject()["players"].toArray()) {
        const QJsonArray prizes = player.toObject()["expected_prize"].toArray();
        QCOMPARE(prizes.size(), 2);
        pots[0] += prizes[0].toDouble();
        pots[1] += prizes[1].toDouble();
      }
      QVERIFY(qAbs(pots[0] - 30.0) < 0.011 && qAbs(pots[1] - 30.0) < 0.011);
    }

    const TCliRun text = RunTool({"outlook", dir});
    QCOMPARE(text.Status, 0);
    QVERIFY2(text.Out.contains("\nPrizes: a pot of 30.00, paid 70%, 30% by place\n"),
             text.Out.constData());
    QVERIFY(text.Out.contains("who finishes first (points) and who wins what"));
    // Ann's and Bo's champions meet in a semifinal: its winner's backer takes 70%.
    QVERIFY2(text.Out.contains("; Ann 21.00, Bo 9.00\n") &&
                 text.Out.contains("; Bo 21.00, Ann 9.00\n"),
             text.Out.constData());
    QVERIFY(text.Out.contains("Exp. Prize  Prize %  Champions\n   1  Ann"));
    QVERIFY2(text.Out.contains("Rooting guide: the results of Rd 5 that raise each player's "
                               "expected prize most, and the expected prize if they come\n"),
             text.Out.constData());
    const TCliRun csv = RunTool({"outlook", dir, "--format", "csv"});
    QVERIFY(csv.Out.startsWith(
        "Pos,Player Name,Current,Max,Best Place,Worst Place,Won,Tied,Win Chance,Expected Prize,"
        "Prize Chance,Champions"));
    QVERIFY(csv.Out.contains(" (Expected Prize),"));
    // Without prizes the columns are not there.
    QVERIFY(!RunTool({"outlook", MakePool("NoPrizes.BGD", true)}).Out.contains("Exp. Prize"));
  }

  void refusedWhileTheFirstRoundIsOpen() {
    const QString dir = MakePool("Open.BGD", false);
    const TCliRun run = RunTool({"outlook", dir});
    QCOMPARE(run.Status, 1);
    QVERIFY(run.Out.isEmpty());
    QCOMPARE(run.Err, QByteArray("First Round must be locked prior to selecting this report\n"));
  }

  // Ratings weigh the games: a champion rated far above the rest all but wins, and the file
  // must rate every team of the pool, each once, and name only teams of the pool.
  void ratingsWeighTheGamesFromAFile() {
    const QString dir = MakePool("Ratings.BGD", true);
    QStringList rows{"team,rating"};
    for (int i = 0; i < 64; ++i)
      rows << QStringLiteral("%1,%2").arg(TeamName(i)).arg(i == 0 ? 3000 : 1500);
    auto write = [this](const char* name, const QStringList& lines) {
      const QString path = FDir.filePath(name);
      QFile file(path);
      file.open(QIODevice::WriteOnly);
      file.write(lines.join('\n').toUtf8());
      return path;
    };
    const QString ratings = write("ratings.csv", rows);
    const TCliRun run =
        RunTool({"outlook", dir, "--model", "ratings", "--ratings", ratings, "--format", "json"});
    QCOMPARE(run.Status, 0);
    const QJsonObject top = run.Json().object();
    QCOMPARE(top["model"].toString(), QString("ratings"));
    const QJsonObject leader = top["players"].toArray().at(0).toObject();
    QCOMPARE(leader["player"].toString(), QString("Ann"));
    QVERIFY2(leader["win_chance"].toDouble() > 0.95, run.Out.constData());
    // A scale ten times as wide makes the same gap count for far less.
    const TCliRun wide = RunTool({"outlook", dir, "--model", "ratings", "--ratings", ratings,
                                  "--scale", "4000", "--format", "json"});
    QCOMPARE(wide.Status, 0);
    const double wideChance =
        wide.Json().object()["players"].toArray().at(0).toObject()["win_chance"].toDouble();
    QVERIFY(wideChance < leader["win_chance"].toDouble() - 0.1);

    QStringList missing = rows;
    missing.removeAt(64);
    missing.removeAt(3);
    const TCliRun short_ =
        RunTool({"outlook", dir, "--model", "ratings", "--ratings", write("missing.csv", missing)});
    QCOMPARE(short_.Status, 1);
    QVERIFY2(short_.Err.contains(QStringLiteral("No rating for %1, %2: every team of the pool "
                                                "needs one.")
                                     .arg(TeamName(2), TeamName(63))
                                     .toUtf8()),
             short_.Err.constData());
    QStringList unknown = rows;
    unknown[5] = QStringLiteral("Dook,1500");
    const TCliRun wrong =
        RunTool({"outlook", dir, "--model", "ratings", "--ratings", write("unknown.csv", unknown)});
    QCOMPARE(wrong.Status, 1);
    QVERIFY2(wrong.Err.contains("Row 6: \"Dook\" is not a team of this pool"),
             wrong.Err.constData());
    QStringList twice = rows;
    twice << QStringLiteral("%1,1600").arg(TeamName(9).toLower());
    const TCliRun again =
        RunTool({"outlook", dir, "--model", "ratings", "--ratings", write("twice.csv", twice)});
    QCOMPARE(again.Status, 1);
    QVERIFY2(
        again.Err.contains(
            QStringLiteral("Row 66: %1 is rated already, in row 11").arg(TeamName(9)).toUtf8()),
        again.Err.constData());
    QCOMPARE(RunTool({"outlook", dir, "--model", "ratings"}).Status, 2);
    QCOMPARE(RunTool({"outlook", dir, "--ratings", ratings}).Status, 2);
    QCOMPARE(RunTool({"outlook", dir, "--model", "ratings", "--ratings", ratings, "--scale", "0"})
                 .Status,
             2);
  }

  // What if: each team named wins its next game, in turn.
  void assumedWinnersPlayTheirNextGames() {
    const QString dir = MakePool("Assume.BGD", true);
    const TCliRun run = RunTool({"outlook", dir, "--assume", "r1s1, R2S1", "--format", "json"});
    QCOMPARE(run.Status, 0);
    const QJsonObject top = run.Json().object();
    QCOMPARE(top["assumed"].toArray(), QJsonArray({"R1S1 beat R1S4", "R2S1 beat R2S4"}));
    QCOMPARE(top["games_left"].toInt(), 13);
    const TCliRun text = RunTool({"outlook", dir, "--assume", "R1S1"});
    QVERIFY(text.Out.split('\n').at(3) == "What if: R1S1 beat R1S4");
    const TCliRun early = RunTool({"outlook", dir, "--assume", "R1S1,R1S1"});
    QCOMPARE(early.Status, 1);
    QVERIFY2(early.Err.contains("--assume: R1S1's next game has no opponent yet"),
             early.Err.constData());
    QCOMPARE(RunTool({"outlook", dir, "--assume", "R1S16"}).Status, 1);
    QCOMPARE(RunTool({"outlook", dir, "--assume", "Dook"}).Status, 1);
  }

  void badOptionsAreUsageErrors() {
    const QString dir = MakePool("Usage.BGD", true);
    QCOMPARE(RunTool({"outlook", dir, "--model", "coin"}).Status, 2);
    QCOMPARE(RunTool({"outlook", dir, "--threads", "0"}).Status, 2);
    QCOMPARE(RunTool({"outlook"}).Status, 2);
  }
};

QTEST_GUILESS_MAIN(TestCliOutlook)
#include "tst_cli_outlook.moc"
