#include "StandingsPage.h"

#include <QLocale>

#include "ChartSvg.h"
#include "FFDataModule.h"
#include "Outlook.h"
#include "PlayerSelections.h"
#include "RaceSvg.h"
#include "SafeFile.h"
#include "ScoringRule.h"
#include "StandingsByPoints.h"
#include "StandingsByPotential.h"
#include "StandingsHistory.h"
#include "StandingsPageParts.h"
#include "StandingsStyle.h"
#include "WhatIfPage.h"

using StandingsPageParts::PopularitySection;
using StandingsPageParts::TPageWriter;

namespace {

constexpr int kFirstRound = TStandingsItem::kFirstRound;
constexpr int kLastRound = TStandingsItem::kLastRound;
// A chart of a player's picks weighs about 15 KB: the page gives one to this many players.
constexpr int kMostCharts = 200;

QString Escaped(const QString& text) {
  return text.toHtmlEscaped();
}

// The win-chance cell of each player by place in the player file; empty without an outlook.
std::vector<QString> WinChanceCells(const TOutlookResult* outlook, int players) {
  std::vector<QString> cells;
  if (!outlook)
    return cells;
  // Where the pool pays prizes, the expected prize and the chance of a paid place follow.
  const QString none = QStringLiteral("<td>&mdash;</td>");
  cells.assign(static_cast<size_t>(players), outlook->PaysPrizes ? none + none + none : none);
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
    if (outlook->PaysPrizes) {
      cells[static_cast<size_t>(player.Index)] +=
          QStringLiteral("<td>%1</td><td>%2</td>")
              .arg(Escaped(FormatPrize(player.ExpectedPrize)),
                   Escaped(FormatChance(player.PrizeChance)));
    }
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
             "played out, players level at the top sharing it (%1).%2")
      .arg(outlook.Exact ? OutlookSummary(outlook).toHtmlEscaped()
                         : OutlookSummary(outlook).toHtmlEscaped() +
                               QStringLiteral("; &asymp; marks an estimate"),
           outlook.PaysPrizes
               ? QStringLiteral(" Expected prize: the prize a player can expect over the same "
                                "outcomes, players level on points sharing the prizes of the "
                                "places they span; prize chance: the chance of a paid place.")
               : QString());
}

// A player's name, a link to the player's own page where the page is served live.
QString PlayerName(const QString& name, int index, bool link) {
  if (!link)
    return Escaped(name);
  return QStringLiteral("<a href=\"%1\">%2</a>")
      .arg(StandingsPage::PlayerLink(index), Escaped(name));
}

void StandingsTable(TPageWriter& html, const TFFDataModule& pool, const TOutlookResult* outlook,
                    bool link) {
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
      "<th>Points</th>");
  // The prize beside the points, where a phone shows it without scrolling.
  const std::vector<int64_t> prizes = standings.Prizes();
  if (!prizes.empty())
    html += QStringLiteral("<th>Prize</th>");
  html += QStringLiteral("<th>Potential</th>");
  const std::vector<QString> chances =
      WinChanceCells(outlook, static_cast<int>(standings.Items().size()));
  if (outlook)
    html += QStringLiteral("<th>Win chance</th>");
  if (outlook && outlook->PaysPrizes)
    html += QStringLiteral("<th>Expected prize</th><th>Prize chance</th>");
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
            "<tr><td>%1</td><td class=\"name\">%2</td><td class=\"total\">%3</td>")
            .arg(QString::number(standings.Place(row)),
                 PlayerName(item.PlayerName(), item.PlayerIndex(), link),
                 QString::number(item.CurrentPoints()));
    if (!prizes.empty()) {
      html += QStringLiteral("<td class=\"total\">%1</td>")
                  .arg(Prizes::MoneyText(prizes[static_cast<size_t>(row)]));
    }
    html += QStringLiteral("<td>%1</td>").arg(item.PotentialPoints());
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
  if (!prizes.empty()) {
    const Prizes::TPrizes& set = pool.Prizes();
    html += QStringLiteral(
                " Prizes: the pot of %1 (%2 players at %3) is split %4 percent by place; "
                "players still level share the prizes of the places they span.")
                .arg(Prizes::MoneyText(Prizes::Pot(set, static_cast<int>(prizes.size()))))
                .arg(prizes.size())
                .arg(Prizes::MoneyText(set.FeeCents), Prizes::SplitText(set.Split));
  }
  html += QStringLiteral("</p>\n");
  if (outlook)
    html += QStringLiteral("<p class=\"note\">%1</p>\n").arg(WinChanceNote(*outlook));
  html += QStringLiteral("</section>\n");
}

