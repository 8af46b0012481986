#include "EditDistance.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr size_t kWordBits = 64;

// Whether the last row of a word goes up or down by one from a column to the next: 0 or 1
// each, at most one of them 1.
struct TCarry {
  uint64_t Plus;
  uint64_t Minus;
};

// One word of rows of the next column, from `match` (the rows whose letter is the column's)
// and how the row above the word changes: `plus` and `minus` become the new column's, and
// the change along its row `bottom` is returned. No branches: every comparison in a fuzzing
// build is counted, and there are a word's worth of letters to compare.
TCarry Column(uint64_t& plus, uint64_t& minus, uint64_t match, TCarry in, unsigned bottom) {
  const uint64_t downCause = match | minus;
  match |= in.Minus;
  const uint64_t acrossCause = (((match & plus) + plus) ^ plus) | match;
  const uint64_t rowPlus = minus | ~(acrossCause | plus);
  const uint64_t rowMinus = plus & acrossCause;
  const TCarry out{(rowPlus >> bottom) & 1, (rowMinus >> bottom) & 1};
  const uint64_t shiftedPlus = (rowPlus << 1) | in.Plus;
  const uint64_t shiftedMinus = (rowMinus << 1) | in.Minus;
  plus = shiftedMinus | ~(downCause | shiftedPlus);
  minus = shiftedPlus & downCause;
  return out;
}

}  // namespace

void TEditDistance::AppendFolded(QString& to, QStringView name) {
  for (qsizetype i = 0; i < name.size(); ++i) {
    const QChar c = name[i];
    if (c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
      const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(c, name[++i]));
      to += QChar(QChar::highSurrogate(folded));
      to += QChar(QChar::lowSurrogate(folded));
    } else {
      to += c.toCaseFolded();
    }
  }
}

void TEditDistance::SetFrom(QStringView from) {
  const size_t words = (static_cast<size_t>(from.size()) + kWordBits - 1) / kWordBits;
  // Only the masks of the last name's letters are set: a name of as many words clears those
  // rather than all 256.
  if (words == FWords) {
    for (const char16_t letter : FLatinLetters)
      std::fill_n(FLatin.begin() + static_cast<qsizetype>(letter * FWords), FWords, 0);
  } else {
    FLatin.assign(256 * words, 0);
  }
  FLatinLetters.clear();
  FLength = from.size();
  FWords = words;
  FOthers.clear();
  FOtherPlaces.assign(FWords, 0);
  // The first column: the distances from the name's beginnings to nothing.
  FKept = 0;
  FColumns.assign(2 * FWords, 0);
  std::fill_n(FColumns.begin(), FWords, ~uint64_t{0});
  FDistances.assign(1, FLength);
  for (qsizetype i = 0; i < from.size(); ++i) {
    const char16_t letter = from.utf16()[i];
    const size_t word = static_cast<size_t>(i) / kWordBits;
    const uint64_t bit = uint64_t{1} << (static_cast<size_t>(i) % kWordBits);
    if (letter < 256) {
      FLatin[letter * FWords + word] |= bit;
      FLatinLetters.push_back(letter);
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

const uint64_t* TEditDistance::OtherPlaces(char16_t letter) const {
  const auto other = std::lower_bound(FOthers.begin(), FOthers.end(), letter,
                                      [](const auto& entry, char16_t c) { return entry.first < c; });
  return &FOtherPlaces[other == FOthers.end() || other->first != letter ? 0 : other->second];
}

int TEditDistance::To(QStringView to, int bound) {
  const qsizetype length = to.size();
  if (FLength == 0)
    return static_cast<int>(std::min<qsizetype>(length, bound));
  if (std::abs(length - FLength) >= bound)
    return bound;
  // Myers' bit-parallel algorithm in Hyyrö's form, for a whole name against a whole name: the
  // table of distances a column at a time, each column kept as where it goes up by one from a
  // row to the next and where down, a word of rows at a time from the top. The columns of the
  // last name measured are kept: this one goes on from where the two part.
  qsizetype start = 0;
  const qsizetype same = std::min(FKept, length);
  while (start < same && FLastTo[static_cast<size_t>(start)] == to.utf16()[start])
    ++start;
  FLastTo.resize(static_cast<size_t>(length));
  std::copy(to.utf16() + start, to.utf16() + length, FLastTo.begin() + start);
  const size_t columnWords = 2 * FWords;
  FColumns.resize(static_cast<size_t>(length + 1) * columnWords);
  FDistances.resize(static_cast<size_t>(length) + 1);
  const size_t lastWord = FWords - 1;
  const auto lastRow = static_cast<unsigned>(static_cast<size_t>(FLength - 1) % kWordBits);
  qsizetype distance = FDistances[static_cast<size_t>(start)];
  for (qsizetype j = start; j < length; ++j) {
    const char16_t letter = to.utf16()[j];
    const uint64_t* places = letter < 256 ? &FLatin[letter * FWords] : OtherPlaces(letter);
    uint64_t* plus = &FColumns[static_cast<size_t>(j + 1) * columnWords];
    uint64_t* minus = plus + FWords;
    std::copy(plus - columnWords, plus, plus);
    // How the row just above a word changes from the last column to this one: the top row
    // counts up by one.
    TCarry carry{1, 0};
    for (size_t w = 0; w < lastWord; ++w)
      carry = Column(plus[w], minus[w], places[w], carry, kWordBits - 1);
    carry = Column(plus[lastWord], minus[lastWord], places[lastWord], carry, lastRow);
    distance += static_cast<qsizetype>(carry.Plus) - static_cast<qsizetype>(carry.Minus);
    FDistances[static_cast<size_t>(j) + 1] = distance;
    FKept = j + 1;
    // Each column left can take at most one off the bottom row.
    if (distance - (length - j - 1) >= bound)
      return bound;
  }
  FKept = length;
  return static_cast<int>(std::min<qsizetype>(distance, bound));
}
