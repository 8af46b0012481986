#include "OpenPool.h"

#include <QDir>
#include <QHash>
#include <QUndoGroup>
#include <QUndoStack>
#include <algorithm>

#include "BracketList.h"
#include "FFDataModule.h"
#include "InOutError.h"
#include "PoolCommands.h"
#include "PoolDifferences.h"
#include "PoolNames.h"
#include "Text.h"

namespace {

// The item of the list that `item` points at, as the list holds it; null when it is not there.
template <class TItem>
TItem* InList(const std::vector<std::unique_ptr<TItem>>& list, const TItem* item) {
  const auto at =
      std::find_if(list.begin(), list.end(), [item](const auto& p) { return p.get() == item; });
  return item && at != list.end() ? at->get() : nullptr;
}

}  // namespace

TOpenPool::TOpenPool(QObject* parent)
    : QObject(parent), FUndoGroup(std::make_unique<QUndoGroup>()) {}

TOpenPool::~TOpenPool() {
  // Nobody is told of a pool that goes with its document.
  blockSignals(true);
  ClearUndoStacks();
}

bool TOpenPool::IsOpen() const {
  return FDataModule && !FDataModule->Directory().isEmpty();
}

bool TOpenPool::Modified() const {
  if (!IsOpen())
    return false;
  if (FChangedBeyondUndo)
    return true;
  const QList<QUndoStack*> stacks = FUndoGroup->stacks();
  return std::any_of(stacks.begin(), stacks.end(),
                     [](const QUndoStack* stack) { return !stack->isClean(); });
}

bool TOpenPool::Finalized() const {
  return FDataModule && FDataModule->Finalized();
}

TPoolOptions TOpenPool::Options() const {
  TPoolOptions options;
  if (!FDataModule)
    return options;
  const TSystemFile& system = FDataModule->SystemFile();
  options.PoolName = system.PoolName();
  for (int i = 0; i < 4; ++i)
    options.BracketNames[static_cast<size_t>(i)] = system.BracketName(i + 1);
  for (int k = 2; k <= 7; ++k)
    options.RoundPoints[static_cast<size_t>(k - 2)] = system.RoundPoints(k);
  options.ScoringRule = FDataModule->ScoringRule();
  options.Prizes = FDataModule->Prizes();
  return options;
}

TTeamSeedObject* TOpenPool::OwnTeam(const TTeamSeedObject* team) const {
  return IsOpen() ? InList(FDataModule->TeamsFile().List(), team) : nullptr;
}

TPlayerPicksListObject* TOpenPool::OwnPlayer(const TPlayerPicksListObject* player) const {
  return IsOpen() ? InList(FDataModule->PlayerPicksFile().List(), player) : nullptr;
}

// --- The pool as a whole -------------------------------------------------------------------

bool TOpenPool::MakePoolFolder(const QString& appDirectory, const QString& dataDirectory,
                               const QString& poolName, QString* reason) {
  try {
    TFFDataModule::CreatePoolFolder(QDir(appDirectory).filePath(dataDirectory), poolName);
    return true;
  } catch (const EInOutError& error) {
    if (reason)
      *reason = error.Reason();
    return false;
  }
}

void TOpenPool::LetGo() {
  emit AboutToBeReplaced();
  ClearUndoStacks();
  FShownPlayer = nullptr;
  FResultsBracket.reset();
  FPicksBracket.reset();
}

int TOpenPool::EmptyFirstRoundLines() const {
  if (!FResultsBracket)
    return TBracketList::kPathCount;
  int empty = 0;
  for (int line = 1; line <= TBracketList::kPathCount; ++line) {
    if (!FResultsBracket->Slot(line)->Team())
      ++empty;
  }
  return empty;
}

bool TOpenPool::GamesPlayed() const {
  if (!FResultsBracket)
    return false;
  // The lines after the first round hold the games' winners.
  for (int line = TBracketList::kPathCount + 1; line <= TBracketList::kSlotCount; ++line) {
    if (FResultsBracket->Slot(line)->Team())
      return true;
  }
  return false;
}

bool TOpenPool::OpenPool(const QString& directory, bool create) {
  ClosePool();
  LetGo();
  FDataModule = std::make_unique<TFFDataModule>();
  FDataModule->SetDirectory(directory);
  bool opened = true;
  FOpenError.clear();
  try {
    if (create) {
      FDataModule->CreatePool();
    } else {
      FDataModule->OpenPool();
    }
  } catch (const EInOutError& error) {
    opened = false;
    FOpenError = error.Reason();
    FDataModule->SetDirectory(QString());
  }
  // What the files hold now is what this pool read.
  if (opened)
    FFileMarks.Take(directory);
  TakeOver();
  return opened;
}

void TOpenPool::SetDataModule(std::unique_ptr<TFFDataModule> dataModule) {
  LetGo();
  FDataModule = std::move(dataModule);
  TakeOver();
}

void TOpenPool::TakeOver() {
  FDiscardedPlayers = 0;
  MakeCharts();
  FChangedBeyondUndo = IsOpen() && FDataModule->Modified();
  if (IsOpen() && RecountTeams()) {
    FDataModule->TeamsFile().SetModified(true);
    FChangedBeyondUndo = true;
  }
  FToldModified = Modified();
  emit Replaced();
  emit ModifiedChanged(FToldModified);
  emit LockChanged(Finalized());
}

