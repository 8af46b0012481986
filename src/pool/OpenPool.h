#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "PlayerPicksFile.h"
#include "PoolFileMarks.h"
#include "Prizes.h"
#include "ScoringFile.h"

class QUndoCommand;
class QUndoGroup;
class QUndoStack;
class TBracketList;
class TFFDataModule;
class TTeamSeedObject;
class TWinnerPathItem;

// What the options window edits: the pool's name, its four bracket names, the points of a
// correct pick in each of the six scoring rounds, the scoring rule and the prizes.
struct TPoolOptions {
  QString PoolName;
  std::array<QString, 4> BracketNames;   // brackets 1..4 at index 0..3
  std::array<int32_t, 6> RoundPoints{};  // chart rounds 2..7 at index 0..5
  TScoringRule ScoringRule = ScoringRules::kDefault;
  Prizes::TPrizes Prizes;

  bool operator==(const TPoolOptions& other) const {
    return PoolName == other.PoolName && BracketNames == other.BracketNames &&
           RoundPoints == other.RoundPoints && ScoringRule == other.ScoringRule &&
           Prizes == other.Prizes;
  }
};

// A player brought in from outside the program, as from a picks sheet: a new player, or the
// new guess and picks for the pool's player it replaces.
struct TIncomingPlayer {
  std::unique_ptr<TPlayerPicksListObject> Player;
  TPlayerPicksListObject* Replaces = nullptr;
};

// A tournament's field as a sheet gives it: the four regions' names, in their places on the
// chart (1 and 2 meet in one semifinal, 3 and 4 in the other), and the 64 teams on them.
struct TFieldTeam {
  QString Name;
  int32_t Region = 0;
  int32_t Seed = 0;
};
struct TField {
  std::array<QString, 4> Regions;
  std::vector<TFieldTeam> Teams;
};

// What came of an edit operation: made, refused with the reason to show the person who asked
// for it, or neither (no team on the line, no line under the pointer), when nothing changed and
// there is nothing to say.
struct TEditResult {
  bool Made = false;
  QString Refusal;

  static TEditResult Done() { return {true, QString()}; }
  static TEditResult Refused(const QString& reason) { return {false, reason}; }
  explicit operator bool() const { return Made; }
};

// The open pool's document. It owns the data module and both charts and is the only way the
// windows change a pool: every edit goes through one of the operations below, which keeps
// the rules of the pool, marks the file it changed as modified, tells everyone what changed
// and can be undone. An edit the pool's rules or state forbid changes nothing and returns
// why, in the words the windows show.
//
// Reading: DataModule(), ResultsBracket() and PicksBracket() are views to look at, never to
// change. A window never keeps those pointers (nor slots or entries) past
// AboutToBeReplaced(); it names the teams and players it wants changed to the operations,
// which find them in the pool.
//
// The results chart always shows the teams as they stand, and who has lost (Eliminated)
// always follows it: every operation that moves a team puts the chart back in step with the
// teams' stored places and works out the losers again before it signals, so nobody else ever
// needs to. The picks chart shows one player at a time, the shown player (ShowPlayer); the
// pick operations work on that player.
//
// Undo: each edit operation takes an optional undo stack. Given one, the edit is pushed on
// it as a command (which does the edit at once) and Ctrl+Z in that window takes it back;
// without one the edit is done and cannot be undone. Each editing window gets its own stack
// from CreateUndoStack; all stacks live in the document's undo group and are emptied when the
// pool is replaced, locked or unlocked.
//
// Modified: the pool is modified while any stack is away from the place it had at the last
// save (or the open), or while a change is in the pool that no stack can take back (an edit
// made without a stack, the lock, a stack emptied with its changes still in). Undoing every
// window back to the last save leaves the pool unmodified, as it is on disk.
class TOpenPool : public QObject {
  Q_OBJECT

 public:
  // A total of points as the boxes take it, guessed or actual, and a round's points: up to
  // three digits.
  static constexpr int kMaxPoints = 999;

