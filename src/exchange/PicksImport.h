#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "OpenPool.h"
#include "PicksSheet.h"

class QFile;
class QIODevice;
class TFFDataModule;
namespace Csv {
class TReader;
}

// Reads a picks sheet (the layout of TPicksSheet) into new players for a pool, checking every
// cell first. A sheet with anything wrong yields no players at all, only the list of what is
// wrong, each with its row and column; the pool itself is never touched here.
//
// The rules are the player entry window's: a player starts with every team on its first-round
// line, and each game's winner must be one of the two teams that stand on the lines feeding
// it in the same row, so a row can be left partly empty but never contradicts itself.
class TPicksImport {
 public:
  static constexpr int kMaxGuess = TPlayerPicksFile::kMaxGuess;
  // Problems kept for showing; the rest are only counted.
  static constexpr int kMaxProblems = 200;
  // The longest row a sheet of this program can have: every cell a name of 35 characters of
  // three bytes of UTF-8 each (or doubled quotes), in quotes and guarded, with its separator;
  // and the line break.
  static constexpr qint64 kMaxRowBytes =
      TPicksSheet::kColumnCount * (3 * TPlayerPicksFile::kNameWidth + 4) + 2;
  // Any record, the header with its game titles included, fits in this; a longer one is no
  // row of a picks sheet and is refused rather than held.
  static constexpr qint64 kMaxRecordBytes = qint64{64} << 10;
  // The sheet of a pool with the most players a pool can have, every row as long as a row can
  // be: whatever a pool exports imports again.
  static constexpr qint64 kMaxFileSize =
      kMaxRecordBytes + qint64{TPlayerPicksFile::kMaxPlayers} * kMaxRowBytes;

  // What is wrong, where. Row and column are 1-based as a spreadsheet shows them; a column of 0
  // means the whole row, a row of 0 the whole file. `Title` names the column's game.
  struct TProblem {
    int Row = 0;
    int Column = 0;
    QString Title;
    QString Text;
    // For a name the pool has already, or a look-alike of one: the pool's player's name.
    QString Existing;
    // "Row 4, column F (East R1: (8) A v (9) B): ..." and the like.
    QString Describe() const;
  };

  // With `replace`, a row naming a player the pool already has (PoolNames::Key: however the
  // name's blanks or letter case differ) replaces that player's picks; without it, such a row
  // is a problem.
  TPicksImport(const TFFDataModule& pool, bool replace);
  ~TPicksImport();
  TPicksImport(const TPicksImport&) = delete;
  TPicksImport& operator=(const TPicksImport&) = delete;

  // Reads and checks the whole sheet, a row at a time; true when it can be imported as it
  // stands. A sheet that would take the pool past the most players it can hold is refused.
  bool Read(QIODevice& sheet);
  bool Read(const QByteArray& bytes);
  // Checks one player's entry, the cells of one row of the sheet (name, guess, the winner of
  // each game in the sheet's order), as a sheet holding only that row; true when it can be
  // imported. The problems keep the row's columns and the games' titles.
  bool ReadEntry(const QStringList& cells);
  // Opens a picks sheet file to Read. False, with "<file>: <reason>" in `error`, for a file
  // that cannot be read, is no plain file (a pipe would never end) or is larger than any
  // sheet.
  static bool OpenFile(const QString& path, QFile* file, QString* error);

  const std::vector<TProblem>& Problems() const { return FProblems; }
  // Every problem found, also those beyond the kept ones.
  int ProblemCount() const { return FProblemCount; }
  // True when every problem is a name the pool already has: importing with replace would go.
  bool OnlyExistingNames() const { return FProblemCount > 0 && FExistingNames == FProblemCount; }
  // The first `lines` problems as text, one a line, and the count of those left out.
  QString Report(int lines = kMaxProblems) const;

  // The players of a sheet that read without problems, in sheet order, each with the pool's
  // player of the same name it replaces, if any: for the document's ImportPlayers.
  std::vector<TIncomingPlayer>& Players() { return FPlayers; }
  int NewCount() const;
  int ReplacedCount() const;

 private:
  struct TLookup;
  // Begins a read afresh; false, with the problem added, for a pool whose first round is not
  // locked. Finish ends it: true when it can be imported.
  bool Start(const TLookup& lookup);
  bool Finish();
  // Reads the header and the players' rows after it, leaving out the empty rows and the
  // template's example row; throws Csv::EFormatError.
  void ReadRows(Csv::TReader& reader, TLookup& lookup);
  // Reads one player's row, `added` counting the new players so far; false when the row would
  // take the pool past the most players it can hold, which ends the read.
  bool ReadPlayer(int row, const QStringList& cells, TLookup& lookup, qint64& added);
  // False, with the problem added, for a header that is not the pool's own.
  bool HeaderMatches(const QStringList& header);
  // One player's row: the player, and the pool's player it replaces, if any.
  TIncomingPlayer ReadRow(int row, const QStringList& cells, TLookup& lookup);
  // The row's name checked; the pool's player of that name, if any.
  TPlayerPicksListObject* ReadName(int row, const QString& written, const QString& name,
                                   TLookup& lookup);
  // Each game's winner, checked against the games that feed it in the same row.
  void ReadGames(int row, const QStringList& cells, TLookup& lookup,
                 TPlayerPicksListObject& player);
  void Add(int row, int column, const QString& text, const QString& existing = {});

  const TFFDataModule& FPool;
  bool FReplace;
  std::vector<TProblem> FProblems;
  int FProblemCount = 0;
  int FExistingNames = 0;
  std::vector<TIncomingPlayer> FPlayers;
  // The sheet of the read going on, for the columns' titles; null between reads.
  const TPicksSheet* FSheet = nullptr;
};
