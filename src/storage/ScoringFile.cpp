#include "ScoringFile.h"

#include <QList>

#include "ScoringRule.h"

namespace {
const QString kSection = QStringLiteral("[Scoring]");
const QString kRuleKey = QStringLiteral("Rule");
}  // namespace

QByteArray ScoringFile::Text(TScoringRule rule) {
  return (kSection + QLatin1Char('\n') + kRuleKey + QLatin1Char('=') + ScoringRules::Key(rule) +
          QLatin1Char('\n'))
      .toUtf8();
}

bool ScoringFile::Parse(const QByteArray& text, TScoringRule* rule) {
  // An ini file a person may have edited: blank lines, comments and other keys are passed
  // over; the rule is the Rule key of the Scoring section.
  bool inSection = false;
  for (const QByteArray& raw : text.split('\n')) {
    const QString line = QString::fromUtf8(raw).trimmed();
    if (line.startsWith(QLatin1Char('['))) {
      inSection = line.compare(kSection, Qt::CaseInsensitive) == 0;
      continue;
    }
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (!inSection || equals < 0 ||
        line.left(equals).trimmed().compare(kRuleKey, Qt::CaseInsensitive) != 0) {
      continue;
    }
    return ScoringRules::FromKey(line.mid(equals + 1), rule);
  }
  return false;
}
