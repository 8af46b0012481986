#include "PicksImport.h"

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <algorithm>
#include <array>
#include <limits>

#include "Csv.h"
#include "EditDistance.h"
#include "FFDataModule.h"
#include "PicksSheet.h"
#include "PoolNames.h"
#include "SafeFile.h"

namespace {

// The row an entry stands in: the first under the header.
constexpr int kEntryRow = 2;

// A row's cell; a short row's missing cells are empty.
QString Cell(const QStringList& cells, int column) {
  return column < cells.size() ? cells.at(column) : QString();
}

// A guess as the player entry window takes it: one to three digits, 0 to 999. An empty cell
// is the guess of a new player, 0. Returns -1 for anything else.
int ParseGuess(const QString& text) {
  if (text.isEmpty())
    return 0;
  if (text.size() > 3)
    return -1;
  int value = 0;
  for (const QChar c : text) {
    if (c < '0' || c > '9')
      return -1;
    value = value * 10 + (c.unicode() - '0');
  }
  return value;
}

}  // namespace

QString TPicksImport::TProblem::Describe() const {
  QString where;
  if (Row > 0 && Column > 0) {
    where = QStringLiteral("Row %1, column %2").arg(Row).arg(Csv::ColumnName(Column));
    if (!Title.isEmpty())
      where += QStringLiteral(" (%1)").arg(Title);
  } else if (Row > 0) {
    where = QStringLiteral("Row %1").arg(Row);
  }
  return where.isEmpty() ? Text : where + QStringLiteral(": ") + Text;
}

TPicksImport::TPicksImport(const TFFDataModule& pool, bool replace)
    : FPool(pool), FReplace(replace) {}

TPicksImport::~TPicksImport() = default;

void TPicksImport::Add(int row, int column, const QString& text, const QString& existing) {
  ++FProblemCount;
  if (static_cast<int>(FProblems.size()) >= kMaxProblems)
    return;
  TProblem problem;
  problem.Row = row;
  problem.Column = column;
  if (column > 0 && column <= TPicksSheet::kColumnCount)
    problem.Title = FSheet->Title(column - 1);
  problem.Text = text;
  problem.Existing = existing;
  FProblems.push_back(problem);
}

// What every row is read against, looked up once for the whole sheet: a sheet of thousands
// into a pool of thousands looks each name up once.
struct TPicksImport::TLookup {
  using TChart = std::array<int, ChartPaths::kSlotCount + 1>;

  explicit TLookup(const TFFDataModule& pool) : Sheet(pool), Teams(pool.TeamsFile()) {
    TeamIndex.reserve(Teams.Count());
    for (int i = 0; i < Teams.Count(); ++i) {
      const QString name = TrimTeamName(Teams.Items(i)->TeamName());
      if (!TeamIndex.contains(name))
        TeamIndex.insert(name, i);
    }
    FirstRound.fill(-1);
    for (size_t i = 0; i < Sheet.TeamSlots().size(); ++i) {
      if (Sheet.TeamSlots()[i] > 0)
        FirstRound[static_cast<size_t>(Sheet.TeamSlots()[i])] = static_cast<int>(i);
    }
    // The first of a name as FindPlayer finds it, and the first of a key as FindSamePlayer
    // does. A name written as the pool has it is that player's even where an older pool holds
    // look-alikes, so that a private link changes its own entry.
    PoolPlayers.reserve(pool.PlayerPicksFile().Count());
    PoolKeys.reserve(pool.PlayerPicksFile().Count());
    for (const auto& player : pool.PlayerPicksFile().List()) {
      if (!PoolPlayers.contains(player->PlayerName()))
        PoolPlayers.insert(player->PlayerName(), player.get());
      const QString key = PoolNames::Key(player->PlayerName());
      if (!PoolKeys.contains(key))
        PoolKeys.insert(key, player.get());
    }
  }

