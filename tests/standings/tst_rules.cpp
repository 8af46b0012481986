#include <QTest>

#include "FinishOrder.h"
#include "Scoring.h"
#include "TeamIndex.h"
#include "TestPools.h"

// The rules every part of the program asks: the games a pick won and what they earn, and the
// finish order.
class TestRules : public QObject {
  Q_OBJECT

 private slots:
  // On a chart whose upper lines win every game, R1S1 beats R1S16, R1S8, R1S5, R1S6, R2S1 and
  // R3S1 on its way to the title.
  void gamesWonNameTheLoserAndWhetherThePlayerPickedIt() {
    TFFDataModule pool;
    TestPools::AddFullField(pool.TeamsFile());
    TestPools::PlayUpperLinesUpTo(pool, 7);
    const TPlayerPicksListObject* player =
        TestPools::AddPicks(pool, QStringLiteral("Picker"), 0, {{"R1S1", 7}, {"R1S8", 2}});
    TTeamIndex index(pool.TeamsFile());
    TScoredPicks picks;
    picks.Read(*player, index);
    const TTeamSeedObject& champion = *pool.TeamsFile().FindTeam(QStringLiteral("R1S1"));

    const TResultsChart results(pool.TeamsFile());
    const int32_t losers[] = {16, 8, 5, 6, 1, 1};
    // Every team stands on its first-round line on every chart; R1S8 is picked one game on.
    const bool picked[] = {true, true, false, false, false, false};
    const TScoring scoring(pool.SystemFile());
    for (int k = 2; k <= 7; ++k) {
      const TWonGame game = results.GameWon(champion, k, picks.PickedTo);
      QCOMPARE(game.Round, k);
      QCOMPARE(game.WinnerSeed, 1);
      QCOMPARE(game.LoserSeed, losers[k - 2]);
      QCOMPARE(game.LoserPicked, picked[k - 2]);
      QCOMPARE(scoring.Points(game), int64_t{pool.SystemFile().RoundPoints(k)});
    }

    // A first-round line left empty: the team went through without a known loser.
    pool.TeamsFile().FindTeam(QStringLiteral("R1S16"))->SetRegion(0);
    const TResultsChart gap(pool.TeamsFile());
    QCOMPARE(gap.GameWon(champion, 2, picks.PickedTo).LoserSeed, 0);
    QCOMPARE(gap.GameWon(champion, 3, picks.PickedTo).LoserSeed, 8);
  }

  void finishOrderSharesPlacesAndPartsThemByTheGuess() {
    const int32_t actual = 148;
    std::vector<FinishOrder::TKey> keys = {
        {10, FinishOrder::GuessDistance(146, actual), 0},  // two below
        {12, FinishOrder::GuessDistance(100, actual), 1},
        {10, FinishOrder::GuessDistance(149, actual), 2},  // one above
        {10, FinishOrder::GuessDistance(150, actual), 3},  // two above: level with two below
        {12, FinishOrder::GuessDistance(100, actual), 4},
    };
    const std::vector<int> places = FinishOrder::Rank(keys);
    std::vector<uint32_t> rows;
    for (const FinishOrder::TKey& key : keys)
      rows.push_back(key.Row);
    QCOMPARE(rows, (std::vector<uint32_t>{1, 4, 2, 0, 3}));
    QCOMPARE(places, (std::vector<int>{1, 1, 3, 4, 4}));

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
