#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "Outlook.h"
#include "OutlookGain.h"
#include "OutlookWork.h"

// How the search goes. Outcomes are visited depth first, one game after another in slot order,
// which is round order, so both teams of a game are known when it is reached. Arrays over all
// players hold 16-bit lanes whenever no total can leave that range (64-bit, stopped at the
// int32 range as the standings stop them, otherwise); adding a winner's row of gains to one is
// a loop the compiler turns into vector instructions.
//
// Below the first games only the players who can still finish first are carried, each with
// the lowest and highest final total still open to them; each decided game moves those bounds
// by precomputed rows, and whoever can no longer reach the best sure total drops out, so the
// last rounds are played among a handful of players.
//
// Best and worst places are counted at every outcome when that is cheap (many players, few
// outcomes); otherwise each player's are searched for afterwards, branch and bound, and then
// the last games are not walked at all but played by table: every outcome of them is a lane
// of a vector, and a table made once says which of the teams standing before them wins each
// game in each lane. What each team a player picked there brings the player in every lane is
// worked out before the search, so a player's final totals in every lane are the total so far
// plus those of its teams that stand on their lines. Where a win's gain depends on its loser,
// the least it brings goes with the winner, and what it brings beyond that over one loser with
// the pair, counted when both stand on their lines. A vector maximum over the players gives
// the best total of every outcome at once, and a comparison with it the lanes each player is
// first in. That part is compiled once for each kind of vector
// instructions and runs on the widest the processor has (EndGameLanes.inc).
//
// The first games of the tree are split into tasks, one outcome of those games each; worker
// threads take tasks in turn and keep tallies of their own, added up at the end.

namespace OutlookSearch {

// How the outlook goes about it, chosen before the search from what each way would cost.
struct TWay {
  bool Exact = true;
  // Every player ranked at every outcome; otherwise, when exact, each player's best and worst
  // places are searched for apart, and the last games are played by table.
  bool RankAll = true;
  int64_t Samples = 0;
};

// The winners and losers each game still to come can have, numbered game by game: where a gain
// depends on more than its team and round, rows of gains are kept per pair of them.
struct TGamePairs {
  // Per game, its first pair, the pairs of game g running up to From[g + 1]; and how many
  // teams can come from each of its sides.
  std::vector<int> From;
  std::vector<std::array<int, 2>> Sides;
  // team * kRowsPerTeam + round: the team's place among the teams that can stand on its line
  // of that round.
  std::vector<int> PlaceOf;
  using TCandidates = std::array<std::vector<int32_t>, kSlots + 1>;

  void Plan(const TOutlookInput& input, const TCandidates& candidates);
  int Count() const { return From.back(); }

  // The pair of game `g` in which side `side` of `teams` wins.
  int Of(int g, const TGame& game, const std::array<int32_t, 2>& teams, int side) const {
    const std::array<int, 2>& sides = Sides[static_cast<size_t>(g)];
    const int upper = Place(teams[0], game.Round - 1);
    if (!game.Real)
      return From[static_cast<size_t>(g)] + upper;
    const int lower = Place(teams[1], game.Round - 1);
    return From[static_cast<size_t>(g)] +
           (side == 0 ? upper * sides[1] + lower : sides[0] * sides[1] + lower * sides[0] + upper);
  }

  // Calls visit(pair, winner, loser) for every pair of game `g`, the loser -1 where the line
  // is unopposed.
  template <typename TVisit>
  void ForEach(int g, const TGame& game, const TCandidates& candidates, TVisit visit) const {
    const std::vector<int32_t>& upper = candidates[static_cast<size_t>(game.Feeder[0])];
    const int from = From[static_cast<size_t>(g)];
    const int n0 = static_cast<int>(upper.size());
    if (!game.Real) {
      for (int a = 0; a < n0; ++a)
        visit(from + a, upper[static_cast<size_t>(a)], -1);
      return;
    }
    const std::vector<int32_t>& lower = candidates[static_cast<size_t>(game.Feeder[1])];
    const int n1 = static_cast<int>(lower.size());
    for (int a = 0; a < n0; ++a) {
      for (int b = 0; b < n1; ++b)
        visit(from + a * n1 + b, upper[static_cast<size_t>(a)], lower[static_cast<size_t>(b)]);
    }
    for (int b = 0; b < n1; ++b) {
      for (int a = 0; a < n0; ++a)
        visit(from + n0 * n1 + b * n0 + a, lower[static_cast<size_t>(b)],
              upper[static_cast<size_t>(a)]);
    }
  }

