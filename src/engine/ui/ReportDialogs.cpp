#include "ReportDialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

#include "Prompts.h"
#include "ReportSystem.h"

namespace {
QString PrinterText(const QPrinter& printer) {
  return printer.printerName().isEmpty() ? QStringLiteral("(default printer)")
                                         : printer.printerName();
}
}  // namespace

TdlgReportSetup::TdlgReportSetup(const QString& title, QPrinter& printer, QWidget* parent)
    : QDialog(parent), FPrinter(printer) {
  setWindowTitle(title);
  auto* destination = new QGroupBox(tr("Destination"), this);
  rbPreview = new QRadioButton(tr("Pre&view"), destination);
  rbPrinter = new QRadioButton(tr("P&rinter"), destination);
  rbPreview->setChecked(true);
  auto* destinationLayout = new QVBoxLayout(destination);
  destinationLayout->addWidget(rbPreview);
  destinationLayout->addWidget(rbPrinter);

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
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(destination);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

TReportSetup TdlgReportSetup::Choice() const {
  TReportSetup setup;
  setup.Destination = rbPrinter->isChecked() ? TReportSetup::TDestination::Printer
                                             : TReportSetup::TDestination::Preview;
  setup.Copies = spnCopies->value();
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

TdlgReportPreview::TdlgReportPreview(const QString& title, TReportSystem& system,
                                     const std::vector<QImage>& pages, QWidget* parent)
    : QDialog(parent), FSystem(system), FPages(pages) {
  setWindowTitle(title);
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
  auto* btnPrint = new QPushButton(tr("&Print"), this);
  auto* btnClose = new QPushButton(tr("&Close"), this);
  connect(btnFirst, &QPushButton::clicked, this, [this] { ShowPage(0); });
  connect(btnPrior, &QPushButton::clicked, this, [this] { ShowPage(FPage - 1); });
  connect(btnNext, &QPushButton::clicked, this, [this] { ShowPage(FPage + 1); });
  connect(btnLast, &QPushButton::clicked, this,
          [this] { ShowPage(static_cast<int>(FPages.size()) - 1); });
  connect(btnPrint, &QPushButton::clicked, this, &TdlgReportPreview::btnPrintClick);
  connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
  btnNext->setShortcut(QKeySequence(Qt::Key_PageDown));
  btnPrior->setShortcut(QKeySequence(Qt::Key_PageUp));

  auto* bar = new QHBoxLayout;
  bar->addWidget(btnFirst);
  bar->addWidget(btnPrior);
  bar->addWidget(btnNext);
  bar->addWidget(btnLast);
  bar->addWidget(lblPage, 1);
  bar->addWidget(btnPrint);
  bar->addWidget(btnClose);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(sbxPage, 1);
  resize(900, 800);
  ShowPage(0);
}

void TdlgReportPreview::ShowPage(int page) {
  const int count = static_cast<int>(FPages.size());
  FPage = std::clamp(page, 0, std::max(0, count - 1));
  if (count > 0) {
    imgPage->setPixmap(QPixmap::fromImage(FPages[static_cast<size_t>(FPage)]));
    imgPage->adjustSize();
  }
  lblPage->setText(tr("Page %1 of %2").arg(count > 0 ? FPage + 1 : 0).arg(count));
  btnFirst->setEnabled(FPage > 0);
  btnPrior->setEnabled(FPage > 0);
  btnNext->setEnabled(FPage < count - 1);
  btnLast->setEnabled(FPage < count - 1);
}

void TdlgReportPreview::btnPrintClick() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted)
    return;
  if (!FSystem.Print(printer))
    TPrompts::Current().Refuse(TReportSystem::kPrintFailed);
}

TReportDialogs::TReportDialogs() = default;
TReportDialogs::~TReportDialogs() = default;

QPrinter& TReportDialogs::Printer() {
  if (!FPrinter)
    FPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *FPrinter;
}

bool TReportDialogs::Setup(const TReportSystem& system, TReportSetup& setup) {
  TdlgReportSetup dialog(system.TitleSetup, Printer(), QApplication::activeWindow());
  if (dialog.exec() != QDialog::Accepted)
    return false;
  setup = dialog.Choice();
  return true;
}

bool TReportDialogs::PrintPages(TReportSystem& system, int copies) {
  Printer().setCopyCount(copies);
  return system.Print(Printer());
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
  dialog.exec();
}
