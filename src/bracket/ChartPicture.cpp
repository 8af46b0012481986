#include "ChartPicture.h"

#include <QPainter>
#include <utility>

#include "BracketList.h"
#include "ChartGeometry.h"

namespace {

// The column of the connector at the inner end of the rules of chart rounds 1 to 5, on the
// left side and on the right side. Round 5's connectors are the long ones joining the two
// regional winners of a side, which the finalist's rule meets. Where a column one pixel
// either way would do, the one that keeps a pixel of white before the next round's names is
// taken, as long as every rule still reaches within two pixels of both ends of its slot.
constexpr int kLeftConnectors[] = {92, 160, 229, 296, 363};
constexpr int kRightConnectors[] = {705, 637, 569, 502, 435};
constexpr int kRegionalRounds = 5;

// Seeds stand outside the chart: right-aligned up to this column on the left, from this
// column on the right.
constexpr int kLeftSeedsRight = 12;
constexpr int kRightSeedsLeft = 783;
constexpr int kSeedDigitsPixelSize = 10;
constexpr int kWordsPixelSize = 12;

// First row of the two-pixel rule under a slot: lower under the taller boxes of later rounds.
int RuleRow(const TBracketItem& slot) {
  switch (slot.Round()) {
    case 1:
      return slot.Top() + 13;
    case 7:
      return slot.Top() + 15;
    default:
      return slot.Top() + 14;
  }
}

bool OnLeftSide(const TBracketItem& slot) {
  return slot.Round() <= kRegionalRounds ? slot.Region() <= 2 : slot.Region() == 1;
}

// Columns the rule under a slot covers. A rule starts at the connector the slot is fed from
// (or at the slot's outer edge in round 1) and runs to the connector at its inner end; the
// finalists' rules run from their slot's edge to the long connector, and the champion's rule
// stands free, two pixels inside its slot at each end.
std::pair<int, int> RuleColumns(const TBracketItem& slot) {
  const int round = slot.Round();
  if (round == 7)
    return {slot.Left() + 2, slot.Right() - 2};
  const bool left = OnLeftSide(slot);
  if (round == 6) {
    return left ? std::pair{slot.Left(), kLeftConnectors[kRegionalRounds - 1]}
                : std::pair{kRightConnectors[kRegionalRounds - 1], slot.Right()};
  }
  if (left) {
    return {round == 1 ? slot.Left() : kLeftConnectors[round - 2], kLeftConnectors[round - 1]};
  }
  return {kRightConnectors[round - 1], round == 1 ? slot.Right() : kRightConnectors[round - 2]};
}

void FillPixels(QPainter& painter, int left, int top, int right, int bottom) {
  painter.fillRect(QRect(QPoint(left, top), QPoint(right, bottom)), Qt::black);
}

void DrawRulesAndConnectors(QPainter& painter, const TBracketList& chart) {
  for (int i = 0; i < chart.Count(); ++i) {
    const TBracketItem& slot = *chart.Items(i);
    const auto [from, to] = RuleColumns(slot);
    FillPixels(painter, from, RuleRow(slot), to, RuleRow(slot) + 1);
  }
  // The two slots of a game are neighbours in slot order, the upper one first; their
  // connector runs from the top of the upper rule to the bottom of the lower one.
  for (int i = 0; i + 1 < chart.Count(); i += 2) {
    const TBracketItem& upper = *chart.Items(i);
    const TBracketItem& lower = *chart.Items(i + 1);
    if (upper.Round() > kRegionalRounds)
      break;
    const int round = upper.Round();
    const int column = OnLeftSide(upper) ? kLeftConnectors[round - 1] : kRightConnectors[round - 1];
    FillPixels(painter, column, RuleRow(upper), column, RuleRow(lower) + 1);
  }
}

// The seed of every first-round line beside it, outside the chart, standing on its rule.
void DrawSeeds(QPainter& painter, const TBracketList& chart) {
  // Digits this small lose strokes when smoothed and cut back to two colours; unsmoothed
  // they stay whole.
  QFont font = ChartFont(kSeedDigitsPixelSize, false);
  font.setStyleStrategy(QFont::NoAntialias);
  painter.setFont(font);
  const QFontMetrics metrics(painter.font());
  for (int i = 0; i < chart.Count(); ++i) {
    const TBracketItem& slot = *chart.Items(i);
    if (slot.Round() != 1)
      continue;
    const QString digits = QString::number(slot.Seed());
    const int baseline = RuleRow(slot);
    const int x = OnLeftSide(slot) ? kLeftSeedsRight + 1 - metrics.horizontalAdvance(digits)
                                   : kRightSeedsLeft;
    painter.drawText(QPoint(x, baseline), digits);
  }
}

void DrawWord(QPainter& painter, const QString& word, int left, int top) {
  painter.drawText(QPoint(left, top + painter.fontMetrics().ascent()), word);
}

QImage DrawChartPicture() {
  QImage image(ChartGeometry::kWidth, ChartGeometry::kHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.setPen(Qt::black);
    const TBracketList chart;
    DrawRulesAndConnectors(painter, chart);
    DrawSeeds(painter, chart);
    painter.setFont(ChartFont(kWordsPixelSize, true));
    DrawWord(painter, QStringLiteral("Champion"), 370, 282);
    DrawWord(painter, QStringLiteral("Finalist"), 306, 301);
    DrawWord(painter, QStringLiteral("Finalist"), 441, 301);
  }
  // The words are drawn smoothed, which keeps their bold strokes whole; cutting every pixel
  // to black or white at half grey gives the two colours.
  return image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
}

}  // namespace

const QImage& LoadChartPicture() {
  static const QImage picture = DrawChartPicture();
  return picture;
}

QFont ChartFont(int pixelSize, bool bold) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}
