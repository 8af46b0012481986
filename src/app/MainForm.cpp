#include "MainForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QStatusBar>
#include <QStatusTipEvent>

#include "AboutBox.h"
#include "BracketBuild.h"
#include "CollectPicksForm.h"
#include "EditingWindow.h"
#include "FFDataModule.h"
#include "FileNew.h"
#include "Glyphs.h"
#include "Help.h"
#include "IniOut.h"
#include "InstallLayout.h"
#include "OpenPoolDialog.h"
#include "Options.h"
#include "Pictures.h"
#include "PlayerEntryForm.h"
#include "PoolsFolder.h"
#include "PrintReportForm.h"
#include "Prompts.h"
#include "PublishOnSave.h"
#include "Registry.h"
#include "Shell.h"

namespace {
QString PlayersAndPicks(int players) {
  return players == 1 ? QStringLiteral("1 player and their picks")
                      : QStringLiteral("%1 players and their picks").arg(players);
}
}  // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent), FOpenPool(this) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(kCaption);
  resize(kDesignWidth, kDesignHeight);
  setProperty(kHelpContextProperty, kHelpContext);

  lstImages = Glyphs::CreateImageList();
  CreateActions();
  CreateMenus();
  CreateToolBar();

  imgMural = new QLabel(this);
  imgMural->setObjectName(QStringLiteral("imgMural"));
  imgMural->setAlignment(Qt::AlignCenter);
  imgMural->setPixmap(QPixmap(Pictures::kMural));
  setCentralWidget(imgMural);

  barStatus = statusBar();
  barStatus->setObjectName(QStringLiteral("barStatus"));

  IniOut1 = std::make_unique<TIniOut>(this);
  IniOut1->SetItems(TIniOut::kMainFormItems);

  dlgFileNew = new TdlgFileNew(this);
  frmOpenPool = new TfrmOpenPool(this);

  FormCreate();

  // The windows that read the pool come after it is open, as they look at it when shown.
  frmOptions = new TfrmOptions(FOpenPool, this);
  frmAboutBox = new TfrmAboutBox(this);
  frmPrintReport = new TfrmPrintReport(FOpenPool, this);
  frmBracketBuild = new TfrmBracketBuild(FOpenPool, this);
  frmPlayerEntryForm = new TfrmPlayerEntryForm(FOpenPool, this);
  frmCollectPicks = new TfrmCollectPicks(FOpenPool, this);
}

TMainForm::~TMainForm() {
  FormDestroy();
}

void TMainForm::FormCreate() {
  FRegistry = std::make_unique<TRegistry>();
  // Installed, the pools live in a folder of the user's; from the build, in the current one.
  if (InstallLayout::Installed())
    TPoolsFolder::ForInstall().Prepare(*FRegistry);
  if (!FRegistry->KeyExists(TRegistry::kCourtsiderKey)) {
    FRegistry->OpenKey(TRegistry::kCourtsiderKey, true);
    FRegistry->WriteString(kAppDirectoryValue, QDir::toNativeSeparators(QDir::currentPath()));
    FRegistry->WriteString(kDataDirectoryValue, kSamplePool);
    FRegistry->CloseKey();
  }
  FRegistry->OpenKey(TRegistry::kCourtsiderKey, false);
  FAppDirectory = FRegistry->ReadString(kAppDirectoryValue);
  QDir::setCurrent(FAppDirectory);
  FDataDirectory = FRegistry->ReadString(kDataDirectoryValue);
  dlgFileNew->SetAppDirectory(FAppDirectory);
  frmOpenPool->SetAppDirectory(FAppDirectory);

  connect(&FOpenPool, &TOpenPool::ModifiedChanged, this, &TMainForm::PoolModifiedChanged);
  connect(&FOpenPool, &TOpenPool::LockChanged, this, &TMainForm::FormSettings);
  // Back from another program, whichever window of ours comes to the front: that program may
  // have changed the pool's files. Not under a dialog of ours, which may be working on them.
  connect(qApp, &QGuiApplication::applicationStateChanged, this,
          [this](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive && !QApplication::activeModalWidget())
              CheckPoolOnDisk();
          });
  // The pool's files tell what went wrong; the window says it.
  connect(&FOpenPool, &TOpenPool::FileError, this,
          [this](const QString& message) { TPrompts::Current().Inform(message, this); });
  // A pool published on every save: the page follows each whole save; a page that cannot be
  // written is told, and the save stands.
  connect(&FOpenPool, &TOpenPool::Saved, this, [this] {
    QString error;
    if (FOpenPool.DataModule()->SaveError().IsNull() &&
        !PublishOnSave::Publish(*FOpenPool.DataModule(), &error))
      TPrompts::Current().Inform(error, this);
  });

  IniOut1->RestoreWindowState();
  OpenFiles(false);
  FormSettings();
}

