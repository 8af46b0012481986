#include "PrintReportForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "FFDataModule.h"
#include "Help.h"
#include "OpenPool.h"
#include "Prompts.h"
#include "ReportUi.h"
#include "TeamRatings.h"
#include "WhatIfDialog.h"

TfrmPrintReport::TfrmPrintReport(TOpenPool& pool, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      FPool(pool),
      FReports(std::make_unique<TPoolReports>(pool)) {
  setWindowTitle(QStringLiteral("Print Report"));
  setModal(true);
  setFixedSize(285, 259);
  setFont(QFont(QStringLiteral("Arial"), 8));

  lblSelectReport = new QLabel(QStringLiteral("Select report to print"), this);
  lblSelectReport->setGeometry(8, 8, 180, 14);
  QFont bold = lblSelectReport->font();
  bold.setBold(true);
  lblSelectReport->setFont(bold);

  lstReportNames = new QListWidget(this);
  lstReportNames->setGeometry(6, 24, 263, 139);
  for (const auto& entry : TPoolReports::Catalogue()) {
    auto* item = new QListWidgetItem(entry.ListText, lstReportNames);
    item->setSizeHint(QSize(0, 14));
  }
  // No report is chosen until one is clicked: set explicitly, so that the list taking the
  // focus does not make its first entry the current one.
  lstReportNames->setCurrentIndex(QModelIndex());

  chkPrintToFile = new QCheckBox(QStringLiteral("Print to RTF File"), this);
  chkPrintToFile->setGeometry(6, 170, 140, 17);
  cboModel = new QComboBox(this);
  cboModel->setGeometry(150, 168, 119, 20);
  cboModel->addItems({QStringLiteral("Coin-toss games"), QStringLiteral("Games by seeds"),
                      QStringLiteral("Games by ratings\u2026")});
  cboModel->setToolTip(QStringLiteral("How Who Can Still Win weighs the games left"));
  cboModel->setEnabled(false);

  btnWhatIf = new QPushButton(QStringLiteral("What &If\u2026"), this);
  btnWhatIf->setGeometry(150, 228, 119, 25);
  btnWhatIf->setToolTip(
      QStringLiteral("Who Can Still Win with winners you choose for games still to be played"));
  btnWhatIf->setEnabled(false);

  btnPrint = new QPushButton(QStringLiteral("&Print"), this);
  btnPrint->setGeometry(16, 197, 75, 25);
  btnPrint->setEnabled(false);
  btnPrint->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
  btnCancel->setGeometry(100, 197, 75, 25);
  btnHelp = new QPushButton(QStringLiteral("&Help"), this);
  btnHelp->setGeometry(184, 197, 75, 25);

  connect(lstReportNames, &QListWidget::currentRowChanged, this,
          &TfrmPrintReport::lstReportNamesClick);
  connect(lstReportNames, &QListWidget::itemDoubleClicked, this, &TfrmPrintReport::btnPrintClick);
  connect(btnPrint, &QPushButton::clicked, this, &TfrmPrintReport::btnPrintClick);
  connect(btnCancel, &QPushButton::clicked, this, &TfrmPrintReport::btnCancelClick);
  connect(btnHelp, &QPushButton::clicked, this, &TfrmPrintReport::btnHelpClick);
  connect(cboModel, &QComboBox::activated, this, &TfrmPrintReport::cboModelChange);
  connect(btnWhatIf, &QPushButton::clicked, this, &TfrmPrintReport::btnWhatIfClick);
  FormCreate();
}

TfrmPrintReport::~TfrmPrintReport() = default;

void TfrmPrintReport::FormCreate() {
  for (int p = 0; p < TPoolReports::kReportCount; ++p) {
    TReportSystem& system = FReports->ReportSystem(p);
    FPrinterDispatch[static_cast<size_t>(p)] = [&system] { system.Run(); };
    if (TRTFFiler* filer = FReports->RtfFiler(p)) {
      FFileDispatch[static_cast<size_t>(p)] = [filer] { return filer->Run(); };
    }
  }
}

void TfrmPrintReport::FormActivate() {
  if (const TFFDataModule* pool = FPool.DataModule())
    FReports->SetRtfDirectory(pool->Directory());
}

void TfrmPrintReport::lstReportNamesClick() {
  const int p = lstReportNames->currentRow();
  btnPrint->setEnabled(p >= 0);
  chkPrintToFile->setEnabled(p != TPoolReports::kBlankEntrySheet);
  cboModel->setEnabled(p == TPoolReports::kWhoCanStillWin);
  const TFFDataModule* pool = FPool.DataModule();
  btnWhatIf->setEnabled(p == TPoolReports::kWhoCanStillWin && pool &&
                        TPoolReports::Available(p, *pool) &&
                        !TOutlookInput::FromPool(*pool).KnownGames().empty());
}

void TfrmPrintReport::btnWhatIfClick() {
  const TFFDataModule* pool = FPool.DataModule();
  if (!pool || !btnWhatIf->isEnabled())
    return;
  TdlgWhatIf dialog(TOutlookInput::FromPool(*pool), this);
  if ((FModalRunner ? FModalRunner(dialog) : dialog.exec()) != QDialog::Accepted)
    return;
  QString why;
  if (!FReports->AssumeOutlook(dialog.Winners(), &why)) {
    TPrompts::Current().Refuse(why, this);
    return;
  }
  btnPrintClick();
  // The next Print is of the pool's own results again.
  FReports->AssumeOutlook({}, &why);
}

void TfrmPrintReport::cboModelChange(int index) {
  TOutlookOptions& options = FReports->OutlookOptions;
  if (index == kModelRatings) {
    QString path = FRatingsFile;
    if (!TPrompts::Current().AskFileName(TPrompts::FileDialog::Open, QStringLiteral("Team Ratings"),
                                         QStringLiteral("CSV files (*.csv);;All files (*)"),
                                         &path)) {
      cboModel->setCurrentIndex(FModelIndex);
      return;
    }
    const QString before = FRatingsFile;
    FRatingsFile = path;
    if (!ReadRatings()) {
      FRatingsFile = before;
      cboModel->setCurrentIndex(FModelIndex);
      return;
    }
    cboModel->setToolTip(QDir::toNativeSeparators(path));
  } else {
    options.Model = index == kModelSeed ? TOutlookModel::Seed : TOutlookModel::Even;
    options.Ratings.clear();
  }
  FModelIndex = index;
}

bool TfrmPrintReport::ReadRatings() {
  const TFFDataModule* pool = FPool.DataModule();
  TOutlookOptions& options = FReports->OutlookOptions;
  QString why;
  if (!pool || !TeamRatings::ReadFile(FRatingsFile, pool->TeamsFile(), &options.Ratings, &why)) {
    TPrompts::Current().Refuse(why, this);
    return false;
  }
  options.Model = TOutlookModel::Ratings;
  return true;
}

void TfrmPrintReport::btnPrintClick() {
  const int p = lstReportNames->currentRow();
  const TFFDataModule* pool = FPool.DataModule();
  if (p < 0 || !pool)
    return;
  TPrompts& prompts = TPrompts::Current();
  if (!TPoolReports::Available(p, *pool)) {
    prompts.MessageFrom(this, TPoolReports::kFirstRoundOpen, kMessageTitle,
                        TPrompts::Buttons::OkCancel, TPrompts::Icon::None);
    return;
  }
  if (p == TPoolReports::kWhoCanStillWin && FModelIndex == kModelRatings && !ReadRatings())
    return;
  // Work the report needs first, such as who can still win, may be cancelled: then nothing.
  if (!FReports->Prepare(p))
    return;
  // The blank entry sheet has no file output, whatever tick the disabled box still carries.
  const auto& toFile = FFileDispatch[static_cast<size_t>(p)];
  if (chkPrintToFile->isChecked() && toFile) {
    FormActivate();
    if (toFile()) {
      TReportUi::ReportPrinted(FReports->RtfFiler(p)->FileName, this);
    } else {
      prompts.Refuse(FReports->RtfFiler(p)->ErrorString(), this);
    }
    return;
  }
  FPrinterDispatch[static_cast<size_t>(p)]();
}

void TfrmPrintReport::btnCancelClick() {
  reject();
}

void TfrmPrintReport::btnHelpClick() {
  THelp::Current().ShowContext(kHelpContext);
}

void TfrmPrintReport::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow())
    FormActivate();
  QDialog::changeEvent(event);
}

void TfrmPrintReport::showEvent(QShowEvent* event) {
  FormActivate();
  QDialog::showEvent(event);
}