QString TOpenPool::OpenNotice() const {
  return FDataModule ? FDataModule->OpenNotice() : QString();
}

void TOpenPool::ClosePool() {
  if (!FDataModule)
    return;
  for (const QString& failure : FDataModule->ClosePool())
    emit FileError(failure);
}

void TOpenPool::Close() {
  ClosePool();
  LetGo();
  FFileMarks.Clear();
  FDataModule.reset();
  FChangedBeyondUndo = false;
  emit Replaced();
  NoteModified();
}

bool TOpenPool::Save() {
  if (!IsOpen())
    return false;
  const bool whole = FDataModule->SavePool();
  if (whole) {
    FDiscardedPlayers = 0;
    // Our own save is no change behind our back.
    if (FFileMarks.IsTaken())
      FFileMarks.Take(FDataModule->Directory());
    MarkClean();
  }
  if (!FDataModule->SaveError().IsNull())
    emit FileError(FDataModule->SaveError().Text());
  emit Saved();
  NoteModified();
  return whole;
}

QString TOpenPool::SaveError() const {
  return FDataModule ? FDataModule->SaveError().Text() : QString();
}

void TOpenPool::MarkClean() {
  FChangedBeyondUndo = false;
  for (QUndoStack* stack : FUndoGroup->stacks())
    stack->setClean();
}

// --- The files on disk ----------------------------------------------------------------------

QStringList TOpenPool::DiskChanges(QString* unreadable) {
  if (!IsOpen() || !FFileMarks.Changed())
    return {};
  TFFDataModule onDisk;
  onDisk.SetDirectory(FDataModule->Directory());
  try {
    onDisk.OpenPool(TFFDataModule::TOpenMode::ReadOnly);
  } catch (const EInOutError& error) {
    *unreadable = error.Reason();
    return {};
  }
  const QStringList differences = PoolDifferences(*FDataModule, onDisk);
  onDisk.ClosePool();
  // Changed to hold just what is here: nothing to choose between.
  if (differences.isEmpty())
    KeepOwnVersion();
  return differences;
}

void TOpenPool::KeepOwnVersion() {
  if (IsOpen())
    FFileMarks.Take(FDataModule->Directory());
}

bool TOpenPool::Reload() {
  if (!IsOpen())
    return false;
  // A copy: the data module that holds the name is let go on the way.
  const QString directory = FDataModule->Directory();
  return OpenPool(directory, false);
}

void TOpenPool::MakeCharts() {
  FResultsBracket = std::make_unique<TBracketList>();
  FPicksBracket = std::make_unique<TBracketList>();
  PlaceResults();
}

void TOpenPool::PlaceResults() {
  if (!FResultsBracket)
    return;
  FResultsBracket->ClearAllSlots();
  if (IsOpen())
    FResultsBracket->PlaceTeams(FDataModule->TeamsFile());
}

bool TOpenPool::RecountTeams() {
  TTeamsFile& teams = FDataModule->TeamsFile();
  const TBracketList& chart = *FResultsBracket;
  const bool finalized = Finalized();
  QHash<const TChartEntry*, int> indexOf;
  for (int i = 0; i < teams.Count(); ++i)
    indexOf.insert(teams.Items(i), i);
  std::vector<std::pair<int32_t, bool>> counted(static_cast<size_t>(teams.Count()), {0, false});
  // Slots in slot order: a team's later slots come after its earlier ones.
  for (int s = 0; s < chart.Count(); ++s) {
    const TBracketItem* slot = chart.Items(s);
    const int holder = indexOf.value(slot->Team(), -1);
    if (holder < 0)
      continue;
    if (finalized) {
      // The holder is still in; every other team whose path runs through this slot has lost.
      counted[static_cast<size_t>(holder)].second = false;
      for (int i = 0; i < teams.Count(); ++i) {
        if (i == holder)
          continue;
        const TWinnerPathItem* path = chart.FindPath(*teams.Items(i));
        if (path && path->Slot(slot->Round()) == s + 1)
          counted[static_cast<size_t>(i)].second = true;
      }
    }
    ++counted[static_cast<size_t>(holder)].first;
  }
  bool changed = false;
  for (int i = 0; i < teams.Count(); ++i) {
    TTeamSeedObject* team = teams.Items(i);
    const auto& [roundReached, eliminated] = counted[static_cast<size_t>(i)];
    changed = changed || team->RoundReached() != roundReached || team->Eliminated() != eliminated;
    team->SetRoundReached(roundReached);
    team->SetEliminated(eliminated);
  }
  if (changed)
    PlaceResults();
  return changed;
}

void TOpenPool::NoteModified() {
  const bool modified = Modified();
  if (modified == FToldModified)
    return;
  FToldModified = modified;
  emit ModifiedChanged(modified);
}

// --- Undo ----------------------------------------------------------------------------------