 private:
  int Place(int32_t team, int round) const {
    return PlaceOf[static_cast<size_t>(team) * kRowsPerTeam + static_cast<size_t>(round)];
  }
};

// What every worker reads: the input laid out in lanes, and what is known before searching.
//
// Only the contenders, the players whose highest final total reaches the best lowest one,
// are carried through the search: the others can finish first in no outcome. Their rows are
// kept for the (team, round) pairs a game can still bring, so a pool late in the tournament
// needs few. Every player's rows are kept too only where every player is ranked at every
// outcome, or drawn outcomes are.
//
// Where the gain of a win depends on its team and round alone (TOutlookGain), a win's rows
// (Gain, WinLo, WinHi) are those of the winner and the round; otherwise they are kept per
// pair of winner and loser (TGamePairs), and the other rows bound what a team can still add
// over every opponent it may meet.
template <typename TLane>
struct TPlan {
  const TOutlookInput& In;
  const TOutlookGain& Rule;
  const TOutlookOptions& Options;
  const bool ByTeam;  // the gain depends on team and round alone
  int Players = 0;
  int Teams = 0;
  int GameCount = 0;
  TWay Way;
  // The places the pool pays (0 when it pays no prizes) and what the first k of them pay
  // together in cents, PaidUpTo[k] for k up to Paid.
  int Paid = 0;
  std::vector<int64_t> PaidUpTo;
  // The contenders: the player of each, and each player's place among them (-1: none). When
  // prizes are paid, whoever can still finish in a paid place.
  std::vector<int> Contenders;
  std::vector<int> ContenderOf;
  int Count = 0;
  size_t Stride = 0;     // a row over the contenders
  size_t AllStride = 0;  // a row over every player
  // The row of each (team, round) pair that has one, team * kRowsPerTeam + round; -1: none.
  std::vector<int> RowOf;
  int RowCount = 0;
  // The same for every player's rows, which hold gains only: a game brings the pair.
  std::vector<int> AllRowOf;
  int AllRowCount = 0;
  TGamePairs Pairs;
  // Per contender: the total so far.
  std::vector<TLane> Base;
  // Row of a win (WinRow): the gain for each contender when the team reaches that chart round.
  std::vector<TLane> Gain;
  // Row (team, round): the most and the least a team standing in that round can still add.
  std::vector<TLane> MaxGain, MinGain;
  // Row (team, round k): how a contender's bounds move when the team wins its game into round
  // k, and when it loses it. Lowest: WinLo, LoseLo; highest: WinHi, LoseHi.
  std::vector<TLane> WinLo, LoseLo, WinHi, LoseHi;
  // Every player's total so far and gains, where every player is ranked.
  std::vector<TLane> AllBase, AllGain;
  // Per slot: the game that fills it (-1: none), and the teams that can stand on it once that
  // game has been played.
  std::array<int, kSlots + 1> GameAt{};
  std::array<std::vector<int32_t>, kSlots + 1> Candidates;
  // The teams that can still be champion: each team's place among them, -1 for none.
  std::vector<int> ChampionOf;
  int Champions = 0;
  // Per player, the exact highest and lowest final totals, and the places they rule out.
  std::vector<int64_t> Max, Min;
  std::vector<int> StaticBest, StaticWorst;
  // A row of nothing, for the loser of a game no one else plays and for pairs without a row.
  std::vector<TLane> Zero, AllZero;
  // The rooting games (indexes into Games) and the depth by which all of them are decided.
  std::vector<int> RootingGames;
  int SnapDepth = -1;
  int TaskDepth = 0;
  int TaskBits = 0;
  // The slots whose teams can still win a game from the task depth on, and their rounds.
  std::vector<int> TaskAlive, TaskAliveRounds;
  // How far apart the final totals can lie, the span a count of them by value needs.
  int64_t Spread = 0;
  // The end game, from EndDepth on, when places are searched for apart: the lines whose teams
  // play it (its positions), what each contender's picks there bring in every lane (see
  // TEndGameWork), and in each lane the position of the champion.
  int EndDepth = 0;
  int EndBits = 0;      // its real games
  int EndOutcomes = 1;  // lanes beyond these repeat the first ones and are not counted
  std::vector<int> EndAlive;
  // A cell is a team on the line it can stand on, numbered line by line; a team stands on one
  // line only, so each team has one cell at most (-1: none). A contender's gains are
  // EndGains[EndGainOf[e]] for e from EndGainsFrom[contender] up to the next: what the team of
  // cell EndGainCell[e] brings, counted where it stands on its line, and where the team of
  // cell EndLoserCell[e] stands on its line too; that is cell EndCells, which always stands,
  // for what the team brings whoever it beats. Gains alike are kept once in EndGains.
  int EndCells = 0;
  std::vector<int> EndCellOf;
  std::vector<uint32_t> EndGainsFrom, EndGainOf;
  std::vector<int16_t> EndGainCell, EndLoserCell;
  std::vector<TEndLanes> EndGains;
  // Per lane, the line of the champion; per line, the lanes in which its team is champion.
  TEndLanes EndChampion{};
  std::vector<TEndBits> EndChampionLanes;
  TEndBits EndUsed{};
  // Per real game of the end game, in order, and per outcome of the games before it: the
  // positions of its two sides. Outcome bit r is real game r's side.
  // Each as first * positions + second.
  std::vector<int> EndSides;
  TOutlookVectors EndVectors = TOutlookVectors::Plain;
  // The model's chance that the first team beats the second: Teams * Teams.
  std::vector<double> TeamChance;

