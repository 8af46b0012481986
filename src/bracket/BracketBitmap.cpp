#include "BracketBitmap.h"

#include <QPainter>

#include "BracketList.h"
#include "ChartEntry.h"
#include "ChartPicture.h"
#include "SystemFile.h"

namespace {

// Writes `text` into `box` as the chart does: the box wiped white, the text from its top-left
// corner. At the chart's own size a text too long is cut at the box's edge; drawn larger
// (`whole`), it is shrunk to fit whole, standing where it would have stood.
void WriteText(QPainter& painter, const QRect& box, const QString& text, bool bold, bool whole) {
  painter.fillRect(box, Qt::white);
  if (text.isEmpty())
    return;
  painter.save();
  painter.setClipRect(box);
  painter.setPen(Qt::black);
  painter.setFont(ChartFont(kChartTextPixelSize, bold));
  const QPoint baseline(box.left(), box.top() + painter.fontMetrics().ascent());
  if (whole) {
    const TFittedText fitted = FitText(text, kChartTextPixelSize, bold, box.width());
    painter.translate(baseline);
    painter.scale(fitted.Shrink * fitted.Squeeze, fitted.Shrink);
    painter.drawText(QPoint(0, 0), text);
  } else {
    painter.drawText(baseline, text);
  }
  painter.restore();
}
}  // namespace

TBracketBitmap::TBracketBitmap(const TSystemFile& system)
    : FImage(LoadChartPicture().convertToFormat(QImage::Format_RGB32)) {
  DrawTitles(system);
}

void TBracketBitmap::DrawTitles(const TSystemFile& system, const QRect& poolNameBox) {
  TextRect(poolNameBox, system.PoolName(), true);
  for (int i = 1; i <= ChartGeometry::kRegions; ++i) {
    TextRect(ChartGeometry::kBracketNameBoxes[static_cast<size_t>(i - 1)], system.BracketName(i),
             true);
  }
}

void TBracketBitmap::DrawSlot(const TBracketItem* slot, bool bold) {
  if (!slot)
    return;
  TextRect(slot->TextBox(), slot->Team() ? slot->Team()->TeamName() : QString(), bold);
}

void TBracketBitmap::DrawAllSlots(const TBracketList* chart) {
  if (!chart)
    return;
  for (int i = 0; i < chart->Count(); ++i)
    DrawSlot(chart->Items(i));
}

QImage TBracketBitmap::ResultsPicture(const TSystemFile& system, const TTeamsFile& teams) {
  TBracketList chart;
  TBracketBitmap bitmap(system);
  bitmap.DrawTitles(system, ChartGeometry::kBuilderPoolNameBox);
  chart.PlaceTeams(teams);
  bitmap.DrawAllSlots(&chart);
  return bitmap.Image();
}

void TBracketBitmap::TextRect(const QRect& box, const QString& text, bool bold) {
  {
    QPainter painter(&FImage);
    WriteText(painter, box, text, bold, false);
  }
  for (TBoxText& written : FTexts) {
    if (written.Box == box) {
      written = {box, text, bold};
      return;
    }
  }
  FTexts.push_back({box, text, bold});
}

void TBracketBitmap::Paint(QPainter& painter) const {
  painter.save();
  painter.fillRect(QRect(0, 0, ChartGeometry::kWidth, ChartGeometry::kHeight), Qt::white);
  PaintChartPicture(painter);
  painter.setRenderHint(QPainter::TextAntialiasing);
  for (const TBoxText& written : FTexts)
    WriteText(painter, written.Box, written.Text, written.Bold, true);
  painter.restore();
}
