// What if: a game still to be played given the winner one names, as if its result were in.

#include "Outlook.h"

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
