#include "StandingsPage.h"

#include <QLocale>

#include "ChartSvg.h"
#include "FFDataModule.h"
#include "Outlook.h"
#include "PickPopularity.h"
#include "PlayerSelections.h"
#include "RaceSvg.h"
#include "SafeFile.h"
#include "ScoringRule.h"
#include "StandingsByPoints.h"
#include "StandingsHistory.h"

namespace {

constexpr int kFirstRound = TStandingsItem::kFirstRound;
constexpr int kLastRound = TStandingsItem::kLastRound;
// A chart of a player's picks weighs about 15 KB: the page gives one to this many players.
constexpr int kMostCharts = 200;

const char kStyle[] = R"css(
:root { color-scheme: light; --line: #c9d3df; --head: #1f3a5f; --soft: #eef3f8; }
* { box-sizing: border-box; }
body { margin: 0; font: 16px/1.45 "Segoe UI", Roboto, "Liberation Sans", Arial, sans-serif;
  color: #1b1f24; background: #fff; }
header { background: var(--head); color: #fff; padding: 1.2rem 1rem; }
header h1 { margin: 0; font-size: 1.7rem; overflow-wrap: anywhere; }
header p { margin: .3rem 0 0; opacity: .85; }
main { max-width: 1100px; margin: 0 auto; padding: 1rem; }
h2 { color: var(--head); border-bottom: 2px solid var(--head); padding-bottom: .2rem;
  margin-top: 2rem; }
.table { overflow-x: auto; -webkit-overflow-scrolling: touch; }
table { border-collapse: collapse; width: 100%; }
th, td { padding: .35rem .5rem; border-bottom: 1px solid var(--line); text-align: right;
  white-space: nowrap; }
th { background: var(--soft); font-weight: 600; }
th.name, td.name { text-align: left; white-space: normal; overflow-wrap: anywhere; }
tbody tr:nth-child(even) { background: #f8fafc; }
td.total { font-weight: 700; }
.note { color: #4a5560; font-size: .9rem; }
.ci { display: block; color: #4a5560; font-size: .8em; }
figure { margin: 0; overflow-x: auto; -webkit-overflow-scrolling: touch; }
svg.chart, svg.race { display: block; width: 100%; height: auto; margin: 0 auto; }
svg.chart { border: 1px solid var(--line); }
svg.race { max-width: 760px; }
/* A share cell is underlined by a bar as long as the share. */
td.share { background: linear-gradient(90deg, #6f9bd1 var(--share), transparent var(--share))
  left bottom / 100% 4px no-repeat; }
.alone li { margin: .2rem 0; }
details.chart { margin-top: .5rem; }
details.chart summary { cursor: pointer; color: var(--head); }
/* A player's chart opened takes the whole width. */
.player:has(details.chart[open]) { grid-column: 1 / -1; }
.players { display: grid; grid-template-columns: repeat(auto-fill, minmax(320px, 1fr));
  gap: 1rem; }
.player { border: 1px solid var(--line); border-radius: 6px; padding: .5rem .8rem;
  break-inside: avoid; }
.player h3 { margin: .2rem 0 .4rem; font-size: 1.1rem; overflow-wrap: anywhere; }
.player table th { width: 3.5rem; vertical-align: top; }
.player table td { text-align: left; white-space: normal; }
.won { color: #176b2c; font-weight: 600; }
.lost { color: #9a2a2a; text-decoration: line-through; }
footer { text-align: center; color: #6b7580; font-size: .85rem; padding: 2rem 1rem; }
@media (max-width: 600px) {
  body { font-size: 15px; }
  header h1 { font-size: 1.35rem; }
  main { padding: .6rem; }
  .rd, .early { display: none; }
  /* The chart keeps a size its names can be read at, to be scrolled sideways; being drawn,
     not a picture of pixels, it stays sharp when zoomed. */
  svg.chart { width: 800px; max-width: none; }
  th, td { padding: .3rem .3rem; }
  table { font-size: 14px; }
  /* Headers may take two lines; a name breaks between its words, not inside them. */
  th { white-space: normal; }
  th.name, td.name { overflow-wrap: break-word; }
}
@media print {
  header { background: none; color: #000; padding: 0 0 .5rem; border-bottom: 2px solid #000; }
  main { max-width: none; padding: 0; }
  body { font-size: 10pt; }
  .table, figure { overflow: visible; }
  .rd, .early { display: table-cell; }
  details.chart { display: none; }
  tbody tr:nth-child(even) { background: none; }
  h2 { break-after: avoid; }
  figure, .player { break-inside: avoid; }
  .players { display: block; }
  .player { margin-bottom: .6rem; }
  footer { display: none; }
}
)css";

QString Escaped(const QString& text) {
  return text.toHtmlEscaped();
}

// The page as it is made, passed on to the sink a part at a time.
class TPageWriter {
 public:
  explicit TPageWriter(const StandingsPage::TSink& sink) : FSink(sink) {}

  TPageWriter& operator+=(const QString& text) {
    constexpr int kPart = 1 << 20;
    FText += text;
    if (FText.size() >= kPart)
      Pass();
    return *this;
  }
  // Passes on the rest; whether every part was taken.
  bool Finish() {
    Pass();
    return FTaken;
  }

 private:
  void Pass() {
    if (FTaken && !FText.isEmpty())
      FTaken = FSink(FText.toUtf8());
    FText.clear();
  }

  const StandingsPage::TSink& FSink;
  QString FText;
  bool FTaken = true;
};

// The win-chance cell of each player by place in the player file; empty without an outlook.
std::vector<QString> WinChanceCells(const TOutlookResult* outlook, int players) {
  std::vector<QString> cells;
  if (!outlook)
    return cells;
  cells.assign(static_cast<size_t>(players), QStringLiteral("<td>&mdash;</td>"));
  for (const TOutlookPlayer& player : outlook->Players) {
    if (player.Index < 0 || player.Index >= players)
      continue;
    // Drawn outcomes give an estimate: the figure says so, and carries its interval.
    cells[static_cast<size_t>(player.Index)] =
        outlook->Exact ? QStringLiteral("<td>%1</td>").arg(Escaped(FormatChance(player.WinChance)))
                       : QStringLiteral(
                             "<td title=\"95% interval %1 to %2\">&asymp;&nbsp;%3"
                             "<span class=\"ci\">%4</span></td>")
                             .arg(Escaped(FormatChance(player.ChanceLow)),
                                  Escaped(FormatChance(player.ChanceHigh)),
                                  Escaped(FormatChance(player.WinChance)),
                                  Escaped(FormatInterval(player.ChanceLow, player.ChanceHigh)));
  }
  return cells;
}

// How the win chances were worked out, under the table.
QString WinChanceNote(const TOutlookResult& outlook) {
  if (outlook.GamesLeft == 0) {
    return QStringLiteral(
        "Win chance: the tournament is over; players level on points at the top are parted "
        "by the guess closest to the championship game's total, as in the standings, and share "
        "it until that total is entered.");
  }
  return QStringLiteral(
             "Win chance: the chance of finishing first on points if the games left are "
             "played out, players level at the top sharing it (%1).")
      .arg(outlook.Exact ? OutlookSummary(outlook).toHtmlEscaped()
                         : OutlookSummary(outlook).toHtmlEscaped() +
                               QStringLiteral("; &asymp; marks an estimate"));
}

void StandingsTable(TPageWriter& html, const TFFDataModule& pool, const TOutlookResult* outlook) {
  TStandingsByPoints standings;
  standings.Build(pool);
  const int32_t actual = pool.SystemFile().TieBreakerPoints();

  html += QStringLiteral("<section>\n<h2>") +
          Escaped(ScoringRules::Titled(QStringLiteral("Standings"), pool.ScoringRule())) +
          QStringLiteral("</h2>\n");
  if (standings.Items().empty()) {
    html += QStringLiteral("<p>No players yet.</p>\n</section>\n");
    return;
  }
  html += QStringLiteral(
      "<div class=\"table\"><table>\n<thead><tr><th>Place</th><th class=\"name\">Player</th>"
      "<th>Points</th><th>Potential</th>");
  const std::vector<QString> chances =
      WinChanceCells(outlook, static_cast<int>(standings.Items().size()));
  if (outlook)
    html += QStringLiteral("<th>Win chance</th>");
  for (int k = kFirstRound; k <= kLastRound; ++k)
    html += QStringLiteral("<th class=\"rd\">Rd %1</th>").arg(k - 1);
  html += QStringLiteral("<th>Tie-breaker</th>");
  if (actual > 0)
    html += QStringLiteral("<th>+/-</th>");
  html += QStringLiteral("</tr></thead>\n<tbody>\n");
  for (int row = 0; row < static_cast<int>(standings.Items().size()); ++row) {
    const TStandingsItem& item = standings.StandingsItem(row);
    html +=
        QStringLiteral(
            "<tr><td>%1</td><td class=\"name\">%2</td><td class=\"total\">%3</td>"
            "<td>%4</td>")
            .arg(QString::number(standings.Place(row)), Escaped(item.PlayerName()),
                 QString::number(item.CurrentPoints()), QString::number(item.PotentialPoints()));
    if (outlook)
      html += chances[static_cast<size_t>(item.PlayerIndex())];
    for (int k = kFirstRound; k <= kLastRound; ++k)
      html += QStringLiteral("<td class=\"rd\">%1</td>").arg(item.RoundCorrect(k));
    html += QStringLiteral("<td>%1</td>").arg(item.TieBreakerPoints());
    if (actual > 0) {
      const int64_t off = int64_t{item.TieBreakerPoints()} - actual;
      html +=
          QStringLiteral("<td>%1%2</td>").arg(off > 0 ? QStringLiteral("+") : QString()).arg(off);
    }
    html += QStringLiteral("</tr>\n");
  }
  html += QStringLiteral(
      "</tbody></table></div>\n<p class=\"note\">Points are earned for each "
      "correct pick; Rd 1 to Rd 6 count the picks come true in each round; "
      "potential is the most a player can still reach. ");
  html += QStringLiteral(
      "Players level on points share a place until the championship game is played; then "
      "the tie-breaker guess closest to its total points parts them.");
  if (actual > 0)
    html += QStringLiteral(" The championship game's total is %1 points.").arg(actual);
  html += QStringLiteral("</p>\n");
  if (outlook)
    html += QStringLiteral("<p class=\"note\">%1</p>\n").arg(WinChanceNote(*outlook));
  html += QStringLiteral("</section>\n");
}

// How the standings got where they are: every player's place after each completed round.
void RaceSection(TPageWriter& html, const TFFDataModule& pool) {
  TStandingsHistory history;
  history.Build(pool);
  const QString race = RaceSvg::Svg(history, QStringLiteral("Places after each round"));
  if (race.isEmpty())
    return;
  html += QStringLiteral("<section>\n<h2>The Race</h2>\n<figure>") + race +
          QStringLiteral("</figure>\n<p class=\"note\">%1</p>\n</section>\n")
              .arg(Escaped(RaceSvg::Caption(history)));
}

void ResultsSection(TPageWriter& html, const TFFDataModule& pool, TChartSvg& charts) {
  html += QStringLiteral("<section>\n<h2>Results</h2>\n<figure>") +
          charts.Results(pool.TeamsFile()) + QStringLiteral("</figure>\n</section>\n");
}

QString ShareCell(double share, const QString& kind = {}) {
  return QStringLiteral("<td class=\"share%1\" style=\"--share:%2%\">%3</td>")
      .arg(kind, QString::number(share * 100, 'f', 1), TPickPopularity::Percent(share));
}

// Who picked what: the champions most picked, every team round by round, and the picks no one
// else made.
void PopularitySection(TPageWriter& html, const TFFDataModule& pool) {
  TPickPopularity popularity;
  popularity.Build(pool);
  if (popularity.PlayerCount() == 0)
    return;
  constexpr int kFirst = TPickPopularity::kFirstRound;
  constexpr int kLast = TPickPopularity::kLastRound;
  html += QStringLiteral("<section>\n<h2>Pick Popularity</h2>\n");
  const auto champions = popularity.Champions();
  if (!champions.empty()) {
    html += QStringLiteral(
        "<h3>Most picked champions</h3>\n<div class=\"table\"><table>\n<thead><tr>"
        "<th class=\"name\">Team</th><th>Players</th><th>Share</th></tr></thead>\n<tbody>\n");
    for (const TPickPopularity::TTeam* team : champions) {
      html += QStringLiteral("<tr><td class=\"name\">%1</td><td>%2</td>%3</tr>\n")
                  .arg(Escaped(team->TeamName), QString::number(team->PlayersFor(kLast)),
                       ShareCell(popularity.Share(*team, kLast)));
    }
    html += QStringLiteral("</tbody></table></div>\n");
  }

  html += QStringLiteral(
              "<h3>Every team</h3>\n<p class=\"note\">The share of the %1 players who picked each "
              "team to win its game of each round.</p>\n<div class=\"table\"><table>\n<thead><tr>"
              "<th class=\"name\">Team</th>")
              .arg(popularity.PlayerCount());
  // On a phone the first three rounds fold away, as the standings' round columns do.
  auto early = [](int k) { return k <= 4; };
  for (int k = kFirst; k <= kLast; ++k) {
    html += QStringLiteral("<th%1>Rd %2</th>")
                .arg(early(k) ? QStringLiteral(" class=\"early\"") : QString())
                .arg(k - 1);
  }
  html += QStringLiteral("</tr></thead>\n<tbody>\n");
  for (const TPickPopularity::TTeam& team : popularity.Teams()) {
    html += QStringLiteral("<tr><td class=\"name\">%1</td>").arg(Escaped(team.TeamName));
    for (int k = kFirst; k <= kLast; ++k)
      html += ShareCell(popularity.Share(team, k), early(k) ? QStringLiteral(" early") : QString());
    html += QStringLiteral("</tr>\n");
  }
  html += QStringLiteral("</tbody></table></div>\n<h3>Picks no one else made</h3>\n");
  QString alone;
  for (const TPickPopularity::TPlayer& player : popularity.Players()) {
    if (player.Alone.empty())
      continue;
    QStringList picks;
    for (const TPickPopularity::TAlonePick& pick : player.Alone) {
      picks << QStringLiteral("%1 (%2)").arg(Escaped(pick.TeamName),
                                             Escaped(TPickPopularity::Rounds(pick)));
    }
    alone += QStringLiteral("<li><strong>%1</strong>: %2</li>\n")
                 .arg(Escaped(player.PlayerName), picks.join(QStringLiteral(", ")));
  }
  html += alone.isEmpty()
              ? QStringLiteral("<p>Every pick was made by more than one player.</p>\n")
              : QStringLiteral("<ul class=\"alone\">\n") + alone + QStringLiteral("</ul>\n");
  html += QStringLiteral("</section>\n");
}

void PicksSection(TPageWriter& html, const TFFDataModule& pool, TChartSvg& charts) {
  TPlayerSelections selections;
  selections.Build(pool);
  if (selections.Count() == 0)
    return;
  const TTeamsFile& teams = pool.TeamsFile();
  html += QStringLiteral(
      "<section>\n<h2>Picks</h2>\n<p class=\"note\">Picks come true are in "
      "green, picks of teams already out are struck through, in the lists and on each "
      "player's chart.");
  if (selections.Count() > kMostCharts) {
    html += QStringLiteral(
                " The first %1 players in the list have a chart: a chart each would "
                "make the page of a pool this large too heavy to open.")
                .arg(kMostCharts);
  }
  html += QStringLiteral("</p>\n<div class=\"players\">\n");
  for (int p = 0; p < selections.Count(); ++p) {
    const TPlayerSelectionObject& row = selections.Item(p);
    html += QStringLiteral("<article class=\"player\"><h3>%1</h3><table>\n")
                .arg(Escaped(row.PlayerName()));
    for (int k = kFirstRound; k <= kLastRound; ++k) {
      QStringList names;
      for (int i = 1; i <= row.SelectionCount(k); ++i) {
        const QString& name = row.Selections(k, i);
        const TTeamSeedObject* team = teams.FindTeam(name);
        QString kind;
        if (team && TReportsBase::PickState(*team, k) == TReportsBase::TPickState::Correct)
          kind = QStringLiteral(" class=\"won\"");
        else if (team && TReportsBase::PickState(*team, k) == TReportsBase::TPickState::Dead)
          kind = QStringLiteral(" class=\"lost\"");
        names << QStringLiteral("<span%1>%2</span>").arg(kind, Escaped(name));
      }
      html +=
          QStringLiteral("<tr><th>Rd %1</th><td>%2</td></tr>\n")
              .arg(k - 1)
              .arg(names.isEmpty() ? QStringLiteral("&mdash;") : names.join(QStringLiteral(", ")));
    }
    html += QStringLiteral("</table>\n");
    // The selections keep player-file order: row p is player p.
    if (p < kMostCharts) {
      html += QStringLiteral("<details class=\"chart\"><summary>Chart</summary>") +
              charts.Picks(*pool.PlayerPicksFile().Items(p), teams) + QStringLiteral("</details>");
    }
    html += QStringLiteral("</article>\n");
  }
  html += QStringLiteral("</div>\n</section>\n");
}

}  // namespace

bool StandingsPage::ShowsWinChances(const TFFDataModule& pool) {
  return pool.Finalized() && pool.PlayerPicksFile().Count() > 0;
}

bool StandingsPage::Write(const TFFDataModule& pool, const QDate& date,
                          const TOutlookResult* outlook, const TSink& sink) {
  const QString poolName = pool.SystemFile().PoolName().trimmed().isEmpty()
                               ? QStringLiteral("Office Pool")
                               : pool.SystemFile().PoolName();
  const QString when = QLocale(QLocale::English).toString(date, QStringLiteral("d MMMM yyyy"));
  TPageWriter html(sink);
  html += QStringLiteral(
              "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
              "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
              "<title>%1 - Standings</title>\n<style>")
              .arg(Escaped(poolName));
  html += QLatin1String(kStyle);
  html += QStringLiteral(
              "</style>\n</head>\n<body>\n<header>\n<h1>%1</h1>\n"
              "<p>Standings as of %2</p>\n</header>\n<main>\n")
              .arg(Escaped(poolName), Escaped(when));
  StandingsTable(html, pool, outlook);
  RaceSection(html, pool);
  // One writer for all the charts: the first carries the lines the others draw on.
  TChartSvg charts(pool.SystemFile());
  ResultsSection(html, pool, charts);
  PopularitySection(html, pool);
  PicksSection(html, pool, charts);
  html +=
      QStringLiteral("</main>\n<footer>Published with Courtsider 99</footer>\n</body>\n</html>\n");
  return html.Finish();
}

QByteArray StandingsPage::Html(const TFFDataModule& pool, const QDate& date,
                               const TOutlookResult* outlook) {
  QByteArray page;
  Write(pool, date, outlook, [&page](const QByteArray& part) {
    page += part;
    return true;
  });
  return page;
}

bool StandingsPage::WriteFile(const TFFDataModule& pool, const QDate& date,
                              const TOutlookResult* outlook, const QString& file, QString* error) {
  TSafeFile out(file);
  const bool written =
      out.Open() &&
      Write(pool, date, outlook, [&out](const QByteArray& part) { return out.Write(part); }) &&
      out.Commit();
  if (!written && error)
    *error = out.ErrorString();
  return written;
}
