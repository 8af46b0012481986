// The main window and the pool commands, driven through their handlers on real windows
// offscreen, with the prompts answered by a script and the settings in a temporary file.

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <memory>

#include "BracketBuild.h"
#include "BracketList.h"
#include "FFDataModule.h"
#include "FakeHelp.h"
#include "FakePrompts.h"
#include "FakeShell.h"
#include "FileNew.h"
#include "MainForm.h"
#include "OpenPool.h"
#include "OpenPoolDialog.h"
#include "PlayerEntryForm.h"
#include "PrintReportForm.h"
#include "ProgramSandbox.h"
#include "Registry.h"
#include "TestPools.h"

namespace {

const QStringList kAlways = {"New", "Open", "Exit", "Help", "Tarnwell Website"};
const QStringList kUnlocked = kAlways + QStringList{"Options",
                                                    "Brackets",
                                                    "Lock 1st Round",
                                                    "Reports",
                                                    "Export Players...",
                                                    "Blank Picks Sheet...",
                                                    "Publish Standings...",
                                                    "Publish After Every Save..."};
const QStringList kLocked = kAlways + QStringList{"Options",
                                                  "Brackets",
                                                  "Players",
                                                  "Reports",
                                                  "Unlock 1st Round",
                                                  "Import Players...",
                                                  "Import Results...",
                                                  "Export Players...",
                                                  "Blank Picks Sheet...",
                                                  "Publish Standings...",
                                                  "Publish After Every Save...",
                                                  "Collect Picks Online..."};
// Save is there only while the pool holds something to save.
const QStringList kSave = {"Save"};

QStringList Sorted(QStringList list) {
  list.sort();
  return list;
}

// The title as the window shows it: the modified marker "[*]" stands for nothing or "*".
QString Caption(const TMainForm& form) {
  QString title = form.windowTitle();
  return title.replace(QStringLiteral("[*]"),
                       form.isWindowModified() ? QStringLiteral("*") : QString());
}

// The captions of the enabled commands, sorted.
QStringList EnabledCommands(const TMainForm& form) {
  QStringList enabled;
  for (const QAction* action : form.aclMain) {
    if (action->isEnabled())
      enabled << action->text().remove(QLatin1Char('&'));
  }
  return Sorted(enabled);
}

QString RegistryValue(const QString& key, const QString& name) {
  TRegistry registry;
  if (!registry.OpenKey(key, false))
    return QStringLiteral("<no key>");
  return registry.ReadString(name);
}

QString DataDirectoryValue() {
  return RegistryValue(TRegistry::kCourtsiderKey, TMainForm::kDataDirectoryValue);
}

}  // namespace

class TestApp : public QObject {
  Q_OBJECT

 private:
  QString AppDir() const { return FDir->filePath(QStringLiteral("pools")); }
  QString PoolPath(const QString& name) const { return QDir(AppDir()).filePath(name); }

  // A pool folder holding a full field of teams; a locked one also holds `players` players.
  void MakePool(const QString& name, bool locked, int players = 0) {
    QVERIFY(QDir(AppDir()).mkdir(name));
    auto pool = TestPools::CreatePool(PoolPath(name));
    TestPools::AddFullField(pool->TeamsFile());
    pool->SystemFile().SetFinalized(locked);
    for (int i = 1; i <= players; ++i)
      TestPools::AddPlayer(*pool, QStringLiteral("P%1").arg(i), i);
    pool->SavePool();
    pool->ClosePool();
  }

  std::unique_ptr<TMainForm> Start() { return std::make_unique<TMainForm>(); }

  // Renames the open pool through its document, as the options window would.
  static void Rename(TMainForm& form, const QString& name) {
    TPoolOptions options = form.OpenPool().Options();
    options.PoolName = name;
    QVERIFY(form.OpenPool().SetOptions(options));
  }

  // Works the new-pool dialog as a user would: types the name and presses OK, then Cancel
  // if OK did not close it. `stayedOpen` tells whether OK was refused.
  TMainForm::TModalRunner TypeNewName(const QString& name, bool* stayedOpen) {
    return [name, stayedOpen](QDialog& dialog) {
      auto& newPool = dynamic_cast<TdlgFileNew&>(dialog);
      newPool.show();
      newPool.edtPoolName->setText(name);
      newPool.btnOK->click();
      *stayedOpen = newPool.isVisible();
      if (*stayedOpen)
        newPool.btnCancel->click();
      return newPool.result();
    };
  }

  // Works the open-pool dialog: the first pool listed, and Open.
  static TMainForm::TModalRunner OpenFirstPool() {
    return [](QDialog& dialog) {
      auto& openPool = dynamic_cast<TfrmOpenPool&>(dialog);
      openPool.show();
      openPool.lbSelectPool->setCurrentRow(0);
      openPool.btnOpen->click();
      return openPool.result();
    };
  }

  std::unique_ptr<QTemporaryDir> FDir;
  TFakePrompts FPrompts;
  std::unique_ptr<TProgramSandbox> FSandbox;