  // Why the player list refuses a player, worded as a picks sheet's problems are.
  static inline const QString kNotLocked = QStringLiteral(
      "The first round of this pool is not locked yet. Players can be added once it is locked.");
  static inline const QString kPlayerNameEmpty = QStringLiteral("the player name is empty");
  static inline const QString kPlayerNameTaken =
      QStringLiteral("the pool already has a player named \"%1\"");
  // Asked before picks are entered by hand or from a sheet once games have been played: an
  // entry handed in before the first game may still be typed in.
  static inline const QString kGamesPlayedQuestion =
      QStringLiteral("Games have been played. Enter picks made before the first game anyway?");
  // A player added by hand with no name.
  static inline const QString kNameMissing = QStringLiteral("You must enter a player name");
  // Why the team list refuses a team.
  static inline const QString kTeamListFull = QStringLiteral(
      "The team list already contains 64 teams. You must remove a team before adding more");
  static inline const QString kTeamNameTaken =
      QStringLiteral("This team is already placed in the list");
  static inline const QString kRemovePlaced = QStringLiteral(
      "You cannot remove a team already placed in brackets. Right click directly on team name on "
      "bracket to remove from bracket display, and then use the remove button  to remove from "
      "list.");
  static inline const QString kNotInList = QStringLiteral("Entered team was not found in list");
  // Why a team is not placed, moved on or taken off the results chart.
  static inline const QString kFirstRoundStarted =
      QStringLiteral("First round cannot be built after the Pool has been started.");
  static inline const QString kAlreadyPlaced =
      QStringLiteral("Team has already been placed in a bracket.");
  static inline const QString kNotFinalized = QStringLiteral(
      "You cannot move a team past the 1st round until all brackets are built and finalized.");
  static inline const QString kCannotRemoveFirstRound = QStringLiteral(
      "You cannot remove a team from the 1st round after the brackets have been finalized.  See "
      "menu selection Tools | Unlock 1st Round");
  // A team, on the results chart or a player's, dropped where its path does not go.
  static inline const QString kInvalidPath =
      QStringLiteral("Team has been dropped on an invalid chart path.");
  // Why a total of points is refused.
  static inline const QString kTieBreakerRange = QStringLiteral(
      "Please enter the total points of the championship game as a whole number from 0 to 999.");
  static inline const QString kGuessRange =
      QStringLiteral("The tie-breaker guess must be a whole number from 0 to 999.");
  static inline const QString kRoundPointsRange =
      QStringLiteral("The points of a round must be a whole number from 0 to 999.");

  explicit TOpenPool(QObject* parent = nullptr);
  ~TOpenPool() override;

  // --- Reading ---------------------------------------------------------------------------

  // The data module; null before the first pool was opened and after Close.
  const TFFDataModule* DataModule() const { return FDataModule.get(); }
  // The results chart (the teams) and the picks chart (the shown player); null while no data
  // module is there. Slots stay valid until AboutToBeReplaced.
  const TBracketList* ResultsBracket() const { return FResultsBracket.get(); }
  const TBracketList* PicksBracket() const { return FPicksBracket.get(); }
  // A pool is open when its files were opened or created (a failed open leaves none).
  bool IsOpen() const;
  // Whether the pool holds changes its files do not (see the class comment).
  bool Modified() const;
  bool Finalized() const;
  // The player on the picks chart, or null.
  const TPlayerPicksListObject* ShownPlayer() const { return FShownPlayer; }
  TPoolOptions Options() const;
  // The entry fee and the split of the pot; none set for a pool that pays no prizes.
  Prizes::TPrizes Prizes() const { return Options().Prizes; }
  // How many of the 64 first-round lines of the results chart hold no team.
  int EmptyFirstRoundLines() const;
  // Whether the tournament has begun: a game of the results chart has its winner. From then
  // on picks made now could be made in hindsight.
  bool GamesPlayed() const;

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
  // is false. Either way both charts are new and empty of the old pool. Who has lost is
  // worked out from the chart as a pool comes in; files that said otherwise (written while
  // winners were still being advanced) leave the pool modified, to be written right.
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
  // Takes back the last `count` steps of `undo` for good: they are not offered to be made
  // again (entries whose save failed, the first click of a double-click).
  static void DropSteps(QUndoStack* undo, int count);
  // The player an edit of the player list or of one player's picks changes, while it is in the
  // list or held by the edit to be put back; null for any other edit.
  const TPlayerPicksListObject* PlayerOf(const QUndoCommand* command) const;

