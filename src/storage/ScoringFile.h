#pragma once

#include <QByteArray>
#include <QString>

#include "ScoringRuleFwd.h"

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
