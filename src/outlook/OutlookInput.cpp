#include <algorithm>

#include "ChartPaths.h"
#include "FFDataModule.h"
#include "FinishOrder.h"
#include "Outlook.h"
#include "OutlookGain.h"
#include "ReportsBase.h"
#include "ScoredPicks.h"
#include "TeamIndex.h"

namespace {

constexpr int kFirstScoringRound = TStandingsItem::kFirstRound;
constexpr int kPicks = TOutlookInput::kPicks;
static_assert(TPlayerPicksListObject::kPickCount == kPicks);
static_assert(TTeamsFile::kMaxTeams <= INT8_MAX, "a team's place fits a pick's byte");

}  // namespace

void TLoserGain::MostOf(int player, int64_t* gains) const {
  In.GainsOf(player, gains, TOutlookInput::TWinGain::Most);
}

void TLoserGain::LeastOf(int player, int64_t* gains) const {
  In.GainsOf(player, gains, TOutlookInput::TWinGain::Least);
}

int TOutlookInput::RealGames() const {
  return static_cast<int>(
      std::count_if(Games.begin(), Games.end(), [](const TGame& game) { return game.Real; }));
}

void TOutlookInput::GainsOf(int player, int64_t* gains, TWinGain which) const {
  std::fill_n(gains, static_cast<size_t>(TeamCount()) * kRounds, 0);
  const TPick* picks = &Picks[static_cast<size_t>(player) * kPicks];
  for (int e = 0; e < kPicks; ++e) {
    const TPick& pick = picks[e];
    if (pick.Team < 0)
      continue;
    // Rounds the team has reached are earned already; the ones after are still to come.
    const int from = std::max(kFirstScoringRound, Reached[static_cast<size_t>(pick.Team)] + 1);
    int64_t* row = gains + static_cast<size_t>(pick.Team) * kRounds;
    const int32_t seed = Seeds[static_cast<size_t>(pick.Team)];
    for (int k = from; k <= pick.Last; ++k) {
      switch (which) {
        case TWinGain::Unopposed:
          row[k] += Scoring.Points({k, seed, 0, false});
          break;
        case TWinGain::Most:
          row[k] += Scoring.MostWin(k, seed);
          break;
        case TWinGain::Least:
          row[k] += Scoring.LeastWin(k, seed);
          break;
      }
    }
  }
}

int64_t TOutlookInput::GainAt(int team, int round, int player, int32_t loser) const {
  if (round < kFirstScoringRound || round <= Reached[static_cast<size_t>(team)])
    return 0;
  int64_t count = 0;
  const TPick* picks = &Picks[static_cast<size_t>(player) * kPicks];
  for (int e = 0; e < kPicks; ++e) {
    if (picks[e].Team == team && picks[e].Last >= round)
      ++count;
  }
  if (count == 0)
    return 0;
  TWonGame game{round, Seeds[static_cast<size_t>(team)], 0, false};
  if (loser >= 0) {
    game.LoserSeed = Seeds[static_cast<size_t>(loser)];
    game.LoserPicked = !PickedTo.empty() &&
                       PickedTo[static_cast<size_t>(player) * static_cast<size_t>(TeamCount()) +
                                static_cast<size_t>(loser)] >= round - 1;
  }
  return count * Scoring.Points(game);
}

TOutlookInput TOutlookInput::FromPool(const TFFDataModule& pool) {
  TOutlookInput input;
  const auto& teams = pool.TeamsFile().List();
  const auto& players = pool.PlayerPicksFile().List();
  const size_t playerCount = players.size();

  const TResultsChart results(pool.TeamsFile());
  // The index answers with the team object; its place in the list is what the chart uses.
  QHash<const TTeamSeedObject*, int> listPlace;
  for (size_t t = 0; t < teams.size(); ++t) {
    const TTeamSeedObject& team = *teams[t];
    listPlace.insert(&team, static_cast<int>(t));
    input.TeamNames << team.TeamName();
    input.Seeds.push_back(team.Seed());
    input.Reached.push_back(team.RoundReached());
  }
  input.Occupant.fill(-1);
  for (int32_t slot = 1; slot <= kSlots; ++slot) {
    if (const TTeamSeedObject* team = results.Team(slot))
      input.Occupant[static_cast<size_t>(slot)] = listPlace.value(team);
  }

  // Which lines some team can still get to, and so which empty lines are games.
  std::array<bool, kSlots + 1> reachable{};
  for (int32_t slot = 1; slot <= kSlots; ++slot) {
    const bool filled = input.Occupant[static_cast<size_t>(slot)] >= 0;
    if (filled || slot < ChartPaths::kFirstGameSlot) {
      reachable[static_cast<size_t>(slot)] = filled;
      continue;
    }
    const ChartPaths::TGame chartGame = ChartPaths::Game(slot);
    TGame game;
    game.Slot = slot;
    game.Round = chartGame.Round;
    game.Feeder = chartGame.Feeders;
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
  // reach is a gain that comes with the game that takes it there (GainsOf), its loser not
  // known yet.
  const TScoring scoring = PoolScoring(pool);
  input.Scoring = scoring;
  if (scoring.DependsOnLoser())
    input.PickedTo.resize(playerCount * teams.size());
  TTeamIndex index(pool.TeamsFile());
  TScoredPicks scored;
  input.Base.assign(playerCount, 0);
  input.Picks.resize(playerCount * kPicks);
  for (size_t p = 0; p < playerCount; ++p) {
    const TPlayerPicksListObject& player = *players[p];
    input.PlayerNames << player.PlayerName();
    scored.Read(player, index);
    for (size_t t = 0; t < teams.size() && !input.PickedTo.empty(); ++t) {
      const int32_t line = ChartPaths::FirstRoundLine(teams[t]->Region(), teams[t]->Seed());
      input.PickedTo[p * teams.size() + t] =
          line == 0 ? 0 : scored.PickedTo[static_cast<size_t>(line)];
    }
    for (int entry = 0; entry < kPicks; ++entry) {
      const TTeamSeedObject* team = scored.Team[static_cast<size_t>(entry)];
      if (team == nullptr)
        continue;
      TPick& kept = input.Picks[p * kPicks + static_cast<size_t>(entry)];
      kept.Team = static_cast<int8_t>(listPlace.value(team));
      kept.Last = scored.Last[static_cast<size_t>(entry)];
      for (int k = kFirstScoringRound; k <= std::min<int>(kept.Last, team->RoundReached()); ++k)
        input.Base[p] += scoring.Points(results.GameWon(*team, k, scored.PickedTo));
    }
  }
  const int32_t actual = pool.SystemFile().TieBreakerPoints();
  for (size_t p = 0; p < playerCount && actual > 0; ++p)
    input.GuessDistance.push_back(
        FinishOrder::GuessDistance(players[p]->TieBreakerPoints(), actual));
  input.Prizes = pool.Prizes();
  return input;
}
