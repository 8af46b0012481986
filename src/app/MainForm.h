#pragma once

#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QUrl>
#include <functional>
#include <memory>

#include "OpenPool.h"

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QStatusBar;
class QToolBar;
class TFFDataModule;
class TIniOut;
class TRegistry;
class TdlgFileNew;
class TfrmBracketBuild;
class TfrmCollectPicks;
class TfrmAboutBox;
class TfrmOpenPool;
class TfrmOptions;
class TfrmPlayerEntryForm;
class TfrmPrintReport;

// The main window: the menu, tool bar and status bar from which every other window is
// reached. It owns the open pool and enables its commands by the pool's state.
class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int kHelpContext = 10;
  static constexpr int kQuickStartContext = 1600;
  static constexpr int kDesignWidth = 491;
  static constexpr int kDesignHeight = 434;
  static inline const QString kCaption = QStringLiteral("Courtsider 99");
  static inline const QString kCaptionPrefix = QStringLiteral("Courtsider 99 - ");
  static inline const QString kSamplePool = QStringLiteral("Sample.BGD");
  static inline const QString kAppDirectoryValue = QStringLiteral("AppDirectory");
  static inline const QString kDataDirectoryValue = QStringLiteral("DataDirectory");
  static inline const QString kOpenError = QStringLiteral("Error opening pool database");
  static inline const QString kLockQuestion = QStringLiteral(
      "Once the pool is finalized, you can no longer modify the brackets & seedings of the "
      "1st Round.  Do you wish to continue?");
  // %1: what is lost when the pool has players (kUnlockLoss), else nothing.
  static inline const QString kUnlockQuestion = QStringLiteral(
      "In addition to unfinalizing the pool, this selection will clear all player "
      "entries. %1Do you wish to continue?");
  static inline const QString kUnlockLoss = QStringLiteral("%1 will be deleted. ");
  static inline const QString kSaveQuestion =
      QStringLiteral("Do you wish to save changes to this pool?");
  // Said under the save question while players discarded by unlocking are still in the files.
  static inline const QString kSaveLoss = QStringLiteral(
      "Unlocking the first round deleted %1. Yes deletes them from the pool's files as well; No "
      "keeps them there.");
  static inline const QString kDiskChanged = QStringLiteral(
      "The files of this pool were changed on disk, by another program or a copy put in their "
      "place, since Courtsider read them:\n\n%1\n\nReload the pool from disk? Yes reloads it, "
      "and the changes made here are lost. No keeps the pool as it is here, and saving it will "
      "replace the files on disk.");
  static inline const QString kDiskUnreadable = QStringLiteral(
      "The files of this pool were changed on disk since Courtsider read them, and cannot be "
      "read now:\n\n%1\n\nThe pool stays as it is here; saving it writes its files again.");
  static inline const QString kFolderNotCreated =
      QStringLiteral("The folder for the new pool could not be created:\n%1");
  static inline const QString kPublished =
      QStringLiteral("The standings page is written to\n%1\n\nOpen it now?");
  static inline const QString kPublishingTo = QStringLiteral(
      "The standings are published to\n%1\nafter every save.\n\nStop publishing them?");
  static inline const QString kWillPublish = QStringLiteral(
      "The standings will be published to\n%1\nafter every save, starting with the next.");
  // Asked before the lock question when the chart's first round is not full.
  static inline const QString kEmptyLinesQuestion =
      QStringLiteral("%1 of the 64 first-round lines %2 empty.  Lock the first round anyway?");
  static inline const QString kNoBrowser = QStringLiteral(
      "No web browser could be started to show %1.\nOpen that address in your "
      "browser instead.");
  static inline const QUrl kWebsite = QUrl(QStringLiteral("https://www.tarnwell.com/"));

  // Groups of commands switched together by the pool's state.
  enum TGroup {
    kGroupAlways = 0,
    kGroupOpenPool = 1,  // Save, Reports
    kGroupPoolEdit = 2,  // Options, Brackets
    kGroupUnlocked = 3,  // Lock 1st Round
    kGroupPlayers = 4,   // Players
    kGroupLocked = 5,    // Unlock 1st Round
  };

  // Shows a dialog modally and returns its result. Tests put in one that works the dialog
  // through its handlers instead of a modal loop.
  using TModalRunner = std::function<int(QDialog&)>;

  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  TOpenPool& OpenPool() { return FOpenPool; }
  const TFFDataModule* FFDataModule() const { return FOpenPool.DataModule(); }
  const QString& AppDirectory() const { return FAppDirectory; }
  const QString& DataDirectory() const { return FDataDirectory; }
  // Also for the windows it shows that open dialogs of their own.
  void SetModalRunner(TModalRunner runner);

  void FormActivate();
  void FormSettings();
  // Asks whether to save a modified pool, then closes it; false (the pool still open) when
  // the organiser cancels or the save fails.
  bool FormClose();
  void EnableDisableActions(int tag, bool enabled);
  // Opens the pool in AppDirectory\DataDirectory (creates its files when `create` is set),
  // letting go of the open one: ask QuerySave first.
  void OpenFiles(bool create);
  // The title's modified marker and Save follow the pool's modified state.
  void PoolModifiedChanged(bool modified);
  // When another program changed the pool's files since they were read, names what differs
  // and offers to reload them; false when the pool was reloaded.
  bool CheckPoolOnDisk();
  // Shows the long part of a hint in the status bar.
  void ApplicationHint(const QString& hint);

  void actFileNewExecute();
  void actFileOpenExecute();
  void actFileSaveExecute();
  void actFileExitExecute();
  // Sharing the pool: players from and to a picks sheet, the standings as a web page.
  void actFileImportExecute();
  // File > Import Results...: one step on the Bracket Builder's undo (its Edit > Undo).
  void actFileImportResultsExecute();
  void actFileExportExecute();
  void actFileExportBlankExecute();
  void actFilePublishExecute();
  // The standings published again after every save, to a file chosen here; or no longer.
  void actFilePublishOnSaveExecute();
  // Collecting picks online: the window that serves the pick-entry page.
  void actFileCollectExecute();
  void actDataOptionsExecute();
  void actDataBracketsExecute();
  void actDataFinalizeExecute();
  void actDataPlayersExecute();
  void actReportsExecute();
  void actToolsUnfinalizeExecute();
  void actHelpExecute();
  void actHelpTarnwellExecute();
  void mniQuickStartClick();
  void mniAboutClick();

  // The tool tip of a hint: its text before the first "|".
  static QString GetShortHint(const QString& hint);
  // The status-bar text of a hint: its text after the first "|", or all of it.
  static QString GetLongHint(const QString& hint);

  QMenuBar* MainMenu;
  QMenu* mnuFile;
  QMenu* mnuFileExport;
  QMenu* mnuData;
  QMenu* mnuTools;
  QMenu* mnuHelp;
  QToolBar* ToolBar1;
  QLabel* imgMural;
  QStatusBar* barStatus;
  QList<QIcon> lstImages;
  QList<QAction*> aclMain;
  QAction* actFileNew;
  QAction* actFileOpen;
  QAction* actFileSave;
  QAction* actFileImport;
  QAction* actFileExport;
  QAction* actFileExportBlank;
  QAction* actFilePublish;
  QAction* actFilePublishOnSave;
  QAction* actFileCollect;
  QAction* actFileImportResults;
  QAction* actDataOptions;
  QAction* actDataBrackets;
  QAction* actDataFinalize;
  QAction* actDataPlayers;
  QAction* actReports;
  QAction* actFileExit;
  QAction* actToolsUnfinalize;
  QAction* actHelp;
  QAction* actHelpTarnwell;
  QAction* mniReports;
  QAction* mniQuickStart;
  QAction* mniAbout;
  std::unique_ptr<TIniOut> IniOut1;
  TdlgFileNew* dlgFileNew;
  TfrmOpenPool* frmOpenPool;
  TfrmOptions* frmOptions;
  TfrmAboutBox* frmAboutBox;
  TfrmPrintReport* frmPrintReport;
  TfrmBracketBuild* frmBracketBuild;
  TfrmPlayerEntryForm* frmPlayerEntryForm;
  TfrmCollectPicks* frmCollectPicks;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // The help topic of a window, menu or command, read by F1 and the menu's help.
  static constexpr const char* kHelpContextProperty = "HelpContext";

  void FormCreate();
  void FormDestroy();
  // The commands menu by menu; CreateMenus and CreateToolBar give each its place.
  void CreateActions();
  void CreateFileActions();
  void CreateDataActions();
  void CreateReportsActions();
  void CreateToolsActions();
  void CreateHelpActions();
  void CreateMenus();
  void CreateToolBar();
  QAction* MakeAction(const QString& caption, const QString& hint, int tag, int helpContext,
                      int glyph);
  QMenu* MakeMenu(const QString& title, int helpContext);
  int ShowModal(QDialog& dialog);
  // Writes the pool once its files on disk are what it read (or the organiser keeps this
  // version); true when nothing is left unsaved.
  bool SavePool();
  // The save question of a pool about to be closed: Yes saves, No lets the changes go, Cancel
  // (Esc, the close box) keeps the pool open. True when the pool may be closed.
  bool QuerySave();
  void SetRegDataDirectory(const QString& text);
  // No pool could be opened: the commands that need one are disabled and the reason shown.
  void OpenFailed();
  // False after a failed open, when the data module keeps no folder.
  bool PoolIsOpen() const;

  std::unique_ptr<TRegistry> FRegistry;
  TOpenPool FOpenPool;
  QString FAppDirectory;
  QString FDataDirectory;
  TModalRunner FModalRunner;
  // While the question about the files on disk is up, coming back to the window asks nothing.
  bool FCheckingDisk = false;
};
