// What the outlook reads of a pool, from a damaged or hostile pool: a byte of options (the
// model, the widest vectors, how many games are searched outcome by outcome), a byte that picks
// the scoring rule (whatever "Scoring.ini" says) and how many places are paid, then the pool as
// the chart target takes it (FuzzPool::WriteWhole). The pool is read as the tool reads it and
// the outlook worked out on one thread, sampled beyond a few games so that an input stays fast.
#include <algorithm>
#include <cmath>

#include "FuzzChecks.h"
#include "FuzzPool.h"
#include "Outlook.h"
#include "ScoringRule.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || !FuzzPool::WriteWhole(FuzzPool::Bytes(data + 2, size - 2)))
    return 0;
  auto pool = FuzzPool::Open(TFFDataModule::TOpenMode::ReadOnly);
  if (!pool)
    return 0;
  pool->SetScoringRule(static_cast<TScoringRule>(data[1] % ScoringRules::kCount));

  const uint8_t options = data[0];
  TOutlookOptions outlook;
  outlook.Model = (options & 1) != 0 ? TOutlookModel::Seed : TOutlookModel::Even;
  outlook.Vectors = static_cast<TOutlookVectors>((options >> 1) % 3);
  outlook.MaxExactGames = (options >> 3) % 12;
  outlook.Samples = 256;
  outlook.Threads = 1;
  TOutlookInput in = TOutlookInput::FromPool(*pool);
  // Up to five places paid, shared as evenly as hundredths of a percent go, of a fee that
  // leaves odd cents.
  const int places = (data[1] / ScoringRules::kCount) % 6;
  if (places > 0) {
    in.Prizes.FeeCents = 1 + data[1] * 997;
    in.Prizes.Split.assign(static_cast<size_t>(places), 10000 / places);
    in.Prizes.Split.front() += 10000 % places;
  }
  const TOutlookResult result = ComputeOutlook(in, outlook);

  const int players = pool->PlayerPicksFile().Count();
  FUZZ_CHECK(!result.Cancelled);
  FUZZ_CHECK(static_cast<int>(result.Players.size()) == players);
  FUZZ_CHECK(result.GamesLeft <= 63);
  double chances = 0, prizes = 0;
  const double pot = static_cast<double>(result.Pot);
  for (const TOutlookPlayer& player : result.Players) {
    FUZZ_CHECK(player.ExpectedPrize >= -1e-6 && player.ExpectedPrize <= pot * (1 + 1e-9) + 1e-6);
    FUZZ_CHECK(player.PrizeChance >= 0 && player.PrizeChance <= 1 + 1e-9);
    prizes += player.ExpectedPrize;
    FUZZ_CHECK(player.Current <= player.Max);
    FUZZ_CHECK(1 <= player.BestPlace && player.BestPlace <= player.WorstPlace);
    FUZZ_CHECK(player.WorstPlace <= players);
    FUZZ_CHECK(player.WinChance >= 0 && player.WinChance <= 1 + 1e-9);
    FUZZ_CHECK(player.ChanceLow <= player.WinChance + 1e-9);
    FUZZ_CHECK(player.WinChance <= player.ChanceHigh + 1e-9);
    chances += player.WinChance;
  }
  // Somebody finishes first in every outcome, and a tie shares it evenly.
  FUZZ_CHECK(players == 0 || std::fabs(chances - 1) < 1e-6);
  // The whole pot is paid out in every outcome.
  FUZZ_CHECK(players == 0 || result.PaysPrizes == (places > 0));
  FUZZ_CHECK(players == 0 || std::fabs(prizes - pot) < 1e-6 * (1 + pot));
  // The rooting guide is that of the players who can still win, in player-file order.
  FUZZ_CHECK(std::is_sorted(result.RootingPlayers.begin(), result.RootingPlayers.end()));
  FUZZ_CHECK(result.RootingPlayers.size() <= static_cast<size_t>(players));
  for (const TRootingGame& game : result.Rooting) {
    FUZZ_CHECK(game.Chance[0].size() == result.RootingPlayers.size());
    FUZZ_CHECK(game.Chance[1].size() == result.RootingPlayers.size());
  }
  pool->ClosePool();
  return 0;
}
