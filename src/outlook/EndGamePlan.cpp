// The end game's plan: what each contender's picks bring it in every outcome of the last
// games, worked out once before the search.

#include "EndGame.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>
#include <unordered_map>

namespace OutlookSearch {
namespace {

// Who stands on each line in each outcome of the end game's `games` games, game by game, who
// lost each game (-1: its line was unopposed) and who came from its first feeder.
struct TEndOutcomes {
  int Games = 0;
  std::vector<int> Winner;
  std::vector<int> Loser;
  std::vector<int> FirstSide;

  size_t At(int outcome, int game) const { return static_cast<size_t>(outcome * Games + game); }
};

TEndOutcomes PlayEndOutcomes(const TOutlookInput::TGame* games, int count, int outcomes,
                             const std::array<int, kSlots + 1>& positionOf) {
  TEndOutcomes played;
  played.Games = count;
  played.Winner.resize(static_cast<size_t>(outcomes * count));
  played.Loser.resize(played.Winner.size());
  played.FirstSide.resize(played.Winner.size());
  for (int o = 0; o < outcomes; ++o) {
    std::array<int, kSlots + 1> on = positionOf;
    int bit = 0;
    for (int g = 0; g < count; ++g) {
      const TOutlookInput::TGame& game = games[g];
      const int side = game.Real ? (o >> bit++) & 1 : 0;
      const size_t at = played.At(o, g);
      played.FirstSide[at] = on[static_cast<size_t>(game.Feeder[0])];
      played.Winner[at] = on[static_cast<size_t>(game.Feeder[static_cast<size_t>(side)])];
      played.Loser[at] =
          game.Real ? on[static_cast<size_t>(game.Feeder[static_cast<size_t>(1 - side)])] : -1;
      on[static_cast<size_t>(game.Slot)] = played.Winner[at];
    }
  }
  return played;
}

// A game the team on a line can win, the line it beats there, and the lanes in which it does.
struct TMeeting {
  int Game;
  int Loser;  // a line, -1 for none
  TEndLanes Lanes;
};

// Per line, its meetings, game by game.
std::vector<std::vector<TMeeting>> EndMeetings(const TEndOutcomes& played, int positions,
                                               int outcomes) {
  std::vector<std::vector<TMeeting>> meetings(static_cast<size_t>(positions));
  for (int g = 0; g < played.Games; ++g) {
    for (int position = 0; position < positions; ++position) {
      for (int beaten = -1; beaten < positions; ++beaten) {
        TMeeting meeting{g, beaten, {}};
        bool any = false;
        for (int lane = 0; lane < kEndLanes; ++lane) {
          const size_t at = played.At(lane % outcomes, g);
          const bool here = played.Winner[at] == position && played.Loser[at] == beaten;
          meeting.Lanes.Lane[lane] = here ? -1 : 0;
          any = any || here;
        }
        if (any)
          meetings[static_cast<size_t>(position)].push_back(meeting);
      }
    }
  }
  return meetings;
}

// What a team brings a player over its meetings of one game, [from, to) of `met`. The least a
// win brings, whoever it beats, is added to `gains` in the lanes of every meeting; what more a
// win over a given loser brings goes to `over`, in the lanes of that meeting alone. `losersOn`
// gives the teams that can stand on a line, and `gainOver` what a win over one of them (-1:
// nobody) brings. Returns whether the least is anything.
template <typename TLosersOn, typename TGainOver>
bool AddGameGains(const std::vector<TMeeting>& met, size_t from, size_t to, TLosersOn losersOn,
                  TGainOver gainOver, TEndLanes& gains,
                  std::vector<std::pair<int32_t, TEndLanes>>& over) {
  struct TLoss {
    size_t Meeting;
    int32_t Team;
    int64_t Gain;
  };
  std::vector<TLoss> losses;
  for (size_t k = from; k < to; ++k) {
    if (met[k].Loser < 0) {
      losses.push_back({k, -1, gainOver(-1)});
      continue;
    }
    for (const int32_t beaten : losersOn(met[k].Loser))
      losses.push_back({k, beaten, gainOver(beaten)});
  }
  int64_t least = std::numeric_limits<int64_t>::max();
  for (const TLoss& loss : losses)
    least = std::min(least, loss.Gain);
  for (size_t k = from; k < to; ++k) {
    for (int lane = 0; lane < kEndLanes; ++lane)
      gains.Lane[lane] = static_cast<int16_t>(
          gains.Lane[lane] + (met[k].Lanes.Lane[lane] & static_cast<int16_t>(least)));
  }
  for (const TLoss& loss : losses) {
    if (loss.Gain == least)
      continue;
    TEndLanes more{};
    const TEndLanes& lanes = met[loss.Meeting].Lanes;
    for (int lane = 0; lane < kEndLanes; ++lane)
      more.Lane[lane] =
          static_cast<int16_t>(lanes.Lane[lane] & static_cast<int16_t>(loss.Gain - least));
    over.emplace_back(loss.Team, more);
  }
  return least != 0;
}

}  // namespace

template <typename TLane>
void TPlan<TLane>::PlanEndGame() {
  EndDepth = GameCount;
  // Ranks in a lane are counted in 16 bits, so prizes take the table only among fewer
  // contenders than that holds.
  if (!Way.Exact || Way.RankAll || (Paid > 0 && Count > std::numeric_limits<int16_t>::max()))
    return;
  EndVectors = WidestVectors(Options.Vectors);
  int real = 0;
  while (EndDepth > std::max(TaskDepth, SnapDepth)) {
    const bool next = In.Games[static_cast<size_t>(EndDepth - 1)].Real;
    if (next && real == kEndGames)
      break;
    real += next ? 1 : 0;
    --EndDepth;
  }
  if (EndDepth == GameCount)
    return;
  EndBits = real;
  EndOutcomes = 1 << real;
  EndAlive = AliveAt(EndDepth);
  const int positions = static_cast<int>(EndAlive.size());
  std::array<int, kSlots + 1> positionOf;
  positionOf.fill(-1);
  for (int a = 0; a < positions; ++a)
    positionOf[static_cast<size_t>(EndAlive[static_cast<size_t>(a)])] = a;
  const int games = GameCount - EndDepth;
  const TEndOutcomes played =
      PlayEndOutcomes(&In.Games[static_cast<size_t>(EndDepth)], games, EndOutcomes, positionOf);
  const std::vector<std::vector<TMeeting>> meetings = EndMeetings(played, positions, EndOutcomes);
  const auto losersOn = [this](int position) -> const std::vector<int32_t>& {
    return Candidates[static_cast<size_t>(EndAlive[static_cast<size_t>(position)])];
  };
  // A team can stand on one line only, the one its path crosses: what it brings each player
  // is fixed before the search. Where the gain depends on the loser, the least a win brings
  // goes with the winner, and what more it brings over a given loser with that pair; a pair
  // counts in the lanes where both teams stand on their lines.
  EndCellOf.assign(static_cast<size_t>(Teams), -1);
  for (int position = 0; position < positions; ++position) {
    for (const int32_t team : losersOn(position))
      EndCellOf[static_cast<size_t>(team)] = EndCells++;
  }
  // Contenders who picked a team alike share its gains: kept once, they stay in the caches.
  std::unordered_map<size_t, std::vector<uint32_t>> alike;
  const auto keep = [&](const TEndLanes& lanes) {
    const std::string_view bytes(reinterpret_cast<const char*>(lanes.Lane), sizeof lanes.Lane);
    std::vector<uint32_t>& same = alike[std::hash<std::string_view>{}(bytes)];
    for (const uint32_t k : same) {
      if (std::memcmp(EndGains[k].Lane, lanes.Lane, sizeof lanes.Lane) == 0) {
        EndGainOf.push_back(k);
        return;
      }
    }
    same.push_back(static_cast<uint32_t>(EndGains.size()));
    EndGainOf.push_back(same.back());
    EndGains.push_back(lanes);
  };
  for (int c = 0; c < Count; ++c) {
    EndGainsFrom.push_back(static_cast<uint32_t>(EndGainOf.size()));
    const int player = Contenders[static_cast<size_t>(c)];
    for (int position = 0; position < positions; ++position) {
      const std::vector<TMeeting>& met = meetings[static_cast<size_t>(position)];
      for (const int32_t team : losersOn(position)) {
        const int16_t cell = static_cast<int16_t>(EndCellOf[static_cast<size_t>(team)]);
        TEndLanes gains{};
        bool any = false;
        std::vector<std::pair<int32_t, TEndLanes>> over;
        for (size_t m = 0; m < met.size();) {
          const TGame& game = In.Games[static_cast<size_t>(EndDepth + met[m].Game)];
          size_t end = m;
          while (end < met.size() && met[end].Game == met[m].Game)
            ++end;
          const auto gainOver = [&](int32_t beaten) -> int64_t {
            return ByTeam ? Row(Gain, team, game.Round)[c] : Rule.Gain(player, game, team, beaten);
          };
          any = AddGameGains(met, m, end, losersOn, gainOver, gains, over) || any;
          m = end;
        }
        if (any) {
          EndGainCell.push_back(cell);
          EndLoserCell.push_back(static_cast<int16_t>(EndCells));
          keep(gains);
        }
        for (const auto& [beaten, more] : over) {
          EndGainCell.push_back(cell);
          EndLoserCell.push_back(static_cast<int16_t>(EndCellOf[static_cast<size_t>(beaten)]));
          keep(more);
        }
      }
    }
  }
  EndGainsFrom.push_back(static_cast<uint32_t>(EndGainOf.size()));
  EndChampionLanes.resize(static_cast<size_t>(positions));
  for (int o = 0; o < EndOutcomes && games > 0; ++o) {
    const int champion = played.Winner[played.At(o, games - 1)];
    EndChampion.Lane[o] = static_cast<int16_t>(champion);
    EndChampionLanes[static_cast<size_t>(champion)][static_cast<size_t>(o / 64)] |= uint64_t{1}
                                                                                    << (o % 64);
    EndUsed[static_cast<size_t>(o / 64)] |= uint64_t{1} << (o % 64);
  }
  // The sides of real game r depend on the outcomes of the real games before it only.
  int bit = 0;
  for (int g = 0; g < games; ++g) {
    if (!In.Games[static_cast<size_t>(EndDepth + g)].Real)
      continue;
    for (int before = 0; before < (1 << bit); ++before) {
      const int first = played.FirstSide[played.At(before, g)];
      // The other side: the winner of this game in the outcome where it goes that way.
      const int second = played.Winner[played.At(before | (1 << bit), g)];
      EndSides.push_back(first * positions + second);
    }
    ++bit;
  }
}
template void TPlan<int16_t>::PlanEndGame();
template void TPlan<int32_t>::PlanEndGame();
template void TPlan<int64_t>::PlanEndGame();

}  // namespace OutlookSearch
