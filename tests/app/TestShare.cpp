// The main window's sharing commands: import and export of players through a picks sheet and
// the standings page, through their handlers with scripted prompts, and once through the
// keyboard.

#include <sys/wait.h>
#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QStatusBar>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "FFDataModule.h"
#include "FakePrompts.h"
#include "FakeReportUi.h"
#include "FakeShell.h"
#include "MainForm.h"
#include "OpenPoolDialog.h"
#include "Outlook.h"
#include "PicksImport.h"
#include "PicksSheet.h"
#include "PoolLock.h"
#include "PoolReports.h"
#include "ProgramSandbox.h"
#include "PublishOnSave.h"
#include "Registry.h"
#include "SafeFile.h"
#include "SamplePool.h"
#include "ShareCommands.h"
#include "SheetRows.h"
#include "TestPools.h"

class TestShare : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> FDir;
  TFakePrompts FPrompts;
  std::unique_ptr<TProgramSandbox> FSandbox;

  QString AppDir() const { return FDir->filePath(QStringLiteral("pools")); }
  QString File(const QString& name) const { return FDir->filePath(name); }

  // Starts the program on "Sample.BGD": a full field, locked or not, with `players` players.
  std::unique_ptr<TMainForm> Start(bool locked, int players) {
    const QString directory = QDir(AppDir()).filePath(QStringLiteral("Sample.BGD"));
    QDir().mkpath(directory);
    auto pool = TestPools::CreatePool(directory);
    pool->SystemFile().SetPoolName(QStringLiteral("Office: 3rd Floor"));
    TestPools::AddFullField(pool->TeamsFile());
    pool->SystemFile().SetFinalized(locked);
    for (int i = 1; i <= players; ++i)
      TestPools::AddPlayer(*pool, QStringLiteral("P%1").arg(i), i);
    pool->SavePool();
    pool->ClosePool();
    return std::make_unique<TMainForm>();
  }

  // Starts the program on "Sample.BGD" a few weeks in: eight teams left, four players.
  std::unique_ptr<TMainForm> StartEightLeft() {
    const QString directory = QDir(AppDir()).filePath(QStringLiteral("Sample.BGD"));
    QDir().mkpath(directory);
    auto pool = TestPools::CreatePool(directory);
    SamplePool::Fill(*pool, 4, 3, 0);
    pool->SavePool();
    pool->ClosePool();
    return std::make_unique<TMainForm>();
  }

  // A sheet for the form's pool with the given rows below the header.
  QByteArray Sheet(TMainForm& form, const QList<QStringList>& rows) {
    return TestPools::SheetWithRows(*form.FFDataModule(), rows);
  }

  // The command-line tool's import of `sheet` into `pool`, run as a program of its own: its
  // exit status and what it wrote on standard error.
  QPair<int, QByteArray> ToolImport(const QString& pool, const QString& sheet) {
    QProcess tool;
    tool.start(QStringLiteral(COURTSIDER_CLI), {QStringLiteral("import-picks"), pool, sheet});
    tool.waitForFinished(120000);
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
            tool.readAllStandardError()};
  }

  // What another program holding `pool` open for writing is refused with.
  static QString HeldBy(const QString& pool, const QString& holder, qint64 process) {
    const QString since = QFileInfo(QDir(pool).filePath(TPoolLock::kFileName))
                              .lastModified()
                              .toString(TPoolLock::kSinceFormat);
    return DiskFile::Describe(pool, TPoolLock::kHeldBy.arg(holder, QSysInfo::machineHostName(),
                                                           QString::number(process), since));
  }

 private slots:
  void init() {
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    QVERIFY(QDir(FDir->path()).mkdir(QStringLiteral("pools")));
    FSandbox =
        std::make_unique<TProgramSandbox>(File(QStringLiteral("settings.ini")), AppDir(), FPrompts);
  }

  void cleanup() {
    FSandbox.reset();
    FDir.reset();
  }

  void importAddsThePlayersUnsaved() {
    auto form = Start(true, 1);
    const QByteArray before =
        TestPools::ReadBytes(QDir(AppDir()).filePath(QStringLiteral("Sample.BGD/PlayPick.dat")));
    TestPools::WriteBytes(File("in.csv"), Sheet(*form, {{"Ann", "140", "R1S1"}, {"Bob"}}));
    FPrompts.QueueFileName(File("in.csv"));
    form->actFileImportExecute();
    // The dialog proposed a sheet named after the pool, beside the pool's folder.
    QCOMPARE(FPrompts.Shown().at(0).Title, TShareCommands::kImportTitle);
    QCOMPARE(FPrompts.Shown().at(0).Text,
             QDir(AppDir()).filePath(QStringLiteral("Office_ 3rd Floor picks.csv")));
    QCOMPARE(FPrompts.Shown().at(1).Text,
             QStringLiteral("Imported 2 new players. Save the pool to keep the changes."));
    const TPlayerPicksFile& players = form->FFDataModule()->PlayerPicksFile();
    QCOMPARE(players.Count(), 3);
    QCOMPARE(players.Items(1)->PlayerName(), QStringLiteral("Ann"));
    QCOMPARE(players.Items(1)->TieBreakerPoints(), 140);
    QCOMPARE(players.Items(1)->Pick(0)->RoundReached(), 2);
    QVERIFY(form->isWindowModified());
    QVERIFY(form->actFileSave->isEnabled());
    QCOMPARE(
        TestPools::ReadBytes(QDir(AppDir()).filePath(QStringLiteral("Sample.BGD/PlayPick.dat"))),
        before);
  }

  void aRefusedSheetChangesNothing() {
    auto form = Start(true, 1);
    TestPools::WriteBytes(File("bad.csv"),
                          Sheet(*form, {{"Ann", "140"}, {"Bob", "abc", "R1S16", "", "", "R1S8"}}));
    FPrompts.QueueFileName(File("bad.csv"));
    form->actFileImportExecute();
    QCOMPARE(FPrompts.Shown().size(), 2);
    const TFakePrompts::TShown& refusal = FPrompts.Shown().at(1);
    QCOMPARE(refusal.IconKind, TPrompts::Icon::Stop);
    QVERIFY(refusal.Text.startsWith(TShareCommands::kNothingImported));
    QVERIFY2(refusal.Text.contains(QStringLiteral("Row 3, column B")), qPrintable(refusal.Text));
    QVERIFY2(refusal.Text.contains(QStringLiteral("Row 3, column F")), qPrintable(refusal.Text));
    QCOMPARE(form->FFDataModule()->PlayerPicksFile().Count(), 1);
    QVERIFY(!form->FFDataModule()->Modified());

    // A file that cannot be read, and a dialog cancelled.
    FPrompts.Reset();
    FPrompts.QueueFileName(File("missing.csv"));
    form->actFileImportExecute();
    QVERIFY(
        FPrompts.Texts().last().startsWith(QStringLiteral("The picks sheet could not be read")));
    FPrompts.Reset();
    form->actFileImportExecute();
    QCOMPARE(FPrompts.Shown().size(), 1);
    QVERIFY(!form->FFDataModule()->Modified());
  }

  void playersAlreadyThereAreReplacedOnlyOnYes() {
    auto form = Start(true, 2);
    TestPools::WriteBytes(File("again.csv"), Sheet(*form, {{"P2", "99"}, {"New", "5"}}));
    for (const TPrompts::Answer answer : {TPrompts::Answer::No, TPrompts::Answer::Yes}) {
      FPrompts.Reset();
      FPrompts.QueueFileName(File("again.csv"));
      FPrompts.QueueAnswer(answer);
      form->actFileImportExecute();
      QCOMPARE(FPrompts.Shown().at(1).Text, TShareCommands::kReplaceQuestion.arg(1));
    }
    // No cancelled the whole sheet; Yes replaced P2 in its place and added the new player.
    QCOMPARE(FPrompts.Texts().last(), QStringLiteral("Imported 1 new player and replaced the picks "
                                                     "of 1 player. Save the pool to keep the "
                                                     "changes."));
    const TPlayerPicksFile& players = form->FFDataModule()->PlayerPicksFile();
    QCOMPARE(players.Count(), 3);
    QCOMPARE(players.Items(1)->PlayerName(), QStringLiteral("P2"));
    QCOMPARE(players.Items(1)->TieBreakerPoints(), 99);
    QCOMPARE(players.Items(2)->PlayerName(), QStringLiteral("New"));
  }

  void exportWritesTheSheetOfThePoolInMemory() {
    auto form = Start(true, 3);
    form->OpenPool().AddPlayer(QStringLiteral("Unsaved"));
    FPrompts.QueueFileName(File("out.csv"));
    form->actFileExportExecute();
    QCOMPARE(TestPools::ReadBytes(File("out.csv")), TPicksSheet(*form->FFDataModule()).Export());
    QCOMPARE(form->barStatus->currentMessage(),
             TShareCommands::kExported.arg(4).arg(QDir::toNativeSeparators(File("out.csv"))));

    FPrompts.Reset();
    FPrompts.QueueFileName(File("no/such/folder/out.csv"));
    form->actFileExportExecute();
    QCOMPARE(FPrompts.Shown().last().IconKind, TPrompts::Icon::Stop);
    QVERIFY(FPrompts.Texts().last().contains(QStringLiteral("could not be written")));
  }

  // The blank sheet is the tool's template, offered under File > Export before the lock too.
  void theBlankPicksSheetIsTheTemplate() {
    auto form = Start(false, 0);
    QVERIFY(form->mnuFileExport->actions().contains(form->actFileExportBlank));
    QVERIFY(form->actFileExportBlank->isEnabled());
    FPrompts.QueueFileName(File("blank.csv"));
    form->actFileExportBlank->trigger();
    QCOMPARE(TestPools::ReadBytes(File("blank.csv")),
             TPicksSheet(*form->FFDataModule()).Template());
    QCOMPARE(form->barStatus->currentMessage(),
             TShareCommands::kBlankSheetWritten.arg(QDir::toNativeSeparators(File("blank.csv"))));

    // Export Players keeps its key inside the Export submenu.
    form->show();
    QApplication::setActiveWindow(form.get());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    FPrompts.QueueFileName(File("keyed.csv"));
    QTest::keyClick(form.get(), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(TestPools::ReadBytes(File("keyed.csv")), TPicksSheet(*form->FFDataModule()).Export());
  }

  void publishWritesThePageAndOffersToOpenIt() {
    auto form = Start(false, 0);
    TFakeShell shell;
    TShell* previous = TShell::Install(&shell);
    FPrompts.QueueFileName(File("standings.html"));
    FPrompts.QueueAnswer(TPrompts::Answer::Yes);
    form->actFilePublishExecute();
    TShell::Install(previous);
    const QByteArray page = TestPools::ReadBytes(File("standings.html"));
    QVERIFY(page.startsWith("<!DOCTYPE html>"));
    QVERIFY(page.contains("<h1>Office: 3rd Floor</h1>"));
    // The first round is open: no players, nothing to work out, no win chances.
    QVERIFY(!page.contains("Win chance"));
    QCOMPARE(shell.Opened(), QList<QUrl>{QUrl::fromLocalFile(File("standings.html"))});
  }

  void publishWorksOutTheWinChancesBehindTheStatusWindow() {
    auto form = StartEightLeft();
    TFakeReportUi reportUi;
    TReportUiScope reportUiScope(&reportUi);
    FPrompts.QueueFileName(File("eight.html"));
    form->actFilePublishExecute();
    QCOMPARE(reportUi.StatusTexts(), QStringList{TPoolReports::kOutlookWorking});
    const QString page = QString::fromUtf8(TestPools::ReadBytes(File("eight.html")));
    QVERIFY(page.contains(QStringLiteral("<th>Win chance</th>")));
    const TOutlookResult outlook =
        ComputeOutlook(TOutlookInput::FromPool(*form->FFDataModule()), TOutlookOptions{});
    QCOMPARE(outlook.GamesLeft, 7);
    for (const TOutlookPlayer& player : outlook.Players) {
      QVERIFY(page.contains(QStringLiteral("<td class=\"name\">%1</td>").arg(player.Name)));
      QVERIFY(page.contains(QStringLiteral("<td>%1</td>").arg(FormatChance(player.WinChance))));
    }
    // Asked whether to open it, and answered No.
    QCOMPARE(FPrompts.Shown().size(), 2);
  }

  // Published after every save from the window: a file chosen starts it, the next save writes
  // the page, and asked again the window offers to stop.
  void publishAfterEverySaveFromTheWindow() {
    auto form = Start(false, 0);
    const QString pool = form->FFDataModule()->Directory();
    FPrompts.QueueFileName(File("shared.html"));
    form->actFilePublishOnSaveExecute();
    QCOMPARE(PublishOnSave::Target(pool), File("shared.html"));
    QCOMPARE(FPrompts.Texts().last(),
             TMainForm::kWillPublish.arg(QDir::toNativeSeparators(File("shared.html"))));
    TPoolOptions options = form->OpenPool().Options();
    options.PoolName = QStringLiteral("Saved and Published");
    form->OpenPool().SetOptions(options);
    form->actFileSaveExecute();
    QVERIFY(TestPools::ReadBytes(File("shared.html")).contains("<h1>Saved and Published</h1>"));
    // Asked again: No keeps it, Yes stops it.
    FPrompts.Reset();
    form->actFilePublishOnSaveExecute();
    QCOMPARE(
        FPrompts.Texts(),
        QStringList{TMainForm::kPublishingTo.arg(QDir::toNativeSeparators(File("shared.html")))});
    QCOMPARE(FPrompts.Shown().front().Default, TPrompts::Answer::No);
    QCOMPARE(PublishOnSave::Target(pool), File("shared.html"));
    FPrompts.QueueAnswer(TPrompts::Answer::Yes);
    form->actFilePublishOnSaveExecute();
    QVERIFY(PublishOnSave::Target(pool).isEmpty());
  }

  void aCancelledOutlookWritesNoPage() {
    // No results yet: a million outcomes to draw, cancelled once under way.
    auto form = Start(true, 2);
    TFakeReportUi reportUi;
    TReportUiScope reportUiScope(&reportUi);
    double stopped = -1;
    reportUi.CancelWork(&stopped);
    TestPools::WriteBytes(File("kept.html"), "the page of last week");
    FPrompts.QueueFileName(File("kept.html"));
    form->actFilePublishExecute();
    QVERIFY(stopped >= 0);
    QCOMPARE(TestPools::ReadBytes(File("kept.html")), QByteArray("the page of last week"));
    // Only the file dialog: nothing written, nothing to open.
    QCOMPARE(FPrompts.Shown().size(), 1);
    FPrompts.QueueFileName(File("new.html"));
    reportUi.CancelWork(&stopped);
    form->actFilePublishExecute();
    QVERIFY(!QFile::exists(File("new.html")));
  }

  // The program and the command-line tool on one pool: while the window has the pool open, the
  // tool's import is refused at once with who holds the pool, and the window's save loses
  // nothing; once the window has let go of the pool, the import goes through.
  void theToolCannotWriteAPoolTheWindowHolds() {
    auto form = Start(true, 2);
    const QString pool = form->FFDataModule()->Directory();
    TestPools::WriteBytes(File("tool.csv"), Sheet(*form, {{"Tool Tom", "50"}, {"Tool Tia", "60"}}));
    const auto refused = ToolImport(pool, File("tool.csv"));
    QCOMPARE(refused.first, 1);
    QVERIFY2(refused.second.contains(HeldBy(pool, QCoreApplication::applicationName(),
                                            QCoreApplication::applicationPid())
                                         .toUtf8()),
             refused.second.constData());

    TPoolOptions options = form->OpenPool().Options();
    options.PoolName = QStringLiteral("Kept");
    form->OpenPool().SetOptions(options);
    form->actFileSaveExecute();
    QCOMPARE(TestPools::OpenReadOnly(pool)->PlayerPicksFile().Count(), 2);
    QCOMPARE(TestPools::OpenReadOnly(pool)->SystemFile().PoolName(), QStringLiteral("Kept"));

    QVERIFY(form->close());
    const auto imported = ToolImport(pool, File("tool.csv"));
    QVERIFY2(imported.first == 0, imported.second.constData());
    QCOMPARE(TestPools::OpenReadOnly(pool)->PlayerPicksFile().Count(), 4);
  }

  // The other way round, through the keyboard: a pool another program is writing is not
  // opened (the window has no way to show a pool it may not save); the message says who holds
  // it, and once that program lets go the pool opens.
  void aPoolAnotherProgramWritesIsNotOpened() {
    auto form = Start(true, 1);
    const QString other = QDir(AppDir()).filePath(QStringLiteral("Other.BGD"));
    QDir().mkpath(other);
    TestPools::CreatePool(other)->ClosePool();
    int held[2];
    int go[2];
    QVERIFY(::pipe(held) == 0 && ::pipe(go) == 0);
    const pid_t writer = ::fork();
    if (writer == 0) {
      auto pool = TestPools::OpenPool(other);
      char byte = 1;
      if (::write(held[1], &byte, 1) == 1)
        ::read(go[0], &byte, 1);
      ::_exit(0);
    }
    char byte = 0;
    QCOMPARE(::read(held[0], &byte, 1), 1);

    form->SetModalRunner([](QDialog& dialog) {
      auto& openPool = dynamic_cast<TfrmOpenPool&>(dialog);
      openPool.show();
      const auto items =
          openPool.lbSelectPool->findItems(QStringLiteral("Other"), Qt::MatchContains);
      openPool.lbSelectPool->setCurrentItem(items.value(0));
      openPool.lbSelectPool->setFocus();
      QTest::keyClick(openPool.lbSelectPool, Qt::Key_Return);
      return openPool.result();
    });
    form->show();
    QApplication::setActiveWindow(form.get());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(FPrompts.Texts(),
             QStringList{TMainForm::kOpenError + "\n\n" +
                         HeldBy(other, QCoreApplication::applicationName(), writer)});
    QVERIFY(!form->actFileSave->isEnabled() && !form->actReports->isEnabled() &&
            !form->actDataPlayers->isEnabled());

    QCOMPARE(::write(go[1], &byte, 1), 1);
    QCOMPARE(::waitpid(writer, nullptr, 0), writer);
    FPrompts.Reset();
    QTest::keyClick(form.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(FPrompts.Texts(), QStringList());
    QCOMPARE(form->FFDataModule()->Directory(), other);
    QVERIFY(form->actReports->isEnabled());
    for (int end : {held[0], held[1], go[0], go[1]})
      ::close(end);
  }

  void importThroughTheKeyboard() {
    // Ctrl+I on the shown window: the shortcut reaches the command through real key events.
    auto form = Start(true, 0);
    form->show();
    QApplication::setActiveWindow(form.get());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    TestPools::WriteBytes(File("keys.csv"), Sheet(*form, {{"Keyboard Kim", "77"}}));
    FPrompts.QueueFileName(File("keys.csv"));
    QTest::keyClick(form.get(), Qt::Key_I, Qt::ControlModifier);
    QCOMPARE(form->FFDataModule()->PlayerPicksFile().Count(), 1);
    QCOMPARE(form->FFDataModule()->PlayerPicksFile().Items(0)->PlayerName(),
             QStringLiteral("Keyboard Kim"));
  }
};

QTEST_MAIN(TestShare)
#include "TestShare.moc"