void TMainForm::FormDestroy() {
  if (FRegistry)
    FRegistry->CloseKey();
  FRegistry.reset();
  IniOut1->StoreWindowState();
}

void TMainForm::FormActivate() {
  PoolModifiedChanged(FOpenPool.Modified());
  CheckPoolOnDisk();
}

bool TMainForm::CheckPoolOnDisk() {
  if (FCheckingDisk)
    return true;
  FCheckingDisk = true;
  QString unreadable;
  const QStringList changes = FOpenPool.DiskChanges(&unreadable);
  bool kept = true;
  if (!unreadable.isEmpty()) {
    // Nothing to reload from: the pool here may be the only whole copy left.
    TPrompts::Current().MessageFrom(this, kDiskUnreadable.arg(unreadable), kMessageTitle,
                                    TPrompts::Buttons::Ok, TPrompts::Icon::Warning);
    FOpenPool.KeepOwnVersion();
  } else if (!changes.isEmpty()) {
    const QString text = kDiskChanged.arg(changes.join(QLatin1Char('\n')));
    // Reloading loses the changes made here: Enter and Esc keep them.
    if (TPrompts::Current().Confirm(text, TPrompts::Icon::Warning, this, TPrompts::Answer::No)) {
      kept = false;
      if (FOpenPool.Reload()) {
        PoolModifiedChanged(FOpenPool.Modified());
      } else {
        OpenFailed();
      }
      FormSettings();
    } else {
      FOpenPool.KeepOwnVersion();
    }
  }
  FCheckingDisk = false;
  return kept;
}

void TMainForm::PoolModifiedChanged(bool modified) {
  setWindowModified(modified);
  actFileSave->setEnabled(PoolIsOpen() && modified);
}

bool TMainForm::PoolIsOpen() const {
  return FOpenPool.IsOpen();
}

void TMainForm::FormSettings() {
  setWindowTitle(kCaptionPrefix + FDataDirectory + QStringLiteral("[*]"));
  // Without an open pool there is nothing to lock or unlock either.
  const bool open = PoolIsOpen();
  const bool finalized = open && FFDataModule()->Finalized();
  EnableDisableActions(kGroupUnlocked, open && !finalized);
  EnableDisableActions(kGroupPlayers, finalized);
  EnableDisableActions(kGroupLocked, finalized);
}

void TMainForm::EnableDisableActions(int tag, bool enabled) {
  if (tag == kGroupAlways)
    return;
  for (QAction* action : aclMain) {
    if (action->data().toInt() == tag)
      action->setEnabled(enabled);
  }
}

void TMainForm::OpenFiles(bool create) {
  if (FOpenPool.OpenPool(QDir(FAppDirectory).filePath(FDataDirectory), create)) {
    EnableDisableActions(kGroupOpenPool, true);
    EnableDisableActions(kGroupPoolEdit, true);
    EnableDisableActions(kGroupUnlocked, true);
    PoolModifiedChanged(FOpenPool.Modified());
    if (!FOpenPool.OpenNotice().isEmpty())
      TPrompts::Current().Inform(FOpenPool.OpenNotice(), this);
  } else {
    OpenFailed();
  }
}

