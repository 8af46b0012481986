#include "ReportsBase.h"

#include <algorithm>
#include <limits>

#include "FFDataModule.h"
#include "TeamIndex.h"

namespace {

// Totals of a stored file can be anything: a sum past the int32 range stops at its end
// rather than wrapping round.
int32_t Saturate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

int64_t GuessDistance(const TStandingsItem& item, int64_t actual) {
  const int64_t difference = int64_t{item.TieBreakerPoints()} - actual;
  return difference < 0 ? -difference : difference;
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
  std::array<int64_t, TStandingsItem::kRoundCount> points{};
  for (int k = kFirst; k <= TStandingsItem::kLastRound; ++k) {
    points[static_cast<size_t>(k - kFirst)] = system.RoundPoints(k);
  }
  TTeamIndex teams(pool.TeamsFile());

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
    for (int entry = 0; entry < TPlayerPicksListObject::kPickCount; ++entry) {
      const TPlayerPickArrayObject& pick = *player->Pick(entry);
      const int last = LastPickedRound(pick.RoundReached());
      // A pick that advances its team nowhere scores nothing, found or not; an entry naming
      // no team of the pool (an unused entry, say) scores nothing either.
      if (last < kFirst)
        continue;
      const TTeamSeedObject* team = teams.Find(entry, pick.TeamName());
      if (team == nullptr)
        continue;
      for (int k = kFirst; k <= last; ++k) {
        const size_t r = static_cast<size_t>(k - kFirst);
        switch (PickState(*team, k, round)) {
          case TPickState::Correct:
            ++correct[r];
            ++possible[r];
            break;
          case TPickState::Open:
            ++possible[r];
            break;
          case TPickState::Dead:
            break;
        }
      }
    }

    int64_t current = 0;
    int64_t potential = 0;
    for (int k = kFirst; k <= TStandingsItem::kLastRound; ++k) {
      const size_t r = static_cast<size_t>(k - kFirst);
      item->SetRoundCorrect(k, correct[r]);
      item->SetRoundPossible(k, possible[r]);
      current += correct[r] * points[r];
      potential += possible[r] * points[r];
    }
    item->SetCurrentPoints(Saturate(current));
    item->SetPotentialPoints(Saturate(potential));
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
    const int round = LastPickedRound(pick.RoundReached());
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
  struct TKey {
    int32_t Total;
    int64_t Distance;
    uint32_t Row;
  };
  const int64_t actual = FActualTieBreaker;
  std::vector<TKey> keys;
  keys.reserve(FItems.size());
  for (size_t row = 0; row < FItems.size(); ++row) {
    const auto& item = static_cast<const TStandingsItem&>(*FItems[row]);
    keys.push_back({(item.*total)(), actual > 0 ? GuessDistance(item, actual) : 0,
                    static_cast<uint32_t>(row)});
  }
  auto level = [](const TKey& a, const TKey& b) {
    return a.Total == b.Total && a.Distance == b.Distance;
  };
  // Rows equal under the ordering keep player-file order: the row number decides last.
  std::sort(keys.begin(), keys.end(), [](const TKey& a, const TKey& b) {
    if (a.Total != b.Total)
      return a.Total > b.Total;
    if (a.Distance != b.Distance)
      return a.Distance < b.Distance;
    return a.Row < b.Row;
  });
  TItems sorted;
  sorted.reserve(FItems.size());
  FPlaces.clear();
  FPlaces.reserve(FItems.size());
  for (size_t i = 0; i < keys.size(); ++i) {
    sorted.push_back(std::move(FItems[keys[i].Row]));
    FPlaces.push_back(i > 0 && level(keys[i - 1], keys[i]) ? FPlaces.back()
                                                           : static_cast<int>(i) + 1);
  }
  FItems = std::move(sorted);
}
