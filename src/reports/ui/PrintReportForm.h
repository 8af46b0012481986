#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <memory>

#include "PoolReports.h"

class QCheckBox;
class QComboBox;
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
  // The choices of cboModel.
  static constexpr int kModelEven = 0;
  static constexpr int kModelSeed = 1;
  static constexpr int kModelRatings = 2;

  using TModalRunner = std::function<int(QDialog&)>;

  explicit TfrmPrintReport(TOpenPool& pool, QWidget* parent = nullptr);
  ~TfrmPrintReport() override;

  void FormCreate();
  // Every time the window becomes active: the RTF files follow the pool open now.
  void FormActivate();
  void lstReportNamesClick();
  void btnPrintClick();
  void btnCancelClick();
  void btnHelpClick();
  // How Who Can Still Win weighs the games; the ratings come from a file chosen here.
  void cboModelChange(int index);
  // What if: winners chosen for games still to be played, and Who Can Still Win printed with
  // them assumed.
  void btnWhatIfClick();
  // Tests answer the What If dialog without a modal loop.
  void SetModalRunner(TModalRunner runner) { FModalRunner = std::move(runner); }

  TPoolReports& Reports() { return *FReports; }

  QLabel* lblSelectReport;
  QListWidget* lstReportNames;
  QCheckBox* chkPrintToFile;
  QComboBox* cboModel;
  QPushButton* btnWhatIf;
  QPushButton* btnPrint;
  QPushButton* btnCancel;
  QPushButton* btnHelp;

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // The ratings of the file chosen, read again for each print: the file or the pool may have
  // changed since. False, with the reason shown, when they cannot be had.
  bool ReadRatings();

  TOpenPool& FPool;
  TModalRunner FModalRunner;
  // The way of weighing the games last chosen, to go back to when another cannot be had.
  int FModelIndex = 0;
  QString FRatingsFile;
  std::unique_ptr<TPoolReports> FReports;
  // Both filled once: the report system of each list position, and the RTF filer of the
  // positions that have one.
  std::array<std::function<void()>, TPoolReports::kReportCount> FPrinterDispatch;
  std::array<std::function<bool()>, TPoolReports::kReportCount> FFileDispatch;
};
