#include "ReportsBase.h"

#include <algorithm>
#include <limits>

#include "ChartPaths.h"
#include "FFDataModule.h"
#include "FinishOrder.h"
#include "ScoredPicks.h"
#include "ScoringRule.h"
#include "StandingsHistory.h"
#include "TeamIndex.h"

namespace {

// Totals of a stored file can be anything: a sum past the int32 range stops at its end
// rather than wrapping round.
int32_t Saturate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

QString TReportsBase::Title() const {
  return kAbstractTitle;
}

void TReportsBase::Build(const TFFDataModule& pool) {
  BuildAfterRound(pool, TStandingsItem::kLastRound);
}

void TReportsBase::BuildAfterRound(const TFFDataModule& pool, int round) {
  constexpr int kFirst = TStandingsItem::kFirstRound;
  const TSystemFile& system = pool.SystemFile();
  FActualTieBreaker = round >= TStandingsItem::kLastRound ? system.TieBreakerPoints() : 0;
  FFinalPlayed = round >= TStandingsItem::kLastRound &&
                 TStandingsHistory::RoundComplete(pool, TStandingsItem::kLastRound);
  const TScoring scoring = PoolScoring(pool);
  FScoringRule = scoring.Rule();
  FPrizes = pool.Prizes();
  const TResultsChart results(pool.TeamsFile(), round);
  TTeamIndex teams(pool.TeamsFile());
  TScoredPicks picks;

  const auto& players = pool.PlayerPicksFile().List();
  FItems.clear();
  FItems.reserve(players.size());
  for (const auto& player : players) {
    auto item = std::make_unique<TStandingsItem>();
    item->SetPlayerName(player->PlayerName());
    item->SetPlayerIndex(static_cast<int>(FItems.size()));
    item->SetTieBreakerPoints(player->TieBreakerPoints());

    std::array<int32_t, TStandingsItem::kRoundCount> correct{};
    std::array<int32_t, TStandingsItem::kRoundCount> possible{};
    int64_t current = 0;
    int64_t open = 0;
    picks.Read(*player, teams);
    for (size_t entry = 0; entry < picks.Team.size(); ++entry) {
      const TTeamSeedObject* team = picks.Team[entry];
      if (team == nullptr)
        continue;
      for (int k = kFirst; k <= picks.Last[entry]; ++k) {
        const size_t r = static_cast<size_t>(k - kFirst);
        switch (PickState(*team, k, round)) {
          case TPickState::Correct:
            ++correct[r];
            ++possible[r];
            current += scoring.Points(results.GameWon(*team, k, picks.PickedTo));
            break;
          case TPickState::Open:
            ++possible[r];
            // A game still to come: where the rule asks for its loser, the tree below has
            // the most it can earn.
            if (!scoring.DependsOnLoser())
              open += scoring.Points({k, team->Seed(), 0, false});
            break;
          case TPickState::Dead:
            break;
        }
      }
    }

    if (scoring.DependsOnLoser())
      open = results.MostStillToCome(scoring, picks);
    for (int k = kFirst; k <= TStandingsItem::kLastRound; ++k) {
      const size_t r = static_cast<size_t>(k - kFirst);
      item->SetRoundCorrect(k, correct[r]);
      item->SetRoundPossible(k, possible[r]);
    }
    item->SetCurrentPoints(Saturate(current));
    item->SetPotentialPoints(Saturate(current + open));
    FillFinalPicks(*item, *player);
    FItems.push_back(std::move(item));
  }
  Sort();
}

TReportsBase::TPickState TReportsBase::PickState(const TTeamSeedObject& team, int k, int round) {
  // A team beaten after `round` had not lost yet: it lost the game that would have taken it
  // past the round it reached.
  if (std::min<int32_t>(team.RoundReached(), round) >= k)
    return TPickState::Correct;
  return !team.Eliminated() || team.RoundReached() >= round ? TPickState::Open : TPickState::Dead;
}

const TStandingsItem& TReportsBase::StandingsItem(int index) const {
  return static_cast<const TStandingsItem&>(*FItems.at(static_cast<size_t>(index)));
}

void TReportsBase::FillFinalPicks(TStandingsItem& item, const TPlayerPicksListObject& player) {
  int finalFour = 0;
  int finals = 0;
  bool champion = false;
  for (const TPlayerPickArrayObject& pick : player.Picks()) {
    const int round = ChartPaths::LastPickedRound(pick.RoundReached());
    if (round < 5)
      continue;
    if (finalFour < TStandingsItem::kFinalFourCount)
      item.SetFinalFour(++finalFour, pick.TeamName());
    if (round < 6)
      continue;
    if (finals < TStandingsItem::kFinalsCount)
      item.SetFinals(++finals, pick.TeamName());
    if (round < 7 || champion)
      continue;
    item.SetChampion(pick.TeamName());
    champion = true;
  }
}

void TReportsBase::SortByTotal(int32_t (TStandingsItem::*total)() const) {
  // The keys are gathered once into a compact array and sorted there: comparing rows through
  // their scattered objects is what made a large pool slow to sort.
  std::vector<FinishOrder::TKey> keys;
  keys.reserve(FItems.size());
  for (size_t row = 0; row < FItems.size(); ++row) {
    const auto& item = static_cast<const TStandingsItem&>(*FItems[row]);
    keys.push_back({(item.*total)(),
                    FinishOrder::GuessDistance(item.TieBreakerPoints(), FActualTieBreaker),
                    static_cast<uint32_t>(row)});
  }
  FPlaces = FinishOrder::Rank(keys, FFinalPlayed);
  TItems sorted;
  sorted.reserve(FItems.size());
  for (const FinishOrder::TKey& key : keys)
    sorted.push_back(std::move(FItems[key.Row]));
  FItems = std::move(sorted);
}

std::vector<int64_t> TReportsBase::Prizes() const {
  if (!FFinalPlayed || !FPrizes.IsSet())
    return {};
  return Prizes::Share(Prizes::PlaceAmounts(FPrizes, static_cast<int>(FPlaces.size())), FPlaces);
}

QString TReportsBase::Scored(const QString& title) const {
  return ScoringRules::Titled(title, FScoringRule);
}
