// The main window's commands, made menu by menu, and the menu bar and tool bar that show them.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "EditingWindow.h"
#include "Glyphs.h"
#include "MainForm.h"
#include "ShareCommands.h"
#include "TournamentCommands.h"

namespace {
constexpr int kNoGlyph = -1;
}  // namespace

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
  CreateFileActions();
  CreateDataActions();
  CreateReportsActions();
  CreateToolsActions();
  CreateHelpActions();
}

void TMainForm::CreateFileActions() {
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
  actFileImportResults = MakeAction(TTournamentCommands::kResultsCaption,
                                    TTournamentCommands::kResultsHint, kGroupLocked, 0, kNoGlyph);
  actFileCollect = MakeAction(
      QStringLiteral("&Collect Picks Online..."),
      QStringLiteral("Collect picks online | Serves a page on the office network on which the "
                     "players enter their own picks until the closing time."),
      kGroupPlayers, 0, kNoGlyph);
  actFileExit = MakeAction(QStringLiteral("E&xit"),
                           QStringLiteral("Exit Courtsider | This selection exits Courtsider 99."),
                           kGroupAlways, 2050, kExit);

  actFileNew->setShortcut(QKeySequence::New);
  actFileOpen->setShortcut(QKeySequence::Open);
  actFileSave->setShortcut(QKeySequence::Save);
  actFileImport->setShortcut(TShareCommands::kImportKey);
  actFileExport->setShortcut(TShareCommands::kExportKey);
  actFileExit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));

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
  connect(actFileImportResults, &QAction::triggered, this, &TMainForm::actFileImportResultsExecute);
}

void TMainForm::CreateDataActions() {
  using namespace Glyphs;
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

  connect(actDataOptions, &QAction::triggered, this, &TMainForm::actDataOptionsExecute);
  connect(actDataBrackets, &QAction::triggered, this, &TMainForm::actDataBracketsExecute);
  connect(actDataFinalize, &QAction::triggered, this, &TMainForm::actDataFinalizeExecute);
  connect(actDataPlayers, &QAction::triggered, this, &TMainForm::actDataPlayersExecute);
}

void TMainForm::CreateReportsActions() {
  using namespace Glyphs;
  actReports = MakeAction(QStringLiteral("&Reports"),
                          QStringLiteral("Display reports menu | This selection displays the "
                                         "Print Reports dialog."),
                          kGroupOpenPool, 0, kReports);

  connect(actReports, &QAction::triggered, this, &TMainForm::actReportsExecute);
}

void TMainForm::CreateToolsActions() {
  actToolsUnfinalize = MakeAction(QStringLiteral("&Unlock 1st Round"),
                                  QStringLiteral("Unlock 1st Round | Select this to unlock the "
                                                 "First Round of the Bracket Builder."),
                                  kGroupLocked, 0, kNoGlyph);

  connect(actToolsUnfinalize, &QAction::triggered, this, &TMainForm::actToolsUnfinalizeExecute);
}

void TMainForm::CreateHelpActions() {
  using namespace Glyphs;
  actHelp =
      MakeAction(QStringLiteral("&Help"),
                 QStringLiteral("Help | This selection displays the Courtsider 99 Help System."),
                 kGroupAlways, kHelpContext, kHelp);
  actHelpTarnwell = MakeAction(
      QStringLiteral("&Tarnwell Website"),
      QStringLiteral("Go to Tarnwell Software Website | Select this option to access the "
                     "Tarnwell Software Website on the Internet."),
      kGroupAlways, 0, Glyphs::kWebsite);

  actHelp->setShortcut(QKeySequence::HelpContents);

  // Two entries of the Help menu that are not shared with the tool bar.
  mniQuickStart = new QAction(QStringLiteral("&Quick Start Guide"), this);
  mniQuickStart->setStatusTip(QStringLiteral("Help on how to setup a Pool"));
  mniQuickStart->setProperty(kHelpContextProperty, kQuickStartContext);
  mniAbout = new QAction(QStringLiteral("&About..."), this);
  mniAbout->setStatusTip(QStringLiteral("Show program information"));
  mniAbout->setProperty(kHelpContextProperty, 620);

  connect(actHelp, &QAction::triggered, this, &TMainForm::actHelpExecute);
  connect(actHelpTarnwell, &QAction::triggered, this, &TMainForm::actHelpTarnwellExecute);
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
  mnuFile->addActions({actFileImport, actFileImportResults});
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
