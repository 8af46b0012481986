#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <map>
#include <numeric>
#include <random>
#include <thread>

#include "BracketList.h"
#include "Outlook.h"
#include "OutlookGain.h"
#include "Prizes.h"
#include "SamplePool.h"
#include "ScoringRule.h"
#include "StandingsByPoints.h"
#include "TestPools.h"

namespace {

using TTeamRounds = std::array<int, 64>;

TPlayerPicksListObject* AddPicks(TFFDataModule& pool, const QString& name,
                                 const TTeamRounds& picks) {
  TPlayerPicksListObject* player = TestPools::AddPlayer(pool, name);
  for (int i = 0; i < 64; ++i)
    player->Pick(i)->SetRoundReached(picks[static_cast<size_t>(i)]);
  return player;
}

// What the outlook should say, found the plain way: every outcome entered on the pool's own
// teams, scored by the standings, ranked.
struct TExpected {
  int Outcomes = 0;
  double TotalWeight = 0;
  std::vector<int32_t> Current, Max;
  std::vector<int> Best, Worst;
  std::vector<double> Won, Tied, Share;
  std::vector<std::map<QString, double>> Champions;
  // Per rooting game (slot order), per side: the weight and each player's share.
  std::vector<std::array<double, 2>> RootWeight;
  std::vector<std::array<std::vector<double>, 2>> RootShare;
  // With prizes, the same for each player's prize in cents.
  std::vector<std::array<std::vector<double>, 2>> RootPrize;
  // With prizes: what each place pays, and per player the prize in cents and the weight of
  // the outcomes in which the player is paid.
  Prizes::TPrizes Paying;
  std::vector<int64_t> PlaceAmounts;
  std::vector<double> Prize, Paid;

  void Start(size_t players, const Prizes::TPrizes& prizes = {}) {
    Paying = prizes;
    PlaceAmounts = Prizes::PlaceAmounts(prizes, static_cast<int>(players));
    Prize.assign(players, 0);
    Paid.assign(players, 0);
    Max.assign(players, std::numeric_limits<int32_t>::min());
    Best.assign(players, std::numeric_limits<int>::max());
    Worst.assign(players, 0);
    Won.assign(players, 0);
    Tied.assign(players, 0);
    Share.assign(players, 0);
  }
};

// One outcome of weight `weight` in which the players score `points`: each one's place and
// highest total, and the outcome shared among those first. Returns the top score.
int32_t AddOutcome(TExpected& result, const std::vector<int32_t>& points, double weight) {
  ++result.Outcomes;
  result.TotalWeight += weight;
  const int32_t top = points.empty() ? 0 : *std::max_element(points.begin(), points.end());
  const auto first = std::count(points.begin(), points.end(), top);
  for (size_t i = 0; i < points.size(); ++i) {
    const int place = 1 + static_cast<int>(std::count_if(points.begin(), points.end(),
                                                         [&](int32_t p) { return p > points[i]; }));
    result.Best[i] = std::min(result.Best[i], place);
    result.Worst[i] = std::max(result.Worst[i], place);
    result.Max[i] = std::max(result.Max[i], points[i]);
    if (points[i] == top) {
      (first == 1 ? result.Won : result.Tied)[i] += weight;
      result.Share[i] += weight / static_cast<double>(first);
    }
  }
  // The prizes as the rule pays them: the players in finish order, those level in player-file
  // order sharing the prizes of the places they span.
  if (!result.PlaceAmounts.empty()) {
    std::vector<size_t> order(points.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return points[a] > points[b]; });
    std::vector<int> places;
    for (size_t r = 0; r < order.size(); ++r)
      places.push_back(r > 0 && points[order[r]] == points[order[r - 1]] ? places.back()
                                                                         : static_cast<int>(r) + 1);
    const std::vector<int64_t> prizes = Prizes::Share(result.PlaceAmounts, places);
    for (size_t r = 0; r < order.size(); ++r) {
      result.Prize[order[r]] += weight * static_cast<double>(prizes[r]);
      if (places[r] <= static_cast<int>(result.PlaceAmounts.size()))
        result.Paid[order[r]] += weight;
    }
  }
  return top;
}

class TBruteForce {
 public:
  // Under the ratings model, `ratings` holds each team's rating in teams-file order.
  TBruteForce(TFFDataModule& pool, TOutlookModel model, const std::vector<double>& ratings = {},
              const Prizes::TPrizes& prizes = {})
      : FPool(pool), FModel(model) {
    for (const auto& team : pool.TeamsFile().List()) {
      FChart.PlaceTeam(team.get());
      if (model == TOutlookModel::Ratings)
        FRating.insert(team.get(), ratings.at(static_cast<size_t>(FRating.size())));
    }
    const int players = pool.PlayerPicksFile().Count();
    FResult.Start(static_cast<size_t>(players), prizes);
    FResult.Champions.resize(static_cast<size_t>(players));
    FResult.Current = Score();
    for (int slot = 65; slot <= 127; ++slot) {
      if (FChart.Slot(slot)->Team() == nullptr)
        FOpen.push_back(slot);
    }
    const int round = FOpen.empty() ? 0 : FChart.Slot(FOpen.front())->Round();
    for (const int slot : FOpen) {
      if (FChart.Slot(slot)->Round() == round)
        FRooting.push_back(slot);
    }
    FResult.RootWeight.resize(FRooting.size());
    FResult.RootShare.resize(FRooting.size());
    FResult.RootPrize.resize(FRooting.size());
    for (auto* root : {&FResult.RootShare, &FResult.RootPrize}) {
      for (auto& sides : *root) {
        sides[0].assign(static_cast<size_t>(players), 0);
        sides[1].assign(static_cast<size_t>(players), 0);
      }
    }
  }

  TExpected Run() {
    Play(0, 1.0);
    return FResult;
  }

 private:
  std::vector<int32_t> Score() {
    TStandingsByPoints standings;
    standings.Build(FPool);
    std::vector<int32_t> points(static_cast<size_t>(FPool.PlayerPicksFile().Count()));
    for (int row = 0; row < static_cast<int>(standings.Items().size()); ++row) {
      const TStandingsItem& item = standings.StandingsItem(row);
      const TPlayerPicksListObject* player = FPool.PlayerPicksFile().FindPlayer(item.PlayerName());
      const auto& list = FPool.PlayerPicksFile().List();
      const auto at = std::find_if(list.begin(), list.end(),
                                   [player](const auto& p) { return p.get() == player; });
      points[static_cast<size_t>(at - list.begin())] = item.CurrentPoints();
    }
    return points;
  }

