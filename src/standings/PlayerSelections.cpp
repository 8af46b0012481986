#include "PlayerSelections.h"

#include <stdexcept>

#include "ChartPaths.h"
#include "FFDataModule.h"
#include "TeamNames.h"

const QString& TPlayerSelectionObject::Selections(int k, int i) const {
  static const QString kEmpty;
  if (k < kFirstRound || k > kLastRound || i < 1 || i > kMaxSelections)
    throw std::out_of_range("selection index");
  return i <= SelectionCount(k) ? *FNames[static_cast<size_t>(Start(k) + i - 1)] : kEmpty;
}

bool TPlayerSelectionObject::AddSelection(int k, const QString& name) {
  if (k < kFirstRound || k > kLastRound)
    throw std::out_of_range("selection round");
  if (SelectionCount(k) >= kMaxSelections)
    return false;
  // Room for what a full chart holds, so that a row is allocated once.
  if (FNames.empty())
    FNames.reserve(2 * kMaxSelections - 1);
  FNames.insert(FNames.begin() + End(k), TTeamNames::Intern(name));
  for (int later = k; later <= kLastRound; ++later)
    ++FEnd[static_cast<size_t>(later - kFirstRound)];
  return true;
}

QString TPlayerSelections::Title() const {
  return kTitle;
}

void TPlayerSelections::Build(const TFFDataModule& pool) {
  const auto& players = pool.PlayerPicksFile().List();
  FItems.clear();
  FItems.reserve(players.size());
  for (const auto& player : players) {
    auto row = std::make_unique<TPlayerSelectionObject>();
    row->SetPlayerName(player->PlayerName());
    // Round by round, so that every name goes to the end of the row.
    for (int k = TPlayerSelectionObject::kFirstRound; k <= TPlayerSelectionObject::kLastRound;
         ++k) {
      for (const TPlayerPickArrayObject& pick : player->Picks()) {
        if (ChartPaths::LastPickedRound(pick.RoundReached()) >= k)
          row->AddSelection(k, pick.TeamName());
      }
    }
    FItems.push_back(std::move(row));
  }
}

const TPlayerSelectionObject& TPlayerSelections::Item(int index) const {
  return static_cast<const TPlayerSelectionObject&>(*FItems.at(static_cast<size_t>(index)));
}
