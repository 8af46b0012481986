// What if: a game still to be played given the winner one names, as if its result were in.

#include "Outlook.h"
#include "PoolNames.h"

bool TOutlookInput::AssumeWin(int32_t team, int32_t* loser, QString* why) {
  const QString& name = TeamNames.at(team);
  // Games come in slot order, so the first open game the team stands beside is its next one.
  for (auto game = Games.begin(); game != Games.end(); ++game) {
    const int32_t a = Occupant[static_cast<size_t>(game->Feeder[0])];
    const int32_t b = Occupant[static_cast<size_t>(game->Feeder[1])];
    if (a != team && b != team)
      continue;
    const int32_t other = a == team ? b : a;
    if (game->Real && other < 0) {
      *why = QStringLiteral(
                 "%1's next game has no opponent yet: name the winner of the game "
                 "before it first")
                 .arg(name);
      return false;
    }
    // The points the win brings, its loser known, before the team counts as there.
    for (size_t p = 0; p < Base.size(); ++p)
      Base[p] += GainAt(team, game->Round, static_cast<int>(p), other);
    Occupant[static_cast<size_t>(game->Slot)] = team;
    Reached[static_cast<size_t>(team)] = game->Round;
    Games.erase(game);
    *loser = other;
    return true;
  }
  *why = QStringLiteral("%1 has no game left to win").arg(name);
  return false;
}

int32_t TOutlookInput::TeamNamed(const QString& written) const {
  const QString key = PoolNames::Key(written);
  for (int t = 0; t < TeamCount(); ++t) {
    if (PoolNames::Key(TeamNames.at(t)) == key)
      return t;
  }
  return -1;
}

std::vector<TOutlookInput::TGame> TOutlookInput::KnownGames() const {
  std::vector<TGame> known;
  for (const TGame& game : Games) {
    if (game.Real && Occupant[static_cast<size_t>(game.Feeder[0])] >= 0 &&
        Occupant[static_cast<size_t>(game.Feeder[1])] >= 0)
      known.push_back(game);
  }
  return known;
}

void TOutlookInput::DropPlayers() {
  PlayerNames.clear();
  PickedTo.clear();
  Base.clear();
  Picks.clear();
  GuessDistance.clear();
}

bool AssumeWinners(TOutlookInput& input, const QStringList& winners, QStringList* assumed,
                   QString* why) {
  if (winners.size() > kMaxAssumed) {
    *why = QStringLiteral("At most %1 winners can be assumed").arg(kMaxAssumed);
    return false;
  }
  for (const QString& written : winners) {
    const int32_t team = input.TeamNamed(written);
    if (team < 0) {
      *why = QStringLiteral("\"%1\" is not a team of this pool")
                 .arg(PoolNames::Quoted(written.trimmed()));
      return false;
    }
    int32_t loser = -1;
    if (!input.AssumeWin(team, &loser, why))
      return false;
    *assumed << (loser < 0 ? QStringLiteral("%1 goes through").arg(input.TeamNames.at(team))
                           : QStringLiteral("%1 beat %2")
                                 .arg(input.TeamNames.at(team), input.TeamNames.at(loser)));
  }
  return true;
}
