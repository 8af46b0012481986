#pragma once

#include <cstdint>
#include <vector>

// The pool's finish order: more points first; among equal points, once the championship
// game's actual total is entered, the guess closest to it first (a guess above and one below by
// the same amount are level). Players still level share a place. The standings, their reports,
// the page and the outlook's finished pool all rank by this.
namespace FinishOrder {

// How far a guess lies from the actual total of the championship game: the tie-break. Before
// that total is entered (0 or less) it is 0 for everyone, so it parts no one.
int64_t GuessDistance(int32_t guess, int32_t actual);

struct TKey {
  int64_t Points = 0;
  int64_t Distance = 0;  // GuessDistance
  uint32_t Row = 0;      // the player's place in the player file
};

// Whether a finishes ahead of b.
bool Ahead(const TKey& a, const TKey& b);
// Whether a and b share a place.
bool Level(const TKey& a, const TKey& b);

// Puts the keys in finish order, players level keeping player-file order so that the same pool
// always prints the same standings, and returns each one's place: players level share the
// place of the first of them (two level at the top are both 1st, the next 3rd).
std::vector<int> Rank(std::vector<TKey>& keys);

}  // namespace FinishOrder
