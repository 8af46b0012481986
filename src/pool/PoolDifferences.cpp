#include "PoolDifferences.h"

#include <QHash>
#include <algorithm>

#include "FFDataModule.h"

namespace {

// Names are listed up to this many; the rest are counted.
constexpr int kNamesShown = 5;

QString NameList(const QStringList& names) {
  QStringList shown = names.mid(0, kNamesShown);
  QString text = shown.join(QStringLiteral(", "));
  if (names.size() > kNamesShown)
    text += QStringLiteral(" and %1 more").arg(names.size() - kNamesShown);
  return text;
}

bool SamePicks(const TPlayerPicksListObject& a, const TPlayerPicksListObject& b) {
  if (a.TieBreakerPoints() != b.TieBreakerPoints())
    return false;
  for (int i = 0; i < TPlayerPicksListObject::kPickCount; ++i) {
    if (!SameChartEntry(*a.Pick(i), *b.Pick(i)))
      return false;
  }
  return true;
}

bool SamePlace(const TTeamSeedObject& a, const TTeamSeedObject& b) {
  return SameChartEntry(a, b) && a.Eliminated() == b.Eliminated();
}

// Lines for the items of two lists matched by name: only in one, only in the other, and in
// both but not the same.
template <class TItem, class TName, class TSame>
void CompareLists(const std::vector<std::unique_ptr<TItem>>& here,
                  const std::vector<std::unique_ptr<TItem>>& there, TName name, TSame same,
                  const QString& kind, const QString& differ, QStringList& lines) {
  QHash<QString, const TItem*> thereByName;
  for (const auto& item : there)
    thereByName.insert(name(*item), item.get());
  QStringList onlyHere;
  QStringList changed;
  for (const auto& item : here) {
    const TItem* other = thereByName.take(name(*item));
    if (!other) {
      onlyHere << name(*item);
    } else if (!same(*item, *other)) {
      changed << name(*item);
    }
  }
  QStringList onlyThere;
  for (const auto& item : there) {
    if (thereByName.contains(name(*item)))
      onlyThere << name(*item);
  }
  if (!onlyThere.isEmpty())
    lines << QStringLiteral("%1 only on disk: %2").arg(kind, NameList(onlyThere));
  if (!onlyHere.isEmpty())
    lines << QStringLiteral("%1 only here: %2").arg(kind, NameList(onlyHere));
  if (!changed.isEmpty())
    lines << QStringLiteral("%1 %2: %3").arg(kind, differ, NameList(changed));
}

}  // namespace

bool SameChartEntry(const TChartEntry& a, const TChartEntry& b) {
  return a.TeamName() == b.TeamName() && a.Region() == b.Region() && a.Seed() == b.Seed() &&
         a.RoundReached() == b.RoundReached();
}

QStringList PoolDifferences(const TFFDataModule& here, const TFFDataModule& there) {
  QStringList lines;
  CompareLists(
      here.PlayerPicksFile().List(), there.PlayerPicksFile().List(),
      [](const TPlayerPicksListObject& p) { return p.PlayerName(); }, SamePicks,
      QStringLiteral("Players"), QStringLiteral("whose picks or guess differ"), lines);
  CompareLists(
      here.TeamsFile().List(), there.TeamsFile().List(),
      [](const TTeamSeedObject& t) { return t.TeamName(); }, SamePlace, QStringLiteral("Teams"),
      QStringLiteral("placed differently"), lines);

  const TSystemFile& a = here.SystemFile();
  const TSystemFile& b = there.SystemFile();
  QStringList settings;
  if (a.PoolName() != b.PoolName())
    settings << QStringLiteral("the pool name");
  bool brackets = false;
  for (int i = 1; i <= 4; ++i)
    brackets = brackets || a.BracketName(i) != b.BracketName(i);
  if (brackets)
    settings << QStringLiteral("the bracket names");
  bool points = false;
  for (int k = 2; k <= 7; ++k)
    points = points || a.RoundPoints(k) != b.RoundPoints(k);
  if (points)
    settings << QStringLiteral("the point values");
  if (here.ScoringRule() != there.ScoringRule())
    settings << QStringLiteral("the scoring rule");
  if (here.Invited() != there.Invited())
    settings << QStringLiteral("the list of the invited");
  if (here.Prizes() != there.Prizes())
    settings << QStringLiteral("the prizes");
  if (a.Finalized() != b.Finalized())
    settings << QStringLiteral("the lock of the first round");
  if (a.TieBreakerPoints() != b.TieBreakerPoints())
    settings << QStringLiteral("the championship game's total points");
  if (!settings.isEmpty())
    lines << QStringLiteral("Settings that differ: %1").arg(settings.join(QStringLiteral(", ")));
  return lines;
}
