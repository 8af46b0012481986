#include "BracketBitmap.h"

#include <QPainter>

#include "BracketList.h"
#include "ChartEntry.h"
#include "ChartPicture.h"
#include "SystemFile.h"

namespace {
// Text cells of this size (ascent plus descent) fill the 13 rows of a slot's text box.
constexpr int kTextPixelSize = 11;
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
  QPainter painter(&FImage);
  painter.fillRect(box, Qt::white);
  if (text.isEmpty())
    return;
  painter.setClipRect(box);
  painter.setPen(Qt::black);
  painter.setFont(ChartFont(kTextPixelSize, bold));
  painter.drawText(QPoint(box.left(), box.top() + painter.fontMetrics().ascent()), text);
}
