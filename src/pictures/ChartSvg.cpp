#include "ChartSvg.h"

#include <QFontMetrics>
#include <functional>

#include "BracketList.h"
#include "ChartEntry.h"
#include "ChartGeometry.h"
#include "ChartPicture.h"
#include "PlayerPicksFile.h"
#include "ReportsBase.h"
#include "SvgText.h"
#include "SystemFile.h"
#include "TeamsFile.h"

using SvgText::Escaped;
using SvgText::FittedText;
using SvgText::Number;

namespace {

const QString kLinesId = QStringLiteral("chart-lines");
const QString kHitInk = QStringLiteral("#176b2c");
const QString kHitGround = QStringLiteral("#dcf1e1");
const QString kMissInk = QStringLiteral("#9a2a2a");
const QString kMissGround = QStringLiteral("#f7dede");

enum class TMark { None, Hit, Miss };

// The rules and the lettering of the chart picture.
QString Lines() {
  QString path;
  for (const QRect& rule : ChartRules()) {
    path += QStringLiteral("M%1 %2h%3v%4h-%3z")
                .arg(rule.left())
                .arg(rule.top())
                .arg(rule.width())
                .arg(rule.height());
  }
  QString svg = QStringLiteral("<g id=\"%1\"><path d=\"%2\"/>").arg(kLinesId, path);
  for (const TChartLabel& label : ChartLabels()) {
    svg += QStringLiteral("<text x=\"%1\" y=\"%2\" font-size=\"%3\"%4%5>%6</text>")
               .arg(label.Baseline.x())
               .arg(label.Baseline.y())
               .arg(label.PixelSize)
               .arg(label.Bold ? QStringLiteral(" font-weight=\"bold\"") : QString(),
                    label.AlignRight ? QStringLiteral(" text-anchor=\"end\"") : QString(),
                    Escaped(label.Text));
  }
  return svg + QStringLiteral("</g>");
}

// A text written into a box as the chart writes it, from its top-left corner, but whole: a
// text too long is shrunk to the box's width.
QString BoxText(const QRect& box, const QString& text, bool bold, const QString& ink = {}) {
  if (text.isEmpty())
    return {};
  const int baseline = box.top() + QFontMetrics(ChartFont(kChartTextPixelSize, bold)).ascent();
  return FittedText(box.left(), baseline, text, kChartTextPixelSize, bold, box.width(), ink);
}

QString Chart(const TSystemFile& system, const TBracketList& chart, const QString& title,
              bool& linesWritten, const std::function<TMark(const TBracketItem&)>& mark) {
  QString svg = QStringLiteral(
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"chart\" viewBox=\"0 0 "
                    "%1 %2\" role=\"img\" font-family=\"%3\" font-size=\"%4\"><title>%5</title>"
                    "<rect width=\"%1\" height=\"%2\" fill=\"#fff\"/>")
                    .arg(ChartGeometry::kWidth)
                    .arg(ChartGeometry::kHeight)
                    .arg(QLatin1String(kChartFontFamilies))
                    .arg(kChartTextPixelSize)
                    .arg(Escaped(title));
  if (!linesWritten) {
    svg += QStringLiteral("<defs>") + Lines() + QStringLiteral("</defs>");
    linesWritten = true;
  }
  svg += QStringLiteral("<use href=\"#%1\"/><g font-weight=\"bold\">").arg(kLinesId);
  svg += BoxText(ChartGeometry::kBuilderPoolNameBox, system.PoolName(), true);
  for (int region = 1; region <= ChartPaths::kRegions; ++region) {
    svg += BoxText(ChartGeometry::kBracketNameBoxes[static_cast<size_t>(region - 1)],
                   system.BracketName(region), true);
  }
  svg += QStringLiteral("</g>");
  for (int i = 0; i < chart.Count(); ++i) {
    const TBracketItem& slot = *chart.Items(i);
    if (!slot.Team())
      continue;
    const QRect box = slot.TextBox();
    const TMark marked = mark(slot);
    QString ink;
    if (marked != TMark::None) {
      const bool hit = marked == TMark::Hit;
      ink = hit ? kHitInk : kMissInk;
      svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"/>")
                 .arg(box.left())
                 .arg(box.top())
                 .arg(box.width())
                 .arg(box.height())
                 .arg(hit ? kHitGround : kMissGround);
    }
    svg += BoxText(box, slot.Team()->TeamName(), false, ink);
    if (marked == TMark::Miss) {
      const TFittedText fitted =
          FitText(slot.Team()->TeamName(), kChartTextPixelSize, false, box.width());
      svg += QStringLiteral("<path d=\"M%1 %2h%3\" stroke=\"%4\"/>")
                 .arg(box.left())
                 .arg(Number(box.top() + box.height() / 2.0 + 0.5))
                 .arg(Number(fitted.Width * fitted.Squeeze), kMissInk);
    }
  }
  return svg + QStringLiteral("</svg>");
}

}  // namespace

QString TChartSvg::Results(const TTeamsFile& teams) {
  TBracketList chart;
  chart.PlaceTeams(teams);
  return Chart(FSystem, chart, QStringLiteral("The results chart of ") + FSystem.PoolName(),
               FLinesWritten, [](const TBracketItem&) { return TMark::None; });
}

QString TChartSvg::Picks(TPlayerPicksListObject& player, const TTeamsFile& teams) {
  TBracketList chart;
  chart.PlaceTeams(player);
  return Chart(FSystem, chart, QStringLiteral("The picks of ") + player.PlayerName(), FLinesWritten,
               [&teams](const TBracketItem& slot) {
                 const TTeamSeedObject* team =
                     slot.Round() > 1 ? teams.FindTeam(slot.Team()->TeamName()) : nullptr;
                 if (!team)
                   return TMark::None;
                 switch (TReportsBase::PickState(*team, slot.Round())) {
                   case TReportsBase::TPickState::Correct:
                     return TMark::Hit;
                   case TReportsBase::TPickState::Dead:
                     return TMark::Miss;
                   case TReportsBase::TPickState::Open:
                     break;
                 }
                 return TMark::None;
               });
}
