#include "FakeReportUi.h"

#include <QElapsedTimer>
#include <QPdfWriter>
#include <atomic>
#include <thread>

#include "ReportSystem.h"

bool TFakeReportUi::Setup(const TReportSystem& system, TReportSetup& setup) {
  FSetupTitles << system.TitleSetup;
  FProposedPdf = setup.FileName;
  if (FCancel) {
    FCancel = false;
    return false;
  }
  if (!FPdfFile.isEmpty()) {
    setup.Destination = TReportSetup::TDestination::Pdf;
    setup.FileName = FPdfFile;
    FPdfFile.clear();
    return true;
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

void TFakeReportUi::RunWithProgress(const QString&, const QString& text,
                                    const std::function<void()>& work,
                                    const std::function<double()>& progress,
                                    const std::function<void()>& cancel) {
  FStatusTexts << text;
  if (!FCancelWork) {
    work();
    return;
  }
  // As the window would: the work on its own thread, Cancel once it is under way.
  double* stopped = FCancelWork;
  FCancelWork = nullptr;
  std::atomic<bool> done{false};
  QElapsedTimer clock;
  std::thread worker([&] {
    work();
    done.store(true);
  });
  QElapsedTimer running;
  running.start();
  while (!done.load() && progress() == 0 && running.elapsed() < 300)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  clock.start();
  cancel();
  worker.join();
  *stopped = static_cast<double>(clock.nsecsElapsed()) / 1e9;
}
