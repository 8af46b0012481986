#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "PlayerPicksFile.h"
#include "PoolFileMarks.h"

class QUndoCommand;
class QUndoGroup;
class QUndoStack;
class TBracketList;
class TFFDataModule;
class TTeamSeedObject;

// What the options window edits: the pool's name, its four bracket names and the points of a
// correct pick in each of the six scoring rounds.
struct TPoolOptions {
  QString PoolName;
  std::array<QString, 4> BracketNames;   // brackets 1..4 at index 0..3
  std::array<int32_t, 6> RoundPoints{};  // chart rounds 2..7 at index 0..5

  bool operator==(const TPoolOptions& other) const {
    return PoolName == other.PoolName && BracketNames == other.BracketNames &&
           RoundPoints == other.RoundPoints;
  }
};

// A player brought in from outside the program, as from a picks sheet: a new player, or the
// new guess and picks for the pool's player it replaces.
struct TIncomingPlayer {
  std::unique_ptr<TPlayerPicksListObject> Player;
  TPlayerPicksListObject* Replaces = nullptr;
};

// The open pool's document. It owns the data module and both charts and is the only way the
// windows change a pool: every edit goes through one of the operations below, which keeps
// the rules of the pool, marks the file it changed as modified, tells everyone what changed
// and can be undone.
//
// Reading: DataModule(), ResultsBracket() and PicksBracket() are there to look at. A window
// never keeps those pointers (nor slots or entries) past AboutToBeReplaced(), and never
// changes what they point at itself.
//
// The results chart always shows the teams as they stand: every operation that moves a team
// puts the chart back in step with the teams' stored places before it signals. The picks
// chart shows one player at a time, the shown player (ShowPlayer); the pick operations work
// on that player.
//
// Undo: each edit operation takes an optional undo stack. Given one, the edit is pushed on
// it as a command (which does the edit at once) and Ctrl+Z in that window takes it back;
// without one the edit is done and cannot be undone. Each editing window gets its own stack
// from CreateUndoStack; all stacks live in the document's undo group and are emptied when the
// pool is replaced, locked or unlocked.
class TOpenPool : public QObject {
  Q_OBJECT

 public:
  // What came of a drop on the picks chart.
  enum class TDropResult {
    Dropped,      // the pick is on the chart; the player's entries follow it
    Nothing,      // no player shown, no entry at the source, or no target slot: no change
    InvalidPath,  // the target is not on the dragged team's winner path: no change
  };

  // Why the player list refuses a player, worded as a picks sheet's problems are.
  static inline const QString kNotLocked = QStringLiteral(
      "The first round of this pool is not locked yet. Players can be added once it is locked.");
  static inline const QString kPlayerNameEmpty = QStringLiteral("the player name is empty");
  static inline const QString kPlayerNameTaken =
      QStringLiteral("the pool already has a player named \"%1\"");
  // Why the team list refuses a team.
  static inline const QString kTeamListFull = QStringLiteral(
      "The team list already contains 64 teams. You must remove a team before adding more");
  static inline const QString kTeamNameTaken =
      QStringLiteral("This team is already placed in the list");

  explicit TOpenPool(QObject* parent = nullptr);
  ~TOpenPool() override;

  // --- Reading ---------------------------------------------------------------------------

  // The data module; null before the first pool was opened and after Close.
  TFFDataModule* DataModule() const { return FDataModule.get(); }
  // The results chart (the teams) and the picks chart (the shown player); null while no data
  // module is there. Slots stay valid until AboutToBeReplaced.
  TBracketList* ResultsBracket() const { return FResultsBracket.get(); }
  TBracketList* PicksBracket() const { return FPicksBracket.get(); }
  // A pool is open when its files were opened or created (a failed open leaves none).
  bool IsOpen() const;
  bool Modified() const;
  bool Finalized() const;
  // The player on the picks chart, or null.
  TPlayerPicksListObject* ShownPlayer() const { return FShownPlayer; }
  TPoolOptions Options() const;
  // How many of the 64 first-round lines of the results chart hold no team.
  int EmptyFirstRoundLines() const;

