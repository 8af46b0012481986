// Makes the sample pool that a newcomer sees on the first start: the 64 teams of a real
// tournament on their regions and seeds, the results entered through the first rounds, and a
// dozen players with complete, varied brackets and tie-breaker guesses.
//
//   make-sample-pool FACTS.json POOLDIR
//
// The output depends only on the facts file and this source, so every build makes the same bytes.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <vector>

#include "ChartPaths.h"
#include "FFDataModule.h"
#include "InOutError.h"

namespace {

constexpr int kTeamCount = ChartPaths::kLines;
constexpr int kTournamentRounds = 6;
// Games played so far in the sample: the round of 64, the round of 32 and the regional
// semifinals, so the chart shows the last eight teams still alive.
constexpr int kRoundsPlayed = 3;

struct TTeamFact {
  QString Name;
  int Region = 0;  // bracket number, 1..4
  int Seed = 0;
  int GamesWon = 0;
};

[[noreturn]] void Fail(const QString& why) {
  throw std::runtime_error(why.toStdString());
}

// First-round line 0..63 of a team, counted from zero.
int FirstRoundLine(int region, int seed) {
  const int32_t line = ChartPaths::FirstRoundLine(region, seed);
  if (line == 0)
    Fail(QStringLiteral("region %1 seed %2 is not a line of the chart").arg(region).arg(seed));
  return line - 1;
}

struct TFacts {
  QStringList Regions;
  std::vector<TTeamFact> Teams;
};

TFacts ReadFacts(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    Fail(QStringLiteral("cannot read %1").arg(path));
  const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
  TFacts facts;
  for (const QJsonValue& region : root.value(QStringLiteral("regions")).toArray()) {
    facts.Regions.append(region.toString());
  }
  if (facts.Regions.size() != 4)
    Fail(QStringLiteral("the facts must name four regions"));
  // Brackets 1 and 2 are the two halves of the chart's left side, so they must be the
  // regions whose winners meet in the first semifinal.
  const QJsonArray semifinal = root.value(QStringLiteral("semifinals")).toArray().at(0).toArray();
  const QStringList leftSide = {semifinal.at(0).toString(), semifinal.at(1).toString()};
  if (!leftSide.contains(facts.Regions.at(0)) || !leftSide.contains(facts.Regions.at(1))) {
    Fail(QStringLiteral("the first two regions must meet in the first semifinal"));
  }
  for (const QJsonValue& value : root.value(QStringLiteral("teams")).toArray()) {
    const QJsonObject team = value.toObject();
    TTeamFact fact;
    fact.Name = team.value(QStringLiteral("name")).toString();
    fact.Region =
        static_cast<int>(facts.Regions.indexOf(team.value(QStringLiteral("region")).toString())) +
        1;
    fact.Seed = team.value(QStringLiteral("seed")).toInt();
    fact.GamesWon = team.value(QStringLiteral("games_won")).toInt();
    if (fact.Name.isEmpty() || fact.Region < 1)
      Fail(QStringLiteral("a team lacks a name or region"));
    facts.Teams.push_back(fact);
  }
  if (facts.Teams.size() != kTeamCount)
    Fail(QStringLiteral("the facts must list 64 teams"));
  return facts;
}

// Plays `rounds` rounds of the chart. `lines` holds the index of the team on each first-round
// line; `winner(a, b, round)` picks the winner of a game between teams a and b. Returns the
// number of games each team wins. The games are the chart's, played round by round from the
// top.
std::vector<int> Play(const std::array<int, kTeamCount>& lines, int rounds,
                      const std::function<int(int, int, int)>& winner) {
  std::vector<int> wins(kTeamCount, 0);
  std::array<int, ChartPaths::kSlotCount + 1> on{};
  std::copy(lines.begin(), lines.end(), on.begin() + 1);
  for (int32_t slot = ChartPaths::kFirstGameSlot; slot <= ChartPaths::kChampionSlot; ++slot) {
    const ChartPaths::TGame game = ChartPaths::Game(slot);
    // A game of tournament round r takes its winner to chart round r + 1.
    if (game.Round - 1 > rounds)
      break;
    const int won = winner(on[static_cast<size_t>(game.Feeders[0])],
                           on[static_cast<size_t>(game.Feeders[1])], game.Round - 1);
    ++wins[static_cast<size_t>(won)];
    on[static_cast<size_t>(slot)] = won;
  }
  return wins;
}

// A small generator with a fixed sequence on every platform, unlike the standard
// distributions.
class TDraw {
 public:
  explicit TDraw(uint32_t seed) : FState(seed ? seed : 1u) {}
  // A number from 0 to 99.
  int Percent() {
    FState ^= FState << 13;
    FState ^= FState >> 17;
    FState ^= FState << 5;
    return static_cast<int>(FState % 100u);
  }