  // The pool's team a name not of the pool most likely meant.
  QString Closest(const QString& winner) {
    // The teams' names are folded for the first name that is no team's: an entry or a sheet
    // without a mistake never needs them.
    if (FoldedTeams.empty()) {
      std::vector<qsizetype> ends;
      ends.reserve(static_cast<size_t>(Teams.Count()));
      FoldedTeams.reserve(static_cast<size_t>(Teams.Count()));
      qsizetype length = 0;
      for (const auto& team : Teams.List())
        length += team->TeamName().size();
      FoldedNames.reserve(length);
      for (const auto& team : Teams.List()) {
        TEditDistance::AppendFolded(FoldedNames, team->TeamName());
        ends.push_back(FoldedNames.size());
      }
      qsizetype start = 0;
      for (const qsizetype end : ends) {
        FoldedTeams.push_back(QStringView(FoldedNames).mid(start, end - start));
        start = end;
      }
    }
    // Folded into the space of the last name: a sheet full of mistakes allocates once.
    FoldedWinner.resize(0);
    TEditDistance::AppendFolded(FoldedWinner, winner);
    const QStringView folded = FoldedWinner;
    Distance.SetFrom(folded);
    int closest = -1;
    int best = std::numeric_limits<int>::max();
    for (size_t i = 0; i < FoldedTeams.size(); ++i) {
      // Once a team is a letter off, only the very name can do better.
      const int distance = best <= 1 ? (folded == FoldedTeams[i] ? 0 : best)
                                     : Distance.To(FoldedTeams[i], best);
      if (distance < best) {
        closest = static_cast<int>(i);
        best = distance;
      }
    }
    return closest < 0 ? QString() : TrimTeamName(Teams.Items(closest)->TeamName());
  }

  const TPicksSheet Sheet;
  const TTeamsFile& Teams;
  QHash<QString, int> TeamIndex;
  // Each team's name as written, case folded, as compared: views into one string.
  QString FoldedNames;
  std::vector<QStringView> FoldedTeams;
  QString FoldedWinner;
  TEditDistance Distance;
  TChart FirstRound{};
  QHash<QString, TPlayerPicksListObject*> PoolPlayers;
  QHash<QString, TPlayerPicksListObject*> PoolKeys;
  // The row that named each key first.
  QHash<QString, int> RowOfKey;
};

bool TPicksImport::Read(const QByteArray& bytes) {
  QByteArray copy = bytes;
  QBuffer buffer(&copy);
  buffer.open(QIODevice::ReadOnly);
  return Read(buffer);
}

bool TPicksImport::Read(QIODevice& sheet) {
  TLookup lookup(FPool);
  if (!Start(lookup))
    return false;
  Csv::TReader reader(sheet, kMaxRecordBytes);
  try {
    ReadRows(reader, lookup);
  } catch (const Csv::EFormatError& error) {
    Add(error.Row(), error.Column(), error.Text());
  }
  return Finish();
}

bool TPicksImport::ReadEntry(const QStringList& cells) {
  // An entry reads as the row under the pool's header would, its cells as they are: no sheet
  // is written for it and read back. The example row's name is a name like any other here,
  // and an empty entry is refused for its missing name.
  TLookup lookup(FPool);
  if (!Start(lookup))
    return false;
  qint64 added = 0;
  ReadPlayer(kEntryRow, cells, lookup, added);
  return Finish();
}

bool TPicksImport::Start(const TLookup& lookup) {
  FProblems.clear();
  FProblemCount = 0;
  FExistingNames = 0;
  FPlayers.clear();
  if (!FPool.Finalized()) {
    Add(0, 0, TOpenPool::kNotLocked);
    return false;
  }
  FSheet = &lookup.Sheet;
  return true;
}

bool TPicksImport::Finish() {
  FSheet = nullptr;
  if (FProblemCount > 0) {
    FPlayers.clear();
    return false;
  }
  return true;
}

void TPicksImport::ReadRows(Csv::TReader& reader, TLookup& lookup) {
  QStringList header;
  if (!reader.Next(&header)) {
    Add(0, 0, QStringLiteral("The file is empty; it needs the header row of the template."));
    return;
  }
  if (!HeaderMatches(header))
    return;
  qint64 added = 0;
  QStringList cells;
  while (reader.Next(&cells)) {
    const bool blank = std::all_of(cells.cbegin(), cells.cend(),
                                   [](const QString& cell) { return cell.trimmed().isEmpty(); });
    // A sheet's empty rows and its example row, as the template has it, are no players.
    if (blank || (!cells.isEmpty() && cells.first() == TPicksSheet::kExampleName))
      continue;
    if (!ReadPlayer(reader.Row(), cells, lookup, added))
      return;
  }
}

