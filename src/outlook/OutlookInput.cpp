#include <algorithm>
#include <cstdlib>

#include "ChartGeometry.h"
#include "FFDataModule.h"
#include "Outlook.h"
#include "ReportsBase.h"
#include "TeamIndex.h"

namespace {

using ChartGeometry::FirstFeeder;
using ChartGeometry::kChampionSlot;
using ChartGeometry::SlotRound;

constexpr int kFirstScoringRound = TStandingsItem::kFirstRound;
constexpr int kLastRound = TStandingsItem::kLastRound;
constexpr int kPicks = TOutlookInput::kPicks;
constexpr int kRounds = TOutlookInput::kRounds;
static_assert(TPlayerPicksListObject::kPickCount == kPicks);
static_assert(TTeamsFile::kMaxTeams <= INT8_MAX, "a team's place fits a pick's byte");

// The first-round line of a region and seed, 0 when there is none: the chart places a team
// only where its region and seed name a line.
int32_t FirstRoundLine(int32_t region, int32_t seed) {
  if (region < 1 || region > ChartGeometry::kRegions)
    return 0;
  for (int32_t line = 0; line < ChartGeometry::kSeedsPerRegion; ++line) {
    if (ChartGeometry::kSeedOrder[static_cast<size_t>(line)] == seed)
      return (region - 1) * ChartGeometry::kSeedsPerRegion + line + 1;
  }
  return 0;
}

}  // namespace

int TOutlookInput::RealGames() const {
  return static_cast<int>(
      std::count_if(Games.begin(), Games.end(), [](const TGame& game) { return game.Real; }));
}

void TOutlookInput::GainsOf(int player, int64_t* gains) const {
  std::fill_n(gains, static_cast<size_t>(TeamCount()) * kRounds, 0);
  const TPick* picks = &Picks[static_cast<size_t>(player) * kPicks];
  for (int e = 0; e < kPicks; ++e) {
    const TPick& pick = picks[e];
    if (pick.Team < 0)
      continue;
    // Rounds the team has reached are earned already; the ones after are still to come.
    const int from = std::max(kFirstScoringRound, Reached[static_cast<size_t>(pick.Team)] + 1);
    int64_t* row = gains + static_cast<size_t>(pick.Team) * kRounds;
    for (int k = from; k <= pick.Last; ++k)
      row[k] += Points[static_cast<size_t>(k)];
  }
}

int64_t TOutlookInput::GainAt(int team, int round, int player) const {
  if (round < kFirstScoringRound || round <= Reached[static_cast<size_t>(team)])
    return 0;
  int64_t gain = 0;
  const TPick* picks = &Picks[static_cast<size_t>(player) * kPicks];
  for (int e = 0; e < kPicks; ++e) {
    if (picks[e].Team == team && picks[e].Last >= round)
      gain += Points[static_cast<size_t>(round)];
  }
  return gain;
}

TOutlookInput TOutlookInput::FromPool(const TFFDataModule& pool) {
  TOutlookInput input;
  const auto& teams = pool.TeamsFile().List();
  const auto& players = pool.PlayerPicksFile().List();
  const size_t playerCount = players.size();

  // The results chart as the bracket builder rebuilds it: each team in list order on the lines
  // of its path up to the round it has reached, a later team taking a line from an earlier one.
  input.Occupant.fill(-1);
  for (size_t t = 0; t < teams.size(); ++t) {
    const TTeamSeedObject& team = *teams[t];
    input.TeamNames << team.TeamName();
    input.Seeds.push_back(team.Seed());
    input.Reached.push_back(team.RoundReached());
    int32_t slot = FirstRoundLine(team.Region(), team.Seed());
    const int32_t last = std::min<int32_t>(team.RoundReached(), kLastRound);
    for (int32_t round = 1; slot != 0 && round <= last; ++round) {
      input.Occupant[static_cast<size_t>(slot)] = static_cast<int32_t>(t);
      slot = slot == kChampionSlot ? 0 : ChartGeometry::NextSlot(slot);
    }
  }

  // Which lines some team can still get to, and so which empty lines are games.
  std::array<bool, kSlots + 1> reachable{};
  for (int32_t slot = 1; slot <= kSlots; ++slot) {
    const bool filled = input.Occupant[static_cast<size_t>(slot)] >= 0;
    if (filled || slot <= ChartGeometry::kRoundBase[1]) {
      reachable[static_cast<size_t>(slot)] = filled;
      continue;
    }
    TGame game;
    game.Slot = slot;
    game.Round = SlotRound(slot);
    game.Feeder = {FirstFeeder(slot), FirstFeeder(slot) + 1};
    const bool upper = reachable[static_cast<size_t>(game.Feeder[0])];
    const bool lower = reachable[static_cast<size_t>(game.Feeder[1])];
    reachable[static_cast<size_t>(slot)] = upper || lower;
    if (!upper && !lower)
      continue;
    game.Real = upper && lower;
    if (!upper)
      std::swap(game.Feeder[0], game.Feeder[1]);
    input.Games.push_back(game);
  }

  // Scoring, pick by pick, as the standings score: a pick counts for chart round k once its
  // team has got there. What the team has already reached is earned; what it could still
  // reach is a gain that comes with the game that takes it there (GainsOf).
  for (int k = kFirstScoringRound; k <= kLastRound; ++k)
    input.Points[static_cast<size_t>(k)] = pool.SystemFile().RoundPoints(k);
  TTeamIndex index(pool.TeamsFile());
  // The index answers with the team object; its place in the list is what the chart uses.
  QHash<const TTeamSeedObject*, int> listPlace;
  for (size_t t = 0; t < teams.size(); ++t)
    listPlace.insert(teams[t].get(), static_cast<int>(t));
  input.Base.assign(playerCount, 0);
  input.Picks.resize(playerCount * kPicks);
  for (size_t p = 0; p < playerCount; ++p) {
    const TPlayerPicksListObject& player = *players[p];
    input.PlayerNames << player.PlayerName();
    for (int entry = 0; entry < TPlayerPicksListObject::kPickCount; ++entry) {
      const TPlayerPickArrayObject& pick = *player.Pick(entry);
      const int last = TReportsBase::LastPickedRound(pick.RoundReached());
      if (last < kFirstScoringRound)
        continue;
      const TTeamSeedObject* team = index.Find(entry, pick.TeamName());
      if (team == nullptr)
        continue;
      TPick& kept = input.Picks[p * kPicks + static_cast<size_t>(entry)];
      kept.Team = static_cast<int8_t>(listPlace.value(team));
      kept.Last = static_cast<int8_t>(last);
      for (int k = kFirstScoringRound; k <= std::min(last, team->RoundReached()); ++k)
        input.Base[p] += input.Points[static_cast<size_t>(k)];
    }
  }
  const int64_t actual = pool.SystemFile().TieBreakerPoints();
  for (size_t p = 0; p < playerCount && actual > 0; ++p)
    input.GuessDistance.push_back(std::abs(players[p]->TieBreakerPoints() - actual));
  return input;
}