 private slots:
  void init() {
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    QVERIFY(QDir(FDir->path()).mkdir(QStringLiteral("pools")));
    FSandbox = std::make_unique<TProgramSandbox>(FDir->filePath(QStringLiteral("settings.ini")),
                                                 AppDir(), FPrompts);
  }

  void cleanup() {
    FSandbox.reset();
    FDir.reset();
  }

  void firstStartOpensTheSamplePool() {
    MakePool(QStringLiteral("Sample.BGD"), false);
    auto form = Start();
    QCOMPARE(RegistryValue(TRegistry::kCourtsiderKey, TMainForm::kAppDirectoryValue),
             QDir::toNativeSeparators(AppDir()));
    QCOMPARE(DataDirectoryValue(), QStringLiteral("Sample.BGD"));
    QCOMPARE(Caption(*form), QStringLiteral("Courtsider 99 - Sample.BGD"));
    QCOMPARE(form->FFDataModule()->Directory(), PoolPath(QStringLiteral("Sample.BGD")));
    QCOMPARE(form->FFDataModule()->TeamsFile().Count(), 64);
    QVERIFY(form->OpenPool().ResultsBracket() && form->OpenPool().PicksBracket());
    QVERIFY(FPrompts.Shown().isEmpty());
    QCOMPARE(EnabledCommands(*form), Sorted(kUnlocked));
  }

  void startWithAMissingPool() {
    auto form = Start();
    QCOMPARE(FPrompts.Texts().size(), 1);
    // The message, then the file and the reason.
    QVERIFY2(FPrompts.Texts().at(0).startsWith(TMainForm::kOpenError + "\n\n") &&
                 FPrompts.Texts().at(0).contains(QStringLiteral("System.dat: File not found")),
             qPrintable(FPrompts.Texts().at(0)));
    QCOMPARE(FPrompts.Shown().at(0).Title, kApplicationTitle);
    QCOMPARE(Caption(*form), QStringLiteral("Courtsider 99 - Sample.BGD"));
    QVERIFY(form->FFDataModule()->Directory().isEmpty());
    // Nothing that needs a pool is left to click, Lock 1st Round included.
    QCOMPARE(EnabledCommands(*form), Sorted(kAlways));
    QVERIFY(!form->mniReports->isEnabled());
  }

  void commandsFollowTheLock_data() {
    QTest::addColumn<bool>("locked");
    QTest::newRow("unlocked") << false;
    QTest::newRow("locked") << true;
  }
  void commandsFollowTheLock() {
    QFETCH(bool, locked);
    MakePool(QStringLiteral("Sample.BGD"), locked);
    auto form = Start();
    QCOMPARE(EnabledCommands(*form), Sorted(locked ? kLocked : kUnlocked));
  }

  void hintsSplitBetweenToolTipAndStatusBar() {
    MakePool(QStringLiteral("Sample.BGD"), false);
    auto form = Start();
    QCOMPARE(form->actFileSave->toolTip(), QStringLiteral("Save current pool"));
    form->actFileSave->showStatusText(form.get());
    QCOMPARE(form->barStatus->currentMessage(),
             QStringLiteral("This selection saves the currently open Pool."));
    // A hint without a bar shows whole.
    form->mniQuickStart->showStatusText(form.get());
    QCOMPARE(form->barStatus->currentMessage(), QStringLiteral("Help on how to setup a Pool"));
  }

  void helpAndWebsite() {
    MakePool(QStringLiteral("Sample.BGD"), false);
    auto form = Start();
    TFakeHelp help;
    TFakeShell shell;
    THelp* previousHelp = THelp::Install(&help);
    TShell* previousShell = TShell::Install(&shell);
    form->actHelp->trigger();
    form->mniQuickStart->trigger();
    form->dlgFileNew->btnHelp->click();
    form->frmOpenPool->btnHelp->click();
    form->actHelpTarnwell->trigger();
    THelp::Install(previousHelp);
    TShell::Install(previousShell);
    QCOMPARE(help.Contexts(), (QList<int>{10, 1600, 110, 120}));
    QCOMPARE(shell.Opened(), QList<QUrl>{TMainForm::kWebsite});
  }

  // Without a web browser the website command says so instead of doing nothing.
  void websiteWithoutABrowser() {
    MakePool(QStringLiteral("Sample.BGD"), false);
    auto form = Start();
    TFakeShell shell;
    shell.SetCanOpen(false);
    TShell* previousShell = TShell::Install(&shell);
    form->actHelpTarnwell->trigger();
    TShell::Install(previousShell);
    QCOMPARE(FPrompts.Shown().size(), 1);
    QVERIFY(FPrompts.Texts().at(0).contains(TMainForm::kWebsite.toString()));
    QCOMPARE(FPrompts.Shown().at(0).Asker, form.get());
  }

