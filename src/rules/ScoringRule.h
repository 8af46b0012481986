#pragma once

#include <QString>
#include <array>

#include "ScoringRuleFwd.h"

// The rules a pool can score by. Each correct pick earns, for the game its team won, the round's
// points and, by the rule, something for the seeds: the winner's alone, or the winner's beside
// the loser's where the winner was the higher seed number (an upset). What a won game earns
// under each rule is TScoring::Points.
enum class TScoringRule : int {
  RoundPoints,
  SeedBonus,
  SeedTimesPoints,
  UpsetBonus,
  RelaxedUpsetBonus,
  UpsetMultiplier,
};

namespace ScoringRules {

// Everything the program says about a rule, one record each.
struct TRecord {
  TScoringRule Rule;
  // The rule's name in "Scoring.ini" and on the command line ("upset-bonus").
  const char* Key;
  // The rule's name as the windows and reports show it ("Upset bonus").
  const char* Caption;
  // One line that says what a correct pick earns under the rule.
  const char* Explanation;
  // Whether what a game earns depends on who lost it; under the other rules it depends on the
  // winner and the round alone.
  bool DependsOnLoser;
};

constexpr std::array kRecords{
    TRecord{TScoringRule::RoundPoints, "round-points", "Round points",
            "A correct pick earns the round's points.", false},
    TRecord{TScoringRule::SeedBonus, "seed-bonus", "Seed bonus",
            "A correct pick earns the round's points plus the winner's seed.", false},
    TRecord{TScoringRule::SeedTimesPoints, "seed-times-points", "Seed times points",
            "A correct pick earns the round's points times the winner's seed.", false},
    TRecord{TScoringRule::UpsetBonus, "upset-bonus", "Upset bonus",
            "An upset adds the seed difference, if the player also picked the loser to reach "
            "that game.",
            true},
    TRecord{TScoringRule::RelaxedUpsetBonus, "relaxed-upset-bonus", "Relaxed upset bonus",
            "An upset adds the seed difference, whoever the player picked to lose it.", true},
    TRecord{TScoringRule::UpsetMultiplier, "upset-multiplier", "Upset multiplier",
            "An upset earns the round's points times the winner's seed over the loser's, "
            "rounded up.",
            true},
};
constexpr int kCount = static_cast<int>(kRecords.size());

// Rules are stored and listed by their place: each record must stand at its rule's value.
constexpr bool InValueOrder() {
  for (size_t i = 0; i < kRecords.size(); ++i) {
    if (static_cast<size_t>(kRecords[i].Rule) != i)
      return false;
  }
  return true;
}
static_assert(InValueOrder(), "a rule's record stands at its value");
static_assert(kRecords[0].Rule == kDefault, "the default rule is the first");

constexpr const TRecord& Record(TScoringRule rule) {
  return kRecords[static_cast<size_t>(rule)];
}

QString Key(TScoringRule rule);
QString Caption(TScoringRule rule);
QString Explanation(TScoringRule rule);
// `title`, of a report or a table of points, naming the rule where it is not round points:
// "Standings by Current Points - Upset bonus".
QString Titled(const QString& title, TScoringRule rule);
// The rule named `key` (any case); false when no rule has that name.
bool FromKey(const QString& key, TScoringRule* rule);
constexpr bool DependsOnLoser(TScoringRule rule) {
  return Record(rule).DependsOnLoser;
}

}  // namespace ScoringRules
