#include "ScoringFile.h"

#include <QList>
#include <array>

namespace {
const QString kSection = QStringLiteral("[Scoring]");
const QString kRuleKey = QStringLiteral("Rule");

struct TRuleText {
  TScoringRule Rule;
  const char* Key;
  const char* Caption;
  const char* Explanation;
};

constexpr std::array<TRuleText, ScoringRules::kCount> kRules{{
    {TScoringRule::RoundPoints, "round-points", "Round points",
     "A correct pick earns the round's points."},
    {TScoringRule::SeedBonus, "seed-bonus", "Seed bonus",
     "A correct pick earns the round's points plus the winner's seed."},
    {TScoringRule::SeedTimesPoints, "seed-times-points", "Seed times points",
     "A correct pick earns the round's points times the winner's seed."},
    {TScoringRule::UpsetBonus, "upset-bonus", "Upset bonus",
     "An upset adds the seed difference, if the player also picked the loser to reach that "
     "game."},
    {TScoringRule::RelaxedUpsetBonus, "relaxed-upset-bonus", "Relaxed upset bonus",
     "An upset adds the seed difference, whoever the player picked to lose it."},
    {TScoringRule::UpsetMultiplier, "upset-multiplier", "Upset multiplier",
     "An upset earns the round's points times the winner's seed over the loser's, rounded up."},
}};

const TRuleText& TextOf(TScoringRule rule) {
  return kRules[static_cast<size_t>(rule)];
}
}  // namespace

QString ScoringRules::Key(TScoringRule rule) {
  return QString::fromLatin1(TextOf(rule).Key);
}

QString ScoringRules::Caption(TScoringRule rule) {
  return QString::fromLatin1(TextOf(rule).Caption);
}

QString ScoringRules::Explanation(TScoringRule rule) {
  return QString::fromLatin1(TextOf(rule).Explanation);
}

QString ScoringRules::Titled(const QString& title, TScoringRule rule) {
  return rule == kDefault ? title : title + QStringLiteral(" - ") + Caption(rule);
}

bool ScoringRules::FromKey(const QString& key, TScoringRule* rule) {
  for (const TRuleText& text : kRules) {
    if (key.trimmed().compare(QLatin1String(text.Key), Qt::CaseInsensitive) == 0) {
      *rule = text.Rule;
      return true;
    }
  }
  return false;
}

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
