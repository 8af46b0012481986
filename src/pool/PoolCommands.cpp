#include "PoolCommands.h"

#include <QCoreApplication>

#include "BracketList.h"
#include "FFDataModule.h"

namespace {

QString CommandText(const char* text) {
  return QCoreApplication::translate("TOpenPool", text);
}

bool SameEntry(const TChartEntry& a, const TChartEntry& b) {
  return a.TeamName() == b.TeamName() && a.Region() == b.Region() && a.Seed() == b.Seed() &&
         a.RoundReached() == b.RoundReached();
}

template <class TItem>
int IndexIn(const std::vector<std::unique_ptr<TItem>>& list, const TItem* item) {
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i].get() == item)
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

// --- TTeamsCommand -------------------------------------------------------------------------

TTeamsCommand::TTeamsCommand(TOpenPool& pool, const QString& text, std::function<void()> edit)
    : TPoolCommand(pool, text), FEdit(std::move(edit)) {}

std::vector<TTeamsCommand::TPlace> TTeamsCommand::Snapshot() const {
  std::vector<TPlace> places;
  for (const auto& team : FPool.DataModule()->TeamsFile().List()) {
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
    FPool.DataModule()->TeamsFile().SetModified(true);
}

void TTeamsCommand::redo() {
  if (FDone) {
    Apply(FAfter);
  } else {
    FBefore = Snapshot();
    FEdit();
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
    : TPoolCommand(pool, CommandText("Add Team")),
      FAdding(true),
      FTeam(team.get()),
      FHeld(std::move(team)) {}

TTeamListCommand::TTeamListCommand(TOpenPool& pool, TTeamSeedObject* team)
    : TPoolCommand(pool, CommandText("Remove Team")), FAdding(false), FTeam(team) {}

TTeamListCommand::~TTeamListCommand() = default;

void TTeamListCommand::redo() {
  if (FAdding) {
    PutIn();
  } else {
    TakeOut();
  }
}

void TTeamListCommand::undo() {
  if (FAdding) {
    TakeOut();
  } else {
    PutIn();
  }
}

void TTeamListCommand::PutIn() {
  TTeamsFile& teams = FPool.DataModule()->TeamsFile();
  teams.Insert(FIndex < 0 ? teams.Count() : FIndex, std::move(FHeld));
  teams.SetModified(true);
  emit FPool.TeamsChanged();
  FPool.TeamPlacesChanged();
}

void TTeamListCommand::TakeOut() {
  TTeamsFile& teams = FPool.DataModule()->TeamsFile();
  FIndex = IndexIn(teams.List(), static_cast<const TTeamSeedObject*>(FTeam));
  emit FPool.TeamAboutToBeRemoved(FTeam);
  FHeld = teams.Remove(FTeam);
  emit FPool.TeamsChanged();
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

void TPlayerCommand::Apply(const TState& state) {
  FPlayer->SetTieBreakerPoints(state.TieBreakerPoints);
  for (int i = 0; i < TPlayerPicksListObject::kPickCount; ++i)
    *FPlayer->Pick(i) = state.Picks[static_cast<size_t>(i)];
  bool same = FBefore.TieBreakerPoints == FAfter.TieBreakerPoints;
  for (size_t i = 0; same && i < FBefore.Picks.size(); ++i)
    same = SameEntry(FBefore.Picks[i], FAfter.Picks[i]);
  if (!same)
    FPool.DataModule()->PlayerPicksFile().SetModified(true);
}

void TPlayerCommand::redo() {
  if (FDone) {
    Apply(FAfter);
  } else {
    FBefore = Snapshot();
    FEdit();
    FPool.DataModule()->PlayerPicksFile().SetModified(true);
    FAfter = Snapshot();
    FDone = true;
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
    : TPoolCommand(pool, CommandText("Add Player")),
      FAdding(true),
      FPlayer(player.get()),
      FHeld(std::move(player)) {}

TPlayerListCommand::TPlayerListCommand(TOpenPool& pool, TPlayerPicksListObject* player)
    : TPoolCommand(pool, CommandText("Delete Player")), FAdding(false), FPlayer(player) {}

TPlayerListCommand::~TPlayerListCommand() = default;

void TPlayerListCommand::redo() {
  if (FAdding) {
    PutIn();
  } else {
    TakeOut();
  }
}

void TPlayerListCommand::undo() {
  if (FAdding) {
    TakeOut();
  } else {
    PutIn();
  }
}

void TPlayerListCommand::PutIn() {
  TPlayerPicksFile& players = FPool.DataModule()->PlayerPicksFile();
  players.Insert(FIndex < 0 ? players.Count() : FIndex, std::move(FHeld));
  players.SetModified(true);
  emit FPool.PlayersChanged();
  FPool.NoteModified();
}

void TPlayerListCommand::TakeOut() {
  TPlayerPicksFile& players = FPool.DataModule()->PlayerPicksFile();
  if (FPool.ShownPlayer() == FPlayer)
    FPool.ShowPlayer(nullptr);
  FIndex = IndexIn(players.List(), static_cast<const TPlayerPicksListObject*>(FPlayer));
  emit FPool.PlayerAboutToBeRemoved(FPlayer);
  FHeld = players.Remove(FPlayer);
  emit FPool.PlayersChanged();
  FPool.NoteModified();
}

// --- TOptionsCommand -----------------------------------------------------------------------

TOptionsCommand::TOptionsCommand(TOpenPool& pool, const QString& text, const TPoolOptions& options,
                                 int32_t tieBreakerPoints)
    : TPoolCommand(pool, text), FOptions(options), FTieBreakerPoints(tieBreakerPoints) {}

TOptionsCommand::TBytes TOptionsCommand::Snapshot() const {
  const TSystemFile& system = FPool.DataModule()->SystemFile();
  return {system.PartBytes(TSystemFile::TPart::Settings),
          system.PartBytes(TSystemFile::TPart::TieBreaker)};
}

void TOptionsCommand::Apply(const TBytes& bytes) {
  TSystemFile& system = FPool.DataModule()->SystemFile();
  system.RestorePartBytes(TSystemFile::TPart::Settings, bytes.Settings);
  system.RestorePartBytes(TSystemFile::TPart::TieBreaker, bytes.TieBreaker);
}

void TOptionsCommand::redo() {
  TSystemFile& system = FPool.DataModule()->SystemFile();
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
    FAfter = Snapshot();
    FDone = true;
  }
  Tell(was, tieBreakerWas);
}

void TOptionsCommand::undo() {
  const TPoolOptions was = FPool.Options();
  const int32_t tieBreakerWas = FPool.DataModule()->SystemFile().TieBreakerPoints();
  Apply(FBefore);
  Tell(was, tieBreakerWas);
}

void TOptionsCommand::Tell(const TPoolOptions& was, int32_t tieBreakerWas) {
  if (!(FPool.Options() == was))
    emit FPool.OptionsChanged();
  if (FPool.DataModule()->SystemFile().TieBreakerPoints() != tieBreakerWas)
    emit FPool.TieBreakerChanged();
  FPool.NoteModified();
}
