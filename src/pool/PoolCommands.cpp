#include "PoolCommands.h"

#include <QCoreApplication>

#include "BracketList.h"
#include "FFDataModule.h"
#include "PoolDifferences.h"
#include "TeamNames.h"

namespace {

QString CommandText(const char* text) {
  return QCoreApplication::translate("TOpenPool", text);
}

}  // namespace

// --- TTeamsCommand -------------------------------------------------------------------------

TTeamsCommand::TTeamsCommand(TOpenPool& pool, const QString& text, std::function<void()> edit)
    : TPoolCommand(pool, text), FEdit(std::move(edit)) {}

std::vector<TTeamsCommand::TPlace> TTeamsCommand::Snapshot() const {
  std::vector<TPlace> places;
  for (const auto& team : FPool.Data().TeamsFile().List()) {
    places.push_back(
        {team.get(), team->Region(), team->Seed(), team->RoundReached(), team->Eliminated()});
  }
  return places;
}

void TTeamsCommand::Apply(const std::vector<TPlace>& places) {
  for (const TPlace& place : places) {
    place.Team->SetRegion(place.Region);
    place.Team->SetSeed(place.Seed);
    place.Team->SetRoundReached(place.RoundReached);
    place.Team->SetEliminated(place.Eliminated);
  }
  if (FBefore != FAfter)
    FPool.Data().TeamsFile().SetModified(true);
}

void TTeamsCommand::redo() {
  if (FDone) {
    Apply(FAfter);
  } else {
    FBefore = Snapshot();
    FEdit();
    FPool.Data().TeamsFile().SetModified(true);
    // Who has lost follows from where the teams stand now.
    FPool.PlaceResults();
    FPool.RecountTeams();
    FAfter = Snapshot();
    FDone = true;
  }
  FPool.TeamPlacesChanged();
}

void TTeamsCommand::undo() {
  Apply(FBefore);
  FPool.TeamPlacesChanged();
}

// --- TTeamListCommand ----------------------------------------------------------------------

TTeamListCommand::TTeamListCommand(TOpenPool& pool, std::unique_ptr<TTeamSeedObject> team)
    : TListCommand(pool, CommandText("Add Team"), std::move(team)) {}

TTeamListCommand::TTeamListCommand(TOpenPool& pool, TTeamSeedObject* team)
    : TListCommand(pool, CommandText("Remove Team"), team) {}

TTeamsFile& TTeamListCommand::File() const {
  return FPool.Data().TeamsFile();
}

void TTeamListCommand::Left(int index) {
  emit FPool.TeamRemoved(index);
  // A team taken out may have stood on the chart.
  FPool.TeamPlacesChanged();
}

void TTeamListCommand::Came(int index) {
  emit FPool.TeamInserted(index);
  FPool.TeamPlacesChanged();
}

// --- TPlayerCommand ------------------------------------------------------------------------

TPlayerCommand::TPlayerCommand(TOpenPool& pool, const QString& text, TPlayerPicksListObject* player,
                               std::function<void()> edit)
    : TPoolCommand(pool, text), FPlayer(player), FEdit(std::move(edit)) {}

TPlayerCommand::TState TPlayerCommand::Snapshot() const {
  TState state;
  state.TieBreakerPoints = FPlayer->TieBreakerPoints();
  state.Picks = FPlayer->Picks();
  return state;
}

bool TPlayerCommand::Changed() const {
  bool same = FBefore.TieBreakerPoints == FAfter.TieBreakerPoints;
  for (size_t i = 0; same && i < FBefore.Picks.size(); ++i)
    same = SameChartEntry(FBefore.Picks[i], FAfter.Picks[i]);
  return !same;
}

void TPlayerCommand::Apply(const TState& state) {
  FPlayer->SetTieBreakerPoints(state.TieBreakerPoints);
  for (int i = 0; i < TPlayerPicksListObject::kPickCount; ++i)
    *FPlayer->Pick(i) = state.Picks[static_cast<size_t>(i)];
  if (Changed())
    FPool.Data().PlayerPicksFile().SetModified(true);
}

