#pragma once

#include <QByteArray>
#include <QDate>
#include <functional>

class TFFDataModule;
class TPlayerSelections;
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

// Takes the page part by part, false when it could not.
using TSink = std::function<bool(const QByteArray& part)>;

// Writes the page for `pool` as of `date`, UTF-8, to `sink` part by part, so that the page of
// a million players is never whole in memory; false as soon as the sink fails. `outlook`,
// worked out for the pool as it is now, adds the win-chance column; null leaves it out.
// `linkPlayers`, for the page served live: each player's name links to the player's own page
// (PlayerLink), which gives the player's picks in place of the page's list of everyone's.
bool Write(const TFFDataModule& pool, const QDate& date, const TOutlookResult* outlook,
           const TSink& sink, bool linkPlayers = false);
// The whole page, as Write gives it.
QByteArray Html(const TFFDataModule& pool, const QDate& date, const TOutlookResult* outlook,
                bool linkPlayers = false);
// The top of a page of the pool up to where its sections start, its style inside, and its
// bottom. `subtitle` is HTML; the other texts are escaped here.
QString PageTop(const QString& title, const QString& heading, const QString& subtitle);
QString PageBottom();
// Where the page served live gives player `player` (place in the player file): "/player/1".
QString PlayerLink(int player);
// The page of one player (place in the player file): the picks round by round, hits and
// misses marked, and the player's chart; empty when the pool has no such player.
// `selections`: built from `pool`, once for any number of pages.
QByteArray PlayerHtml(const TFFDataModule& pool, const TPlayerSelections& selections, int player);
// Writes the page into `file` whole or not at all; on failure `error` says why.
bool WriteFile(const TFFDataModule& pool, const QDate& date, const TOutlookResult* outlook,
               const QString& file, QString* error);

}  // namespace StandingsPage