void TMainForm::OpenFailed() {
  EnableDisableActions(kGroupOpenPool, false);
  EnableDisableActions(kGroupPoolEdit, false);
  EnableDisableActions(kGroupUnlocked, false);
  EnableDisableActions(kGroupPlayers, false);
  // The reason beneath the message: a missing file, a damaged one, a pipe in its place.
  TPrompts::Current().Inform(kOpenError + QStringLiteral("\n\n") + FOpenPool.OpenError(), this);
}

bool TMainForm::QuerySave() {
  if (!FOpenPool.Modified())
    return true;
  QString text = kSaveQuestion;
  if (const int discarded = FOpenPool.DiscardedPlayers(); discarded > 0)
    text += QStringLiteral("\n\n") + kSaveLoss.arg(PlayersAndPicks(discarded));
  switch (TPrompts::Current().MessageFrom(this, text, kMessageTitle, TPrompts::Buttons::YesNoCancel,
                                          TPrompts::Icon::None)) {
    case TPrompts::Answer::Yes:
      // A save that fails keeps the pool open rather than losing its changes.
      return SavePool();
    case TPrompts::Answer::No:
      return true;
    default:
      return false;
  }
}

bool TMainForm::SavePool() {
  if (CheckPoolOnDisk())
    FOpenPool.Save();
  return !FOpenPool.Modified();
}

bool TMainForm::FormClose() {
  if (!QuerySave())
    return false;
  if (FFDataModule())
    FOpenPool.Close();
  return true;
}

void TMainForm::ApplicationHint(const QString& hint) {
  barStatus->showMessage(LongHint(hint));
}

void TMainForm::SetModalRunner(TModalRunner runner) {
  FModalRunner = runner;
  frmBracketBuild->SetModalRunner(runner);
  frmPrintReport->SetModalRunner(runner);
  frmPlayerEntryForm->SetModalRunner(std::move(runner));
}

int TMainForm::ShowModal(QDialog& dialog) {
  if (FModalRunner)
    return FModalRunner(dialog);
  return dialog.exec();
}

void TMainForm::SetRegDataDirectory(const QString& text) {
  FRegistry->WriteString(kDataDirectoryValue, text);
  FRegistry->Flush();
}

void TMainForm::actFileNewExecute() {
  // The open pool stays open until the new one is there, but whether to save it is asked
  // before anything is made: Cancel leaves nothing behind.
  if (ShowModal(*dlgFileNew) != QDialog::Accepted || !QuerySave())
    return;
  const QString dataDirectory = dlgFileNew->PoolName() + QStringLiteral(".BGD");
  // The pool is made whole first: the registry learns of it only once it exists, so a failure
  // here leaves nothing behind and the open pool and the next start as they were.
  QString reason;
  // The name typed is the pool's name on every report until Options changes it.
  if (!TOpenPool::MakePoolFolder(FAppDirectory, dataDirectory, dlgFileNew->PoolName(), &reason)) {
    TPrompts::Current().Refuse(kFolderNotCreated.arg(QDir::toNativeSeparators(
                                   QDir(FAppDirectory).filePath(dataDirectory))) +
                                   QStringLiteral("\n\n") + reason,
                               this);
    return;
  }
  SetRegDataDirectory(dataDirectory);
  FDataDirectory = dataDirectory;
  OpenFiles(false);
  FormSettings();
}

void TMainForm::actFileOpenExecute() {
  if (ShowModal(*frmOpenPool) != QDialog::Accepted || !QuerySave())
    return;
  const QString selected = frmOpenPool->SelectedPool();
  FDataDirectory = selected;
  SetRegDataDirectory(selected);
  OpenFiles(false);
  FormSettings();
}

