#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// The pool's prizes: an entry fee, and the pot (the fee times the number of players) split by
// place, a percentage per place adding up to 100. Money is kept in cents and percentages in
// hundredths of a percent, so that every sum is exact.
//
// Players level share the prizes of the places they span, in cents; any cent left over goes to
// the first of them. Whatever the rounding, the prizes paid add up to the pot.
namespace Prizes {

struct TPrizes {
  int64_t FeeCents = 0;
  std::vector<int32_t> Split;  // hundredths of a percent per place, first place first

  // No split means the pool pays no prizes.
  bool IsSet() const { return !Split.empty(); }
  int PaidPlaces() const { return static_cast<int>(Split.size()); }
  bool operator==(const TPrizes& other) const {
    return FeeCents == other.FeeCents && Split == other.Split;
  }
  bool operator!=(const TPrizes& other) const { return !(*this == other); }
};

// The most an entry fee may be, in cents: keeps fee times players far inside 64 bits.
constexpr int64_t kMostFeeCents = int64_t{100000000} * 100;

int64_t Pot(const TPrizes& prizes, int players);

// What each place pays in a pool of `players`, in cents: its share of the pot rounded down.
// What is left over, the cents of the rounding and the shares of places beyond the number of
// players (no one finishes there), goes to first place, so the places pay the whole pot.
std::vector<int64_t> PlaceAmounts(const TPrizes& prizes, int players);

// Each player's prize, in cents. `places`: each player's place in finish order as
// FinishOrder::Rank gives them (players who share a place have the place of the first of
// them, and are listed one after the other).
std::vector<int64_t> Share(const std::vector<int64_t>& placeAmounts, const std::vector<int>& places);

// Reads a split written "60,30,10" (a percentage per place, at most two decimals). Returns the
// reason it is refused, or an empty string.
QString ParseSplit(const QString& text, std::vector<int32_t>& split);
// Reads an amount of money written "25" or "25.50". Returns the reason it is refused, or an
// empty string.
QString ParseMoney(const QString& text, int64_t& cents);

// Why `prizes` cannot be a pool's, or an empty string: a share not above 0, shares not adding
// up to 100%, a fee beyond the most, a split without a fee above 0 or a fee without a split.
QString Refusal(const TPrizes& prizes);
// Reads prizes as the organiser types them, the fee and the split apart; both empty (or the
// fee 0) mean no prizes. Returns the reason they are refused, or an empty string.
QString Parse(const QString& feeText, const QString& splitText, TPrizes& prizes);

QString SplitText(const std::vector<int32_t>& split);  // "60,30,10"
QString MoneyText(int64_t cents);                     // "25.00", for amounts of 0 or more

}  // namespace Prizes
