// The document's edits of the results chart, the team list and the championship total.
#include "OpenPool.h"

#include <QUndoStack>

#include "BracketList.h"
#include "ChartPaths.h"
#include "FFDataModule.h"
#include "PoolCommands.h"
#include "PoolNames.h"
#include "Text.h"

namespace {

// The results chart holds only teams of the teams file.
TTeamSeedObject* TeamOf(const TBracketItem* slot) {
  return slot ? static_cast<TTeamSeedObject*>(slot->Team()) : nullptr;
}

}  // namespace

// --- Results chart and teams ---------------------------------------------------------------

TEditResult TOpenPool::PlaceTeam(const TTeamSeedObject* team, int slotNumber, QUndoStack* undo) {
  TTeamSeedObject* own = OwnTeam(team);
  const TBracketItem* target = own ? FResultsBracket->Slot(slotNumber) : nullptr;
  if (!target)
    return {};
  // The first round is built while it is open, the later ones only once it is locked.
  if (target->Round() == 1) {
    if (Finalized())
      return TEditResult::Refused(kFirstRoundStarted);
    for (int i = 0; i < FResultsBracket->Count(); ++i) {
      if (FResultsBracket->Items(i)->Team() == own)
        return TEditResult::Refused(kAlreadyPlaced);
    }
  } else {
    if (!Finalized())
      return TEditResult::Refused(kNotFinalized);
    const TWinnerPathItem* path = FResultsBracket->FindPath(*own);
    if (!path || path->Slot(target->Round()) != slotNumber)
      return TEditResult::Refused(kInvalidPath);
  }
  Run(new TTeamsCommand(*this, tr("Place Team"),
                        [this, own, slotNumber] { PlaceInSlot(own, slotNumber); }),
      undo);
  return TEditResult::Done();
}