 private:
  uint32_t FState;
};

struct TPlayerStyle {
  const char* Name;
  int TieBreaker;
  uint32_t DrawSeed;
  // How strongly the player trusts the better seed: 0 tosses a coin, 45 nearly always
  // follows the seeds.
  int Chalk;
  // A team the player backs all the way, or nullptr.
  const char* Favourite;
};

const TPlayerStyle kPlayers[] = {
    {"Alex Moreno", 141, 11u, 40, nullptr},        {"Bea Lindqvist", 128, 23u, 30, "UConn"},
    {"Carl Whitfield", 152, 37u, 10, nullptr},     {"Dana Okafor", 137, 41u, 35, "Purdue"},
    {"Eli Brandt", 119, 53u, 45, nullptr},         {"Fran Castellanos", 146, 67u, 20, "Houston"},
    {"Gus Patel", 133, 71u, 38, "North Carolina"}, {"Hana Kowalski", 160, 89u, 25, "Tennessee"},
    {"Ivan Reyes", 125, 97u, 0, nullptr},          {"Jo Tremblay", 139, 101u, 33, "Arizona"},
    {"Kim Nakamura", 144, 113u, 42, "UConn"},      {"Lou Fitzgerald", 131, 127u, 15, "Kentucky"},
};

void MakePool(const TFacts& facts, const QString& directory) {
  if (!QDir().mkpath(directory))
    Fail(QStringLiteral("cannot create %1").arg(directory));
  TFFDataModule pool;
  pool.SetDirectory(directory);
  pool.CreatePool();

  TSystemFile& system = pool.SystemFile();
  system.SetPoolName(QStringLiteral("Sample Office Pool 2024"));
  for (int i = 1; i <= 4; ++i)
    system.SetBracketName(i, facts.Regions.at(i - 1));

  std::array<int, kTeamCount> lines;
  lines.fill(-1);
  for (size_t i = 0; i < facts.Teams.size(); ++i) {
    const TTeamFact& fact = facts.Teams[i];
    const int line = FirstRoundLine(fact.Region, fact.Seed);
    if (lines[static_cast<size_t>(line)] >= 0) {
      Fail(QStringLiteral("two teams share region %1 seed %2").arg(fact.Region).arg(fact.Seed));
    }
    lines[static_cast<size_t>(line)] = static_cast<int>(i);
  }

  // The real results: the winner of a game of round r is the team that won at least r games;
  // the facts must say so for exactly one of the two.
  const std::vector<int> results = Play(lines, kRoundsPlayed, [&](int a, int b, int round) {
    const bool aWon = facts.Teams[static_cast<size_t>(a)].GamesWon >= round;
    const bool bWon = facts.Teams[static_cast<size_t>(b)].GamesWon >= round;
    if (aWon == bWon) {
      Fail(QStringLiteral("the facts disagree about %1 against %2")
               .arg(facts.Teams[static_cast<size_t>(a)].Name,
                    facts.Teams[static_cast<size_t>(b)].Name));
    }
    return aWon ? a : b;
  });
  TTeamsFile& teams = pool.TeamsFile();
  for (size_t i = 0; i < facts.Teams.size(); ++i) {
    auto team = std::make_unique<TTeamSeedObject>();
    team->SetTeamName(facts.Teams[i].Name);
    team->SetRegion(facts.Teams[i].Region);
    team->SetSeed(facts.Teams[i].Seed);
    team->SetRoundReached(1 + results[i]);
    team->SetEliminated(results[i] < kRoundsPlayed);
    teams.Add(std::move(team));
  }
  teams.SetModified(true);
  system.SetFinalized(true);

  TPlayerPicksFile& players = pool.PlayerPicksFile();
  for (const TPlayerStyle& style : kPlayers) {
    TDraw draw(style.DrawSeed);
    const QString favourite = QString::fromLatin1(style.Favourite ? style.Favourite : "");
    const std::vector<int> picks = Play(lines, kTournamentRounds, [&](int a, int b, int) {
      const TTeamFact& teamA = facts.Teams[static_cast<size_t>(a)];
      const TTeamFact& teamB = facts.Teams[static_cast<size_t>(b)];
      if (teamA.Name == favourite)
        return a;
      if (teamB.Name == favourite)
        return b;
      const int better = teamA.Seed <= teamB.Seed ? a : b;
      const int worse = better == a ? b : a;
      const int gap = std::abs(teamA.Seed - teamB.Seed);
      const int trust = std::min(97, 50 + style.Chalk * gap / 15 + (gap ? 5 : 0));
      return draw.Percent() < trust ? better : worse;
    });
    auto player = TPlayerPicksListObject::CreateFromTeams(teams);
    player->SetPlayerName(QString::fromLatin1(style.Name));
    player->SetTieBreakerPoints(style.TieBreaker);
    for (int i = 0; i < kTeamCount; ++i) {
      player->Pick(i)->SetRoundReached(1 + picks[static_cast<size_t>(i)]);
    }
    players.Add(std::move(player));
  }
  players.SetModified(true);

  if (!pool.SavePool())
    Fail(QStringLiteral("the pool could not be written"));
  pool.ClosePool();
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication application(argc, argv);
  const QStringList arguments = QCoreApplication::arguments();
  if (arguments.size() != 3) {
    std::fprintf(stderr, "usage: make-sample-pool FACTS.json POOLDIR\n");
    return 2;
  }
  try {
    MakePool(ReadFacts(arguments.at(1)), arguments.at(2));
  } catch (const EInOutError& error) {
    std::fprintf(stderr, "make-sample-pool: %s\n", qPrintable(error.Reason()));
    return 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make-sample-pool: %s\n", error.what());
    return 1;
  }
  return 0;
}