  void Play(size_t next, double weight) {
    if (next == FOpen.size()) {
      Rank(weight);
      return;
    }
    TBracketItem* slot = FChart.Slot(FOpen[next]);
    // Slots before the first of chart round r: the two lines that meet for a slot of round r
    // are the (2k-1)th and (2k)th of the round before.
    static const int kBefore[8] = {0, 0, 64, 96, 112, 120, 124, 126};
    const int round = slot->Round();
    const int first = kBefore[round - 1] + 2 * (FOpen[next] - kBefore[round]) - 1;
    TChartEntry* teams[2] = {FChart.Slot(first)->Team(), FChart.Slot(first + 1)->Team()};
    for (int side = 0; side < 2; ++side) {
      TChartEntry* team = teams[side];
      double chance = 1.0;
      if (FModel == TOutlookModel::Seed)
        chance = SeedWinChance(team->Seed(), teams[1 - side]->Seed());
      if (FModel == TOutlookModel::Ratings)
        chance = RatingWinChance(FRating.value(team), FRating.value(teams[1 - side]),
                                 TOutlookOptions::kRatingScale);
      slot->SetTeam(team);
      const int32_t before = team->RoundReached();
      team->SetRoundReached(slot->Round());
      FSides.push_back(side);
      Play(next + 1, weight * chance);
      FSides.pop_back();
      team->SetRoundReached(before);
      slot->SetTeam(nullptr);
    }
  }

  void Rank(double weight) {
    const std::vector<int32_t> points = Score();
    const std::vector<double> prizeBefore = FResult.Prize;
    const int32_t top = AddOutcome(FResult, points, weight);
    for (size_t r = 0; r < FRooting.size(); ++r) {
      for (size_t i = 0; i < points.size(); ++i)
        FResult.RootPrize[r][static_cast<size_t>(FSides[r])][i] +=
            FResult.Prize[i] - prizeBefore[i];
    }
    const auto first = std::count(points.begin(), points.end(), top);
    const QString champion =
        FChart.Slot(127)->Team() ? FChart.Slot(127)->Team()->TeamName() : QString();
    for (size_t r = 0; r < FRooting.size(); ++r)
      FResult.RootWeight[r][static_cast<size_t>(FSides[r])] += weight;
    for (size_t i = 0; i < points.size(); ++i) {
      if (points[i] != top)
        continue;
      FResult.Champions[i][champion] += weight;
      for (size_t r = 0; r < FRooting.size(); ++r)
        FResult.RootShare[r][static_cast<size_t>(FSides[r])][i] +=
            weight / static_cast<double>(first);
    }
  }

  TFFDataModule& FPool;
  TOutlookModel FModel;
  QHash<const TChartEntry*, double> FRating;
  TBracketList FChart;
  std::vector<int> FOpen;
  std::vector<int> FRooting;
  std::vector<int> FSides;
  TExpected FResult;
};

// A gain that depends on the loser, as an upset bonus does: the round's points, and for a win
// over a better seed the seeds between them as well, when the player also picked that loser
// to reach the game.
class TUpsetGain : public TOutlookGain {
 public:
  using TOutlookGain::TOutlookGain;
  bool ByTeamAndRound() const override { return false; }
  void MostOf(int player, int64_t* gains) const override {
    In.GainsOf(player, gains);
    for (int at = 0; at < In.TeamCount() * TOutlookInput::kRounds; ++at)
      gains[at] += gains[at] > 0 ? 15 : 0;
  }
  int64_t Gain(int player, const TOutlookInput::TGame& game, int32_t winner,
               int32_t loser) const override {
    const int64_t points = In.GainAt(winner, game.Round, player);
    if (points == 0 || loser < 0)
      return points;
    const int32_t upset =
        In.Seeds[static_cast<size_t>(winner)] - In.Seeds[static_cast<size_t>(loser)];
    bool picked = false;
    for (int e = 0; e < TOutlookInput::kPicks; ++e) {
      const TOutlookInput::TPick& pick =
          In.Picks[static_cast<size_t>(player) * TOutlookInput::kPicks + static_cast<size_t>(e)];
      picked = picked || (pick.Team == loser && pick.Last >= game.Round - 1);
    }
    return points + (upset > 0 && picked ? upset : 0);
  }
};

// Every outcome of the input's games, each player's points added up game by game from `gain`.
TExpected BruteForceOf(const TOutlookInput& input, const TOutlookGain& gain, TOutlookModel model) {
  const size_t players = static_cast<size_t>(input.PlayerCount());
  TExpected result;
  result.Start(players, input.Prizes);
  std::array<int32_t, TOutlookInput::kSlots + 1> occupant = input.Occupant;
  std::vector<int64_t> totals(input.Base);
  std::function<void(size_t, double)> play = [&](size_t next, double weight) {
    if (next == input.Games.size()) {
      std::vector<int32_t> points(players);
      for (size_t i = 0; i < players; ++i)
        points[i] = static_cast<int32_t>(std::clamp<int64_t>(totals[i], INT32_MIN, INT32_MAX));
      AddOutcome(result, points, weight);
      return;
    }
    const TOutlookInput::TGame& game = input.Games[next];
    const std::array<int32_t, 2> teams = {occupant[static_cast<size_t>(game.Feeder[0])],
                                          occupant[static_cast<size_t>(game.Feeder[1])]};
    for (int side = 0; side < (game.Real ? 2 : 1); ++side) {
      const int32_t winner = teams[static_cast<size_t>(side)];
      const int32_t loser = game.Real ? teams[static_cast<size_t>(1 - side)] : -1;
      occupant[static_cast<size_t>(game.Slot)] = winner;
      std::vector<int64_t> before(totals);
      for (size_t i = 0; i < players; ++i)
        totals[i] += gain.Gain(static_cast<int>(i), game, winner, loser);
      double chance = 1.0;
      if (game.Real && model == TOutlookModel::Seed)
        chance = SeedWinChance(input.Seeds[static_cast<size_t>(winner)],
                               input.Seeds[static_cast<size_t>(loser)]);
      play(next + 1, weight * chance);
      totals = before;
    }
  };
  play(0, 1.0);
  return result;
}

const TOutlookPlayer& PlayerAt(const TOutlookResult& result, int index) {
  for (const TOutlookPlayer& player : result.Players) {
    if (player.Index == index)
      return player;
  }
  QTest::qFail("player missing from the outlook", __FILE__, __LINE__);
  return result.Players.front();
}

// The win chances, expected prizes and prize chances against the plain enumeration's, and the
// expected prizes adding up to the pot; none without prizes.
void CompareChancesAndPrizes(const TExpected& expected, const TOutlookResult& result) {
  QCOMPARE(result.PaysPrizes, expected.Paying.IsSet());
  const int players = static_cast<int>(expected.Prize.size());
  QCOMPARE(result.Pot, Prizes::Pot(expected.Paying, players));
  double pot = 0;
  for (int i = 0; i < players; ++i) {
    const size_t n = static_cast<size_t>(i);
    const TOutlookPlayer& player = PlayerAt(result, i);
    QVERIFY2(qAbs(player.ExpectedPrize - expected.Prize[n] / expected.TotalWeight) < 1e-6,
             qPrintable(QStringLiteral("%1: %2 cents, not %3")
                            .arg(player.Name)
                            .arg(player.ExpectedPrize)
                            .arg(expected.Prize[n] / expected.TotalWeight)));
    QVERIFY(qAbs(player.PrizeChance - expected.Paid[n] / expected.TotalWeight) < 1e-9);
    QVERIFY(qAbs(player.WinChance - expected.Share[n] / expected.TotalWeight) < 1e-9);
    pot += player.ExpectedPrize;
  }
  QVERIFY(qAbs(pot - static_cast<double>(result.Pot)) < 1e-6);
}

