// The Collect Picks Online window: starting and stopping the server, the address to hand out,
// the entries counted as they come and taken back with Undo.
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QUndoStack>
#include <memory>

#include "CollectPicksForm.h"
#include "HttpProbe.h"
#include "PicksServer.h"
#include "ServerFixture.h"

class TestCollectPicks : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TServerFixture> F;
  std::unique_ptr<TfrmCollectPicks> Form;

  // The window on this computer's own address and any free port, closing in an hour.
  void Prepare() {
    Form->cbxAddress->setCurrentIndex(Form->cbxAddress->findData(QStringLiteral("127.0.0.1")));
    Form->edtPort->setValue(0);
    Form->edtCloses->setDateTime(QDateTime::currentDateTime().addSecs(3600));
  }

  int Send(const QString& name) {
    const quint16 port = Form->Server().Port();
    return HttpProbe::Send(
               HttpProbe::PostEntry(TServerFixture::Entry(name, "120", F->Winners()), port), port)
        .Status;
  }

 private slots:
  void init() {
    F = std::make_unique<TServerFixture>();
    Form = std::make_unique<TfrmCollectPicks>(F->Pool);
  }

  void cleanup() {
    Form.reset();
    F.reset();
  }

  void offersThisComputerLast() {
    const QStringList addresses = TfrmCollectPicks::LocalAddresses();
    QCOMPARE(addresses.last(), QStringLiteral("127.0.0.1"));
    QCOMPARE(Form->cbxAddress->count(), addresses.size());
    QCOMPARE(Form->cbxAddress->itemText(addresses.size() - 1),
             QStringLiteral("127.0.0.1 (this computer only)"));
    QVERIFY(!Form->btnStop->isEnabled());
  }

  void aClosingTimeThatHasPassedIsRefused() {
    Prepare();
    Form->edtCloses->setDateTime(QDateTime::currentDateTime().addSecs(-60));
    Form->btnStartClick();
    QCOMPARE(F->Prompts.Texts(), QStringList{TfrmCollectPicks::kClosesInPast});
    QVERIFY(!Form->Server().IsRunning());
  }

  void aPortInUseIsRefusedWithTheReason() {
    Prepare();
    TPicksServer other(F->Pool);
    QString reason;
    QVERIFY(other.Start(QStringLiteral("127.0.0.1"), 0, QDateTime(), &reason));
    Form->edtPort->setValue(other.Port());
    Form->btnStartClick();
    QVERIFY(!Form->Server().IsRunning());
    QCOMPARE(F->Prompts.Shown().size(), 1);
    QVERIFY(F->Prompts.Shown().first().Text.contains("Address already in use"));
  }

  void unlockingStopsIt() {
    Prepare();
    Form->btnStartClick();
    QVERIFY(Form->Server().IsRunning());
    F->Pool.Unlock();
    QVERIFY(!Form->Server().IsRunning());
    QVERIFY(Form->btnStart->isEnabled());
  }

  // A name sent to steer a terminal or forge a line stays one escaped, quoted value in the
  // log, with who was refused and why.
  void namesFromOutsideAreLoggedEscaped() {
    Prepare();
    Form->btnStartClick();
    const quint16 port = Form->Server().Port();
    const QString name = QStringLiteral("\x1b[2J\x1b]0;Mine\x07\nNew \"Al\" \u202e");
    const QJsonObject entry{{"name", name}, {"guess", "120"}, {"winners", QJsonArray{"Nobody"}}};
    QCOMPARE(HttpProbe::Send(HttpProbe::PostEntry(QJsonDocument(entry).toJson(), port), port)
                 .Status,
             422);
    const QString line = Form->lstEntries->item(Form->lstEntries->count() - 1)->text();
    QVERIFY2(line.contains(QStringLiteral(
                 " refused \"\\u001b[2J\\u001b]0;Mine\\u0007\\nNew \\\"Al\\\" \\u202e\": ")),
             qPrintable(line));
    QVERIFY2(line.contains(QStringLiteral("Nobody")), qPrintable(line));
    for (const QChar c : line)
      QVERIFY(c.isPrint());
  }

  // Through real clicks and keys: Start, entries from a browser counted at once, Ctrl+Z
  // takes the last back, Close stops the server; the window then goes with an entry still
  // to undo.
  void startCountUndoAndClose() {
    Prepare();
    Form->show();
    QVERIFY(QTest::qWaitForWindowExposed(Form.get()));
    QTest::mouseClick(Form->btnStart, Qt::LeftButton);
    QVERIFY(Form->Server().IsRunning());
    QVERIFY(!Form->cbxAddress->isEnabled());
    const quint16 port = Form->Server().Port();
    QCOMPARE(Form->lblUrl->text(), QStringLiteral("http://127.0.0.1:%1/").arg(port));
    QVERIFY(Form->lblState->text().startsWith("Taking entries until "));

    QCOMPARE(Send(QStringLiteral("Bea")), 200);
    QCOMPARE(Send(QStringLiteral("Cy")), 200);
    QCOMPARE(Send(QStringLiteral("Bea")), 409);
    QCOMPARE(Form->lblCount->text(), TfrmCollectPicks::kCount.arg(2).arg(0).arg(1));
    QCOMPARE(F->PlayerCount(), 3);

    Form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Form.get()));
    QTest::keyClick(Form.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(F->PlayerCount(), 2);

    QTest::mouseClick(Form->btnClose, Qt::LeftButton);
    QVERIFY(!Form->isVisible());
    QVERIFY(!Form->Server().IsRunning());
    QCOMPARE(HttpProbe::Exchange(HttpProbe::Request("GET", "/", port), port).Status, 0);
  }
};

QTEST_MAIN(TestCollectPicks)
#include "tst_collect_picks.moc"
