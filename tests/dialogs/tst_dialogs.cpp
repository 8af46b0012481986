#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QUndoStack>
#include <functional>
#include <memory>

#include "AboutBox.h"
#include "FFDataModule.h"
#include "FakeHelp.h"
#include "FakePrompts.h"
#include "HelpWindow.h"
#include "IniOut.h"
#include "MessageBoxPrompts.h"
#include "OpenPool.h"
#include "Options.h"
#include "Pictures.h"
#include "Registry.h"
#include "ScoringRule.h"
#include "SplashHelp02.h"
#include "SplashHelp1.h"
#include "TestPools.h"

// Properties of every kind the window-state store converts.
class TSample : public QObject {
  Q_OBJECT
  Q_PROPERTY(int Count MEMBER FCount)
  Q_PROPERTY(bool enabled MEMBER FEnabled)
  Q_PROPERTY(Qt::CheckState state MEMBER FState)
  Q_PROPERTY(Qt::Alignment alignment MEMBER FAlignment)
  Q_PROPERTY(QChar initial MEMBER FInitial)
  Q_PROPERTY(double ratio MEMBER FRatio)
  Q_PROPERTY(QString caption MEMBER FCaption)
  Q_PROPERTY(QStringList lines MEMBER FLines)
  Q_PROPERTY(QColor colour MEMBER FColour)
  Q_PROPERTY(QObject* partner MEMBER FPartner)

 public:
  void Reset() {
    FCount = 0;
    FEnabled = false;
    FState = Qt::Unchecked;
    FAlignment = Qt::AlignLeft;
    FInitial = QChar();
    FRatio = 0;
    FCaption.clear();
    FLines.clear();
    FColour = QColor();
    FPartner = nullptr;
  }

  int FCount = 0;
  bool FEnabled = false;
  Qt::CheckState FState = Qt::Unchecked;
  Qt::Alignment FAlignment = Qt::AlignLeft;
  QChar FInitial;
  double FRatio = 0;
  QString FCaption;
  QStringList FLines;
  QColor FColour;
  QObject* FPartner = nullptr;
};

namespace {
const QString kFormState = QStringLiteral("Tarnwell\\Courtsider\\Form State\\");

QString Stored(const QString& key, const QString& name) {
  TRegistry registry;
  if (!registry.OpenKey(kFormState + key, false) || !registry.ValueExists(name))
    return QString();
  return registry.ReadString(name);
}

void Store(const QString& key, const QString& name, const QString& value) {
  TRegistry registry;
  registry.OpenKey(kFormState + key, true);
  registry.WriteString(name, value);
  registry.Flush();
}

QStringList LabelTexts(const QWidget& window) {
  QStringList texts;
  for (const QLabel* label : window.findChildren<QLabel*>())
    texts << label->text();
  return texts;
}

QString HelpSource() {
  return QDir(qEnvironmentVariable("COURTSIDER_SOURCE_DIR"))
      .filePath(QStringLiteral("src/platform/help"));
}
}  // namespace

class TestDialogs : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void iniOutAppliesDefaultsOnFirstRun();
  void iniOutStoresAndRestoresWindowGeometry();
  void iniOutIgnoresUnconvertibleValue();
  void iniOutSkipsIncompleteAndUnknownItems();
  void iniOutConvertsEveryKind();
  void iniOutFileNameAndRoot();
  void iniOutFitsWindowsOnScreens_data();
  void iniOutFitsWindowsOnScreens();
  void iniOutRestoresOntoTheScreensThereAre();
  void promptsBelongToTheAskingWindow();
  void questionsGiveTheSafeAnswerToEscAndTheCloseBox();
  void tipsReadDontShowHelp_data();
  void tipsReadDontShowHelp();
  void tipsStoreTickOnOkAndDestruction();
  void tipsShowTheirLines();

  void optionsLoadOnActivation();
  void optionsOkStoresFields();
  void optionsOkWithoutChangesLeavesPoolUnmodified();
  void optionsCancelStoresNothing();
  void optionsFieldLimits();
  void optionsRefusesRoundWithoutFirstDigit();
  void optionsOkStopsAtUnconvertibleRound();
  void optionsFollowReplacedPool();
  void optionsOkIsOneStepToUndo();

  void aboutBoxTexts();
  void picturesDecode();

  void helpOpensTopicOfContext();
  void helpTopicsExist();
  void helpLinksLeadToPagesAndAnchors();
  void helpReportsMissingPages();

 private:
  std::unique_ptr<QTemporaryDir> FDir;
  TFakePrompts FPrompts;
  TFakeHelp FHelp;
  TPrompts* FPreviousPrompts = nullptr;
  THelp* FPreviousHelp = nullptr;
};

void TestDialogs::init() {
  // A fresh settings file for every test: nothing read or written reaches the user's own.
  FDir = std::make_unique<QTemporaryDir>();
  QVERIFY(FDir->isValid());
  TRegistry::SetStoreFile(FDir->filePath(QStringLiteral("settings.ini")));
  FPrompts.Reset();
  FPreviousPrompts = TPrompts::Install(&FPrompts);
  FPreviousHelp = THelp::Install(&FHelp);
}

void TestDialogs::cleanup() {
  TPrompts::Install(FPreviousPrompts);
  THelp::Install(FPreviousHelp);
  TRegistry::SetStoreFile(QString());
  FDir.reset();
}

// One 1366 x 768 screen, and beside it on the right a 1280 x 1024 one; available areas less
// a 32-pixel panel at the bottom of the first.
const QRect kLaptop(0, 0, 1366, 736);
const QRect kMonitor(1366, 0, 1280, 1024);

