#include <QSet>
#include <QTest>
#include <limits>
#include <vector>

#include "FinishOrder.h"
#include "Prizes.h"
#include "Scoring.h"
#include "ScoringRule.h"

namespace {
// 10 points a game in chart round 2, 20 in round 3 ... 60 in the final.
TScoring::TRoundPoints TenARound() {
  TScoring::TRoundPoints points{};
  for (int k = 2; k <= ChartPaths::kRounds; ++k)
    points[static_cast<size_t>(k)] = 10 * (k - 1);
  return points;
}
}  // namespace

// The pool's rules on plain values: what a won game earns under each scoring rule, the most
// and the least a win can earn before its loser is known, the rules' names, and the finish
// order, and the prizes.
class TestRules : public QObject {
  Q_OBJECT

 private slots:
  // A 16 seed's way to the title: over a 1 seed the player picked there, an 8, a 5 the player
  // did not pick, a 6, a 1 and a 1 not picked; then an 8 over a 9, no upset.
  void everyRuleScoresTheGamesWonAsWorkedByHand() {
    const std::vector<TWonGame> games = {
        {2, 16, 1, true}, {3, 16, 8, true}, {4, 16, 5, false}, {5, 16, 6, true},
        {6, 16, 1, true}, {7, 16, 1, false}, {2, 8, 9, true},
    };
    // Per rule; round 5's multiplier is 40 * 16 / 6 rounded up.
    const std::vector<std::vector<int64_t>> expected = {
        {10, 20, 30, 40, 50, 60, 10},        // round points
        {26, 36, 46, 56, 66, 76, 18},        // seed bonus
        {160, 320, 480, 640, 800, 960, 80},  // seed times points
        {25, 28, 30, 50, 65, 60, 10},        // upset bonus: not for the 5 nor the last 1
        {25, 28, 41, 50, 65, 75, 10},        // relaxed upset bonus
        {160, 40, 96, 107, 800, 960, 10},    // upset multiplier
    };
    QCOMPARE(static_cast<int>(expected.size()), ScoringRules::kCount);
    for (int rule = 0; rule < ScoringRules::kCount; ++rule) {
      const TScoring scoring(static_cast<TScoringRule>(rule), TenARound());
      for (size_t g = 0; g < games.size(); ++g) {
        QVERIFY2(scoring.Points(games[g]) == expected[static_cast<size_t>(rule)][g],
                 qPrintable(QStringLiteral("rule %1, game %2").arg(rule).arg(g)));
      }
    }
  }

  // Before its loser is known a win is priced between the least and the most the rule can
  // give it: an upset rule's best case is a win over a 1 seed the player picked, its worst no
  // upset; a rule of the winner alone has one price. A 1 seed can pull off no upset.
  void aWinIsPricedByEveryLoserItCanHave() {
    struct TCase {
      TScoringRule Rule;
      int32_t Seed;
      int64_t Least, Most;
    };
    const TCase cases[] = {
        {TScoringRule::RoundPoints, 12, 20, 20},
        {TScoringRule::SeedBonus, 12, 32, 32},
        {TScoringRule::SeedTimesPoints, 12, 240, 240},
        {TScoringRule::UpsetBonus, 12, 20, 31},
        {TScoringRule::RelaxedUpsetBonus, 12, 20, 31},
        {TScoringRule::UpsetMultiplier, 12, 20, 240},
        {TScoringRule::UpsetMultiplier, 1, 20, 20},
        // No chart line has seed 17: it only ever goes through unopposed.
        {TScoringRule::UpsetBonus, 17, 20, 20},
    };
    for (const TCase& c : cases) {
      const TScoring scoring(c.Rule, TenARound());
      const QString what = ScoringRules::Key(c.Rule) + QStringLiteral(" seed %1").arg(c.Seed);
      QVERIFY2(scoring.LeastWin(3, c.Seed) == c.Least, qPrintable(what));
      QVERIFY2(scoring.MostWin(3, c.Seed) == c.Most, qPrintable(what));
    }
  }

