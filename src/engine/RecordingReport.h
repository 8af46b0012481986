#pragma once

#include <QStringList>
#include <vector>

#include "BaseReport.h"

// The page writer of the tests: it keeps everything the layout put on its pages, so a layout
// is checked by what it asked for rather than by pixels.
class TRecordingReport : public TBaseReport {
 public:
  enum class TKind { Page, Cell, Line, Bitmap };
  struct TRecord {
    TKind Kind = TKind::Cell;
    int Page = 0;
    double Top = 0;
    // Cells: the stop, the text as printed (cut to fit) and the font.
    TTabStop Stop;
    QString Text;
    TReportFontSpec Font;
    // Bitmaps: the rectangle in inches and the picture's size.
    QRectF Rect;
    QSize BitmapSize;
  };

  const std::vector<TRecord>& Records() const { return FRecords; }
  // The texts of the cells, in order, with "|" between cells of a line and "\n" after every
  // line: a compact picture of the pages for comparisons.
  QString Text() const;
  // The non-empty cell texts of one page.
  QStringList CellTexts(int page) const;
  int PageCount() const { return FPages; }

 protected:
  bool DoBeginRun() override;
  void DoBeginPage() override;
  void DoEndPage() override {}
  void DoPrintCell(const TTabStop& stop, const QString& text, double top, double height) override;
  void DoNextLine(double height) override;
  void DoDrawBitmap(const QRectF& inches, const QImage& bitmap) override;

 private:
  std::vector<TRecord> FRecords;
  int FPages = 0;
};