void TestDialogs::iniOutFitsWindowsOnScreens_data() {
  QTest::addColumn<QList<QRect>>("screens");
  QTest::addColumn<QRect>("stored");
  QTest::addColumn<QRect>("fitted");
  const QList<QRect> laptop{kLaptop};
  const QList<QRect> both{kLaptop, kMonitor};
  QTest::newRow("on screen") << laptop << QRect(173, 55, 491, 434) << QRect(173, 55, 491, 434);
  QTest::newRow("partly off, mostly on")
      << laptop << QRect(1100, 300, 400, 300) << QRect(1100, 300, 400, 300);
  QTest::newRow("monitor unplugged")
      << laptop << QRect(1500, 100, 740, 475) << QRect(626, 100, 740, 475);
  QTest::newRow("far below") << laptop << QRect(100, 5000, 662, 478) << QRect(100, 258, 662, 478);
  QTest::newRow("left of everything")
      << laptop << QRect(-2000, -300, 491, 434) << QRect(0, 0, 491, 434);
  QTest::newRow("title bar above the screen")
      << laptop << QRect(200, -60, 491, 434) << QRect(200, 0, 491, 434);
  QTest::newRow("larger than the screen")
      << laptop << QRect(0, 0, 1600, 1200) << QRect(0, 0, 1366, 736);
  QTest::newRow("taller than the screen, on it")
      << laptop << QRect(300, 20, 700, 900) << QRect(300, 0, 700, 736);
  QTest::newRow("on the second screen")
      << both << QRect(1500, 100, 740, 900) << QRect(1500, 100, 740, 900);
  QTest::newRow("mostly on the second screen, too tall for the first")
      << both << QRect(1300, 100, 740, 900) << QRect(1300, 100, 740, 900);
  QTest::newRow("beyond the second screen")
      << both << QRect(4000, 2000, 740, 475) << QRect(1906, 549, 740, 475);
}

void TestDialogs::iniOutFitsWindowsOnScreens() {
  QFETCH(QList<QRect>, screens);
  QFETCH(QRect, stored);
  QFETCH(QRect, fitted);
  QCOMPARE(TIniOut::FitOnScreens(stored, screens), fitted);
  // The title bar and borders the window manager puts around the window come on screen too.
  const QMargins frame(1, 20, 1, 5);
  const QRect framed = TIniOut::FitOnScreens(stored, screens, frame);
  const QRect whole(framed.topLeft(), framed.size().grownBy(frame));
  QVERIFY(std::any_of(screens.begin(), screens.end(),
                      [&whole](const QRect& screen) { return screen.intersects(whole); }));
  if (fitted != stored)
    QVERIFY(std::any_of(screens.begin(), screens.end(),
                        [&whole](const QRect& screen) { return screen.contains(whole); }));
}

// The window is brought back on restore; what the user does with it afterwards is stored as
// it is.
void TestDialogs::iniOutRestoresOntoTheScreensThereAre() {
  Store(QStringLiteral("BracketBuild"), QStringLiteral("Left"), QStringLiteral("1500"));
  Store(QStringLiteral("BracketBuild"), QStringLiteral("Top"), QStringLiteral("100"));
  Store(QStringLiteral("BracketBuild"), QStringLiteral("Width"), QStringLiteral("1400"));
  QWidget builder;
  builder.setObjectName(QStringLiteral("frmBracketBuild"));
  TIniOut store(&builder);
  store.SetItems(TIniOut::kBracketBuildItems);
  store.SetAvailableScreens({kLaptop});
  store.RestoreWindowState();
  QCOMPARE(QRect(builder.pos(), builder.size()), QRect(0, 100, 1366, 475));

  // Only the window's own placement counts: a tips dialog's tick moves nothing.
  QWidget owner;
  owner.setObjectName(QStringLiteral("frmOwner"));
  owner.move(5000, 5000);
  auto* tick = new QCheckBox(&owner);
  tick->setObjectName(QStringLiteral("chkDontShow"));
  TIniOut tickStore(&owner);
  tickStore.SetItems(TIniOut::kSplashHelp1Items);
  tickStore.SetAvailableScreens({kLaptop});
  tickStore.RestoreWindowState();
  QCOMPARE(owner.pos(), QPoint(5000, 5000));
}

// A box is centred on the window that asked; one asked for by a window no longer shown (a
// dialog just closed) goes to the main window.
// The boxes as the program shows them: Esc and the close box give the answer that changes
// nothing, Enter the one the caller names.
void TestDialogs::questionsGiveTheSafeAnswerToEscAndTheCloseBox() {
  auto answered = [](TPrompts::Buttons buttons, TPrompts::Answer defaultAnswer,
                     const std::function<void(QMessageBox&)>& act) {
    QMessageBox box;
    TMessageBoxPrompts::SetButtons(box, buttons, defaultAnswer);
    box.show();
    act(box);
    return box.standardButton(box.clickedButton());
  };
  auto esc = [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); };
  auto closeBox = [](QMessageBox& box) { box.close(); };
  auto enter = [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); };
  using TButtons = TPrompts::Buttons;
  using TAnswer = TPrompts::Answer;
  QCOMPARE(answered(TButtons::YesNoCancel, TAnswer::Yes, esc), QMessageBox::Cancel);
  QCOMPARE(answered(TButtons::YesNoCancel, TAnswer::Yes, closeBox), QMessageBox::Cancel);
  QCOMPARE(answered(TButtons::YesNoCancel, TAnswer::Yes, enter), QMessageBox::Yes);
  QCOMPARE(answered(TButtons::YesNo, TAnswer::Yes, esc), QMessageBox::No);
  QCOMPARE(answered(TButtons::YesNo, TAnswer::No, enter), QMessageBox::No);
  QCOMPARE(answered(TButtons::Ok, TAnswer::Yes, enter), QMessageBox::Ok);
}

void TestDialogs::promptsBelongToTheAskingWindow() {
  QWidget main;
  QDialog dialog(&main);
  auto* field = new QLineEdit(&dialog);
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  QCOMPARE(TMessageBoxPrompts::ParentFor(field, &main), &dialog);
  dialog.hide();
  QCOMPARE(TMessageBoxPrompts::ParentFor(field, &main), &main);
  QCOMPARE(TMessageBoxPrompts::ParentFor(nullptr, &main), &main);

  // The asker travels with the message, and is forgotten after it.
  FPrompts.Refuse(QStringLiteral("Refused"), &dialog);
  FPrompts.Inform(QStringLiteral("Told"));
  QCOMPARE(FPrompts.Shown().at(0).Asker, &dialog);
  QCOMPARE(FPrompts.Shown().at(1).Asker, nullptr);
}