  // --- The pool as a whole ---------------------------------------------------------------

  // Makes a new pool in its folder: the files are built in a hidden folder beside it and
  // moved into place whole (TFFDataModule::CreatePoolFolder). False when it could not be made
  // (it exists already, the name cannot be a folder, the disk is full), with the reason in
  // `reason`; nothing is then left behind and the open pool is as it was. The new pool takes
  // `poolName` (cut to its field) as its name.
  static bool MakePoolFolder(const QString& appDirectory, const QString& dataDirectory,
                             const QString& poolName = QString(), QString* reason = nullptr);
  // Closes the open pool, letting go of any change not saved (the window asks first), and
  // opens the pool in `directory`, or creates its files when `create` is set, holding the
  // pool's lock while it is open. False when its files could not be opened or created, or
  // another program holds the lock: the data module then stays, with no directory, and IsOpen
  // is false. Either way both charts are new and empty of the old pool.
  bool OpenPool(const QString& directory, bool create);
  // Why the last OpenPool failed: the file and the system's reason.
  const QString& OpenError() const { return FOpenError; }
  // What the last successful open has to tell (a save cut short that it finished); empty
  // when nothing.
  QString OpenNotice() const;
  // Takes a data module whose pool is already open in place of the current one (which the
  // caller closed). For the command-line tool and tests that build a pool first.
  void SetDataModule(std::unique_ptr<TFFDataModule> dataModule);
  // Closes the pool and lets go of everything, changes not saved included (the window asks
  // first).
  void Close();
  // Writes the pool. True when nothing is left unsaved; otherwise FileError has told why and
  // SaveError says it again.
  bool Save();
  QString SaveError() const;
  // How many players unlocking the first round discarded since the pool was read or written:
  // the players a save takes out of its files.
  int DiscardedPlayers() const { return FDiscardedPlayers; }

  // --- The files on disk -----------------------------------------------------------------
  // A pool opened here is watched for another program (or a copy put in place of its files)
  // changing its files behind it: the window asks DiskChanges when it comes to the front and
  // before it saves.

  // What differs between the pool here and its files, when those changed since this pool read
  // or wrote them: one line each, naming the players, teams and settings. Empty while the
  // files are as this pool left them, and when they changed to hold just what is here. Files
  // that changed and cannot be read list nothing: `unreadable` gets why.
  QStringList DiskChanges(QString* unreadable);
  // The files as they are now count as read: this pool's version is kept, and the next save
  // replaces them.
  void KeepOwnVersion();
  // Reads the pool afresh from its files, letting go of every change made here. False, as for
  // OpenPool, when they cannot be read.
  bool Reload();

  // --- Undo ------------------------------------------------------------------------------

  QUndoGroup* UndoGroup() const { return FUndoGroup.get(); }
  // A new undo stack in the document's group, owned by `owner` (the editing window). Make it
  // the group's active stack when the window is activated: setActive() on the stack.
  QUndoStack* CreateUndoStack(QObject* owner);
  // The player an edit of the player list or of one player's picks changes, while it is in the
  // list or held by the edit to be put back; null for any other edit.
  TPlayerPicksListObject* PlayerOf(const QUndoCommand* command) const;

  // --- Results chart and teams (the bracket builder) -------------------------------------
  // Slot numbers are those of the chart, 1..127.

