#include "ReportUi.h"

#include <QApplication>
#include <QPrinter>

#include "ReportDialogs.h"
#include "ReportSystem.h"

namespace {
// Without widgets (the command-line tool) nothing can be asked, so nothing is printed.
class TNoReportUi : public TReportUi {
 public:
  bool Setup(const TReportSystem&, TReportSetup&, QPrinter&) override { return false; }
  void ShowStatus(const QString&, const QString&) override {}
  void HideStatus() override {}
  void Preview(TReportSystem&, const std::vector<QImage>&) override {}
};

}  // namespace

TReportUi& TReportUi::Default() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
    static TReportDialogs dialogs;
    return dialogs;
  }
  static TNoReportUi none;
  return none;
}

bool TFakeReportUi::Setup(const TReportSystem& system, TReportSetup& setup, QPrinter& printer) {
  FSetupTitles << system.TitleSetup;
  if (FCancel) {
    FCancel = false;
    return false;
  }
  if (!FPrinterFile.isEmpty()) {
    setup.Destination = TReportSetup::TDestination::Printer;
    setup.Copies = FCopies;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(FPrinterFile);
    FPrinterFile.clear();
  }
  return true;
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
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(FPreviewPrintFile);
  FPreviewPrintFile.clear();
  system.Print(printer);
}
