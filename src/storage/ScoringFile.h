#pragma once

#include <QByteArray>
#include <QString>

// The rules a pool can score by. Each correct pick earns, for the game its team won, the round's
// points and, by the rule, something for the seeds: the winner's alone, or the winner's beside
// the loser's where the winner was the higher seed number (an upset).
enum class TScoringRule {
  RoundPoints,
  SeedBonus,
  SeedTimesPoints,
  UpsetBonus,
  RelaxedUpsetBonus,
  UpsetMultiplier,
};

namespace ScoringRules {
constexpr int kCount = 6;
constexpr TScoringRule kDefault = TScoringRule::RoundPoints;

// The rule's name in "Scoring.ini" and on the command line ("upset-bonus").
QString Key(TScoringRule rule);
// The rule's name as the windows and reports show it ("Upset bonus").
QString Caption(TScoringRule rule);
// One line that says what a correct pick earns under the rule.
QString Explanation(TScoringRule rule);
// `title`, of a report or a table of points, naming the rule where it is not round points:
// "Standings by Current Points - Upset bonus".
QString Titled(const QString& title, TScoringRule rule);
// The rule named `key` (any case); false when no rule has that name.
bool FromKey(const QString& key, TScoringRule* rule);
// Whether what a game earns depends on who lost it; under the other rules it depends on the
// winner and the round alone.
constexpr bool DependsOnLoser(TScoringRule rule) {
  return rule == TScoringRule::UpsetBonus || rule == TScoringRule::RelaxedUpsetBonus ||
         rule == TScoringRule::UpsetMultiplier;
}
}  // namespace ScoringRules

// "Scoring.ini": the pool's scoring rule, a small text file of its own beside the three record
// files, whose layout it leaves alone. A pool without one scores by round points.
namespace ScoringFile {
inline const QString kFileName = QStringLiteral("Scoring.ini");
// Why a pool is scored by round points although it has the file: it names no rule this
// program knows, or it cannot be read. The file is left as it is until a rule is chosen again.
inline const QString kUnknownRule = QStringLiteral("it names no scoring rule this program knows");
inline const QString kNotAFile = QStringLiteral("it is not a plain file");
inline const QString kRoundPointsMeanwhile =
    QStringLiteral("; this pool is scored by round points until a rule is chosen in Pool Options.");
// Far more than the file ever holds; a damaged one is never read whole.
constexpr qint64 kSizeLimit = 4096;

// The file's whole text for `rule`.
QByteArray Text(TScoringRule rule);
// Reads the rule from the file's text; false when the text names none.
bool Parse(const QByteArray& text, TScoringRule* rule);
}  // namespace ScoringFile
