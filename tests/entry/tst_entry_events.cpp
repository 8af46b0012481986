// The player entry window through real Qt events on its real widgets: a player added from the
// tool bar, a whole bracket entered by drags and double-clicks on the picture, the guess typed,
// the window closed, the pool saved, and the command-line tool reading the picks from disk.

#include <QAction>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QJsonArray>
#include <QJsonObject>
#include <QMenu>
#include <QToolBar>
#include <QUndoStack>

#include "CliRunner.h"
#include "EntryFixture.h"
#include "PoolDifferences.h"

class TestEntryEvents : public QObject {
  Q_OBJECT

 private slots:
  void aWholeBracketByMouseAndKeyboard() {
    TEntryFixture f;
    TfrmPlayerEntryForm& form = *f.Form;
    QWidget* picture = form.imgBrackets;
    // Stands in for QDrag's loop: the pointer travels to the target and lets go there.
    QPoint target;
    int drops = 0;
    form.sbxBracket->SetDragRunner([&](std::unique_ptr<QMimeData> data) {
      QDragEnterEvent enter(target, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(picture, &enter);
      QDragMoveEvent move(target, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(picture, &move);
      if (!move.isAccepted())
        return;
      QDropEvent drop(target, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(picture, &drop);
      ++drops;
    });
    int dragged = 0;
    int doubleClicked = 0;
    auto dragTo = [&](int from, int to) {
      ++dragged;
      target = Inside(f.Slot(to));
      QTest::mousePress(picture, Qt::LeftButton, Qt::NoModifier, Inside(f.Slot(from)));
      QTest::mouseRelease(picture, Qt::LeftButton, Qt::NoModifier, target);
    };

    form.resize(1000, 800);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(f.TipsShown, 1);

    f.Prompts.QueueText(QStringLiteral("Casey Jones"));
    QTest::mouseClick(form.ToolBar1->widgetForAction(form.actPlayerAdd), Qt::LeftButton);
    const TPlayerPicksListObject* player = form.CurrentPlayer();
    QVERIFY(player);
    QCOMPARE(f.Occupied(), 64);

    // The champion first, by one drag to the top; then every game round by round, the upper
    // line's team by a double-click and the lower line's by a drag.
    dragTo(9, 127);
    QCOMPARE(f.NameIn(127), f.NameIn(9));
    const TBracketList& chart = f.Chart();
    for (int round = 2; round <= 7; ++round) {
      for (int n = 1; n <= TBracketList::kSlotCount; ++n) {
        const TBracketItem* slot = chart.Slot(n);
        if (slot->Round() != round || slot->Team())
          continue;
        int feeder = 0;
        for (int p = 0; p < chart.PathCount(); ++p) {
          if (chart.Paths(p)->Slot(round) == n)
            feeder = std::max(feeder, chart.Paths(p)->Slot(round - 1));
        }
        if (n % 2 == 0) {
          target = Inside(f.Slot(feeder));
          ++doubleClicked;
          QTest::mouseDClick(picture, Qt::LeftButton, Qt::NoModifier, Inside(f.Slot(feeder)));
        } else {
          dragTo(feeder, n);
        }
        QVERIFY2(chart.Slot(n)->Team(), qPrintable(QStringLiteral("slot %1").arg(n)));
      }
    }
    QCOMPARE(f.Occupied(), 127);
    // Every drag was dropped (a double-click's first press drops its team where it stands).
    QVERIFY(drops >= dragged);
    QVERIFY(dragged > 20 && doubleClicked > 20);

    // Undone and redone from the keyboard.
    const QString champion = f.NameIn(127);
    dragTo(127, 9);
    QCOMPARE(f.Occupied(), 121);
    QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.Occupied(), 127);
    QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(f.Occupied(), 121);
    QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.NameIn(127), champion);

    f.Prompts.Reset();
    QTest::mouseClick(form.ToolBar1->widgetForAction(form.actPlayerAudit), Qt::LeftButton);
    QCOMPARE(f.Prompts.Texts(), QStringList{QStringLiteral("Audit check passed!")});

    // The guess, typed and left with Tab.
    form.edtTotalPoints->setFocus();
    QTRY_VERIFY(form.edtTotalPoints->hasFocus());
    QTest::keyClick(form.edtTotalPoints, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(form.edtTotalPoints, QStringLiteral("147"));
    QTest::keyClick(form.edtTotalPoints, Qt::Key_Tab);
    QTRY_COMPARE(player->TieBreakerPoints(), 147);
    QVERIFY(form.sbxBracket->hasFocus());

    // Back in the field, Ctrl+Z and Ctrl+Shift+Z are the window's while the field shows what
    // is stored, and the field's own while it holds a guess being typed.
    form.edtTotalPoints->setFocus();
    QTRY_VERIFY(form.edtTotalPoints->hasFocus());
    QTest::keyClick(form.edtTotalPoints, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(player->TieBreakerPoints(), 0);
    QCOMPARE(form.edtTotalPoints->text(), QStringLiteral("0"));
    QTest::keyClick(form.edtTotalPoints, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(player->TieBreakerPoints(), 147);
    const int steps = form.UndoStack()->index();
    QTest::keyClick(form.edtTotalPoints, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(form.edtTotalPoints, QStringLiteral("15"));
    QTest::keyClick(form.edtTotalPoints, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(form.UndoStack()->index(), steps);
    QCOMPARE(player->TieBreakerPoints(), 147);
    QTest::keyClick(form.edtTotalPoints, Qt::Key_Escape);
    QCOMPARE(form.edtTotalPoints->text(), QStringLiteral("147"));

    // What the chart shows is what the player holds.
    QMap<QString, int> shown;
    for (int n = 1; n <= TBracketList::kSlotCount; ++n)
      shown[f.NameIn(n)] = std::max(shown.value(f.NameIn(n)), int(chart.Slot(n)->Round()));

    QTest::mouseClick(form.ToolBar1->widgetForAction(form.actFileExit), Qt::LeftButton);
    QTRY_VERIFY(!form.isVisible());
    QVERIFY(f.Pool.Save());

    const TCliRun run = RunTool({QStringLiteral("players"), f.PoolDir});
    QCOMPARE(run.Status, 0);
    const QJsonArray players = run.Json().array();
    QCOMPARE(players.size(), 1);
    const QJsonObject stored = players[0].toObject();
    QCOMPARE(stored.value(QStringLiteral("name")).toString(), QStringLiteral("Casey Jones"));
    QCOMPARE(stored.value(QStringLiteral("tie_breaker")).toInt(), 147);
    const QJsonArray picks = stored.value(QStringLiteral("picks")).toArray();
    QCOMPARE(picks.size(), 64);
    for (const QJsonValue& value : picks) {
      const QJsonObject pick = value.toObject();
      const QString team = pick.value(QStringLiteral("team")).toString();
      QCOMPARE(pick.value(QStringLiteral("round_reached")).toInt(), shown.value(team));
    }
  }

  // A double-click as the platform sends it, a click (the press starts a drag that drops where
  // it began) and then the double-click, is one step from where the picks stood: on the team's
  // furthest line it moves the team on, below it it keeps the later lines; a single click
  // there still takes them back.
  void aDoubleClickIsOneStep() {
    TEntryFixture f;
    TfrmPlayerEntryForm& form = *f.Form;
    QWidget* picture = form.imgBrackets;
    QPoint target;
    form.sbxBracket->SetDragRunner([&](std::unique_ptr<QMimeData> data) {
      QDragEnterEvent enter(target, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(picture, &enter);
      QDropEvent drop(target, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(picture, &drop);
    });
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    const TPlayerPicksListObject* player = f.Add(QStringLiteral("Dee"));
    const int third = PathSlot(f.Chart(), 1, 3);
    target = Inside(f.Slot(third));
    QTest::mousePress(picture, Qt::LeftButton, Qt::NoModifier, Inside(f.Slot(1)));
    QTest::mouseRelease(picture, Qt::LeftButton, Qt::NoModifier, target);
    QCOMPARE(f.Entry(QStringLiteral("R1S1"))->RoundReached(), 3);
    const auto before = player->Picks();
    const int steps = form.UndoStack()->index();
    auto doubleClick = [&](int slot) {
      target = Inside(f.Slot(slot));
      QTest::mouseClick(picture, Qt::LeftButton, Qt::NoModifier, target);
      QTest::mouseDClick(picture, Qt::LeftButton, Qt::NoModifier, target);
    };
    auto same = [&] {
      for (size_t i = 0; i < before.size(); ++i) {
        if (!SameChartEntry(before[i], player->Picks()[i]))
          return false;
      }
      return true;
    };

    doubleClick(third);
    QCOMPARE(f.Entry(QStringLiteral("R1S1"))->RoundReached(), 4);
    QCOMPARE(form.UndoStack()->index(), steps + 1);
    QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(same());
    QCOMPARE(form.UndoStack()->index(), steps);

    doubleClick(1);
    QVERIFY(same());
    QCOMPARE(form.UndoStack()->index(), steps);
    QVERIFY(!form.UndoStack()->canRedo());

    QTest::mouseClick(picture, Qt::LeftButton, Qt::NoModifier, Inside(f.Slot(1)));
    QCOMPARE(f.Entry(QStringLiteral("R1S1"))->RoundReached(), 1);
  }

  // Zoomed in, a team dragged to the champion's line lands there, and the zoom is kept.
  void dragsAtTwiceTheSizeAndTheZoomKept() {
    TEntryFixture f;
    {
      TfrmPlayerEntryForm& form = *f.Form;
      QWidget* picture = form.imgBrackets;
      QPointF target;
      form.sbxBracket->SetDragRunner([&](std::unique_ptr<QMimeData> data) {
        QDragEnterEvent enter(target.toPoint(), Qt::MoveAction, data.get(), Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(picture, &enter);
        QDropEvent drop(target, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(picture, &drop);
      });
      form.show();
      QVERIFY(QTest::qWaitForWindowActive(&form));
      QCOMPARE(form.mnuView->actions(), form.sbxBracket->ZoomActions());
      f.Add(QStringLiteral("Zoe"));
      QTest::keyClick(&form, Qt::Key_Equal, Qt::ControlModifier);
      QTest::keyClick(&form, Qt::Key_Plus, Qt::ControlModifier);
      QTest::keyClick(&form, Qt::Key_Plus, Qt::ControlModifier);
      QCOMPARE(form.sbxBracket->ZoomSetting(), 200);
      // The chart's box grows with the picture: up to its height and the scroll bar's.
      form.resize(1000, 1200);
      QCOMPARE(form.sbxBracket->height(), 1200 - 130);
      form.resize(1000, 1500);
      QCOMPARE(form.sbxBracket->height(), 1200 + 10);
      target = QPointF(Inside(f.Slot(127))) * 2;
      QTest::mousePress(picture, Qt::LeftButton, Qt::NoModifier, Inside(f.Slot(9)) * 2);
      QCOMPARE(f.NameIn(127), QStringLiteral("R1S6"));
      QCOMPARE(f.Entry(QStringLiteral("R1S6"))->RoundReached(), 7);
    }
    f.Form.reset();
    TfrmPlayerEntryForm again(f.Pool);
    QCOMPARE(again.sbxBracket->ZoomSetting(), 200);
  }

  void playersImportedFromTheKeyboard() {
    // Ctrl+I on the shown window reaches the File menu's command through real key events, and
    // the list offers the players of the sheet at once.
    TEntryFixture f;
    TfrmPlayerEntryForm& form = *f.Form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(form.mnuFile->actions().contains(form.actFileImport));
    QVERIFY(form.mnuFile->actions().contains(form.actFileExport));
    f.Prompts.QueueFileName(f.Sheet("keys.csv", {{"Keyboard Kim", "77", "R1S16"}, {"Lee"}}));
    QTest::keyClick(&form, Qt::Key_I, Qt::ControlModifier);
    QCOMPARE(f.Players().Count(), 2);
    QCOMPARE(form.cbxPlayerName->count(), 2);
    QCOMPARE(form.cbxPlayerName->itemText(0), QStringLiteral("Keyboard Kim"));
    QCOMPARE(form.cbxPlayerName->itemText(1), QStringLiteral("Lee"));
    // The list is there to choose from: the first player's picks come up on the chart.
    QTest::keyClick(form.cbxPlayerName, Qt::Key_Down);
    QCOMPARE(form.CurrentPlayer(), f.Players().Items(0));
    QCOMPARE(form.edtTotalPoints->text(), QStringLiteral("77"));

    // Ctrl+E writes them back out.
    const QString out = f.Dir.filePath("keys-out.csv");
    f.Prompts.QueueFileName(out);
    QTest::keyClick(&form, Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(TestPools::ReadBytes(out), TPicksSheet(*f.Pool.DataModule()).Export());
  }
};

QTEST_MAIN(TestEntryEvents)
#include "tst_entry_events.moc"