  TPlan(const TOutlookInput& input, const TOutlookGain& rule, const TOutlookOptions& options);

  int RowIndex(int team, int round) const {
    return RowOf[static_cast<size_t>(team) * kRowsPerTeam + static_cast<size_t>(round)];
  }
  TLane* Row(std::vector<TLane>& rows, int team, int round) {
    return rows.data() + static_cast<size_t>(RowIndex(team, round)) * Stride;
  }
  const TLane* Row(const std::vector<TLane>& rows, int team, int round) const {
    const int row = RowIndex(team, round);
    return row < 0 ? Zero.data() : rows.data() + static_cast<size_t>(row) * Stride;
  }
  // The row of the win of side `side` of `teams` in game `g`, in Gain, WinLo and WinHi.
  int WinRow(int g, const TGame& game, const std::array<int32_t, 2>& teams, int side) const {
    return ByTeam ? RowIndex(teams[static_cast<size_t>(side)], game.Round)
                  : Pairs.Of(g, game, teams, side);
  }
  int WinRows() const { return ByTeam ? RowCount : Pairs.Count(); }
  const TLane* At(const std::vector<TLane>& rows, int row) const {
    return rows.data() + static_cast<size_t>(row) * Stride;
  }
  // The place among the teams that can be champion of the team on the champion's line of
  // `occupant`, -1 when it is empty.
  int ChampionOn(const std::array<int32_t, kSlots + 1>& occupant) const {
    const int32_t team = occupant[kChampionSlot];
    return team < 0 ? -1 : ChampionOf[static_cast<size_t>(team)];
  }
  // A row of gains over every player: the win of side `side` of `teams` in game `g`.
  const TLane* AllGainRow(int g, const TGame& game, const std::array<int32_t, 2>& teams,
                          int side) const {
    const int row =
        ByTeam ? AllRowOf[static_cast<size_t>(teams[static_cast<size_t>(side)]) * kRowsPerTeam +
                          static_cast<size_t>(game.Round)]
               : Pairs.Of(g, game, teams, side);
    return row < 0 ? AllZero.data() : AllGain.data() + static_cast<size_t>(row) * AllStride;
  }

  // The chance that side `side` of a game between `teams` wins it, as the model weighs it.
  double Chance(const std::array<int32_t, 2>& teams, int side) const {
    return TeamChance[static_cast<size_t>(teams[static_cast<size_t>(side)]) *
                          static_cast<size_t>(Teams) +
                      static_cast<size_t>(teams[static_cast<size_t>(1 - side)])];
  }

  // The team that will stand on `slot` before any game of its round is played: the team on
  // it, or the one that goes through an empty line unopposed.
  int32_t FixedTeam(int32_t slot) const;

  // Which game fills each slot, and the teams that can stand on it.
  void PlanSlots();

  // The (team, round) pairs that get rows: the rounds a team can still win its way into, and
  // the round it stands in before each of those games.
  void PlanRows();

  // The exact highest and lowest final total of each player: over the bracket of games left,
  // for each line and each team that can get to it, the most and least the player can have
  // gained below that line with that team on it. Player by player, on every thread.
  void ExtremeTotals();

  void PlayerExtremes(int i, int64_t* gains, std::array<std::vector<int64_t>, kSlots + 1>& most,
                      std::array<std::vector<int64_t>, kSlots + 1>& least);

  // The contenders: whoever can reach the best total some player is sure of (the Paid-th
  // best, when prizes are paid). The others are below that player (those players) in every
  // outcome.
  void PlanContenders();

  int Threads() const;

  // The threads the search runs on: as many as asked for, but no more than the memory each
  // one's tallies and walk take leaves room for, so that a pool of a million contenders on a
  // machine of many cores still fits.
  int Workers() const;

  // Every outcome visited, or drawn ones: visited while the work stays within what a run may
  // take, players ranked at every outcome where that costs less than searching places apart.
  // Ranking costs the players and the span of their totals at every outcome; searching each
  // player's places apart costs every other player's gains for every player.
  void ChooseWay();

  // The contenders' rows, worked out contender by contender from their picks.
  void ContenderRows();

  // `most` and `least` take the contender's gains by team and round, `up` and `down` what a
  // team standing in each round can still add at most and at least.
  void ContenderRow(int c, int64_t* most, int64_t* least, int64_t* up, int64_t* down);

  // Every player's total so far and gains, for ranking every player.
  void PlayerRows();

  // The next round to be played: its real games come first in slot order among real games.
  void PlanRooting();

  void PlanDepths();

  // The end game: the last real games, no more than kEndGames of them, and none that the
  // tasks or the rooting guide split on. Ranking everyone, as wide lanes always do, needs
  // every outcome's totals, so then there is none.
  void PlanEndGame();

  // The slots whose teams play the games from `depth` on without having to win one first.
  std::vector<int> AliveAt(int depth) const;
};

}  // namespace OutlookSearch
