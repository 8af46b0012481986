#include <QTest>

#include "FinishOrder.h"
#include "Scoring.h"
#include "StandingsByPoints.h"
#include "TeamIndex.h"
#include "TestPools.h"

// The rules every part of the program asks: the games a pick won and what they earn, and the
// finish order.
class TestRules : public QObject {
  Q_OBJECT

 private slots:
  // On a chart whose upper lines win every game but the first, R1S16 beats R1S1, R1S8, R1S5,
  // R1S6, R2S1 and R3S1 on its way to the title: an upset in every round. The player picked
  // the losers of rounds 2, 3, 5 and 6 to reach those games, R1S4 where R1S5 came (a loser
  // picked elsewhere), and R4S1 where R3S1 came.
  void everyRuleScoresTheGamesWonAsWorkedByHand() {
    TFFDataModule pool;
    TestPools::AddFullField(pool.TeamsFile());
    TestPools::PlayUpperLinesUpTo(pool, 7);
    TTeamSeedObject& champion = *pool.TeamsFile().FindTeam(QStringLiteral("R1S16"));
    champion.SetRoundReached(7);
    champion.SetEliminated(false);
    pool.TeamsFile().FindTeam(QStringLiteral("R1S1"))->SetRoundReached(1);
    for (int k = 2; k <= 7; ++k)
      pool.SystemFile().SetRoundPoints(k, 10 * (k - 1));
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

    // Per rule, the points of the games above: round 5's multiplier is 40 * 16 / 6 rounded up.
    const std::vector<std::vector<int64_t>> expected = {
        {10, 20, 30, 40, 50, 60, 10},        // round points
        {26, 36, 46, 56, 66, 76, 18},        // seed bonus
        {160, 320, 480, 640, 800, 960, 80},  // seed times points
        {25, 28, 30, 50, 65, 60, 10},        // upset bonus: not for R1S5 nor R3S1
        {25, 28, 41, 50, 65, 75, 10},        // relaxed upset bonus
        {160, 40, 96, 107, 800, 960, 10},    // upset multiplier
    };
    for (int rule = 0; rule < ScoringRules::kCount; ++rule) {
      pool.SetScoringRule(static_cast<TScoringRule>(rule));
      const TScoring scoring(pool);
      for (size_t g = 0; g < games.size(); ++g) {
        QVERIFY2(scoring.Points(games[g]) == expected[static_cast<size_t>(rule)][g],
                 qPrintable(QStringLiteral("rule %1, game %2").arg(rule).arg(g)));
      }
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

  void finishOrderSharesPlacesAndPartsThemByTheGuess() {
    const int32_t actual = 148;
    const std::vector<FinishOrder::TKey> pool = {
        {10, FinishOrder::GuessDistance(146, actual), 0},  // two below
        {12, FinishOrder::GuessDistance(100, actual), 1},
        {10, FinishOrder::GuessDistance(149, actual), 2},  // one above
        {10, FinishOrder::GuessDistance(150, actual), 3},  // two above: level with two below
        {12, FinishOrder::GuessDistance(100, actual), 4},
    };
    // The guess orders players level on points either way, but parts their places only once
    // the final is played.
    for (const bool finalPlayed : {true, false}) {
      std::vector<FinishOrder::TKey> keys = pool;
      const std::vector<int> places = FinishOrder::Rank(keys, finalPlayed);
      std::vector<uint32_t> rows;
      for (const FinishOrder::TKey& key : keys)
        rows.push_back(key.Row);
      QCOMPARE(rows, (std::vector<uint32_t>{1, 4, 2, 0, 3}));
      QCOMPARE(places,
               finalPlayed ? (std::vector<int>{1, 1, 3, 4, 4}) : (std::vector<int>{1, 1, 3, 3, 3}));
    }

    // Before the actual total is entered no guess parts anyone; the distance of the furthest
    // guesses does not overflow.
    QCOMPARE(FinishOrder::GuessDistance(146, 0), int64_t{0});
    QCOMPARE(FinishOrder::GuessDistance(std::numeric_limits<int32_t>::min(),
                                        std::numeric_limits<int32_t>::max()),
             int64_t{std::numeric_limits<uint32_t>::max()});
  }
};

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
