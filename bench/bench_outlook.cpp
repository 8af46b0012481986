// Times the outlook of who can still win, next to a plain depth-first enumeration of the same
// outcomes (64-bit totals, one player after another, one thread, every player ranked at every
// outcome) run in the same process:
//
//   bench_outlook [--threads N] [--plain-seconds S] [--extra K] [--only 16|32]
//                 [--vectors plain|avx2|avx512] [--players P] [--prizes 60,30,10]
//
// Two pools, each scored by round points and by the upset bonus, whose gains depend on the
// loser: 32 teams left (2^31 outcomes) with 100 players, and the last sixteen (2^15
// outcomes) with 1,000 players. The plain enumeration of 2^31 outcomes would take hours, so it
// runs for S seconds (default 20) and its whole time is worked out from its rate. With --extra K,
// K games of the round of 32 are played too, for a quicker look at 2^(31-K) outcomes. With
// --vectors, the last games run on no wider vector instructions than those named. With
// --players, each pool has P players instead (a tiny size to see that the bench still runs).
// With --prizes, the pool pays that split of a 10.00 fee, and each outlook is timed without
// the prizes and with them, by turns in the same run, with the ratio of the two.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "FFDataModule.h"
#include "Outlook.h"
#include "Prizes.h"
#include "SamplePool.h"
#include "ScoringRule.h"

