#include "ChartPicture.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
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

using ChartGeometry::kLeftSeedsRight;
using ChartGeometry::kRightSeedsLeft;
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

std::vector<QRect> MakeRules() {
  const TBracketList chart;
  std::vector<QRect> rules;
  for (int i = 0; i < chart.Count(); ++i) {
    const TBracketItem& slot = *chart.Items(i);
    const auto [from, to] = RuleColumns(slot);
    rules.emplace_back(QPoint(from, RuleRow(slot)), QPoint(to, RuleRow(slot) + 1));
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
    rules.emplace_back(QPoint(column, RuleRow(upper)), QPoint(column, RuleRow(lower) + 1));
  }
  return rules;
}

std::vector<TChartLabel> MakeLabels() {
  const TBracketList chart;
  std::vector<TChartLabel> labels;
  // The seed of every first-round line beside it, outside the chart, standing on its rule.
  for (int i = 0; i < chart.Count(); ++i) {
    const TBracketItem& slot = *chart.Items(i);
    if (slot.Round() != 1)
      continue;
    const bool left = OnLeftSide(slot);
    labels.push_back({QString::number(slot.Seed()),
                      QPoint(left ? kLeftSeedsRight + 1 : kRightSeedsLeft, RuleRow(slot)),
                      kSeedDigitsPixelSize, false, left});
  }
  // The words hang from the tops given: they stand on the font's ascent below them.
  const int ascent = QFontMetrics(ChartFont(kWordsPixelSize, true)).ascent();
  auto word = [&](const char* text, int left, int top) {
    labels.push_back(
        {QString::fromLatin1(text), QPoint(left, top + ascent), kWordsPixelSize, true, false});
  };
  word("Champion", 370, 282);
  word("Finalist", 306, 301);
  word("Finalist", 441, 301);
  return labels;
}

void DrawLabel(QPainter& painter, const TChartLabel& label, QFont font) {
  painter.setFont(font);
  const int x = label.AlignRight
                    ? label.Baseline.x() - painter.fontMetrics().horizontalAdvance(label.Text)
                    : label.Baseline.x();
  painter.drawText(QPoint(x, label.Baseline.y()), label.Text);
}

// Rules as whole pixels: a rectangle's far edges are pixels of it, one more than QRect's
// width and height would cover when scaled.
void FillRules(QPainter& painter) {
  for (const QRect& rule : ChartRules())
    painter.fillRect(QRectF(rule.topLeft(), rule.size()), Qt::black);
}

QImage DrawChartPicture() {
  QImage image(ChartGeometry::kWidth, ChartGeometry::kHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.setPen(Qt::black);
    FillRules(painter);
    for (const TChartLabel& label : ChartLabels()) {
      QFont font = ChartFont(label.PixelSize, label.Bold);
      // Digits this small lose strokes when smoothed and cut back to two colours; unsmoothed
      // they stay whole. The bold words keep their strokes when smoothed.
      if (!label.Bold)
        font.setStyleStrategy(QFont::NoAntialias);
      DrawLabel(painter, label, font);
    }
  }
  // Cutting every pixel to black or white at half grey gives the two colours.
  return image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
}

}  // namespace

const std::vector<QRect>& ChartRules() {
  static const std::vector<QRect> rules = MakeRules();
  return rules;
}

const std::vector<TChartLabel>& ChartLabels() {
  static const std::vector<TChartLabel> labels = MakeLabels();
  return labels;
}

const QImage& LoadChartPicture() {
  static const QImage picture = DrawChartPicture();
  return picture;
}

void PaintChartPicture(QPainter& painter) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setPen(Qt::black);
  FillRules(painter);
  for (const TChartLabel& label : ChartLabels())
    DrawLabel(painter, label, ChartFont(label.PixelSize, label.Bold));
  painter.restore();
}

QFont ChartFont(int pixelSize, bool bold) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

TFittedText FitText(const QString& text, int pixelSize, bool bold, double width) {
  // Letters are drawn no narrower than this share of their width.
  constexpr double kNarrowest = 0.85;
  // Widths measured where hinting cannot round them: at a size of many pixels, scaled down.
  constexpr int kMeasureSize = 100;
  const QFontMetricsF metrics(ChartFont(kMeasureSize, bold));
  const double toSize = static_cast<double>(pixelSize) / kMeasureSize;
  double natural = metrics.horizontalAdvance(text) * toSize;
  TFittedText fitted{text, 1, natural, 1};
  if (natural <= width || natural <= 0)
    return fitted;
  const double smallest = std::min(1.0, static_cast<double>(kChartSmallestPixelSize) / pixelSize);
  fitted.Shrink = std::max(width / natural, smallest);
  // The widest text, at the size asked for, that the smallest size and narrowest letters fit.
  const double most = width / (fitted.Shrink * kNarrowest);
  if (natural > most) {
    const QString ellipsis(QChar(0x2026));
    QString start = text;
    do {
      start.chop(1);
      while (start.endsWith(QLatin1Char(' ')))
        start.chop(1);
      fitted.Text = start + ellipsis;
      natural = metrics.horizontalAdvance(fitted.Text) * toSize;
    } while (!start.isEmpty() && natural > most);
  }
  fitted.Width = natural * fitted.Shrink;
  fitted.Squeeze = std::min(1.0, width / fitted.Width);
  return fitted;
}
