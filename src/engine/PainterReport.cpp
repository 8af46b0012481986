#include "PainterReport.h"

#include <QPageLayout>
#include <QPagedPaintDevice>

#include "ReportFonts.h"

namespace {
// Box lines are one device unit thick; on paper and in PDF a device unit is taken as a
// screen pixel, so boxes look the same in the preview and on the page.
constexpr double kDeviceUnit = 1.0 / 96.0;
}  // namespace

TPainterReport::TPainterReport(QPagedPaintDevice& device) : FDevice(&device) {
  // The layouts place everything from the paper's corner: the whole sheet is the page, the
  // printable margins of a printer notwithstanding.
  QPageLayout layout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                     QPageLayout::Inch);
  layout.setMode(QPageLayout::FullPageMode);
  FDevice->setPageLayout(layout);
  FDpi = FDevice->logicalDpiY();
}

TPainterReport::TPainterReport(int dpi) : FDpi(dpi) {}

TPainterReport::~TPainterReport() {
  if (FPainter.isActive())
    FPainter.end();
}

bool TPainterReport::DoBeginRun() {
  FPages.clear();
  FFirstDevicePage = true;
  return !FDevice || FPainter.begin(FDevice);
}

bool TPainterReport::DoEndRun() {
  return !FDevice || FPainter.end();
}

void TPainterReport::DoBeginPage() {
  if (FDevice) {
    if (!FFirstDevicePage)
      FDevice->newPage();
    FFirstDevicePage = false;
  } else {
    // Pages are black on white: grey levels keep the text smooth at a quarter of the memory
    // of colour, which counts when a big pool previews hundreds of pages.
    QImage page(qRound(kPageWidth * FDpi), qRound(kPageHeight * FDpi), QImage::Format_Grayscale8);
    const int dotsPerMeter = qRound(FDpi / 0.0254);
    page.setDotsPerMeterX(dotsPerMeter);
    page.setDotsPerMeterY(dotsPerMeter);
    page.fill(Qt::white);
    FPages.push_back(page);
    FPainter.begin(&FPages.back());
    FPainter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                            QPainter::SmoothPixmapTransform);
  }
}

void TPainterReport::DoEndPage() {
  if (!FDevice && FPainter.isActive())
    FPainter.end();
}

void TPainterReport::DoPrintCell(const TTabStop& stop, const QString& text, double top,
                                 double height) {
  if (!FPainter.isActive())
    return;
  const QRectF cell = ToDevice(QRectF(stop.Position, top, stop.Width, height));
  if (stop.BoxLines != 0) {
    QPen pen(PenColor(), std::max(1.0, kDeviceUnit * FDpi * PenWidth()), PenStyle());
    pen.setCapStyle(Qt::SquareCap);
    FPainter.setPen(pen);
    FPainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (stop.BoxLines & kBoxLeft)
      FPainter.drawLine(cell.topLeft(), cell.bottomLeft());
    if (stop.BoxLines & kBoxRight)
      FPainter.drawLine(cell.topRight(), cell.bottomRight());
    if (stop.BoxLines & kBoxTop)
      FPainter.drawLine(cell.topLeft(), cell.topRight());
    if (stop.BoxLines & kBoxBottom)
      FPainter.drawLine(cell.bottomLeft(), cell.bottomRight());
  }
  if (text.isEmpty())
    return;
  FPainter.setFont(CurrentQFont());
  FPainter.setPen(Qt::black);
  const double margin = stop.Margin * FDpi;
  const QRectF inner = cell.adjusted(margin, 0, -margin, 0);
  const Qt::Alignment horizontal =
      stop.Justify == kJustifyCenter ? Qt::AlignHCenter : Qt::AlignLeft;
  FPainter.drawText(inner, horizontal | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

void TPainterReport::DoDrawBitmap(const QRectF& inches, const QImage& bitmap) {
  if (FPainter.isActive())
    FPainter.drawImage(ToDevice(inches), bitmap);
}

QRectF TPainterReport::ToDevice(const QRectF& inches) const {
  return QRectF(inches.x() * FDpi, inches.y() * FDpi, inches.width() * FDpi,
                inches.height() * FDpi);
}
