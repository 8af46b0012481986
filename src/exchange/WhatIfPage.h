#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

struct TOutlookInput;
struct TOutlookResult;
struct TRootingGame;

// What if, on the pages served live: the standings, places and win chances that would follow
// if chosen teams won their next games, every other game still open. The winners travel in
// the address, "/whatif?assume=UConn,Alabama", as the tool's --assume takes them.
namespace WhatIfPage {

// The path the what-ifs are served on, and the one query field it reads.
inline constexpr char kPath[] = "/whatif";
inline constexpr char kField[] = "assume=";

// The address of the what-if of `winners`, each name percent-encoded, commas between.
QString Link(const QStringList& winners);
// The winners a query names, read from the raw query (after '?'): the names of the `assume`
// field split at its commas before they are decoded, so that a name may hold an encoded comma.
// Empty when the field is missing or empty.
QStringList Winners(const std::string& query);

// Each game of `games` with a what-if link for either winner, added to `winners`.
QString GameLinks(const std::vector<TRootingGame>& games, const QStringList& winners);

// The what-if page: the games assumed (`assumed`, as AssumeWinners says them) of `winners`,
// the players' points, places and chances of `outlook`, worked out from `input` (the pool's
// outlook input with the winners in), and a link per game still open whose teams are known.
// `outlook` may list fewer than the pool's `players`, best chances first: the page says so.
QByteArray Html(const QString& poolName, const QStringList& winners, const QStringList& assumed,
                const TOutlookInput& input, const TOutlookResult& outlook, int players);

}  // namespace WhatIfPage