void TPlayerCommand::redo() {
  if (FDone) {
    Apply(FAfter);
  } else {
    FBefore = Snapshot();
    FEdit();
    FAfter = Snapshot();
    FDone = true;
    // The stack does not keep an obsolete command.
    if (Changed())
      FPool.Data().PlayerPicksFile().SetModified(true);
    else
      setObsolete(true);
  }
  FPool.PlayerEdited(FPlayer);
}

void TPlayerCommand::undo() {
  Apply(FBefore);
  FPool.PlayerEdited(FPlayer);
}

// --- TPlayerListCommand --------------------------------------------------------------------

TPlayerListCommand::TPlayerListCommand(TOpenPool& pool,
                                       std::unique_ptr<TPlayerPicksListObject> player)
    : TListCommand(pool, CommandText("Add Player"), std::move(player)) {}

TPlayerListCommand::TPlayerListCommand(TOpenPool& pool, TPlayerPicksListObject* player)
    : TListCommand(pool, CommandText("Delete Player"), player) {}

TPlayerPicksFile& TPlayerListCommand::File() const {
  return FPool.Data().PlayerPicksFile();
}

void TPlayerListCommand::Leaving(TPlayerPicksListObject* player, int index) {
  if (FPool.ShownPlayer() == player)
    FPool.ShowPlayer(nullptr);
  emit FPool.PlayersAboutToBeRemoved(index, 1);
}

void TPlayerListCommand::Left(int index) {
  emit FPool.PlayersRemoved(index, 1);
  FPool.NoteModified();
}

void TPlayerListCommand::Came(int index) {
  emit FPool.PlayersInserted(index, 1);
  FPool.NoteModified();
}

// --- TImportPlayersCommand ----------------------------------------------------------------

TImportPlayersCommand::TImportPlayersCommand(TOpenPool& pool, std::vector<TIncomingPlayer> players)
    : TPoolCommand(pool, CommandText("Import Players")) {
  for (TIncomingPlayer& incoming : players) {
    if (incoming.Replaces) {
      FReplaced.push_back({incoming.Replaces, *incoming.Replaces, *incoming.Player});
    } else {
      FAdded.push_back(incoming.Player.get());
      FHeld.push_back(std::move(incoming.Player));
    }
  }
}

void TImportPlayersCommand::TakePicks(TPlayerPicksListObject& player,
                                      const TPlayerPicksListObject& from) {
  player.SetTieBreakerPoints(from.TieBreakerPoints());
  for (int i = 0; i < TPlayerPicksListObject::kPickCount; ++i)
    *player.Pick(i) = *from.Pick(i);
}

void TImportPlayersCommand::redo() {
  TPlayerPicksFile& file = FPool.Data().PlayerPicksFile();
  const int first = file.Count();
  for (auto& player : FHeld)
    file.Add(std::move(player));
  FHeld.clear();
  if (!FAdded.empty())
    emit FPool.PlayersInserted(first, static_cast<int>(FAdded.size()));
  for (const TReplaced& replaced : FReplaced)
    TakePicks(*replaced.Player, replaced.After);
  Told();
}

void TImportPlayersCommand::undo() {
  // Other windows' stacks may have added players since: the new ones are found where they
  // stand, and a redo puts them back at the end.
  FHeld = FPool.TakePlayersOut(FAdded);
  for (const TReplaced& replaced : FReplaced)
    TakePicks(*replaced.Player, replaced.Before);
  Told();
}

void TImportPlayersCommand::Told() {
  FPool.Data().PlayerPicksFile().SetModified(true);
  for (const TReplaced& replaced : FReplaced)
    FPool.PlayerEdited(replaced.Player);
  FPool.NoteModified();
}

// --- TInvitedCommand ------------------------------------------------------------------------

TInvitedCommand::TInvitedCommand(TOpenPool& pool, const QStringList& names)
    : TPoolCommand(pool, CommandText("Invited")),
      FBefore(pool.Data().Invited()),
      FAfter(names) {}

void TInvitedCommand::Apply(const QStringList& names) {
  FPool.Data().SetInvited(names);
  emit FPool.InvitedChanged();
  FPool.NoteModified();
}

// --- TRenameTeamCommand --------------------------------------------------------------------

