#pragma once

// The pool's scoring rule, named without its values: the headers that only carry a rule (the
// data module, the pool's edits, the outlook's input) take this one, so that adding or
// changing a rule rebuilds only what asks about the rules themselves (ScoringRule.h).
enum class TScoringRule : int;

namespace ScoringRules {
// A pool without a "Scoring.ini" scores by round points, the first rule.
constexpr TScoringRule kDefault = TScoringRule{0};
}  // namespace ScoringRules
