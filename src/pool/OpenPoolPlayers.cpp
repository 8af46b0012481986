// The document's edits of the players, their picks on the picks chart and their guesses.
#include "OpenPool.h"

#include <QUndoStack>

#include "BracketList.h"
#include "FFDataModule.h"
#include "PoolCommands.h"
#include "PoolNames.h"
#include "Text.h"

// --- Players and the picks chart -----------------------------------------------------------

void TOpenPool::ShowPlayer(const TPlayerPicksListObject* player) {
  if (!FPicksBracket)
    return;
  FShownPlayer = OwnPlayer(player);
  FPicksBracket->ClearAllSlots();
  if (FShownPlayer)
    FPicksBracket->PlaceTeams(*FShownPlayer);
  emit PicksChartChanged();
}

const TPlayerPicksListObject* TOpenPool::AddPlayer(const QString& name, QUndoStack* undo,
                                                   QString* reason) {
  if (!IsOpen())
    return nullptr;
  QString why;
  // Players are entered on a locked first round only.
  if (!Finalized()) {
    why = kNotLocked;
  } else if (PoolNames::Normal(name).isEmpty()) {
    why = kNameMissing;
  } else if (const TPlayerPicksListObject* same =
                 FDataModule->PlayerPicksFile().FindSamePlayer(name)) {
    why = kPlayerNameTaken.arg(PoolNames::Quoted(same->PlayerName()));
  } else {
    why = PoolNames::Unstorable(name, QStringLiteral("player name"), TPlayerPicksFile::kNameWidth);
  }
  if (!why.isEmpty()) {
    if (reason)
      *reason = AsSentence(why);
    return nullptr;
  }
  auto player = TPlayerPicksListObject::CreateFromTeams(FDataModule->TeamsFile());
  player->SetPlayerName(name);
  const TPlayerPicksListObject* added = player.get();
  Run(new TPlayerListCommand(*this, std::move(player)), undo);
  return added;
}

bool TOpenPool::DeletePlayer(const TPlayerPicksListObject* player, QUndoStack* undo) {
  TPlayerPicksListObject* own = OwnPlayer(player);
  if (!own)
    return false;
  if (!undo)
    ClearUndoStacks();
  Run(new TPlayerListCommand(*this, own), undo);
  return true;
}

void TOpenPool::ClearPlayer(const TPlayerPicksListObject* player, QUndoStack* undo) {
  TPlayerPicksListObject* own = OwnPlayer(player);
  if (!own)
    return;
  Run(new TPlayerCommand(*this, tr("Clear Brackets"), own,
                         [this, own] {
                           own->SetTieBreakerPoints(0);
                           own->LoadFromTeams(FDataModule->TeamsFile());
                         }),
      undo);
}

void TOpenPool::ImportPlayers(std::vector<TIncomingPlayer> players, QUndoStack* undo,
                              const QString& step) {
  if (!IsOpen() || players.empty())
    return;
  auto* command = new TImportPlayersCommand(*this, std::move(players));
  if (!step.isEmpty())
    command->setText(step);
  Run(command, undo);
}

TEditResult TOpenPool::DropPick(int sourceSlot, int targetSlot, QUndoStack* undo) {
  if (!IsOpen() || !FShownPlayer)
    return {};
  const TBracketItem* source = FPicksBracket->Slot(sourceSlot);
  if (!source || !source->Team() || !FPicksBracket->Slot(targetSlot))
    return {};
  TChartEntry* pick = source->Team();
  const TWinnerPathItem* path = FPicksBracket->FindPath(*pick);
  int round = 0;
  for (int r = 1; path && r <= TWinnerPathItem::kRounds; ++r) {
    if (path->Slot(r) == targetSlot)
      round = r;
  }
  if (round == 0)
    return TEditResult::Refused(kInvalidPath);
  MovePick(pick, path, round, undo);
  return TEditResult::Done();
}

TEditResult TOpenPool::AdvancePick(int slotNumber, QUndoStack* undo) {
  if (!IsOpen() || !FShownPlayer)
    return {};
  const TBracketItem* slot = FPicksBracket->Slot(slotNumber);
  TChartEntry* pick = slot ? slot->Team() : nullptr;
  const TWinnerPathItem* path = pick ? FPicksBracket->FindPath(*pick) : nullptr;
  const int round = slot ? slot->Round() : 0;
  if (!path || round >= TWinnerPathItem::kRounds || path->Slot(round) != slotNumber ||
      FPicksBracket->Slot(path->Slot(round + 1))->Team() == pick)
    return {};
  MovePick(pick, path, round + 1, undo);
  return TEditResult::Done();
}

void TOpenPool::MovePick(TChartEntry* pick, const TWinnerPathItem* path, int round,
                         QUndoStack* undo) {
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

TEditResult TOpenPool::SetGuess(const TPlayerPicksListObject* player, int32_t value,
                                QUndoStack* undo) {
  TPlayerPicksListObject* own = OwnPlayer(player);
  if (!own)
    return {};
  if (value < 0 || value > kMaxPoints)
    return TEditResult::Refused(kGuessRange);
  if (own->TieBreakerPoints() == value)
    return {};
  Run(new TPlayerCommand(*this, tr("Total Points"), own,
                         [own, value] { own->SetTieBreakerPoints(value); }),
      undo);
  return TEditResult::Done();
}

std::vector<std::unique_ptr<TPlayerPicksListObject>> TOpenPool::TakePlayersOut(
    const std::vector<TPlayerPicksListObject*>& players) {
  TPlayerPicksFile& file = FDataModule->PlayerPicksFile();
  QHash<const TPlayerPicksListObject*, int> indexOf;
  for (int i = 0; i < file.Count(); ++i)
    indexOf.insert(file.Items(i), i);
  // From the end of the list backwards, so that a player taken out moves none still to go.
  std::vector<std::pair<int, size_t>> order;
  for (size_t k = 0; k < players.size(); ++k)
    order.emplace_back(indexOf.value(players[k], -1), k);
  std::sort(order.rbegin(), order.rend());
  std::vector<std::unique_ptr<TPlayerPicksListObject>> taken(players.size());
  for (size_t run = 0; run < order.size() && order[run].first >= 0;) {
    size_t end = run + 1;
    while (end < order.size() && order[end].first == order[end - 1].first - 1)
      ++end;
    const int first = order[end - 1].first;
    const int count = static_cast<int>(end - run);
    if (FShownPlayer && indexOf.value(FShownPlayer, -1) >= first &&
        indexOf.value(FShownPlayer) < first + count) {
      ShowPlayer(nullptr);
    }
    emit PlayersAboutToBeRemoved(first, count);
    for (size_t k = run; k < end; ++k)
      taken[order[k].second] = file.Remove(players[order[k].second]);
    emit PlayersRemoved(first, count);
    run = end;
  }
  return taken;
}