  // --- Results chart and teams (the bracket builder) -------------------------------------
  // Slot numbers are those of the chart, 1..127; any other number names no line.

  // Puts `team` into the slot and fills its winner path up to it: (a) if the team stands
  // further along, it is taken off every slot after this one; (b) any other team on one of
  // these slots loses that slot and every later one, its round reached becoming the slot's
  // round minus 1 (on a first-round line its region and seed also become 0); (c) the team
  // stands on all of them, its round reached the slot's round. On a first-round slot the team
  // first takes the line's region and seed. Refused while the first round is locked for a
  // first-round line and open for a later one, for a first-round line when the team stands on
  // the chart already, and for a later line off the team's path; nothing for no such line or
  // a team not in the list.
  TEditResult PlaceTeam(const TTeamSeedObject* team, int slotNumber, QUndoStack* undo = nullptr);
  // Moves the team in the slot on to the next slot of its winner path (a double-click).
  // Refused while the first round is open, wherever the click was; nothing for no line, an
  // empty one or the champion's.
  TEditResult AdvanceTeam(int slotNumber, QUndoStack* undo = nullptr);
  // Takes the team in the slot off it and every later slot (a right-click): its round
  // reached becomes the slot's round minus 1, and on a first-round line its region and seed
  // become 0. Refused for a first-round line of a locked pool, taken or not; nothing for no
  // line or an empty one.
  TEditResult RemoveTeamFromSlot(int slotNumber, QUndoStack* undo = nullptr);
  // Empties the chart: every team's round reached becomes 0, and nobody has lost; region and
  // seed stay. An edit even when the chart was empty.
  void ClearChart(QUndoStack* undo = nullptr);
  // Appends a team of this name, not placed. Null, with nothing changed and the reason in
  // `reason`, when the list holds 64 teams already, a team of that name (trimmed, case
  // counting) is there, or the pool cannot store the name (PoolNames).
  const TTeamSeedObject* AddTeam(const QString& name, QUndoStack* undo = nullptr,
                                 QString* reason = nullptr);
  // Takes the team of exactly this name out of the list. Refused when the name (trimmed)
  // is a team on the chart, which must be taken off first, and when no team has this name.
  TEditResult RemoveTeam(const QString& name, QUndoStack* undo = nullptr);
  // Makes the team list and the first round the field's, and the bracket names its regions',
  // as one step: teams of the list not in the field leave it, its own teams come in on their
  // lines. Refused once the first round is locked; nothing when the pool holds the field
  // already. The field's names are storable and distinct (FieldSheet checked them).
  TEditResult ImportField(const TField& field, QUndoStack* undo = nullptr);
  // Gives the team named `oldName` (PoolNames::Key: case and blanks aside) the name
  // `newName` (PoolNames::Normal), on the chart and in every player's picks alike. Refused
  // for no such team, a name another team has (the same key) and a name the pool cannot
  // store; nothing when the name stays as it is.
  TEditResult RenameTeam(const QString& oldName, const QString& newName,
                         QUndoStack* undo = nullptr);
  // The team of the list whose name is the same as `name` by PoolNames::Key, or null.
  const TTeamSeedObject* FindSameTeam(const QString& name) const;
  // The actual total points of the championship game, 0 to kMaxPoints.
  TEditResult SetTieBreakerPoints(int32_t value, QUndoStack* undo = nullptr);

  // --- Players and the picks chart (the player entry window) -----------------------------

