#include "PicksImport.h"

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <algorithm>

#include "Csv.h"
#include "FFDataModule.h"
#include "PicksSheet.h"
#include "PoolNames.h"
#include "SafeFile.h"

namespace {

// Edit distance, letter case ignored: the team a mistyped name most likely meant.
int Distance(const QString& a, const QString& b) {
  const QString x = a.toCaseFolded();
  const QString y = b.toCaseFolded();
  std::vector<int> row(static_cast<size_t>(y.size()) + 1);
  for (size_t j = 0; j < row.size(); ++j)
    row[j] = static_cast<int>(j);
  for (qsizetype i = 1; i <= x.size(); ++i) {
    int diagonal = row[0];
    row[0] = static_cast<int>(i);
    for (qsizetype j = 1; j <= y.size(); ++j) {
      const int above = row[static_cast<size_t>(j)];
      const int cost = x.at(i - 1) == y.at(j - 1) ? 0 : 1;
      row[static_cast<size_t>(j)] =
          std::min({above + 1, row[static_cast<size_t>(j - 1)] + 1, diagonal + cost});
      diagonal = above;
    }
  }
  return row.back();
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
  if (column > 0 && column <= FHeader.size())
    problem.Title = FHeader.at(column - 1);
  problem.Text = text;
  problem.Existing = existing;
  FProblems.push_back(problem);
}

bool TPicksImport::Read(const QByteArray& bytes) {
  QByteArray copy = bytes;
  QBuffer buffer(&copy);
  buffer.open(QIODevice::ReadOnly);
  return ReadSheet(buffer, true);
}

bool TPicksImport::Read(QIODevice& sheet) {
  return ReadSheet(sheet, true);
}

bool TPicksImport::ReadEntry(const QStringList& cells) {
  // An entry reads as the sheet of the pool's header and that one row would, the example
  // row's name being a name like any other here.
  Csv::TWriter writer;
  writer.Row(TPicksSheet(FPool).Header());
  writer.Row(cells);
  QByteArray bytes = writer.Bytes();
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  return ReadSheet(buffer, false);
}

bool TPicksImport::ReadSheet(QIODevice& sheet, bool fromFile) {
  FProblems.clear();
  FProblemCount = 0;
  FExistingNames = 0;
  FPlayers.clear();
  if (!FPool.Finalized()) {
    Add(0, 0, TOpenPool::kNotLocked);
    return false;
  }
  Csv::TReader reader(sheet, kMaxRecordBytes);
  try {
    ReadRows(reader, fromFile);
  } catch (const Csv::EFormatError& error) {
    Add(error.Row(), error.Column(), error.Text());
  }
  if (FProblemCount > 0) {
    FPlayers.clear();
    return false;
  }
  return true;
}

void TPicksImport::ReadRows(Csv::TReader& reader, bool fromFile) {
  const TPicksSheet sheet(FPool);
  FHeader = sheet.Header();
  QStringList header;
  if (!reader.Next(&header)) {
    Add(0, 0, QStringLiteral("The file is empty; it needs the header row of the template."));
    return;
  }
  // The header must be the pool's own: a sheet made for another pool, or with its columns
  // moved about, would put every pick in the wrong game.
  for (int c = 0; c < TPicksSheet::kColumnCount; ++c) {
    const QString found = c < header.size() ? header.at(c).trimmed() : QString();
    if (found != FHeader.at(c)) {
      Add(1, c + 1,
          QStringLiteral("the header should read \"%1\", not \"%2\". Start from the template of "
                         "this pool and keep its columns in their order.")
              .arg(FHeader.at(c), PoolNames::Quoted(found)));
      return;
    }
  }

  const TTeamsFile& teams = FPool.TeamsFile();
  QHash<QString, int> teamIndex;
  for (int i = 0; i < teams.Count(); ++i) {
    const QString name = TrimTeamName(teams.Items(i)->TeamName());
    if (!teamIndex.contains(name))
      teamIndex.insert(name, i);
  }
  using TChart = std::array<int, ChartPaths::kSlotCount + 1>;
  TChart firstRound{};
  firstRound.fill(-1);
  for (size_t i = 0; i < sheet.TeamSlots().size(); ++i) {
    if (sheet.TeamSlots()[i] > 0)
      firstRound[static_cast<size_t>(sheet.TeamSlots()[i])] = static_cast<int>(i);
  }

  // The pool's players by name, the first of a name as FindPlayer finds it, and by the key
  // of their name, the first as FindSamePlayer finds it: a sheet of thousands into a pool of
  // thousands looks each name up once. A name written as the pool has it is that player's
  // even where an older pool holds look-alikes, so that a private link changes its own entry.
  QHash<QString, TPlayerPicksListObject*> poolPlayers;
  QHash<QString, TPlayerPicksListObject*> poolKeys;
  for (const auto& player : FPool.PlayerPicksFile().List()) {
    if (!poolPlayers.contains(player->PlayerName()))
      poolPlayers.insert(player->PlayerName(), player.get());
    const QString key = PoolNames::Key(player->PlayerName());
    if (!poolKeys.contains(key))
      poolKeys.insert(key, player.get());
  }
  QHash<QString, int> rowOfKey;
  // No pool holds more players than its file can: a sheet that would bring more is refused at
  // the row that would pass the limit, before anything is written.
  const qint64 room = TPlayerPicksFile::kMaxPlayers - FPool.PlayerPicksFile().Count();
  qint64 added = 0;
  QStringList cells;
  while (reader.Next(&cells)) {
    const int row = reader.Row();
    const bool blank = std::all_of(cells.cbegin(), cells.cend(),
                                   [](const QString& cell) { return cell.trimmed().isEmpty(); });
    // A sheet's empty rows and its example row, as the template has it, are no players; an
    // entry is one, whatever it holds, so an empty one is refused for its missing name.
    if (fromFile && (blank || (!cells.isEmpty() && cells.first() == TPicksSheet::kExampleName)))
      continue;
    for (qsizetype c = TPicksSheet::kColumnCount; c < cells.size(); ++c) {
      if (!cells.at(c).trimmed().isEmpty()) {
        Add(row, static_cast<int>(c) + 1,
            QStringLiteral("this cell is beyond the last game, the champion in column %1")
                .arg(Csv::ColumnName(TPicksSheet::kColumnCount)));
        break;
      }
    }
    auto cell = [&cells](int column) {
      return column < cells.size() ? cells.at(column) : QString();
    };

    // The name is stored in its normal form: stray blanks and invisible characters from a
    // spreadsheet or a phone make no new player.
    const int before = FProblemCount;
    const QString written = cell(TPicksSheet::kNameColumn);
    const QString name = PoolNames::Normal(written);
    const QString key = PoolNames::Key(name);
    const int nameColumn = TPicksSheet::kNameColumn + 1;
    TPlayerPicksListObject* existing = nullptr;
    if (name.isEmpty()) {
      Add(row, nameColumn, TOpenPool::kPlayerNameEmpty);
    } else if (const QString why = PoolNames::Unstorable(name, QStringLiteral("player name"),
                                                         TPlayerPicksFile::kNameWidth);
               !why.isEmpty()) {
      Add(row, nameColumn, why);
    } else if (rowOfKey.contains(key)) {
      Add(row, nameColumn,
          QStringLiteral("the player \"%1\" is already named in row %2")
              .arg(name, QString::number(rowOfKey.value(key))));
    } else {
      rowOfKey.insert(key, row);
      existing = poolPlayers.value(written, poolKeys.value(key, nullptr));
      if (existing && !FReplace) {
        Add(row, nameColumn,
            TOpenPool::kPlayerNameTaken.arg(PoolNames::Quoted(existing->PlayerName())),
            existing->PlayerName());
        ++FExistingNames;
      }
    }

    const QString guessText = cell(TPicksSheet::kGuessColumn).trimmed();
    const int guess = ParseGuess(guessText);
    if (guess < 0) {
      Add(row, TPicksSheet::kGuessColumn + 1,
          QStringLiteral("the tie-breaker guess must be a whole number from 0 to %1, not \"%2\"")
              .arg(kMaxGuess)
              .arg(PoolNames::Quoted(guessText)));
    }

    auto player = TPlayerPicksListObject::CreateFromTeams(teams);
    player->SetPlayerName(name);
    player->SetTieBreakerPoints(guess < 0 ? 0 : guess);
    TChart chart = firstRound;
    // A game whose cell is wrong is left out; the games it feeds then report nothing of their
    // own about it, so one typing error gives one problem.
    std::array<bool, ChartPaths::kSlotCount + 1> wrong{};
    for (size_t g = 0; g < sheet.Games().size(); ++g) {
      const TPicksSheet::TGame& game = sheet.Games()[g];
      const int column = TPicksSheet::kFirstGameColumn + static_cast<int>(g);
      const QString winner = TrimTeamName(cell(column));
      if (winner.isEmpty())
        continue;
      const auto slot = static_cast<size_t>(game.Slot);
      const int team = teamIndex.value(winner, -1);
      if (team < 0) {
        // Only a problem that is shown gets its closest team: a long cell or a sheet full of
        // mistakes must not cost an edit distance per cell.
        QString closest;
        int best = 0;
        if (static_cast<int>(FProblems.size()) < kMaxProblems &&
            winner.size() <= 2 * TPlayerPicksFile::kNameWidth) {
          for (const auto& known : teams.List()) {
            const int distance = Distance(winner, known->TeamName());
            if (closest.isEmpty() || distance < best) {
              closest = TrimTeamName(known->TeamName());
              best = distance;
            }
          }
        }
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
        player->Pick(team)->SetRoundReached(game.Round);
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
    if (existing == nullptr && FProblemCount == before && ++added > room) {
      Add(row, 0,
          QStringLiteral("this row would make the pool hold more than the %1 players a pool can "
                         "have")
              .arg(TPlayerPicksFile::kMaxPlayers));
      return;
    }
    // Players are kept only while the sheet may still be imported.
    if (FProblemCount == 0)
      FPlayers.push_back(TIncomingPlayer{std::move(player), existing});
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
