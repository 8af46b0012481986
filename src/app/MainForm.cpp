#include "MainForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>

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
#include "ShareCommands.h"
#include "Shell.h"

namespace {
const char* const kHelpContextProperty = "HelpContext";
constexpr int kNoGlyph = -1;

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

QAction* TMainForm::MakeAction(const QString& caption, const QString& hint, int tag,
                               int helpContext, int glyph) {
  auto* action = new QAction(caption, this);
  action->setData(tag);
  action->setToolTip(ShortHint(hint));
  // The whole hint travels as the status tip; ApplicationHint picks its long part.
  action->setStatusTip(hint);
  if (helpContext)
    action->setProperty(kHelpContextProperty, helpContext);
  if (glyph != kNoGlyph)
    action->setIcon(lstImages.at(glyph));
  aclMain.append(action);
  return action;
}

void TMainForm::CreateActions() {
  using namespace Glyphs;
  actFileNew =
      MakeAction(QStringLiteral("&New"),
                 QStringLiteral("Start a new pool | Select this option to start a new Pool."),
                 kGroupAlways, 2010, kNew);
  actFileOpen = MakeAction(
      QStringLiteral("&Open"),
      QStringLiteral("Open an existing pool | Select this option to open an existing Pool."),
      kGroupAlways, 2020, kOpen);
  actFileSave = MakeAction(
      QStringLiteral("&Save"),
      QStringLiteral("Save current pool | This selection saves the currently open Pool."),
      kGroupOpenPool, 2030, kSave);
  actFileImport = MakeAction(TShareCommands::kImportCaption, TShareCommands::kImportHint,
                             kGroupPlayers, 0, kNoGlyph);
  actFileExport = MakeAction(TShareCommands::kExportCaption, TShareCommands::kExportHint,
                             kGroupOpenPool, 0, kNoGlyph);
  actFileExportBlank = MakeAction(TShareCommands::kBlankSheetCaption,
                                  TShareCommands::kBlankSheetHint, kGroupOpenPool, 0, kNoGlyph);
  actFilePublish = MakeAction(
      QStringLiteral("&Publish Standings..."),
      QStringLiteral("Publish the standings as a web page | Writes the standings, the results "
                     "chart and every player's picks as one web page to post or mail."),
      kGroupOpenPool, 0, kNoGlyph);
  actFilePublishOnSave = MakeAction(
      QStringLiteral("Publish After Every Sa&ve..."),
      QStringLiteral("Publish the standings after every save | Writes the standings page to a "
                     "file of your choice (a shared drive, say) after every save, or stops."),
      kGroupOpenPool, 0, kNoGlyph);
  actFileCollect = MakeAction(
      QStringLiteral("&Collect Picks Online..."),
      QStringLiteral("Collect picks online | Serves a page on the office network on which the "
                     "players enter their own picks until the closing time."),
      kGroupPlayers, 0, kNoGlyph);
  actDataOptions = MakeAction(QStringLiteral("&Options"),
                              QStringLiteral("Modify pool options | Select this option to modify "
                                             "the Options (names, points) for Pool."),
                              kGroupPoolEdit, 3010, kOptions);
  actDataBrackets = MakeAction(QStringLiteral("&Brackets"),
                               QStringLiteral("Enter pool brackets | Select this option to "
                                              "display the Bracket Builder form."),
                               kGroupPoolEdit, 0, kBrackets);
  actDataFinalize = MakeAction(
      QStringLiteral("&Lock 1st Round"),
      QStringLiteral("Lock 1st Round | This selection locks the First round of the Pool."),
      kGroupUnlocked, 0, kLock);
  actDataPlayers = MakeAction(QStringLiteral("&Players"),
                              QStringLiteral("Enter pool player selections | This selection "
                                             "displays the Player Entry form."),
                              kGroupPlayers, 0, kPlayers);
  actReports = MakeAction(QStringLiteral("&Reports"),
                          QStringLiteral("Display reports menu | This selection displays the "
                                         "Print Reports dialog."),
                          kGroupOpenPool, 0, kReports);
  actFileExit = MakeAction(QStringLiteral("E&xit"),
                           QStringLiteral("Exit Courtsider | This selection exits Courtsider 99."),
                           kGroupAlways, 2050, kExit);
  actToolsUnfinalize = MakeAction(QStringLiteral("&Unlock 1st Round"),
                                  QStringLiteral("Unlock 1st Round | Select this to unlock the "
                                                 "First Round of the Bracket Builder."),
                                  kGroupLocked, 0, kNoGlyph);
  actHelp =
      MakeAction(QStringLiteral("&Help"),
                 QStringLiteral("Help | This selection displays the Courtsider 99 Help System."),
                 kGroupAlways, kHelpContext, kHelp);
  actHelpTarnwell = MakeAction(
      QStringLiteral("&Tarnwell Website"),
      QStringLiteral("Go to Tarnwell Software Website | Select this option to access the "
                     "Tarnwell Software Website on the Internet."),
      kGroupAlways, 0, Glyphs::kWebsite);

  actFileNew->setShortcut(QKeySequence::New);
  actFileOpen->setShortcut(QKeySequence::Open);
  actFileSave->setShortcut(QKeySequence::Save);
  actFileImport->setShortcut(TShareCommands::kImportKey);
  actFileExport->setShortcut(TShareCommands::kExportKey);
  actFileExit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
  actHelp->setShortcut(QKeySequence::HelpContents);

  connect(actFileNew, &QAction::triggered, this, &TMainForm::actFileNewExecute);
  connect(actFileOpen, &QAction::triggered, this, &TMainForm::actFileOpenExecute);
  connect(actFileSave, &QAction::triggered, this, &TMainForm::actFileSaveExecute);
  connect(actFileExit, &QAction::triggered, this, &TMainForm::actFileExitExecute);
  connect(actFileImport, &QAction::triggered, this, &TMainForm::actFileImportExecute);
  connect(actFileExport, &QAction::triggered, this, &TMainForm::actFileExportExecute);
  connect(actFileExportBlank, &QAction::triggered, this, &TMainForm::actFileExportBlankExecute);
  connect(actFilePublish, &QAction::triggered, this, &TMainForm::actFilePublishExecute);
  connect(actFilePublishOnSave, &QAction::triggered, this, &TMainForm::actFilePublishOnSaveExecute);
  connect(actFileCollect, &QAction::triggered, this, &TMainForm::actFileCollectExecute);
  connect(actDataOptions, &QAction::triggered, this, &TMainForm::actDataOptionsExecute);
  connect(actDataBrackets, &QAction::triggered, this, &TMainForm::actDataBracketsExecute);
  connect(actDataFinalize, &QAction::triggered, this, &TMainForm::actDataFinalizeExecute);
  connect(actDataPlayers, &QAction::triggered, this, &TMainForm::actDataPlayersExecute);
  connect(actReports, &QAction::triggered, this, &TMainForm::actReportsExecute);
  connect(actToolsUnfinalize, &QAction::triggered, this, &TMainForm::actToolsUnfinalizeExecute);
  connect(actHelp, &QAction::triggered, this, &TMainForm::actHelpExecute);
  connect(actHelpTarnwell, &QAction::triggered, this, &TMainForm::actHelpTarnwellExecute);

  // Two entries of the Help menu that are not shared with the tool bar.
  mniQuickStart = new QAction(QStringLiteral("&Quick Start Guide"), this);
  mniQuickStart->setStatusTip(QStringLiteral("Help on how to setup a Pool"));
  mniQuickStart->setProperty(kHelpContextProperty, kQuickStartContext);
  mniAbout = new QAction(QStringLiteral("&About..."), this);
  mniAbout->setStatusTip(QStringLiteral("Show program information"));
  mniAbout->setProperty(kHelpContextProperty, 620);
  connect(mniQuickStart, &QAction::triggered, this, &TMainForm::mniQuickStartClick);
  connect(mniAbout, &QAction::triggered, this, &TMainForm::mniAboutClick);
}

QMenu* TMainForm::MakeMenu(const QString& title, int helpContext) {
  QMenu* menu = MainMenu->addMenu(title);
  menu->setProperty(kHelpContextProperty, helpContext);
  menu->installEventFilter(this);
  return menu;
}

void TMainForm::CreateMenus() {
  MainMenu = menuBar();
  MainMenu->setObjectName(QStringLiteral("MainMenu"));

  mnuFile = MakeMenu(QStringLiteral("&File"), 20);
  mnuFile->addActions({actFileNew, actFileOpen, actFileSave});
  mnuFile->addSeparator();
  mnuFile->addAction(actFileImport);
  // Both sheets to fill in or read: the players' picks and the blank one.
  mnuFileExport = mnuFile->addMenu(QStringLiteral("&Export"));
  mnuFileExport->addActions({actFileExport, actFileExportBlank});
  mnuFile->addActions({actFilePublish, actFilePublishOnSave, actFileCollect});
  mnuFile->addSeparator();
  mnuFile->addAction(actFileExit);

  mnuData = MakeMenu(QStringLiteral("&Data"), 30);
  mnuData->addAction(actDataOptions);
  mnuData->addSeparator();
  mnuData->addActions({actDataBrackets, actDataFinalize});
  mnuData->addSeparator();
  mnuData->addAction(actDataPlayers);

  // The menu bar would draw the Reports glyph in place of its caption, so the bar gets an
  // entry of its own that follows the action.
  mniReports = MainMenu->addAction(actReports->text());
  mniReports->setStatusTip(actReports->statusTip());
  mniReports->setProperty(kHelpContextProperty, 40);
  connect(mniReports, &QAction::triggered, actReports, &QAction::trigger);
  connect(actReports, &QAction::enabledChanged, mniReports, &QAction::setEnabled);

  mnuTools = MakeMenu(QStringLiteral("&Tools"), 3050);
  mnuTools->addAction(actToolsUnfinalize);

  mnuHelp = MakeMenu(QStringLiteral("&Help"), 50);
  mnuHelp->addAction(actHelp);
  mnuHelp->addSeparator();
  mnuHelp->addAction(mniQuickStart);
  mnuHelp->addSeparator();
  mnuHelp->addAction(actHelpTarnwell);
  mnuHelp->addSeparator();
  mnuHelp->addAction(mniAbout);
}

void TMainForm::CreateToolBar() {
  ToolBar1 = addToolBar(QStringLiteral("Commands"));
  ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  ToolBar1->setIconSize(QSize(24, 24));
  ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
  ToolBar1->addActions({actFileNew, actFileOpen, actFileSave});
  ToolBar1->addSeparator();
  ToolBar1->addActions({actDataOptions, actDataBrackets, actDataFinalize, actDataPlayers});
  ToolBar1->addSeparator();
  ToolBar1->addAction(actReports);
  ToolBar1->addSeparator();
  ToolBar1->addActions({actHelp, actFileExit});
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