  // Puts the player's picks on the picks chart (null, or a player not in the list: an empty
  // chart). Not an edit.
  void ShowPlayer(const TPlayerPicksListObject* player);
  // Appends a player of this name (kept exactly as given), every entry taken from the team
  // list at round 1, guess 0. Null, with nothing changed and the reason in `reason`, while the
  // first round is open (players come after it), for a name that is empty, another player's
  // (PoolNames::Key: a look-alike is refused with the name the pool has) or that the pool
  // cannot store (PoolNames).
  const TPlayerPicksListObject* AddPlayer(const QString& name, QUndoStack* undo = nullptr,
                                          QString* reason = nullptr);
  // Takes the player out of the list (off the picks chart first, if shown). False when the
  // player is not in the list.
  bool DeletePlayer(const TPlayerPicksListObject* player, QUndoStack* undo = nullptr);
  // Clear Brackets for one player: guess 0 and every entry afresh from the team list at
  // round 1. The picks chart follows when the player is shown.
  void ClearPlayer(const TPlayerPicksListObject* player, QUndoStack* undo = nullptr);
  // Drags the pick in `sourceSlot` of the shown player's chart onto `targetSlot`: whatever
  // stands on the target is taken off it and every later round, and the dragged team fills
  // its path from its first-round line up to the target (autofill). Dropping a team on a
  // line it holds takes it out of every later round. Every entry's round reached then
  // follows the chart. Refused for a target off the team's path; nothing with no player
  // shown, no pick at the source or no target line.
  TEditResult DropPick(int sourceSlot, int targetSlot, QUndoStack* undo = nullptr);
  // Moves the pick in the slot of the shown player's chart one line further along its path
  // (a double-click), as a drop there would. Nothing for no line, an empty one, the
  // champion's, a pick on a line it does not stand on as its own, or one that stands on the
  // next line already (its later lines stay).
  TEditResult AdvancePick(int slotNumber, QUndoStack* undo = nullptr);
  // Brings players in as one edit: new ones at the end of the list, in order; a replacement
  // gives the pool's player the guess and picks of its new version, and the player keeps its
  // name and place. Nothing for an empty list. `step` names the step on the undo stack
  // ("Import Players" when empty).
  void ImportPlayers(std::vector<TIncomingPlayer> players, QUndoStack* undo = nullptr,
                     const QString& step = QString());
  // The player's tie-breaker guess, 0 to kMaxPoints; an edit only when it changes.
  TEditResult SetGuess(const TPlayerPicksListObject* player, int32_t value,
                       QUndoStack* undo = nullptr);

  // --- State and settings ----------------------------------------------------------------

  // Locks the first round; teams and players stay as they are. Empties the undo stacks.
  void Lock();
  // Unlocks the first round and discards every player (the next save writes the emptied
  // player file); nobody has lost while the first round is open. Empties the undo stacks and
  // the picks chart first.
  void Unlock();
  // Makes `names` the list of the people invited (InvitedFile: kept as they come, checked
  // there); an edit only when the list changes.
  void SetInvited(const QStringList& names, QUndoStack* undo = nullptr);
  // Stores the options; an edit only when a value changes. Refused, with nothing stored, for
  // a name the pool cannot keep in its field, for round points outside 0 to kMaxPoints and
  // for prizes the pool cannot pay (Prizes::Refusal).
  TEditResult SetOptions(const TPoolOptions& options, QUndoStack* undo = nullptr);
  // The options with other prizes (TPrizes{} for none), the same one edit.
  TEditResult SetPrizes(const Prizes::TPrizes& prizes, QUndoStack* undo = nullptr);

