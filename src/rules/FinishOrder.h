#pragma once

#include <cstdint>
#include <vector>

// The pool's finish order: more points first; among equal points, once the championship
// game's actual total is entered, the guess closest to it first (a guess above and one below by
// the same amount are level).
//
// Places follow one rule wherever a place is shown: players level on points share a place
// (1, 1, 3). The guess parts them only once the final is played; until then it only decides
// which of them is listed first. Players still level after it share a place. The printed
// standings number their rows instead. The standings, their reports, the history, the page
// and the outlook all rank by this.
namespace FinishOrder {

// How far a guess lies from the actual total of the championship game: the tie-break. Before
// that total is entered (0 or less) it is 0 for everyone, so it parts no one.
int64_t GuessDistance(int32_t guess, int32_t actual);

struct TKey {
  int64_t Points = 0;
  int64_t Distance = 0;  // GuessDistance
  uint32_t Row = 0;      // the player's place in the player file
};

// Puts the keys in finish order, players level keeping player-file order so that the same pool
// always prints the same standings, and returns each one's place: players who share a place
// (see above) get the place of the first of them. `finalPlayed`: whether the championship game
// has been played, so that the guess parts players level on points.
std::vector<int> Rank(std::vector<TKey>& keys, bool finalPlayed);

}  // namespace FinishOrder
