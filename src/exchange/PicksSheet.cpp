#include "PicksSheet.h"

#include <array>
#include <charconv>

#include "Csv.h"
#include "FFDataModule.h"

namespace {

// Who stands on each slot 1..127 (index 0 unused): an index into some list, -1 for none.
using TChart = std::array<int, ChartPaths::kSlotCount + 1>;

// The longest title: a first-round game's, bracket and two seeded teams.
constexpr qsizetype kLongestTitle =
    TSystemFile::kBracketNameWidth + 8 + 2 * (5 + TTeamsFile::kNameWidth);

// A number onto a title, with no string of its own.
void AppendNumber(QString& text, int number) {
  char digits[12];
  const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, number);
  text += QLatin1String(digits, end.ptr - digits);
}

// "(4) Kansas".
void AppendSeededTeam(QString& text, const TTeamSeedObject* team) {
  if (!team) {
    text += QLatin1String("no team");
    return;
  }
  text += QLatin1Char('(');
  AppendNumber(text, team->Seed());
  text += QLatin1String(") ");
  text += team->TeamName();
}

}  // namespace

TPicksSheet::TPicksSheet(const TFFDataModule& pool) : FPool(pool) {
  FGames.reserve(kGameCount);
  // The games counted so far by round and region (none for the last two rounds).
  std::array<std::array<int, ChartPaths::kRegions + 1>, ChartPaths::kRounds + 1> gamesSoFar{};
  for (int32_t slot = ChartPaths::kFirstGameSlot; slot <= ChartPaths::kSlotCount; ++slot) {
    const TGame game = ChartPaths::Game(slot);
    FNumbers[FGames.size()] =
        ++gamesSoFar[static_cast<size_t>(game.Round)][static_cast<size_t>(game.Region)];
    FGames.push_back(game);
  }

  const TTeamsFile& teams = pool.TeamsFile();
  FTeamSlots.reserve(static_cast<size_t>(teams.Count()));
  for (const auto& team : teams.List()) {
    const int slot = ChartPaths::FirstRoundLine(team->Region(), team->Seed());
    FTeamSlots.push_back(slot);
    if (slot > 0)
      FFirstRound[static_cast<size_t>(slot)] = team.get();
  }

  const TSystemFile& system = pool.SystemFile();
  for (int region = 1; region <= ChartPaths::kRegions; ++region) {
    const QString name = system.BracketName(region).trimmed();
    FBrackets[static_cast<size_t>(region)] =
        name.isEmpty() ? QStringLiteral("Bracket %1").arg(region) : name;
  }
}

QString TPicksSheet::Title(int column) const {
  if (column == kNameColumn)
    return kNameTitle;
  if (column == kGuessColumn)
    return kGuessTitle;
  const auto g = static_cast<size_t>(column - kFirstGameColumn);
  const TGame& game = FGames[g];
  const int number = FNumbers[g];
  auto bracket = [this](int region) -> const QString& {
    return FBrackets[static_cast<size_t>(region)];
  };
  if (game.Round > 6)
    return QStringLiteral("Champion");
  // Each title is written in one piece.
  QString title;
  title.reserve(kLongestTitle);
  if (game.Round == 2) {
    title += bracket(game.Region);
    title += QLatin1String(" R1: ");
    AppendSeededTeam(title, FFirstRound[static_cast<size_t>(game.Feeders[0])]);
    title += QLatin1String(" v ");
    AppendSeededTeam(title, FFirstRound[static_cast<size_t>(game.Feeders[1])]);
  } else if (game.Round <= 4) {
    title += bracket(game.Region);
    title += QLatin1String(" R");
    AppendNumber(title, game.Round - 1);
    title += QLatin1String(" game ");
    AppendNumber(title, number);
  } else if (game.Round == 5) {
    title += bracket(game.Region);
    title += QLatin1String(" final");
  } else {
    const int first = 2 * number - 1;
    title += QLatin1String("Semifinal ");
    AppendNumber(title, number);
    title += QLatin1String(": ");
    title += bracket(first);
    title += QLatin1String(" v ");
    title += bracket(first + 1);
  }
  return title;
}

const QStringList& TPicksSheet::Header() const {
  if (FHeader.isEmpty()) {
    FHeader.reserve(kColumnCount);
    for (int column = 0; column < kColumnCount; ++column)
      FHeader << Title(column);
  }
  return FHeader;
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
  writer.Row(Header());
  writer.Row(example);
  return writer.Bytes();
}

QByteArray TPicksSheet::Export() const {
  Csv::TWriter writer;
  writer.Row(Header());
  for (const auto& player : FPool.PlayerPicksFile().List())
    writer.Row(PlayerRow(*player));
  return writer.Bytes();
}
