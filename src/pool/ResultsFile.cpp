#include "ResultsFile.h"

#include <QHash>
#include <QRegularExpression>
#include <QUndoStack>

#include "BracketItem.h"
#include "BracketList.h"
#include "FFDataModule.h"
#include "OpenPool.h"
#include "PoolNames.h"
#include "TeamsFile.h"

namespace {

const TTeamSeedObject* Holder(const TOpenPool& pool, int slot) {
  return static_cast<const TTeamSeedObject*>(pool.ResultsBracket()->Slot(slot)->Team());
}

}  // namespace

QStringList TResultsFile::ChartLines(const TOpenPool& pool) {
  QStringList lines;
  for (int slot = ChartPaths::kFirstGameSlot; slot <= ChartPaths::kSlotCount; ++slot) {
    if (const auto* team = Holder(pool, slot))
      lines << team->TeamName();
  }
  return lines;
}

bool TResultsFile::Read(const TOpenPool& pool, const QStringList& lines, QString* error) {
  using namespace ChartPaths;
  FSlots.fill(nullptr);
  FTotal = -1;
  FChanges.clear();
  const auto LineError = [this](int number, const QString& reason) {
    FReason = reason;
    return QStringLiteral("line %1: %2").arg(number).arg(reason);
  };
  if (!pool.Finalized()) {
    *error = FReason = TOpenPool::kNotFinalized;
    return false;
  }
  // Where each team of the first round stands as the file goes on.
  QHash<QString, int> lineOf;
  std::array<const TTeamSeedObject*, kSlotCount + 1> chart{};
  for (int slot = 1; slot <= kLines; ++slot) {
    chart[static_cast<size_t>(slot)] = Holder(pool, slot);
    if (chart[static_cast<size_t>(slot)])
      lineOf.insert(PoolNames::Key(chart[static_cast<size_t>(slot)]->TeamName()), slot);
  }
  static const QRegularExpression kScore(QStringLiteral("^(\\d{1,3})\\s*-\\s*(\\d{1,3})$"));
  for (int index = 0; index < lines.size(); ++index) {
    const int number = index + 1;
    const QString text = lines.at(index).trimmed();
    if (text.isEmpty() || text.startsWith(QLatin1Char('#')))
      continue;
    const QStringList parts = lines.at(index).split(QLatin1Char('\t'));
    const QString name = parts.at(0);
    const auto found = lineOf.constFind(PoolNames::Key(name));
    if (found == lineOf.cend()) {
      *error = LineError(number, QStringLiteral("no team of the pool is named \"%1\"")
                                     .arg(PoolNames::Quoted(name.trimmed())));
      return false;
    }
    const int at = found.value();
    const auto* team = chart[static_cast<size_t>(at)];
    if (at == kChampionSlot) {
      *error = LineError(
          number, QStringLiteral("%1 has already won the championship").arg(team->TeamName()));
      return false;
    }
    const int next = NextSlot(at);
    if (chart[static_cast<size_t>(next)]) {
      *error = LineError(number,
                         QStringLiteral("%1 is out: it lost to %2")
                             .arg(team->TeamName(), chart[static_cast<size_t>(next)]->TeamName()));
      return false;
    }
    const auto* opponent = chart[static_cast<size_t>(Opponent(at))];
    if (!opponent) {
      *error = LineError(number, QStringLiteral("%1 has no opponent yet: that game is not yet "
                                                "possible")
                                     .arg(team->TeamName()));
      return false;
    }
    int total = -1;
    if (parts.size() > 1 && !parts.at(1).trimmed().isEmpty()) {
      const auto match = kScore.match(parts.at(1).trimmed());
      if (next != kChampionSlot || !match.hasMatch() ||
          match.captured(1).toInt() + match.captured(2).toInt() > TOpenPool::kMaxPoints) {
        *error = LineError(number, next != kChampionSlot
                                       ? QStringLiteral("only the final's line carries a score")
                                       : QStringLiteral("the score must read as \"75-60\""));
        return false;
      }
      total = match.captured(1).toInt() + match.captured(2).toInt();
    }
    if (parts.size() > 2) {
      *error = LineError(number, QStringLiteral("a line holds a name and at most a score"));
      return false;
    }
    chart[static_cast<size_t>(next)] = team;
    lineOf[found.key()] = next;
    if (total >= 0)
      FTotal = total;
  }
  for (int slot = kFirstGameSlot; slot <= kSlotCount; ++slot) {
    const auto* wanted = chart[static_cast<size_t>(slot)];
    const auto* held = Holder(pool, slot);
    FSlots[static_cast<size_t>(slot)] = wanted;
    if (wanted == held)
      continue;
    const auto* loser = wanted ? chart[static_cast<size_t>(FirstFeeder(slot))] == wanted
                                     ? chart[static_cast<size_t>(FirstFeeder(slot) + 1)]
                                     : chart[static_cast<size_t>(FirstFeeder(slot))]
                               : nullptr;
    if (!held)
      FChanges << QStringLiteral("added: %1 beat %2").arg(wanted->TeamName(), loser->TeamName());
    else if (wanted)
      FChanges << QStringLiteral("corrected: %1 beat %2 (the pool had %3 winning)")
                      .arg(wanted->TeamName(), loser->TeamName(), held->TeamName());
    else
      FChanges << QStringLiteral("taken back: %1's win in round %2")
                      .arg(held->TeamName())
                      .arg(SlotRound(slot) - 1);
  }
  if (FTotal >= 0 && FTotal != pool.DataModule()->SystemFile().TieBreakerPoints())
    FChanges << QStringLiteral("championship total: %1").arg(FTotal);
  return true;
}

void TResultsFile::Apply(TOpenPool& pool, QUndoStack* undo) {
  using namespace ChartPaths;
  if (FChanges.isEmpty())
    return;
  if (undo)
    undo->beginMacro(QStringLiteral("Import Results"));
  // Round by round, so that every team placed stands on the lines before it already.
  for (int slot = kFirstGameSlot; slot <= kSlotCount; ++slot) {
    const auto* wanted = FSlots[static_cast<size_t>(slot)];
    if (wanted == Holder(pool, slot))
      continue;
    if (wanted)
      pool.PlaceTeam(wanted, slot, undo);
    else
      pool.RemoveTeamFromSlot(slot, undo);
  }
  if (FTotal >= 0 && FTotal != pool.DataModule()->SystemFile().TieBreakerPoints())
    pool.SetTieBreakerPoints(FTotal, undo);
  if (undo)
    undo->endMacro();
}
