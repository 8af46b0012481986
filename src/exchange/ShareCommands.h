#pragma once

#include <QByteArray>
#include <QKeySequence>
#include <QString>

#include "Prompts.h"

class QUndoStack;
class QWidget;
class TFFDataModule;
class TOpenPool;

// The steps of the commands that share a pool from a window: players read from a picks sheet
// and written to one, and the file of the standings page. The main window and the player
// entry window run the same steps with the same messages; each passes itself as the window
// that asks and, where its changes can be undone, its own undo stack.
class TShareCommands {
 public:
  // The two players commands as both windows' File menus show them, with Ctrl+I and Ctrl+E.
  static inline const QString kImportCaption = QStringLiteral("&Import Players...");
  static inline const QString kImportHint = QStringLiteral(
      "Import players from a spreadsheet | Adds the players and picks of a "
      "picks sheet (CSV file) to the pool.");
  static inline const QString kExportCaption = QStringLiteral("&Export Players...");
  static inline const QString kExportHint = QStringLiteral(
      "Export players to a spreadsheet | Writes every player's picks as a picks "
      "sheet (CSV file); with no players, an empty sheet to fill in.");
  static inline const QKeySequence kImportKey = QKeySequence(Qt::CTRL | Qt::Key_I);
  static inline const QKeySequence kExportKey = QKeySequence(Qt::CTRL | Qt::Key_E);
  static inline const QString kImportTitle = QStringLiteral("Import Players");
  static inline const QString kExportTitle = QStringLiteral("Export Players");
  static inline const QString kPublishTitle = QStringLiteral("Publish Standings");
  static inline const QString kNothingImported =
      QStringLiteral("Nothing was imported; the pool is as it was.");
  static inline const QString kReplaceQuestion = QStringLiteral(
      "The pool already has %1 of the players in this file. Replace their picks and "
      "tie-breaker guesses with those of the file?");
  // Answered No, the question about replacing players stops the import as asked.
  static inline const QString kImportCancelled =
      QStringLiteral("Import cancelled; nothing changed.");
  static inline const QString kNoPlayers =
      QStringLiteral("The picks sheet holds no players; nothing changed.");
  static inline const QString kExported = QStringLiteral("Exported %1 players to %2");
  static inline const QString kBlankSheetCaption = QStringLiteral("&Blank Picks Sheet...");
  static inline const QString kBlankSheetHint = QStringLiteral(
      "Export a blank picks sheet | Writes the pool's picks sheet (CSV file) with one example "
      "row, for the players to fill in.");
  static inline const QString kBlankSheetTitle = QStringLiteral("Blank Picks Sheet");
  static inline const QString kBlankSheetWritten =
      QStringLiteral("Blank picks sheet written to %1");
  static inline const QString kCannotRead =
      QStringLiteral("The picks sheet could not be read:\n%1");
  static inline const QString kCannotWrite = QStringLiteral("The file could not be written:\n%1");
  // Problems of a refused import shown in the message; the rest are counted.
  static constexpr int kProblemsShown = 15;

  // What an import did: "Imported 3 new players and replaced the picks of 1 player."
  static QString ImportDone(int added, int replaced);
  // The same, then "Save the pool to keep the changes.", as the windows tell it.
  static QString Imported(int added, int replaced);
  // Asks for a picks sheet and brings its players into the open pool through the document's
  // ImportPlayers, on `undo` when given, so that every window showing the players follows.
  // All or nothing: a sheet with any mistake is refused with its problems and changes
  // nothing. Players the pool already has are replaced only when the person says so. Once
  // games have been played it first asks whether to go on (No by default), unless the window
  // asked already (`askIfGamesPlayed` false).
  static void ImportPlayers(TOpenPool& pool, QWidget* asker, QUndoStack* undo = nullptr,
                            bool askIfGamesPlayed = true);
  // Asks for a file and writes every player's picks to it as a picks sheet. Returns the line
  // that says what was written, empty when nothing was (cancelled, or refused with the
  // reason).
  static QString ExportPlayers(const TOpenPool& pool, QWidget* asker);
  // Asks for a file and writes the pool's blank picks sheet to it: the header and one example
  // row, as the command-line tool's template. Returns the line that says where, empty when
  // nothing was written.
  static QString ExportBlankSheet(const TOpenPool& pool, QWidget* asker);
  // Asks for the file of a sharing command, first proposing `what` beside the pool's folder
  // with the pool's name in front ("Office Pool picks.csv"). False when cancelled.
  static bool AskFile(const TFFDataModule& pool, TPrompts::FileDialog dialog, const QString& title,
                      const QString& filter, const QString& what, QString* file);

 private:
  // Asks for a CSV file beside the pool and writes `sheet` to it whole; false when cancelled
  // or refused (with the reason).
  static bool WriteSheet(const TFFDataModule& pool, const QString& title, const QString& what,
                         const QByteArray& sheet, QWidget* asker, QString* file);
};
