#include "SamplePool.h"

#include <QRandomGenerator>
#include <array>
#include <vector>

#include "ChartPaths.h"
#include "FFDataModule.h"
#include "TestPools.h"

namespace {
const char* const kSchools[64] = {"Kansas",         "Coppin State",
                                  "Oklahoma State", "Syracuse",
                                  "Indiana",        "Valparaiso",
                                  "Arizona",        "Temple",
                                  "Purdue",         "Iona",
                                  "Connecticut",    "Weber State",
                                  "Clemson",        "Miami (Ohio)",
                                  "Stanford",       "UAB",
                                  "North Carolina", "Drexel",
                                  "Georgia Tech",   "Xavier",
                                  "Michigan State", "Charleston",
                                  "Wake Forest",    "Texas A&M",
                                  "Duke",           "Murray State",
                                  "Maryland",       "Saint Louis",
                                  "Louisville",     "Creighton",
                                  "Kentucky",       "South Alabama",
                                  "UCLA",           "Hawaii",
                                  "Cincinnati",     "Fresno State",
                                  "Villanova",      "New Mexico State",
                                  "Florida State",  "Gonzaga",
                                  "Utah",           "Northern Arizona",
                                  "Princeton",      "Marquette",
                                  "West Virginia",  "Southwest Missouri State",
                                  "Tulsa",          "Butler",
                                  "Arkansas",       "Nebraska",
                                  "Texas",          "Mississippi",
                                  "Rhode Island",   "Detroit Mercy",
                                  "Iowa",           "Winthrop",
                                  "Ohio State",     "Illinois",
                                  "Michigan",       "George Mason",
                                  "St. John's",     "Davidson",
                                  "Auburn",         "Prairie View"};
const char* const kFirst[] = {"Pat",   "Chris", "Dana", "Lee",   "Morgan",  "Terry",
                              "Robin", "Jamie", "Alex", "Casey", "Jordan",  "Taylor",
                              "Sam",   "Kim",   "Drew", "Ellis", "Frankie", "Gale"};
const char* const kLast[] = {"Anderson",
                             "Brennan",
                             "Castillo",
                             "Dubois",
                             "Eriksen",
                             "Fitzgerald",
                             "Gonzalez",
                             "Hoffmann",
                             "Ivanova",
                             "Jablonski",
                             "Kowalczyk",
                             "Lindqvist",
                             "McAllister",
                             "Nakamura",
                             "O'Reilly",
                             "Papadopoulos",
                             "Quintero",
                             "Rasmussen",
                             "Schwarzenegger-Smith"};

// First-round lines of a region from top to bottom, by seed.

// A bracket played by chance, the better seed favoured: for each of the 64 teams in chart
// order, the chart round it reaches (1 = lost its first game, 7 = champion).
std::array<int, 64> Play(QRandomGenerator& random, int rounds) {
  std::array<int, 64> reached{};
  reached.fill(1);
  std::vector<int> alive(64);
  for (int i = 0; i < 64; ++i)
    alive[static_cast<size_t>(i)] = i;
  for (int round = 1; round <= rounds; ++round) {
    std::vector<int> winners;
    for (size_t g = 0; g + 1 < alive.size(); g += 2) {
      const int a = alive[g];
      const int b = alive[g + 1];
      const int seedA = ChartPaths::kSeedOrder[static_cast<size_t>(a % 16)];
      const int seedB = ChartPaths::kSeedOrder[static_cast<size_t>(b % 16)];
      const int chanceA = 50 + (seedB - seedA) * 3;
      const int winner = static_cast<int>(random.bounded(100)) < chanceA ? a : b;
      reached[static_cast<size_t>(winner)] = round + 1;
      winners.push_back(winner);
    }
    alive = winners;
  }
  return reached;
}
}  // namespace

namespace SamplePool {

QString PlayerName(int index) {
  const int firstCount = static_cast<int>(std::size(kFirst));
  const int lastCount = static_cast<int>(std::size(kLast));
  QString name =
      QStringLiteral("%1 %2").arg(QLatin1String(kFirst[index % firstCount]),
                                  QLatin1String(kLast[(index / firstCount) % lastCount]));
  const int round = index / (firstCount * lastCount);
  if (round > 0)
    name += QStringLiteral(" %1").arg(round + 1);
  return name;
}

void Fill(TFFDataModule& pool, int players, int playedRounds, int32_t actualTotal, uint32_t seed) {
  QRandomGenerator random(seed);
  TSystemFile& system = pool.SystemFile();
  system.SetPoolName(QStringLiteral("Tarnwell Office Pool"));
  // Teams in chart order: region by region, each from its top line down.
  std::array<TTeamSeedObject*, 64> teams{};
  for (int region = 1; region <= 4; ++region) {
    for (int line = 0; line < 16; ++line) {
      const int index = (region - 1) * 16 + line;
      teams[static_cast<size_t>(index)] =
          TestPools::AddTeam(pool.TeamsFile(), QLatin1String(kSchools[index]), region,
                             ChartPaths::kSeedOrder[static_cast<size_t>(line)], 1);
    }
  }
  system.SetFinalized(true);
  const std::array<int, 64> results = Play(random, playedRounds);
  for (size_t i = 0; i < 64; ++i) {
    teams[i]->SetRoundReached(results[i]);
    teams[i]->SetEliminated(playedRounds > 0 && results[i] <= playedRounds);
  }
  system.SetTieBreakerPoints(actualTotal);
  for (int p = 0; p < players; ++p) {
    TPlayerPicksListObject* player =
        TestPools::AddPlayer(pool, PlayerName(p), 120 + static_cast<int>(random.bounded(60)));
    const std::array<int, 64> picks = Play(random, 6);
    for (int i = 0; i < 64; ++i)
      player->Pick(i)->SetRoundReached(picks[static_cast<size_t>(i)]);
  }
}

}  // namespace SamplePool
