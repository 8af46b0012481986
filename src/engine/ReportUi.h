#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

#include "Installable.h"

class QWidget;
class TReportSystem;

// What the person chose in the setup dialog.
struct TReportSetup {
  enum class TDestination { Preview, Printer, Pdf };
  TDestination Destination = TDestination::Preview;
  int Copies = 1;
  // The PDF file to save the pages in: proposed in, chosen out.
  QString FileName;
};

// The windows of a report run: setup, status and preview, and the printer the setup chose.
// The program installs its dialogs; tests install a scripted stand-in, so a run is driven
// without a modal loop. Nothing here needs widgets: the command-line tool runs reports to
// files with the quiet default.
class TReportUi : public TInstallable<TReportUi> {
 public:
  static inline const QString kReportPrinted = QStringLiteral("Report Printed");

  virtual ~TReportUi() = default;

  // "Report Printed", titled "Courtsider 99", naming the full path of the file written.
  static void ReportPrinted(const QString& fileName, QWidget* asker = nullptr);

  // The setup dialog; `setup` holds the defaults in and the choice out. False when the
  // person cancelled.
  virtual bool Setup(const TReportSystem& system, TReportSetup& setup) = 0;
  // Sends the report to the printer of the last setup, `copies` times; false when the
  // printer could not be written to.
  virtual bool PrintPages(TReportSystem& system, int copies) = 0;
  // The status window, shown with `text` or updated to it.
  virtual void ShowStatus(const QString& title, const QString& text) = 0;
  virtual void HideStatus() = 0;
  // The modal preview of `pages`; it may send the report to a printer through `system`.
  virtual void Preview(TReportSystem& system, const std::vector<QImage>& pages) = 0;
  // Long work before a report's pages: `work` runs on another thread while the status window
  // shows `text`, how far `progress` (0 to 1) says the work has got, and a Cancel button that
  // calls `cancel`, after which the work must return at once. Returns when `work` has.
  // Without windows the work just runs.
  virtual void RunWithProgress(const QString& title, const QString& text,
                               const std::function<void()>& work,
                               const std::function<double()>& progress,
                               const std::function<void()>& cancel);

  // Until something is installed nothing can be asked, so every setup is cancelled and no
  // status is shown.
  static TReportUi& Default();
};

using TReportUiScope = TReportUi::TScope;