namespace {

using TClock = std::chrono::steady_clock;

double Seconds(TClock::time_point since) {
  return std::chrono::duration<double>(TClock::now() - since).count();
}

// Processor time of the whole process, every thread's added up: on a machine others share,
// the part of the wall time this program actually ran.
double CpuSeconds() {
  return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// The sample field with `playedRounds` rounds played and `players` brackets, and `extra` games
// of the next round played as well, the upper team winning each.
std::unique_ptr<TFFDataModule> MakePool(const QString& directory, int playedRounds, int players,
                                        int extra) {
  auto pool = std::make_unique<TFFDataModule>();
  pool->SetDirectory(directory);
  pool->CreatePool();
  SamplePool::Fill(*pool, players, playedRounds, 0, 20261208u + static_cast<unsigned>(players));
  const int span = 2 << playedRounds;  // first-round lines per game of the next round
  for (int game = 0; game < extra; ++game) {
    for (int line = game * span; line < (game + 1) * span; ++line) {
      TTeamSeedObject* team = pool->TeamsFile().Items(line);
      if (team->RoundReached() == playedRounds + 1) {
        team->SetRoundReached(playedRounds + 2);
        break;
      }
    }
  }
  return pool;
}

// The plain way: every outcome in turn, every player's total in a 64-bit integer, the winners
// and every player's place counted at each outcome.
class TPlainEnumeration {
 public:
  TPlainEnumeration(const TOutlookInput& input, double budget)
      : In(input), FBudget(budget), FPlayers(input.PlayerCount()) {
    FTotals.assign(In.Games.size() + 1, std::vector<int64_t>(In.Base));
    // Every player's gains in one table, team and round outermost.
    const size_t rows = static_cast<size_t>(In.TeamCount()) * TOutlookInput::kRounds;
    FGain.assign(rows * static_cast<size_t>(FPlayers), 0);
    std::vector<int64_t> gains(rows);
    for (int i = 0; i < FPlayers; ++i) {
      In.GainsOf(i, gains.data());
      for (size_t row = 0; row < rows; ++row)
        FGain[row * static_cast<size_t>(FPlayers) + static_cast<size_t>(i)] = gains[row];
    }
    FWon.assign(static_cast<size_t>(FPlayers), 0);
    FBest.assign(static_cast<size_t>(FPlayers), FPlayers);
    FWorst.assign(static_cast<size_t>(FPlayers), 1);
    FSorted.resize(static_cast<size_t>(FPlayers));
  }

  // Outcomes visited, and whether that was all of them.
  std::pair<uint64_t, bool> Run() {
    FOcc = In.Occupant;
    FStart = TClock::now();
    Walk(0);
    return {FOutcomes, !FOutOfTime};
  }

 private:
  void Walk(size_t depth) {
    if (FOutOfTime)
      return;
    if (depth == In.Games.size()) {
      Outcome(FTotals[depth]);
      return;
    }
    const TOutlookInput::TGame& game = In.Games[depth];
    for (int side = 0; side < (game.Real ? 2 : 1); ++side) {
      const int32_t team = FOcc[static_cast<size_t>(game.Feeder[static_cast<size_t>(side)])];
      FOcc[static_cast<size_t>(game.Slot)] = team;
      const int64_t* gain = &FGain[(static_cast<size_t>(team) * TOutlookInput::kRounds +
                                    static_cast<size_t>(game.Round)) *
                                   static_cast<size_t>(FPlayers)];
      for (int i = 0; i < FPlayers; ++i)
        FTotals[depth + 1][static_cast<size_t>(i)] =
            FTotals[depth][static_cast<size_t>(i)] + gain[i];
      Walk(depth + 1);
    }
  }

  void Outcome(const std::vector<int64_t>& totals) {
    ++FOutcomes;
    const int64_t top = *std::max_element(totals.begin(), totals.end());
    for (size_t i = 0; i < totals.size(); ++i) {
      if (totals[i] == top)
        ++FWon[i];
    }
    FSorted = totals;
    std::sort(FSorted.begin(), FSorted.end());
    for (size_t i = 0; i < totals.size(); ++i) {
      const int place =
          1 + static_cast<int>(FSorted.end() -
                               std::upper_bound(FSorted.begin(), FSorted.end(), totals[i]));
      FBest[i] = std::min(FBest[i], place);
      FWorst[i] = std::max(FWorst[i], place);
    }
    if ((FOutcomes & 0xffff) == 0 && Seconds(FStart) > FBudget)
      FOutOfTime = true;
  }

  const TOutlookInput& In;
  const double FBudget;
  const int FPlayers;
  std::array<int32_t, TOutlookInput::kSlots + 1> FOcc{};
  std::vector<std::vector<int64_t>> FTotals;
  std::vector<int64_t> FGain;
  std::vector<uint64_t> FWon;
  std::vector<int> FBest, FWorst;
  std::vector<int64_t> FSorted;
  uint64_t FOutcomes = 0;
  bool FOutOfTime = false;
  TClock::time_point FStart;
};

const char* VectorsName(TOutlookVectors vectors) {
  switch (vectors) {
    case TOutlookVectors::Plain:
      return "plain";
    case TOutlookVectors::Avx2:
      return "avx2";
    case TOutlookVectors::Avx512:
      break;
  }
  return "avx512";
}

// The best of `repeats` runs: wall seconds, processor seconds, and the last result.
struct TTimed {
  double Seconds = 1e300;
  double Cpu = 0;
  TOutlookResult Result;
};

TTimed Time(const TOutlookInput& input, const TOutlookOptions& options, int repeats) {
  TTimed timed;
  for (int r = 0; r < repeats; ++r) {
    const auto start = TClock::now();
    const double cpuStart = CpuSeconds();
    timed.Result = ComputeOutlook(input, options);
    if (Seconds(start) < timed.Seconds) {
      timed.Seconds = Seconds(start);
      timed.Cpu = CpuSeconds() - cpuStart;
    }
  }
  return timed;
}

void Bench(const char* title, int playedRounds, int extra, int players, int threads,
           TOutlookVectors vectors, double plainBudget, int repeats, const Prizes::TPrizes& prizes) {
  QTemporaryDir directory;
  auto pool = MakePool(directory.path(), playedRounds, players, extra);
  const TOutlookInput input = TOutlookInput::FromPool(*pool);
  std::printf("%s: %d players, %d games left, %llu outcomes\n", title, players, input.RealGames(),
              static_cast<unsigned long long>(uint64_t{1} << input.RealGames()));

  TOutlookOptions options;
  options.Threads = threads;
  options.Vectors = vectors;
  // Round points, whose gains go by team and round, beside a rule that asks for the loser.
  for (const TScoringRule rule : {TScoringRule::RoundPoints, TScoringRule::UpsetBonus}) {
    pool->SetScoringRule(rule);
    TOutlookInput scored = TOutlookInput::FromPool(*pool);
    for (const TOutlookModel model : {TOutlookModel::Even, TOutlookModel::Seed}) {
      options.Model = model;
      scored.Prizes = {};
      const TTimed plainRun = Time(scored, options, repeats);
      const TOutlookResult& result = plainRun.Result;
      std::printf(
          "  outlook (%s, %s, %s threads, %s vectors at most): %.4f s (%.4f s of processor "
          "time), %.3g outcomes/s; leader %s at %.2f%%\n",
          qPrintable(ScoringRules::Caption(rule)), ModelName(model),
          threads > 0 ? QByteArray::number(threads).constData() : "all", VectorsName(vectors),
          plainRun.Seconds, plainRun.Cpu, static_cast<double>(result.Outcomes) / plainRun.Seconds,
          qPrintable(result.Players.front().Name), 100 * result.Players.front().WinChance);
      if (!prizes.IsSet())
        continue;
      scored.Prizes = prizes;
      const TTimed paying = Time(scored, options, repeats);
      const TOutlookPlayer& leader = paying.Result.Players.front();
      std::printf(
          "    with prizes %s: %.4f s (%.4f s of processor time), %.2f times the time without "
          "(processor time %.2f); leader expects %s of a pot of %s, paid in %.2f%%\n",
          qPrintable(Prizes::SplitText(prizes.Split)), paying.Seconds, paying.Cpu,
          paying.Seconds / plainRun.Seconds, paying.Cpu / plainRun.Cpu,
          qPrintable(FormatPrize(leader.ExpectedPrize)),
          qPrintable(Prizes::MoneyText(paying.Result.Pot)), 100 * leader.PrizeChance);
    }
  }

  TPlainEnumeration plain(input, plainBudget);
  const auto start = TClock::now();
  const double cpuStart = CpuSeconds();
  const auto [visited, whole] = plain.Run();
  const double seconds = Seconds(start);
  const double cpu = CpuSeconds() - cpuStart;
  const double outcomes = static_cast<double>(uint64_t{1} << input.RealGames());
  const double share = outcomes / static_cast<double>(visited);
  std::printf(
      "  plain enumeration, 1 thread: %.3g outcomes/s; whole run %s%.1f s (%.1f s of processor "
      "time)\n",
      static_cast<double>(visited) / seconds, whole ? "" : "(worked out from the rate) ",
      seconds * share, cpu * share);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  int threads = 0;
  double plainSeconds = 20;
  int extra = 0;
  QString only;
  int players = 0;
  Prizes::TPrizes prizes;
  TOutlookVectors vectors = TOutlookVectors::Avx512;
  const QStringList arguments = app.arguments();
  for (int i = 1; i + 1 < arguments.size(); ++i) {
    if (arguments[i] == QLatin1String("--threads"))
      threads = arguments[i + 1].toInt();
    if (arguments[i] == QLatin1String("--plain-seconds"))
      plainSeconds = arguments[i + 1].toDouble();
    if (arguments[i] == QLatin1String("--extra"))
      extra = arguments[i + 1].toInt();
    if (arguments[i] == QLatin1String("--players"))
      players = arguments[i + 1].toInt();
    if (arguments[i] == QLatin1String("--only"))
      only = arguments[i + 1];
    if (arguments[i] == QLatin1String("--prizes")) {
      const QString why = Prizes::ParseSplit(arguments[i + 1], prizes.Split);
      if (!why.isEmpty()) {
        std::fprintf(stderr, "--prizes: %s\n", qPrintable(why));
        return 2;
      }
      prizes.FeeCents = 1000;
    }
    if (arguments[i] == QLatin1String("--vectors")) {
      for (const TOutlookVectors kind :
           {TOutlookVectors::Plain, TOutlookVectors::Avx2, TOutlookVectors::Avx512}) {
        if (arguments[i + 1] == QLatin1String(VectorsName(kind)))
          vectors = kind;
      }
    }
  }
  // Figures mean little without the build that made them: the default one is RelWithDebInfo.
  std::printf("bench_outlook, %s build\n", COURTSIDER_BUILD_TYPE);
  if (only.isEmpty() || only == QLatin1String("16"))
    Bench("Last sixteen", 2, 0, players > 0 ? players : 1000, threads, vectors, 1e9, 5, prizes);
  if (only.isEmpty() || only == QLatin1String("32"))
    Bench("Thirty-two left", 1, extra, players > 0 ? players : 100, threads, vectors, plainSeconds,
          1, prizes);
  return 0;
}
