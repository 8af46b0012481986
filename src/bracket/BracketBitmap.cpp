#include "BracketBitmap.h"

#include <QPainter>

#include "BracketList.h"
#include "ChartEntry.h"
#include "ChartPicture.h"
#include "SystemFile.h"

namespace {

// Writes `text` into `box` as the chart does: the box wiped white, the text from its top-left
// corner, made to fit (FitText) where it is too long, standing where it would have stood;
// never nearer the seeds on the right than the left's names are to theirs.
void WriteText(QPainter& painter, const QRect& box, const QString& text, bool bold) {
  painter.fillRect(box, Qt::white);
  if (text.isEmpty())
    return;
  const QRect room = ChartGeometry::NameRoom(box);
  painter.save();
  painter.setClipRect(room);
  painter.setPen(Qt::black);
  painter.setFont(ChartFont(kChartTextPixelSize, bold));
  const TFittedText fitted = FitText(text, kChartTextPixelSize, bold, room.width());
  painter.translate(room.left(), room.top() + painter.fontMetrics().ascent());
  painter.scale(fitted.Shrink * fitted.Squeeze, fitted.Shrink);
  painter.drawText(QPoint(0, 0), fitted.Text);
  painter.restore();
}
}  // namespace

TBracketBitmap::TBracketBitmap(const TSystemFile& system)
    : FImage(LoadChartPicture().convertToFormat(QImage::Format_RGB32)) {
  DrawTitles(system);
}

void TBracketBitmap::DrawTitles(const TSystemFile& system, const QRect& poolNameBox) {
  TextRect(poolNameBox, system.PoolName(), true);
  for (int i = 1; i <= ChartPaths::kRegions; ++i) {
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
    WriteText(painter, box, text, bold);
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
    WriteText(painter, written.Box, written.Text, written.Bold);
  painter.restore();
}