QUndoStack* TOpenPool::CreateUndoStack(QObject* owner) {
  auto* stack = new QUndoStack(owner);
  FUndoGroup->addStack(stack);
  // The owner going (a window closed for good, a server stopped) takes its stack along: what
  // the stack held stays in the pool, no longer undoable. The stack is still whole when its
  // owner says so.
  if (owner) {
    connect(owner, &QObject::destroyed, this,
            [this, stack] { FChangedBeyondUndo = FChangedBeyondUndo || !stack->isClean(); });
  }
  connect(stack, &QUndoStack::cleanChanged, this, [this](bool clean) {
    // Back where the files are: they need no writing.
    if (clean && FDataModule && !Modified()) {
      FDataModule->SystemFile().SetModified(false);
      FDataModule->TeamsFile().SetModified(false);
      FDataModule->PlayerPicksFile().SetModified(false);
    }
    NoteModified();
  });
  return stack;
}

const TPlayerPicksListObject* TOpenPool::PlayerOf(const QUndoCommand* command) const {
  const auto* edit = dynamic_cast<const TPoolCommand*>(command);
  return edit ? edit->Player() : nullptr;
}

void TOpenPool::DropSteps(QUndoStack* undo, int count) {
  if (!undo || count <= 0)
    return;
  for (int i = 0; i < count; ++i)
    undo->undo();
  // A push drops every step after the current one, and an obsolete command is not kept.
  auto* nothing = new QUndoCommand;
  nothing->setObsolete(true);
  undo->push(nothing);
}

void TOpenPool::ClearUndoStacks() {
  for (QUndoStack* stack : FUndoGroup->stacks()) {
    FChangedBeyondUndo = FChangedBeyondUndo || !stack->isClean();
    stack->clear();
  }
}

void TOpenPool::Run(QUndoCommand* command, QUndoStack* undo) {
  if (undo) {
    undo->push(command);
    return;
  }
  FChangedBeyondUndo = true;
  std::unique_ptr<QUndoCommand> once(command);
  once->redo();
}

// --- State and settings --------------------------------------------------------------------

void TOpenPool::Lock() {
  if (!IsOpen())
    return;
  ClearUndoStacks();
  FChangedBeyondUndo = true;
  FDataModule->SystemFile().SetFinalized(true);
  // The losers of games already on the chart (kept there while the first round was open).
  if (RecountTeams())
    FDataModule->TeamsFile().SetModified(true);
  emit LockChanged(true);
  NoteModified();
}

void TOpenPool::Unlock() {
  if (!IsOpen())
    return;
  // Nothing may point at the players once they are gone: not a command, not the picks chart,
  // not a window.
  ClearUndoStacks();
  FChangedBeyondUndo = true;
  ShowPlayer(nullptr);
  const int players = FDataModule->PlayerPicksFile().Count();
  if (players > 0)
    emit PlayersAboutToBeRemoved(0, players);
  FDataModule->SystemFile().SetFinalized(false);
  FDiscardedPlayers += players;
  FDataModule->ClearPlayers();
  if (players > 0)
    emit PlayersRemoved(0, players);
  if (RecountTeams())
    FDataModule->TeamsFile().SetModified(true);
  emit LockChanged(false);
  NoteModified();
}

void TOpenPool::SetInvited(const QStringList& names, QUndoStack* undo) {
  if (!IsOpen() || names == FDataModule->Invited())
    return;
  Run(new TInvitedCommand(*this, names), undo);
}

TEditResult TOpenPool::SetOptions(const TPoolOptions& options, QUndoStack* undo) {
  if (!IsOpen())
    return {};
  QString why = PoolNames::Unstorable(options.PoolName, QStringLiteral("pool name"),
                                      TSystemFile::kPoolNameWidth);
  for (const QString& name : options.BracketNames) {
    if (why.isEmpty()) {
      why = PoolNames::Unstorable(name, QStringLiteral("bracket name"),
                                  TSystemFile::kBracketNameWidth);
    }
  }
  if (!why.isEmpty())
    return TEditResult::Refused(AsSentence(why));
  for (const int32_t points : options.RoundPoints) {
    if (points < 0 || points > kMaxPoints)
      return TEditResult::Refused(kRoundPointsRange);
  }
  if (const QString refusal = Prizes::Refusal(options.Prizes); !refusal.isEmpty())
    return TEditResult::Refused(refusal);
  if (options == Options())
    return {};
  Run(new TOptionsCommand(*this, tr("Pool Options"), options,
                          FDataModule->SystemFile().TieBreakerPoints()),
      undo);
  return TEditResult::Done();
}

TEditResult TOpenPool::SetPrizes(const Prizes::TPrizes& prizes, QUndoStack* undo) {
  TPoolOptions options = Options();
  options.Prizes = prizes;
  return SetOptions(options, undo);
}

// --- What the commands call after their edits ----------------------------------------------

void TOpenPool::TeamPlacesChanged() {
  PlaceResults();
  emit ChartChanged();
  NoteModified();
}

void TOpenPool::PlayerEdited(TPlayerPicksListObject* player) {
  if (player == FShownPlayer)
    ShowPlayer(player);
  emit PlayerChanged(player);
  NoteModified();
}
