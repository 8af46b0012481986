#pragma once

#include <QPainter>
#include <memory>
#include <vector>

#include "BaseReport.h"

class QPagedPaintDevice;

// The page writer that paints: on a printer or a PDF writer, one device page per report
// page, or on images at a given resolution, the pages of the preview.
class TPainterReport : public TBaseReport {
 public:
  // Paints on `device` (a QPrinter or QPdfWriter, set to US Letter portrait by this writer).
  explicit TPainterReport(QPagedPaintDevice& device);
  // Paints the pages as images of `dpi` dots per inch.
  explicit TPainterReport(int dpi);
  ~TPainterReport() override;

  // The image pages painted so far (image mode only).
  const std::vector<QImage>& Pages() const { return FPages; }

 protected:
  bool DoBeginRun() override;
  bool DoEndRun() override;
  void DoBeginPage() override;
  void DoEndPage() override;
  void DoPrintCell(const TTabStop& stop, const QString& text, double top, double height) override;
  void DoDrawBitmap(const QRectF& inches, const QImage& bitmap) override;

 private:
  QRectF ToDevice(const QRectF& inches) const;

  QPagedPaintDevice* FDevice = nullptr;
  int FDpi = 0;
  std::vector<QImage> FPages;
  QPainter FPainter;
  bool FFirstDevicePage = true;
};
