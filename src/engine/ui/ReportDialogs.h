#pragma once

#include <QDialog>
#include <memory>

#include "ReportUi.h"

class QLabel;
class QPrinter;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSpinBox;

// The "Report Setup" dialog: destination (preview, the default, or printer) and copies.
class TdlgReportSetup : public QDialog {
  Q_OBJECT

 public:
  TdlgReportSetup(const QString& title, QPrinter& printer, QWidget* parent = nullptr);

  TReportSetup Choice() const;
  // The printer's own dialog, to choose a printer and its settings.
  void btnPrinterSetupClick();

 private:
  QPrinter& FPrinter;
  QRadioButton* rbPreview;
  QRadioButton* rbPrinter;
  QSpinBox* spnCopies;
  QLabel* lblPrinter;
};

// The modal "Report Preview": one page at a time at the run's zoom, with page buttons and
// the print button.
class TdlgReportPreview : public QDialog {
  Q_OBJECT

 public:
  TdlgReportPreview(const QString& title, TReportSystem& system, const std::vector<QImage>& pages,
                    QWidget* parent = nullptr);

  int CurrentPage() const { return FPage; }
  void ShowPage(int page);
  void btnPrintClick();

 private:
  TReportSystem& FSystem;
  const std::vector<QImage>& FPages;
  int FPage = 0;
  QScrollArea* sbxPage;
  QLabel* imgPage;
  QLabel* lblPage;
  QPushButton* btnFirst;
  QPushButton* btnPrior;
  QPushButton* btnNext;
  QPushButton* btnLast;
};

// The report windows of the program. The printer chosen in a setup stays chosen for the next
// run.
class TReportDialogs : public TReportUi {
 public:
  TReportDialogs();
  ~TReportDialogs() override;

  bool Setup(const TReportSystem& system, TReportSetup& setup) override;
  bool PrintPages(TReportSystem& system, int copies) override;
  void ShowStatus(const QString& title, const QString& text) override;
  void HideStatus() override;
  void Preview(TReportSystem& system, const std::vector<QImage>& pages) override;

  // Made at the first run, so that starting the program does not wait for the printers.
  QPrinter& Printer();

 private:
  std::unique_ptr<QPrinter> FPrinter;
  std::unique_ptr<QDialog> FStatus;
  QLabel* FStatusText = nullptr;
};