void TOpenPool::PlaceInSlot(TTeamSeedObject* team, int slotNumber) {
  TBracketList& chart = *FResultsBracket;
  const TBracketItem* target = chart.Slot(slotNumber);
  const int round = target->Round();
  if (round == 1) {
    team->SetRegion(target->Region());
    team->SetSeed(target->Seed());
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
}

TEditResult TOpenPool::AdvanceTeam(int slotNumber, QUndoStack* undo) {
  if (!IsOpen())
    return {};
  if (!Finalized())
    return TEditResult::Refused(kNotFinalized);
  const TBracketItem* slot = FResultsBracket->Slot(slotNumber);
  TTeamSeedObject* team = TeamOf(slot);
  const TWinnerPathItem* path = team ? FResultsBracket->FindPath(*team) : nullptr;
  if (!path || slot->Round() >= TWinnerPathItem::kRounds)
    return {};
  const int next = path->Slot(slot->Round() + 1);
  Run(new TTeamsCommand(*this, tr("Advance Team"), [this, team, next] { PlaceInSlot(team, next); }),
      undo);
  return TEditResult::Done();
}

TEditResult TOpenPool::RemoveTeamFromSlot(int slotNumber, QUndoStack* undo) {
  const TBracketItem* slot = IsOpen() ? FResultsBracket->Slot(slotNumber) : nullptr;
  if (!slot)
    return {};
  const int round = slot->Round();
  if (round == 1 && Finalized())
    return TEditResult::Refused(kCannotRemoveFirstRound);
  TTeamSeedObject* team = TeamOf(slot);
  if (!team)
    return {};
  Run(new TTeamsCommand(*this, tr("Remove Team from Bracket"),
                        [team, round] {
                          team->SetRoundReached(std::min(team->RoundReached(), round - 1));
                          if (round == 1) {
                            team->SetRegion(0);
                            team->SetSeed(0);
                          }
                        }),
      undo);
  return TEditResult::Done();
}

void TOpenPool::ClearChart(QUndoStack* undo) {
  if (!IsOpen())
    return;
  Run(new TTeamsCommand(*this, tr("Clear Brackets"),
                        [this] {
                          for (const auto& team : FDataModule->TeamsFile().List())
                            team->SetRoundReached(0);
                        }),
      undo);
}

const TTeamSeedObject* TOpenPool::AddTeam(const QString& name, QUndoStack* undo, QString* reason) {
  if (!IsOpen())
    return nullptr;
  const TTeamsFile& teams = FDataModule->TeamsFile();
  QString why;
  if (teams.Count() >= TTeamsFile::kMaxTeams) {
    why = kTeamListFull;
  } else if (teams.FindTeam(name)) {
    why = kTeamNameTaken;
  } else {
    why = PoolNames::Unstorable(name, QStringLiteral("team name"), TTeamsFile::kNameWidth);
  }
  if (!why.isEmpty()) {
    if (reason)
      *reason = AsSentence(why);
    return nullptr;
  }
  auto team = std::make_unique<TTeamSeedObject>();
  team->SetTeamName(name);
  const TTeamSeedObject* added = team.get();
  Run(new TTeamListCommand(*this, std::move(team)), undo);
  return added;
}

TEditResult TOpenPool::RemoveTeam(const QString& name, QUndoStack* undo) {
  if (!IsOpen())
    return {};
  const TTeamsFile& teams = FDataModule->TeamsFile();
  // A name that stands for a placed team, blanks aside, names a team not to take out.
  const TTeamSeedObject* named = teams.FindTeam(name);
  if (named && named->RoundReached() > 0)
    return TEditResult::Refused(kRemovePlaced);
  const auto& list = teams.List();
  const auto exact = std::find_if(list.begin(), list.end(),
                                  [&name](const auto& team) { return team->TeamName() == name; });
  if (exact == list.end())
    return TEditResult::Refused(kNotInList);
  TTeamSeedObject* team = exact->get();
  if (team->RoundReached() > 0)
    return TEditResult::Refused(kRemovePlaced);
  // Done for good, the team is freed: no command may keep pointing at it.
  if (!undo)
    ClearUndoStacks();
  Run(new TTeamListCommand(*this, team), undo);
  return TEditResult::Done();
}

const TTeamSeedObject* TOpenPool::FindSameTeam(const QString& name) const {
  if (!IsOpen())
    return nullptr;
  const QString key = PoolNames::Key(name);
  for (const auto& team : FDataModule->TeamsFile().List()) {
    if (PoolNames::Key(team->TeamName()) == key)
      return team.get();
  }
  return nullptr;
}

TEditResult TOpenPool::RenameTeam(const QString& oldName, const QString& newName,
                                  QUndoStack* undo) {
  TTeamSeedObject* team = OwnTeam(FindSameTeam(oldName));
  if (!team)
    return TEditResult::Refused(kNotInList);
  const QString name = PoolNames::Normal(newName);
  const TTeamSeedObject* holder = FindSameTeam(name);
  if (holder && holder != team)
    return TEditResult::Refused(kTeamNameTaken);
  if (const QString why = PoolNames::Unstorable(name, QStringLiteral("team name"),
                                                TTeamsFile::kNameWidth);
      !why.isEmpty() || name.isEmpty())
    return TEditResult::Refused(why.isEmpty() ? kNameMissing : AsSentence(why));
  if (name == team->TeamName())
    return {};
  Run(new TRenameTeamCommand(*this, team, name), undo);
  return TEditResult::Done();
}

void TOpenPool::TeamNameChanged(const TTeamSeedObject* team) {
  const auto& list = FDataModule->TeamsFile().List();
  const auto at = std::find_if(list.begin(), list.end(),
                               [team](const auto& own) { return own.get() == team; });
  emit TeamRenamed(static_cast<int>(at - list.begin()));
  emit ChartChanged();
  if (FShownPlayer)
    ShowPlayer(FShownPlayer);
  NoteModified();
}

TEditResult TOpenPool::ImportField(const TField& field, QUndoStack* undo) {
  if (!IsOpen())
    return {};
  if (Finalized())
    return TEditResult::Refused(kFirstRoundStarted);
  const TTeamsFile& teams = FDataModule->TeamsFile();
  TPoolOptions options = Options();
  const bool sameRegions = options.BracketNames == field.Regions;
  const bool sameTeams =
      teams.Count() == static_cast<int>(field.Teams.size()) &&
      std::all_of(field.Teams.begin(), field.Teams.end(), [&teams](const TFieldTeam& row) {
        const TTeamSeedObject* team = teams.FindTeam(row.Name);
        return team && team->TeamName() == row.Name && team->Region() == row.Region &&
               team->Seed() == row.Seed && team->RoundReached() == 1;
      });
  if (sameRegions && sameTeams)
    return {};
  if (undo)
    undo->beginMacro(tr("Import Field"));
  ClearChart(undo);
  // Teams the field does not name leave the list; those it names keep their place in it.
  QStringList leaving;
  for (const auto& team : teams.List()) {
    if (std::none_of(field.Teams.begin(), field.Teams.end(),
                     [&team](const TFieldTeam& row) { return row.Name == team->TeamName(); }))
      leaving << team->TeamName();
  }
  for (const QString& name : leaving)
    RemoveTeam(name, undo);
  for (const TFieldTeam& row : field.Teams) {
    const TTeamSeedObject* team = teams.FindTeam(row.Name);
    if (!team || team->TeamName() != row.Name)
      team = AddTeam(row.Name, undo);
    PlaceTeam(team, ChartPaths::FirstRoundLine(row.Region, row.Seed), undo);
  }
  options.BracketNames = field.Regions;
  SetOptions(options, undo);
  if (undo)
    undo->endMacro();
  return TEditResult::Done();
}

TEditResult TOpenPool::SetTieBreakerPoints(int32_t value, QUndoStack* undo) {
  if (!IsOpen())
    return {};
  if (value < 0 || value > kMaxPoints)
    return TEditResult::Refused(kTieBreakerRange);
  if (FDataModule->SystemFile().TieBreakerPoints() == value)
    return {};
  Run(new TOptionsCommand(*this, tr("Tie Breaker Score"), Options(), value), undo);
  return TEditResult::Done();
}
