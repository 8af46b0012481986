#include "PicksSheet.h"

#include <QHash>

#include "Csv.h"
#include "FFDataModule.h"

namespace {

// Who stands on each slot 1..127 (index 0 unused): an index into some list, -1 for none.
using TChart = std::array<int, ChartPaths::kSlotCount + 1>;

QString SeededTeam(const TTeamSeedObject* team) {
  if (!team)
    return QStringLiteral("no team");
  return QStringLiteral("(%1) %2").arg(team->Seed()).arg(team->TeamName());
}

}  // namespace

TPicksSheet::TPicksSheet(const TFFDataModule& pool) : FPool(pool) {
  for (int32_t slot = ChartPaths::kFirstGameSlot; slot <= ChartPaths::kSlotCount; ++slot)
    FGames.push_back(ChartPaths::Game(slot));

  const TTeamsFile& teams = pool.TeamsFile();
  std::array<const TTeamSeedObject*, ChartPaths::kSlotCount + 1> firstRound{};
  for (const auto& team : teams.List()) {
    const int slot = ChartPaths::FirstRoundLine(team->Region(), team->Seed());
    FTeamSlots.push_back(slot);
    if (slot > 0)
      firstRound[static_cast<size_t>(slot)] = team.get();
  }

  const TSystemFile& system = pool.SystemFile();
  auto bracket = [&system](int region) {
    const QString name = system.BracketName(region).trimmed();
    return name.isEmpty() ? QStringLiteral("Bracket %1").arg(region) : name;
  };
  FHeader << kNameTitle << kGuessTitle;
  QHash<int, int> gamesSoFar;  // (round, region) -> games named so far
  for (const TGame& game : FGames) {
    const int number = ++gamesSoFar[game.Round * 10 + game.Region];
    if (game.Round == 2) {
      FHeader << QStringLiteral("%1 R1: %2 v %3")
                     .arg(bracket(game.Region),
                          SeededTeam(firstRound[static_cast<size_t>(game.Feeders[0])]),
                          SeededTeam(firstRound[static_cast<size_t>(game.Feeders[1])]));
    } else if (game.Round <= 4) {
      FHeader << QStringLiteral("%1 R%2 game %3")
                     .arg(bracket(game.Region), QString::number(game.Round - 1),
                          QString::number(number));
    } else if (game.Round == 5) {
      FHeader << QStringLiteral("%1 final").arg(bracket(game.Region));
    } else if (game.Round == 6) {
      const int first = 2 * number - 1;
      FHeader << QStringLiteral("Semifinal %1: %2 v %3")
                     .arg(number)
                     .arg(bracket(first), bracket(first + 1));
    } else {
      FHeader << QStringLiteral("Champion");
    }
  }
}

QStringList TPicksSheet::PlayerRow(const TPlayerPicksListObject& player) const {
  // A later entry takes a line from an earlier one, as on the player entry window's chart.
  TChart chart;
  chart.fill(-1);
  for (int i = 0; i < TPlayerPicksListObject::kPickCount; ++i) {
    const TPlayerPickArrayObject& pick = *player.Pick(i);
    ChartPaths::PlaceUpTo(pick.Region(), pick.Seed(), pick.RoundReached(),
                          [&chart, i](int32_t slot) { chart[static_cast<size_t>(slot)] = i; });
  }
  QStringList cells;
  cells.reserve(kColumnCount);
  cells << player.PlayerName() << QString::number(player.TieBreakerPoints());
  for (const TGame& game : FGames) {
    const int entry = chart[static_cast<size_t>(game.Slot)];
    cells << (entry < 0 ? QString() : player.Pick(entry)->TeamName());
  }
  return cells;
}

QByteArray TPicksSheet::Template() const {
  const TTeamsFile& teams = FPool.TeamsFile();
  TChart chart;
  chart.fill(-1);
  for (size_t i = 0; i < FTeamSlots.size(); ++i) {
    if (FTeamSlots[i] > 0)
      chart[static_cast<size_t>(FTeamSlots[i])] = static_cast<int>(i);
  }
  QStringList example{kExampleName, QStringLiteral("0")};
  for (const TGame& game : FGames) {
    const int a = chart[static_cast<size_t>(game.Feeders[0])];
    const int b = chart[static_cast<size_t>(game.Feeders[1])];
    // The lower seed number wins; a game with one team only sends that team on.
    int winner = a;
    if (a < 0 || (b >= 0 && teams.Items(b)->Seed() < teams.Items(a)->Seed()))
      winner = b;
    chart[static_cast<size_t>(game.Slot)] = winner;
    example << (winner < 0 ? QString() : teams.Items(winner)->TeamName());
  }
  Csv::TWriter writer;
  writer.Row(FHeader);
  writer.Row(example);
  return writer.Bytes();
}

QByteArray TPicksSheet::Export() const {
  Csv::TWriter writer;
  writer.Row(FHeader);
  for (const auto& player : FPool.PlayerPicksFile().List())
    writer.Row(PlayerRow(*player));
  return writer.Bytes();
}