  // Every rule is found again by its key, as "Scoring.ini" and the command line name it, in
  // any case and with spaces around; each has its own key and caption, and only round points
  // leave a title as it is.
  void everyRuleIsFoundByItsKey() {
    QSet<QString> keys, captions;
    for (int r = 0; r < ScoringRules::kCount; ++r) {
      const auto rule = static_cast<TScoringRule>(r);
      TScoringRule found = ScoringRules::kDefault;
      QVERIFY(ScoringRules::FromKey(QStringLiteral(" ") + ScoringRules::Key(rule).toUpper(), &found));
      QCOMPARE(found, rule);
      keys.insert(ScoringRules::Key(rule));
      captions.insert(ScoringRules::Caption(rule));
      QCOMPARE(ScoringRules::Titled(QStringLiteral("Standings"), rule) == QStringLiteral("Standings"),
               rule == TScoringRule::RoundPoints);
    }
    QCOMPARE(keys.size(), ScoringRules::kCount);
    QCOMPARE(captions.size(), ScoringRules::kCount);
    TScoringRule untouched = TScoringRule::UpsetBonus;
    QVERIFY(!ScoringRules::FromKey(QStringLiteral("upset"), &untouched));
    QCOMPARE(untouched, TScoringRule::UpsetBonus);
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

  // Players level share the prizes of the places they span, the odd cent to the first of them;
  // the places always pay the whole pot.
  void levelPlayersShareThePrizesOfThePlacesTheySpan() {
    Prizes::TPrizes prizes;
    QCOMPARE(Prizes::ParseMoney(QStringLiteral("10"), prizes.FeeCents), QString());
    QCOMPARE(Prizes::ParseSplit(QStringLiteral("60, 30,10"), prizes.Split), QString());
    QCOMPARE(Prizes::SplitText(prizes.Split), QStringLiteral("60,30,10"));

    // Two level at the top each get 45% of the pot; those level past the paid places share
    // what the places they span pay.
    const std::vector<int64_t> five = Prizes::PlaceAmounts(prizes, 5);
    QCOMPARE(five, (std::vector<int64_t>{3000, 1500, 500}));
    QCOMPARE(Prizes::Share(five, {1, 1, 3, 3, 5}), (std::vector<int64_t>{2250, 2250, 250, 250, 0}));
    QCOMPARE(Prizes::Share(five, {1, 2, 2, 2, 2}), (std::vector<int64_t>{3000, 500, 500, 500, 500}));

    // More places than players: no one finishes third, and its share goes to first.
    QCOMPARE(Prizes::PlaceAmounts(prizes, 2), (std::vector<int64_t>{1400, 600}));

    // An odd cent of the split and an odd cent of the share, both to the first.
    QCOMPARE(Prizes::ParseMoney(QStringLiteral("1.01"), prizes.FeeCents), QString());
    QCOMPARE(Prizes::ParseSplit(QStringLiteral("50,50"), prizes.Split), QString());
    const std::vector<int64_t> odd = Prizes::PlaceAmounts(prizes, 3);
    QCOMPARE(odd, (std::vector<int64_t>{152, 151}));
    QCOMPARE(Prizes::Share(odd, {1, 1, 3}), (std::vector<int64_t>{152, 151, 0}));
    QCOMPARE(Prizes::Share(odd, {1, 1, 1}), (std::vector<int64_t>{101, 101, 101}));

    // No split, no prizes.
    QCOMPARE(Prizes::PlaceAmounts(Prizes::TPrizes{1000, {}}, 4), std::vector<int64_t>{});
  }

  void aSplitOrAFeeThatIsNotOneIsRefusedWithItsReason() {
    std::vector<int32_t> split = {10000};
    QCOMPARE(Prizes::ParseSplit(QStringLiteral("60,30"), split),
             QStringLiteral("The split adds up to 90%, not 100%."));
    QVERIFY(!Prizes::ParseSplit(QStringLiteral("60,,40"), split).isEmpty());
    QVERIFY(!Prizes::ParseSplit(QStringLiteral("100,0"), split).isEmpty());
    QVERIFY(!Prizes::ParseSplit(QStringLiteral("-10,110"), split).isEmpty());
    QCOMPARE(split, std::vector<int32_t>{10000});  // untouched by a refused split
    QCOMPARE(Prizes::ParseSplit(QStringLiteral("62.5,37.5"), split), QString());
    QCOMPARE(Prizes::SplitText(split), QStringLiteral("62.5,37.5"));

    int64_t fee = 7;
    for (const char* bad : {"", "1.", "1.234", "1e3", "-5", "100000001"})
      QVERIFY2(!Prizes::ParseMoney(QString::fromLatin1(bad), fee).isEmpty(), bad);
    QCOMPARE(fee, int64_t{7});
    QCOMPARE(Prizes::ParseMoney(QStringLiteral("12.5"), fee), QString());
    QCOMPARE(Prizes::MoneyText(fee), QStringLiteral("12.50"));
    // The fee and the split go together: one without the other is refused, both empty are
    // no prizes.
    Prizes::TPrizes prizes{100, {10000}};
    QCOMPARE(Prizes::Parse(QString(), QStringLiteral(" "), prizes), QString());
    QVERIFY(!prizes.IsSet() && prizes.FeeCents == 0);
    QVERIFY(!Prizes::Parse(QStringLiteral("25"), QString(), prizes).isEmpty());
    QVERIFY(!Prizes::Parse(QStringLiteral("0"), QStringLiteral("100"), prizes).isEmpty());
    QVERIFY(!Prizes::Refusal({100, {5000, 0, 5000}}).isEmpty());
  }
};

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
