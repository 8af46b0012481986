#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "FakePrompts.h"
#include "Registry.h"

class TestPlatform : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir FDir;

 private slots:
  void cleanup() { TRegistry::SetStoreFile(QString()); }

  void registryKeysAreGroupsOfTheSettingsFile() {
    const QString file = FDir.filePath("keys.ini");
    TRegistry::SetStoreFile(file);
    {
      TRegistry registry;
      QVERIFY(!registry.KeyExists(TRegistry::kCourtsiderKey));
      QVERIFY(!registry.OpenKey(TRegistry::kCourtsiderKey, false));
      QVERIFY(registry.OpenKey(TRegistry::kCourtsiderKey, true));
      registry.WriteString("DataDirectory", "Sample.BGD");
      QVERIFY(registry.ValueExists("DataDirectory"));
      QVERIFY(!registry.ValueExists("AppDirectory"));
      QCOMPARE(registry.ReadString("AppDirectory"), QString());
      registry.CloseKey();
      QVERIFY(registry.OpenKey(TRegistry::kFormStateKey + "\\MainForm", true));
      registry.WriteString("Width", "500");
    }
    QSettings raw(file, QSettings::IniFormat);
    QCOMPARE(raw.value("Tarnwell/Courtsider/DataDirectory").toString(), QString("Sample.BGD"));
    QCOMPARE(raw.value("Tarnwell/Courtsider/Form State/MainForm/Width").toString(), QString("500"));

    TRegistry again;
    QVERIFY(again.KeyExists(TRegistry::kCourtsiderKey));
    QVERIFY(again.OpenKey(TRegistry::kCourtsiderKey, false));
    QCOMPARE(again.ReadString("DataDirectory"), QString("Sample.BGD"));
  }

  void settingsFileComesFromTheProgramOrTheEnvironment() {
    // "--settings FILE" on the command line wins over the environment.
    qputenv("COURTSIDER_SETTINGS", FDir.filePath("env.ini").toLocal8Bit());
    TRegistry::SetStoreFile(FDir.filePath("mine.ini"));
    QCOMPARE(TRegistry::StoreFile(), FDir.filePath("mine.ini"));

    TRegistry::SetStoreFile(QString());
    QCOMPARE(TRegistry::StoreFile(), FDir.filePath("env.ini"));
    qunsetenv("COURTSIDER_SETTINGS");
    QVERIFY(!TRegistry::StoreFile().endsWith("env.ini"));
  }

  void promptsCarryTheProgramsTitlesButtonsAndIcons() {
    TFakePrompts fake;
    TPromptsScope scope(&fake);
    TPrompts::Current().Refuse("No.");
    TPrompts::Current().Inform("Note.");
    fake.QueueAnswer(TPrompts::Answer::Yes);
    QVERIFY(TPrompts::Current().Confirm("Sure?", TPrompts::Icon::Stop));
    QVERIFY(!TPrompts::Current().Confirm("Again?"));  // nothing queued: No
    QCOMPARE(fake.Message("Go on?", "T", TPrompts::Buttons::OkCancel, TPrompts::Icon::None),
             TPrompts::Answer::Cancel);

    const QList<TFakePrompts::TShown>& shown = fake.Shown();
    QCOMPARE(shown.size(), 5);
    QCOMPARE(shown[0].Title, QString("Courtsider 99"));
    QCOMPARE(shown[0].IconKind, TPrompts::Icon::Stop);
    QCOMPARE(shown[0].ButtonSet, TPrompts::Buttons::Ok);
    QCOMPARE(shown[1].Title, QString("Courtsider 99 College Basketball Office Pool Tracker"));
    QCOMPARE(shown[2].ButtonSet, TPrompts::Buttons::YesNo);
    QCOMPARE(shown[2].IconKind, TPrompts::Icon::Stop);

    QString text = "old";
    fake.QueueText("new");
    QVERIFY(TPrompts::Current().AskText("Title", "Prompt", &text));
    QCOMPARE(text, QString("new"));
    QVERIFY(!TPrompts::Current().AskText("Title", "Prompt", &text));
    QCOMPARE(text, QString("new"));
  }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
