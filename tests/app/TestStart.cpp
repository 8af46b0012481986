// The program's start and end: the pools folder of an installed program on its first start
// and on a later start whose folder has gone missing or cannot be written, and the program
// ending with its main window. The main window is started on the settings that come out,
// offscreen, with the prompts answered by a script.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "FFDataModule.h"
#include "FakePrompts.h"
#include "HelpWindow.h"
#include "MainForm.h"
#include "PoolsFolder.h"
#include "ProgramSandbox.h"
#include "Registry.h"
#include "SingleInstance.h"
#include "TestPools.h"

namespace {

const QString kSample = QStringLiteral("Sample.BGD");
const QStringList kPoolFiles = {"System.dat", "Teams.dat", "PlayPick.dat"};

// Makes a pool of a full field in `directory` with `players` players; a pool with players is
// locked.
void MakePool(const QString& directory, int players) {
  QVERIFY(QDir().mkpath(directory));
  auto pool = TestPools::CreatePool(directory);
  TestPools::AddFullField(pool->TeamsFile());
  pool->SystemFile().SetFinalized(players > 0);
  for (int i = 1; i <= players; ++i)
    TestPools::AddPlayer(*pool, QStringLiteral("P%1").arg(i), i);
  pool->SavePool();
  pool->ClosePool();
}

QString Value(const QString& name) {
  TRegistry registry;
  if (!registry.OpenKey(TRegistry::kCourtsiderKey, false))
    return QStringLiteral("<no key>");
  return registry.ReadString(name);
}

void WriteValue(const QString& name, const QString& value) {
  TRegistry registry;
  registry.OpenKey(TRegistry::kCourtsiderKey, true);
  registry.WriteString(name, value);
  registry.CloseKey();
}

}  // namespace

class TestStart : public QObject {
  Q_OBJECT

 private:
  QString Path(const QString& name) const { return FDir->filePath(name); }
  QString UserFolder() const { return Path(QStringLiteral("data/Tarnwell/Courtsider")); }
  QString Shipped() const { return Path(QStringLiteral("share/courtsider/Sample.BGD")); }
  TPoolsFolder Folder() const { return TPoolsFolder(UserFolder(), Shipped()); }

  void Prepare() {
    TRegistry registry;
    Folder().Prepare(registry);
  }

  // The shipped sample, copied whole into the user's folder.
  void VerifySampleCopied() {
    const QString copy = QDir(UserFolder()).filePath(kSample);
    for (const QString& file : kPoolFiles) {
      QCOMPARE(TestPools::ReadBytes(QDir(copy).filePath(file)),
               TestPools::ReadBytes(QDir(Shipped()).filePath(file)));
    }
    QVERIFY(!QDir(UserFolder()).exists(kSample + QStringLiteral(".partial")));
  }

  // The settings name the user's folder and its sample, and the main window opens it.
  void VerifyUserSampleOpens() {
    QCOMPARE(Value(TMainForm::kAppDirectoryValue), QDir::toNativeSeparators(UserFolder()));
    QCOMPARE(Value(TMainForm::kDataDirectoryValue), kSample);
    TMainForm form;
    QCOMPARE(form.FFDataModule()->Directory(), QDir(UserFolder()).filePath(kSample));
    QCOMPARE(form.FFDataModule()->TeamsFile().Count(), 64);
    // "[*]" is where the title shows that the pool has changes; it has none yet.
    QCOMPARE(form.windowTitle(), QStringLiteral("Courtsider 99 - Sample.BGD[*]"));
    QVERIFY(!form.isWindowModified());
  }

  std::unique_ptr<QTemporaryDir> FDir;
  TFakePrompts FPrompts;
  std::unique_ptr<TProgramSandbox> FSandbox;

 private slots:
  void init() {
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    FSandbox = std::make_unique<TProgramSandbox>(Path(QStringLiteral("settings.ini")), FDir->path(),
                                                 FPrompts);
    MakePool(Shipped(), 3);
    // Installed, the shipped files belong to the system: the user may only read them.
    for (const QString& file : kPoolFiles)
      QFile::setPermissions(QDir(Shipped()).filePath(file), QFile::ReadOwner | QFile::ReadOther);
  }

  void cleanup() {
    FSandbox.reset();
    FDir.reset();
  }

  void firstStartCopiesTheSampleToTheUsersFolder() {
    Prepare();
    QVERIFY(FPrompts.Shown().isEmpty());
    VerifySampleCopied();
    // The copy is the user's to change and save.
    for (const QString& file : kPoolFiles) {
      QVERIFY(QFile::permissions(QDir(UserFolder()).filePath(kSample + "/" + file)) &
              QFile::WriteOwner);
    }
    VerifyUserSampleOpens();
  }

  void aSampleTheUserAlreadyHasIsKept() {
    const QString own = QDir(UserFolder()).filePath(kSample);
    MakePool(own, 0);
    const QByteArray teams = TestPools::ReadBytes(own + "/Teams.dat");
    const QByteArray system = TestPools::ReadBytes(own + "/System.dat");
    Prepare();
    QCOMPARE(TestPools::ReadBytes(own + "/System.dat"), system);
    QCOMPARE(TestPools::ReadBytes(own + "/Teams.dat"), teams);
    QCOMPARE(Value(TMainForm::kAppDirectoryValue), QDir::toNativeSeparators(UserFolder()));
  }

