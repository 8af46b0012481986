#include "ReportDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <thread>

#include "Prompts.h"
#include "ReportSystem.h"
#include "ReportUi.h"

namespace {
QString PrinterText(const QPrinter& printer) {
  return printer.printerName().isEmpty() ? QStringLiteral("(default printer)")
                                         : printer.printerName();
}

// A report printed to a PDF file says where the file went, as one written to RTF does.
void ReportIfPrintedToFile(const QPrinter& printer, QWidget* asker) {
  if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
    TReportUi::ReportPrinted(printer.outputFileName(), asker);
}
}  // namespace

TdlgReportSetup::TdlgReportSetup(const QString& title, QPrinter& printer,
                                 const TReportSetup& proposed, QWidget* parent)
    : QDialog(parent), FPrinter(printer) {
  setWindowTitle(title);
  auto* destination = new QGroupBox(tr("Destination"), this);
  rbPreview = new QRadioButton(tr("Pre&view"), destination);
  rbPrinter = new QRadioButton(tr("P&rinter"), destination);
  rbPdf = new QRadioButton(tr("Save as P&DF"), destination);
  rbPreview->setChecked(true);
  edtPdfFile = new QLineEdit(QDir::toNativeSeparators(proposed.FileName), destination);
  edtPdfFile->setMinimumWidth(260);
  auto* btnBrowse = new QPushButton(tr("&Browse..."), destination);
  connect(btnBrowse, &QPushButton::clicked, this, &TdlgReportSetup::btnBrowseClick);
  auto* pdfRow = new QHBoxLayout;
  pdfRow->addSpacing(20);
  pdfRow->addWidget(edtPdfFile, 1);
  pdfRow->addWidget(btnBrowse);
  auto* destinationLayout = new QVBoxLayout(destination);
  destinationLayout->addWidget(rbPreview);
  destinationLayout->addWidget(rbPrinter);
  destinationLayout->addWidget(rbPdf);
  destinationLayout->addLayout(pdfRow);

  spnCopies = new QSpinBox(this);
  spnCopies->setRange(1, 999);
  lblPrinter = new QLabel(PrinterText(printer), this);
  auto* btnPrinterSetup = new QPushButton(tr("&Setup..."), this);
  connect(btnPrinterSetup, &QPushButton::clicked, this, &TdlgReportSetup::btnPrinterSetupClick);
  auto* printerRow = new QHBoxLayout;
  printerRow->addWidget(lblPrinter, 1);
  printerRow->addWidget(btnPrinterSetup);

  auto* form = new QFormLayout;
  form->addRow(tr("Printer:"), printerRow);
  form->addRow(tr("&Copies:"), spnCopies);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  btnOk = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // Typing a file name means the PDF is wanted.
  connect(edtPdfFile, &QLineEdit::textEdited, rbPdf, [this] { rbPdf->setChecked(true); });
  connect(edtPdfFile, &QLineEdit::textChanged, this, &TdlgReportSetup::UpdateOk);
  connect(rbPdf, &QRadioButton::toggled, this, &TdlgReportSetup::UpdateOk);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(destination);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

TReportSetup TdlgReportSetup::Choice() const {
  TReportSetup setup;
  if (rbPrinter->isChecked())
    setup.Destination = TReportSetup::TDestination::Printer;
  else if (rbPdf->isChecked())
    setup.Destination = TReportSetup::TDestination::Pdf;
  setup.Copies = spnCopies->value();
  setup.FileName = QDir::fromNativeSeparators(edtPdfFile->text().trimmed());
  return setup;
}

void TdlgReportSetup::btnPrinterSetupClick() {
  QPrintDialog dialog(&FPrinter, this);
  dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
  if (dialog.exec() == QDialog::Accepted) {
    lblPrinter->setText(PrinterText(FPrinter));
    spnCopies->setValue(FPrinter.copyCount());
  }
}

void TdlgReportSetup::btnBrowseClick() {
  QString path = QDir::fromNativeSeparators(edtPdfFile->text().trimmed());
  if (!TPrompts::Current().AskFileName(TPrompts::FileDialog::Save, kPdfTitle, kPdfFilter, &path))
    return;
  edtPdfFile->setText(QDir::toNativeSeparators(path));
  rbPdf->setChecked(true);
}

void TdlgReportSetup::UpdateOk() {
  btnOk->setEnabled(!rbPdf->isChecked() || !edtPdfFile->text().trimmed().isEmpty());
}

double TPreviewZoom::Scale(const QSize& page, const QSize& viewport) const {
  if (page.isEmpty())
    return 1.0;
  const double toWidth = double(viewport.width()) / page.width();
  switch (Mode) {
    case TMode::FitWidth:
      return std::max(0.05, toWidth);
    case TMode::FitPage:
      return std::max(0.05, std::min(toWidth, double(viewport.height()) / page.height()));
    case TMode::Percent:
      break;
  }
  return std::clamp(Percent, kMinPercent, kMaxPercent) / 100.0;
}

int TPreviewZoom::StepFrom(double shownPercent, bool up) {
  // A shown size within half a percent of a step counts as that step.
  if (up) {
    for (int step : kSteps) {
      if (step > shownPercent + 0.5)
        return step;
    }
    return kMaxPercent;
  }
  for (auto it = std::rbegin(kSteps); it != std::rend(kSteps); ++it) {
    if (*it < shownPercent - 0.5)
      return *it;
  }
  return kMinPercent;
}

namespace {
const QString kFitPage = QStringLiteral("Fit Page");
const QString kFitWidth = QStringLiteral("Fit Width");

// Room kept for the window's frame, which the window does not know before it is shown.
constexpr QSize kFrameAllowance(16, 40);
}  // namespace

TdlgReportPreview::TdlgReportPreview(const QString& title, TReportSystem& system,
                                     const std::vector<QImage>& pages, QWidget* parent)
    : QDialog(parent), FSystem(system), FPages(pages) {
  setObjectName(QStringLiteral("frmReportPreview"));
  setWindowTitle(title);
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  sbxPage = new QScrollArea(this);
  sbxPage->setAlignment(Qt::AlignHCenter);
  sbxPage->setBackgroundRole(QPalette::Dark);
  imgPage = new QLabel;
  sbxPage->setWidget(imgPage);

  btnFirst = new QPushButton(tr("&First"), this);
  btnPrior = new QPushButton(tr("P&rior"), this);
  btnNext = new QPushButton(tr("&Next"), this);
  btnLast = new QPushButton(tr("&Last"), this);
  lblPage = new QLabel(this);
  cbxZoom = new QComboBox(this);
  cbxZoom->setObjectName(QStringLiteral("cbxZoom"));
  cbxZoom->addItem(kFitPage);
  cbxZoom->addItem(kFitWidth);
  for (int step : TPreviewZoom::kSteps)
    cbxZoom->addItem(QStringLiteral("%1%").arg(step), step);
  cbxZoom->setToolTip(tr("Zoom (Ctrl++ / Ctrl+-)"));
  auto* lblZoom = new QLabel(tr("&Zoom:"), this);
  lblZoom->setBuddy(cbxZoom);
  auto* btnPrint = new QPushButton(tr("&Print"), this);
  auto* btnClose = new QPushButton(tr("&Close"), this);
  connect(btnFirst, &QPushButton::clicked, this, [this] { ShowPage(0); });
  connect(btnPrior, &QPushButton::clicked, this, [this] { ShowPage(FPage - 1); });
  connect(btnNext, &QPushButton::clicked, this, [this] { ShowPage(FPage + 1); });
  connect(btnLast, &QPushButton::clicked, this,
          [this] { ShowPage(static_cast<int>(FPages.size()) - 1); });
  connect(btnPrint, &QPushButton::clicked, this, &TdlgReportPreview::btnPrintClick);
  connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
  connect(cbxZoom, &QComboBox::activated, this, [this](int index) {
    TPreviewZoom zoom;
    if (index == 0)
      zoom.Mode = TPreviewZoom::TMode::FitPage;
    else if (index == 1)
      zoom.Mode = TPreviewZoom::TMode::FitWidth;
    else
      zoom.Percent = cbxZoom->itemData(index).toInt();
    SetZoom(zoom);
  });

  // The keys work wherever the focus is: the page area would otherwise scroll with them.
  auto addKeys = [this](const QList<QKeySequence>& keys, auto handler) {
    for (const QKeySequence& key : keys) {
      auto* shortcut = new QShortcut(key, this);
      connect(shortcut, &QShortcut::activated, this, handler);
    }
  };
  addKeys({QKeySequence(Qt::Key_PageDown)}, [this] { ShowPage(FPage + 1); });
  addKeys({QKeySequence(Qt::Key_PageUp)}, [this] { ShowPage(FPage - 1); });
  addKeys({QKeySequence(Qt::Key_Home)}, [this] { ShowPage(0); });
  addKeys({QKeySequence(Qt::Key_End)}, [this] { ShowPage(static_cast<int>(FPages.size()) - 1); });
  addKeys({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)}, [this] { ZoomIn(); });
  addKeys({QKeySequence::ZoomOut}, [this] { ZoomOut(); });

  auto* bar = new QHBoxLayout;
  bar->addWidget(btnFirst);
  bar->addWidget(btnPrior);
  bar->addWidget(btnNext);
  bar->addWidget(btnLast);
  bar->addWidget(lblPage, 1);
  bar->addWidget(lblZoom);
  bar->addWidget(cbxZoom);
  bar->addWidget(btnPrint);
  bar->addWidget(btnClose);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(sbxPage, 1);

  QSize wanted(900, 800);
  if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
    wanted = wanted.boundedTo(screen->availableGeometry().size() - kFrameAllowance);
  resize(wanted);
  SetZoom(FZoom);
  ShowPage(0);
}

