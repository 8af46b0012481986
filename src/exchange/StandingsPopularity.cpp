// The standings page's section on pick popularity.
#include "FFDataModule.h"
#include "PickPopularity.h"
#include "StandingsPageParts.h"

using StandingsPageParts::TPageWriter;

namespace {

QString Escaped(const QString& text) {
  return text.toHtmlEscaped();
}

QString ShareCell(double share, const QString& kind = {}) {
  return QStringLiteral("<td class=\"share%1\" style=\"--share:%2%\">%3</td>")
      .arg(kind, QString::number(share * 100, 'f', 1), TPickPopularity::Percent(share));
}

}  // namespace

void StandingsPageParts::PopularitySection(TPageWriter& html, const TFFDataModule& pool) {
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
