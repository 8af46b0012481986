#include <QTest>

#include "ScoredPicks.h"
#include "ScoringRule.h"
#include "StandingsByPoints.h"
#include "TeamIndex.h"
#include "TestPools.h"

// Scoring on the pool's charts: the games a pick won, read off the results chart, what they
// earn, and the most a player's picks can still earn.
class TestScoredPicks : public QObject {
  Q_OBJECT

 private slots:
  // On a chart whose upper lines win every game but the first, R1S16 beats R1S1, R1S8, R1S5,
  // R1S6, R2S1 and R3S1 on its way to the title: an upset in every round. The player picked
  // the losers of rounds 2, 3, 5 and 6 to reach those games, R1S4 where R1S5 came (a loser
  // picked elsewhere), and R4S1 where R3S1 came.
  void gamesWonNameTheirLoserAndWhetherItWasPicked() {
    TFFDataModule pool;
    TestPools::AddFullField(pool.TeamsFile());
    TestPools::PlayUpperLinesUpTo(pool, 7);
    TTeamSeedObject& champion = *pool.TeamsFile().FindTeam(QStringLiteral("R1S16"));
    champion.SetRoundReached(7);
    champion.SetEliminated(false);
    pool.TeamsFile().FindTeam(QStringLiteral("R1S1"))->SetRoundReached(1);
    const TPlayerPicksListObject* player = TestPools::AddPicks(
        pool, QStringLiteral("Picker"), 0,
        {{"R1S16", 7}, {"R1S8", 2}, {"R1S4", 3}, {"R1S6", 4}, {"R2S1", 5}, {"R4S1", 6}});
    TTeamIndex index(pool.TeamsFile());
    TScoredPicks picks;
    picks.Read(*player, index);

    const TResultsChart results(pool.TeamsFile());
    std::vector<TWonGame> games;
    for (int k = 2; k <= 7; ++k)
      games.push_back(results.GameWon(champion, k, picks.PickedTo));
    // And no upset: R1S8 over R1S9.
    games.push_back(
        results.GameWon(*pool.TeamsFile().FindTeam(QStringLiteral("R1S8")), 2, picks.PickedTo));
    const int32_t losers[] = {1, 8, 5, 6, 1, 1, 9};
    const bool picked[] = {true, true, false, true, true, false, true};
    for (size_t g = 0; g < games.size(); ++g) {
      QCOMPARE(games[g].LoserSeed, losers[g]);
      QCOMPARE(games[g].LoserPicked, picked[g]);
    }

    // A first-round line left empty: the team went through without a known loser.
    pool.TeamsFile().FindTeam(QStringLiteral("R1S8"))->SetRegion(0);
    const TResultsChart gap(pool.TeamsFile());
    QCOMPARE(gap.GameWon(champion, 3, picks.PickedTo).LoserSeed, 0);
    QCOMPARE(gap.GameWon(champion, 4, picks.PickedTo).LoserSeed, 5);
  }

  // R1S16 picked to win two games, R1S9 one. Under the multiplier the best second game for
  // R1S16 is against R1S8 (40), but only R1S9 beating R1S8 earns anything in the first: the
  // most within reach is 160 + 12 + 36, not the sum of each pick's best case.
  void potentialIsTheBestOverTheBracketsTree() {
    TFFDataModule pool;
    TestPools::AddFullField(pool.TeamsFile());
    for (int k = 2; k <= 7; ++k)
      pool.SystemFile().SetRoundPoints(k, 10 * (k - 1));
    TestPools::AddPicks(pool, QStringLiteral("Picker"), 0, {{"R1S16", 3}, {"R1S9", 2}});
    auto scores = [&pool](TScoringRule rule) {
      pool.SetScoringRule(rule);
      TStandingsByPoints standings;
      standings.Build(pool);
      const TStandingsItem& item = standings.StandingsItem(0);
      return std::make_pair(item.CurrentPoints(), item.PotentialPoints());
    };
    using TScores = std::pair<int32_t, int32_t>;
    QCOMPARE(scores(TScoringRule::RoundPoints), TScores(0, 40));
    QCOMPARE(scores(TScoringRule::UpsetMultiplier), TScores(0, 208));
    // 16 over 1, 9 over 8 and 16 over the 9 the player picked there.
    QCOMPARE(scores(TScoringRule::UpsetBonus), TScores(0, 25 + 11 + 27));

    // R1S16 and R1S8 win: the second game's loser is not the one the player picked.
    pool.TeamsFile().FindTeam(QStringLiteral("R1S16"))->SetRoundReached(2);
    pool.TeamsFile().FindTeam(QStringLiteral("R1S8"))->SetRoundReached(2);
    pool.TeamsFile().FindTeam(QStringLiteral("R1S1"))->SetEliminated(true);
    pool.TeamsFile().FindTeam(QStringLiteral("R1S9"))->SetEliminated(true);
    QCOMPARE(scores(TScoringRule::UpsetBonus), TScores(25, 25 + 20));
    QCOMPARE(scores(TScoringRule::RelaxedUpsetBonus), TScores(25, 25 + 28));
    QCOMPARE(scores(TScoringRule::UpsetMultiplier), TScores(160, 200));
  }
};

QTEST_GUILESS_MAIN(TestScoredPicks)
#include "tst_scored_picks.moc"
