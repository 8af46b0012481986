// The bracket builder on a real window offscreen, driven through its handlers with the
// prompts answered by a script and its dialogs worked by a modal runner; one test goes
// through real mouse and drag-and-drop events from typing the teams to a champion.

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <memory>

#include "BracketBuild.h"
#include "BracketList.h"
#include "ChartView.h"
#include "FFDataModule.h"
#include "FakeHelp.h"
#include "FakePrompts.h"
#include "OpenPool.h"
#include "Registry.h"
#include "SplashHelp1.h"
#include "TestPools.h"
#include "TieBreakerPoints.h"

namespace {

QPoint Inside(const TBracketItem* slot) {
  return QPoint(slot->Left() + 5, slot->Top() + 5);
}

// A place as the teams file stores it.
struct TPlace {
  int Region, Seed, RoundReached;
  bool Eliminated;
  bool operator==(const TPlace& o) const {
    return Region == o.Region && Seed == o.Seed && RoundReached == o.RoundReached &&
           Eliminated == o.Eliminated;
  }
};

TPlace PlaceOf(const TTeamSeedObject* team) {
  return {team->Region(), team->Seed(), team->RoundReached(), team->Eliminated()};
}

}  // namespace

class TestBuilder : public QObject {
  Q_OBJECT

 private:
  QString PoolDir() const { return FDir->filePath(QStringLiteral("Office.BGD")); }

  // A pool on disk, opened in the document. `fullField`: the 64 teams "R<region>S<seed>" on
  // their first-round lines; else `teams` unplaced teams "T1", "T2", ...
  void MakePool(bool locked, bool fullField, int teams = 0) {
    QVERIFY(QDir().mkpath(PoolDir()));
    auto module = TestPools::CreatePool(PoolDir());
    if (fullField)
      TestPools::AddFullField(module->TeamsFile());
    for (int i = 1; i <= teams; ++i)
      TestPools::AddTeam(module->TeamsFile(), QStringLiteral("T%1").arg(i));
    module->SystemFile().SetFinalized(locked);
    module->SavePool();
    module->ClosePool();
    QVERIFY(FPool->OpenPool(PoolDir(), false));
  }