  // Pointing at a disabled menu entry shows its hint, as for a disabled tool-bar button.
  void disabledMenuEntriesShowTheirHint() {
    MakePool(QStringLiteral("Sample.BGD"), false);
    auto form = Start();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QVERIFY(!form->actDataPlayers->isEnabled());
    form->mnuData->popup(form->mapToGlobal(QPoint(10, 10)));
    QVERIFY(QTest::qWaitForWindowExposed(form->mnuData));
    const QRect players = form->mnuData->actionGeometry(form->actDataPlayers);
    QTest::mouseMove(form->mnuData, players.center());
    QCOMPARE(form->barStatus->currentMessage(),
             QStringLiteral("This selection displays the Player Entry form."));
    form->mnuData->close();
  }

  void newWithAnExistingNameStaysInTheDialog() {
    MakePool(QStringLiteral("Sample.BGD"), false);
    MakePool(QStringLiteral("Office.BGD"), false);
    auto form = Start();
    const TFFDataModule* before = form->FFDataModule();
    bool stayedOpen = false;
    form->SetModalRunner(TypeNewName(QStringLiteral("Office"), &stayedOpen));
    form->actFileNewExecute();
    QVERIFY(stayedOpen);
    QCOMPARE(FPrompts.Texts(), QStringList{TdlgFileNew::kPoolExists});
    QCOMPARE(FPrompts.Shown().at(0).Title, kMessageTitle);
    QCOMPARE(form->FFDataModule(), before);
    QCOMPARE(Caption(*form), QStringLiteral("Courtsider 99 - Sample.BGD"));
    QCOMPARE(DataDirectoryValue(), QStringLiteral("Sample.BGD"));
  }

