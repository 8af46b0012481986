#include "FakeReportUi.h"

#include <QPdfWriter>

#include "ReportSystem.h"

bool TFakeReportUi::Setup(const TReportSystem& system, TReportSetup& setup) {
  FSetupTitles << system.TitleSetup;
  if (FCancel) {
    FCancel = false;
    return false;
  }
  if (!FPrinterFile.isEmpty()) {
    setup.Destination = TReportSetup::TDestination::Printer;
    setup.Copies = FCopies;
  }
  return true;
}

bool TFakeReportUi::PrintPages(TReportSystem& system, int copies) {
  FPrintedCopies = copies;
  const QString fileName = FPrinterFile;
  FPrinterFile.clear();
  return PrintToPdf(system, fileName);
}

void TFakeReportUi::ShowStatus(const QString&, const QString& text) {
  FStatusShown = true;
  FStatusTexts << text;
}

void TFakeReportUi::ChoosePrinter(const QString& fileName, int copies) {
  FPrinterFile = fileName;
  FCopies = copies;
}

void TFakeReportUi::Preview(TReportSystem& system, const std::vector<QImage>& pages) {
  ++FPreviewCount;
  FPreviewPages = pages;
  if (FPreviewPrintFile.isEmpty())
    return;
  const QString fileName = FPreviewPrintFile;
  FPreviewPrintFile.clear();
  PrintToPdf(system, fileName);
}

bool TFakeReportUi::PrintToPdf(TReportSystem& system, const QString& fileName) {
  QPdfWriter printer(fileName);
  printer.setResolution(1200);
  return system.Print(printer);
}