// Compares every figure of the outlook, worked out with `options`, with the plain enumeration.
void CompareWith(const TExpected& expected, TFFDataModule& pool, const TOutlookOptions& options) {
  const TOutlookModel model = options.Model;
  TOutlookInput input = TOutlookInput::FromPool(pool);
  input.Prizes = expected.Paying;
  const TOutlookResult result = ComputeOutlook(input, options);
  QVERIFY(result.Exact);
  QVERIFY(!result.Cancelled);
  QCOMPARE(result.Outcomes, static_cast<uint64_t>(expected.Outcomes));
  // One per outcome, or chances adding up to one.
  QCOMPARE(expected.TotalWeight, model == TOutlookModel::Even ? expected.Outcomes : 1.0);
  const double perWeight = static_cast<double>(expected.Outcomes) / expected.TotalWeight;
  const int players = pool.PlayerPicksFile().Count();
  QCOMPARE(static_cast<int>(result.Players.size()), players);
  double chances = 0;
  for (int i = 0; i < players; ++i) {
    const size_t n = static_cast<size_t>(i);
    const TOutlookPlayer& player = PlayerAt(result, i);
    QCOMPARE(player.Name, pool.PlayerPicksFile().Items(i)->PlayerName());
    QCOMPARE(player.Current, expected.Current[n]);
    QCOMPARE(player.Max, expected.Max[n]);
    QCOMPARE(player.BestPlace, expected.Best[n]);
    QCOMPARE(player.WorstPlace, expected.Worst[n]);
    QVERIFY2(qAbs(player.Won - expected.Won[n] * perWeight) < 1e-6,
             qPrintable(QStringLiteral("%1 %2 %3 %4 %5")
                            .arg(i)
                            .arg(player.Won)
                            .arg(expected.Won[n] * perWeight)
                            .arg(player.Tied)
                            .arg(expected.Tied[n] * perWeight)));
    QVERIFY(qAbs(player.Tied - expected.Tied[n] * perWeight) < 1e-6);
    QVERIFY(qAbs(player.WinChance - expected.Share[n] / expected.TotalWeight) < 1e-9);
    QCOMPARE(player.ChanceLow, player.WinChance);
    QCOMPARE(player.ChanceHigh, player.WinChance);
    chances += player.WinChance;
    QCOMPARE(player.Champions.size(), expected.Champions[n].size());
    for (size_t c = 0; c < player.Champions.size(); ++c) {
      const TOutlookChampion& champion = player.Champions[c];
      QVERIFY(qAbs(champion.Won - expected.Champions[n].at(champion.Team) * perWeight) < 1e-6);
      if (c > 0)
        QVERIFY(player.Champions[c - 1].Won >= champion.Won);
    }
  }
  if (players > 0)
    QVERIFY(qAbs(chances - 1.0) < 1e-9);
  QCOMPARE(result.Rooting.size(), expected.RootWeight.size());
  for (size_t r = 0; r < result.Rooting.size(); ++r) {
    for (size_t side = 0; side < 2; ++side) {
      for (size_t i = 0; i < static_cast<size_t>(players); ++i) {
        const double want = expected.RootShare[r][side][i] / expected.RootWeight[r][side];
        QVERIFY(qAbs(result.RootingChance(result.Rooting[r], static_cast<int>(side),
                                          static_cast<int>(i)) -
                     want) < 1e-9);
        // With prizes the guide goes by each player's expected prize if that side wins.
        const double prize = expected.RootPrize[r][side][i] / expected.RootWeight[r][side];
        QVERIFY2(qAbs(result.RootingPrize(result.Rooting[r], static_cast<int>(side),
                                          static_cast<int>(i)) -
                      (result.PaysPrizes ? prize : 0.0)) < 1e-6,
                 qPrintable(QStringLiteral("game %1 side %2 player %3: %4 cents, not %5")
                                .arg(r)
                                .arg(side)
                                .arg(i)
                                .arg(result.RootingPrize(result.Rooting[r], static_cast<int>(side),
                                                         static_cast<int>(i)))
                                .arg(prize)));
      }
    }
  }
  QCOMPARE(result.RootsByPrize, result.PaysPrizes && !result.Rooting.empty());
  // The order: best chance first.
  for (size_t p = 1; p < result.Players.size(); ++p)
    QVERIFY(result.Players[p - 1].WinChance >= result.Players[p].WinChance);
  CompareChancesAndPrizes(expected, result);
}

// Every way the outlook goes about it against the plain enumeration: every player ranked at
// every outcome; and places searched for apart, with the last games played by table on each
// kind of vector instructions the processor has.
void CompareWithBruteForce(TFFDataModule& pool, TOutlookModel model, int threads = 0,
                           const std::vector<double>& ratings = {},
                           const Prizes::TPrizes& prizes = {}) {
  const TExpected expected = TBruteForce(pool, model, ratings, prizes).Run();
  TOutlookOptions options;
  options.Model = model;
  options.Ratings = ratings;
  options.Threads = threads;
  CompareWith(expected, pool, options);
  options.RankBudget = 0;
  for (const TOutlookVectors vectors :
       {TOutlookVectors::Avx512, TOutlookVectors::Avx2, TOutlookVectors::Plain}) {
    if (QTest::currentTestFailed())
      return;
    options.Vectors = vectors;
    CompareWith(expected, pool, options);
  }
}

}  // namespace

