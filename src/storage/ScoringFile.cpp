#include "ScoringFile.h"

#include "IniText.h"
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
  const QString key = IniText::Value(text, kSection, kRuleKey);
  return !key.isNull() && ScoringRules::FromKey(key, rule);
}
