#include "PlayerSelections.h"

#include "FFDataModule.h"

const QString& TPlayerSelectionObject::Selections(int k, int i) const {
  static const QString kEmpty;
  const std::vector<QString>& names = Round(k);
  if (i < 1 || i > kMaxSelections)
    throw std::out_of_range("selection index");
  return i <= static_cast<int>(names.size()) ? names[static_cast<size_t>(i - 1)] : kEmpty;
}

bool TPlayerSelectionObject::AddSelection(int k, const QString& name) {
  auto& names = FSelections.at(static_cast<size_t>(k - kFirstRound));
  if (static_cast<int>(names.size()) >= kMaxSelections)
    return false;
  // Room for what a full chart holds in round k (32 in round 2, halving to 1 for the
  // champion), so a list is allocated once.
  if (names.empty())
    names.reserve(size_t{kMaxSelections} >> (k - kFirstRound));
  names.push_back(name);
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
    for (const TPlayerPickArrayObject& pick : player->Picks()) {
      const int last = LastPickedRound(pick.RoundReached());
      for (int k = TPlayerSelectionObject::kFirstRound; k <= last; ++k) {
        row->AddSelection(k, pick.TeamName());
      }
    }
    FItems.push_back(std::move(row));
  }
}

const TPlayerSelectionObject& TPlayerSelections::Item(int index) const {
  return static_cast<const TPlayerSelectionObject&>(*FItems.at(static_cast<size_t>(index)));
}