void TestDialogs::iniOutAppliesDefaultsOnFirstRun() {
  QWidget window;
  window.setObjectName(QStringLiteral("MainForm"));
  window.setGeometry(10, 10, 100, 100);
  TIniOut store(&window);
  store.SetItems(TIniOut::kMainFormItems);
  store.RestoreWindowState();
  QCOMPARE(window.size(), QSize(491, 434));
  QCOMPARE(window.pos(), QPoint(173, 55));

  QWidget builder;
  builder.setObjectName(QStringLiteral("frmBracketBuild"));
  TIniOut builderStore(&builder);
  builderStore.SetItems(TIniOut::kBracketBuildItems);
  builderStore.RestoreWindowState();
  QCOMPARE(builder.geometry().size(), QSize(740, 475));
  QCOMPARE(builder.pos(), QPoint(23, 53));

  QWidget entry;
  entry.setObjectName(QStringLiteral("frmPlayerEntryForm"));
  TIniOut entryStore(&entry);
  entryStore.SetItems(TIniOut::kPlayerEntryItems);
  entryStore.RestoreWindowState();
  QCOMPARE(entry.size(), QSize(662, 478));
  QCOMPARE(entry.pos(), QPoint(82, 53));
}

void TestDialogs::iniOutStoresAndRestoresWindowGeometry() {
  {
    QWidget window;
    window.setObjectName(QStringLiteral("MainForm"));
    window.move(40, 30);
    window.resize(600, 450);
    TIniOut store(&window);
    store.SetItems(TIniOut::kMainFormItems);
    store.StoreWindowState();
  }
  QCOMPARE(Stored(QStringLiteral("MainForm"), QStringLiteral("Width")), QStringLiteral("600"));
  QCOMPARE(Stored(QStringLiteral("MainForm"), QStringLiteral("Height")), QStringLiteral("450"));
  QCOMPARE(Stored(QStringLiteral("MainForm"), QStringLiteral("Left")), QStringLiteral("40"));
  QCOMPARE(Stored(QStringLiteral("MainForm"), QStringLiteral("Top")), QStringLiteral("30"));

  QWidget again;
  again.setObjectName(QStringLiteral("MainForm"));
  TIniOut store(&again);
  store.SetItems(TIniOut::kMainFormItems);
  store.RestoreWindowState();
  QCOMPARE(again.size(), QSize(600, 450));
  QCOMPARE(again.pos(), QPoint(40, 30));
  // Put away as the program ends, a maximised window is given its normal size back by the
  // window manager: what is stored is the size it was shown at.
  again.show();
  QVERIFY(QTest::qWaitForWindowExposed(&again));
  again.resize(1300, 700);
  again.hide();
  again.resize(600, 450);
  store.StoreWindowState();
  QCOMPARE(Stored(QStringLiteral("MainForm"), QStringLiteral("Width")), QStringLiteral("1300"));
  QCOMPARE(Stored(QStringLiteral("MainForm"), QStringLiteral("Height")), QStringLiteral("700"));
}

void TestDialogs::iniOutIgnoresUnconvertibleValue() {
  Store(QStringLiteral("MainForm"), QStringLiteral("Width"), QStringLiteral("abc"));
  Store(QStringLiteral("MainForm"), QStringLiteral("Height"), QStringLiteral("300"));
  QWidget window;
  window.setObjectName(QStringLiteral("MainForm"));
  window.resize(491, 434);
  TIniOut store(&window);
  store.SetItems(TIniOut::kMainFormItems);
  store.RestoreWindowState();
  QCOMPARE(window.width(), 491);
  QCOMPARE(window.height(), 300);
}

void TestDialogs::iniOutSkipsIncompleteAndUnknownItems() {
  QWidget window;
  window.setObjectName(QStringLiteral("frmSample"));
  window.resize(200, 100);
  auto* tick = new QCheckBox(&window);
  tick->setObjectName(QStringLiteral("chkSample"));
  // A check box of a dialog that the window owns belongs to that dialog, not to the window.
  auto* dialog = new QDialog(&window);
  auto* foreign = new QCheckBox(dialog);
  foreign->setObjectName(QStringLiteral("chkForeign"));

  TIniOut store(&window);
  store.SetItems({
      QStringLiteral(";Width;300;Tarnwell\\Courtsider\\Form State\\Sample;Width;1;0"),
      QStringLiteral("frmSample;;300;Tarnwell\\Courtsider\\Form State\\Sample;Width;1;0"),
      QStringLiteral("frmSample;Width;300;;Width;1;0"),
      QStringLiteral("frmSample;Width;300;Tarnwell\\Courtsider\\Form State\\Sample"),
      QStringLiteral("lstMissing;Width;300;Tarnwell\\Courtsider\\Form State\\Sample;Width;1;0"),
      QStringLiteral("frmSample;Colour;300;Tarnwell\\Courtsider\\Form State\\Sample;Colour;1;0"),
      QStringLiteral("chkForeign;Checked;1;Tarnwell\\Courtsider\\Form State\\Sample;Foreign;1;0"),
      // Blanks and control characters around fields do not count.
      QStringLiteral(
          " frmSample ;\tHeight ; 150 ;Tarnwell\\Courtsider\\Form State\\Sample; Height ;1;0"),
      QStringLiteral("chkSample;Checked;True;Tarnwell\\Courtsider\\Form State\\Sample;Tick;1;1"),
  });
  store.RestoreWindowState();
  QCOMPARE(window.size(), QSize(200, 150));
  QVERIFY(tick->isChecked());
  QVERIFY(!foreign->isChecked());

  tick->setChecked(false);
  store.StoreWindowState();
  QCOMPARE(Stored(QStringLiteral("Sample"), QStringLiteral("Height")), QStringLiteral("150"));
  QVERIFY(Stored(QStringLiteral("Sample"), QStringLiteral("Width")).isNull());
  QVERIFY(Stored(QStringLiteral("Sample"), QStringLiteral("Foreign")).isNull());
  // Read only: restored but never written back.
  QVERIFY(Stored(QStringLiteral("Sample"), QStringLiteral("Tick")).isNull());
}