  // Puts `team` into the slot and fills its winner path up to it: (a) if the team stands
  // further along, it is taken off every slot after this one; (b) any other team on one of
  // these slots loses that slot and every later one, its round reached becoming the slot's
  // round minus 1 (on a first-round line its region and seed also become 0); (c) the team
  // stands on all of them, its round reached the slot's round. On a first-round slot the team
  // first takes the line's region and seed and is no longer eliminated. False, with nothing
  // changed, when there is no such slot, when the pool's state forbids it (a first-round slot
  // once the first round is locked, a later one before), or when a later-round slot is not on
  // the team's path. The window shows its refusal before it calls this.
  bool PlaceTeam(TTeamSeedObject* team, int slotNumber, QUndoStack* undo = nullptr);
  // Moves the team in the slot on to the next slot of its winner path (a double-click).
  // False when the slot is empty or is the champion's, or while the first round is open.
  bool AdvanceTeam(int slotNumber, QUndoStack* undo = nullptr);
  // Takes the team in the slot off it and every later slot (a right-click): its round
  // reached becomes the slot's round minus 1, and on a first-round line its region and seed
  // become 0. False when the slot is empty, or is a first-round slot of a locked pool.
  bool RemoveTeamFromSlot(int slotNumber, QUndoStack* undo = nullptr);
  // Empties the chart: every team's round reached becomes 0; region, seed and eliminated
  // stay. Marks the teams modified even when the chart was empty.
  void ClearChart(QUndoStack* undo = nullptr);
  // Recomputes every team's round reached from the chart and, while the first round is
  // locked, who has lost (Eliminated); unlocked, nobody has. The builder does this when it
  // closes, and the main window before it writes the pool or a report runs, as winners may
  // have been advanced in a builder that is still open. Marks the teams modified only when a
  // value changed.
  void RecountTeams(QUndoStack* undo = nullptr);
  // Appends a team of this name, not placed. Null, with nothing changed and the reason in
  // `reason`, when the list holds 64 teams already, a team of that name (trimmed, case
  // counting) is there, or the pool cannot store the name (PoolNames).
  TTeamSeedObject* AddTeam(const QString& name, QUndoStack* undo = nullptr,
                           QString* reason = nullptr);
  // Takes the team out of the list. False when it is not in the list or stands on the chart
  // (it must be taken off first). TeamAboutToBeRemoved comes first.
  bool RemoveTeam(TTeamSeedObject* team, QUndoStack* undo = nullptr);
  // The actual total points of the championship game.
  void SetTieBreakerPoints(int32_t value, QUndoStack* undo = nullptr);

  // --- Players and the picks chart (the player entry window) -----------------------------

  // Puts the player's picks on the picks chart (null, or a player not in the list: an empty
  // chart). Not an edit.
  void ShowPlayer(TPlayerPicksListObject* player);
  // Appends a player of this name (kept exactly as given), every entry taken from the team
  // list at round 1, guess 0. Null, with nothing changed and the reason in `reason`, while the
  // first round is open (players come after it), for a name that is empty, taken by another
  // player (exactly) or that the pool cannot store (PoolNames).
  TPlayerPicksListObject* AddPlayer(const QString& name, QUndoStack* undo = nullptr,
                                    QString* reason = nullptr);
  // Takes the player out of the list (off the picks chart first, if shown). False when the
  // player is not in the list.
  bool DeletePlayer(TPlayerPicksListObject* player, QUndoStack* undo = nullptr);
  // Clear Brackets for one player: guess 0 and every entry afresh from the team list at
  // round 1. The picks chart follows when the player is shown.
  void ClearPlayer(TPlayerPicksListObject* player, QUndoStack* undo = nullptr);
  // Drags the pick in `sourceSlot` of the shown player's chart onto `targetSlot`: whatever
  // stands on the target is taken off it and every later round, and the dragged team fills
  // its path from its first-round line up to the target (autofill). Dropping a team on a
  // line it holds takes it out of every later round. Every entry's round reached then
  // follows the chart.
  TDropResult DropPick(int sourceSlot, int targetSlot, QUndoStack* undo = nullptr);
  // Brings players in as one edit: new ones at the end of the list, in order; a replacement
  // gives the pool's player the guess and picks of its new version, and the player keeps its
  // name and place. Nothing for an empty list.
  void ImportPlayers(std::vector<TIncomingPlayer> players, QUndoStack* undo = nullptr);
  // The player's tie-breaker guess; marks the players modified only when it changes.
  void SetGuess(TPlayerPicksListObject* player, int32_t value, QUndoStack* undo = nullptr);

