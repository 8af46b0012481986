#include "OpenPool.h"

#include <QDir>
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

constexpr int kMaxTeams = 64;

template <class TItem>
bool InList(const std::vector<std::unique_ptr<TItem>>& list, const TItem* item) {
  return std::any_of(list.begin(), list.end(), [item](const auto& p) { return p.get() == item; });
}

// The results chart holds only teams of the teams file.
TTeamSeedObject* TeamOf(const TBracketItem* slot) {
  return slot ? static_cast<TTeamSeedObject*>(slot->Team()) : nullptr;
}

}  // namespace

TOpenPool::TOpenPool(QObject* parent)
    : QObject(parent), FUndoGroup(std::make_unique<QUndoGroup>()) {}

TOpenPool::~TOpenPool() {
  ClearUndoStacks();
}

bool TOpenPool::IsOpen() const {
  return FDataModule && !FDataModule->Directory().isEmpty();
}

bool TOpenPool::Modified() const {
  return FDataModule && FDataModule->Modified();
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
  return options;
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
  emit Replaced();
  NoteModified();
}

bool TOpenPool::Save() {
  if (!FDataModule)
    return false;
  const bool whole = FDataModule->SavePool();
  if (whole) {
    FDiscardedPlayers = 0;
    // Our own save is no change behind our back.
    if (FFileMarks.IsTaken())
      FFileMarks.Take(FDataModule->Directory());
  }
  if (!FDataModule->SaveError().IsNull())
    emit FileError(FDataModule->SaveError().Text());
  emit Saved();
  // Told even when unchanged: an edit made behind the document's back may be what was saved.
  FToldModified = Modified();
  emit ModifiedChanged(FToldModified);
  return whole;
}

QString TOpenPool::SaveError() const {
  return FDataModule ? FDataModule->SaveError().Text() : QString();
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
  return stack;
}

TPlayerPicksListObject* TOpenPool::PlayerOf(const QUndoCommand* command) const {
  const auto* edit = dynamic_cast<const TPoolCommand*>(command);
  return edit ? edit->Player() : nullptr;
}

void TOpenPool::ClearUndoStacks() {
  for (QUndoStack* stack : FUndoGroup->stacks())
    stack->clear();
}

void TOpenPool::Run(QUndoCommand* command, QUndoStack* undo) {
  if (undo) {
    undo->push(command);
    return;
  }
  std::unique_ptr<QUndoCommand> once(command);
  once->redo();
}

// --- Results chart and teams ---------------------------------------------------------------

bool TOpenPool::PlaceTeam(TTeamSeedObject* team, int slotNumber, QUndoStack* undo) {
  if (!IsOpen() || !team || !InList(FDataModule->TeamsFile().List(), team))
    return false;
  const TBracketItem* target = FResultsBracket->Slot(slotNumber);
  // The first round is built while it is open, the later ones only once it is locked.
  if (!target || (target->Round() == 1) == Finalized())
    return false;
  if (target->Round() > 1) {
    const TWinnerPathItem* path = FResultsBracket->FindPath(*team);
    if (!path || path->Slot(target->Round()) != slotNumber)
      return false;
  }
  Run(new TTeamsCommand(*this, tr("Place Team"),
                        [this, team, slotNumber] { PlaceInSlot(team, slotNumber); }),
      undo);
  return true;
}

void TOpenPool::PlaceInSlot(TTeamSeedObject* team, int slotNumber) {
  TBracketList& chart = *FResultsBracket;
  const TBracketItem* target = chart.Slot(slotNumber);
  const int round = target->Round();
  if (round == 1) {
    team->SetRegion(target->Region());
    team->SetSeed(target->Seed());
    team->SetEliminated(false);
  }
  const TWinnerPathItem* path = chart.FindPath(*team);
  // Whoever else holds a slot the team is to fill keeps only the rounds before it; the team
  // itself, standing further along, ends at the target.
  for (int r = 1; r <= round; ++r) {
    TBracketItem* slot = chart.Slot(path->Slot(r));
    TTeamSeedObject* other = TeamOf(slot);
    if (!other || other == team)
      continue;
    other->SetRoundReached(std::min(other->RoundReached(), r - 1));
    if (r == 1) {
      other->SetRegion(0);
      other->SetSeed(0);
    }
    chart.ClearTeamFrom(slot);
  }
  team->SetRoundReached(round);
  FDataModule->TeamsFile().SetModified(true);
}