// The players ordered by the most each can still reach, while games are left to change it.
void PotentialTable(TPageWriter& html, const TFFDataModule& pool, bool link) {
  TStandingsByPotential standings;
  standings.Build(pool);
  const int players = static_cast<int>(standings.Items().size());
  bool open = false;
  for (int row = 0; row < players && !open; ++row)
    open = standings.StandingsItem(row).PotentialPoints() !=
           standings.StandingsItem(row).CurrentPoints();
  if (!open)
    return;
  html += QStringLiteral("<section>\n<h2>") + Escaped(standings.Title()) +
          QStringLiteral(
              "</h2>\n<div class=\"table\"><table>\n<thead><tr><th class=\"name\">Player</th>"
              "<th>Potential</th><th>Points</th></tr></thead>\n<tbody>\n");
  for (int row = 0; row < players; ++row) {
    const TStandingsItem& item = standings.StandingsItem(row);
    html +=
        QStringLiteral(
            "<tr><td class=\"name\">%1</td><td class=\"total\">%2</td><td>%3</td></tr>\n")
            .arg(PlayerName(item.PlayerName(), item.PlayerIndex(), link),
                 QString::number(item.PotentialPoints()), QString::number(item.CurrentPoints()));
  }
  html += QStringLiteral("</tbody></table></div>\n</section>\n");
}

// The players who can still win (or be paid), each with the results of the next round that
// help most.
void RootingSection(TPageWriter& html, const TOutlookResult& outlook, bool link) {
  constexpr int kShown = 3;
  if (outlook.Rooting.empty())
    return;
  const bool prizes = outlook.RootsByPrize;
  html += QStringLiteral(
              "<section>\n<h2>Who Can Still Win</h2>\n<p class=\"note\">The results of Rd %1 "
              "that raise each player's %2 most, and %3 if they come.</p>\n"
              "<div class=\"table\"><table>\n<thead><tr><th class=\"name\">Player</th>"
              "<th>%4</th><th class=\"name\">Root for</th></tr></thead>\n<tbody>\n")
              .arg(QString::number(outlook.Rooting.front().Round - 1),
                   prizes ? QStringLiteral("expected prize") : QStringLiteral("win chance"),
                   prizes ? QStringLiteral("the expected prize") : QStringLiteral("the chance"),
                   prizes ? QStringLiteral("Expected prize") : QStringLiteral("Win chance"));
  for (const TOutlookPlayer& player : outlook.Players) {
    if (!outlook.Roots(player))
      continue;
    QStringList roots;
    for (const TRootFor& root : RootingFor(outlook, player)) {
      if (roots.size() == kShown)
        break;
      roots << Escaped(FormatRootFor(outlook, root));
    }
    html +=
        QStringLiteral("<tr><td class=\"name\">%1</td><td>%2</td><td class=\"name\">%3</td></tr>\n")
            .arg(Escaped(player.Name), Escaped(FormatRootingFigure(outlook, player)),
                 roots.join(QStringLiteral(", ")));
  }
  html += QStringLiteral("</tbody></table></div>\n");
  // Served live, each game of the guide opens the standings as they would be after it.
  if (link)
    html += WhatIfPage::GameLinks(outlook.Rooting, {});
  html += QStringLiteral("</section>\n");
}

// With the last few games left, every outcome: its chance, its winners and who finishes first.
void LastGamesSection(TPageWriter& html, const TOutlookResult& outlook) {
  if (outlook.LastGames.empty())
    return;
  html += QStringLiteral(
      "<section>\n<h2>The Last Games</h2>\n<p class=\"note\">Every way the games left can go, "
      "the winners in the order the games are played, and who finishes first on points.</p>\n"
      "<div class=\"table\"><table>\n<thead><tr><th>Chance</th><th class=\"name\">Winners</th>"
      "<th class=\"name\">First (points)</th>");
  if (outlook.PaysPrizes)
    html += QStringLiteral("<th class=\"name\">Who wins what</th>");
  html += QStringLiteral("</tr></thead>\n<tbody>\n");
  for (const TLastGamesOutcome& outcome : outlook.LastGames) {
    QStringList first;
    for (const QString& name : outcome.First)
      first << Escaped(name);
    QStringList winners;
    for (const QString& team : outcome.Winners)
      winners << Escaped(team);
    html += QStringLiteral(
                "<tr><td>%1</td><td class=\"name\">%2</td><td class=\"name\">%3 (%4)</td>")
                .arg(Escaped(FormatChance(outcome.Chance)), winners.join(QStringLiteral(", ")),
                     first.join(QStringLiteral(", ")), QString::number(outcome.Points));
    if (outlook.PaysPrizes) {
      QStringList paid;
      for (const TLastGamesOutcome::TPaid& entry : outcome.Paid)
        paid << Escaped(entry.Player) + QLatin1Char(' ') + Prizes::MoneyText(entry.Cents);
      html += QStringLiteral("<td class=\"name\">%1</td>").arg(paid.join(QStringLiteral(", ")));
    }
    html += QStringLiteral("</tr>\n");
  }
  html += QStringLiteral("</tbody></table></div>\n</section>\n");
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

// A player's picks round by round, hits and misses marked.
void PlayerPicks(TPageWriter& html, const TFFDataModule& pool, const TPlayerSelectionObject& row) {
  const TTeamsFile& teams = pool.TeamsFile();
  html += QStringLiteral("<table>\n");
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
}

void PicksSection(TPageWriter& html, const TFFDataModule& pool, TChartSvg& charts) {
  TPlayerSelections selections;
  selections.Build(pool);
  if (selections.Count() == 0)
    return;
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
    html += QStringLiteral("<article class=\"player\"><h3>%1</h3>")
                .arg(Escaped(selections.Item(p).PlayerName()));
    PlayerPicks(html, pool, selections.Item(p));
    // The selections keep player-file order: row p is player p.
    if (p < kMostCharts) {
      html += QStringLiteral("<details class=\"chart\"><summary>Chart</summary>") +
              charts.Picks(*pool.PlayerPicksFile().Items(p), pool.TeamsFile()) +
              QStringLiteral("</details>");
    }
    html += QStringLiteral("</article>\n");
  }
  html += QStringLiteral("</div>\n</section>\n");
}