  // --- State and settings ----------------------------------------------------------------

  // Locks the first round. Teams and players stay as they are. Empties the undo stacks.
  void Lock();
  // Unlocks the first round and discards every player (the next save writes the emptied
  // player file). Empties the undo stacks and the picks chart first.
  void Unlock();
  // Stores the options; marks the settings modified only for a value that changes.
  void SetOptions(const TPoolOptions& options, QUndoStack* undo = nullptr);

 signals:
  // Before the data module or the charts are replaced or let go: drop every pointer.
  void AboutToBeReplaced();
  // Another pool (or none) is in place; read everything afresh.
  void Replaced();
  // The team list changed (a team added, removed or put back).
  void TeamsChanged();
  // A team is about to leave the list.
  void TeamAboutToBeRemoved(TTeamSeedObject* team);
  // The teams' places changed; the results chart shows them.
  void ChartChanged();
  // The player list changed (added, deleted, put back, all discarded).
  void PlayersChanged();
  // A player is about to leave the list, or be discarded.
  void PlayerAboutToBeRemoved(TPlayerPicksListObject* player);
  // One player's picks, guess or entries changed.
  void PlayerChanged(TPlayerPicksListObject* player);
  // The picks chart shows something else (another player, or changed picks).
  void PicksChartChanged();
  // The pool name, bracket names or point values changed.
  void OptionsChanged();
  // The actual tie-breaker total changed.
  void TieBreakerChanged();
  // The first round was locked or unlocked.
  void LockChanged(bool finalized);
  // The pool became modified, or unmodified by a save or another pool.
  void ModifiedChanged(bool modified);
  // The pool was written.
  void Saved();
  // Writing or closing the pool's files failed: the message, naming the file and the reason,
  // for the window to show.
  void FileError(const QString& message);

 private:
  friend class TPoolCommand;
  friend class TTeamsCommand;
  friend class TTeamListCommand;
  friend class TPlayerCommand;
  friend class TPlayerListCommand;
  friend class TOptionsCommand;
  friend class TImportPlayersCommand;

  // Does the command now: pushed on `undo`, or done once and thrown away.
  void Run(QUndoCommand* command, QUndoStack* undo);
  void ClearUndoStacks();
  // Tells everyone the pool is going and lets go of the charts and the commands.
  void LetGo();
  // Makes the charts for the data module now in place and tells everyone.
  void TakeOver();
  // Makes fresh, empty charts and puts the teams on the results chart.
  void MakeCharts();
  // Puts the results chart back in step with the teams' stored places.
  void PlaceResults();
  // Places the team into the slot by the rule of PlaceTeam; the slot is on its path.
  void PlaceInSlot(TTeamSeedObject* team, int slotNumber);
  // After a command changed where teams stand: the chart follows, and everyone is told.
  void TeamPlacesChanged();
  // After a command changed one player.
  void PlayerEdited(TPlayerPicksListObject* player);
  // Reads the picks chart back into the shown player's entries.
  void CommitPicks();
  // Emits ModifiedChanged when the pool's modified state differs from the last one told.
  void NoteModified();
  // Closes the pool's files; one that fails to close is told through FileError.
  void ClosePool();

  std::unique_ptr<TFFDataModule> FDataModule;
  std::unique_ptr<TBracketList> FResultsBracket;
  std::unique_ptr<TBracketList> FPicksBracket;
  std::unique_ptr<QUndoGroup> FUndoGroup;
  TPlayerPicksListObject* FShownPlayer = nullptr;
  bool FToldModified = false;
  QString FOpenError;
  int FDiscardedPlayers = 0;
  TPoolFileMarks FFileMarks;
};