  void newRefusesNamesThatCannotBeFolders_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("message");
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("blank") << QStringLiteral("   ") << true;
    QTest::newRow("slash") << QStringLiteral("a/b") << true;
    QTest::newRow("backslash") << QStringLiteral("a\\b") << true;
    QTest::newRow("parent") << QStringLiteral("..") << true;
    QTest::newRow("climbs out") << QStringLiteral("../../Escaped") << true;
    QTest::newRow("colon") << QStringLiteral("C:Pool") << true;
    QTest::newRow("question") << QStringLiteral("Who?") << true;
    QTest::newRow("control") << QStringLiteral("Tab\tPool") << true;
    QTest::newRow("device") << QStringLiteral("con") << true;
  }
  void newRefusesNamesThatCannotBeFolders() {
    QFETCH(QString, name);
    QFETCH(bool, message);
    MakePool(QStringLiteral("Sample.BGD"), false);
    auto form = Start();
    const QStringList before =
        QDir(FDir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    bool stayedOpen = false;
    form->SetModalRunner(TypeNewName(name, &stayedOpen));
    form->actFileNewExecute();
    QVERIFY(stayedOpen);
    QCOMPARE(FPrompts.Texts(), message ? QStringList{TdlgFileNew::kUnsafeName} : QStringList());
    QCOMPARE(QDir(FDir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QCOMPARE(QDir(AppDir()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("Sample.BGD")});
    QCOMPARE(DataDirectoryValue(), QStringLiteral("Sample.BGD"));
  }

  void newWithAFreshNameAsksOnceAndOpensTheNewPool() {
    MakePool(QStringLiteral("Sample.BGD"), true, 2);
    auto form = Start();
    Rename(*form, QStringLiteral("Changed"));
    FPrompts.QueueAnswer(TPrompts::Answer::Yes);
    bool stayedOpen = true;
    form->SetModalRunner(TypeNewName(QStringLiteral("  Fresh Pool "), &stayedOpen));
    form->actFileNewExecute();
    QVERIFY(!stayedOpen);
    QCOMPARE(FPrompts.Texts(), QStringList{TMainForm::kSaveQuestion});
    QCOMPARE(
        TestPools::OpenReadOnly(PoolPath(QStringLiteral("Sample.BGD")))->SystemFile().PoolName(),
        QStringLiteral("Changed"));

    QCOMPARE(Caption(*form), QStringLiteral("Courtsider 99 - Fresh Pool.BGD"));
    QCOMPARE(DataDirectoryValue(), QStringLiteral("Fresh Pool.BGD"));
    const QDir fresh(PoolPath(QStringLiteral("Fresh Pool.BGD")));
    QVERIFY(fresh.exists(TSystemFile::kFileName) && fresh.exists(TTeamsFile::kFileName) &&
            fresh.exists(TPlayerPicksFile::kFileName));
    QCOMPARE(form->FFDataModule()->Directory(), fresh.path());
    QCOMPARE(form->FFDataModule()->TeamsFile().Count(), 0);
    QCOMPARE(EnabledCommands(*form), Sorted(kUnlocked));
    // The name typed is the pool's name, written with the new files; nothing is left to save.
    QCOMPARE(form->FFDataModule()->SystemFile().PoolName(), QStringLiteral("Fresh Pool"));
    QVERIFY(!form->OpenPool().Modified());
    QCOMPARE(TestPools::OpenReadOnly(fresh.path())->SystemFile().PoolName(),
             QStringLiteral("Fresh Pool"));
  }

  // A name longer than the pool name's 30 characters names the folder whole and the pool cut.
  void newPoolWithALongName() {
    MakePool(QStringLiteral("Sample.BGD"), false);
    auto form = Start();
    const QString name = QStringLiteral("The Very Long Office Pool Of Our Department");
    bool stayedOpen = true;
    form->SetModalRunner(TypeNewName(name, &stayedOpen));
    form->actFileNewExecute();
    QVERIFY(!stayedOpen);
    QCOMPARE(Caption(*form), QStringLiteral("Courtsider 99 - ") + name + QStringLiteral(".BGD"));
    QCOMPARE(form->FFDataModule()->SystemFile().PoolName(), name.left(30));
  }

  void newWhoseFolderCannotBeMadeChangesNothing() {
    MakePool(QStringLiteral("Sample.BGD"), false);
    auto form = Start();
    const TFFDataModule* before = form->FFDataModule();
    // The pools' folder goes away under the running program.
    QVERIFY(QDir(AppDir()).removeRecursively());
    bool stayedOpen = true;
    form->SetModalRunner(TypeNewName(QStringLiteral("Lost"), &stayedOpen));
    form->actFileNewExecute();
    QVERIFY(!stayedOpen);
    QCOMPARE(FPrompts.Shown().size(), 1);
    QVERIFY(FPrompts.Texts().at(0).startsWith(QStringLiteral("The folder for the new pool")));
    // Beneath it, the reason the system gave.
    QVERIFY(FPrompts.Texts().at(0).section(QStringLiteral("\n\n"), 1).size() > 0);
    QCOMPARE(FPrompts.Shown().at(0).IconKind, TPrompts::Icon::Stop);
    QCOMPARE(form->FFDataModule(), before);
    QCOMPARE(DataDirectoryValue(), QStringLiteral("Sample.BGD"));
  }

  void openListsThePoolsAndOpensTheChosenOne() {
    MakePool(QStringLiteral("Sample.BGD"), false);
    MakePool(QStringLiteral("Other.BGD"), true);
    QVERIFY(QDir(AppDir()).mkdir(QStringLiteral("Notes")));
    TestPools::WriteBytes(PoolPath(QStringLiteral("Loose.BGD.txt")), "not a pool");
    auto form = Start();
    QStringList listed;
    bool openAtFirst = true;
    form->SetModalRunner([&](QDialog& dialog) {
      auto& openPool = dynamic_cast<TfrmOpenPool&>(dialog);
      openPool.show();
      for (int i = 0; i < openPool.lbSelectPool->count(); ++i) {
        listed << openPool.lbSelectPool->item(i)->text();
      }
      openAtFirst = openPool.btnOpen->isEnabled();
      openPool.lbSelectPool->setCurrentRow(0);
      openPool.btnOpen->click();
      return openPool.result();
    });
    form->actFileOpenExecute();
    QCOMPARE(listed, (QStringList{"[Other.BGD]", "[Sample.BGD]"}));
    QVERIFY(!openAtFirst);
    QCOMPARE(form->frmOpenPool->SelectedPool(), QStringLiteral("Other.BGD"));
    QCOMPARE(Caption(*form), QStringLiteral("Courtsider 99 - Other.BGD"));
    QCOMPARE(DataDirectoryValue(), QStringLiteral("Other.BGD"));
    QCOMPARE(EnabledCommands(*form), Sorted(kLocked));
    QVERIFY(FPrompts.Shown().isEmpty());
  }

  void reportsOpensThePrintReportWindowModally() {
    MakePool(QStringLiteral("Sample.BGD"), true, 2);
    auto form = Start();
    QStringList offered;
    form->SetModalRunner([&offered](QDialog& dialog) {
      auto& printReport = dynamic_cast<TfrmPrintReport&>(dialog);
      printReport.show();
      for (int i = 0; i < printReport.lstReportNames->count(); ++i)
        offered << printReport.lstReportNames->item(i)->text();
      printReport.btnCancel->click();
      return printReport.result();
    });
    form->actReports->trigger();
    QCOMPARE(offered.size(), 9);
    QVERIFY(offered.contains(QStringLiteral("Blank Entry Sheet")));
    QVERIFY(FPrompts.Shown().isEmpty());
  }

  void playersShowsThePlayerEntryWindowWhileLocked() {
    MakePool(QStringLiteral("Sample.BGD"), false);
    auto form = Start();
    form->SetModalRunner([](QDialog&) { return int(QDialog::Accepted); });
    QVERIFY(!form->actDataPlayers->isEnabled());
    form->actDataPlayersExecute();
    QVERIFY(!form->frmPlayerEntryForm->isVisible());

    FPrompts.QueueAnswer(TPrompts::Answer::Yes);
    form->actDataFinalizeExecute();
    QVERIFY(form->actDataPlayers->isEnabled());
    form->actDataPlayers->trigger();
    QVERIFY(form->frmPlayerEntryForm->isVisible());
    QCOMPARE(form->frmPlayerEntryForm->windowTitle(), QStringLiteral("Player Entry "));

    // Unlocking behind it puts it away: players wait for the lock.
    FPrompts.QueueAnswer(TPrompts::Answer::Yes);
    form->actToolsUnfinalizeExecute();
    QVERIFY(!form->frmPlayerEntryForm->isVisible());
  }

  void openCancelledKeepsThePool() {
    MakePool(QStringLiteral("Sample.BGD"), false);
    auto form = Start();
    Rename(*form, QStringLiteral("Unsaved"));
    const TFFDataModule* before = form->FFDataModule();
    form->SetModalRunner([](QDialog& dialog) {
      auto& openPool = dynamic_cast<TfrmOpenPool&>(dialog);
      openPool.show();
      QTest::keyClick(openPool.lbSelectPool, Qt::Key_Down);
      openPool.btnCancel->click();
      return openPool.result();
    });
    form->actFileOpenExecute();
    QCOMPARE(form->FFDataModule(), before);
    QVERIFY(FPrompts.Shown().isEmpty());
  }

  void openOfABrokenPoolDisablesEverythingThatNeedsOne() {
    MakePool(QStringLiteral("Sample.BGD"), true);
    QVERIFY(QDir(AppDir()).mkdir(QStringLiteral("Broken.BGD")));
    auto form = Start();
    form->SetModalRunner(OpenFirstPool());
    form->actFileOpenExecute();
    QCOMPARE(FPrompts.Texts().size(), 1);
    QVERIFY(FPrompts.Texts().at(0).startsWith(TMainForm::kOpenError + "\n\n"));
    QCOMPARE(Caption(*form), QStringLiteral("Courtsider 99 - Broken.BGD"));
    QCOMPARE(EnabledCommands(*form), Sorted(kAlways));
  }

  void lockAnsweredNoThenYes() {
    MakePool(QStringLiteral("Sample.BGD"), false);
    auto form = Start();
    form->actFileSaveExecute();
    QVERIFY(!form->actFileSave->isEnabled());

    form->actDataFinalizeExecute();
    // A full first round goes straight to the lock question, asked by the main window.
    QCOMPARE(FPrompts.Texts(), QStringList{TMainForm::kLockQuestion});
    const TFakePrompts::TShown asked = FPrompts.Shown().at(0);
    QCOMPARE(asked.Asker, form.get());
    QCOMPARE(asked.Title, kMessageTitle);
    QCOMPARE(asked.ButtonSet, TPrompts::Buttons::YesNo);
    QCOMPARE(asked.IconKind, TPrompts::Icon::Stop);
    QVERIFY(!form->FFDataModule()->Finalized());
    QVERIFY(!form->FFDataModule()->Modified());
    QCOMPARE(EnabledCommands(*form), Sorted(kUnlocked));

    FPrompts.QueueAnswer(TPrompts::Answer::Yes);
    form->actDataFinalizeExecute();
    QVERIFY(form->FFDataModule()->Finalized());
    QVERIFY(form->FFDataModule()->Modified());
    QCOMPARE(EnabledCommands(*form), Sorted(kLocked + kSave));
  }

  // A first round with empty lines: how many, and lock anyway? Then the lock question itself.
  void lockWithEmptyFirstRoundLinesAsksFirst() {
    QVERIFY(QDir(AppDir()).mkdir(QStringLiteral("Sample.BGD")));
    {
      auto pool = TestPools::CreatePool(PoolPath(QStringLiteral("Sample.BGD")));
      for (int seed = 1; seed <= 16; ++seed)
        TestPools::AddTeam(pool->TeamsFile(), QStringLiteral("T%1").arg(seed), 1, seed, 1);
      TestPools::AddTeam(pool->TeamsFile(), QStringLiteral("East 1"), 2, 1, 1);
      pool->SavePool();
      pool->ClosePool();
    }
    auto form = Start();
    QCOMPARE(form->OpenPool().EmptyFirstRoundLines(), 47);

    form->actDataFinalizeExecute();
    QCOMPARE(FPrompts.Texts(),
             QStringList{QStringLiteral("47 of the 64 first-round lines are empty.  Lock the first "
                                        "round anyway?")});
    QCOMPARE(FPrompts.Shown().at(0).ButtonSet, TPrompts::Buttons::YesNo);
    QCOMPARE(FPrompts.Shown().at(0).Asker, form.get());
    QVERIFY(!form->FFDataModule()->Finalized());

    FPrompts.Reset();
    FPrompts.QueueAnswer(TPrompts::Answer::Yes);
    FPrompts.QueueAnswer(TPrompts::Answer::No);
    form->actDataFinalizeExecute();
    QCOMPARE(FPrompts.Shown().size(), 2);
    QCOMPARE(FPrompts.Texts().at(1), TMainForm::kLockQuestion);
    QCOMPARE(FPrompts.Shown().at(1).IconKind, TPrompts::Icon::Stop);
    QVERIFY(!form->FFDataModule()->Finalized());

    FPrompts.QueueAnswer(TPrompts::Answer::Yes);
    FPrompts.QueueAnswer(TPrompts::Answer::Yes);
    form->actDataFinalizeExecute();
    QVERIFY(form->FFDataModule()->Finalized());
  }

  void unlockClearsThePlayers() {
    MakePool(QStringLiteral("Sample.BGD"), true, 3);
    auto form = Start();
    QCOMPARE(form->FFDataModule()->PlayerPicksFile().Count(), 3);
    // How many are lost, and Enter (the default) says No.
    form->actToolsUnfinalizeExecute();
    QCOMPARE(FPrompts.Texts(),
             QStringList{QStringLiteral(
                 "In addition to unfinalizing the pool, this selection will clear all player "
                 "entries. 3 players and their picks will be deleted. Do you wish to continue?")});
    QCOMPARE(FPrompts.Shown().at(0).Default, TPrompts::Answer::No);
    QCOMPARE(form->FFDataModule()->PlayerPicksFile().Count(), 3);

    FPrompts.QueueAnswer(TPrompts::Answer::Yes);
    form->actToolsUnfinalizeExecute();
    QVERIFY(!form->FFDataModule()->Finalized());
    QCOMPARE(form->FFDataModule()->PlayerPicksFile().Count(), 0);
    QCOMPARE(EnabledCommands(*form), Sorted(kUnlocked + kSave));
    // Until they are saved away, the save question says what saving does to them.
    FPrompts.Reset();
    FPrompts.QueueAnswer(TPrompts::Answer::Cancel);
    QVERIFY(!form->FormClose());
    QCOMPARE(FPrompts.Texts(),
             QStringList{QStringLiteral(
                 "Do you wish to save changes to this pool?\n\nUnlocking the first round "
                 "deleted 3 players and their picks. Yes deletes them from the pool's files as "
                 "well; No keeps them there.")});
    // The cleared players reach the disk with the next save.
    form->actFileSaveExecute();
    QCOMPARE(
        TestPools::OpenReadOnly(PoolPath(QStringLiteral("Sample.BGD")))->PlayerPicksFile().Count(),
        0);
  }

  void saveWritesThePoolAndDisablesSave() {
    MakePool(QStringLiteral("Sample.BGD"), false);
    auto form = Start();
    // An edit made through the document shows at once in the title and in Save, without
    // the window being activated again.
    QVERIFY(!form->isWindowModified());
    QVERIFY(!form->actFileSave->isEnabled());
    TPoolOptions options = form->OpenPool().Options();
    options.BracketNames[0] = QStringLiteral("North");
    form->OpenPool().SetOptions(options);
    QVERIFY(form->isWindowModified());
    QCOMPARE(Caption(*form), QStringLiteral("Courtsider 99 - Sample.BGD*"));
    QVERIFY(form->actFileSave->isEnabled());
    form->actFileSaveExecute();
    QVERIFY(!form->actFileSave->isEnabled());
    QVERIFY(!form->isWindowModified());
    QCOMPARE(Caption(*form), QStringLiteral("Courtsider 99 - Sample.BGD"));
    QVERIFY(!form->FFDataModule()->Modified());
    QCOMPARE(TestPools::OpenReadOnly(PoolPath(QStringLiteral("Sample.BGD")))
                 ->SystemFile()
                 .BracketName(1),
             QStringLiteral("North"));
  }

  void undoingBackToTheSaveLeavesThePoolUnmodified() {
    MakePool(QStringLiteral("Sample.BGD"), true);
    auto form = Start();
    QUndoStack* builder = form->frmBracketBuild->UndoStack();
    QVERIFY(form->OpenPool().AdvanceTeam(1, builder));
    QVERIFY(form->actFileSave->isEnabled());
    builder->undo();
    QVERIFY(!form->actFileSave->isEnabled());
    QVERIFY(!form->isWindowModified());
    // Saved after the advance, the undo is what the files do not hold.
    builder->redo();
    form->actFileSaveExecute();
    builder->undo();
    QVERIFY(form->actFileSave->isEnabled());
    QVERIFY(form->isWindowModified());
  }

  void closingAsksToSaveAModifiedPool() {
    MakePool(QStringLiteral("Sample.BGD"), false);
    auto form = Start();
    Rename(*form, QStringLiteral("Kept"));
    FPrompts.QueueAnswer(TPrompts::Answer::Yes);
    form->show();
    QVERIFY(form->close());
    QCOMPARE(FPrompts.Texts(), QStringList{TMainForm::kSaveQuestion});
    QVERIFY(!form->FFDataModule());
    QCOMPARE(
        TestPools::OpenReadOnly(PoolPath(QStringLiteral("Sample.BGD")))->SystemFile().PoolName(),
        QStringLiteral("Kept"));
  }

  // The save question has Cancel (Esc and the close box give it): Exit, Open and New then
  // leave the pool open with its changes, and nothing else happens.
  void theSaveQuestionCanBeCancelled() {
    MakePool(QStringLiteral("Sample.BGD"), false);
    MakePool(QStringLiteral("Other.BGD"), false);
    auto form = Start();
    TPoolOptions options = form->OpenPool().Options();
    options.PoolName = QStringLiteral("Unsaved");
    form->OpenPool().SetOptions(options);
    const TFFDataModule* before = form->FFDataModule();
    form->show();

    FPrompts.QueueAnswer(TPrompts::Answer::Cancel);
    QVERIFY(!form->close());
    QCOMPARE(FPrompts.Texts(),
             QStringList{QStringLiteral("Do you wish to save changes to this pool?")});
    QCOMPARE(FPrompts.Shown().at(0).ButtonSet, TPrompts::Buttons::YesNoCancel);
    QVERIFY(form->isVisible());

    form->SetModalRunner(OpenFirstPool());
    FPrompts.QueueAnswer(TPrompts::Answer::Cancel);
    form->actFileOpenExecute();

    bool stayedOpen = true;
    form->SetModalRunner(TypeNewName(QStringLiteral("Fresh"), &stayedOpen));
    FPrompts.QueueAnswer(TPrompts::Answer::Cancel);
    form->actFileNewExecute();
    QCOMPARE(FPrompts.Shown().size(), 3);
    QVERIFY(!QDir(PoolPath(QStringLiteral("Fresh.BGD"))).exists());

    QCOMPARE(form->FFDataModule(), before);
    QCOMPARE(form->FFDataModule()->SystemFile().PoolName(), QStringLiteral("Unsaved"));
    QVERIFY(form->OpenPool().Modified());
    QCOMPARE(Caption(*form), QStringLiteral("Courtsider 99 - Sample.BGD*"));
    QCOMPARE(DataDirectoryValue(), QStringLiteral("Sample.BGD"));

    // No lets the changes go.
    FPrompts.QueueAnswer(TPrompts::Answer::No);
    QVERIFY(form->close());
    QCOMPARE(TestPools::OpenPool(PoolPath(QStringLiteral("Sample.BGD")))->SystemFile().PoolName(),
             QString());
  }

  // Another program rewrites the pool's files while the window has it open (here a second
  // process copies an older version of the pool into place, as someone restoring a backup
  // would): coming back to the window, and saving, ask whether to reload, naming what
  // differs; the organiser's answer holds until the files change again.
  void filesChangedOnDiskAreNoticed() {
    MakePool(QStringLiteral("Sample.BGD"), true, 2);
    MakePool(QStringLiteral("Older.BGD"), true, 5);
    auto form = Start();
    QVERIFY(form->OpenPool().AddPlayer(QStringLiteral("Typed Here")));
    auto restoreOlder = [this] {
      QProcess copy;
      copy.setWorkingDirectory(AppDir());
      copy.start(QStringLiteral("/bin/sh"),
                 {QStringLiteral("-c"), QStringLiteral("cp Older.BGD/*.dat Sample.BGD/")});
      QVERIFY(copy.waitForFinished());
      QCOMPARE(copy.exitCode(), 0);
    };
    auto activate = [&form] {
      QEvent activation(QEvent::WindowActivate);
      QApplication::sendEvent(form.get(), &activation);
    };
    activate();
    QVERIFY(FPrompts.Shown().isEmpty());

    restoreOlder();
    activate();
    QCOMPARE(FPrompts.Shown().size(), 1);
    const TFakePrompts::TShown asked = FPrompts.Shown().at(0);
    QVERIFY2(asked.Text.contains(QStringLiteral("Players only on disk: P3, P4, P5\n")),
             qPrintable(asked.Text));
    QVERIFY2(asked.Text.contains(QStringLiteral("Players only here: Typed Here\n")),
             qPrintable(asked.Text));
    QVERIFY(
        asked.Text.endsWith(QStringLiteral("Reload the pool from disk? Yes reloads it, and "
                                           "the changes made here are lost. No keeps the pool "
                                           "as it is here, and saving it will replace the "
                                           "files on disk.")));
    QCOMPARE(asked.ButtonSet, TPrompts::Buttons::YesNo);
    QCOMPARE(asked.Default, TPrompts::Answer::No);
    QCOMPARE(asked.Asker, form.get());
    // Kept: asked once, and the save writes this version.
    activate();
    form->actFileSaveExecute();
    QCOMPARE(FPrompts.Shown().size(), 1);
    QCOMPARE(
        TestPools::OpenReadOnly(PoolPath(QStringLiteral("Sample.BGD")))->PlayerPicksFile().Count(),
        3);
    QVERIFY(!form->OpenPool().Modified());

    // Restored again behind a change made here: the save asks first, and Yes reloads.
    restoreOlder();
    form->OpenPool().SetGuess(form->FFDataModule()->PlayerPicksFile().Items(0), 77);
    FPrompts.Reset();
    FPrompts.QueueAnswer(TPrompts::Answer::Yes);
    form->actFileSaveExecute();
    QCOMPARE(FPrompts.Shown().size(), 1);
    QVERIFY2(FPrompts.Texts().at(0).contains(QStringLiteral("Players whose picks or guess "
                                                            "differ: P1\n")),
             qPrintable(FPrompts.Texts().at(0)));
    QCOMPARE(form->FFDataModule()->PlayerPicksFile().Count(), 5);
    QCOMPARE(form->FFDataModule()->PlayerPicksFile().Items(0)->TieBreakerPoints(), 1);
    QVERIFY(!form->OpenPool().Modified());
    QCOMPARE(TestPools::ReadBytes(PoolPath(QStringLiteral("Sample.BGD/PlayPick.dat"))),
             TestPools::ReadBytes(PoolPath(QStringLiteral("Older.BGD/PlayPick.dat"))));
    // Files touched with the same bytes are no change.
    QVERIFY(QProcess::execute(QStringLiteral("touch"),
                              {PoolPath(QStringLiteral("Sample.BGD/Teams.dat"))}) == 0);
    activate();
    QCOMPARE(FPrompts.Shown().size(), 1);
    // Files gone leave nothing to reload: the pool here stays, and says why.
    QVERIFY(QFile::remove(PoolPath(QStringLiteral("Sample.BGD/System.dat"))));
    activate();
    QCOMPARE(FPrompts.Shown().size(), 2);
    QVERIFY2(FPrompts.Texts().at(1).contains(QStringLiteral("System.dat")),
             qPrintable(FPrompts.Texts().at(1)));
    QCOMPARE(FPrompts.Shown().at(1).ButtonSet, TPrompts::Buttons::Ok);
    QCOMPARE(form->FFDataModule()->PlayerPicksFile().Count(), 5);
    activate();
    QCOMPARE(FPrompts.Shown().size(), 2);
  }

  void windowSizeAndPositionAreKept() {
    MakePool(QStringLiteral("Sample.BGD"), false);
    auto form = Start();
    QCOMPARE(form->size(), QSize(491, 434));
    QCOMPARE(form->pos(), QPoint(173, 55));
    form->resize(640, 480);
    form->move(20, 30);
    form.reset();
    const QString key = TRegistry::kFormStateKey + QStringLiteral("\\MainForm");
    QCOMPARE(RegistryValue(key, QStringLiteral("Width")), QStringLiteral("640"));
    QCOMPARE(RegistryValue(key, QStringLiteral("Left")), QStringLiteral("20"));

    form = Start();
    QCOMPARE(form->size(), QSize(640, 480));
    QCOMPARE(form->pos(), QPoint(20, 30));
    form.reset();

    {
      TRegistry registry;
      registry.OpenKey(key, false);
      registry.WriteString(QStringLiteral("Width"), QStringLiteral("abc"));
    }
    form = Start();
    QCOMPARE(form->size(), QSize(491, 480));
  }

  // The pool shipped beside the program: a locked pool whose results and players' brackets
  // all fit the chart.
  void samplePoolIsALivingPool() {
    auto pool = TestPools::OpenReadOnly(QStringLiteral(COURTSIDER_SAMPLE_POOL));
    QVERIFY(pool->Finalized());
    QCOMPARE(pool->SystemFile().BracketName(1), QStringLiteral("East"));
    QCOMPARE(pool->SystemFile().BracketName(2), QStringLiteral("West"));
    QCOMPARE(pool->TeamsFile().FindTeam(QStringLiteral("UConn"))->Region(), 1);
    QCOMPARE(pool->TeamsFile().FindTeam(QStringLiteral("Purdue"))->Seed(), 1);

    TBracketList results;
    for (const auto& team : pool->TeamsFile().List())
      results.PlaceTeam(team.get());
    int onChart = 0;
    for (const auto& team : pool->TeamsFile().List()) {
      // Each team keeps every line up to its round reached, so no two teams claim one line,
      // and a team has lost exactly when another stands on its next line.
      for (int round = 1; round <= team->RoundReached(); ++round) {
        QCOMPARE(results.SlotOnPath(team->Region(), team->Seed(), round)->Team(), team.get());
      }
      const TBracketItem* next =
          results.SlotOnPath(team->Region(), team->Seed(), team->RoundReached() + 1);
      QCOMPARE(team->Eliminated(), next && next->Team() != nullptr);
      onChart += team->RoundReached();
    }
    QVERIFY2(onChart > 64 + 32 && onChart < 127, "results entered through a few rounds");

    const auto& players = pool->PlayerPicksFile().List();
    QVERIFY(players.size() >= 10 && players.size() <= 15);
    QSet<QString> champions;
    QSet<int> guesses;
    for (const auto& player : players) {
      TBracketList picks;
      for (int i = 0; i < TPlayerPicksListObject::kPickCount; ++i)
        picks.PlaceTeam(player->Pick(i));
      for (int slot = 1; slot <= TBracketList::kSlotCount; ++slot) {
        const TChartEntry* entry = picks.Slot(slot)->Team();
        QVERIFY2(entry, qPrintable(player->PlayerName() + " leaves a game open"));
        for (int round = 1; round <= entry->RoundReached(); ++round) {
          QCOMPARE(picks.SlotOnPath(entry->Region(), entry->Seed(), round)->Team(), entry);
        }
      }
      champions.insert(picks.Slot(TBracketList::kSlotCount)->Team()->TeamName());
      guesses.insert(player->TieBreakerPoints());
    }
    QVERIFY(champions.size() >= 5);
    QCOMPARE(guesses.size(), static_cast<int>(players.size()));
  }
};

QTEST_MAIN(TestApp)
#include "TestApp.moc"
