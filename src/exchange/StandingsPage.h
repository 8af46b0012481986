#pragma once

#include <QByteArray>
#include <QDate>

class TFFDataModule;
struct TOutlookResult;

// The pool's standings as one web page to post or mail: the pool name, the date, the players
// ranked by points with their tie-breaker guesses, the results chart and every player's picks
// round by round, and, once the first round is locked, each player's chance to win the pool.
// The page is a single HTML file that asks for nothing else: its style sheet and the chart
// picture are inside it. It reads well on a phone and prints on paper.
namespace StandingsPage {

// Whether the page gives each player's win chance: while the first round is locked and the
// pool has players. The caller works out the outlook (it may take a while) and passes it in.
bool ShowsWinChances(const TFFDataModule& pool);

// The page for `pool` as of `date`, UTF-8. `outlook`, worked out for the pool as it is now,
// adds the win-chance column; null leaves it out.
QByteArray Html(const TFFDataModule& pool, const QDate& date, const TOutlookResult* outlook);

}  // namespace StandingsPage
