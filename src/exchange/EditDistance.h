#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <utility>
#include <vector>

// The edit distance (letters put in, left out or changed, in UTF-16 code units) from one name
// to many others: the team a mistyped name most likely meant. The name's letters are kept as
// bit masks of where each stands, 64 letters to a word, so that a comparison costs a few word
// operations per letter of the other name rather than a table of both lengths.
class TEditDistance {
 public:
  // Appends `name` case folded as QString::toCaseFolded folds a pool's names, a character at a
  // time, each to one of as many code units: many names can be folded into one string rather
  // than a string each. Half a surrogate pair is kept as it is (Qt may make it U+FFFD): no
  // pool's name holds either, so it is a letter no team's name matches either way.
  static void AppendFolded(QString& to, QStringView name);

  // Measures from `from` on; the space for one name is kept for the next, so that a search for
  // the closest of each of many names allocates once.
  void SetFrom(QStringView from);

  // The distance to `to`, or `bound` when it is `bound` or more: a search for the closest
  // wants only a distance below the best so far, and gives up on one that cannot come under it.
  int To(QStringView to, int bound);

 private:
  // Where `letter`, one beyond the first 256 code units, stands in the name, one bit a place,
  // FWords words.
  const uint64_t* OtherPlaces(char16_t letter) const;

  qsizetype FLength = 0;
  size_t FWords = 0;
  // The masks of the first 256 code units, FWords a letter, and of the others the name holds,
  // by letter, after the masks of a letter it has not.
  std::vector<uint64_t> FLatin;
  // The letters of the first 256 in the name, once for each time they stand in it.
  std::vector<char16_t> FLatinLetters;
  std::vector<std::pair<char16_t, size_t>> FOthers;
  std::vector<uint64_t> FOtherPlaces;
  // The last name measured to, the first FKept of its letters with their columns: a pool's
  // teams often begin alike ("North Carolina", "North Carolina St."), and the next name goes
  // on from where it parts from the last. A column is where it goes up by one from a row to
  // the next and where down, FWords words each, and its last row's distance.
  std::vector<char16_t> FLastTo;
  qsizetype FKept = 0;
  std::vector<uint64_t> FColumns;
  std::vector<qsizetype> FDistances;
};