 signals:
  // Before the data module or the charts are replaced or let go: drop every pointer.
  void AboutToBeReplaced();
  // Another pool (or none) is in place; read everything afresh.
  void Replaced();
  // A team came into the list at `index` (added, or put back).
  void TeamInserted(int index);
  // The team at `index` left the list.
  void TeamRemoved(int index);
  // The team at `index` has a new name (on the chart and in the players' picks too).
  void TeamRenamed(int index);
  // The teams' places changed; the results chart shows them.
  void ChartChanged();
  // Players came into the list at `first` to `first + count - 1` (added, imported, put back).
  void PlayersInserted(int first, int count);
  // The players at `first` to `first + count - 1` are about to leave the list (deleted,
  // undone, discarded by the unlock), and have left it.
  void PlayersAboutToBeRemoved(int first, int count);
  void PlayersRemoved(int first, int count);
  // One player's picks or guess changed.
  void PlayerChanged(const TPlayerPicksListObject* player);
  // The picks chart shows something else (another player, or changed picks).
  void PicksChartChanged();
  // The pool name, bracket names or point values changed.
  void OptionsChanged();
  // The list of the invited changed.
  void InvitedChanged();
  // The actual tie-breaker total changed.
  void TieBreakerChanged();
  // The first round was locked or unlocked.
  void LockChanged(bool finalized);
  // The pool became modified, or unmodified (saved, undone back to the save, another pool).
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
  friend class TRenameTeamCommand;
  friend class TInvitedCommand;

  // The data module to change, for the operations and their commands.
  TFFDataModule& Data() const { return *FDataModule; }
  // Does the command now: pushed on `undo`, or done once and thrown away, a change no stack
  // can take back.
  void Run(QUndoCommand* command, QUndoStack* undo);
  // Empties every stack. Changes they held stay in the pool, no longer undoable.
  void ClearUndoStacks();
  // Tells everyone the pool is going and lets go of the charts and the commands.
  void LetGo();
  // Makes the charts for the data module now in place, works out who has lost and tells
  // everyone.
  void TakeOver();
  // Makes fresh, empty charts and puts the teams on the results chart.
  void MakeCharts();
  // Puts the results chart back in step with the teams' stored places.
  void PlaceResults();
  // Works every team's round reached out from the results chart and, while the first round
  // is locked, who has lost; unlocked, nobody has. True when a value changed.
  bool RecountTeams();
  // The pool's own team or player, found in its list; null when it is not there.
  TTeamSeedObject* OwnTeam(const TTeamSeedObject* team) const;
  TPlayerPicksListObject* OwnPlayer(const TPlayerPicksListObject* player) const;
  // Places the team into the slot by the rule of PlaceTeam; the slot is on its path.
  void PlaceInSlot(TTeamSeedObject* team, int slotNumber);
  // Runs a drop of the shown player's pick onto a line of its path, `round` of it.
  void MovePick(TChartEntry* pick, const TWinnerPathItem* path, int round, QUndoStack* undo);
  // After a command changed where teams stand: the chart follows, and everyone is told.
  void TeamPlacesChanged();
  // After a command renamed a team: the list, both charts and the shown player follow.
  void TeamNameChanged(const TTeamSeedObject* team);
  // After a command changed one player.
  void PlayerEdited(TPlayerPicksListObject* player);
  // Takes players out of the list, telling of each run of neighbours at once; they are
  // handed back in the order given.
  std::vector<std::unique_ptr<TPlayerPicksListObject>> TakePlayersOut(
      const std::vector<TPlayerPicksListObject*>& players);
  // Reads the picks chart back into the shown player's entries.
  void CommitPicks();
  // Emits ModifiedChanged when the pool's modified state differs from the last one told.
  void NoteModified();
  // Closes the pool's files; one that fails to close is told through FileError.
  void ClosePool();
  // The files hold what the pool holds now: every stack's place is the saved one.
  void MarkClean();

  std::unique_ptr<TFFDataModule> FDataModule;
  std::unique_ptr<TBracketList> FResultsBracket;
  std::unique_ptr<TBracketList> FPicksBracket;
  std::unique_ptr<QUndoGroup> FUndoGroup;
  TPlayerPicksListObject* FShownPlayer = nullptr;
  // A change in the pool that no stack can take back, since the last save or open.
  bool FChangedBeyondUndo = false;
  bool FToldModified = false;
  QString FOpenError;
  int FDiscardedPlayers = 0;
  TPoolFileMarks FFileMarks;
};
