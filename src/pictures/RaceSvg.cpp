#include "RaceSvg.h"

#include <algorithm>
#include <array>

#include "ChartPicture.h"
#include "StandingsHistory.h"
#include "SvgText.h"

using SvgText::Escaped;
using SvgText::Number;

namespace {

// Narrow enough that a phone shows it whole with its names still read.
constexpr double kWidth = 600;
constexpr double kPlotLeft = 44;
constexpr double kPlotRight = 360;
constexpr double kLabelLeft = kPlotRight + 12;
constexpr double kTop = 24;
constexpr double kBottomRoom = 40;
constexpr double kRowHeight = 18;
constexpr double kSmallestPlot = 160;
constexpr double kLargestPlot = 560;
constexpr int kTextSize = 14;
constexpr double kLabelSpacing = 17;
const QString kGrey = QStringLiteral("#c3c9d0");
const QString kGrid = QStringLiteral("#e3e8ee");
// Told apart on screen and on paper, and by most colour-blind readers.
const std::array<QString, RaceSvg::kMostNamed> kColours = {
    QStringLiteral("#1f77b4"), QStringLiteral("#d95f02"), QStringLiteral("#1b9e77"),
    QStringLiteral("#7570b3"), QStringLiteral("#e7298a"), QStringLiteral("#8c6d1f"),
    QStringLiteral("#17becf"), QStringLiteral("#444444")};

using TPlayers = std::vector<TStandingsHistory::TPlayer>;

// Where each round and each place stands: the rounds across, the places down, the first at
// the top and the lowest of those drawn at the bottom, the plot taller the more are drawn.
struct TScale {
  TScale(const TPlayers& players, int count, int rounds) : Last(rounds - 1) {
    for (int i = 0; i < count; ++i) {
      for (const int place : players[static_cast<size_t>(i)].Places)
        Lowest = std::max(Lowest, place);
    }
    Plot = std::clamp(count * kRowHeight, kSmallestPlot, kLargestPlot);
    Height = kTop + Plot + kBottomRoom;
  }
  double X(int round) const {
    return Last == 0 ? (kPlotLeft + kPlotRight) / 2
                     : kPlotLeft + (kPlotRight - kPlotLeft) * round / Last;
  }
  double Y(int place) const {
    return Lowest == 1 ? kTop + Plot / 2 : kTop + Plot * (place - 1) / (Lowest - 1);
  }

  int Last;
  int Lowest = 1;
  double Plot = 0;
  double Height = 0;
};

// The places down the left, each with a faint line across, at every place for a small pool
// and as many as there is room for in a large one; the rounds along the bottom.
QString Axes(const TScale& scale, const std::vector<int>& rounds) {
  int step = 1;
  for (const int every : {1, 5, 10, 25, 50, 100}) {
    step = every;
    if (scale.Lowest <= 1 || scale.Plot * every / (scale.Lowest - 1) >= kLabelSpacing)
      break;
  }
  QString svg = QStringLiteral("<g stroke=\"%1\">").arg(kGrid);
  QString placeLabels;
  for (int place = 1; place <= scale.Lowest; place = place == 1 && step > 1 ? step : place + step) {
    svg += QStringLiteral("<path d=\"M%1 %2H%3\"/>")
               .arg(Number(kPlotLeft), Number(scale.Y(place)), Number(kPlotRight));
    placeLabels += QStringLiteral("<text x=\"%1\" y=\"%2\" text-anchor=\"end\">%3</text>")
                       .arg(Number(kPlotLeft - 8), Number(scale.Y(place) + 5),
                            TStandingsHistory::Ordinal(place));
  }
  QString roundLabels;
  for (int r = 0; r <= scale.Last; ++r) {
    svg += QStringLiteral("<path d=\"M%1 %2V%3\"/>")
               .arg(Number(scale.X(r)), Number(kTop - 8), Number(kTop + scale.Plot + 8));
    roundLabels +=
        QStringLiteral("<text x=\"%1\" y=\"%2\" text-anchor=\"middle\">After Rd %3</text>")
            .arg(Number(scale.X(r)), Number(kTop + scale.Plot + 28))
            .arg(rounds[static_cast<size_t>(r)] - 1);
  }
  return svg + QStringLiteral("</g><g fill=\"#4a5560\">") + placeLabels + roundLabels +
         QStringLiteral("</g>");
}

// A player's places as the points of a line.
QString Line(const TScale& scale, const TStandingsHistory::TPlayer& player) {
  QString points;
  for (int r = 0; r <= scale.Last; ++r) {
    points +=
        QStringLiteral("%1%2,%3").arg(r == 0 ? QString() : QStringLiteral(" "), Number(scale.X(r)),
                                      Number(scale.Y(player.Places[static_cast<size_t>(r)])));
  }
  return points;
}

// Everyone drawn but the leaders, in grey, the last first so that the better lie on top.
QString Field(const TScale& scale, const TPlayers& players, int named, int count) {
  QString svg = QStringLiteral(
                    "<g fill=\"none\" stroke=\"%1\" stroke-width=\"1.5\" "
                    "stroke-linejoin=\"round\">")
                    .arg(kGrey);
  for (int i = count - 1; i >= named; --i) {
    const auto& player = players[static_cast<size_t>(i)];
    svg += scale.Last == 0 ? QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"2.5\" fill=\"%3\"/>")
                                 .arg(Number(scale.X(0)), Number(scale.Y(player.Places[0])), kGrey)
                           : QStringLiteral("<polyline points=\"%1\"/>").arg(Line(scale, player));
  }
  return svg + QStringLiteral("</g>");
}