void TMainForm::actFileSaveExecute() {
  // A save that could not write everything has said so and leaves the pool modified, so
  // Save stays at hand for another try.
  SavePool();
}

void TMainForm::actFileExitExecute() {
  close();
}

void TMainForm::actDataOptionsExecute() {
  frmOptions->show();
  frmOptions->raise();
  frmOptions->activateWindow();
}

void TMainForm::actDataBracketsExecute() {
  frmBracketBuild->show();
  frmBracketBuild->raise();
  frmBracketBuild->activateWindow();
}

void TMainForm::actDataPlayersExecute() {
  // Players are entered only while the first round is locked.
  if (!actDataPlayers->isEnabled())
    return;
  frmPlayerEntryForm->show();
  frmPlayerEntryForm->raise();
  frmPlayerEntryForm->activateWindow();
}

void TMainForm::actReportsExecute() {
  ShowModal(*frmPrintReport);
}

void TMainForm::actDataFinalizeExecute() {
  // Teams can no longer be put on the first round once it is locked: say so when some of
  // its lines are still empty.
  const int empty = FOpenPool.EmptyFirstRoundLines();
  if (empty > 0 && !TPrompts::Current().Confirm(
                       kEmptyLinesQuestion.arg(empty).arg(empty == 1 ? QStringLiteral("is")
                                                                     : QStringLiteral("are")),
                       TPrompts::Icon::Warning, this))
    return;
  if (!TPrompts::Current().Confirm(kLockQuestion, TPrompts::Icon::Stop, this))
    return;
  // The commands follow the document's word that the lock changed.
  FOpenPool.Lock();
}

void TMainForm::actToolsUnfinalizeExecute() {
  const TFFDataModule* pool = FFDataModule();
  const int players = pool ? pool->PlayerPicksFile().Count() : 0;
  const QString loss = players > 0 ? kUnlockLoss.arg(PlayersAndPicks(players)) : QString();
  // Every player is lost on Yes: Enter and Esc say No.
  if (!TPrompts::Current().Confirm(kUnlockQuestion.arg(loss), TPrompts::Icon::Stop, this,
                                   TPrompts::Answer::No))
    return;
  FOpenPool.Unlock();
}

void TMainForm::actHelpExecute() {
  THelp::Current().ShowContext(kHelpContext);
}

void TMainForm::actHelpTarnwellExecute() {
  if (!TShell::Current().OpenUrl(kWebsite))
    TPrompts::Current().Refuse(kNoBrowser.arg(kWebsite.toString()), this);
}

void TMainForm::mniQuickStartClick() {
  THelp::Current().ShowContext(kQuickStartContext);
}

void TMainForm::mniAboutClick() {
  frmAboutBox->show();
  frmAboutBox->raise();
  frmAboutBox->activateWindow();
}

bool TMainForm::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::WindowActivate:
      FormActivate();
      break;
    case QEvent::StatusTip:
      ApplicationHint(static_cast<QStatusTipEvent*>(event)->tip());
      return true;
    default:
      break;
  }
  return QMainWindow::event(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  auto* menu = qobject_cast<QMenu*>(watched);
  // A menu makes no entry current that is disabled, so such an entry's hint is shown here:
  // it tells what the command would do, as a disabled tool-bar button's does.
  if (menu && event->type() == QEvent::MouseMove) {
    const QAction* pointed = menu->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    if (pointed && !pointed->isEnabled() && !pointed->isSeparator())
      ApplicationHint(pointed->statusTip());
  }
  // F1 on an open menu asks for help on the highlighted entry, else on the menu itself.
  if (menu && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
    int context = menu->property(kHelpContextProperty).toInt();
    if (const QAction* active = menu->activeAction()) {
      const int entryContext = active->property(kHelpContextProperty).toInt();
      if (entryContext)
        context = entryContext;
    }
    menu->close();
    THelp::Current().ShowContext(context);
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (FormClose()) {
    event->accept();
  } else {
    event->ignore();
  }
}
