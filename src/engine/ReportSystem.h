#pragma once

#include <QImage>
#include <QString>
#include <vector>

#include "BaseReport.h"

class QPagedPaintDevice;

// Runs one report to the preview or the printer: the setup dialog first, then the pages with
// the status window showing the page being made. The layout lives in the events. The windows
// are whatever TReportUi is installed; the pages themselves need no widgets.
class TReportSystem : public TReportEvents {
 public:
  static inline const QString kPrintFailed =
      QStringLiteral("The report could not be sent to the printer.");

  QString TitleSetup = QStringLiteral("Report Setup");
  QString TitleStatus = QStringLiteral("Report Status");
  QString TitlePreview = QStringLiteral("Report Preview");
  // "%p" stands for the page number.
  QString StatusFormat = QStringLiteral("Printing page %p");
  QString StatusGenerating = QStringLiteral("Generating page %p");
  int PreviewZoom = 100;
  // The file the setup dialog proposes for "Save as PDF".
  QString PdfFileName;
  double MarginTop = 0.35;
  double MarginBottom = 0.35;

  // Setup dialog, then preview, printer or PDF file. Cancel in the setup dialog ends the run
  // silently. A PDF file written says where it went; one that could not be says why.
  void Run();
  // Sends the report to `printer` (a printer or a PDF writer), whole pages from the paper's
  // corner, showing "Printing page %p"; false when it could not be written to.
  bool Print(QPagedPaintDevice& printer);
  // The pages as the preview shows them, at the preview's zoom.
  std::vector<QImage> RenderPreview();
  // Writes the pages as they go to paper into a PDF file, whole or not at all, showing
  // "Printing page %p"; on failure `error` says why.
  bool RunToPdf(const QString& fileName, QString* error = nullptr);
  // Runs the report on any page writer with this system's margins.
  bool Generate(TBaseReport& writer);

 private:
  bool GenerateWithStatus(TBaseReport& writer, const QString& format);
};