bool TOpenPool::AdvanceTeam(int slotNumber, QUndoStack* undo) {
  if (!IsOpen())
    return false;
  const TBracketItem* slot = FResultsBracket->Slot(slotNumber);
  TTeamSeedObject* team = TeamOf(slot);
  if (!team || slot->Round() >= 7 || !Finalized())
    return false;
  const TWinnerPathItem* path = FResultsBracket->FindPath(*team);
  if (!path)
    return false;
  const int next = path->Slot(slot->Round() + 1);
  Run(new TTeamsCommand(*this, tr("Advance Team"), [this, team, next] { PlaceInSlot(team, next); }),
      undo);
  return true;
}

bool TOpenPool::RemoveTeamFromSlot(int slotNumber, QUndoStack* undo) {
  if (!IsOpen())
    return false;
  const TBracketItem* slot = FResultsBracket->Slot(slotNumber);
  TTeamSeedObject* team = TeamOf(slot);
  if (!team || (slot->Round() == 1 && Finalized()))
    return false;
  const int round = slot->Round();
  Run(new TTeamsCommand(*this, tr("Remove Team from Bracket"),
                        [this, team, round] {
                          team->SetRoundReached(std::min(team->RoundReached(), round - 1));
                          if (round == 1) {
                            team->SetRegion(0);
                            team->SetSeed(0);
                          }
                          FDataModule->TeamsFile().SetModified(true);
                        }),
      undo);
  return true;
}

void TOpenPool::ClearChart(QUndoStack* undo) {
  if (!IsOpen())
    return;
  Run(new TTeamsCommand(*this, tr("Clear Brackets"),
                        [this] {
                          for (const auto& team : FDataModule->TeamsFile().List())
                            team->SetRoundReached(0);
                          FDataModule->TeamsFile().SetModified(true);
                        }),
      undo);
}

