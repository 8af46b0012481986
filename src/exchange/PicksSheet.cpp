#include "PicksSheet.h"

#include <QHash>

#include "BracketList.h"
#include "Csv.h"
#include "FFDataModule.h"

namespace {

QString SeededTeam(const TTeamSeedObject* team) {
  if (!team)
    return QStringLiteral("no team");
  return QStringLiteral("(%1) %2").arg(team->Seed()).arg(team->TeamName());
}

}  // namespace

TPicksSheet::TPicksSheet(const TFFDataModule& pool) : FPool(pool) {
  for (auto& seeds : FPathOf)
    seeds.fill(-1);
  const TBracketList chart;
  // The games come out of the winner paths: the slot of chart round r + 1 on a path is the
  // game that the team on its slot of round r plays.
  std::array<TGame, kSlotCount + 1> games{};
  for (int p = 0; p < chart.PathCount(); ++p) {
    const TWinnerPathItem* path = chart.Paths(p);
    FPathOf[static_cast<size_t>(path->Region())][static_cast<size_t>(path->Seed())] = p;
    for (int r = 1; r <= TWinnerPathItem::kRounds; ++r)
      FPathSlots[static_cast<size_t>(p)][static_cast<size_t>(r - 1)] = path->Slot(r);
    for (int r = 1; r < TWinnerPathItem::kRounds; ++r) {
      TGame& game = games[static_cast<size_t>(path->Slot(r + 1))];
      const int feeder = path->Slot(r);
      if (game.Feeders[0] == 0)
        game.Feeders[0] = feeder;
      else if (game.Feeders[0] != feeder && game.Feeders[1] == 0)
        game.Feeders[1] = feeder;
    }
  }
  for (int slot = kFirstGameSlot; slot <= kSlotCount; ++slot) {
    TGame game = games[static_cast<size_t>(slot)];
    const TBracketItem* item = chart.Slot(slot);
    game.Slot = slot;
    game.Round = item->Round();
    game.Region = game.Round <= 5 ? item->Region() : 0;
    FGames.push_back(game);
  }

  const TTeamsFile& teams = pool.TeamsFile();
  std::array<const TTeamSeedObject*, kSlotCount + 1> firstRound{};
  for (const auto& team : teams.List()) {
    const int slot = FirstRoundSlot(team->Region(), team->Seed());
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
                     .arg(bracket(game.Region))
                     .arg(game.Round - 1)
                     .arg(number);
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

int TPicksSheet::FirstRoundSlot(int region, int seed) const {
  if (region < 1 || region > 4 || seed < 1 || seed > 16)
    return 0;
  const int path = FPathOf[static_cast<size_t>(region)][static_cast<size_t>(seed)];
  return path < 0 ? 0 : FPathSlots[static_cast<size_t>(path)][0];
}

void TPicksSheet::PlacePicks(const TPlayerPicksListObject& player, TChart& chart) const {
  chart.fill(-1);
  for (int i = 0; i < TPlayerPicksListObject::kPickCount; ++i) {
    const TPlayerPickArrayObject& pick = *player.Pick(i);
    const int first = FirstRoundSlot(pick.Region(), pick.Seed());
    if (first == 0)
      continue;
    const auto& path = FPathSlots[static_cast<size_t>(
        FPathOf[static_cast<size_t>(pick.Region())][static_cast<size_t>(pick.Seed())])];
    const int last = std::min<int>(pick.RoundReached(), TWinnerPathItem::kRounds);
    for (int r = 1; r <= last; ++r)
      chart[static_cast<size_t>(path[static_cast<size_t>(r - 1)])] = i;
  }
}

QStringList TPicksSheet::PlayerRow(const TPlayerPicksListObject& player) const {
  TChart chart{};
  PlacePicks(player, chart);
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
  TChart chart{};
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
