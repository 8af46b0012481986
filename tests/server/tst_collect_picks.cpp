// The Collect Picks Online window: starting and stopping the server, the address to hand out,
// the entries counted as they come and taken back with Undo.
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QUndoStack>
#include <memory>

#include "CollectPicksForm.h"
#include "EntryDesk.h"
#include "HttpProbe.h"
#include "LiveServer.h"
#include "PicksServer.h"
#include "Registry.h"
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
    TRegistry::SetStoreFile(F->Dir.filePath(QStringLiteral("settings.ini")));
    Form = std::make_unique<TfrmCollectPicks>(F->Pool);
  }

  void cleanup() {
    Form.reset();
    TRegistry::SetStoreFile(QString());
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

  // No closing time is proposed: Start asks for the first game's tip-off. Once a game has
  // its winner, Start serves the standings, read-only, whatever the time.
  void startAsksForTheTipOffAndServesTheStandingsAfterAResult() {
    QCOMPARE(Form->edtCloses->text(), TfrmCollectPicks::kClosesNotChosen);
    Form->btnStartClick();
    QVERIFY(!Form->Server().IsRunning());
    Prepare();
    QVERIFY(F->Pool.AdvanceTeam(1));
    QVERIFY(F->Pool.Save());
    Form->btnStartClick();
    QVERIFY(!Form->Server().IsRunning());
    QVERIFY(Form->Standings());
    QCOMPARE(F->Prompts.Texts(), QStringList({TfrmCollectPicks::kAskCloses}));
    QCOMPARE(Form->lblState->text(), TfrmCollectPicks::kServingStandings);
    const quint16 port = Form->Standings()->Port();
    const auto page = HttpProbe::Exchange(HttpProbe::Request("GET", "/", port), port);
    QCOMPARE(page.Status, 200);
    QVERIFY(page.Body.contains("<a href=\"/player/1\">Already Here</a>"));
  }

  // The first result closes the entries: the address handed out goes on serving, the
  // standings now, until Stop.
  void theFirstResultHandsTheAddressToTheStandings() {
    Prepare();
    Form->btnStartClick();
    const quint16 port = Form->Server().Port();
    QVERIFY(F->Pool.AdvanceTeam(1));
    QVERIFY(!Form->Server().IsRunning());
    QVERIFY(Form->Standings());
    QCOMPARE(Form->Standings()->Port(), port);
    QCOMPARE(Form->lblUrl->text(), QStringLiteral("http://127.0.0.1:%1/").arg(port));
    QCOMPARE(HttpProbe::Exchange(HttpProbe::Request("GET", "/", port), port).Status, 200);
    QCOMPARE(HttpProbe::Exchange(HttpProbe::PostEntry("{}", port), port).Status, 404);
    QTest::mouseClick(Form->btnStop, Qt::LeftButton);
    QVERIFY(!Form->Standings());
    QCOMPARE(Form->lblState->text(), TfrmCollectPicks::kStopped);
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

  // The invited read from a file by a real click, the fake prompts choosing it; who has not
  // entered follows the entries as they come, and is saved with the pool.
  void theInvitedWhoHaveNotEntered() {
    QCOMPARE(Form->lblMissing->text(), TfrmCollectPicks::kNoInvited);
    const QString bad = F->Dir.filePath(QStringLiteral("bad.txt"));
    TestPools::WriteBytes(bad, "Bea\nD\x01" "ee\n");
    F->Prompts.QueueFileName(bad);
    Form->btnInvitedClick();
    QVERIFY(F->Prompts.Shown().last().Text.contains("its line 2: the player name holds the "
                                                    "control character U+0001"));
    QVERIFY(F->Pool.DataModule()->Invited().isEmpty());

    const QString list = F->Dir.filePath(QStringLiteral("invited.txt"));
    TestPools::WriteBytes(list, "Bea\nalready here\nDee\n");
    F->Prompts.QueueFileName(list);
    Form->show();
    QVERIFY(QTest::qWaitForWindowExposed(Form.get()));
    QTest::mouseClick(Form->btnInvited, Qt::LeftButton);
    QCOMPARE(Form->lblMissing->text(), TfrmCollectPicks::kMissing.arg(2).arg(3).arg("Bea, Dee"));
    Prepare();
    Form->btnStartClick();
    QCOMPARE(Send(QStringLiteral("bea")), 200);
    QCOMPARE(Form->lblMissing->text(), TfrmCollectPicks::kMissing.arg(1).arg(3).arg("Dee"));
    // The entry's save took the list along.
    QCOMPARE(TestPools::ReadBytes(QDir(F->PoolDir).filePath("Invited.txt")),
             QByteArray("Bea\nalready here\nDee\n"));
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

    // Ctrl+Z takes the last entry out of the pool and its file at once, counted and listed;
    // Ctrl+Shift+Z puts it back.
    Form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Form.get()));
    QCOMPARE(Form->btnUndo->text(), QStringLiteral("&Undo Entry of Cy"));
    QTest::keyClick(Form.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(F->PlayerCount(), 2);
    QCOMPARE(TestPools::OpenReadOnly(F->PoolDir)->PlayerPicksFile().Count(), 2);
    QCOMPARE(Form->lblCount->text(), TfrmCollectPicks::kCount.arg(1).arg(0).arg(1));
    QVERIFY(Form->lstEntries->item(Form->lstEntries->count() - 1)
                ->text()
                .endsWith(QStringLiteral("took back the entry of \"Cy\"")));
    QCOMPARE(Form->btnRedo->text(), QStringLiteral("&Redo Entry of Cy"));
    QTest::keyClick(Form.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(TestPools::OpenReadOnly(F->PoolDir)->PlayerPicksFile().Count(), 3);
    QCOMPARE(Form->lblCount->text(), TfrmCollectPicks::kCount.arg(2).arg(0).arg(1));
    QTest::keyClick(Form.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(F->PlayerCount(), 2);

    QTest::mouseClick(Form->btnClose, Qt::LeftButton);
    QVERIFY(!Form->isVisible());
    QVERIFY(!Form->Server().IsRunning());
    QCOMPARE(HttpProbe::Exchange(HttpProbe::Request("GET", "/", port), port).Status, 0);

    // The next time, the address and port served last are offered.
    TfrmCollectPicks again(F->Pool);
    QCOMPARE(again.cbxAddress->currentData().toString(), QStringLiteral("127.0.0.1"));
    QCOMPARE(again.edtPort->value(), 0);
  }
};

QTEST_MAIN(TestCollectPicks)
#include "tst_collect_picks.moc"
