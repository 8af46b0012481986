#include "WhatIfPage.h"

#include <QUrl>

#include "Outlook.h"
#include "StandingsPage.h"

namespace {

QString Escaped(const QString& text) {
  return text.toHtmlEscaped();
}

QString Anchor(const QString& link, const QString& text) {
  return QStringLiteral("<a href=\"%1\">%2</a>").arg(Escaped(link), Escaped(text));
}

// The player's chance as the standings page gives it, an estimate marked.
QString ChanceCell(const TOutlookResult& outlook, const TOutlookPlayer& player) {
  if (outlook.Exact)
    return QStringLiteral("<td>%1</td>").arg(Escaped(FormatChance(player.WinChance)));
  return QStringLiteral("<td>&asymp;&nbsp;%1<span class=\"ci\">%2</span></td>")
      .arg(Escaped(FormatChance(player.WinChance)),
           Escaped(FormatInterval(player.ChanceLow, player.ChanceHigh)));
}

}  // namespace

QString WhatIfPage::Link(const QStringList& winners) {
  QStringList names;
  for (const QString& winner : winners)
    names << QString::fromLatin1(QUrl::toPercentEncoding(winner));
  return QStringLiteral("%1?%2%3").arg(QLatin1String(kPath), QLatin1String(kField),
                                       names.join(QLatin1Char(',')));
}

QStringList WhatIfPage::Winners(const std::string& query) {
  const QByteArray raw = QByteArray::fromStdString(query);
  for (const QByteArray& field : raw.split('&')) {
    if (!field.startsWith(kField))
      continue;
    const QByteArray value = field.mid(static_cast<qsizetype>(sizeof(kField) - 1));
    if (value.isEmpty())
      return {};
    QStringList winners;
    for (QByteArray name : value.split(','))
      winners << QUrl::fromPercentEncoding(name.replace('+', ' '));
    return winners;
  }
  return {};
}

QString WhatIfPage::GameLinks(const std::vector<TRootingGame>& games, const QStringList& winners) {
  if (games.empty() || winners.size() >= kMaxAssumed)
    return {};
  QString html = QStringLiteral("<ul class=\"whatif\">\n");
  for (const TRootingGame& game : games) {
    QStringList links;
    for (const QString& team : game.Teams)
      links << Anchor(Link(winners + QStringList{team}), team + QStringLiteral(" wins"));
    html += QStringLiteral("<li>Rd %1, %2 v %3: what if %4 or %5?</li>\n")
                .arg(QString::number(game.Round - 1), Escaped(game.Teams[0]),
                     Escaped(game.Teams[1]), links[0], links[1]);
  }
  return html + QStringLiteral("</ul>\n");
}

QByteArray WhatIfPage::Html(const QString& poolName, const QStringList& winners,
                            const QStringList& assumed, const TOutlookInput& input,
                            const TOutlookResult& outlook, int players) {
  QString html = StandingsPage::PageTop(
      QStringLiteral("What if - ") + poolName, poolName,
      QStringLiteral("<a href=\"/\">%1 standings</a>").arg(Escaped(poolName)));
  html += QStringLiteral("<section>\n<h2>What If</h2>\n<ul>\n");
  for (const QString& game : assumed)
    html += QStringLiteral("<li>%1</li>\n").arg(Escaped(game));
  html += QStringLiteral("</ul>\n<p>");
  if (winners.size() > 1)
    html += Anchor(Link(winners.mid(0, winners.size() - 1)), QStringLiteral("Take back the last"));
  else
    html += Anchor(QStringLiteral("/"), QStringLiteral("Back to the standings"));
  html += QStringLiteral("</p>\n</section>\n");

  html +=
      QStringLiteral(
          "<section>\n<h2>The Standings If So</h2>\n<p class=\"note\">Every other game "
          "still open: %1.</p>\n<div class=\"table\"><table>\n<thead><tr>"
          "<th class=\"name\">Player</th><th>Now</th><th>Max</th><th>Best place</th>"
          "<th>Worst place</th><th>Win chance</th>%2</tr></thead>\n<tbody>\n")
          .arg(Escaped(OutlookSummary(outlook)),
               outlook.PaysPrizes ? QStringLiteral("<th>Expected prize</th><th>Prize chance</th>")
                                  : QString());
  for (const TOutlookPlayer& player : outlook.Players) {
    // Where the pool pays prizes, what each can expect if so, and the chance of a paid place.
    const QString prize = outlook.PaysPrizes ? QStringLiteral("<td>%1</td><td>%2</td>")
                                                   .arg(Escaped(FormatPrize(player.ExpectedPrize)),
                                                        Escaped(FormatChance(player.PrizeChance)))
                                             : QString();
    html += QStringLiteral(
                "<tr><td class=\"name\">%1</td><td class=\"total\">%2</td><td>%3</td><td>%4</td>"
                "<td>%5</td>%6%7</tr>\n")
                .arg(Escaped(player.Name), QString::number(player.Current),
                     QString::number(player.Max), QString::number(player.BestPlace),
                     QString::number(player.WorstPlace), ChanceCell(outlook, player), prize);
  }
  html += QStringLiteral("</tbody></table></div>\n");
  if (static_cast<int>(outlook.Players.size()) < players) {
    html += QStringLiteral("<p class=\"note\">The %1 players with the best chances of %2.</p>\n")
                .arg(outlook.Players.size())
                .arg(players);
  }
  html += QStringLiteral("</section>\n");

  std::vector<TRootingGame> next;
  for (const TOutlookInput::TGame& game : input.KnownGames()) {
    TRootingGame row;
    row.Round = game.Round;
    for (size_t side = 0; side < 2; ++side) {
      row.Teams[side] = input.TeamNames.at(input.Occupant[static_cast<size_t>(game.Feeder[side])]);
    }
    next.push_back(row);
  }
  const QString links = GameLinks(next, winners);
  if (!links.isEmpty())
    html +=
        QStringLiteral("<section>\n<h2>And Then</h2>\n") + links + QStringLiteral("</section>\n");
  html += StandingsPage::PageBottom();
  return html.toUtf8();
}