void TOpenPool::RecountTeams(QUndoStack* undo) {
  if (!IsOpen())
    return;
  // What the chart says, worked out first so that a recount that changes nothing is no edit.
  const TTeamsFile& teams = FDataModule->TeamsFile();
  const TBracketList& chart = *FResultsBracket;
  const bool finalized = Finalized();
  std::vector<std::pair<int32_t, bool>> counted(static_cast<size_t>(teams.Count()), {0, false});
  auto indexOf = [&teams](const TChartEntry* entry) {
    for (int i = 0; i < teams.Count(); ++i) {
      if (teams.Items(i) == entry)
        return i;
    }
    return -1;
  };
  for (int s = 0; s < chart.Count(); ++s) {
    const TBracketItem* slot = chart.Items(s);
    const int holder = indexOf(slot->Team());
    if (holder < 0)
      continue;
    if (finalized) {
      // MarkLosers: the holder is still in; every other team whose path runs through this
      // slot has lost.
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
  bool changes = false;
  for (int i = 0; i < teams.Count(); ++i) {
    const TTeamSeedObject* team = teams.Items(i);
    changes = changes || team->RoundReached() != counted[static_cast<size_t>(i)].first ||
              team->Eliminated() != counted[static_cast<size_t>(i)].second;
  }
  if (!changes)
    return;
  Run(new TTeamsCommand(*this, tr("Recount Teams"),
                        [this, counted] {
                          TTeamsFile& file = FDataModule->TeamsFile();
                          for (int i = 0; i < file.Count() && i < static_cast<int>(counted.size());
                               ++i) {
                            file.Items(i)->SetRoundReached(counted[static_cast<size_t>(i)].first);
                            file.Items(i)->SetEliminated(counted[static_cast<size_t>(i)].second);
                          }
                          file.SetModified(true);
                        }),
      undo);
}

TTeamSeedObject* TOpenPool::AddTeam(const QString& name, QUndoStack* undo, QString* reason) {
  if (!IsOpen())
    return nullptr;
  const TTeamsFile& teams = FDataModule->TeamsFile();
  QString why;
  if (teams.Count() >= kMaxTeams) {
    why = kTeamListFull;
  } else if (teams.FindTeam(name)) {
    why = kTeamNameTaken;
  } else {
    why = PoolNames::Unstorable(name, QStringLiteral("team name"), TTeamsFile::kNameWidth);
  }
  if (!why.isEmpty()) {
    if (reason)
      *reason = why;
    return nullptr;
  }
  auto team = std::make_unique<TTeamSeedObject>();
  team->SetTeamName(name);
  TTeamSeedObject* added = team.get();
  Run(new TTeamListCommand(*this, std::move(team)), undo);
  return added;
}

bool TOpenPool::RemoveTeam(TTeamSeedObject* team, QUndoStack* undo) {
  if (!IsOpen() || !team || !InList(FDataModule->TeamsFile().List(), team) ||
      team->RoundReached() > 0) {
    return false;
  }
  // Done for good, the team is freed: no command may keep pointing at it.
  if (!undo)
    ClearUndoStacks();
  Run(new TTeamListCommand(*this, team), undo);
  return true;
}

void TOpenPool::SetTieBreakerPoints(int32_t value, QUndoStack* undo) {
  if (!FDataModule || FDataModule->SystemFile().TieBreakerPoints() == value)
    return;
  Run(new TOptionsCommand(*this, tr("Tie Breaker Score"), Options(), value), undo);
}

// --- Players and the picks chart -----------------------------------------------------------

void TOpenPool::ShowPlayer(TPlayerPicksListObject* player) {
  if (!FPicksBracket)
    return;
  FShownPlayer =
      IsOpen() && InList(FDataModule->PlayerPicksFile().List(), player) ? player : nullptr;
  FPicksBracket->ClearAllSlots();
  if (FShownPlayer)
    FPicksBracket->PlaceTeams(*FShownPlayer);
  emit PicksChartChanged();
}

TPlayerPicksListObject* TOpenPool::AddPlayer(const QString& name, QUndoStack* undo,
                                             QString* reason) {
  if (!IsOpen())
    return nullptr;
  QString why;
  // Players are entered on a locked first round only.
  if (!Finalized()) {
    why = kNotLocked;
  } else if (TrimBlanksAndControls(name).isEmpty()) {
    why = kPlayerNameEmpty;
  } else if (FDataModule->PlayerPicksFile().FindPlayer(name)) {
    why = kPlayerNameTaken.arg(name);
  } else {
    why = PoolNames::Unstorable(name, QStringLiteral("player name"), TPlayerPicksFile::kNameWidth);
  }
  if (!why.isEmpty()) {
    if (reason)
      *reason = why;
    return nullptr;
  }
  auto player = TPlayerPicksListObject::CreateFromTeams(FDataModule->TeamsFile());
  player->SetPlayerName(name);
  TPlayerPicksListObject* added = player.get();
  Run(new TPlayerListCommand(*this, std::move(player)), undo);
  return added;
}

bool TOpenPool::DeletePlayer(TPlayerPicksListObject* player, QUndoStack* undo) {
  if (!IsOpen() || !player || !InList(FDataModule->PlayerPicksFile().List(), player))
    return false;
  if (!undo)
    ClearUndoStacks();
  Run(new TPlayerListCommand(*this, player), undo);
  return true;
}

void TOpenPool::ClearPlayer(TPlayerPicksListObject* player, QUndoStack* undo) {
  if (!IsOpen() || !player || !InList(FDataModule->PlayerPicksFile().List(), player))
    return;
  Run(new TPlayerCommand(*this, tr("Clear Brackets"), player,
                         [this, player] {
                           player->SetTieBreakerPoints(0);
                           player->LoadFromTeams(FDataModule->TeamsFile());
                         }),
      undo);
}

void TOpenPool::ImportPlayers(std::vector<TIncomingPlayer> players, QUndoStack* undo) {
  if (!IsOpen() || players.empty())
    return;
  Run(new TImportPlayersCommand(*this, std::move(players)), undo);
}

TOpenPool::TDropResult TOpenPool::DropPick(int sourceSlot, int targetSlot, QUndoStack* undo) {
  if (!IsOpen() || !FShownPlayer)
    return TDropResult::Nothing;
  const TBracketItem* source = FPicksBracket->Slot(sourceSlot);
  const TBracketItem* target = FPicksBracket->Slot(targetSlot);
  if (!source || !source->Team() || !target)
    return TDropResult::Nothing;
  TChartEntry* pick = source->Team();
  const TWinnerPathItem* path = FPicksBracket->FindPath(*pick);
  int round = 0;
  for (int r = 1; path && r <= TWinnerPathItem::kRounds; ++r) {
    if (path->Slot(r) == targetSlot)
      round = r;
  }
  if (round == 0)
    return TDropResult::InvalidPath;
  Run(new TPlayerCommand(*this, tr("Move Pick"), FShownPlayer,
                         [this, pick, path, round] {
                           TBracketList& chart = *FPicksBracket;
                           TBracketItem* onto = chart.Slot(path->Slot(round));
                           if (onto->Team())
                             chart.ClearTeamFrom(onto);
                           for (int r = round; r >= 1; --r)
                             chart.Slot(path->Slot(r))->SetTeam(pick);
                           CommitPicks();
                         }),
      undo);
  return TDropResult::Dropped;
}

void TOpenPool::CommitPicks() {
  if (!FPicksBracket || !FShownPlayer)
    return;
  // Slots come in round order, so each entry ends at the highest round it stands on.
  for (int i = 0; i < FPicksBracket->Count(); ++i) {
    const TBracketItem* slot = FPicksBracket->Items(i);
    if (TChartEntry* entry = slot->Team())
      entry->SetRoundReached(slot->Round());
  }
}

void TOpenPool::SetGuess(TPlayerPicksListObject* player, int32_t value, QUndoStack* undo) {
  if (!IsOpen() || !player || player->TieBreakerPoints() == value ||
      !InList(FDataModule->PlayerPicksFile().List(), player)) {
    return;
  }
  Run(new TPlayerCommand(*this, tr("Total Points"), player,
                         [player, value] { player->SetTieBreakerPoints(value); }),
      undo);
}

// --- State and settings --------------------------------------------------------------------

void TOpenPool::Lock() {
  if (!IsOpen())
    return;
  ClearUndoStacks();
  FDataModule->SystemFile().SetFinalized(true);
  emit LockChanged(true);
  NoteModified();
}

void TOpenPool::Unlock() {
  if (!IsOpen())
    return;
  // Nothing may point at the players once they are gone: not a command, not the picks chart,
  // not a window.
  ClearUndoStacks();
  ShowPlayer(nullptr);
  for (const auto& player : FDataModule->PlayerPicksFile().List())
    emit PlayerAboutToBeRemoved(player.get());
  FDataModule->SystemFile().SetFinalized(false);
  FDiscardedPlayers += FDataModule->PlayerPicksFile().Count();
  FDataModule->ClearPlayers();
  emit PlayersChanged();
  emit LockChanged(false);
  NoteModified();
}

void TOpenPool::SetOptions(const TPoolOptions& options, QUndoStack* undo) {
  if (!FDataModule || options == Options())
    return;
  Run(new TOptionsCommand(*this, tr("Pool Options"), options,
                          FDataModule->SystemFile().TieBreakerPoints()),
      undo);
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
