#pragma once

#include <QByteArray>
#include <QDate>

class TFFDataModule;

// The pool's standings as one web page to post or mail: the pool name, the date, the players
// ranked by points with their tie-breaker guesses, the results chart and every player's picks
// round by round. The page is a single HTML file that asks for nothing else: its style sheet
// and the chart picture are inside it. It reads well on a phone and prints on paper.
namespace StandingsPage {

// The page for `pool` as of `date`, UTF-8.
QByteArray Html(const TFFDataModule& pool, const QDate& date);

}  // namespace StandingsPage
