#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "Prizes.h"
#include "ReportItem.h"
#include "ScoringRuleFwd.h"
#include "StandingsItem.h"

class TFFDataModule;
class TPlayerPicksListObject;
class TTeamSeedObject;

// The common base of the report data sets. A report creates one, builds it from the open pool,
// reads its rows by index and lets it go; nothing is kept between runs. Build here is the
// scoring shared by the four standings data sets: one TStandingsItem per player, then Sort
// puts the rows in the data set's order.
class TReportsBase {
 public:
  using TItems = std::vector<std::unique_ptr<TReportItem>>;

  static inline const QString kAbstractTitle =
      QStringLiteral("ABSTRACT FUNCTION : Error - uReportsBase");

  TReportsBase() = default;
  virtual ~TReportsBase() = default;
  TReportsBase(const TReportsBase&) = delete;
  TReportsBase& operator=(const TReportsBase&) = delete;

  virtual QString Title() const;
  // Scores every player of `pool` from its in-memory files (unsaved changes included) and
  // orders the rows. The pool is only read.
  virtual void Build(const TFFDataModule& pool);
  // The same as the pool stood once the games up to chart round `round` (2..7) were played:
  // every team only as far as it had got by then, a team beaten in a later round still in,
  // and the championship game's total, which only its last round brings, not yet known.
  // The results need no history: the chart as it stands holds every round's winners.
  void BuildAfterRound(const TFFDataModule& pool, int round);
  virtual void Sort() = 0;

  // The rows in report order.
  const TItems& Items() const { return FItems; }
  // Row `index` of a standings data set (one built by this class's Build).
  const TStandingsItem& StandingsItem(int index) const;
  // The place of row `index` of a standings data set in the finish order: players level on
  // its total share the place of the first of them (two level at the top are both 1st, the
  // next 3rd) until the final is played; from then on the guess parts them (FinishOrder).
  int Place(int index) const { return FPlaces.at(static_cast<size_t>(index)); }
  // Each row's prize in cents, in report order, once the tournament is over (the final
  // played) in a pool that pays prizes: players still level after the tie-breaker share
  // (Prizes::Share). Empty while games are left and in a pool without prizes.
  std::vector<int64_t> Prizes() const;

  // Copies the player's picks for the last four, the finals and the champion into `item`, in
  // pick-entry order. Stored picks beyond the four, two and one names the fields hold are
  // left out.
  static void FillFinalPicks(TStandingsItem& item, const TPlayerPicksListObject& player);
  // What a pick of `team` to reach chart round k has come to, as the pool stood after chart
  // round `round` (see BuildAfterRound): come true once the team got that far, dead once it
  // lost short of it, open until then.
  enum class TPickState { Correct, Open, Dead };
  static TPickState PickState(const TTeamSeedObject& team, int k,
                              int round = TStandingsItem::kLastRound);

 protected:
  // A title of points, which names the scoring rule they were worked out by where that is
  // not round points.
  QString Scored(const QString& title) const;
  // Rows in the finish order (FinishOrder) of `total`.
  void SortByTotal(int32_t (TStandingsItem::*total)() const);

  TItems FItems;
  // The actual total of the championship game, as the pool held it when it was built.
  int32_t FActualTieBreaker = 0;
  // Whether the championship game had been played, as the pool stood when it was built.
  bool FFinalPlayed = false;
  // Each row's place, filled by SortByTotal.
  std::vector<int> FPlaces;
  TScoringRule FScoringRule = ScoringRules::kDefault;
  Prizes::TPrizes FPrizes;
};