  void aLaterStartWithAHealthyFolderChangesNothing() {
    const QString elsewhere = Path(QStringLiteral("my pools"));
    MakePool(QDir(elsewhere).filePath(QStringLiteral("Office.BGD")), 0);
    WriteValue(TMainForm::kAppDirectoryValue, elsewhere);
    WriteValue(TMainForm::kDataDirectoryValue, QStringLiteral("Office.BGD"));
    Prepare();
    QVERIFY(FPrompts.Shown().isEmpty());
    QVERIFY(!QFileInfo::exists(UserFolder()));
    QCOMPARE(Value(TMainForm::kAppDirectoryValue), elsewhere);
    QCOMPARE(Value(TMainForm::kDataDirectoryValue), QStringLiteral("Office.BGD"));
    // No stray probe file is left behind in the user's folder.
    QCOMPARE(QDir(elsewhere).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("Office.BGD")});
  }

  void aLostFolderIsReplacedWithAMessage_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("problem");
    QTest::newRow("missing") << QStringLiteral("gone") << TPoolsFolder::kMissing;
    QTest::newRow("a file") << QStringLiteral("share/courtsider/Sample.BGD/Teams.dat")
                            << TPoolsFolder::kMissing;
    QTest::newRow("empty setting") << QString() << TPoolsFolder::kMissing;
    // A folder that no one may write to, root included.
    QTest::newRow("read-only") << QStringLiteral("/proc/self") << TPoolsFolder::kNotWritable;
  }
  void aLostFolderIsReplacedWithAMessage() {
    QFETCH(QString, folder);
    QFETCH(QString, problem);
    const QString lost = folder.isEmpty() || folder.startsWith('/') ? folder : Path(folder);
    WriteValue(TMainForm::kAppDirectoryValue, lost);
    WriteValue(TMainForm::kDataDirectoryValue, QStringLiteral("Office.BGD"));
    Prepare();
    QCOMPARE(FPrompts.Shown().size(), 1);
    const QString text = FPrompts.Shown().at(0).Text;
    QVERIFY2(text.contains("\"" + QDir::toNativeSeparators(lost) + "\", " + problem),
             qPrintable(text));
    QVERIFY(
        text.endsWith(TPoolsFolder::kTakesUserFolder.arg(QDir::toNativeSeparators(UserFolder()))));
    QCOMPARE(FPrompts.Shown().at(0).Title, QStringLiteral("Courtsider 99"));
    VerifySampleCopied();
    VerifyUserSampleOpens();
    QCOMPARE(FPrompts.Shown().size(), 1);  // and the pool opened without an error
  }

  void theUsersOwnFolderLostIsMadeAgain() {
    Prepare();
    QVERIFY(QDir(UserFolder()).removeRecursively());
    Prepare();
    QCOMPARE(FPrompts.Texts(), QStringList{TPoolsFolder::kFolderLost.arg(
                                   QDir::toNativeSeparators(UserFolder()), TPoolsFolder::kMissing,
                                   TPoolsFolder::kMakesItAgain)});
    VerifySampleCopied();
    VerifyUserSampleOpens();
  }

  void aUserFolderThatCannotBeMadeIsNeverSilent() {
    // The user's folder would lie below a file: it cannot be made.
    TestPools::WriteBytes(Path(QStringLiteral("blocker")), "not a folder");
    const TPoolsFolder blocked(Path(QStringLiteral("blocker/pools")), Shipped());
    {
      TRegistry registry;
      blocked.Prepare(registry);
    }
    QCOMPARE(FPrompts.Shown().size(), 1);
    QVERIFY(FPrompts.Shown().at(0).Text.startsWith(
        TPoolsFolder::kFolderUnusable.arg(QDir::toNativeSeparators(blocked.UserFolder()), "")));
    // The main window still starts and says it has no pool.
    TMainForm form;
    QVERIFY(FPrompts.Texts().last().startsWith(TMainForm::kOpenError + "\n\n"));
    QVERIFY(form.FFDataModule()->Directory().isEmpty());
  }

  // The program started again on the same settings hands over to the one running, which is
  // asked to come to the front, and quits rather than opening a second window. A start that
  // gets no answer (here the first one's thread is the one asking) is told so; other settings
  // are another program.
  void aSecondStartBringsTheFirstToTheFront() {
    const QString settings = Path(QStringLiteral("settings.ini"));
    TSingleInstance first(FDir->path(), settings);
    QCOMPARE(first.Claim(), TSingleInstance::TStart::First);
    QSignalSpy raised(&first, &TSingleInstance::RaiseRequested);
    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), FDir->path());
    second.setProcessEnvironment(environment);
    second.start(QStringLiteral(COURTSIDER_PROGRAM), {QStringLiteral("--settings"), settings});
    QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 60000);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(raised.count(), 1);

    TSingleInstance unanswered(FDir->path(), settings);
    QCOMPARE(unanswered.Claim(), TSingleInstance::TStart::Unreachable);
    TSingleInstance other(FDir->path(), Path(QStringLiteral("other.ini")));
    QCOMPARE(other.Claim(), TSingleInstance::TStart::First);
  }

  void closingTheMainWindowEndsTheProgramWithHelpOpen() {
    Prepare();
    TMainForm form;
    THelpWindow help(Path(QStringLiteral("help")));
    form.show();
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    // The message loop ends by itself once the main window closes; should help keep it
    // going, the second timer ends it with another status.
    QTimer::singleShot(0, &form, [&form] { form.close(); });
    QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(1); });
    QCOMPARE(QCoreApplication::exec(), 0);
  }
};

QTEST_MAIN(TestStart)
#include "TestStart.moc"