void TestDialogs::iniOutConvertsEveryKind() {
  QWidget window;
  window.setObjectName(QStringLiteral("frmKinds"));
  auto* sample = new TSample;
  sample->setParent(&window);
  sample->setObjectName(QStringLiteral("Sample"));
  auto* other = new QObject(&window);
  other->setObjectName(QStringLiteral("Other"));
  const QStringList names = {QStringLiteral("Count"),   QStringLiteral("Enabled"),
                             QStringLiteral("State"),   QStringLiteral("Alignment"),
                             QStringLiteral("Initial"), QStringLiteral("Ratio"),
                             QStringLiteral("Caption"), QStringLiteral("Lines"),
                             QStringLiteral("Colour"),  QStringLiteral("Partner")};
  QStringList items;
  for (const QString& name : names) {
    items << QStringLiteral("Sample;%1;;Tarnwell\\Courtsider\\Form State\\Kinds;%1;1;0").arg(name);
  }
  TIniOut store(&window);
  store.SetItems(items);

  sample->FCount = -42;
  sample->FEnabled = true;
  sample->FState = Qt::PartiallyChecked;
  sample->FAlignment = Qt::AlignRight | Qt::AlignBottom;
  sample->FInitial = QLatin1Char('Q');
  sample->FRatio = 0.1;
  sample->FCaption = QStringLiteral("Office; pool");
  sample->FLines = {QStringLiteral("one"), QStringLiteral("two")};
  sample->FColour = QColor(0x12, 0x34, 0x56);
  sample->FPartner = other;
  store.StoreWindowState();

  const QString key = QStringLiteral("Kinds");
  QCOMPARE(Stored(key, QStringLiteral("Count")), QStringLiteral("-42"));
  QCOMPARE(Stored(key, QStringLiteral("Enabled")), QStringLiteral("1"));
  QCOMPARE(Stored(key, QStringLiteral("State")), QStringLiteral("PartiallyChecked"));
  QCOMPARE(Stored(key, QStringLiteral("Alignment")), QStringLiteral("[AlignRight,AlignBottom]"));
  QCOMPARE(Stored(key, QStringLiteral("Initial")), QStringLiteral("Q"));
  QCOMPARE(Stored(key, QStringLiteral("Ratio")), QStringLiteral("0.1"));
  QCOMPARE(Stored(key, QStringLiteral("Caption")), QStringLiteral("Office; pool"));
  QCOMPARE(Stored(key, QStringLiteral("Lines")), QStringLiteral("one|two"));
  QCOMPARE(Stored(key, QStringLiteral("Colour")), QStringLiteral("#123456"));
  QCOMPARE(Stored(key, QStringLiteral("Partner")), QStringLiteral("Other"));

  sample->Reset();
  store.RestoreWindowState();
  QCOMPARE(sample->FCount, -42);
  QCOMPARE(sample->FEnabled, true);
  QCOMPARE(sample->FState, Qt::PartiallyChecked);
  QCOMPARE(sample->FAlignment, Qt::AlignRight | Qt::AlignBottom);
  QCOMPARE(sample->FInitial, QLatin1Char('Q'));
  QCOMPARE(sample->FRatio, 0.1);
  QCOMPARE(sample->FCaption, QStringLiteral("Office; pool"));
  QCOMPARE(sample->FLines, QStringList({QStringLiteral("one"), QStringLiteral("two")}));
  QCOMPARE(sample->FColour, QColor(0x12, 0x34, 0x56));
  QCOMPARE(sample->FPartner, other);

  // Texts that do not convert leave the properties as they are.
  Store(key, QStringLiteral("Count"), QStringLiteral("12x"));
  Store(key, QStringLiteral("State"), QStringLiteral("Sideways"));
  Store(key, QStringLiteral("Partner"), QStringLiteral("Nobody"));
  Store(key, QStringLiteral("Colour"), QStringLiteral("not a colour"));
  store.RestoreWindowState();
  QCOMPARE(sample->FCount, -42);
  QCOMPARE(sample->FState, Qt::PartiallyChecked);
  QCOMPARE(sample->FPartner, other);
  QCOMPARE(sample->FColour, QColor(0x12, 0x34, 0x56));
}

void TestDialogs::iniOutFileNameAndRoot() {
  QWidget window;
  window.setObjectName(QStringLiteral("MainForm"));
  TIniOut store(&window);
  QCOMPARE(store.RegistryRoot(), TIniOut::TRegistryRoot::CurrentUser);
  store.SetFileName(QStringLiteral("Courtsider.cfg"));
  QCOMPARE(store.FileName(), QStringLiteral("COURTSIDER.INI"));
  store.SetFileName(QStringLiteral("C:\\Pools.v2\\state"));
  QCOMPARE(store.FileName(), QStringLiteral("C:\\POOLS.V2\\STATE.INI"));

  // Only the current user's settings are reachable: another root reads defaults, writes nothing.
  Store(QStringLiteral("MainForm"), QStringLiteral("Width"), QStringLiteral("700"));
  store.SetItems(TIniOut::kMainFormItems);
  store.SetRegistryRoot(TIniOut::TRegistryRoot::LocalMachine);
  store.RestoreWindowState();
  QCOMPARE(window.width(), 491);
  store.StoreWindowState();
  QCOMPARE(Stored(QStringLiteral("MainForm"), QStringLiteral("Width")), QStringLiteral("700"));
  QVERIFY(Stored(QStringLiteral("MainForm"), QStringLiteral("Height")).isNull());
}

void TestDialogs::tipsReadDontShowHelp_data() {
  QTest::addColumn<QString>("stored");
  QTest::addColumn<bool>("ticked");
  QTest::newRow("Yes") << QStringLiteral("Yes") << true;
  QTest::newRow("true") << QStringLiteral("true") << true;
  QTest::newRow("1") << QStringLiteral("1") << true;
  QTest::newRow("T") << QStringLiteral("T") << true;
  QTest::newRow("False") << QStringLiteral("False") << false;
  QTest::newRow("0") << QStringLiteral("0") << false;
  QTest::newRow("no") << QStringLiteral("no") << false;
  QTest::newRow("empty") << QString() << false;
}

void TestDialogs::tipsReadDontShowHelp() {
  QFETCH(QString, stored);
  QFETCH(bool, ticked);
  Store(QStringLiteral("SplashHelp1"), QStringLiteral("dontShowHelp"), stored);
  Store(QStringLiteral("SplashHelp2"), QStringLiteral("dontShowHelp"), stored);
  TdlgSplashHelp1 builderTips;
  TdlgSplashHelp02 entryTips;
  QCOMPARE(builderTips.chkDontShow->isChecked(), ticked);
  QCOMPARE(entryTips.chkDontShow->isChecked(), ticked);
}

