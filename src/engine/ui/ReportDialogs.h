#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "ReportUi.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSpinBox;

// The "Report Setup" dialog: destination (preview, the default, printer, or a PDF file, which
// needs no printer at all) and copies. `proposed` holds the PDF file it offers.
class TdlgReportSetup : public QDialog {
  Q_OBJECT

 public:
  static inline const QString kPdfTitle = QStringLiteral("Save as PDF");
  static inline const QString kPdfFilter = QStringLiteral("PDF files (*.pdf)");

  TdlgReportSetup(const QString& title, QPrinter& printer, const TReportSetup& proposed = {},
                  QWidget* parent = nullptr);

  TReportSetup Choice() const;
  // The printer's own dialog, to choose a printer and its settings.
  void btnPrinterSetupClick();
  // The file dialog, to choose where the PDF file goes; choosing one chooses the destination.
  void btnBrowseClick();

 private:
  // OK needs a file to save the PDF in.
  void UpdateOk();

  QPrinter& FPrinter;
  QRadioButton* rbPreview;
  QRadioButton* rbPrinter;
  QRadioButton* rbPdf;
  QLineEdit* edtPdfFile;
  QSpinBox* spnCopies;
  QLabel* lblPrinter;
  QPushButton* btnOk;
};

// How the preview scales its pages: to the whole page, to the page's width, or a percentage.
struct TPreviewZoom {
  enum class TMode { FitPage, FitWidth, Percent };
  TMode Mode = TMode::Percent;
  int Percent = 100;

  static constexpr int kMinPercent = 50;
  static constexpr int kMaxPercent = 200;
  // The percentages Ctrl++ and Ctrl+- step through.
  static inline const int kSteps[] = {50, 75, 100, 125, 150, 200};

  // The scale factor of a page of `page` pixels shown in `viewport` pixels.
  double Scale(const QSize& page, const QSize& viewport) const;
  // The next step up (or down) from the percentage the page is shown at now.
  static int StepFrom(double shownPercent, bool up);
};

// The modal "Report Preview": one page at a time, with page buttons (and Page Up / Page Down,
// Home / End), zoom (fit page, fit width, 50 to 200 percent, Ctrl++ / Ctrl+-) and the print
// button. It opens no larger than the screen's available area.
class TdlgReportPreview : public QDialog {
  Q_OBJECT

 public:
  TdlgReportPreview(const QString& title, TReportSystem& system, const std::vector<QImage>& pages,
                    QWidget* parent = nullptr);

  int CurrentPage() const { return FPage; }
  void ShowPage(int page);
  void btnPrintClick();

  const TPreviewZoom& Zoom() const { return FZoom; }
  void SetZoom(const TPreviewZoom& zoom);
  void ZoomIn();
  void ZoomOut();
  // The percentage the page is shown at now, whatever the mode.
  double ShownPercent() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowImage();

  TReportSystem& FSystem;
  const std::vector<QImage>& FPages;
  int FPage = 0;
  TPreviewZoom FZoom;
  QScrollArea* sbxPage;
  QLabel* imgPage;
  QLabel* lblPage;
  QPushButton* btnFirst;
  QPushButton* btnPrior;
  QPushButton* btnNext;
  QPushButton* btnLast;
  QComboBox* cbxZoom;
};

// The status window of long work: the text, a bar of how far the work has got and Cancel.
// Closing it cancels too. It closes by itself once the work is done.
class TdlgReportProgress : public QDialog {
  Q_OBJECT

 public:
  TdlgReportProgress(const QString& title, const QString& text, std::function<double()> progress,
                     std::function<void()> cancel, QWidget* parent = nullptr);

  // Shows how far the work has got; closes the window when `done`.
  void Update(bool done);
  void btnCancelClick();

  QProgressBar* barProgress;
  QPushButton* btnCancel;

 protected:
  void reject() override;

 private:
  std::function<double()> FProgress;
  std::function<void()> FCancel;
  QLabel* lblText;
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
  void RunWithProgress(const QString& title, const QString& text, const std::function<void()>& work,
                       const std::function<double()>& progress,
                       const std::function<void()>& cancel) override;

  // Made at the first run, so that starting the program does not wait for the printers.
  QPrinter& Printer();

  // Restores (`store` false) or stores the preview window's size and position; the program
  // keeps them with its other windows'.
  using TWindowState = std::function<void(QWidget& window, bool store)>;
  void SetPreviewState(TWindowState state) { FPreviewState = std::move(state); }

 private:
  TWindowState FPreviewState;
  // The zoom chosen last, for the next preview of the run.
  TPreviewZoom FPreviewZoom;
  std::unique_ptr<QPrinter> FPrinter;
  std::unique_ptr<QDialog> FStatus;
  QLabel* FStatusText = nullptr;
};