TRenameTeamCommand::TRenameTeamCommand(TOpenPool& pool, TTeamSeedObject* team,
                                       const QString& newName)
    : TPoolCommand(pool, CommandText("Rename Team")),
      FTeam(team),
      FOld(team->TeamName()),
      FNew(newName) {}

void TRenameTeamCommand::Rename(const QString& from, const QString& to) {
  FTeam->SetTeamName(to);
  FPool.Data().TeamsFile().SetModified(true);
  // Entries hold the one kept copy of each name: comparing those finds the team's entries
  // without comparing any text.
  const QString* was = TTeamNames::Intern(from);
  bool picked = false;
  for (const auto& player : FPool.Data().PlayerPicksFile().List()) {
    for (int i = 0; i < TPlayerPicksListObject::kPickCount; ++i) {
      TPlayerPickArrayObject* pick = player->Pick(i);
      if (&pick->TeamName() == was) {
        pick->ShareTeamName(*FTeam);
        picked = true;
      }
    }
  }
  if (picked)
    FPool.Data().PlayerPicksFile().SetModified(true);
  FPool.TeamNameChanged(FTeam);
}

// --- TOptionsCommand -----------------------------------------------------------------------

TOptionsCommand::TOptionsCommand(TOpenPool& pool, const QString& text, const TPoolOptions& options,
                                 int32_t tieBreakerPoints)
    : TPoolCommand(pool, text), FOptions(options), FTieBreakerPoints(tieBreakerPoints) {}

TOptionsCommand::TBytes TOptionsCommand::Snapshot() const {
  const TSystemFile& system = FPool.Data().SystemFile();
  return {system.PartBytes(TSystemFile::TPart::Settings),
          system.PartBytes(TSystemFile::TPart::TieBreaker), FPool.Data().ScoringRule(),
          FPool.Data().Prizes()};
}

void TOptionsCommand::Apply(const TBytes& bytes) {
  // Only what this edit changed: other windows' stacks may have changed other settings
  // since, and those stay.
  TSystemFile& system = FPool.Data().SystemFile();
  system.RestoreChangedFields(TSystemFile::TPart::Settings, bytes.Settings, FBefore.Settings,
                              FAfter.Settings);
  system.RestoreChangedFields(TSystemFile::TPart::TieBreaker, bytes.TieBreaker, FBefore.TieBreaker,
                              FAfter.TieBreaker);
  if (FBefore.ScoringRule != FAfter.ScoringRule)
    FPool.Data().SetScoringRule(bytes.ScoringRule);
  if (!(FBefore.Prizes == FAfter.Prizes))
    FPool.Data().SetPrizes(bytes.Prizes);
}

void TOptionsCommand::redo() {
  TSystemFile& system = FPool.Data().SystemFile();
  const TPoolOptions was = FPool.Options();
  const int32_t tieBreakerWas = system.TieBreakerPoints();
  if (FDone) {
    Apply(FAfter);
  } else {
    FBefore = Snapshot();
    // Through the setters, which mark the file only for a value that changes.
    system.SetPoolName(FOptions.PoolName);
    for (int i = 0; i < 4; ++i)
      system.SetBracketName(i + 1, FOptions.BracketNames[static_cast<size_t>(i)]);
    for (int k = 2; k <= 7; ++k)
      system.SetRoundPoints(k, FOptions.RoundPoints[static_cast<size_t>(k - 2)]);
    system.SetTieBreakerPoints(FTieBreakerPoints);
    FPool.Data().SetScoringRule(FOptions.ScoringRule);
    FPool.Data().SetPrizes(FOptions.Prizes);
    FAfter = Snapshot();
    FDone = true;
  }
  Tell(was, tieBreakerWas);
}

void TOptionsCommand::undo() {
  const TPoolOptions was = FPool.Options();
  const int32_t tieBreakerWas = FPool.Data().SystemFile().TieBreakerPoints();
  Apply(FBefore);
  Tell(was, tieBreakerWas);
}

void TOptionsCommand::Tell(const TPoolOptions& was, int32_t tieBreakerWas) {
  if (!(FPool.Options() == was))
    emit FPool.OptionsChanged();
  if (FPool.Data().SystemFile().TieBreakerPoints() != tieBreakerWas)
    emit FPool.TieBreakerChanged();
  FPool.NoteModified();
}