QString PoolName(const TFFDataModule& pool) {
  return pool.SystemFile().PoolName().trimmed().isEmpty() ? QStringLiteral("Office Pool")
                                                          : pool.SystemFile().PoolName();
}

bool PageFoot(TPageWriter& html) {
  html += StandingsPage::PageBottom();
  return html.Finish();
}

}  // namespace

bool StandingsPage::ShowsWinChances(const TFFDataModule& pool) {
  return pool.Finalized() && pool.PlayerPicksFile().Count() > 0;
}

bool StandingsPage::Write(const TFFDataModule& pool, const QDate& date,
                          const TOutlookResult* outlook, const TSink& sink, bool linkPlayers) {
  const QString poolName = PoolName(pool);
  const QString when = QLocale(QLocale::English).toString(date, QStringLiteral("d MMMM yyyy"));
  TPageWriter html(sink);
  html += StandingsPage::PageTop(poolName + QStringLiteral(" - Standings"), poolName,
                                 QStringLiteral("Standings as of ") + Escaped(when));
  StandingsTable(html, pool, outlook, linkPlayers);
  PotentialTable(html, pool, linkPlayers);
  if (outlook) {
    RootingSection(html, *outlook, linkPlayers);
    LastGamesSection(html, *outlook);
  }
  RaceSection(html, pool);
  // One writer for all the charts: the first carries the lines the others draw on.
  TChartSvg charts(pool.SystemFile());
  ResultsSection(html, pool, charts);
  PopularitySection(html, pool);
  // Served live, each player's picks are on the player's own page.
  if (!linkPlayers)
    PicksSection(html, pool, charts);
  return PageFoot(html);
}

QString StandingsPage::PageTop(const QString& title, const QString& heading,
                               const QString& subtitle) {
  return QStringLiteral(
             "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
             "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
             "<title>%1</title>\n<style>%2</style>\n</head>\n<body>\n<header>\n<h1>%3</h1>\n"
             "<p>%4</p>\n</header>\n<main>\n")
      .arg(Escaped(title), QLatin1String(StandingsStyle::kCss), Escaped(heading), subtitle);
}

QString StandingsPage::PageBottom() {
  return QStringLiteral(
      "</main>\n<footer>Published with Courtsider 99</footer>\n</body>\n</html>\n");
}

QString StandingsPage::PlayerLink(int player) {
  return QStringLiteral("/player/%1").arg(player + 1);
}

QByteArray StandingsPage::PlayerHtml(const TFFDataModule& pool, const TPlayerSelections& selections,
                                     int player) {
  QByteArray page;
  if (player < 0 || player >= selections.Count())
    return page;
  const TSink sink = [&page](const QByteArray& part) {
    page += part;
    return true;
  };
  TPageWriter html(sink);
  const TPlayerSelectionObject& row = selections.Item(player);
  html += StandingsPage::PageTop(
      row.PlayerName() + QStringLiteral(" - ") + PoolName(pool), row.PlayerName(),
      QStringLiteral("<a href=\"/\">%1 standings</a>").arg(Escaped(PoolName(pool))));
  html += QStringLiteral(
      "<section>\n<h2>Picks</h2>\n<p class=\"note\">Picks come true are in "
      "green, picks of teams already out are struck through.</p>\n"
      "<div class=\"player\">");
  PlayerPicks(html, pool, row);
  html += QStringLiteral("</div>\n");
  TChartSvg charts(pool.SystemFile());
  html += QStringLiteral("<figure>") +
          charts.Picks(*pool.PlayerPicksFile().Items(player), pool.TeamsFile()) +
          QStringLiteral("</figure>\n</section>\n");
  PageFoot(html);
  return page;
}

QByteArray StandingsPage::Html(const TFFDataModule& pool, const QDate& date,
                               const TOutlookResult* outlook, bool linkPlayers) {
  QByteArray page;
  Write(
      pool, date, outlook,
      [&page](const QByteArray& part) {
        page += part;
        return true;
      },
      linkPlayers);
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