class TestOutlook : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir FDir;

  // The sample field with `playedRounds` rounds played and `players` complete brackets.
  std::unique_ptr<TFFDataModule> RandomPool(const QString& name, unsigned seed, int playedRounds,
                                            int players) {
    const QString folder = FDir.filePath(name);
    QDir().mkpath(folder);
    auto pool = TestPools::CreatePool(folder);
    SamplePool::Fill(*pool, players, playedRounds, 0, seed);
    return pool;
  }

 private slots:
  // The brute force weighs games by the same model, so only a pinned figure tells which way
  // it leans: the better seed is the favourite.
  void seedModelFavoursTheBetterSeed() {
    QCOMPARE(SeedWinChance(1, 16), 0.995);
    QCOMPARE(SeedWinChance(16, 1), 1 - SeedWinChance(1, 16));
    QCOMPARE(SeedWinChance(8, 8), 0.5);
    // And 400 rating points make the better team ten times as likely to win as to lose.
    QCOMPARE(RatingWinChance(1600, 1200, 400), 10.0 / 11);
    QCOMPARE(RatingWinChance(1200, 1600, 400), 1.0 / 11);
    QCOMPARE(RatingWinChance(1500, 1300, 200), 10.0 / 11);
  }

  void sixteenLeftEqualsBruteForce() {
    auto pool = RandomPool("sixteen", 7, 2, 7);
    // Two entries with the same bracket always tie, and a player who advanced nobody scores
    // nothing more and cannot win.
    TTeamRounds copied;
    for (int i = 0; i < 64; ++i)
      copied[static_cast<size_t>(i)] = pool->PlayerPicksFile().Items(2)->Pick(i)->RoundReached();
    AddPicks(*pool, QStringLiteral("Copy of Player 3"), copied);
    TestPools::AddPlayer(*pool, QStringLiteral("No Picks"));
    CompareWithBruteForce(*pool, TOutlookModel::Even);
    CompareWithBruteForce(*pool, TOutlookModel::Seed, 3);
    // Ratings that cross the seeds now and then, so that an upset is sometimes the favourite.
    std::vector<double> ratings;
    for (int i = 0; i < 64; ++i)
      ratings.push_back(2000 - 40 * (i % 16) + 150 * ((i * 7) % 5));
    CompareWithBruteForce(*pool, TOutlookModel::Ratings, 2, ratings);

    const TOutlookResult result = ComputeOutlook(TOutlookInput::FromPool(*pool), TOutlookOptions{});
    QCOMPARE(result.GamesLeft, 15);
    QCOMPARE(result.Rooting.size(), size_t{8});
    const TOutlookPlayer& original = PlayerAt(result, 2);
    const TOutlookPlayer& copy = PlayerAt(result, 7);
    QCOMPARE(original.Won, 0.0);
    QCOMPARE(copy.Tied, original.Tied);
    QCOMPARE(copy.WinChance, original.WinChance);
    const TOutlookPlayer& none = PlayerAt(result, 8);
    QCOMPARE(none.Max, none.Current);
    QCOMPARE(none.WinChance, 0.0);
    QVERIFY(none.Champions.empty());
    // The rooting guide is that of the players who can still win: nothing for the others.
    for (const TOutlookPlayer& player : result.Players) {
      const bool rooting = std::binary_search(result.RootingPlayers.begin(),
                                              result.RootingPlayers.end(), player.Index);
      QCOMPARE(rooting, player.WinChance > 0);
    }
    QCOMPARE(result.RootingChance(result.Rooting.front(), 0, 8), 0.0);
  }

  // With three games left every outcome is listed: its chance, its winners in the order the
  // games are played, and who finishes first, as the standings of each outcome have it.
  void theLastGamesListEveryOutcome() {
    auto pool = RandomPool("last", 5, 4, 9);
    pool->SetScoringRule(TScoringRule::UpsetBonus);
    TOutlookInput input = TOutlookInput::FromPool(*pool);
    input.Prizes.FeeCents = 700;
    input.Prizes.Split = {5000, 3000, 2000};
    for (const TOutlookModel model : {TOutlookModel::Even, TOutlookModel::Seed}) {
      const TExpected expected = TBruteForce(*pool, model).Run();
      TOutlookOptions options;
      options.Model = model;
      const TOutlookResult result = ComputeOutlook(input, options);
      QCOMPARE(result.LastGames.size(), size_t{8});
      std::vector<double> won(static_cast<size_t>(input.PlayerCount()), 0);
      std::vector<double> tied(won.size(), 0);
      std::vector<double> prize(won.size(), 0);
      double total = 0;
      for (const TLastGamesOutcome& outcome : result.LastGames) {
        // Who wins what: the whole pot, to the expected prizes over the outcomes.
        int64_t paid = 0;
        for (const TLastGamesOutcome::TPaid& entry : outcome.Paid) {
          paid += entry.Cents;
          prize[static_cast<size_t>(input.PlayerNames.indexOf(entry.Player))] +=
              outcome.Chance * static_cast<double>(entry.Cents);
        }
        QCOMPARE(paid, result.Pot);
        QCOMPARE(outcome.Winners.size(), 3);
        QVERIFY(outcome.Winners[2] == outcome.Winners[0] ||
                outcome.Winners[2] == outcome.Winners[1]);
        total += outcome.Chance;
        for (const QString& name : outcome.First) {
          const auto n = static_cast<size_t>(input.PlayerNames.indexOf(name));
          (outcome.First.size() == 1 ? won : tied)[n] += outcome.Chance;
        }
      }
      QVERIFY(qAbs(total - 1) < 1e-12);
      // The semifinals' winners change fastest from the first game on: the first outcome
      // has the first team of every game win, the second differs in the final alone.
      QCOMPARE(result.LastGames[0].Winners[2], result.LastGames[0].Winners[0]);
      QCOMPARE(result.LastGames[1].Winners.mid(0, 2), result.LastGames[0].Winners.mid(0, 2));
      for (size_t n = 0; n < won.size(); ++n) {
        QVERIFY(qAbs(won[n] - expected.Won[n] / expected.TotalWeight) < 1e-12);
        QVERIFY(qAbs(tied[n] - expected.Tied[n] / expected.TotalWeight) < 1e-12);
        QVERIFY(qAbs(prize[n] - PlayerAt(result, static_cast<int>(n)).ExpectedPrize) < 1e-6);
      }
    }
    // With more games left there is no such list.
    QVERIFY(ComputeOutlook(TOutlookInput::FromPool(*RandomPool("more", 5, 3, 3)), {})
                .LastGames.empty());
  }

  // What if: a win assumed is the same as its result entered, its loser's bonus included;
  // a team whose opponent is not known yet, or with no game left, is refused as it stands.
  void anAssumedWinIsAsIfItsResultWereIn() {
    auto pool = RandomPool("assume", 11, 3, 8);
    pool->SetScoringRule(TScoringRule::UpsetBonus);
    TOutlookInput input = TOutlookInput::FromPool(*pool);
    const TOutlookInput::TGame game = input.Games.front();
    const int32_t second = input.Occupant[static_cast<size_t>(game.Feeder[1])];
    const int32_t first = input.Occupant[static_cast<size_t>(game.Feeder[0])];
    int32_t loser = -1;
    QString why;
    // The lower seed wins, so that the upset bonus counts.
    const int32_t winner =
        input.Seeds[static_cast<size_t>(first)] > input.Seeds[static_cast<size_t>(second)] ? first
                                                                                           : second;
    QVERIFY(input.AssumeWin(winner, &loser, &why));
    QCOMPARE(loser, winner == first ? second : first);
    QCOMPARE(input.RealGames(), 6);
    pool->TeamsFile().Items(winner)->SetRoundReached(game.Round);
    pool->TeamsFile().Items(loser)->SetEliminated(true);
    const TOutlookResult assumed = ComputeOutlook(input, {});
    const TOutlookResult entered = ComputeOutlook(TOutlookInput::FromPool(*pool), {});
    QCOMPARE(assumed.GamesLeft, entered.GamesLeft);
    for (size_t p = 0; p < entered.Players.size(); ++p) {
      QCOMPARE(assumed.Players[p].Name, entered.Players[p].Name);
      QCOMPARE(assumed.Players[p].Current, entered.Players[p].Current);
      QCOMPARE(assumed.Players[p].Max, entered.Players[p].Max);
      QCOMPARE(assumed.Players[p].BestPlace, entered.Players[p].BestPlace);
      QCOMPARE(assumed.Players[p].WorstPlace, entered.Players[p].WorstPlace);
      QCOMPARE(assumed.Players[p].WinChance, entered.Players[p].WinChance);
    }
    // Its next game waits for the other regional final.
    const TOutlookInput before = input;
    QVERIFY(!input.AssumeWin(winner, &loser, &why));
    QVERIFY2(why.endsWith("next game has no opponent yet: name the winner of the game before it "
                          "first"),
             qPrintable(why));
    const int32_t beaten = loser;
    QVERIFY(!input.AssumeWin(beaten, &loser, &why));
    QCOMPARE(why, input.TeamNames.at(beaten) + " has no game left to win");
    QCOMPARE(input.Base, before.Base);
    QCOMPARE(input.Games.size(), before.Games.size());
  }

  void everyScoringRuleEqualsTheStandingsOfEveryOutcome() {
    // The outlook's gains under each rule against the standings worked out afresh at every
    // outcome; the rules must differ somewhere in what the players can reach.
    auto pool = RandomPool("rules", 21, 3, 7);
    QSet<QList<int32_t>> reach;
    for (int rule = 0; rule < ScoringRules::kCount; ++rule) {
      pool->SetScoringRule(static_cast<TScoringRule>(rule));
      CompareWithBruteForce(*pool, TOutlookModel::Even);
      CompareWithBruteForce(*pool, TOutlookModel::Seed, 2);
      if (QTest::currentTestFailed())
        return;
      const TOutlookResult result = ComputeOutlook(TOutlookInput::FromPool(*pool), {});
      QCOMPARE(result.GamesLeft, 7);
      QList<int32_t> max;
      for (int i = 0; i < pool->PlayerPicksFile().Count(); ++i)
        max << PlayerAt(result, i).Max;
      reach.insert(max);
    }
    QCOMPARE(reach.size(), ScoringRules::kCount);

    // At 1 point a game a bonus of a seed or two is as much as a round's points, and parts
    // players a bigger round would keep apart.
    for (int k = 2; k <= 7; ++k)
      pool->SystemFile().SetRoundPoints(k, 1);
    for (int rule = 0; rule < ScoringRules::kCount; ++rule) {
      pool->SetScoringRule(static_cast<TScoringRule>(rule));
      CompareWithBruteForce(*pool, TOutlookModel::Even);
      if (QTest::currentTestFailed())
        return;
    }
  }

  void aGainThatDependsOnTheLoserEqualsBruteForce() {
    // Upsets called earn a bonus only against a loser the player also picked to get there, so
    // a player's worth of a game turns on both its teams; the bounds, the best and worst
    // places and every way of going about it must follow.
    auto pool = RandomPool("upsets", 13, 2, 8);
    const TOutlookInput input = TOutlookInput::FromPool(*pool);
    const TUpsetGain gain(input);
    for (const TOutlookModel model : {TOutlookModel::Even, TOutlookModel::Seed}) {
      const TExpected expected = BruteForceOf(input, gain, model);
      TOutlookOptions options;
      options.Model = model;
      for (const double budget : {4e8, 0.0}) {
        options.RankBudget = budget;
        const TOutlookResult result = ComputeOutlook(input, gain, options);
        QCOMPARE(result.Outcomes, static_cast<uint64_t>(expected.Outcomes));
        for (int i = 0; i < input.PlayerCount(); ++i) {
          const size_t n = static_cast<size_t>(i);
          const TOutlookPlayer& player = PlayerAt(result, i);
          QCOMPARE(player.Max, expected.Max[n]);
          QCOMPARE(player.BestPlace, expected.Best[n]);
          QCOMPARE(player.WorstPlace, expected.Worst[n]);
          QVERIFY(qAbs(player.WinChance - expected.Share[n] / expected.TotalWeight) < 1e-9);
          QVERIFY(qAbs(player.Tied - expected.Tied[n] * expected.Outcomes / expected.TotalWeight) <
                  1e-6);
        }
      }
    }
    // The bonus changes the outcome somewhere: the same pool scored by round points differs.
    const TExpected plain = BruteForceOf(input, TOutlookGain(input), TOutlookModel::Even);
    QVERIFY(plain.Max != BruteForceOf(input, gain, TOutlookModel::Even).Max);
  }

  // The money: each player's expected prize and chance of a paid place against the standings
  // of every outcome, players level on points sharing the prizes of the places they span (a
  // copied bracket ties its original everywhere), under every model, a bonus rule, a gain that
  // turns on the loser, a win assumed, and drawn outcomes.
  void expectedPrizesEqualBruteForce() {
    const auto makePool = [this](const QString& name) {
      auto pool = RandomPool(name, 17, 3, 9);
      TTeamRounds copied;
      for (int i = 0; i < 64; ++i)
        copied[static_cast<size_t>(i)] = pool->PlayerPicksFile().Items(4)->Pick(i)->RoundReached();
      AddPicks(*pool, QStringLiteral("Copy of Player 5"), copied);
      return pool;
    };
    auto pool = makePool(QStringLiteral("prizes"));
    Prizes::TPrizes prizes;
    prizes.FeeCents = 2500;
    prizes.Split = {6000, 3000, 1000};
    CompareWithBruteForce(*pool, TOutlookModel::Even, 0, {}, prizes);
    CompareWithBruteForce(*pool, TOutlookModel::Seed, 3, {}, prizes);
    std::vector<double> ratings;
    for (int i = 0; i < 64; ++i)
      ratings.push_back(1800 - 35 * (i % 16) + 120 * ((i * 3) % 7));
    CompareWithBruteForce(*pool, TOutlookModel::Ratings, 2, ratings, prizes);
    // Odd cents to share: any two level at neighbouring places share an odd amount (59, 42,
    // 21, 14 and 7 cents).
    Prizes::TPrizes odd;
    odd.FeeCents = 13;
    odd.Split = {4020, 3000, 1500, 980, 500};
    pool->SetScoringRule(TScoringRule::UpsetBonus);
    CompareWithBruteForce(*pool, TOutlookModel::Even, 0, {}, odd);
    CompareWithBruteForce(*pool, TOutlookModel::Seed, 2, {}, odd);
    // More level at a place than its shares are kept for (33 alike), four places, and a pot
    // that takes two 15-bit digits; enough games left that the last are played by table.
    auto crowded = RandomPool(QStringLiteral("prizes-crowded"), 5, 2, 4);
    TTeamRounds same;
    for (int i = 0; i < 64; ++i)
      same[static_cast<size_t>(i)] = crowded->PlayerPicksFile().Items(1)->Pick(i)->RoundReached();
    for (int k = 2; k <= 33; ++k)
      AddPicks(*crowded, QStringLiteral("Copy %1 of Player 2").arg(k), same);
    for (int played = 0; played < 3; ++played) {
      const TOutlookInput left = TOutlookInput::FromPool(*crowded);
      const TOutlookInput::TGame& game = left.Games.front();
      const int32_t winner = left.Occupant[static_cast<size_t>(game.Feeder[0])];
      crowded->TeamsFile().Items(winner)->SetRoundReached(game.Round);
      crowded->TeamsFile()
          .Items(left.Occupant[static_cast<size_t>(game.Feeder[1])])
          ->SetEliminated(true);
    }
    Prizes::TPrizes fourPlaces;
    fourPlaces.FeeCents = 1000007;
    fourPlaces.Split = {4000, 3000, 2000, 1000};
    CompareWithBruteForce(*crowded, TOutlookModel::Even, 0, {}, fourPlaces);
    CompareWithBruteForce(*crowded, TOutlookModel::Seed, 2, {}, fourPlaces);
    if (QTest::currentTestFailed())
      return;

    TOutlookInput input = TOutlookInput::FromPool(*pool);
    input.Prizes = prizes;
    const TUpsetGain gain(input);
    for (const TOutlookModel model : {TOutlookModel::Even, TOutlookModel::Seed}) {
      TOutlookOptions options;
      options.Model = model;
      for (const double budget : {4e8, 0.0}) {
        options.RankBudget = budget;
        CompareChancesAndPrizes(BruteForceOf(input, gain, model),
                                ComputeOutlook(input, gain, options));
      }
    }

    // A win assumed: the same as the pool with its result entered.
    const TOutlookInput::TGame game = input.Games.front();
    const int32_t winner = input.Occupant[static_cast<size_t>(game.Feeder[1])];
    int32_t loser = -1;
    QString why;
    QVERIFY(input.AssumeWin(winner, &loser, &why));
    auto entered = makePool(QStringLiteral("prizes-entered"));
    entered->SetScoringRule(TScoringRule::UpsetBonus);
    entered->TeamsFile().Items(winner)->SetRoundReached(game.Round);
    entered->TeamsFile().Items(loser)->SetEliminated(true);
    for (const TOutlookModel model : {TOutlookModel::Even, TOutlookModel::Seed}) {
      TOutlookOptions options;
      options.Model = model;
      const TOutlookResult assumed = ComputeOutlook(input, options);
      QCOMPARE(assumed.GamesLeft, 6);
      CompareChancesAndPrizes(TBruteForce(*entered, model, {}, prizes).Run(), assumed);
    }

    // Drawn outcomes hold the exact expectations, and add up to the pot as well.
    TOutlookOptions options;
    const TOutlookResult exact = ComputeOutlook(input, options);
    options.MaxExactGames = 3;
    const TOutlookResult drawn = ComputeOutlook(input, options);
    QVERIFY(!drawn.Exact);
    double pot = 0;
    for (const TOutlookPlayer& player : exact.Players) {
      const TOutlookPlayer& estimate = PlayerAt(drawn, player.Index);
      QVERIFY(qAbs(estimate.ExpectedPrize - player.ExpectedPrize) < 0.005 * exact.Pot);
      QVERIFY(qAbs(estimate.PrizeChance - player.PrizeChance) < 0.005);
      pot += estimate.ExpectedPrize;
      // Each drawn figure's interval holds the exact one; exact, the interval is the figure.
      QVERIFY(estimate.PrizeLow <= player.ExpectedPrize &&
              player.ExpectedPrize <= estimate.PrizeHigh);
      QVERIFY(estimate.PrizeChanceLow <= player.PrizeChance &&
              player.PrizeChance <= estimate.PrizeChanceHigh);
      QVERIFY(estimate.PrizeHigh - estimate.PrizeLow < 0.02 * exact.Pot);
      QCOMPARE(player.PrizeLow, player.ExpectedPrize);
      QCOMPARE(player.PrizeChanceHigh, player.PrizeChance);
    }
    QVERIFY(qAbs(pot - static_cast<double>(exact.Pot)) < 1e-6);

    // The rooting guide goes by the expected prize, drawn as well, for whoever can still be
    // paid, also without a chance to finish first; its draws hold the exact figures.
    QVERIFY(exact.RootsByPrize);
    QVERIFY(drawn.RootsByPrize);
    bool paidOnly = false;
    for (const TOutlookPlayer& player : exact.Players) {
      QCOMPARE(exact.Roots(player), player.PrizeChance > 0);
      paidOnly = paidOnly || (player.WinChance == 0 && player.PrizeChance > 0);
      for (size_t r = 0; r < exact.Rooting.size(); ++r) {
        for (int side = 0; side < 2; ++side) {
          const double want = exact.RootingPrize(exact.Rooting[r], side, player.Index);
          QVERIFY(qAbs(drawn.RootingPrize(drawn.Rooting[r], side, player.Index) - want) <
                  0.01 * exact.Pot);
        }
      }
    }
    QVERIFY(paidOnly);
    // Too many to keep by every side when drawing: the guide goes by win chances.
    options.RootingPrizeCells = 0;
    const TOutlookResult byChance = ComputeOutlook(input, options);
    QVERIFY(!byChance.RootsByPrize);
    for (const TOutlookPlayer& player : byChance.Players)
      QCOMPARE(byChance.Roots(player), player.WinChance > 0);
  }

  void thirtyTwoLeftWithOneFirstGameStillToPlay() {
    // Fifteen of the sixteen games of the round of 32 played: the rooting guide has one game,
    // and the sixteen after it are searched, the last eight by table.
    auto pool = RandomPool("one", 5, 1, 6);
    int played = 0;
    for (int i = 0; i < 64 && played < 15; ++i) {
      TTeamSeedObject* team = pool->TeamsFile().Items(i);
      if (team->RoundReached() == 2 && i % 4 < 2) {
        team->SetRoundReached(3);
        ++played;
      }
    }
    QCOMPARE(played, 15);
    const TOutlookResult result = ComputeOutlook(TOutlookInput::FromPool(*pool), TOutlookOptions{});
    QCOMPARE(result.GamesLeft, 16);
    QCOMPARE(result.Rooting.size(), size_t{1});
    CompareWithBruteForce(*pool, TOutlookModel::Even);
  }

  void eightLeftWithOneGamePlayedAndALeaderWhoCannotLose() {
    auto pool = RandomPool("eight", 11, 3, 5);
    // One regional final played as well: seven teams left on six lines.
    for (int i = 0; i < 64; ++i) {
      TTeamSeedObject* team = pool->TeamsFile().Items(i);
      if (team->RoundReached() == 4 && team->Region() == 1) {
        team->SetRoundReached(5);
        break;
      }
    }
    // Points for the first round so large that the player who called it best stays first
    // whatever happens: the lead is out of reach of the later rounds.
    pool->SystemFile().SetRoundPoints(2, 1000);
    TTeamRounds perfect{};
    for (int i = 0; i < 64; ++i)
      perfect[static_cast<size_t>(i)] = pool->TeamsFile().Items(i)->RoundReached() >= 2 ? 2 : 1;
    AddPicks(*pool, QStringLiteral("Leader"), perfect);
    CompareWithBruteForce(*pool, TOutlookModel::Even);
    CompareWithBruteForce(*pool, TOutlookModel::Seed);

    const TOutlookResult result = ComputeOutlook(TOutlookInput::FromPool(*pool), TOutlookOptions{});
    QCOMPARE(result.GamesLeft, 6);
    const TOutlookPlayer& leader = PlayerAt(result, 5);
    QCOMPARE(leader.Won, 64.0);
    QCOMPARE(leader.WinChance, 1.0);
    QCOMPARE(leader.BestPlace, 1);
    QCOMPARE(leader.WorstPlace, 1);
    QCOMPARE(result.Players.front().Index, 5);
  }

  void pointsBeyondNarrowLanesAndTheStandingsStopAtTheInt32Range() {
    // Thousands of points a round: past 16-bit lanes, well inside 32-bit ones.
    auto thousands = RandomPool("thousands", 5, 3, 6);
    for (int k = 2; k <= 7; ++k)
      thousands->SystemFile().SetRoundPoints(k, 1000 << (k - 2));
    CompareWithBruteForce(*thousands, TOutlookModel::Even);

    auto pool = RandomPool("wide", 5, 3, 6);
    // Totals past what 16 bits hold take the wide lanes; past the int32 range the standings
    // stop at its end, so several players share the top there.
    pool->SystemFile().SetRoundPoints(5, 40000);
    pool->SystemFile().SetRoundPoints(6, std::numeric_limits<int32_t>::max() / 2);
    pool->SystemFile().SetRoundPoints(7, std::numeric_limits<int32_t>::max());
    CompareWithBruteForce(*pool, TOutlookModel::Even);
  }

  void tournamentOverWithATieAndNoPlayers() {
    auto pool = RandomPool("over", 3, 6, 4);
    CompareWithBruteForce(*pool, TOutlookModel::Even);
    const TOutlookResult result = ComputeOutlook(TOutlookInput::FromPool(*pool), TOutlookOptions{});
    QCOMPARE(result.GamesLeft, 0);
    QCOMPARE(result.Outcomes, uint64_t{1});
    QVERIFY(result.Rooting.empty());
    QCOMPARE(OutlookSummary(result), QStringLiteral("No games left: the tournament is over"));

    // Two players level on the most points: a tie until the championship's total is entered,
    // then the closer guess finishes first, one away above beating two away below, as the
    // standings rank them.
    const TOutlookPlayer& leader = result.Players.front();
    TTeamRounds copied;
    for (int i = 0; i < 64; ++i)
      copied[static_cast<size_t>(i)] =
          pool->PlayerPicksFile().Items(leader.Index)->Pick(i)->RoundReached();
    AddPicks(*pool, QStringLiteral("Copy"), copied)->SetTieBreakerPoints(149);
    pool->PlayerPicksFile().Items(leader.Index)->SetTieBreakerPoints(146);
    const int copy = pool->PlayerPicksFile().Count() - 1;
    pool->SystemFile().SetTieBreakerPoints(0);
    const TOutlookResult level = ComputeOutlook(TOutlookInput::FromPool(*pool), TOutlookOptions{});
    QCOMPARE(PlayerAt(level, leader.Index).Tied, 1.0);
    QCOMPARE(PlayerAt(level, copy).WinChance, 0.5);
    QCOMPARE(PlayerAt(level, copy).WorstPlace, 1);
    pool->SystemFile().SetTieBreakerPoints(148);
    TOutlookInput paying = TOutlookInput::FromPool(*pool);
    paying.Prizes.FeeCents = 1000;
    paying.Prizes.Split = {7000, 3000};
    const TOutlookResult decided = ComputeOutlook(paying, TOutlookOptions{});
    // The guess parts the two for the money as well: no sharing of the first two prizes.
    QCOMPARE(PlayerAt(decided, copy).ExpectedPrize, 3500.0);
    QCOMPARE(PlayerAt(decided, leader.Index).ExpectedPrize, 1500.0);
    QCOMPARE(PlayerAt(decided, leader.Index).PrizeChance, 1.0);
    QCOMPARE(PlayerAt(decided, copy).Won, 1.0);
    QCOMPARE(PlayerAt(decided, copy).WinChance, 1.0);
    QCOMPARE(PlayerAt(decided, copy).Champions.size(), size_t{1});
    QCOMPARE(PlayerAt(decided, leader.Index).WinChance, 0.0);
    QVERIFY(PlayerAt(decided, leader.Index).Champions.empty());
    QCOMPARE(decided.Players.front().Index, copy);
    TStandingsByPoints standings;
    standings.Build(*pool);
    QCOMPARE(standings.StandingsItem(0).PlayerIndex(), copy);
    // Everyone's place is the one the standings give, the guess parting the two.
    for (int row = 0; row < static_cast<int>(standings.Items().size()); ++row) {
      const TOutlookPlayer& player = PlayerAt(decided, standings.StandingsItem(row).PlayerIndex());
      QCOMPARE(player.BestPlace, standings.Place(row));
      QCOMPARE(player.WorstPlace, standings.Place(row));
    }
    QCOMPARE(PlayerAt(decided, leader.Index).BestPlace, 2);

    auto empty = RandomPool("empty", 3, 2, 0);
    const TOutlookResult nobody =
        ComputeOutlook(TOutlookInput::FromPool(*empty), TOutlookOptions{});
    QVERIFY(nobody.Players.empty());
    QCOMPARE(nobody.GamesLeft, 15);
  }

  void sampledChancesHoldTheExactOnes() {
    auto pool = RandomPool("sampled", 21, 2, 6);
    const TOutlookInput input = TOutlookInput::FromPool(*pool);
    // A 95% interval misses the true value one time in twenty: of the twelve here, one may,
    // and none by more than its own width.
    int misses = 0;
    for (const TOutlookModel model : {TOutlookModel::Even, TOutlookModel::Seed}) {
      TOutlookOptions options;
      options.Model = model;
      const TOutlookResult exact = ComputeOutlook(input, options);
      options.MaxExactGames = 10;
      const TOutlookResult sampled = ComputeOutlook(input, options);
      QVERIFY(!sampled.Exact);
      QCOMPARE(sampled.Samples, TOutlookOptions::kSamples);
      QCOMPARE(sampled.Outcomes, exact.Outcomes);
      for (const TOutlookPlayer& player : exact.Players) {
        const TOutlookPlayer& drawn = PlayerAt(sampled, player.Index);
        const double width = drawn.ChanceHigh - drawn.ChanceLow;
        QVERIFY(width < 0.005);
        QVERIFY(drawn.ChanceLow <= drawn.WinChance && drawn.WinChance <= drawn.ChanceHigh);
        if (player.WinChance < drawn.ChanceLow || player.WinChance > drawn.ChanceHigh)
          ++misses;
        QVERIFY2(drawn.ChanceLow - width <= player.WinChance &&
                     player.WinChance <= drawn.ChanceHigh + width,
                 qPrintable(QStringLiteral("%1: %2 far outside [%3, %4]")
                                .arg(player.Name)
                                .arg(player.WinChance)
                                .arg(drawn.ChanceLow)
                                .arg(drawn.ChanceHigh)));
        QCOMPARE(drawn.Max, player.Max);
        // Places seen in the draws lie within the exact ones.
        QVERIFY(drawn.BestPlace >= player.BestPlace);
        QVERIFY(drawn.WorstPlace <= player.WorstPlace);
      }
      // The same seed draws the same outcomes, whatever the threads.
      options.Threads = 1;
      const TOutlookResult again = ComputeOutlook(input, options);
      for (const TOutlookPlayer& player : sampled.Players)
        QCOMPARE(PlayerAt(again, player.Index).Won, player.Won);
    }
    QVERIFY(misses <= 1);
  }

  // Chances as people read them: none that can still come shows as nought or as sure, and
  // counts of outcomes only where they are short enough to read.
  void textsAsTheyArePrinted() {
    QCOMPARE(FormatChance(0.0), QStringLiteral("0.00%"));
    QCOMPARE(FormatChance(60.0 / 2147483648.0), QStringLiteral("<0.01%"));
    QCOMPARE(FormatChance(0.53125), QStringLiteral("53.13%"));
    QCOMPARE(FormatChance(1 - 1e-7), QStringLiteral(">99.99%"));
    QCOMPARE(FormatChance(1.0), QStringLiteral("100.00%"));
    QCOMPARE(FormatInterval(0.1228, 0.1241), QStringLiteral("12.28%\u201312.41%"));

    TOutlookResult result;
    result.GamesLeft = 1;
    result.Outcomes = 2;
    QCOMPARE(OutlookSummary(result),
             QStringLiteral("1 game left; every game a coin toss; both outcomes"));
    result.GamesLeft = 31;
    result.Outcomes = uint64_t{1} << 31;
    QCOMPARE(OutlookSummary(result),
             QStringLiteral(
                 "31 games left; every game a coin toss; every one of 2,147,483,648 outcomes"));
    QVERIFY(!CountsOutcomes(result, 12));
    QCOMPARE(FormatOutcomes(result, 536870912, false), QStringLiteral("25.00%"));
    result.GamesLeft = 15;
    result.Outcomes = 32768;
    QVERIFY(CountsOutcomes(result, 6));
    QCOMPARE(FormatOutcomes(result, 12288, true), QStringLiteral("12,288"));
    result.Model = TOutlookModel::Seed;
    QVERIFY(!CountsOutcomes(result, 12));
  }

  // The rooting guide of one player: the results that help, the one that helps most first;
  // drawn ones only where the draws tell the two results apart.
  void rootingForAPlayer() {
    TOutlookResult result;
    result.Players.resize(1);
    result.RootingPlayers = {0};
    TRootingGame even;
    even.Teams = {"A", "B"};
    even.Chance = {std::vector<double>{0.2}, std::vector<double>{0.2}};
    TRootingGame slight;
    slight.Teams = {"C", "D"};
    slight.Chance = {std::vector<double>{0.21}, std::vector<double>{0.19}};
    TRootingGame strong;
    strong.Teams = {"E", "F"};
    strong.Chance = {std::vector<double>{0.05}, std::vector<double>{0.35}};
    result.Rooting = {even, slight, strong};
    std::vector<TRootFor> roots = RootingFor(result, result.Players.front());
    QCOMPARE(roots.size(), size_t{2});
    QCOMPARE(FormatRootFor(result, roots[0]), QStringLiteral("F 35.00%"));
    QCOMPARE(FormatRootFor(result, roots[1]), QStringLiteral("C 21.00%"));

    // A thousand draws each way cannot tell 21% from 19%, but 35% from 5% they can.
    result.Exact = false;
    for (TRootingGame& game : result.Rooting)
      game.Samples = {1000, 1000};
    roots = RootingFor(result, result.Players.front());
    QCOMPARE(roots.size(), size_t{1});
    QVERIFY(FormatRootFor(result, roots[0]).startsWith(QStringLiteral("F 35.00% (")));

    // By prizes, what a result does to the expected prize orders the guide, whatever it does
    // to the win chance: here the even game matters most, for a second place; less than a
    // cent is no difference.
    result.Exact = true;
    result.RootsByPrize = true;
    const std::vector<std::array<double, 2>> cents = {
        {900, 4100}, {2000, 2100}, {1500, 1000}, {700.2, 700.4}};
    TRootingGame same;
    same.Teams = {"G", "H"};
    same.Chance = {std::vector<double>{0.3}, std::vector<double>{0.1}};
    result.Rooting.push_back(same);
    for (size_t g = 0; g < cents.size(); ++g) {
      for (size_t side = 0; side < 2; ++side) {
        result.Rooting[g].Prize[side] = result.Rooting[g].PrizeLow[side] =
            result.Rooting[g].PrizeHigh[side] = {cents[g][side]};
      }
    }
    roots = RootingFor(result, result.Players.front());
    QCOMPARE(roots.size(), size_t{3});
    QCOMPARE(FormatRootFor(result, roots[0]), QStringLiteral("B 41.00"));
    QCOMPARE(FormatRootFor(result, roots[1]), QStringLiteral("E 15.00"));
    QCOMPARE(FormatRootFor(result, roots[2]), QStringLiteral("D 21.00"));
  }

  // A pool too large to visit every outcome of draws them, and the more players, the fewer
  // draws; the draws still hold the exact chances.
  void largePoolsDrawOutcomes() {
    auto pool = RandomPool("large", 21, 2, 6);
    const TOutlookInput input = TOutlookInput::FromPool(*pool);
    TOutlookOptions options;
    const TOutlookResult exact = ComputeOutlook(input, options);
    QVERIFY(exact.Exact);
    options.ExactWork = 1000;
    options.SampleWork = 6 * 20000;
    const TOutlookResult drawn = ComputeOutlook(input, options);
    QVERIFY(!drawn.Exact);
    QCOMPARE(drawn.Samples, int64_t{20000});
    for (const TOutlookPlayer& player : exact.Players) {
      const TOutlookPlayer& estimate = PlayerAt(drawn, player.Index);
      const double width = estimate.ChanceHigh - estimate.ChanceLow;
      QVERIFY(estimate.ChanceLow - width <= player.WinChance &&
              player.WinChance <= estimate.ChanceHigh + width);
    }
  }

  void cancelStopsTheWorkAtOnce() {
    // 32 teams left: far more outcomes than the test waits for.
    auto pool = RandomPool("cancel", 9, 1, 40);
    const TOutlookInput input = TOutlookInput::FromPool(*pool);
    TOutlookProgress progress;
    TOutlookResult result;
    std::thread worker([&] { result = ComputeOutlook(input, TOutlookOptions{}, &progress); });
    // Cancelled once it is well under way: progress shown, or a while spent on the first part.
    QElapsedTimer running;
    running.start();
    while (progress.Fraction() == 0 && running.elapsed() < 300)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const double fraction = progress.Fraction();
    QElapsedTimer stopping;
    stopping.start();
    progress.Cancel();
    worker.join();
    const qint64 stopped = stopping.elapsed();
    QVERIFY(fraction < 1);
    QVERIFY2(stopped < 200, qPrintable(QString::number(stopped)));
    QVERIFY(result.Cancelled);
    QVERIFY(result.Players.empty());
  }
};

QTEST_GUILESS_MAIN(TestOutlook)
#include "tst_outlook.moc"
