#pragma once

#include <QKeySequence>
#include <QString>

class QUndoStack;
class QWidget;
class TOpenPool;

// The steps of the commands that bring the tournament in from files in the windows: the field
// from a sheet (the bracket builder's File > Import Field...), the results from a file of one
// winner's name a line (the main window's File > Import Results...) and a team's new name.
// Each goes through the document on the window's undo stack, as one step, and tells what it
// did or why it did nothing in the words of the command-line tool.
class TTournamentCommands {
 public:
  static inline const QString kFieldCaption = QStringLiteral("Import &Field...");
  static inline const QString kFieldHint = QStringLiteral(
      "Import the field from a sheet | Places the 64 teams and names the four regions from a "
      "sheet (CSV file) of region,seed,team rows.");
  static inline const QString kFieldTitle = QStringLiteral("Import Field");
  static inline const QString kFieldFilter = QStringLiteral("Field sheets (*.csv);;All files (*)");
  static inline const QString kFieldIn = QStringLiteral("The field is in: 64 teams in %1.");
  static inline const QString kFieldHeld =
      QStringLiteral("The pool holds this field already; nothing changed.");
  static inline const QString kResultsCaption = QStringLiteral("Import &Results...");
  static inline const QString kResultsHint = QStringLiteral(
      "Import the results from a file | Makes the results chart what a file of one winner's "
      "name a line says, in the order the games were played.");
  static inline const QString kResultsTitle = QStringLiteral("Import Results");
  static inline const QString kResultsFilter =
      QStringLiteral("Results files (*.txt);;All files (*)");
  static inline const QString kResultsHeld =
      QStringLiteral("The pool already holds these results; nothing changed.");
  static inline const QString kResultsDone = QStringLiteral("Results read from %1:\n%2");
  static inline const QString kNothingChanged =
      QStringLiteral("%1 was not read: %2\nNothing was changed; the pool is as it was.");
  static inline const QString kRenameCaption = QStringLiteral("Re&name Team...");
  static inline const QString kRenameTitle = QStringLiteral("Rename Team");
  static inline const QString kRenamePrompt =
      QStringLiteral("New name of %1 (on the chart and in every player's picks):");
  // The games listed in the message after an import; the rest are counted.
  static constexpr int kChangesShown = 20;

  // Asks for a field sheet and makes the pool's team list, first round and bracket names the
  // sheet's, as one step on `undo`. Returns the line that says what came in, empty when
  // nothing did (cancelled, refused with the row and the reason, or held already).
  static QString ImportField(TOpenPool& pool, QWidget* asker, QUndoStack* undo);
  // Asks for a results file and makes the results chart what it says, as one step on `undo`,
  // then lists the games added, corrected and taken back. Returns the status line, empty when
  // nothing changed.
  static QString ImportResults(TOpenPool& pool, QWidget* asker, QUndoStack* undo);
  // Asks for the new name of the team `name`, offering its name to mend, and gives it that
  // name on the chart and in every player's picks, as one step on `undo`.
  static void RenameTeam(TOpenPool& pool, const QString& name, QWidget* asker, QUndoStack* undo);
};
