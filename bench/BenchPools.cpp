#include "BenchPools.h"

#include <QDir>
#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "ChartPaths.h"
#include "FFDataModule.h"

namespace {

constexpr int kLines = ChartPaths::kLines;
const char* const kRegions[4] = {"Midwest", "South", "East", "West"};
const char* const kNicknames[16] = {
    "Wildcats", "Bulldogs", "Tigers", "Eagles", "Bears", "Huskies", "Cardinals", "Spartans",
    "Hawks",    "Panthers", "Rams",   "Aggies", "Owls",  "Lions",   "Badgers",   "Falcons"};

// A bracket played out on the 64 first-round lines: for each line's team, the chart round it
// gets to. Game g of a round is played by the winners of lines 2g and 2g + 1 of the round
// before, so every result stands on the chart.
std::array<int, kLines> PlayBracket(std::mt19937& random, int upTo) {
  std::array<int, kLines> reached;
  reached.fill(1);
  std::vector<int> standing(kLines);
  for (int line = 0; line < kLines; ++line)
    standing[static_cast<size_t>(line)] = line;
  for (int round = 2; round <= upTo; ++round) {
    std::vector<int> next;
    for (size_t game = 0; game + 1 < standing.size(); game += 2) {
      const int winner = (random() & 1) != 0 ? standing[game] : standing[game + 1];
      reached[static_cast<size_t>(winner)] = round;
      next.push_back(winner);
    }
    standing = std::move(next);
  }
  return reached;
}

}  // namespace

namespace BenchPools {

void Write(const QString& directory, int players, int playedUpTo) {
  QDir().mkpath(directory);
  std::mt19937 random(20261208u + static_cast<unsigned>(players));
  TFFDataModule pool;
  pool.SetDirectory(directory);
  pool.CreatePool();
  pool.SystemFile().SetPoolName(QStringLiteral("Benchmark %1").arg(players));
  pool.SystemFile().SetFinalized(true);

  // Teams are listed in an order of their own, as they were typed in, not in line order.
  std::array<int, kLines> lineOfTeam;
  for (int i = 0; i < kLines; ++i)
    lineOfTeam[static_cast<size_t>(i)] = i;
  std::shuffle(lineOfTeam.begin(), lineOfTeam.end(), random);
  const std::array<int, kLines> results = PlayBracket(random, playedUpTo);
  for (int line : lineOfTeam) {
    auto team = std::make_unique<TTeamSeedObject>();
    const int seed = ChartPaths::kSeedOrder[static_cast<size_t>(line % ChartPaths::kSeedsPerRegion)];
    team->SetTeamName(QStringLiteral("%1 %2").arg(kRegions[line / ChartPaths::kSeedsPerRegion], kNicknames[seed - 1]));
    team->SetRegion(line / ChartPaths::kSeedsPerRegion + 1);
    team->SetSeed(seed);
    team->SetRoundReached(results[static_cast<size_t>(line)]);
    // Every game up to that round is played: a team short of it lost one.
    team->SetEliminated(results[static_cast<size_t>(line)] < playedUpTo);
    pool.TeamsFile().Add(std::move(team));
  }
  pool.TeamsFile().SetModified(true);

  std::uniform_int_distribution<int> guess(100, 180);
  for (int p = 0; p < players; ++p) {
    auto player = TPlayerPicksListObject::CreateFromTeams(pool.TeamsFile());
    player->SetPlayerName(QStringLiteral("Player %1").arg(p + 1, 6, 10, QLatin1Char('0')));
    player->SetTieBreakerPoints(guess(random));
    const std::array<int, kLines> picks = PlayBracket(random, 7);
    for (int i = 0; i < kLines; ++i) {
      player->Pick(i)->SetRoundReached(
          picks[static_cast<size_t>(lineOfTeam[static_cast<size_t>(i)])]);
    }
    pool.PlayerPicksFile().Add(std::move(player));
  }
  pool.PlayerPicksFile().SetModified(true);
  pool.SavePool();
  pool.ClosePool();
}

}  // namespace BenchPools