bool TPicksImport::ReadPlayer(int row, const QStringList& cells, TLookup& lookup, qint64& added) {
  // No pool holds more players than its file can: a sheet that would bring more is refused at
  // the row that would pass the limit, before anything is written.
  const qint64 room = TPlayerPicksFile::kMaxPlayers - FPool.PlayerPicksFile().Count();
  const int before = FProblemCount;
  TIncomingPlayer incoming = ReadRow(row, cells, lookup);
  if (incoming.Replaces == nullptr && FProblemCount == before && ++added > room) {
    Add(row, 0,
        QStringLiteral("this row would make the pool hold more than the %1 players a pool can "
                       "have")
            .arg(TPlayerPicksFile::kMaxPlayers));
    return false;
  }
  // Players are kept only while the sheet may still be imported.
  if (FProblemCount == 0)
    FPlayers.push_back(std::move(incoming));
  return true;
}

bool TPicksImport::HeaderMatches(const QStringList& header) {
  // The header must be the pool's own: a sheet made for another pool, or with its columns
  // moved about, would put every pick in the wrong game.
  const QStringList& expected = FSheet->Header();
  for (int c = 0; c < TPicksSheet::kColumnCount; ++c) {
    const QString found = c < header.size() ? header.at(c).trimmed() : QString();
    if (found != expected.at(c)) {
      Add(1, c + 1,
          QStringLiteral("the header should read \"%1\", not \"%2\". Start from the template of "
                         "this pool and keep its columns in their order.")
              .arg(expected.at(c), PoolNames::Quoted(found)));
      return false;
    }
  }
  return true;
}

TIncomingPlayer TPicksImport::ReadRow(int row, const QStringList& cells, TLookup& lookup) {
  for (qsizetype c = TPicksSheet::kColumnCount; c < cells.size(); ++c) {
    if (!cells.at(c).trimmed().isEmpty()) {
      Add(row, static_cast<int>(c) + 1,
          QStringLiteral("this cell is beyond the last game, the champion in column %1")
              .arg(Csv::ColumnName(TPicksSheet::kColumnCount)));
      break;
    }
  }
  // The name is stored in its normal form: stray blanks and invisible characters from a
  // spreadsheet or a phone make no new player.
  const QString written = Cell(cells, TPicksSheet::kNameColumn);
  const QString name = PoolNames::Normal(written);
  TPlayerPicksListObject* existing = ReadName(row, written, name, lookup);

  const QString guessText = Cell(cells, TPicksSheet::kGuessColumn).trimmed();
  const int guess = ParseGuess(guessText);
  if (guess < 0) {
    Add(row, TPicksSheet::kGuessColumn + 1,
        QStringLiteral("the tie-breaker guess must be a whole number from 0 to %1, not \"%2\"")
            .arg(kMaxGuess)
            .arg(PoolNames::Quoted(guessText)));
  }

  auto player = TPlayerPicksListObject::CreateFromTeams(FPool.TeamsFile());
  player->SetPlayerName(name);
  player->SetTieBreakerPoints(guess < 0 ? 0 : guess);
  ReadGames(row, cells, lookup, *player);
  return TIncomingPlayer{std::move(player), existing};
}

TPlayerPicksListObject* TPicksImport::ReadName(int row, const QString& written, const QString& name,
                                               TLookup& lookup) {
  const int column = TPicksSheet::kNameColumn + 1;
  if (name.isEmpty()) {
    Add(row, column, TOpenPool::kPlayerNameEmpty);
    return nullptr;
  }
  if (const QString why =
          PoolNames::Unstorable(name, QStringLiteral("player name"), TPlayerPicksFile::kNameWidth);
      !why.isEmpty()) {
    Add(row, column, why);
    return nullptr;
  }
  const QString key = PoolNames::Key(name);
  if (lookup.RowOfKey.contains(key)) {
    Add(row, column,
        QStringLiteral("the player \"%1\" is already named in row %2")
            .arg(name, QString::number(lookup.RowOfKey.value(key))));
    return nullptr;
  }
  lookup.RowOfKey.insert(key, row);
  TPlayerPicksListObject* existing =
      lookup.PoolPlayers.value(written, lookup.PoolKeys.value(key, nullptr));
  if (existing && !FReplace) {
    Add(row, column, TOpenPool::kPlayerNameTaken.arg(PoolNames::Quoted(existing->PlayerName())),
        existing->PlayerName());
    ++FExistingNames;
  }
  return existing;
}