void TestDialogs::tipsStoreTickOnOkAndDestruction() {
  {
    TdlgSplashHelp1 tips;
    QVERIFY(!tips.chkDontShow->isChecked());
    tips.show();
    tips.chkDontShow->setChecked(true);
    tips.OKBtnClick();
    QCOMPARE(tips.result(), int(QDialog::Accepted));
    QVERIFY(!tips.isVisible());
    QCOMPARE(Stored(QStringLiteral("SplashHelp1"), QStringLiteral("dontShowHelp")),
             QStringLiteral("1"));
    QVERIFY(Stored(QStringLiteral("SplashHelp2"), QStringLiteral("dontShowHelp")).isNull());
  }
  {
    TdlgSplashHelp1 tips;
    QVERIFY(tips.chkDontShow->isChecked());
  }
  {
    TdlgSplashHelp02 tips;
    QVERIFY(!tips.chkDontShow->isChecked());
    tips.chkDontShow->setChecked(true);
  }
  QCOMPARE(Stored(QStringLiteral("SplashHelp2"), QStringLiteral("dontShowHelp")),
           QStringLiteral("1"));
}

void TestDialogs::tipsShowTheirLines() {
  TdlgSplashHelp1 builderTips;
  QCOMPARE(builderTips.windowTitle(), QStringLiteral("Courtsider Tips"));
  QCOMPARE(builderTips.size(), QSize(336, 214));
  QCOMPARE(
      LabelTexts(builderTips),
      QStringList({QStringLiteral("Bracket Builder"),
                   QStringLiteral("Tips on filling in the brackets:"),
                   QStringLiteral("1.  Enter teams into the list to the left."),
                   QStringLiteral("2.  Drag and drop the team from the list over to the "),
                   QStringLiteral("appropriate place on the brackets."),
                   QStringLiteral("3.  To advance a team, aim and double click the left"),
                   QStringLiteral("mouse button.  To remove, aim and click the right button.")}));
  QCOMPARE(builderTips.chkDontShow->text(), QStringLiteral("Don't show me this dialog again."));
  QCOMPARE(builderTips.chkDontShow->pos(), QPoint(16, 144));
  QCOMPARE(builderTips.OKBtn->geometry(), QRect(119, 180, 75, 25));
  QVERIFY(builderTips.OKBtn->isDefault());

  TdlgSplashHelp02 entryTips;
  QCOMPARE(entryTips.windowTitle(), QStringLiteral("Courtsider Tips"));
  QCOMPARE(entryTips.size(), QSize(377, 238));
  QCOMPARE(LabelTexts(entryTips),
           QStringList(
               {QStringLiteral("Player Entry Form"),
                QStringLiteral("Tips on filling in the player entry brackets:"),
                QStringLiteral("1.  Drag the team name to its predicted final position in the"),
                QStringLiteral("     tournament and drop the team on the line.  Courtsider will"),
                QStringLiteral("     fill in the rest for you automatically."),
                QStringLiteral("Remember:  You do not need to fill in every game."),
                QStringLiteral("Let Courtsider do it for you with drag-and-drop fill-in."),
                QStringLiteral("Start with the Champion and work back to the 1st Round.")}));
  QCOMPARE(entryTips.chkDontShow->pos(), QPoint(24, 168));
  QCOMPARE(entryTips.OKBtn->geometry(), QRect(151, 205, 75, 25));
}

namespace {
// A pool with settings that differ from a new pool's in every field.
std::unique_ptr<TFFDataModule> SettledPool(const QString& directory) {
  QDir().mkpath(directory);
  auto pool = TestPools::CreatePool(directory);
  TSystemFile& system = pool->SystemFile();
  system.SetPoolName(QStringLiteral("Office Pool"));
  const QString names[] = {QStringLiteral("North"), QStringLiteral("South"), QStringLiteral("East"),
                           QStringLiteral("West")};
  for (int i = 1; i <= 4; ++i)
    system.SetBracketName(i, names[i - 1]);
  for (int k = 2; k <= 7; ++k)
    system.SetRoundPoints(k, 10 * (k - 1));
  system.SetModified(false);
  return pool;
}

// Replaces a field's text the way typing does, so the field counts as edited.
void Type(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  edit->setCursorPosition(0);
  QTest::keyClicks(edit, text);
}
}  // namespace

void TestDialogs::optionsLoadOnActivation() {
  TOpenPool pool;
  pool.SetDataModule(SettledPool(FDir->filePath(QStringLiteral("Office.BGD"))));
  TfrmOptions window(pool);
  QCOMPARE(window.windowTitle(), QStringLiteral("Pool Options"));
  window.FormActivate();
  QCOMPARE(window.edtPoolName->text(), QStringLiteral("Office Pool"));
  QCOMPARE(window.edtBracket1->text(), QStringLiteral("North"));
  QCOMPARE(window.edtBracket4->text(), QStringLiteral("West"));
  QCOMPARE(window.edtMultRound1->displayText(), QStringLiteral("10 "));
  QCOMPARE(window.edtMultRound6->displayText(), QStringLiteral("60 "));

  // What was typed but not confirmed gives way to the pool's values on the next activation.
  Type(window.edtPoolName, QStringLiteral("Unconfirmed"));
  Type(window.edtMultRound2, QStringLiteral("5"));
  window.FormActivate();
  QCOMPARE(window.edtPoolName->text(), QStringLiteral("Office Pool"));
  QCOMPARE(window.edtMultRound2->displayText(), QStringLiteral("20 "));

  window.btnHelpClick();
  QCOMPARE(FHelp.Contexts(), QList<int>({210}));
}

