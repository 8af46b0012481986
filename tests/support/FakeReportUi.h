#pragma once

#include <QImage>
#include <QStringList>
#include <vector>

#include "ReportUi.h"

// The scripted windows of a report run: answers the setup dialog from what it was given,
// "prints" into PDF files and keeps the status texts and the previewed pages.
class TFakeReportUi : public TReportUi {
 public:
  bool Setup(const TReportSystem& system, TReportSetup& setup) override;
  bool PrintPages(TReportSystem& system, int copies) override;
  void ShowStatus(const QString& title, const QString& text) override;
  void HideStatus() override { FStatusShown = false; }
  void Preview(TReportSystem& system, const std::vector<QImage>& pages) override;
  // Runs the work here and now; with CancelWork() pressing Cancel while it runs.
  void RunWithProgress(const QString& title, const QString& text, const std::function<void()>& work,
                       const std::function<double()>& progress,
                       const std::function<void()>& cancel) override;

  // The next setup is cancelled.
  void CancelSetup() { FCancel = true; }
  // The next long work is cancelled once it has got going; `stopped` then holds how long it
  // took to stop, in seconds.
  void CancelWork(double* stopped) { FCancelWork = stopped; }
  // The next setup chooses the printer; its pages go into the PDF file `fileName`.
  void ChoosePrinter(const QString& fileName, int copies = 1);
  // The next setup chooses "Save as PDF" into `fileName`.
  void ChoosePdf(const QString& fileName) { FPdfFile = fileName; }
  // The PDF file the last setup proposed.
  const QString& ProposedPdf() const { return FProposedPdf; }
  // The next preview presses its print button, printing into the PDF file `fileName`.
  void PrintFromPreview(const QString& fileName) { FPreviewPrintFile = fileName; }

  // Status texts, long work's among them.
  const QStringList& StatusTexts() const { return FStatusTexts; }
  const QStringList& SetupTitles() const { return FSetupTitles; }
  int PreviewCount() const { return FPreviewCount; }
  const std::vector<QImage>& PreviewPages() const { return FPreviewPages; }
  bool StatusShown() const { return FStatusShown; }
  // The copies asked of the printer at the last print, 0 before any.
  int PrintedCopies() const { return FPrintedCopies; }

 private:
  static bool PrintToPdf(TReportSystem& system, const QString& fileName);

  bool FCancel = false;
  double* FCancelWork = nullptr;
  QString FPrinterFile;
  int FCopies = 1;
  int FPrintedCopies = 0;
  QString FPreviewPrintFile;
  QString FPdfFile;
  QString FProposedPdf;
  QStringList FStatusTexts;
  QStringList FSetupTitles;
  int FPreviewCount = 0;
  std::vector<QImage> FPreviewPages;
  bool FStatusShown = false;
};
