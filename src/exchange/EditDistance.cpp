#include "EditDistance.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr size_t kWordBits = 64;
constexpr uint64_t kTopBit = uint64_t{1} << (kWordBits - 1);

}  // namespace

TEditDistance::TEditDistance(QStringView from)
    : FLength(from.size()),
      FWords((static_cast<size_t>(from.size()) + kWordBits - 1) / kWordBits),
      FLatin(256 * FWords) {
  for (qsizetype i = 0; i < from.size(); ++i) {
    const char16_t letter = from.utf16()[i];
    const size_t word = static_cast<size_t>(i) / kWordBits;
    const uint64_t bit = uint64_t{1} << (static_cast<size_t>(i) % kWordBits);
    if (letter < 256) {
      FLatin[letter * FWords + word] |= bit;
      continue;
    }
    auto other = std::lower_bound(FOthers.begin(), FOthers.end(), letter,
                                  [](const auto& entry, char16_t c) { return entry.first < c; });
    if (other == FOthers.end() || other->first != letter) {
      other = FOthers.insert(other, {letter, FOtherPlaces.size()});
      FOtherPlaces.resize(FOtherPlaces.size() + FWords);
    }
    FOtherPlaces[other->second + word] |= bit;
  }
}

const uint64_t* TEditDistance::Places(char16_t letter) const {
  if (letter < 256)
    return &FLatin[letter * FWords];
  const auto other = std::lower_bound(FOthers.begin(), FOthers.end(), letter,
                                      [](const auto& entry, char16_t c) { return entry.first < c; });
  return other == FOthers.end() || other->first != letter ? nullptr
                                                          : &FOtherPlaces[other->second];
}

int TEditDistance::To(QStringView to, int bound) const {
  const qsizetype length = to.size();
  if (FLength == 0)
    return static_cast<int>(std::min<qsizetype>(length, bound));
  if (std::abs(length - FLength) >= bound)
    return bound;
  // Myers' bit-parallel algorithm in Hyyrö's form, for a whole name against a whole name: the
  // table of distances a column at a time, each column kept as where it goes up by one from a
  // row to the next (FPlus) and where down (FMinus), a word of rows at a time from the top.
  FPlus.assign(FWords, ~uint64_t{0});
  FMinus.assign(FWords, 0);
  const uint64_t lastRow = uint64_t{1} << (static_cast<size_t>(FLength - 1) % kWordBits);
  qsizetype distance = FLength;
  for (qsizetype j = 0; j < length; ++j) {
    const uint64_t* places = Places(to.utf16()[j]);
    // How the row just above a word changes from the last column to this one: the top row
    // counts up by one.
    int carry = 1;
    for (size_t w = 0; w < FWords; ++w) {
      uint64_t match = places ? places[w] : 0;
      const uint64_t plus = FPlus[w];
      const uint64_t minus = FMinus[w];
      const uint64_t downCause = match | minus;
      if (carry < 0)
        match |= 1;
      const uint64_t acrossCause = (((match & plus) + plus) ^ plus) | match;
      uint64_t rowPlus = minus | ~(acrossCause | plus);
      uint64_t rowMinus = plus & acrossCause;
      const uint64_t bottom = w + 1 == FWords ? lastRow : kTopBit;
      const int out = (rowPlus & bottom) ? 1 : (rowMinus & bottom) ? -1 : 0;
      rowPlus <<= 1;
      rowMinus <<= 1;
      if (carry < 0)
        rowMinus |= 1;
      else if (carry > 0)
        rowPlus |= 1;
      FPlus[w] = rowMinus | ~(downCause | rowPlus);
      FMinus[w] = rowPlus & downCause;
      carry = out;
    }
    distance += carry;
    // Each column left can take at most one off the bottom row.
    if (distance - (length - j - 1) >= bound)
      return bound;
  }
  return static_cast<int>(std::min<qsizetype>(distance, bound));
}
