// The bracket builder through real Qt events on its real widgets, from typing the teams to a
// champion and a saved pool, and the main window's Brackets command.

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "BracketBuild.h"
#include "BracketList.h"
#include "ChartView.h"
#include "CliRunner.h"
#include "FFDataModule.h"
#include "FakePrompts.h"
#include "MainForm.h"
#include "OpenPool.h"
#include "Registry.h"
#include "TestPools.h"

namespace {

QPoint Inside(const TBracketItem* slot) {
  return QPoint(slot->Left() + 5, slot->Top() + 5);
}

// A drag of `data` over the picture that ends with a drop at `point`, as the window system
// delivers it.
void DragAndDrop(QWidget* picture, const QMimeData* data, const QPoint& point) {
  const QPointF at(point);
  QDragEnterEvent enter(QPoint(0, 0), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(picture, &enter);
  QDragMoveEvent move(point, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(picture, &move);
  QVERIFY(move.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(picture, &drop);
  QVERIFY(drop.isAccepted());
  // The drop is handled once the drag is over.
  QCoreApplication::processEvents();
}

}  // namespace

class TestBuilderEvents : public QObject {
  Q_OBJECT

 private:
  QString PoolDir() const { return FDir->filePath(QStringLiteral("Events.BGD")); }
  const TTeamsFile& Teams() const { return FPool->DataModule()->TeamsFile(); }
  const TBracketList& Chart() const { return *FPool->ResultsBracket(); }

  std::unique_ptr<QTemporaryDir> FDir;
  std::unique_ptr<TOpenPool> FPool;
  TFakePrompts FPrompts;
  std::unique_ptr<TPromptsScope> FPromptsScope;

 private slots:
  void init() {
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    TRegistry::SetStoreFile(FDir->filePath(QStringLiteral("settings.ini")));
    FPrompts.Reset();
    FPromptsScope = std::make_unique<TPromptsScope>(&FPrompts);
  }

  void cleanup() {
    FPool.reset();
    FPromptsScope.reset();
    TRegistry::SetStoreFile(QString());
    FDir.reset();
  }

  void aWholeTournamentThroughTheMouse() {
    QVERIFY(QDir().mkpath(PoolDir()));
    {
      auto module = TestPools::CreatePool(PoolDir());
      module->SavePool();
      module->ClosePool();
    }
    FPool = std::make_unique<TOpenPool>();
    QVERIFY(FPool->OpenPool(PoolDir(), false));
    auto form = std::make_unique<TfrmBracketBuild>(*FPool);
    int tips = 0;
    form->SetModalRunner([&tips](QDialog&) {
      ++tips;
      return static_cast<int>(QDialog::Accepted);
    });
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->FormActivate();
    QVERIFY(tips > 0);

    // 64 teams typed into the name box, each added with its button.
    for (int i = 1; i <= 64; ++i) {
      QTest::keyClicks(form->edtTeamName,
                       QStringLiteral("Team %1").arg(i, 2, 10, QLatin1Char('0')));
      QTest::mouseClick(form->btnAddTeamName, Qt::LeftButton);
    }
    QCOMPARE(Teams().Count(), 64);
    QCOMPARE(form->lstTeams->count(), 64);
    QVERIFY(FPrompts.Shown().isEmpty());

    // Each team dragged from the list onto its first-round line.
    QWidget* picture = form->sbxBracket->Picture();
    for (int row = 0; row < 64; ++row) {
      QListWidgetItem* item = form->lstTeams->item(row);
      form->lstTeams->scrollToItem(item);
      QTest::mouseClick(form->lstTeams->viewport(), Qt::LeftButton, Qt::NoModifier,
                        form->lstTeams->visualItemRect(item).center());
      QCOMPARE(form->edtTeamName->text(), item->text());
      std::unique_ptr<QMimeData> data(
          form->lstTeams->model()->mimeData({form->lstTeams->model()->index(row, 0)}));
      QVERIFY(data->hasFormat(TChartView::kTeamMimeType));
      DragAndDrop(picture, data.get(), Inside(Chart().Slot(row + 1)));
    }
    for (int slot = 1; slot <= 64; ++slot)
      QCOMPARE(Chart().Slot(slot)->Team(), Teams().Items(slot - 1));
    QVERIFY(FPrompts.Shown().isEmpty());
    // Every placed team is marked in the list.
    for (int row = 0; row < 64; ++row)
      QVERIFY(!form->lstTeams->item(row)->icon().isNull());

    // In the name box, Ctrl+Z and Ctrl+Shift+Z undo and redo the last drop while the box holds
    // the name the list put there; a name being typed keeps them for the box.
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QTest::mouseClick(form->edtTeamName, Qt::LeftButton);
    QTRY_VERIFY(form->edtTeamName->hasFocus());
    QTest::keyClick(form->edtTeamName, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!Chart().Slot(64)->Team());
    QTest::keyClick(form->edtTeamName, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(Chart().Slot(64)->Team(), Teams().Items(63));
    QTest::keyClicks(form->edtTeamName, QStringLiteral("x"));
    QTest::keyClick(form->edtTeamName, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(form->edtTeamName->text(), QStringLiteral("Team 64"));
    QCOMPARE(Chart().Slot(64)->Team(), Teams().Items(63));

    // Locked, with two players: one picks the first line's team to win it all, the other the
    // last line's.
    FPool->Lock();
    QCOMPARE(form->lblPrompt->text(), TfrmBracketBuild::kPromptLocked);
    auto addPlayer = [this](const QString& name, int line) {
      FPool->ShowPlayer(FPool->AddPlayer(name));
      QVERIFY(FPool->DropPick(line, 127));
    };
    addPlayer(QStringLiteral("Ann"), 1);
    addPlayer(QStringLiteral("Bo"), 64);
    FPool->ShowPlayer(nullptr);

    // Every game decided by a double-click on its winner: the upper team of odd-numbered
    // games, the lower one of even-numbered ones.
    for (int round = 1; round < 7; ++round) {
      for (int i = 0; i < Chart().Count(); i += 2) {
        const TBracketItem* upper = Chart().Items(i);
        if (upper->Round() != round)
          continue;
        const int game = i / 2;
        const TBracketItem* winner = game % 2 == 0 ? upper : Chart().Items(i + 1);
        QTest::mouseDClick(picture, Qt::LeftButton, Qt::NoModifier, Inside(winner));
      }
    }
    const TChartEntry* champion = Chart().Slot(127)->Team();
    QVERIFY(champion);
    QCOMPARE(champion->RoundReached(), 7);
    const QString championName = champion->TeamName();
    QVERIFY(FPrompts.Shown().isEmpty());

    // The name under the mouse is drawn in bold.
    QMouseEvent hover(QEvent::MouseMove, QPointF(Inside(Chart().Slot(127))),
                      picture->mapToGlobal(QPointF(Inside(Chart().Slot(127)))), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(picture, &hover);
    QCOMPARE(form->sbxBracket->HoverSlot(), Chart().Slot(127));

    // Closed, saved, and reopened from disk: the same standings.
    form->close();
    QVERIFY(FPool->Save());
    const TCliRun closed = RunTool({"standings", PoolDir(), "--format", "csv"});
    QCOMPARE(closed.Status, 0);
    QVERIFY(closed.Out.contains("Ann"));
    QVERIFY(closed.Out.contains("Bo"));

    // What the chart showed is what the teams file holds.
    QList<QList<int>> places;
    for (const auto& team : Teams().List())
      places << QList<int>{team->Region(), team->Seed(), team->RoundReached(), team->Eliminated()};
    int eliminated = 0;
    for (const auto& place : places)
      eliminated += place[3];
    QCOMPARE(eliminated, 63);
    form.reset();
    FPool = std::make_unique<TOpenPool>();
    QVERIFY(FPool->OpenPool(PoolDir(), false));
    QList<QList<int>> reopened;
    for (const auto& team : Teams().List())
      reopened << QList<int>{team->Region(), team->Seed(), team->RoundReached(),
                             team->Eliminated()};
    QCOMPARE(reopened, places);
    QVERIFY(Chart().Slot(127)->Team());
    QCOMPARE(Chart().Slot(127)->Team()->TeamName(), championName);
    QVERIFY(FPool->Save());
    const TCliRun again = RunTool({"standings", PoolDir(), "--format", "csv"});
    QCOMPARE(again.Out, closed.Out);
  }

  // The View menu's keys on the shown window, the chart filling a large window when fitted,
  // a winner advanced at that size, and the zoom kept for the next run.
  void zoomedToFitFromTheKeyboardAndKept() {
    TestPools::SaveFullPool(PoolDir(), true);
    FPool = std::make_unique<TOpenPool>();
    QVERIFY(FPool->OpenPool(PoolDir(), false));
    {
      TfrmBracketBuild form(*FPool);
      form.SetModalRunner([](QDialog&) { return static_cast<int>(QDialog::Accepted); });
      QCOMPARE(form.mnuView->actions(), form.sbxBracket->ZoomActions());
      form.show();
      QVERIFY(QTest::qWaitForWindowActive(&form));
      form.resize(1800, 1000);
      // At actual size the chart's box stops at the picture and its scroll bars.
      QCOMPARE(form.sbxBracket->width(), 820);
      QTest::keyClick(&form, Qt::Key_0, Qt::ControlModifier);
      QCOMPARE(form.sbxBracket->ZoomSetting(), int{TChartView::kZoomToFit});
      QCOMPARE(form.sbxBracket->width(), 1800 - 160);
      const double scale = form.sbxBracket->Scale();
      QVERIFY(scale > 1.4);
      QWidget* picture = form.sbxBracket->Picture();
      const QPointF at = QPointF(Inside(Chart().Slot(3))) * scale;
      QTest::mouseDClick(picture, Qt::LeftButton, Qt::NoModifier, at.toPoint());
      QCOMPARE(Chart().Slot(66)->Team(), Chart().Slot(3)->Team());
      QTest::keyClick(&form, Qt::Key_1, Qt::ControlModifier);
      QCOMPARE(form.sbxBracket->ZoomSetting(), 100);
      QCOMPARE(form.sbxBracket->width(), 820);
      QTest::keyClick(&form, Qt::Key_0, Qt::ControlModifier);
    }
    TRegistry registry;
    QVERIFY(registry.OpenKey(TRegistry::kFormStateKey + QStringLiteral("\\BracketBuild"), false));
    QCOMPARE(registry.ReadString(QStringLiteral("Zoom")), QStringLiteral("0"));
    registry.CloseKey();
    TfrmBracketBuild again(*FPool);
    QCOMPARE(again.sbxBracket->ZoomSetting(), int{TChartView::kZoomToFit});
  }

  // The tournament from files: the builder's File > Import Field..., a team picked in the list
  // with the mouse and renamed, the main window's File > Import Results..., and Ctrl+Z in the
  // builder taking the results back as one step.
  void theTournamentFromFiles() {
    const QString appDir = FDir->filePath(QStringLiteral("pools"));
    const QString pool = QDir(appDir).filePath(QStringLiteral("Files.BGD"));
    QVERIFY(QDir().mkpath(pool));
    TestPools::CreatePool(pool)->ClosePool();
    {
      TRegistry registry;
      QVERIFY(registry.OpenKey(TRegistry::kCourtsiderKey, true));
      registry.WriteString(TMainForm::kAppDirectoryValue, appDir);
      registry.WriteString(TMainForm::kDataDirectoryValue, QStringLiteral("Files.BGD"));
      registry.CloseKey();
    }
    QByteArray sheet = "region,seed,team\n";
    for (const char* region : {"Midwest", "South", "East", "West"}) {
      for (int seed = 1; seed <= 16; ++seed)
        sheet += QByteArray(region) + "," + QByteArray::number(seed) + "," + region[0] +
                 QByteArray::number(seed) + "\n";
    }
    const QString field = FDir->filePath(QStringLiteral("field.csv"));
    TestPools::WriteBytes(field, sheet);
    const QString results = FDir->filePath(QStringLiteral("results.txt"));
    TestPools::WriteBytes(results, "M1\nplay-in\n");
    const QString start = QDir::currentPath();
    {
      TMainForm main;
      main.SetModalRunner([](QDialog&) { return static_cast<int>(QDialog::Accepted); });
      main.actDataBrackets->trigger();
      TfrmBracketBuild& builder = *main.frmBracketBuild;
      builder.FormActivate();
      FPrompts.QueueFileName(field);
      builder.actFileImportField->trigger();
      QCOMPARE(builder.lstTeams->count(), 64);
      QCOMPARE(main.OpenPool().EmptyFirstRoundLines(), 0);
      FPrompts.QueueAnswer(TPrompts::Answer::Yes);
      main.actDataFinalize->trigger();

      QListWidgetItem* item = builder.lstTeams->item(1);
      QTest::mouseClick(builder.lstTeams->viewport(), Qt::LeftButton, Qt::NoModifier,
                        builder.lstTeams->visualItemRect(item).center());
      FPrompts.QueueText(QStringLiteral("Play-In"));
      builder.actTeamsRename->trigger();
      QCOMPARE(builder.lstTeams->item(1)->text(), QStringLiteral("Play-In"));

      QVERIFY(main.actFileImportResults->isEnabled());
      FPrompts.QueueFileName(results);
      main.actFileImportResults->trigger();
      QVERIFY(FPrompts.Shown().last().Text.endsWith("added: M1 beat M16\n"
                                                    "added: Play-In beat M15"));
      QVERIFY(main.OpenPool().GamesPlayed());
      builder.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&builder));
      QTest::keyClick(&builder, Qt::Key_Z, Qt::ControlModifier);
      QVERIFY(!main.OpenPool().GamesPlayed());
      QCOMPARE(builder.lstTeams->item(1)->text(), QStringLiteral("Play-In"));
      main.OpenPool().Save();
    }
    QDir::setCurrent(start);
  }

  void theMainWindowShowsTheBuilder() {
    const QString appDir = FDir->filePath(QStringLiteral("pools"));
    QVERIFY(QDir().mkpath(QDir(appDir).filePath(QStringLiteral("Main.BGD"))));
    {
      auto module = TestPools::CreatePool(QDir(appDir).filePath(QStringLiteral("Main.BGD")));
      TestPools::AddFullField(module->TeamsFile());
      module->SavePool();
      module->ClosePool();
    }
    {
      TRegistry registry;
      QVERIFY(registry.OpenKey(TRegistry::kCourtsiderKey, true));
      registry.WriteString(TMainForm::kAppDirectoryValue, appDir);
      registry.WriteString(TMainForm::kDataDirectoryValue, QStringLiteral("Main.BGD"));
      registry.CloseKey();
    }
    const QString start = QDir::currentPath();
    {
      TMainForm main;
      main.SetModalRunner([](QDialog&) { return static_cast<int>(QDialog::Accepted); });
      QVERIFY(!main.frmBracketBuild->isVisible());
      main.actDataBrackets->trigger();
      QVERIFY(main.frmBracketBuild->isVisible());
      TfrmBracketBuild& builder = *main.frmBracketBuild;
      builder.FormActivate();
      QCOMPARE(builder.lstTeams->count(), 64);
      FPrompts.QueueAnswer(TPrompts::Answer::Yes);
      main.actDataFinalize->trigger();
      QCOMPARE(builder.lblPrompt->text(), TfrmBracketBuild::kPromptLocked);
      builder.imgBracketsMouseDown(Qt::LeftButton, Qt::NoModifier,
                                   Inside(main.OpenPool().ResultsBracket()->Slot(1)));
      builder.imgBracketsDblClick();
      QVERIFY(main.OpenPool().Modified());
      QVERIFY(main.actFileSave->isEnabled());
      // Saved with the builder still open: the beaten team is written as beaten.
      main.actFileSave->trigger();
      {
        auto saved = TestPools::OpenReadOnly(QDir(appDir).filePath(QStringLiteral("Main.BGD")));
        QVERIFY(saved->TeamsFile().FindTeam(QStringLiteral("R1S16"))->Eliminated());
        QVERIFY(!saved->TeamsFile().FindTeam(QStringLiteral("R1S1"))->Eliminated());
        QCOMPARE(saved->TeamsFile().FindTeam(QStringLiteral("R1S1"))->RoundReached(), 2);
        saved->ClosePool();
      }
      // The next winner is written by the save question of the closing program.
      builder.imgBracketsMouseDown(Qt::LeftButton, Qt::NoModifier,
                                   Inside(main.OpenPool().ResultsBracket()->Slot(3)));
      builder.imgBracketsDblClick();
      FPrompts.QueueAnswer(TPrompts::Answer::Yes);
      main.close();
    }
    QDir::setCurrent(start);
    auto saved = TestPools::OpenReadOnly(QDir(appDir).filePath(QStringLiteral("Main.BGD")));
    QVERIFY(saved->TeamsFile().FindTeam(QStringLiteral("R1S9"))->Eliminated());
    QCOMPARE(saved->TeamsFile().FindTeam(QStringLiteral("R1S8"))->RoundReached(), 2);
    saved->ClosePool();
  }
};

QTEST_MAIN(TestBuilderEvents)
#include "tst_builder_events.moc"
