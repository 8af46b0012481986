#include "ScoringRule.h"

QString ScoringRules::Key(TScoringRule rule) {
  return QString::fromLatin1(Record(rule).Key);
}

QString ScoringRules::Caption(TScoringRule rule) {
  return QString::fromLatin1(Record(rule).Caption);
}

QString ScoringRules::Explanation(TScoringRule rule) {
  return QString::fromLatin1(Record(rule).Explanation);
}

QString ScoringRules::Titled(const QString& title, TScoringRule rule) {
  return rule == kDefault ? title : title + QStringLiteral(" - ") + Caption(rule);
}

bool ScoringRules::FromKey(const QString& key, TScoringRule* rule) {
  for (const TRecord& record : kRecords) {
    if (key.trimmed().compare(QLatin1String(record.Key), Qt::CaseInsensitive) == 0) {
      *rule = record.Rule;
      return true;
    }
  }
  return false;
}