void TestDialogs::optionsOkStoresFields() {
  TOpenPool pool;
  pool.SetDataModule(SettledPool(FDir->filePath(QStringLiteral("Office.BGD"))));
  TfrmOptions window(pool);
  window.show();
  window.FormActivate();
  Type(window.edtPoolName, QStringLiteral("Hoops at Work"));
  Type(window.edtBracket2, QStringLiteral(""));
  Type(window.edtMultRound1, QStringLiteral("0"));
  Type(window.edtMultRound2, QStringLiteral("7"));
  Type(window.edtMultRound3, QStringLiteral("007"));
  Type(window.edtMultRound6, QStringLiteral("999"));
  // The Scoring page prices its upsets with the values as typed.
  QCOMPARE(window.cbxScoringRule->currentText(), QStringLiteral("Round points"));
  window.pgcOptions->setCurrentIndex(2);
  window.cbxScoringRule->setFocus();
  for (int down = 0; down < 3; ++down)
    QTest::keyClick(window.cbxScoringRule, Qt::Key_Down);
  QCOMPARE(window.cbxScoringRule->currentText(), QStringLiteral("Upset bonus"));
  QCOMPARE(window.lblScoringRule->text(), ScoringRules::Explanation(TScoringRule::UpsetBonus));
  QCOMPARE(window.grdUpsets->item(1, 0)->text(), QStringLiteral("10 over 2, Round 2"));
  QCOMPARE(window.grdUpsets->item(1, 1)->text(), QStringLiteral("15"));
  QCOMPARE(window.grdUpsets->item(1, 2)->text(), QStringLiteral("7"));
  // A first-round loser is always a pick: that case is priced nowhere.
  QCOMPARE(window.grdUpsets->item(0, 2)->text(), QStringLiteral("-"));
  // Prizes that do not add up are refused on their page and nothing is stored; mended, they
  // go in with the rest.
  window.pgcOptions->setCurrentIndex(3);
  Type(window.edtEntryFee, QStringLiteral("10"));
  Type(window.edtPrizeSplit, QStringLiteral("60,30"));
  window.pgcOptions->setCurrentIndex(0);
  window.btnOkClick();
  QCOMPARE(FPrompts.Texts(), QStringList({QStringLiteral("The split adds up to 90%, not 100%.")}));
  QVERIFY(window.isVisible());
  QVERIFY(!pool.DataModule()->Modified());
  QCOMPARE(window.pgcOptions->currentIndex(), 3);
  QCOMPARE(window.focusWidget(), window.edtPrizeSplit);
  FPrompts.Reset();
  Type(window.edtPrizeSplit, QStringLiteral("60,30,10"));
  window.btnOkClick();

  QVERIFY(!window.isVisible());
  QVERIFY(FPrompts.Shown().isEmpty());
  const TSystemFile& system = pool.DataModule()->SystemFile();
  QVERIFY(system.Modified());
  QCOMPARE(system.PoolName(), QStringLiteral("Hoops at Work"));
  QCOMPARE(system.BracketName(1), QStringLiteral("North"));
  QCOMPARE(system.BracketName(2), QString());
  QCOMPARE(system.RoundPoints(2), 0);
  QCOMPARE(system.RoundPoints(3), 7);
  QCOMPARE(system.RoundPoints(4), 7);
  QCOMPARE(system.RoundPoints(5), 40);
  QCOMPARE(system.RoundPoints(7), 999);
  QCOMPARE(pool.DataModule()->ScoringRule(), TScoringRule::UpsetBonus);
  QCOMPARE(pool.Prizes(), (Prizes::TPrizes{1000, {6000, 3000, 1000}}));

  // Opened again, Ctrl+Z in a box takes back what is typed in it while anything typed waits
  // for Ok; with nothing typed it takes back the Ok, and Ctrl+Shift+Z makes it again.
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  window.pgcOptions->setCurrentIndex(0);
  window.edtPoolName->setFocus();
  QTest::keyClicks(window.edtPoolName, QStringLiteral("!"));
  QTest::keyClick(window.edtPoolName, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(window.edtPoolName->text(), QStringLiteral("Hoops at Work"));
  QCOMPARE(system.PoolName(), QStringLiteral("Hoops at Work"));
  QTest::keyClick(window.edtPoolName, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(system.PoolName(), QStringLiteral("Office Pool"));
  QCOMPARE(window.edtPoolName->text(), QStringLiteral("Office Pool"));
  QVERIFY(!pool.Prizes().IsSet());
  QVERIFY(!pool.Modified());
  QTest::keyClick(window.edtPoolName, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(system.PoolName(), QStringLiteral("Hoops at Work"));
  QCOMPARE(window.edtPrizeSplit->text(), QStringLiteral("60,30,10"));
}

void TestDialogs::optionsOkWithoutChangesLeavesPoolUnmodified() {
  TOpenPool pool;
  pool.SetDataModule(SettledPool(FDir->filePath(QStringLiteral("Office.BGD"))));
  TfrmOptions window(pool);
  window.FormActivate();
  window.btnOkClick();
  QVERIFY(!pool.DataModule()->Modified());
  QCOMPARE(pool.DataModule()->SystemFile().RoundPoints(7), 60);
}

void TestDialogs::optionsCancelStoresNothing() {
  TOpenPool pool;
  pool.SetDataModule(SettledPool(FDir->filePath(QStringLiteral("Office.BGD"))));
  TfrmOptions window(pool);
  window.show();
  window.FormActivate();
  Type(window.edtPoolName, QStringLiteral("Changed"));
  Type(window.edtMultRound4, QStringLiteral("3"));
  window.btnCancelClick();
  QVERIFY(!window.isVisible());
  QVERIFY(!pool.DataModule()->Modified());
  QCOMPARE(pool.DataModule()->SystemFile().PoolName(), QStringLiteral("Office Pool"));

  // Escape in an edited round field puts the stored value back rather than closing.
  window.show();
  window.FormActivate();
  Type(window.edtMultRound4, QStringLiteral("3"));
  QTest::keyClick(window.edtMultRound4, Qt::Key_Escape);
  QCOMPARE(window.edtMultRound4->displayText(), QStringLiteral("40 "));
  QVERIFY(window.isVisible());
  QTest::keyClick(window.edtMultRound4, Qt::Key_Escape);
  QVERIFY(!window.isVisible());
  QVERIFY(!pool.DataModule()->Modified());
}

void TestDialogs::optionsFieldLimits() {
  TOpenPool pool;
  pool.SetDataModule(SettledPool(FDir->filePath(QStringLiteral("Office.BGD"))));
  TfrmOptions window(pool);
  window.FormActivate();
  Type(window.edtPoolName, QString(31, QLatin1Char('p')));
  QCOMPARE(window.edtPoolName->text(), QString(30, QLatin1Char('p')));
  Type(window.edtBracket3, QStringLiteral("Northwestern"));
  QCOMPARE(window.edtBracket3->text(), QStringLiteral("Northweste"));
  Type(window.edtMultRound5, QStringLiteral("12345"));
  QCOMPARE(window.edtMultRound5->displayText(), QStringLiteral("123"));
  Type(window.edtMultRound1, QStringLiteral("x-4"));
  QCOMPARE(window.edtMultRound1->displayText(), QStringLiteral("4  "));
  window.btnOkClick();
  QCOMPARE(pool.DataModule()->SystemFile().RoundPoints(6), 123);
  QCOMPARE(pool.DataModule()->SystemFile().RoundPoints(2), 4);
}

void TestDialogs::optionsRefusesRoundWithoutFirstDigit() {
  TOpenPool pool;
  pool.SetDataModule(SettledPool(FDir->filePath(QStringLiteral("Office.BGD"))));
  TfrmOptions window(pool);
  window.show();
  window.FormActivate();
  // Untouched fields pass whatever they hold.
  QVERIFY(window.edtMultRoundExit(window.edtMultRound3));
  QVERIFY(FPrompts.Shown().isEmpty());

  Type(window.edtMultRound3, QString());
  QCOMPARE(window.edtMultRound3->displayText(), QStringLiteral("   "));
  QVERIFY(!window.edtMultRoundExit(window.edtMultRound3));
  QCOMPARE(FPrompts.Shown().size(), 1);
  QCOMPARE(FPrompts.Shown().at(0).Text,
           QStringLiteral("Invalid input value.  Use escape key to abandon changes"));
  // Titled as every other box of the program.
  QCOMPARE(FPrompts.Shown().at(0).Title, kMessageTitle);
  QCOMPARE(FPrompts.Shown().at(0).IconKind, TPrompts::Icon::Stop);

  Type(window.edtMultRound3, QStringLiteral("8"));
  QVERIFY(window.edtMultRoundExit(window.edtMultRound3));
  QCOMPARE(FPrompts.Shown().size(), 1);
}

void TestDialogs::optionsOkStopsAtUnconvertibleRound() {
  TOpenPool pool;
  pool.SetDataModule(SettledPool(FDir->filePath(QStringLiteral("Office.BGD"))));
  TfrmOptions window(pool);
  window.show();
  window.FormActivate();
  Type(window.edtPoolName, QStringLiteral("Renamed"));
  Type(window.edtMultRound1, QStringLiteral("5"));
  Type(window.edtMultRound2, QStringLiteral("1 2"));
  QCOMPARE(window.edtMultRound2->displayText(), QStringLiteral("1 2"));
  Type(window.edtMultRound3, QStringLiteral("9"));
  window.btnOkClick();

  QCOMPARE(FPrompts.Texts(), QStringList({QStringLiteral("'1 2' is not a valid integer value")}));
  QVERIFY(window.isVisible());
  const TSystemFile& system = pool.DataModule()->SystemFile();
  QCOMPARE(system.PoolName(), QStringLiteral("Renamed"));
  QCOMPARE(system.RoundPoints(2), 5);
  QCOMPARE(system.RoundPoints(3), 20);
  QCOMPARE(system.RoundPoints(4), 30);
  QCOMPARE(window.pgcOptions->currentIndex(), 1);

  FPrompts.Reset();
  Type(window.edtMultRound2, QString());
  window.btnOkClick();
  QCOMPARE(FPrompts.Texts(), QStringList({QStringLiteral("'' is not a valid integer value")}));
}

void TestDialogs::optionsFollowReplacedPool() {
  TOpenPool pool;
  pool.SetDataModule(SettledPool(FDir->filePath(QStringLiteral("Office.BGD"))));
  TfrmOptions window(pool);
  window.show();
  window.FormActivate();
  QCOMPARE(window.edtPoolName->text(), QStringLiteral("Office Pool"));

  // Another pool opened while the window is up: its fields show the new pool, and Ok writes
  // there, never into the closed one.
  const QString fresh = FDir->filePath(QStringLiteral("Fresh.BGD"));
  QDir().mkpath(fresh);
  pool.SetDataModule(TestPools::CreatePool(fresh));
  QCOMPARE(window.edtPoolName->text(), QString());
  QCOMPARE(window.edtBracket1->text(), QStringLiteral("Midwest"));
  QCOMPARE(window.edtMultRound6->displayText(), QStringLiteral("32 "));
  Type(window.edtMultRound6, QStringLiteral("64"));
  window.btnOkClick();
  QCOMPARE(pool.DataModule()->SystemFile().RoundPoints(7), 64);
}

void TestDialogs::optionsOkIsOneStepToUndo() {
  TOpenPool pool;
  pool.SetDataModule(SettledPool(FDir->filePath(QStringLiteral("Office.BGD"))));
  TfrmOptions window(pool);
  window.show();
  window.FormActivate();
  const TPoolOptions before = pool.Options();
  QVERIFY(!window.btnUndo->isEnabled());
  Type(window.edtPoolName, QStringLiteral("Hoops at Work"));
  Type(window.edtMultRound3, QStringLiteral("5"));
  window.cbxScoringRule->setCurrentIndex(
      window.cbxScoringRule->findData(static_cast<int>(TScoringRule::SeedBonus)));
  Type(window.edtEntryFee, QStringLiteral("10"));
  Type(window.edtPrizeSplit, QStringLiteral("70,30"));
  window.btnOkClick();
  QVERIFY(!window.isVisible());
  const TPoolOptions after = pool.Options();
  QCOMPARE(after.Prizes, (Prizes::TPrizes{1000, {7000, 3000}}));

  // Back in the window, the one step named; taking it back restores every field of the pool
  // and shows them, and leaves nothing to save.
  window.show();
  window.FormActivate();
  QCOMPARE(window.actEditUndo->text(), QStringLiteral("&Undo Pool Options"));
  QVERIFY(window.btnUndo->isEnabled());
  window.actEditUndo->trigger();
  QCOMPARE(pool.Options(), before);
  QVERIFY(!pool.Prizes().IsSet());
  QVERIFY(!pool.Modified());
  QCOMPARE(window.edtPoolName->text(), QStringLiteral("Office Pool"));
  QCOMPARE(window.edtMultRound3->displayText(), QStringLiteral("30 "));
  QCOMPARE(window.cbxScoringRule->currentText(), QStringLiteral("Round points"));
  QCOMPARE(window.edtEntryFee->text(), QString());
  QCOMPARE(window.actEditRedo->text(), QStringLiteral("&Redo Pool Options"));
  window.btnRedo->click();
  QCOMPARE(pool.Options(), after);
  QVERIFY(pool.Modified());
  QCOMPARE(window.edtPrizeSplit->text(), QStringLiteral("70,30"));
  QCOMPARE(window.edtMultRound3->displayText(), QStringLiteral("5  "));

  // An Ok cut short by a round that does not convert stores what came before it: that is a
  // step too.
  Type(window.edtPoolName, QStringLiteral("Partial"));
  Type(window.edtMultRound2, QStringLiteral("1 2"));
  window.btnOkClick();
  QCOMPARE(pool.Options().PoolName, QStringLiteral("Partial"));
  window.actEditUndo->trigger();
  QCOMPARE(pool.Options(), after);
  QCOMPARE(window.edtMultRound2->displayText(), QStringLiteral("20 "));
}

void TestDialogs::aboutBoxTexts() {
  TfrmAboutBox about;
  QCOMPARE(about.windowTitle(), QStringLiteral("About Courtsider 99"));
  QCOMPARE(about.size(), QSize(415, 223));
  QCOMPARE(about.lblProduct->text(), QStringLiteral("Courtsider 99 for Linux and Windows"));
  QVERIFY(about.lblProduct->font().bold());
  QCOMPARE(about.lblDescription->text(), QStringLiteral("College Basketball Office Pool Manager"));
  QVERIFY(about.lblVersion->text().contains(QStringLiteral("1.00.02")));
  QVERIFY(!about.lblMaker->text().isEmpty());
  QVERIFY(!about.lblMakerNote->text().isEmpty());
  QVERIFY(!about.imgProgram->pixmap().isNull());
  QCOMPARE(about.imgProgram->size(), QSize(169, 153));
  QVERIFY(about.btnOk->isDefault());

  about.show();
  about.btnOkClick();
  QVERIFY(!about.isVisible());
}

void TestDialogs::picturesDecode() {
  for (const QString& path : {Pictures::kMural, Pictures::kAbout}) {
    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(path + QStringLiteral(": ") + reader.errorString()));
    QVERIFY(image.width() >= 169 && image.height() >= 153);
  }
}

void TestDialogs::helpOpensTopicOfContext() {
  THelpWindow help(HelpSource());
  help.ShowContext(2010);
  QVERIFY(help.isVisible());
  QCOMPARE(QFileInfo(help.Browser()->source().toLocalFile()).fileName(),
           QStringLiteral("commands.html"));
  QCOMPARE(help.Browser()->source().fragment(), QStringLiteral("new"));
  QVERIFY(help.Browser()->toPlainText().contains(QStringLiteral("Starts a new pool")));

  help.ShowContext(210);
  QCOMPARE(help.Browser()->documentTitle(), QStringLiteral("Pool Options"));
  help.ShowContext(1600);
  QCOMPARE(help.Browser()->documentTitle(), QStringLiteral("Quick Start Guide"));

  help.ShowContext(4711);
  QCOMPARE(QFileInfo(help.Browser()->source().toLocalFile()).fileName(),
           QStringLiteral("contents.html"));
  QCOMPARE(help.Browser()->documentTitle(), QStringLiteral("Courtsider 99 Help"));
  QVERIFY(FPrompts.Shown().isEmpty());
}

void TestDialogs::helpTopicsExist() {
  // Every context the windows use leads to its own page and anchor, and the build puts the
  // pages beside the program.
  const int contexts[] = {10,   20,   30,  40,  50,  3050, 2010, 2020, 2030,
                          2050, 3010, 620, 110, 120, 210,  1600, 400};
  for (const QString& folder : {HelpSource(), THelpWindow::DefaultFolder()}) {
    for (int context : contexts) {
      const QString topic = THelpWindow::TopicOf(context);
      QVERIFY2(topic != THelpWindow::kContentsPage, qPrintable(QString::number(context)));
      const QUrl url(topic);
      QFile page(QDir(folder).filePath(url.path()));
      QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(page.fileName()));
      if (!url.fragment().isEmpty()) {
        QVERIFY2(
            page.readAll().contains(QStringLiteral("name=\"%1\"").arg(url.fragment()).toUtf8()),
            qPrintable(topic));
      }
    }
    QVERIFY(QFileInfo::exists(QDir(folder).filePath(THelpWindow::kContentsPage)));
  }
}

void TestDialogs::helpLinksLeadToPagesAndAnchors() {
  const QDir folder(HelpSource());
  const QRegularExpression link(QStringLiteral("href=\"([^\"#]*)(?:#([^\"]*))?\""));
  for (const QString& name : folder.entryList({QStringLiteral("*.html")})) {
    QFile page(folder.filePath(name));
    QVERIFY(page.open(QIODevice::ReadOnly));
    for (const auto& match : link.globalMatch(QString::fromUtf8(page.readAll()))) {
      const QString where = name + QStringLiteral(": ") + match.captured(0);
      QFile target(folder.filePath(match.captured(1).isEmpty() ? name : match.captured(1)));
      QVERIFY2(target.open(QIODevice::ReadOnly), qPrintable(where));
      if (!match.captured(2).isEmpty()) {
        QVERIFY2(target.readAll().contains(
                     QStringLiteral("name=\"%1\"").arg(match.captured(2)).toUtf8()),
                 qPrintable(where));
      }
    }
  }
}

void TestDialogs::helpReportsMissingPages() {
  THelpWindow help(FDir->filePath(QStringLiteral("nowhere")));
  help.ShowContext(10);
  QVERIFY(!help.isVisible());
  QCOMPARE(FPrompts.Shown().size(), 1);
  QVERIFY(FPrompts.Shown().at(0).Text.contains(QStringLiteral("help pages")));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
