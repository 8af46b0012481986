#include <QTest>
#include <limits>

#include "PickPopularity.h"
#include "PlayerSelections.h"
#include "StandingsByPoints.h"
#include "StandingsByPotential.h"
#include "StandingsHistory.h"
#include "TestPools.h"

namespace {

// Team i of AddFullField (region i / 16 + 1, seed i % 16 + 1) in a tournament where the lower
// line of every game wins: the chart round it gets to.
int RoundWon(int i) {
  if (i == 0)
    return 7;
  int round = 1;
  while (i % 2 == 0) {
    i /= 2;
    ++round;
  }
  return round;
}

QString TeamName(int i) {
  return QStringLiteral("R%1S%2").arg(i / 16 + 1).arg(i % 16 + 1);
}

// Enters the results of that tournament up to chart round `upTo`: every team at the round it
// gets to by then, the losers of games already played eliminated.
void PlayUpTo(TFFDataModule& pool, int upTo) {
  for (int i = 0; i < 64; ++i) {
    TTeamSeedObject* team = pool.TeamsFile().Items(i);
    team->SetRoundReached(std::min(RoundWon(i), upTo));
    team->SetEliminated(RoundWon(i) < upTo);
  }
}

// A player whose chart predicts exactly that tournament.
TPlayerPicksListObject* AddPerfectPlayer(TFFDataModule& pool, const QString& name, int guess = 0) {
  TPlayerPicksListObject* player = TestPools::AddPlayer(pool, name, guess);
  for (int i = 0; i < 64; ++i)
    player->Pick(i)->SetRoundReached(RoundWon(i));
  return player;
}

QList<int> Counts(const TStandingsItem& item, int32_t (TStandingsItem::*count)(int) const) {
  QList<int> counts;
  for (int k = 2; k <= 7; ++k)
    counts << (item.*count)(k);
  return counts;
}

QStringList Names(const TReportsBase& data) {
  QStringList names;
  for (int i = 0; i < static_cast<int>(data.Items().size()); ++i) {
    names << data.StandingsItem(i).PlayerName();
  }
  return names;
}

template <class TData>
std::unique_ptr<TData> Built(const TFFDataModule& pool) {
  auto data = std::make_unique<TData>();
  data->Build(pool);
  return data;
}

}  // namespace

