#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "OpenPool.h"

class TFFDataModule;
namespace Csv {
struct TTable;
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
  static constexpr int kMaxGuess = 999;
  // Problems kept for showing; the rest are only counted.
  static constexpr int kMaxProblems = 200;
  // A sheet of 100,000 players is about 100 MB.
  static constexpr qint64 kMaxFileSize = qint64{512} << 20;

  // What is wrong, where. Row and column are 1-based as a spreadsheet shows them; a column of 0
  // means the whole row, a row of 0 the whole file. `Title` names the column's game.
  struct TProblem {
    int Row = 0;
    int Column = 0;
    QString Title;
    QString Text;
    // "Row 4, column F (East R1: (8) A v (9) B): ..." and the like.
    QString Describe() const;
  };

  // With `replace`, a row naming a player the pool already has replaces that player's picks;
  // without it, such a row is a problem.
  TPicksImport(const TFFDataModule& pool, bool replace);
  ~TPicksImport();
  TPicksImport(const TPicksImport&) = delete;
  TPicksImport& operator=(const TPicksImport&) = delete;

  // Reads and checks the whole sheet; true when it can be imported as it stands.
  bool Read(const QByteArray& bytes);
  // Checks one player's entry, the cells of one row of the sheet (name, guess, the winner of
  // each game in the sheet's order), as a sheet holding only that row; true when it can be
  // imported. The problems keep the row's columns and the games' titles.
  bool ReadEntry(const QStringList& cells);
  // Reads a picks sheet file whole into `bytes`. False, with "<file>: <reason>" in `error`,
  // for a file that cannot be read, is no plain file (a pipe would never end) or is larger
  // than any sheet.
  static bool LoadFile(const QString& path, QByteArray* bytes, QString* error);

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
  class TRowReader;

  void Start();
  // A sheet read `fromFile` leaves out its template's example row.
  bool ReadTable(const Csv::TTable& table, bool fromFile);
  void Add(int row, int column, const QString& text);

  const TFFDataModule& FPool;
  bool FReplace;
  std::vector<TProblem> FProblems;
  int FProblemCount = 0;
  int FExistingNames = 0;
  std::vector<TIncomingPlayer> FPlayers;
  QStringList FHeader;
};