  // The builder on the open pool, shown and activated.
  void ShowForm() {
    FForm = std::make_unique<TfrmBracketBuild>(*FPool);
    FForm->SetModalRunner([this](QDialog& dialog) { return Run(dialog); });
    FForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(FForm.get()));
    FForm->FormActivate();
    FDialogs.clear();
  }

  void Open(bool locked, bool fullField, int teams = 0) {
    MakePool(locked, fullField, teams);
    ShowForm();
  }

  int Run(QDialog& dialog) {
    FDialogs << dialog.objectName();
    if (FRunner)
      return FRunner(dialog);
    return QDialog::Accepted;
  }

  const TTeamsFile& Teams() const { return FPool->DataModule()->TeamsFile(); }
  const TTeamSeedObject* Team(const QString& name) const { return Teams().FindTeam(name); }
  const TChartEntry* At(int slot) const { return FPool->ResultsBracket()->Slot(slot)->Team(); }
  QPoint Point(int slot) const { return Inside(FPool->ResultsBracket()->Slot(slot)); }
  TPlace Place(const QString& name) const { return PlaceOf(Team(name)); }

  // Drags the team of this name from the list and drops it on the slot.
  void Drop(const QString& name, int slot) {
    const auto found = FForm->lstTeams->findItems(name, Qt::MatchExactly);
    QVERIFY(!found.isEmpty());
    FForm->lstTeams->setCurrentItem(found.first());
    FForm->imgBracketsDragDrop(Point(slot));
  }
  void DoubleClick(int slot) {
    FForm->imgBracketsMouseDown(Qt::LeftButton, Qt::NoModifier, Point(slot));
    FForm->imgBracketsDblClick();
  }
  void RightClick(int slot, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    FForm->imgBracketsMouseDown(Qt::RightButton, modifiers, Point(slot));
  }
  void Type(const QString& name) { FForm->edtTeamName->setText(name); }
  QStringList Shown() const { return FPrompts.Texts(); }
  QStringList ListItems() const {
    QStringList items;
    for (int i = 0; i < FForm->lstTeams->count(); ++i)
      items << FForm->lstTeams->item(i)->text();
    return items;
  }
  // Advances the first-round winners of a full field, lines 1, 3, 5, ... of each region, as
  // far as chart round `round`.
  void AdvanceTopSeedsTo(int round) {
    for (int r = 1; r < round; ++r) {
      const TBracketList& chart = *FPool->ResultsBracket();
      for (int i = 0; i < chart.Count(); ++i) {
        const TBracketItem* slot = chart.Items(i);
        if (slot->Round() == r && slot->Team() && (i + 1) % 2 == 1)
          DoubleClick(i + 1);
      }
    }
  }

  std::unique_ptr<QTemporaryDir> FDir;
  std::unique_ptr<TOpenPool> FPool;
  std::unique_ptr<TfrmBracketBuild> FForm;
  TFakePrompts FPrompts;
  std::unique_ptr<TPromptsScope> FPromptsScope;
  TFakeHelp FHelp;
  std::unique_ptr<THelp::TScope> FHelpScope;
  QStringList FDialogs;
  TfrmBracketBuild::TModalRunner FRunner;

 private slots:
  void init() {
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    TRegistry::SetStoreFile(FDir->filePath(QStringLiteral("settings.ini")));
    FPrompts.Reset();
    FPromptsScope = std::make_unique<TPromptsScope>(&FPrompts);
    FHelpScope = std::make_unique<THelp::TScope>(&FHelp);
    FPool = std::make_unique<TOpenPool>();
    FDialogs.clear();
    FRunner = nullptr;
  }

  void cleanup() {
    FForm.reset();
    FPool.reset();
    FHelpScope.reset();
    FPromptsScope.reset();
    TRegistry::SetStoreFile(QString());
    FDir.reset();
  }

  // --- Placing before the lock -------------------------------------------------------------

  void placingAndReplacingOnTheFirstRound() {
    Open(false, false, 3);
    Drop(QStringLiteral("T1"), 1);
    QCOMPARE(At(1), Team(QStringLiteral("T1")));
    QCOMPARE(Place(QStringLiteral("T1")), (TPlace{1, 1, 1, false}));
    QVERIFY(FPool->Modified());
    // The same team on another line, and a later line before the lock, are refused.
    Drop(QStringLiteral("T1"), 2);
    Drop(QStringLiteral("T1"), 65);
    QCOMPARE(Shown(), QStringList({TOpenPool::kAlreadyPlaced, TOpenPool::kNotFinalized}));
    QCOMPARE(At(2), nullptr);
    QCOMPARE(FPrompts.Shown().first().IconKind, TPrompts::Icon::Stop);
    QCOMPARE(FPrompts.Shown().first().Title, QStringLiteral("Courtsider 99"));
    // Another team on an occupied line sends the first back to the list, unplaced.
    Drop(QStringLiteral("T2"), 1);
    QCOMPARE(At(1), Team(QStringLiteral("T2")));
    QCOMPARE(Place(QStringLiteral("T1")), (TPlace{0, 0, 0, false}));
    // A line of the right side takes its region and seed: region 4, line 16 is seed 15.
    Drop(QStringLiteral("T3"), 64);
    QCOMPARE(Place(QStringLiteral("T3")), (TPlace{4, 15, 1, false}));
    // Off every line: nothing, not even a message.
    FPrompts.Reset();
    FForm->lstTeams->setCurrentRow(0);
    FForm->imgBracketsDragDrop(QPoint(400, 290));
    FForm->imgBracketsDragDrop(QPoint(92, 10));
    QVERIFY(Shown().isEmpty());
    QCOMPARE(Place(QStringLiteral("T1")), (TPlace{0, 0, 0, false}));
    // Any double-click before the lock, on a team or not.
    DoubleClick(1);
    FForm->imgBracketsMouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(400, 290));
    FForm->imgBracketsDblClick();
    QCOMPARE(Shown(), QStringList({TOpenPool::kNotFinalized, TOpenPool::kNotFinalized}));
    QCOMPARE(Place(QStringLiteral("T2")), (TPlace{1, 1, 1, false}));
  }

  // --- Refusals and paths after the lock ---------------------------------------------------

  void dropsAfterTheLock() {
    Open(true, true);
    Drop(QStringLiteral("R1S1"), 2);
    QCOMPARE(Shown(), QStringList{TOpenPool::kFirstRoundStarted});
    QCOMPARE(At(2), Team(QStringLiteral("R1S16")));
    // The right side's finalist line is no line of a region-1 team.
    Drop(QStringLiteral("R1S1"), 126);
    QCOMPARE(Shown().last(), TOpenPool::kInvalidPath);
    // A round-2 line of region 3 finds no slot for a region-1 team: nothing at all.
    FPrompts.Reset();
    Drop(QStringLiteral("R1S1"), 81);
    QVERIFY(Shown().isEmpty());
    QCOMPARE(Place(QStringLiteral("R1S1")), (TPlace{1, 1, 1, false}));
    // A region-1 team on the left side's finalist line goes there through every round.
    Drop(QStringLiteral("R1S8"), 125);
    QVERIFY(Shown().isEmpty());
    for (int slot : {3, 66, 97, 113, 121, 125})
      QCOMPARE(At(slot), Team(QStringLiteral("R1S8")));
    QCOMPARE(Place(QStringLiteral("R1S8")).RoundReached, 6);
  }

  void advancingAndDisplacing() {
    Open(true, true);
    DoubleClick(1);
    QCOMPARE(At(65), Team(QStringLiteral("R1S1")));
    QCOMPARE(Place(QStringLiteral("R1S1")).RoundReached, 2);
    // The opponent wins instead: it takes the line, the first drops back to round 1.
    DoubleClick(2);
    QCOMPARE(At(65), Team(QStringLiteral("R1S16")));
    QCOMPARE(Place(QStringLiteral("R1S1")).RoundReached, 1);
    QCOMPARE(Place(QStringLiteral("R1S16")).RoundReached, 2);
    // Dragged onto its round-4 line, a team fills its path and displaces who stood there.
    Drop(QStringLiteral("R1S1"), 113);
    for (int slot : {1, 65, 97, 113})
      QCOMPARE(At(slot), Team(QStringLiteral("R1S1")));
    QCOMPARE(Place(QStringLiteral("R1S16")).RoundReached, 1);
    // Onto its own round-2 line: it keeps rounds 1 and 2 only.
    Drop(QStringLiteral("R1S1"), 65);
    QCOMPARE(Place(QStringLiteral("R1S1")).RoundReached, 2);
    QCOMPARE(At(97), nullptr);
    QCOMPARE(At(113), nullptr);
    // A double-click on an empty later line or off the chart does nothing.
    FForm->imgBracketsMouseDown(Qt::LeftButton, Qt::NoModifier, Point(97));
    FForm->imgBracketsDblClick();
    FForm->imgBracketsMouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(400, 290));
    FForm->imgBracketsDblClick();
    QVERIFY(Shown().isEmpty());
    // Up to the champion; a double-click on the champion does nothing more.
    for (int slot : {65, 97})
      DoubleClick(slot);
    Drop(QStringLiteral("R1S1"), 127);
    QCOMPARE(At(127), Team(QStringLiteral("R1S1")));
    DoubleClick(127);
    QCOMPARE(Place(QStringLiteral("R1S1")).RoundReached, 7);
    QVERIFY(Shown().isEmpty());
  }

  void rightClickTakesATeamOff() {
    Open(true, true);
    DoubleClick(1);
    DoubleClick(65);
    // With Shift, Ctrl or Alt, or another button held, a right-click is no removal.
    RightClick(97, Qt::ShiftModifier);
    RightClick(97, Qt::ControlModifier);
    FForm->imgBracketsMouseDown(Qt::RightButton, Qt::NoModifier, Point(97),
                                Qt::RightButton | Qt::LeftButton);
    QCOMPARE(Place(QStringLiteral("R1S1")).RoundReached, 3);
    // On a later line: off that line and every later one.
    RightClick(65);
    QCOMPARE(Place(QStringLiteral("R1S1")), (TPlace{1, 1, 1, false}));
    QCOMPARE(At(97), nullptr);
    // An empty line: nothing to say. The first round is locked.
    RightClick(65);
    QVERIFY(Shown().isEmpty());
    RightClick(1);
    QCOMPARE(Shown(), QStringList{TOpenPool::kCannotRemoveFirstRound});
    QCOMPARE(At(1), Team(QStringLiteral("R1S1")));
  }

  void rightClickBeforeTheLockUnplacesTheTeam() {
    Open(false, true);
    RightClick(17);
    QCOMPARE(Place(QStringLiteral("R2S1")), (TPlace{0, 0, 0, false}));
    QCOMPARE(At(17), nullptr);
    QVERIFY(Shown().isEmpty());
  }

  // --- Clear and audit ---------------------------------------------------------------------

  void clearBracketsKeepsRegionAndSeed() {
    Open(true, true);
    DoubleClick(1);  // R1S16 is beaten
    QVERIFY(Team(QStringLiteral("R1S16"))->Eliminated());
    FPrompts.QueueAnswer(TPrompts::Answer::No);
    FForm->actTeamsClearExecute();
    QCOMPARE(At(65), Team(QStringLiteral("R1S1")));
    FPrompts.QueueAnswer(TPrompts::Answer::Yes);
    FForm->actTeamsClearExecute();
    QCOMPARE(FPrompts.Shown().last().Text, TfrmBracketBuild::kClearQuestion);
    QCOMPARE(FPrompts.Shown().last().ButtonSet, TPrompts::Buttons::YesNo);
    QCOMPARE(FPrompts.Shown().last().IconKind, TPrompts::Icon::Stop);
    for (int slot = 1; slot <= 127; ++slot)
      QCOMPARE(At(slot), nullptr);
    // Off the chart, nobody has lost.
    QCOMPARE(Place(QStringLiteral("R1S1")), (TPlace{1, 1, 0, false}));
    QCOMPARE(Place(QStringLiteral("R1S16")), (TPlace{1, 16, 0, false}));
    // Its old path still holds: a later line puts it back on its first-round line too.
    Drop(QStringLiteral("R3S5"), 106);
    QCOMPARE(At(37), Team(QStringLiteral("R3S5")));
    QCOMPARE(Place(QStringLiteral("R3S5")).RoundReached, 3);
  }

  void auditBeforeAndAfterTheLock() {
    Open(false, false, 64);
    auto audit = [this] {
      FForm->actTeamsAuditExecute();
      const auto shown = FPrompts.Shown().last();
      [&] {
        QCOMPARE(shown.IconKind, TPrompts::Icon::None);
        QCOMPARE(shown.ButtonSet, TPrompts::Buttons::Ok);
      }();
      return shown.Text;
    };
    for (int i = 1; i <= 63; ++i)
      Drop(QStringLiteral("T%1").arg(i), i);
    QCOMPARE(audit(), TfrmBracketBuild::kAuditFailed);
    Drop(QStringLiteral("T64"), 64);
    QCOMPARE(audit(), TfrmBracketBuild::kAuditPassed);
    FPool->Lock();
    QCOMPARE(audit(), TfrmBracketBuild::kAuditFailed);
    AdvanceTopSeedsTo(7);
    QVERIFY(At(127));
    QCOMPARE(audit(), TfrmBracketBuild::kAuditPassed);
  }

  // --- The team list -------------------------------------------------------------------------

  void addingTeamsUpToSixtyFour() {
    Open(false, false, 63);
    Type(QStringLiteral("Sixty-Four"));
    FForm->btnAddTeamNameClick();
    QVERIFY(Shown().isEmpty());
    QCOMPARE(Teams().Count(), 64);
    QCOMPARE(ListItems().last(), QStringLiteral("Sixty-Four"));
    QCOMPARE(FForm->edtTeamName->text(), QString());
    // The new name was scrolled into sight.
    const QRect row = FForm->lstTeams->visualItemRect(FForm->lstTeams->item(63));
    QVERIFY(FForm->lstTeams->viewport()->rect().contains(row));
    Type(QStringLiteral("Sixty-Five"));
    FForm->btnAddTeamNameClick();
    QCOMPARE(Shown(), QStringList{TOpenPool::kTeamListFull});
    QCOMPARE(FForm->edtTeamName->text(), QStringLiteral("Sixty-Five"));
    QCOMPARE(Teams().Count(), 64);
  }

  void duplicatesAndEmptyNames() {
    Open(false, false, 2);
    Type(QStringLiteral("  T1 "));
    FForm->btnAddTeamNameClick();
    QCOMPARE(Shown(), QStringList{TOpenPool::kTeamNameTaken});
    QCOMPARE(FForm->edtTeamName->text(), QStringLiteral("  T1 "));
    // Letter case counts: "t1" is another team.
    Type(QStringLiteral("t1"));
    FForm->btnAddTeamNameClick();
    QCOMPARE(Teams().Count(), 3);
    // An empty box adds an empty name once.
    Type(QString());
    FForm->btnAddTeamNameClick();
    QCOMPARE(Teams().Count(), 4);
    FForm->btnAddTeamNameClick();
    QCOMPARE(Shown().last(), TOpenPool::kTeamNameTaken);
    QCOMPARE(ListItems(), QStringList({"T1", "T2", "t1", ""}));
    // A name the pool's files cannot keep is refused in the picks import's words.
    Type(QStringLiteral("\u0141\u00f3d\u017a Tech"));
    FForm->btnAddTeamNameClick();
    QCOMPARE(Shown().last(), QStringLiteral("The team name \"\u0141\u00f3d\u017a Tech\" holds "
                                            "\"\u0141\", a character a pool cannot store"));
    QCOMPARE(FPrompts.Shown().last().IconKind, TPrompts::Icon::Stop);
    QCOMPARE(Teams().Count(), 4);
    // The box takes no more than a stored name holds.
    Type(QString(40, QLatin1Char('x')));
    QCOMPARE(FForm->edtTeamName->text().size(), 35);
  }

  // A team on the chart is marked in the list, which keeps its order.
  void theListMarksThePlacedTeams() {
    Open(false, false, 3);
    auto marked = [this](int row) {
      const QImage mark = FForm->lstTeams->item(row)->icon().pixmap(12, 12).toImage();
      for (int y = 0; y < mark.height(); ++y) {
        for (int x = 0; x < mark.width(); ++x) {
          if (qAlpha(mark.pixel(x, y)) > 0)
            return true;
        }
      }
      return false;
    };
    QVERIFY(!marked(0) && !marked(1) && !marked(2));
    Drop(QStringLiteral("T2"), 17);
    QCOMPARE(ListItems(), QStringList({"T1", "T2", "T3"}));
    QVERIFY(!marked(0) && marked(1) && !marked(2));
    QCOMPARE(FForm->lstTeams->item(1)->toolTip(), QStringLiteral("T2: on the chart, South 1"));
    FForm->UndoStack()->undo();
    QVERIFY(!marked(1));
    QCOMPARE(FForm->lstTeams->item(1)->toolTip(), QStringLiteral("T2"));
  }

  void removingTeams() {
    Open(false, false, 3);
    Type(QStringLiteral("t2"));
    FForm->btnRemoveTeamNameClick();
    Type(QStringLiteral(" T2"));
    FForm->btnRemoveTeamNameClick();
    QCOMPARE(Shown(), QStringList({TOpenPool::kNotInList, TOpenPool::kNotInList}));
    QCOMPARE(Teams().Count(), 3);
    // A click on the list puts the name in the box, ready for Remove.
    FForm->lstTeams->setCurrentRow(1);
    FForm->lstTeamsClick();
    QCOMPARE(FForm->edtTeamName->text(), QStringLiteral("T2"));
    FForm->btnRemoveTeamNameClick();
    QCOMPARE(ListItems(), QStringList({"T1", "T3"}));
    QCOMPARE(FForm->edtTeamName->text(), QString());
    // A team just placed stands on the chart at once; off the chart it may go.
    Drop(QStringLiteral("T3"), 5);
    Type(QStringLiteral("T3"));
    FForm->btnRemoveTeamNameClick();
    QCOMPARE(Shown().last(), TOpenPool::kRemovePlaced);
    RightClick(5);
    FForm->btnRemoveTeamNameClick();
    QCOMPARE(ListItems(), QStringList{"T1"});
    QCOMPARE(Teams().Count(), 1);
  }

  // --- Tie-breaker ---------------------------------------------------------------------------

  void tieBreakerFollowsTheChampion() {
    Open(true, true);
    QVERIFY(!FForm->actTieBreakerPts->isEnabled());
    AdvanceTopSeedsTo(7);
    QVERIFY(FForm->actTieBreakerPts->isEnabled());
    RightClick(127);
    QVERIFY(!FForm->actTieBreakerPts->isEnabled());
    // Undo puts the champion back, and the command with it.
    FForm->UndoStack()->undo();
    QVERIFY(FForm->actTieBreakerPts->isEnabled());
  }

  void tieBreakerDialog() {
    Open(true, true);
    FPool->SetTieBreakerPoints(120);
    QString opened;
    FRunner = [&opened](QDialog& dialog) {
      auto& tie = dynamic_cast<TdlgTieBreakerPoints&>(dialog);
      opened = tie.edtTieBreakerPoints->text();
      tie.edtTieBreakerPoints->setText(QStringLiteral("145"));
      tie.btnOK->click();
      return tie.result();
    };
    FForm->actTieBreakerPtsExecute();
    QCOMPARE(opened, QStringLiteral("120"));
    QCOMPARE(FPool->DataModule()->SystemFile().TieBreakerPoints(), 145);
    // Cancel after changing the box keeps the stored value.
    FRunner = [](QDialog& dialog) {
      auto& tie = dynamic_cast<TdlgTieBreakerPoints&>(dialog);
      tie.edtTieBreakerPoints->setText(QStringLiteral("99"));
      tie.btnCancel->click();
      return tie.result();
    };
    FForm->actTieBreakerPtsExecute();
    QCOMPARE(FPool->DataModule()->SystemFile().TieBreakerPoints(), 145);
    // A blank box: the user is told, the dialog stays, the value too.
    bool stayed = false;
    FRunner = [&stayed](QDialog& dialog) {
      auto& tie = dynamic_cast<TdlgTieBreakerPoints&>(dialog);
      tie.show();
      tie.edtTieBreakerPoints->clear();
      tie.btnOK->click();
      stayed = tie.isVisible();
      tie.btnCancel->click();
      return tie.result();
    };
    FForm->actTieBreakerPtsExecute();
    QVERIFY(stayed);
    QCOMPARE(Shown(), QStringList{TOpenPool::kTieBreakerRange});
    QCOMPARE(FPool->DataModule()->SystemFile().TieBreakerPoints(), 145);
    QCOMPARE(FDialogs,
             QStringList({"dlgTieBreakerPoints", "dlgTieBreakerPoints", "dlgTieBreakerPoints"}));
  }

  // --- Who has lost -------------------------------------------------------------------------

  void everyAdvanceMarksTheLosersAtOnce() {
    Open(true, true);
    DoubleClick(1);   // R1S1 beats R1S16
    DoubleClick(4);   // R1S9 beats R1S8
    DoubleClick(66);  // R1S9 beats R1S1
    QVERIFY(Team(QStringLiteral("R1S16"))->Eliminated());
    QVERIFY(Team(QStringLiteral("R1S8"))->Eliminated());
    QVERIFY(Team(QStringLiteral("R1S1"))->Eliminated());
    QVERIFY(!Team(QStringLiteral("R1S9"))->Eliminated());
    QVERIFY(!Team(QStringLiteral("R1S5"))->Eliminated());
    QCOMPARE(Place(QStringLiteral("R1S9")).RoundReached, 3);
  }

  // --- Undo and redo -------------------------------------------------------------------------

  void undoAndRedoOfEveryStep() {
    Open(true, true);
    QUndoStack* undo = FForm->UndoStack();
    // Every step: what the teams file says before, after the step, after undo, after redo.
    auto places = [this] {
      QList<TPlace> all;
      for (const auto& team : Teams().List())
        all << PlaceOf(team.get());
      return all;
    };
    auto check = [&](const char* step, const std::function<void()>& edit) {
      // Each step starts from a saved pool: undo marks what it touched modified again.
      FPool->Save();
      const QList<TPlace> before = places();
      const QStringList names = ListItems();
      const int points = FPool->DataModule()->SystemFile().TieBreakerPoints();
      const int count = undo->count();
      edit();
      QVERIFY2(undo->count() == count + 1, step);
      const QList<TPlace> after = places();
      const QStringList namesAfter = ListItems();
      const int pointsAfter = FPool->DataModule()->SystemFile().TieBreakerPoints();
      FPool->Save();
      undo->undo();
      QVERIFY2(FPool->Modified(), step);
      QVERIFY2(places() == before, step);
      QVERIFY2(ListItems() == names, step);
      QVERIFY2(FPool->DataModule()->SystemFile().TieBreakerPoints() == points, step);
      undo->redo();
      QVERIFY2(places() == after, step);
      QVERIFY2(ListItems() == namesAfter, step);
      QVERIFY2(FPool->DataModule()->SystemFile().TieBreakerPoints() == pointsAfter, step);
    };
    check("advance", [this] { DoubleClick(1); });
    check("displace", [this] { DoubleClick(2); });
    check("drop on a later line", [this] { Drop(QStringLiteral("R1S1"), 121); });
    check("remove from a line", [this] { RightClick(97); });
    FRunner = [](QDialog& dialog) {
      auto& tie = dynamic_cast<TdlgTieBreakerPoints&>(dialog);
      tie.edtTieBreakerPoints->setText(QStringLiteral("151"));
      tie.btnOK->click();
      return tie.result();
    };
    check("tie-breaker", [this] { FForm->actTieBreakerPtsExecute(); });
    FPrompts.QueueAnswer(TPrompts::Answer::Yes);
    check("clear", [this] { FForm->actTeamsClearExecute(); });
    // Back before the clear, the tie-breaker and the right-click: R1S1 is a regional winner.
    undo->undo();
    undo->undo();
    undo->undo();
    QCOMPARE(At(121), Team(QStringLiteral("R1S1")));
    // A misplaced drop displaces its whole branch; one undo brings the branch back.
    Drop(QStringLiteral("R1S16"), 65);
    QCOMPARE(Place(QStringLiteral("R1S1")).RoundReached, 1);
    QCOMPARE(At(121), nullptr);
    FForm->actEditUndo->trigger();
    for (int slot : {1, 65, 97, 113, 121})
      QCOMPARE(At(slot), Team(QStringLiteral("R1S1")));
    QCOMPARE(Place(QStringLiteral("R1S16")).RoundReached, 1);
  }

  void undoAndRedoOfTheTeamList() {
    Open(false, false, 3);
    QUndoStack* undo = FForm->UndoStack();
    Drop(QStringLiteral("T2"), 9);
    Type(QStringLiteral("Fourth"));
    FForm->btnAddTeamNameClick();
    Type(QStringLiteral("T1"));
    FForm->btnRemoveTeamNameClick();
    QCOMPARE(ListItems(), QStringList({"T2", "T3", "Fourth"}));
    undo->undo();
    QCOMPARE(ListItems(), QStringList({"T1", "T2", "T3", "Fourth"}));
    undo->undo();
    QCOMPARE(ListItems(), QStringList({"T1", "T2", "T3"}));
    undo->undo();
    QCOMPARE(Place(QStringLiteral("T2")), (TPlace{0, 0, 0, false}));
    QCOMPARE(At(9), nullptr);
    undo->redo();
    undo->redo();
    undo->redo();
    QCOMPARE(ListItems(), QStringList({"T2", "T3", "Fourth"}));
    QCOMPARE(At(9), Team(QStringLiteral("T2")));
    // The keys of the Edit menu.
    QCOMPARE(FForm->actEditUndo->shortcut(), QKeySequence(QKeySequence::Undo));
    QVERIFY(
        FForm->actEditRedo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
  }

  // --- Activation, lock and another pool -----------------------------------------------------

  // Each activation fills the window afresh; the tips come once per opening of the window.
  void activationFillsTheWindowAndShowsTheTipsOnce() {
    Open(false, false, 2);
    FForm->edtTeamName->setText(QStringLiteral("half typed"));
    FForm->FormActivate();
    QCOMPARE(FDialogs, QStringList());
    QCOMPARE(ListItems(), QStringList({"T1", "T2"}));
    QCOMPARE(FForm->edtTeamName->text(), QString());
    QCOMPARE(FForm->lblPrompt->text(), TfrmBracketBuild::kPromptUnlocked);
    FForm->close();
    FForm->show();
    FForm->FormActivate();
    QCOMPARE(FDialogs, QStringList{"dlgSplashHelp1"});
    // Ticked, the tips stay away.
    FForm->dlgSplashHelp1->chkDontShow->setChecked(true);
    FForm->close();
    FForm->show();
    FForm->FormActivate();
    QCOMPARE(FDialogs.size(), 1);
  }

  void ownMessagesDoNotCountAsActivation() {
    Open(true, true);
    DoubleClick(1);
    FForm->edtTeamName->setText(QStringLiteral("half typed"));
    // The tie-breaker dialog takes the activation and gives it back.
    FRunner = [this](QDialog&) {
      QEvent away(QEvent::WindowDeactivate);
      QApplication::sendEvent(FForm.get(), &away);
      return static_cast<int>(QDialog::Rejected);
    };
    FForm->actTieBreakerPtsExecute();
    QEvent back(QEvent::WindowActivate);
    QApplication::sendEvent(FForm.get(), &back);
    QCOMPARE(FForm->edtTeamName->text(), QStringLiteral("half typed"));
    QVERIFY(FForm->UndoStack()->canUndo());
    QCOMPARE(FDialogs, QStringList{"dlgTieBreakerPoints"});
    // Coming back from another window is an activation.
    FRunner = nullptr;
    QEvent away(QEvent::WindowDeactivate);
    QApplication::sendEvent(FForm.get(), &away);
    QApplication::sendEvent(FForm.get(), &back);
    QCOMPARE(FForm->edtTeamName->text(), QString());
    QCOMPARE(FDialogs, QStringList{"dlgTieBreakerPoints"});
    QVERIFY(FForm->UndoStack()->canUndo());
  }

  void lockUnlockAndAnotherPoolWhileOpen() {
    Open(false, true);
    QCOMPARE(FForm->lblPrompt->text(), TfrmBracketBuild::kPromptUnlocked);
    FPool->Lock();
    QCOMPARE(FForm->lblPrompt->text(), TfrmBracketBuild::kPromptLocked);
    DoubleClick(1);
    QCOMPARE(At(65), Team(QStringLiteral("R1S1")));
    FPool->Unlock();
    QCOMPARE(FForm->lblPrompt->text(), TfrmBracketBuild::kPromptUnlocked);
    QVERIFY(!FForm->UndoStack()->canUndo());
    // Another pool: its teams in the list and on the chart, nothing of the old one.
    const QString other = FDir->filePath(QStringLiteral("Other.BGD"));
    QVERIFY(QDir().mkpath(other));
    auto module = TestPools::CreatePool(other);
    TestPools::AddTeam(module->TeamsFile(), QStringLiteral("Newcomer"), 2, 16, 1);
    module->SavePool();
    module->ClosePool();
    FPrompts.QueueAnswer(TPrompts::Answer::No);
    QVERIFY(FPool->OpenPool(other, false));
    QCOMPARE(ListItems(), QStringList{"Newcomer"});
    QCOMPARE(FForm->sbxBracket->Chart(), FPool->ResultsBracket());
    QCOMPARE(At(18), Team(QStringLiteral("Newcomer")));
    RightClick(18);
    QCOMPARE(At(18), nullptr);
  }

  // --- Layout and stored state -----------------------------------------------------------------

  void layoutFollowsTheWindowSize() {
    Open(false, false, 1);
    FForm->resize(1200, 900);
    FForm->FormResize();
    QCOMPARE(FForm->sbxBracket->width(), 820);
    QCOMPARE(FForm->sbxBracket->height(), 620);
    const int chartBottom = FForm->sbxBracket->geometry().bottom();
    QCOMPARE(FForm->pnlTeamMaint->geometry().bottom(), chartBottom - 3);
    QCOMPARE(FForm->lstTeams->height(), 620 - 141 - 10);
    FForm->resize(600, 400);
    FForm->FormResize();
    QCOMPARE(FForm->sbxBracket->width(), 440);
    FForm->actTeamsMaintExecute();
    QVERIFY(FForm->pnlTeamMaint->isHidden());
    QCOMPARE(FForm->lstTeams->height(), FForm->sbxBracket->height());
    FForm->actTeamsMaintExecute();
    QVERIFY(!FForm->pnlTeamMaint->isHidden());
    QCOMPARE(FForm->lstTeams->height(), FForm->sbxBracket->height() - 141 - 2);
    QCOMPARE(FForm->pnlTeamMaint->geometry().bottom(), FForm->sbxBracket->geometry().bottom() - 3);
  }

  void windowStateIsStoredUnderBracketBuild() {
    MakePool(false, false, 1);
    {
      TfrmBracketBuild form(*FPool);
      QCOMPARE(form.size(), QSize(740, 475));
      QCOMPARE(form.pos(), QPoint(23, 53));
      QCOMPARE(form.windowTitle(), QStringLiteral("Bracket Builder "));
      form.resize(800, 500);
      form.move(40, 60);
    }
    TRegistry registry;
    QVERIFY(registry.OpenKey(TRegistry::kFormStateKey + QStringLiteral("\\BracketBuild"), false));
    QCOMPARE(registry.ReadString(QStringLiteral("Width")), QStringLiteral("800"));
    QCOMPARE(registry.ReadString(QStringLiteral("Height")), QStringLiteral("500"));
    QCOMPARE(registry.ReadString(QStringLiteral("Left")), QStringLiteral("40"));
    QCOMPARE(registry.ReadString(QStringLiteral("Top")), QStringLiteral("60"));
    registry.CloseKey();
    TfrmBracketBuild again(*FPool);
    QCOMPARE(again.size(), QSize(800, 500));
    QCOMPARE(again.pos(), QPoint(40, 60));
  }

  void helpOpensTheWindowsTopic() {
    Open(false, false, 1);
    FForm->actHelpExecute();
    QCOMPARE(FHelp.Contexts(), QList<int>{220});
  }
};

QTEST_MAIN(TestBuilder)
#include "tst_builder.moc"