class TestStandings : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    FPool = std::make_unique<TFFDataModule>();
    TestPools::AddFullField(FPool->TeamsFile());
  }

  // Scoring one pick against how far its team has come.
  void championPickBeforeAndAfterElimination() {
    TPlayerPicksListObject* player = TestPools::AddPlayer(*FPool, "Ann");
    player->Pick(0)->SetRoundReached(7);
    TTeamSeedObject* team = FPool->TeamsFile().Items(0);
    team->SetRoundReached(3);

    auto alive = Built<TStandingsByPoints>(*FPool);
    const TStandingsItem& open = alive->StandingsItem(0);
    QCOMPARE(open.CurrentPoints(), 3);
    QCOMPARE(open.PotentialPoints(), 63);
    QCOMPARE(Counts(open, &TStandingsItem::RoundCorrect), QList<int>({1, 1, 0, 0, 0, 0}));
    QCOMPARE(Counts(open, &TStandingsItem::RoundPossible), QList<int>({1, 1, 1, 1, 1, 1}));

    team->SetEliminated(true);
    auto dead = Built<TStandingsByPoints>(*FPool);
    const TStandingsItem& lost = dead->StandingsItem(0);
    QCOMPARE(lost.CurrentPoints(), 3);
    QCOMPARE(lost.PotentialPoints(), 3);
    QCOMPARE(Counts(lost, &TStandingsItem::RoundCorrect), QList<int>({1, 1, 0, 0, 0, 0}));
    QCOMPARE(Counts(lost, &TStandingsItem::RoundPossible), QList<int>({1, 1, 0, 0, 0, 0}));
  }

  void perfectBracketBeforeAndAfterTheFinal() {
    AddPerfectPlayer(*FPool, "Perfect");
    const QList<int> full({32, 16, 8, 4, 2, 1});

    auto beforeData = Built<TStandingsByPotential>(*FPool);
    const TStandingsItem& before = beforeData->StandingsItem(0);
    QCOMPARE(before.CurrentPoints(), 0);
    QCOMPARE(before.PotentialPoints(), 192);
    QCOMPARE(Counts(before, &TStandingsItem::RoundCorrect), QList<int>({0, 0, 0, 0, 0, 0}));
    QCOMPARE(Counts(before, &TStandingsItem::RoundPossible), full);

    PlayUpTo(*FPool, 7);
    auto after = Built<TStandingsByPoints>(*FPool);
    QCOMPARE(after->StandingsItem(0).CurrentPoints(), 192);
    QCOMPARE(after->StandingsItem(0).PotentialPoints(), 192);
    QCOMPARE(Counts(after->StandingsItem(0), &TStandingsItem::RoundCorrect), full);
  }

  void wrongAndEmptyChartsScoreNothing() {
    // Every first-round game picked for the loser, and on from there as if it had won.
    TPlayerPicksListObject* wrong = TestPools::AddPlayer(*FPool, "Wrong");
    for (int i = 0; i < 64; ++i)
      wrong->Pick(i)->SetRoundReached(RoundWon(i ^ 1));
    TestPools::AddPlayer(*FPool, "Blank");
    PlayUpTo(*FPool, 7);

    auto data = Built<TStandingsByPoints>(*FPool);
    for (int row = 0; row < 2; ++row) {
      const TStandingsItem& item = data->StandingsItem(row);
      QCOMPARE(item.CurrentPoints(), 0);
      QCOMPARE(item.PotentialPoints(), 0);
      QCOMPARE(Counts(item, &TStandingsItem::RoundPossible), QList<int>({0, 0, 0, 0, 0, 0}));
    }
    const TStandingsItem& blank = data->StandingsItem(1);
    QCOMPARE(blank.PlayerName(), QStringLiteral("Blank"));
    QVERIFY(blank.Champion().isEmpty());
    QVERIFY(blank.Finals(1).isEmpty() && blank.FinalFour(1).isEmpty());
  }

  void pickStoppedShortCountsOnlyUpToItsRound() {
    TPlayerPicksListObject* player = TestPools::AddPlayer(*FPool, "Cautious");
    player->Pick(0)->SetRoundReached(2);
    PlayUpTo(*FPool, 7);
    auto data = Built<TStandingsByPoints>(*FPool);
    const TStandingsItem& item = data->StandingsItem(0);
    QCOMPARE(Counts(item, &TStandingsItem::RoundCorrect), QList<int>({1, 0, 0, 0, 0, 0}));
    QCOMPARE(item.CurrentPoints(), 1);
    QCOMPARE(item.PotentialPoints(), 1);
  }

  // Pick names are found as the team file's name search finds them; no match scores nothing.
  void teamLookupTrimsMatchesCaseAndSkipsUnknownNames() {
    FPool = std::make_unique<TFFDataModule>();
    TTeamsFile& teams = FPool->TeamsFile();
    TestPools::AddTeam(teams, "Dup", 1, 1, 3);
    // The same trimmed name again: the first team wins, so this one's fate counts for no pick.
    TestPools::AddTeam(teams, " Dup\t", 1, 2, 1, true);
    TestPools::AddTeam(teams, "Other", 1, 3, 2);
    TPlayerPicksListObject* player = TestPools::AddPlayer(*FPool, "Ann");
    player->Pick(0)->SetTeamName("  Dup ");  // found, trimmed: correct in rounds 2 and 3
    player->Pick(0)->SetRoundReached(3);
    player->Pick(1)->SetTeamName("other");  // differs in case: not found
    player->Pick(1)->SetRoundReached(2);
    player->Pick(2)->SetTeamName("Nowhere");  // no such team
    player->Pick(2)->SetRoundReached(7);
    // Entries 3..63 are unused: empty names at round 0.
    // The next player names other teams in the same entries: each is looked up afresh.
    TPlayerPicksListObject* next = TestPools::AddPlayer(*FPool, "Bob");
    next->Pick(0)->SetTeamName("Other");  // reached round 2, still in
    next->Pick(0)->SetRoundReached(3);
    next->Pick(1)->SetTeamName("Dup");
    next->Pick(1)->SetRoundReached(2);

    auto data = Built<TStandingsByPoints>(*FPool);
    const TStandingsItem& item = data->StandingsItem(0);
    QCOMPARE(Counts(item, &TStandingsItem::RoundCorrect), QList<int>({1, 1, 0, 0, 0, 0}));
    QCOMPARE(Counts(item, &TStandingsItem::RoundPossible), QList<int>({1, 1, 0, 0, 0, 0}));
    QCOMPARE(item.CurrentPoints(), 3);
    QCOMPARE(item.Champion(), QStringLiteral("Nowhere"));  // listed, though it scores nothing
    const TStandingsItem& bob = data->StandingsItem(1);
    QCOMPARE(Counts(bob, &TStandingsItem::RoundCorrect), QList<int>({2, 0, 0, 0, 0, 0}));
    QCOMPARE(Counts(bob, &TStandingsItem::RoundPossible), QList<int>({2, 1, 0, 0, 0, 0}));
  }

  void finalPicksFollowEntryOrder() {
    AddPerfectPlayer(*FPool, "Perfect");
    TPlayerPicksListObject* partial = TestPools::AddPlayer(*FPool, "Partial");
    partial->Pick(5)->SetRoundReached(7);

    auto data = Built<TStandingsWithFinal4>(*FPool);
    const TStandingsItem& perfect = data->StandingsItem(0);
    QCOMPARE(perfect.FinalFour(1), TeamName(0));
    QCOMPARE(perfect.FinalFour(2), TeamName(16));
    QCOMPARE(perfect.FinalFour(3), TeamName(32));
    QCOMPARE(perfect.FinalFour(4), TeamName(48));
    QCOMPARE(perfect.Finals(1), TeamName(0));
    QCOMPARE(perfect.Finals(2), TeamName(32));
    QCOMPARE(perfect.Champion(), TeamName(0));

    const TStandingsItem& path = data->StandingsItem(1);
    QCOMPARE(path.FinalFour(1), TeamName(5));
    QVERIFY(path.FinalFour(2).isEmpty() && path.FinalFour(4).isEmpty());
    QCOMPARE(path.Finals(1), TeamName(5));
    QVERIFY(path.Finals(2).isEmpty());
    QCOMPARE(path.Champion(), TeamName(5));
  }

  // A stored file may hold any numbers: nothing runs past a field or wraps round.
  void untrustedStoredValuesStayInBounds() {
    TPlayerPicksListObject* player = TestPools::AddPlayer(*FPool, "Forged");
    for (int i = 0; i < 6; ++i)
      player->Pick(i)->SetRoundReached(7);
    player->Pick(6)->SetRoundReached(1000);
    player->Pick(7)->SetRoundReached(-5);
    FPool->SystemFile().SetRoundPoints(7, std::numeric_limits<int32_t>::max());

    auto data = Built<TStandingsByPotential>(*FPool);
    const TStandingsItem& item = data->StandingsItem(0);
    QCOMPARE(Counts(item, &TStandingsItem::RoundPossible), QList<int>({7, 7, 7, 7, 7, 7}));
    QCOMPARE(item.PotentialPoints(), std::numeric_limits<int32_t>::max());
    QCOMPARE(item.FinalFour(4), TeamName(3));  // the first four in entry order are kept
    QCOMPARE(item.Finals(2), TeamName(1));
    QCOMPARE(item.Champion(), TeamName(0));

    auto selections = Built<TPlayerSelections>(*FPool);
    QCOMPARE(selections->Item(0).SelectionCount(7), 7);
    QCOMPARE(selections->Item(0).Selections(7, 7), TeamName(6));
  }

  void changedRoundValueChangesTotalsNotCounts() {
    AddPerfectPlayer(*FPool, "Perfect");
    PlayUpTo(*FPool, 3);
    auto beforeData = Built<TStandingsByPoints>(*FPool);
    const TStandingsItem& before = beforeData->StandingsItem(0);
    QCOMPARE(before.CurrentPoints(), 32 * 1 + 16 * 2);

    FPool->SystemFile().SetRoundPoints(3, 10);
    auto changed = Built<TStandingsByPoints>(*FPool);
    const TStandingsItem& after = changed->StandingsItem(0);
    QCOMPARE(after.CurrentPoints(), 32 * 1 + 16 * 10);
    QCOMPARE(after.PotentialPoints(), 32 + 160 + 32 + 32 + 32 + 32);
    QCOMPARE(Counts(after, &TStandingsItem::RoundCorrect),
             Counts(before, &TStandingsItem::RoundCorrect));
  }

  // Ties under the ordering keep the order in which the players were added.
  void orderingByPointsBreaksTiesOnTheActualTotal_data() {
    QTest::addColumn<int>("actual");
    QTest::addColumn<int>("firstGuess");
    QTest::addColumn<int>("secondGuess");
    QTest::addColumn<QStringList>("order");
    const QStringList added({"First", "Second"});
    const QStringList swapped({"Second", "First"});
    QTest::newRow("no actual total") << 0 << 155 << 150 << added;
    QTest::newRow("closer guess first") << 150 << 140 << 155 << swapped;
    QTest::newRow("same distance above and below") << 150 << 155 << 145 << added;
    QTest::newRow("negative actual counts as not entered") << -1 << 300 << 0 << added;
    QTest::newRow("extreme guess") << 100 << std::numeric_limits<int32_t>::min() << 0 << swapped;
  }
  void orderingByPointsBreaksTiesOnTheActualTotal() {
    QFETCH(int, actual);
    QFETCH(int, firstGuess);
    QFETCH(int, secondGuess);
    QFETCH(QStringList, order);
    TestPools::AddPlayer(*FPool, "Low", 0);  // fewer points than both: always last
    AddPerfectPlayer(*FPool, "First", firstGuess);
    AddPerfectPlayer(*FPool, "Second", secondGuess);
    PlayUpTo(*FPool, 4);
    FPool->SystemFile().SetTieBreakerPoints(actual);

    QCOMPARE(Names(*Built<TStandingsByPoints>(*FPool)), order + QStringList("Low"));
    QCOMPARE(Names(*Built<TStandingsWithFinal4>(*FPool)), order + QStringList("Low"));
    QCOMPARE(Names(*Built<TStandingsByPotential>(*FPool)), order + QStringList("Low"));
    QCOMPARE(Names(*Built<TPotentialWithFinal4>(*FPool)), order + QStringList("Low"));
  }

  void potentialOrderingCanPutFewerPointsFirst() {
    PlayUpTo(*FPool, 2);
    // Team 0 is through and still in; team 1 lost its first game.
    TPlayerPicksListObject* safe = TestPools::AddPlayer(*FPool, "Safe", 120);
    safe->Pick(0)->SetRoundReached(2);
    safe->Pick(2)->SetRoundReached(2);  // team 2 also won: 2 points, nothing open
    TPlayerPicksListObject* hopeful = TestPools::AddPlayer(*FPool, "Hopeful", 140);
    hopeful->Pick(0)->SetRoundReached(7);  // 1 point, 63 within reach
    TPlayerPicksListObject* tied = TestPools::AddPlayer(*FPool, "Tied", 100);
    tied->Pick(4)->SetRoundReached(7);  // team 4: as Hopeful, with a guess further off
    FPool->SystemFile().SetTieBreakerPoints(150);

    QCOMPARE(Names(*Built<TStandingsByPoints>(*FPool)), QStringList({"Safe", "Hopeful", "Tied"}));
    auto potential = Built<TPotentialWithFinal4>(*FPool);
    QCOMPARE(Names(*potential), QStringList({"Hopeful", "Tied", "Safe"}));
    QCOMPARE(potential->StandingsItem(0).PotentialPoints(), 63);
    QCOMPARE(potential->StandingsItem(2).CurrentPoints(), 2);
  }

  // The total entered before the final lists the closer guess first, but players level on
  // points share their place until the final is played.
  void levelPlayersSharePlacesUntilTheFinal() {
    TestPools::AddPicks(*FPool, "Far", 170, {{"R1S1", 6}});
    TestPools::AddPicks(*FPool, "Near", 150, {{"R1S1", 6}});
    TestPools::AddPicks(*FPool, "Out", 148, {{"R1S16", 2}});
    TestPools::PlayUpperLinesUpTo(*FPool, 6);
    FPool->SystemFile().SetTieBreakerPoints(148);
    const auto places = [this] {
      auto standings = Built<TStandingsByPoints>(*FPool);
      QList<int> list;
      for (int row = 0; row < static_cast<int>(standings->Items().size()); ++row)
        list << standings->Place(row);
      return qMakePair(Names(*standings), list);
    };
    QCOMPARE(places(), qMakePair(QStringList({"Near", "Far", "Out"}), QList<int>({1, 1, 3})));
    TestPools::PlayUpperLinesUpTo(*FPool, 7);
    QCOMPARE(places(), qMakePair(QStringList({"Near", "Far", "Out"}), QList<int>({1, 2, 3})));
  }

  // Worked by hand with the default values 1, 2, 4, 8, 16 and 32, the upper line of every
  // game winning.
  void standingsAfterEveryRoundOfAPoolPlayedToTheFinal() {
    TestPools::AddPicks(*FPool, "Ann", 150, {{"R1S1", 7}});
    TestPools::AddPicks(*FPool, "Bob", 140, {{"R3S1", 7}, {"R1S16", 2}});
    TestPools::AddPicks(*FPool, "Cid", 155, {{"R2S1", 5}, {"R4S1", 5}, {"R1S8", 3}});
    TestPools::PlayUpperLinesUpTo(*FPool, 7);
    FPool->SystemFile().SetTieBreakerPoints(150);

    TStandingsHistory history;
    history.Build(*FPool);
    QCOMPARE(history.Rounds(), std::vector<int>({2, 3, 4, 5, 6, 7}));
    auto row = [&history](int i) {
      const TStandingsHistory::TPlayer& player = history.Players().at(static_cast<size_t>(i));
      return std::make_tuple(player.PlayerName, player.Points, player.Places);
    };
    // Level players share a place; the guess parts them only once the final is played.
    using TRow = std::tuple<QString, std::vector<int32_t>, std::vector<int>>;
    QCOMPARE(row(0), TRow("Ann", {1, 3, 7, 15, 31, 63}, {2, 2, 2, 2, 1, 1}));
    QCOMPARE(row(1), TRow("Cid", {3, 7, 15, 31, 31, 31}, {1, 1, 1, 1, 1, 2}));
    QCOMPARE(row(2), TRow("Bob", {1, 3, 7, 15, 31, 31}, {2, 2, 2, 2, 1, 3}));

    // A round is over only when every one of its games is: the last four half played.
    TestPools::PlayUpperLinesUpTo(*FPool, 5);
    FPool->TeamsFile().FindTeam("R1S1")->SetRoundReached(6);
    history.Build(*FPool);
    QCOMPARE(history.Rounds(), std::vector<int>({2, 3, 4, 5}));
    QCOMPARE(history.Players().front().Points, std::vector<int32_t>({3, 7, 15, 31}));
    TestPools::PlayUpperLinesUpTo(*FPool, 1);
    history.Build(*FPool);
    QVERIFY(history.Rounds().empty());
    QCOMPARE(history.Players().front().PlayerName, QStringLiteral("Ann"));
  }

  // Counted by hand: Ann and Dee back R1S1 (to the title and to round 4), Bob R3S1 and R1S16,
  // Cid R2S1, R4S1 and R1S8, which Dee takes a round less far.
  void popularityCountsAndPicksNoOneElseMade() {
    TestPools::AddPicks(*FPool, "Ann", 0, {{"R1S1", 7}});
    TestPools::AddPicks(*FPool, "Bob", 0, {{"R3S1", 7}, {"R1S16", 2}});
    TestPools::AddPicks(*FPool, "Cid", 0, {{"R2S1", 5}, {"R4S1", 5}, {"R1S8", 3}});
    TestPools::AddPicks(*FPool, "Dee", 0, {{"R1S1", 4}, {"R1S8", 2}});
    TestPools::AddTeam(FPool->TeamsFile(), "Off the chart");

    TPickPopularity popularity;
    popularity.Build(*FPool);
    QCOMPARE(popularity.PlayerCount(), 4);
    QCOMPARE(popularity.Teams().size(), size_t{64});
    auto team = [&popularity](int i) {
      const TPickPopularity::TTeam& row = popularity.Teams().at(static_cast<size_t>(i));
      return qMakePair(row.TeamName, QList<int>(row.Players.begin(), row.Players.end()));
    };
    QCOMPARE(team(0), qMakePair(QString("R1S1"), QList<int>({2, 2, 2, 1, 1, 1})));
    QCOMPARE(team(1), qMakePair(QString("R3S1"), QList<int>({1, 1, 1, 1, 1, 1})));
    QCOMPARE(team(2), qMakePair(QString("R2S1"), QList<int>({1, 1, 1, 1, 0, 0})));
    QCOMPARE(team(3), qMakePair(QString("R4S1"), QList<int>({1, 1, 1, 1, 0, 0})));
    QCOMPARE(team(4), qMakePair(QString("R1S8"), QList<int>({2, 1, 0, 0, 0, 0})));
    QCOMPARE(team(5), qMakePair(QString("R1S16"), QList<int>({1, 0, 0, 0, 0, 0})));
    QCOMPARE(team(6), qMakePair(QString("R1S2"), QList<int>({0, 0, 0, 0, 0, 0})));
    QCOMPARE(popularity.Share(popularity.Teams()[0], 2), 0.5);
    QCOMPARE(popularity.Share(popularity.Teams()[0], 7), 0.25);
    const auto champions = popularity.Champions();
    QCOMPARE(champions.size(), size_t{2});
    QCOMPARE(champions[1]->TeamName, QStringLiteral("R3S1"));

    auto alone = [&popularity](int p) {
      QStringList picks;
      for (const auto& pick : popularity.Players().at(static_cast<size_t>(p)).Alone)
        picks << QStringLiteral("%1 %2-%3").arg(pick.TeamName).arg(pick.From).arg(pick.To);
      return picks;
    };
    QCOMPARE(alone(0), QStringList({"R1S1 5-7"}));
    QCOMPARE(alone(1), QStringList({"R3S1 2-7", "R1S16 2-2"}));
    QCOMPARE(alone(2), QStringList({"R2S1 2-5", "R4S1 2-5", "R1S8 3-3"}));
    QCOMPARE(alone(3), QStringList());
  }

  void poolWithoutPlayersGivesNoRows() {
    QVERIFY(Built<TStandingsByPoints>(*FPool)->Items().empty());
    QCOMPARE(Built<TPlayerSelections>(*FPool)->Count(), 0);
  }

  void selectionsListPicksRoundByRoundInPlayerOrder() {
    AddPerfectPlayer(*FPool, "Zed");
    TPlayerPicksListObject* partial = TestPools::AddPlayer(*FPool, "Amy");
    partial->Pick(9)->SetRoundReached(7);
    TPlayerPicksListObject* crowded = TestPools::AddPlayer(*FPool, "Crowded");
    for (int i = 0; i < 64; ++i)
      crowded->Pick(i)->SetRoundReached(2);

    auto data = Built<TPlayerSelections>(*FPool);
    QCOMPARE(data->Count(), 3);
    const TPlayerSelectionObject& full = data->Item(0);
    QCOMPARE(full.PlayerName(), QStringLiteral("Zed"));
    QList<int> counts;
    for (int k = 2; k <= 7; ++k)
      counts << full.SelectionCount(k);
    QCOMPARE(counts, QList<int>({32, 16, 8, 4, 2, 1}));
    QCOMPARE(full.Selections(2, 2), TeamName(2));
    QCOMPARE(full.Selections(6, 2), TeamName(32));
    QVERIFY(full.Selections(6, 3).isEmpty());

    const TPlayerSelectionObject& path = data->Item(1);
    QCOMPARE(path.PlayerName(), QStringLiteral("Amy"));
    for (int k = 2; k <= 7; ++k) {
      QCOMPARE(path.Selections(k, 1), TeamName(9));
      QVERIFY(path.Selections(k, 2).isEmpty() && path.Selections(k, 32).isEmpty());
    }

    // More than 32 picks for one round: the first 32 in entry order stay.
    const TPlayerSelectionObject& over = data->Item(2);
    QCOMPARE(over.SelectionCount(2), 32);
    QCOMPARE(over.Selections(2, 32), TeamName(31));
  }

 private:
  std::unique_ptr<TFFDataModule> FPool;
};

QTEST_GUILESS_MAIN(TestStandings)
#include "tst_standings.moc"
