#include "ScoredPicks.h"

#include <algorithm>

#include "FFDataModule.h"
#include "StandingsItem.h"
#include "TeamIndex.h"

// The chart has room for what a stored entry can hold.
static_assert(ChartPaths::kRounds == TChartEntry::kMaxRound &&
              ChartPaths::kRegions == TChartEntry::kMaxRegion &&
              ChartPaths::kSeedsPerRegion == TChartEntry::kMaxSeed);
static_assert(ChartPaths::kRounds == TStandingsItem::kLastRound);

TScoring PoolScoring(const TFFDataModule& pool) {
  TScoring::TRoundPoints points{};
  for (int k = TStandingsItem::kFirstRound; k <= TStandingsItem::kLastRound; ++k)
    points[static_cast<size_t>(k)] = pool.SystemFile().RoundPoints(k);
  return TScoring(pool.ScoringRule(), points);
}

void TScoredPicks::Read(const TPlayerPicksListObject& player, TTeamIndex& teams) {
  PickedTo.fill(0);
  for (int entry = 0; entry < TPlayerPicksListObject::kPickCount; ++entry) {
    const TPlayerPickArrayObject& pick = *player.Pick(entry);
    const int last = ChartPaths::LastPickedRound(pick.RoundReached());
    const auto e = static_cast<size_t>(entry);
    // Below 0 is as good as not on the chart; above 7 LastPickedRound has stopped already.
    Last[e] = static_cast<int8_t>(std::max(last, 0));
    // How far the player takes each line's team is read off the player's chart, which places
    // the entries by their region and seed.
    int8_t& picked =
        PickedTo[static_cast<size_t>(ChartPaths::FirstRoundLine(pick.Region(), pick.Seed()))];
    picked = std::max(picked, Last[e]);
    Team[e] = last < TStandingsItem::kFirstRound ? nullptr : teams.Find(entry, pick.TeamName());
  }
}

TResultsChart::TResultsChart(const TTeamsFile& teams, int round) {
  for (const auto& team : teams.List()) {
    ChartPaths::PlaceUpTo(
        team->Region(), team->Seed(), std::min<int32_t>(team->RoundReached(), round),
        [this, &team](int32_t slot) { FTeams[static_cast<size_t>(slot)] = team.get(); });
  }
  for (int32_t line = 1; line <= ChartPaths::kLines; ++line) {
    for (int k = TStandingsItem::kFirstRound; k <= ChartPaths::kRounds; ++k) {
      FMet[static_cast<size_t>(line)][static_cast<size_t>(k)] =
          Team(ChartPaths::Opponent(ChartPaths::PathSlot(line, k - 1)));
    }
  }
}

int64_t TResultsChart::MostStillToCome(const TScoring& scoring, const TScoredPicks& picks) const {
  using ChartPaths::kLines;
  using ChartPaths::kRounds;
  // How many of the player's entries take the team of each line to each chart round or
  // further: a team stored twice on a chart counts twice, as the standings count it.
  std::array<std::array<int8_t, kRounds + 1>, kLines + 1> picked{};
  for (size_t entry = 0; entry < picks.Team.size(); ++entry) {
    const TTeamSeedObject* team = picks.Team[entry];
    const int32_t line =
        team == nullptr ? 0 : ChartPaths::FirstRoundLine(team->Region(), team->Seed());
    if (line == 0 || Team(line) != team)
      continue;
    for (int k = TStandingsItem::kFirstRound; k <= picks.Last[entry]; ++k)
      ++picked[static_cast<size_t>(line)][static_cast<size_t>(k)];
  }

  // best[line]: the most the games so far can still earn with the team of that line through
  // all of them; kOut where it cannot have got that far.
  constexpr int64_t kOut = -1;
  std::array<int64_t, kLines + 1> best{};
  for (int32_t line = 1; line <= kLines; ++line)
    best[static_cast<size_t>(line)] = Team(line) != nullptr ? 0 : kOut;
  std::array<int64_t, kLines + 1> next{};
  for (int k = TStandingsItem::kFirstRound; k <= kRounds; ++k) {
    const int32_t span = int32_t{1} << (k - 2);  // lines on each side of a game of round k
    for (int32_t first = 1; first <= kLines; first += 2 * span) {
      const int32_t slot = ChartPaths::PathSlot(first, k);
      const TTeamSeedObject* played = Team(slot);
      for (int side = 0; side < 2; ++side) {
        const int32_t own = first + side * span;
        const int32_t other = first + (1 - side) * span;
        for (int32_t t = own; t < own + span; ++t) {
          const auto ti = static_cast<size_t>(t);
          int64_t& out = next[ti];
          out = kOut;
          if (best[ti] == kOut || (played != nullptr && Team(t) != played))
            continue;
          // A game played is earned already; one to come earns what the rule gives the
          // player's picks of this winner against the best loser for them.
          const int count = played != nullptr ? 0 : picked[ti][static_cast<size_t>(k)];
          int64_t most = kOut;
          for (int32_t u = other; u < other + span; ++u) {
            const auto ui = static_cast<size_t>(u);
            if (best[ui] == kOut)
              continue;
            int64_t gain = 0;
            if (count > 0) {
              TWonGame game{k, Team(t)->Seed(), Team(u)->Seed(), picks.PickedTo[ui] >= k - 1};
              gain = count * scoring.Points(game);
            }
            most = std::max(most, best[ui] + gain);
          }
          // No team can reach the other line: this one goes through without a loser.
          if (most == kOut)
            most = count * scoring.Points({k, Team(t)->Seed(), 0, false});
          out = best[ti] + most;
        }
      }
    }
    best = next;
  }
  const int64_t most = *std::max_element(best.begin() + 1, best.end());
  return std::max<int64_t>(most, 0);
}
