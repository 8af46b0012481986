#pragma once

#include <QImage>
#include <QString>
#include <vector>

#include "Installable.h"

class QPrinter;
class TReportSystem;

// What the person chose in the setup dialog.
struct TReportSetup {
  enum class TDestination { Preview, Printer };
  TDestination Destination = TDestination::Preview;
  int Copies = 1;
};

// The windows of a report run: setup, status and preview. The program shows real dialogs;
// tests install a scripted stand-in, so a run is driven without a modal loop.
class TReportUi : public TInstallable<TReportUi> {
 public:
  virtual ~TReportUi() = default;

  // The setup dialog; `setup` holds the defaults in and the choice out, `printer` is the
  // printer the run will use. False when the person cancelled.
  virtual bool Setup(const TReportSystem& system, TReportSetup& setup, QPrinter& printer) = 0;
  // The status window, shown with `text` or updated to it.
  virtual void ShowStatus(const QString& title, const QString& text) = 0;
  virtual void HideStatus() = 0;
  // The modal preview of `pages`; it may send the report to the printer through `system`.
  virtual void Preview(TReportSystem& system, const std::vector<QImage>& pages) = 0;

  // Until something is installed: the dialogs when the program has widgets, else none (every
  // setup is cancelled).
  static TReportUi& Default();
};

using TReportUiScope = TReportUi::TScope;

// The scripted stand-in for tests: answers the setup dialog from what it was given and keeps
// the status texts and the previewed pages.
class TFakeReportUi : public TReportUi {
 public:
  bool Setup(const TReportSystem& system, TReportSetup& setup, QPrinter& printer) override;
  void ShowStatus(const QString& title, const QString& text) override;
  void HideStatus() override { FStatusShown = false; }
  void Preview(TReportSystem& system, const std::vector<QImage>& pages) override;

  // The next setup is cancelled.
  void CancelSetup() { FCancel = true; }
  // The next setup chooses the printer; its pages go into the PDF file `fileName`.
  void ChoosePrinter(const QString& fileName, int copies = 1);
  // The next preview presses its print button, printing into the PDF file `fileName`.
  void PrintFromPreview(const QString& fileName) { FPreviewPrintFile = fileName; }

  const QStringList& StatusTexts() const { return FStatusTexts; }
  const QStringList& SetupTitles() const { return FSetupTitles; }
  int PreviewCount() const { return FPreviewCount; }
  const std::vector<QImage>& PreviewPages() const { return FPreviewPages; }
  bool StatusShown() const { return FStatusShown; }

 private:
  bool FCancel = false;
  QString FPrinterFile;
  int FCopies = 1;
  QString FPreviewPrintFile;
  QStringList FStatusTexts;
  QStringList FSetupTitles;
  int FPreviewCount = 0;
  std::vector<QImage> FPreviewPages;
  bool FStatusShown = false;
};