void TdlgReportPreview::ShowPage(int page) {
  const int count = static_cast<int>(FPages.size());
  FPage = std::clamp(page, 0, std::max(0, count - 1));
  ShowImage();
  sbxPage->verticalScrollBar()->setValue(0);
  lblPage->setText(tr("Page %1 of %2").arg(count > 0 ? FPage + 1 : 0).arg(count));
  btnFirst->setEnabled(FPage > 0);
  btnPrior->setEnabled(FPage > 0);
  btnNext->setEnabled(FPage < count - 1);
  btnLast->setEnabled(FPage < count - 1);
}

void TdlgReportPreview::ShowImage() {
  if (FPages.empty())
    return;
  const QImage& page = FPages[static_cast<size_t>(FPage)];
  // The page fits without a scroll bar beside it, so fit width leaves none across.
  const int bar = sbxPage->verticalScrollBar()->sizeHint().width();
  const QSize room =
      sbxPage->viewport()->size() - QSize(FZoom.Mode == TPreviewZoom::TMode::FitWidth ? bar : 0, 0);
  const double scale = FZoom.Scale(page.size(), room);
  if (qFuzzyCompare(scale, 1.0)) {
    imgPage->setPixmap(QPixmap::fromImage(page));
  } else {
    imgPage->setPixmap(QPixmap::fromImage(
        page.scaled(page.size() * scale, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  }
  imgPage->adjustSize();
}

void TdlgReportPreview::SetZoom(const TPreviewZoom& zoom) {
  FZoom = zoom;
  FZoom.Percent = std::clamp(FZoom.Percent, TPreviewZoom::kMinPercent, TPreviewZoom::kMaxPercent);
  int index = cbxZoom->findData(FZoom.Percent);
  if (FZoom.Mode == TPreviewZoom::TMode::FitPage)
    index = 0;
  else if (FZoom.Mode == TPreviewZoom::TMode::FitWidth)
    index = 1;
  if (index < 0) {
    // A percentage between the steps goes to the step at or above it.
    FZoom.Percent = TPreviewZoom::StepFrom(FZoom.Percent - 1, true);
    index = cbxZoom->findData(FZoom.Percent);
  }
  cbxZoom->setCurrentIndex(index);
  ShowImage();
}

double TdlgReportPreview::ShownPercent() const {
  if (FPages.empty() || imgPage->pixmap().isNull())
    return FZoom.Percent;
  return 100.0 * imgPage->pixmap().width() / FPages[static_cast<size_t>(FPage)].width();
}

void TdlgReportPreview::ZoomIn() {
  SetZoom({TPreviewZoom::TMode::Percent, TPreviewZoom::StepFrom(ShownPercent(), true)});
}

void TdlgReportPreview::ZoomOut() {
  SetZoom({TPreviewZoom::TMode::Percent, TPreviewZoom::StepFrom(ShownPercent(), false)});
}

void TdlgReportPreview::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (FZoom.Mode != TPreviewZoom::TMode::Percent)
    ShowImage();
}

void TdlgReportPreview::btnPrintClick() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted)
    return;
  if (FSystem.Print(printer))
    ReportIfPrintedToFile(printer, this);
  else
    TPrompts::Current().Refuse(TReportSystem::kPrintFailed, this);
}

