#include "ReportSystem.h"

#include <QBuffer>
#include <QPdfWriter>

#include "PainterReport.h"
#include "Prompts.h"
#include "ReportUi.h"
#include "SafeFile.h"

namespace {
// The preview shows pages at the screen's nominal resolution at 100 %.
constexpr int kScreenDpi = 96;
constexpr int kPdfDpi = 1200;
}  // namespace

void TReportSystem::Run() {
  TReportUi& ui = TReportUi::Current();
  TReportSetup setup;
  setup.FileName = PdfFileName;
  if (!ui.Setup(*this, setup))
    return;
  switch (setup.Destination) {
    case TReportSetup::TDestination::Preview: {
      const std::vector<QImage> pages = RenderPreview();
      ui.Preview(*this, pages);
      break;
    }
    case TReportSetup::TDestination::Printer:
      if (!ui.PrintPages(*this, setup.Copies))
        TPrompts::Current().Refuse(kPrintFailed);
      break;
    case TReportSetup::TDestination::Pdf: {
      QString error;
      if (RunToPdf(setup.FileName, &error)) {
        PdfFileName = setup.FileName;
        TReportUi::ReportPrinted(setup.FileName);
      } else {
        TPrompts::Current().Refuse(error);
      }
      break;
    }
  }
}

bool TReportSystem::Print(QPagedPaintDevice& printer) {
  TPainterReport writer(printer);
  return GenerateWithStatus(writer, StatusFormat);
}

std::vector<QImage> TReportSystem::RenderPreview() {
  TPainterReport writer(kScreenDpi * PreviewZoom / 100);
  GenerateWithStatus(writer, StatusGenerating);
  return writer.Pages();
}

bool TReportSystem::RunToPdf(const QString& fileName, QString* error) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  bool written = false;
  {
    QPdfWriter pdf(&buffer);
    pdf.setResolution(kPdfDpi);
    pdf.setCreator(QStringLiteral("Courtsider 99"));
    TPainterReport writer(pdf);
    written = GenerateWithStatus(writer, StatusFormat);
  }
  if (!written) {
    if (error)
      *error = QStringLiteral("The PDF pages could not be made.");
    return false;
  }
  QString reason;
  if (!TSafeFile::WriteWhole(fileName, buffer.data(), &reason)) {
    if (error)
      *error = QStringLiteral("Cannot write ") + reason;
    return false;
  }
  return true;
}

bool TReportSystem::Generate(TBaseReport& writer) {
  writer.SetMargins(MarginTop, MarginBottom);
  return writer.Generate(*this);
}

bool TReportSystem::GenerateWithStatus(TBaseReport& writer, const QString& format) {
  TReportUi& ui = TReportUi::Current();
  writer.OnPageStarted = [&](int page) {
    QString text = format;
    ui.ShowStatus(TitleStatus, text.replace(QLatin1String("%p"), QString::number(page)));
  };
  const bool written = Generate(writer);
  writer.OnPageStarted = nullptr;
  ui.HideStatus();
  return written;
}