// The leaders in colour, their names at the ends of their lines, spread apart where places
// are shared.
QString Leaders(const TScale& scale, const TPlayers& players, int named) {
  std::vector<double> labelY;
  for (int i = 0; i < named; ++i) {
    const double want = scale.Y(players[static_cast<size_t>(i)].Places.back()) + 5;
    labelY.push_back(i == 0 ? want : std::max(want, labelY.back() + kLabelSpacing));
  }
  QString svg;
  for (int i = named - 1; i >= 0; --i) {
    const auto& player = players[static_cast<size_t>(i)];
    const QString& colour = kColours[static_cast<size_t>(i)];
    svg += QStringLiteral("<g stroke=\"%1\" fill=\"%1\">").arg(colour);
    if (scale.Last > 0) {
      svg += QStringLiteral(
                 "<polyline points=\"%1\" fill=\"none\" stroke-width=\"3\" "
                 "stroke-linejoin=\"round\"/>")
                 .arg(Line(scale, player));
    }
    for (int r = 0; r <= scale.Last; ++r) {
      svg += QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"4\"/>")
                 .arg(Number(scale.X(r)), Number(scale.Y(player.Places[static_cast<size_t>(r)])));
    }
    const double endY = scale.Y(player.Places.back());
    const double atY = labelY[static_cast<size_t>(i)];
    svg += QStringLiteral("<path d=\"M%1 %2L%3 %4\" stroke-width=\"1\"/>")
               .arg(Number(scale.X(scale.Last) + 5), Number(endY), Number(kLabelLeft - 4),
                    Number(atY - 5));
    const QString label = QStringLiteral("%1 %2 (%3)")
                              .arg(TStandingsHistory::Ordinal(player.Places.back()),
                                   player.PlayerName, QString::number(player.Points.back()));
    svg += QStringLiteral("<g stroke=\"none\" font-weight=\"bold\">") +
           SvgText::FittedText(kLabelLeft, atY, label, kTextSize, true, kWidth - kLabelLeft - 4) +
           QStringLiteral("</g></g>");
  }
  return svg;
}

}  // namespace

QString RaceSvg::Svg(const TStandingsHistory& history, const QString& title) {
  const TPlayers& players = history.Players();
  const auto& rounds = history.Rounds();
  if (rounds.empty() || players.empty())
    return {};
  const int count = std::min(static_cast<int>(players.size()), RaceSvg::kMostDrawn);
  const TScale scale(players, count, static_cast<int>(rounds.size()));
  // The leaders: the top five after the last round, in finish order, as many as there are
  // colours.
  int named = 0;
  while (named < count && named < kMostNamed &&
         players[static_cast<size_t>(named)].Places.back() <= kLeaders) {
    ++named;
  }
  return QStringLiteral(
             "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"race\" viewBox=\"0 0 %1 "
             "%2\" role=\"img\" font-family=\"%3\" font-size=\"%4\"><title>%5</title>"
             "<rect width=\"%1\" height=\"%2\" fill=\"#fff\"/>")
             .arg(Number(kWidth), Number(scale.Height), QLatin1String(kChartFontFamilies))
             .arg(kTextSize)
             .arg(Escaped(title)) +
         Axes(scale, rounds) + Field(scale, players, named, count) +
         Leaders(scale, players, named) + QStringLiteral("</svg>");
}

QString RaceSvg::Caption(const TStandingsHistory& history) {
  QString caption = QStringLiteral(
      "Each line is a player's place after each completed round; the leaders are named.");
  if (history.Players().size() > static_cast<size_t>(kMostDrawn)) {
    caption += QStringLiteral(" The first %1 players in the standings are drawn.").arg(kMostDrawn);
  }
  return caption;
}
