#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <memory>

#include "PoolReports.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class TOpenPool;

// "Print Report": choose one of the nine reports and send it to the report setup (preview or
// printer) or to its RTF file in the pool's folder. Made once and shown modally; closing
// only hides it, so the choice and the tick are still there the next time.
class TfrmPrintReport : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kHelpContext = 400;

  explicit TfrmPrintReport(TOpenPool& pool, QWidget* parent = nullptr);
  ~TfrmPrintReport() override;

  void FormCreate();
  // Every time the window becomes active: the RTF files follow the pool open now.
  void FormActivate();
  void lstReportNamesClick();
  void btnPrintClick();
  void btnCancelClick();
  void btnHelpClick();

  TPoolReports& Reports() { return *FReports; }

  QLabel* lblSelectReport;
  QListWidget* lstReportNames;
  QCheckBox* chkPrintToFile;
  QPushButton* btnPrint;
  QPushButton* btnCancel;
  QPushButton* btnHelp;

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  TOpenPool& FPool;
  std::unique_ptr<TPoolReports> FReports;
  // Both filled once: the report system of each list position, and the RTF filer of the
  // positions that have one.
  std::array<std::function<void()>, TPoolReports::kReportCount> FPrinterDispatch;
  std::array<std::function<bool()>, TPoolReports::kReportCount> FFileDispatch;
};