void TPicksImport::ReadGames(int row, const QStringList& cells, TLookup& lookup,
                             TPlayerPicksListObject& player) {
  TLookup::TChart chart = lookup.FirstRound;
  // A game whose cell is wrong is left out; the games it feeds then report nothing of their
  // own about it, so one typing error gives one problem.
  std::array<bool, ChartPaths::kSlotCount + 1> wrong{};
  const std::vector<TPicksSheet::TGame>& games = lookup.Sheet.Games();
  for (size_t g = 0; g < games.size(); ++g) {
    const TPicksSheet::TGame& game = games[g];
    const int column = TPicksSheet::kFirstGameColumn + static_cast<int>(g);
    const QString winner = TrimTeamName(Cell(cells, column));
    if (winner.isEmpty())
      continue;
    const auto slot = static_cast<size_t>(game.Slot);
    const int team = lookup.TeamIndex.value(winner, -1);
    if (team < 0) {
      // Only a problem that is shown gets its closest team: a long cell or a sheet full of
      // mistakes must not cost an edit distance per cell.
      const QString closest = static_cast<int>(FProblems.size()) < kMaxProblems &&
                                      winner.size() <= 2 * TPlayerPicksFile::kNameWidth
                                  ? lookup.Closest(winner)
                                  : QString();
      Add(row, column + 1,
          closest.isEmpty()
              ? QStringLiteral("\"%1\" is not a team of this pool").arg(PoolNames::Quoted(winner))
              : QStringLiteral("\"%1\" is not a team of this pool; did you mean \"%2\"?")
                    .arg(PoolNames::Quoted(winner), closest));
      wrong[slot] = true;
      continue;
    }
    const auto a = static_cast<size_t>(game.Feeders[0]);
    const auto b = static_cast<size_t>(game.Feeders[1]);
    if (chart[a] == team || chart[b] == team) {
      chart[slot] = team;
      player.Pick(team)->SetRoundReached(game.Round);
      continue;
    }
    wrong[slot] = true;
    if (wrong[a] || wrong[b])
      continue;
    Add(row, column + 1,
        game.Round == 2
            ? QStringLiteral("\"%1\" does not play in this game").arg(winner)
            : QStringLiteral("\"%1\" did not win a game that leads to this one in this row")
                  .arg(winner));
  }
}

bool TPicksImport::OpenFile(const QString& path, QFile* file, QString* error) {
  if (!DiskFile::IsRegularFile(path)) {
    *error = DiskFile::Describe(path, QFile::exists(path) ? QStringLiteral("not a plain file")
                                                          : QStringLiteral("no such file"));
    return false;
  }
  file->setFileName(path);
  if (!file->open(QIODevice::ReadOnly)) {
    *error = DiskFile::Describe(path, file->errorString());
    return false;
  }
  if (file->size() > kMaxFileSize) {
    *error = DiskFile::Describe(path, QStringLiteral("too large for a picks sheet"));
    return false;
  }
  return true;
}

QString TPicksImport::Report(int lines) const {
  QStringList text;
  for (const TProblem& problem : FProblems) {
    if (text.size() >= lines)
      break;
    text << problem.Describe();
  }
  const int more = FProblemCount - static_cast<int>(text.size());
  if (more > 0)
    text << QStringLiteral("... and %1 more problems.").arg(more);
  return text.join(QLatin1Char('\n'));
}

int TPicksImport::NewCount() const {
  return static_cast<int>(
      std::count_if(FPlayers.cbegin(), FPlayers.cend(),
                    [](const TIncomingPlayer& p) { return p.Replaces == nullptr; }));
}

int TPicksImport::ReplacedCount() const {
  return static_cast<int>(FPlayers.size()) - NewCount();
}