TReportDialogs::TReportDialogs() = default;
TReportDialogs::~TReportDialogs() = default;

QPrinter& TReportDialogs::Printer() {
  if (!FPrinter)
    FPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *FPrinter;
}

bool TReportDialogs::Setup(const TReportSystem& system, TReportSetup& setup) {
  TdlgReportSetup dialog(system.TitleSetup, Printer(), setup, QApplication::activeWindow());
  if (dialog.exec() != QDialog::Accepted)
    return false;
  setup = dialog.Choice();
  return true;
}

bool TReportDialogs::PrintPages(TReportSystem& system, int copies) {
  Printer().setCopyCount(copies);
  if (!system.Print(Printer()))
    return false;
  ReportIfPrintedToFile(Printer(), nullptr);
  return true;
}

void TReportDialogs::ShowStatus(const QString& title, const QString& text) {
  if (!FStatus) {
    FStatus = std::make_unique<QDialog>(QApplication::activeWindow());
    FStatusText = new QLabel(FStatus.get());
    FStatusText->setMinimumWidth(220);
    FStatusText->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(FStatus.get());
    layout->addWidget(FStatusText);
  }
  FStatus->setWindowTitle(title);
  FStatusText->setText(text);
  FStatus->show();
  // One thread does the work; letting the window paint keeps the page count moving.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TReportDialogs::HideStatus() {
  // The window lives for one run only: its parent may be gone by the next one.
  FStatus.reset();
  FStatusText = nullptr;
}

