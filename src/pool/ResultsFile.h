#pragma once

#include <QString>
#include <QStringList>
#include <array>

#include "ChartPaths.h"

class QUndoStack;
class TOpenPool;
class TTeamSeedObject;

// A results file: one winner's name a line, in the order the games were played, blank lines
// and "#" lines skipped; the final's line may carry its score after a tab ("UConn\t75-60").
// The file is the whole truth from the first game: the chart becomes what it says.
class TResultsFile {
 public:
  // Far more than a file of 63 games and its comments ever takes.
  static constexpr qint64 kMaxBytes = 1 << 20;

  // Works out the chart the lines describe, against the pool's first round. False, with
  // "line N: reason" in `error`, for a line that cannot be: nothing is then to be applied.
  bool Read(const TOpenPool& pool, const QStringList& lines, QString* error);
  // Makes the pool's chart (and the championship total, when the file gives the final's
  // score) what the file says, as one step on `undo`. Each game added, corrected or taken back
  // is in Changes(); none when the pool already said it all.
  void Apply(TOpenPool& pool, QUndoStack* undo = nullptr);
  const QStringList& Changes() const { return FChanges; }
  // Why the last Read refused, without the line's number.
  const QString& Reason() const { return FReason; }
  // The games of the pool's chart as a results file's lines, round by round.
  static QStringList ChartLines(const TOpenPool& pool);

 private:
  // The winner the file puts on slot 65..127, or null.
  std::array<const TTeamSeedObject*, ChartPaths::kSlotCount + 1> FSlots{};
  int FTotal = -1;
  QStringList FChanges;
  QString FReason;
};