void TReportDialogs::Preview(TReportSystem& system, const std::vector<QImage>& pages) {
  TdlgReportPreview dialog(system.TitlePreview, system, pages, QApplication::activeWindow());
  if (FPreviewState)
    FPreviewState(dialog, false);
  dialog.SetZoom(FPreviewZoom);
  dialog.exec();
  FPreviewZoom = dialog.Zoom();
  if (FPreviewState)
    FPreviewState(dialog, true);
}

TdlgReportProgress::TdlgReportProgress(const QString& title, const QString& text,
                                       std::function<double()> progress,
                                       std::function<void()> cancel, QWidget* parent)
    : QDialog(parent), FProgress(std::move(progress)), FCancel(std::move(cancel)) {
  setWindowTitle(title);
  setModal(true);
  lblText = new QLabel(text, this);
  lblText->setMinimumWidth(260);
  lblText->setAlignment(Qt::AlignCenter);
  barProgress = new QProgressBar(this);
  barProgress->setRange(0, 1000);
  barProgress->setValue(0);
  barProgress->setTextVisible(true);
  btnCancel = new QPushButton(tr("&Cancel"), this);
  btnCancel->setDefault(true);
  connect(btnCancel, &QPushButton::clicked, this, &TdlgReportProgress::btnCancelClick);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblText);
  layout->addWidget(barProgress);
  layout->addWidget(btnCancel, 0, Qt::AlignHCenter);
}

void TdlgReportProgress::Update(bool done) {
  barProgress->setValue(static_cast<int>(1000 * std::clamp(FProgress(), 0.0, 1.0)));
  if (done)
    accept();
}

void TdlgReportProgress::btnCancelClick() {
  FCancel();
  btnCancel->setEnabled(false);
  lblText->setText(tr("Cancelling..."));
}

void TdlgReportProgress::reject() {
  // Escape and the close box cancel the work; the window goes once the work has stopped.
  if (btnCancel->isEnabled())
    btnCancelClick();
}

void TReportDialogs::RunWithProgress(const QString& title, const QString& text,
                                     const std::function<void()>& work,
                                     const std::function<double()>& progress,
                                     const std::function<void()>& cancel) {
  std::atomic<bool> done{false};
  std::thread worker([&] {
    work();
    done.store(true);
  });
  TdlgReportProgress dialog(title, text, progress, cancel, QApplication::activeWindow());
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, &dialog, [&] { dialog.Update(done.load()); });
  timer.start(50);
  // Quick work is over before the window would show; it then never appears.
  if (!done.load())
    dialog.exec();
  worker.join();
}
