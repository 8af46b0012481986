// The open pool's document on its own, with no window: every edit operation keeps the pool's
// rules, marks the right file, says what changed, and undo then redo give back the very bytes
// a save writes.

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoGroup>
#include <QUndoStack>
#include <cerrno>
#include <functional>
#include <memory>

#include "BracketList.h"
#include "FFDataModule.h"
#include "FakePrompts.h"
#include "OpenPool.h"
#include "SafeFile.h"
#include "TestPools.h"

namespace {

// Every slot shows a team standing on its path at least as far as the slot's round, and every
// placed team stands on exactly the slots of its path for rounds 1 to its round reached.
QString ChartProblem(const TOpenPool& pool) {
  const TBracketList& chart = *pool.ResultsBracket();
  for (int i = 0; i < chart.Count(); ++i) {
    const TBracketItem* slot = chart.Items(i);
    const TChartEntry* team = slot->Team();
    if (!team)
      continue;
    const TWinnerPathItem* path = chart.FindPath(*team);
    if (!path || path->Slot(slot->Round()) != i + 1 || team->RoundReached() < slot->Round())
      return QStringLiteral("slot %1 shows %2 off its path").arg(i + 1).arg(team->TeamName());
  }
  for (const auto& team : pool.DataModule()->TeamsFile().List()) {
    for (int round = 1; round <= 7; ++round) {
      const TBracketItem* slot = chart.SlotOnPath(team->Region(), team->Seed(), round);
      const bool stands = slot && slot->Team() == team.get();
      if (stands != (round <= team->RoundReached() && team->Region() != 0))
        return QStringLiteral("%1 wrong in round %2").arg(team->TeamName()).arg(round);
    }
  }
  return QString();
}

}  // namespace

class TestPool : public QObject {
  Q_OBJECT

 private:
  QString PoolDir() const { return FDir->filePath(QStringLiteral("Office.BGD")); }

  // Makes a pool on disk (a full field of teams on their first-round lines, `players`
  // players) and opens it in the document.
  void Open(bool locked, int players = 0, bool fullField = true) {
    QVERIFY(QDir().mkpath(PoolDir()));
    auto module = TestPools::CreatePool(PoolDir());
    if (fullField)
      TestPools::AddFullField(module->TeamsFile());
    module->SystemFile().SetFinalized(locked);
    for (int i = 1; i <= players; ++i)
      TestPools::AddPlayer(*module, QStringLiteral("P%1").arg(i), 100 + i);
    module->SavePool();
    module->ClosePool();
    QVERIFY(FPool->OpenPool(PoolDir(), false));
    QVERIFY(!FPool->Modified());
  }

  TTeamSeedObject* Team(const QString& name) const {
    return FPool->DataModule()->TeamsFile().FindTeam(name);
  }
  TTeamsFile& Teams() const { return FPool->DataModule()->TeamsFile(); }
  TPlayerPicksFile& Players() const { return FPool->DataModule()->PlayerPicksFile(); }
  const TChartEntry* Results(int slot) const { return FPool->ResultsBracket()->Slot(slot)->Team(); }
  const TChartEntry* Picks(int slot) const { return FPool->PicksBracket()->Slot(slot)->Team(); }

  // Saves and reads back the three files. In the player file the characters after a name's
  // length are whatever the record written before left there, which depends on what was
  // saved before, not on the pool: they read as blanks here.
  QByteArray Saved() {
    FPool->Save();
    QByteArray bytes;
    for (const QString& name : {TSystemFile::kFileName, TTeamsFile::kFileName}) {
      bytes += TestPools::ReadBytes(QDir(PoolDir()).filePath(name));
      bytes += '|';
    }
    QByteArray players =
        TestPools::ReadBytes(QDir(PoolDir()).filePath(TPlayerPicksFile::kFileName));
    for (int record = 0; record + TPlayerPicksFile::kRecordSize <= players.size();
         record += TPlayerPicksFile::kRecordSize) {
      QList<int> names = {record};
      for (int i = 0; i < TPlayerPicksListObject::kPickCount; ++i)
        names << record + 40 + 48 * i;
      for (int at : names) {
        for (int c = at + 1 + static_cast<unsigned char>(players[at]); c < at + 36; ++c)
          players[c] = 0;
      }
    }
    return bytes + players;
  }

  // Does `edit` through the window's stack and checks that undo gives back the bytes from
  // before and redo those from after.
  void CheckUndoRedo(const std::function<void()>& edit) {
    const QByteArray before = Saved();
    edit();
    QVERIFY(FStack->canUndo());
    const QByteArray after = Saved();
    QVERIFY(after != before);
    FStack->undo();
    QVERIFY(FPool->Modified());
    QCOMPARE(Saved(), before);
    QCOMPARE(ChartProblem(*FPool), QString());
    FStack->redo();
    QCOMPARE(Saved(), after);
    QCOMPARE(ChartProblem(*FPool), QString());
  }

  std::unique_ptr<QTemporaryDir> FDir;
  TFakePrompts FPrompts;
  std::unique_ptr<TPromptsScope> FPromptsScope;
  std::unique_ptr<TOpenPool> FPool;
  std::unique_ptr<QObject> FWindow;
  QUndoStack* FStack = nullptr;

 private slots:
  void init() {
    FDir = std::make_unique<QTemporaryDir>();
    FPrompts.Reset();
    FPromptsScope = std::make_unique<TPromptsScope>(&FPrompts);
    FPool = std::make_unique<TOpenPool>();
    FWindow = std::make_unique<QObject>();
    FStack = FPool->CreateUndoStack(FWindow.get());
  }

  void cleanup() {
    FWindow.reset();
    FPool.reset();
    FPromptsScope.reset();
    FDir.reset();
  }

  // --- Results chart ---------------------------------------------------------------------

  void placingOnAFirstRoundLineReplacesItsTeam() {
    Open(false, 0, false);
    TTeamSeedObject* holder = FPool->AddTeam(QStringLiteral("Holder"));
    TTeamSeedObject* newcomer = FPool->AddTeam(QStringLiteral("Newcomer"));
    QVERIFY(FPool->PlaceTeam(holder, 1));
    Saved();
    QSignalSpy chart(FPool.get(), &TOpenPool::ChartChanged);
    newcomer->SetEliminated(true);

    QVERIFY(FPool->PlaceTeam(newcomer, 1, FStack));
    QCOMPARE(chart.count(), 1);
    QVERIFY(Teams().Modified());
    QVERIFY(Results(1) == newcomer);
    QCOMPARE(newcomer->Region(), 1);
    QCOMPARE(newcomer->Seed(), 1);
    QCOMPARE(newcomer->RoundReached(), 1);
    QVERIFY(!newcomer->Eliminated());
    // The team it pushed off is back to unplaced.
    QCOMPARE(holder->Region(), 0);
    QCOMPARE(holder->Seed(), 0);
    QCOMPARE(holder->RoundReached(), 0);
    QCOMPARE(ChartProblem(*FPool), QString());

    FStack->undo();
    QCOMPARE(chart.count(), 2);
    QVERIFY(Results(1) == holder);
    QCOMPARE(holder->Region(), 1);
    QCOMPARE(newcomer->Region(), 0);
    QVERIFY(newcomer->Eliminated());
    FStack->redo();
    QVERIFY(Results(1) == newcomer);
    QCOMPARE(ChartProblem(*FPool), QString());
  }

  void placeUndoRedoGivesBackTheSavedBytes() {
    Open(false, 0, false);
    TTeamSeedObject* a = FPool->AddTeam(QStringLiteral("Alpha"));
    TTeamSeedObject* b = FPool->AddTeam(QStringLiteral("Beta"));
    QVERIFY(FPool->PlaceTeam(a, 17));
    CheckUndoRedo([&] { QVERIFY(FPool->PlaceTeam(b, 17, FStack)); });
    CheckUndoRedo([&] { QVERIFY(FPool->PlaceTeam(b, 40, FStack)); });
  }

  void advancingFollowsTheWinnerPath() {
    Open(true);
    TTeamSeedObject* one = Team(QStringLiteral("R1S1"));
    TTeamSeedObject* sixteen = Team(QStringLiteral("R1S16"));
    QSignalSpy modified(FPool.get(), &TOpenPool::ModifiedChanged);

    QVERIFY(FPool->AdvanceTeam(1, FStack));
    QCOMPARE(modified.count(), 1);
    QCOMPARE(modified.at(0).at(0).toBool(), true);
    QVERIFY(Results(65) == one);
    QCOMPARE(one->RoundReached(), 2);
    // The opponent takes the line: the first team drops back to its first round.
    QVERIFY(FPool->AdvanceTeam(2, FStack));
    QVERIFY(Results(65) == sixteen);
    QCOMPARE(one->RoundReached(), 1);
    QCOMPARE(sixteen->RoundReached(), 2);
    QCOMPARE(ChartProblem(*FPool), QString());
    // Nothing to advance from an empty line or past the champion.
    QVERIFY(!FPool->AdvanceTeam(97, FStack));
    QVERIFY(FPool->PlaceTeam(one, 127));
    QVERIFY(!FPool->AdvanceTeam(127, FStack));
    QCOMPARE(modified.count(), 1);

    CheckUndoRedo([&] { QVERIFY(FPool->AdvanceTeam(4, FStack)); });
  }

  void placingFurtherFillsThePathAndDisplacesOthers() {
    Open(true);
    TTeamSeedObject* one = Team(QStringLiteral("R1S1"));
    TTeamSeedObject* nine = Team(QStringLiteral("R1S9"));
    TTeamSeedObject* eight = Team(QStringLiteral("R1S8"));
    // Straight to the champion: every line of the path on the way.
    QVERIFY(FPool->PlaceTeam(one, 127, FStack));
    for (int slot : {1, 65, 97, 113, 121, 125, 127})
      QVERIFY(Results(slot) == one);
    QCOMPARE(one->RoundReached(), 7);
    QVERIFY(FPool->AdvanceTeam(3, FStack));
    QCOMPARE(eight->RoundReached(), 2);

    // Another team of the same quarter onto round 3: the champion keeps rounds 1 and 2 only,
    // and the team that held the round-2 line of the newcomer's game is pushed back too.
    CheckUndoRedo([&] { QVERIFY(FPool->PlaceTeam(nine, 97, FStack)); });
    QCOMPARE(one->RoundReached(), 2);
    QCOMPARE(eight->RoundReached(), 1);
    QCOMPARE(nine->RoundReached(), 3);
    QVERIFY(Results(66) == nine);
    QVERIFY(Results(113) == nullptr);
    QVERIFY(Results(127) == nullptr);

    // A team standing further, placed on its own earlier line, ends there.
    QVERIFY(FPool->PlaceTeam(nine, 66, FStack));
    QCOMPARE(nine->RoundReached(), 2);
    QVERIFY(Results(97) == nullptr);
    QCOMPARE(ChartProblem(*FPool), QString());
  }

  void placingOffThePathChangesNothing() {
    Open(true);
    TTeamSeedObject* one = Team(QStringLiteral("R1S1"));
    QSignalSpy chart(FPool.get(), &TOpenPool::ChartChanged);
    QVERIFY(!FPool->PlaceTeam(one, 126, FStack));  // the other side's finalist
    QVERIFY(!FPool->PlaceTeam(one, 81, FStack));   // a round-2 line of region 3
    QVERIFY(!FPool->PlaceTeam(one, 0, FStack));
    QVERIFY(!FPool->PlaceTeam(one, 128, FStack));
    QVERIFY(!FPool->PlaceTeam(nullptr, 1, FStack));
    QCOMPARE(chart.count(), 0);
    QVERIFY(!FPool->Modified());
    QCOMPARE(FStack->count(), 0);
    QCOMPARE(one->RoundReached(), 1);
  }

  void thePoolsStateDecidesWhatMayBeEdited() {
    Open(false);
    TTeamSeedObject* one = Team(QStringLiteral("R1S1"));
    // Open first round: nothing moves past it, and there are no players yet.
    QVERIFY(!FPool->PlaceTeam(one, 65, FStack));
    QVERIFY(!FPool->AdvanceTeam(1, FStack));
    QCOMPARE(FPool->AddPlayer(QStringLiteral("Early"), FStack), nullptr);
    QCOMPARE(FStack->count(), 0);
    QVERIFY(!FPool->Modified());
    // Locked: the first round stays as built.
    FPool->Lock();
    QVERIFY(!FPool->PlaceTeam(one, 2, FStack));
    QVERIFY(!FPool->RemoveTeamFromSlot(1, FStack));
    QVERIFY(Results(1) == one);
    QCOMPARE(FStack->count(), 0);
    QVERIFY(FPool->AddPlayer(QStringLiteral("On time"), FStack));
  }

  void removingFromASlotKeepsTheEarlierRounds() {
    Open(true);
    TTeamSeedObject* one = Team(QStringLiteral("R1S1"));
    QVERIFY(FPool->PlaceTeam(one, 113));
    CheckUndoRedo([&] { QVERIFY(FPool->RemoveTeamFromSlot(97, FStack)); });
    QCOMPARE(one->RoundReached(), 2);
    QCOMPARE(one->Region(), 1);
    QVERIFY(Results(97) == nullptr);
    QVERIFY(Results(113) == nullptr);
    QVERIFY(Results(65) == one);

    // The first round is fixed while locked; open again, a team comes off its line.
    QVERIFY(!FPool->RemoveTeamFromSlot(1, FStack));
    QVERIFY(Results(1) == one);
    FPool->Unlock();
    CheckUndoRedo([&] { QVERIFY(FPool->RemoveTeamFromSlot(1, FStack)); });
    QCOMPARE(one->RoundReached(), 0);
    QCOMPARE(one->Region(), 0);
    QCOMPARE(one->Seed(), 0);
    QVERIFY(Results(1) == nullptr);
    QVERIFY(!FPool->RemoveTeamFromSlot(1, FStack));
  }

  void clearingTheChartKeepsRegionAndSeed() {
    Open(true);
    TTeamSeedObject* one = Team(QStringLiteral("R1S1"));
    one->SetEliminated(true);
    QVERIFY(FPool->PlaceTeam(one, 97));
    CheckUndoRedo([&] { FPool->ClearChart(FStack); });
    for (int slot = 1; slot <= 127; ++slot)
      QVERIFY(Results(slot) == nullptr);
    for (const auto& team : Teams().List())
      QCOMPARE(team->RoundReached(), 0);
    QCOMPARE(one->Region(), 1);
    QCOMPARE(one->Seed(), 1);
    QVERIFY(one->Eliminated());
    // A team with its old place goes straight back onto a later line of its path.
    QVERIFY(FPool->PlaceTeam(one, 65));
    QVERIFY(Results(1) == one);
    // Clearing an empty chart still marks the teams.
    FPool->ClearChart();
    Saved();
    FPool->ClearChart();
    QVERIFY(Teams().Modified());
  }

  void recountMarksTheLosersWhileLocked() {
    Open(true);
    TTeamSeedObject* one = Team(QStringLiteral("R1S1"));
    TTeamSeedObject* sixteen = Team(QStringLiteral("R1S16"));
    TTeamSeedObject* eight = Team(QStringLiteral("R1S8"));
    QVERIFY(FPool->PlaceTeam(one, 97));
    QVERIFY(FPool->AdvanceTeam(3));  // R1S8 into round 2, then beaten by R1S1 in round 3
    one->SetRoundReached(5);         // a stored value the chart does not bear out
    CheckUndoRedo([&] { FPool->RecountTeams(FStack); });
    QCOMPARE(one->RoundReached(), 3);
    QVERIFY(!one->Eliminated());
    QVERIFY(sixteen->Eliminated());
    QVERIFY(eight->Eliminated());
    QCOMPARE(eight->RoundReached(), 2);
    QVERIFY(Team(QStringLiteral("R1S9"))->Eliminated());   // beaten by R1S8 in round 2
    QVERIFY(!Team(QStringLiteral("R1S5"))->Eliminated());  // its game is not played yet
    Saved();

    // Nothing to change: no edit, nothing marked, nothing to undo.
    const int commands = FStack->count();
    FPool->RecountTeams(FStack);
    QCOMPARE(FStack->count(), commands);
    QVERIFY(!FPool->Modified());
  }

  void recountClearsTheLosersWhileUnlocked() {
    Open(false);
    Team(QStringLiteral("R2S3"))->SetEliminated(true);
    FPool->RecountTeams(FStack);
    for (const auto& team : Teams().List()) {
      QVERIFY(!team->Eliminated());
      QCOMPARE(team->RoundReached(), 1);
    }
    QVERIFY(Teams().Modified());
  }

  // --- Team list -------------------------------------------------------------------------

  void addingTeamsKeepsTheListWithinItsRules() {
    Open(false, 0, false);
    QSignalSpy teams(FPool.get(), &TOpenPool::TeamsChanged);
    CheckUndoRedo([&] { QVERIFY(FPool->AddTeam(QStringLiteral("Alpha"), FStack)); });
    QVERIFY(teams.count() >= 1);
    TTeamSeedObject* alpha = Team(QStringLiteral("Alpha"));
    QCOMPARE(alpha->RoundReached(), 0);
    QCOMPARE(alpha->Region(), 0);
    // The same name with blanks around it is the same team; another case is another team.
    QVERIFY(!FPool->AddTeam(QStringLiteral("  Alpha "), FStack));
    QVERIFY(FPool->AddTeam(QStringLiteral("alpha"), FStack));
    for (int i = Teams().Count(); i < 64; ++i)
      QVERIFY(FPool->AddTeam(QStringLiteral("T%1").arg(i)));
    QCOMPARE(Teams().Count(), 64);
    QVERIFY(!FPool->AddTeam(QStringLiteral("One too many"), FStack));
    QCOMPARE(Teams().Count(), 64);
  }

  void removingATeamKeepsItForUndo() {
    Open(false, 0, false);
    TTeamSeedObject* a = FPool->AddTeam(QStringLiteral("A"));
    TTeamSeedObject* b = FPool->AddTeam(QStringLiteral("B"));
    TTeamSeedObject* c = FPool->AddTeam(QStringLiteral("C"));
    QVERIFY(FPool->PlaceTeam(c, 5));
    // A team on the chart must come off it first.
    QVERIFY(!FPool->RemoveTeam(c, FStack));

    QSignalSpy leaving(FPool.get(), &TOpenPool::TeamAboutToBeRemoved);
    QObject::connect(
        FPool.get(), &TOpenPool::TeamAboutToBeRemoved, this,
        [this](TTeamSeedObject* team) { QVERIFY(Teams().FindTeam(team->TeamName())); });
    CheckUndoRedo([&] { QVERIFY(FPool->RemoveTeam(b, FStack)); });
    QCOMPARE(leaving.count(), 2);  // the edit and its redo
    QCOMPARE(Teams().Count(), 2);
    FStack->undo();
    // The very team is back, in its place.
    QCOMPARE(Teams().Items(1), b);
    QCOMPARE(Teams().Items(0), a);
  }

  void undoingAnAddedTeamTakesItOffTheChart() {
    Open(false, 0, false);
    TTeamSeedObject* a = FPool->AddTeam(QStringLiteral("A"), FStack);
    QVERIFY(FPool->PlaceTeam(a, 9));  // done for good, outside the stack
    FStack->undo();
    QCOMPARE(Teams().Count(), 0);
    for (int slot = 1; slot <= 127; ++slot)
      QVERIFY(Results(slot) == nullptr);
  }

  void tieBreakerPoints() {
    Open(true);
    QSignalSpy tie(FPool.get(), &TOpenPool::TieBreakerChanged);
    CheckUndoRedo([&] { FPool->SetTieBreakerPoints(145, FStack); });
    QCOMPARE(FPool->DataModule()->SystemFile().TieBreakerPoints(), 145);
    QCOMPARE(tie.count(), 3);
    Saved();
    FPool->SetTieBreakerPoints(145, FStack);
    QVERIFY(!FPool->Modified());
    QCOMPARE(tie.count(), 3);
  }

  // --- Options ---------------------------------------------------------------------------

  void optionsAreStoredAndUndone() {
    Open(false);
    QSignalSpy options(FPool.get(), &TOpenPool::OptionsChanged);
    TPoolOptions changed = FPool->Options();
    QCOMPARE(changed.BracketNames[2], QStringLiteral("East"));
    QCOMPARE(changed.RoundPoints[5], 32);
    changed.PoolName = QStringLiteral("Office Pool");
    changed.BracketNames[2] = QStringLiteral("North");
    changed.RoundPoints[0] = 0;
    CheckUndoRedo([&] { FPool->SetOptions(changed, FStack); });
    QCOMPARE(options.count(), 3);
    QCOMPARE(FPool->Options(), changed);
    QCOMPARE(FPool->DataModule()->SystemFile().RoundPoints(2), 0);
    // The same options again are no edit.
    Saved();
    FPool->SetOptions(changed, FStack);
    QVERIFY(!FPool->Modified());
    QCOMPARE(options.count(), 3);
  }

  // --- Players ---------------------------------------------------------------------------

  void addingAndDeletingPlayers() {
    Open(true, 2);
    QSignalSpy players(FPool.get(), &TOpenPool::PlayersChanged);
    TPlayerPicksListObject* added = nullptr;
    CheckUndoRedo([&] { added = FPool->AddPlayer(QStringLiteral(" Pat "), FStack); });
    QCOMPARE(Players().Count(), 3);
    QCOMPARE(Players().Items(2), added);
    QCOMPARE(added->PlayerName(), QStringLiteral(" Pat "));
    QCOMPARE(added->TieBreakerPoints(), 0);
    QCOMPARE(added->Pick(5)->TeamName(), Teams().Items(5)->TeamName());
    QCOMPARE(added->Pick(5)->RoundReached(), 1);
    QVERIFY(players.count() >= 3);

    TPlayerPicksListObject* first = Players().Items(0);
    FPool->ShowPlayer(first);
    QVERIFY(Picks(1) == first->Pick(0));
    QSignalSpy leaving(FPool.get(), &TOpenPool::PlayerAboutToBeRemoved);
    CheckUndoRedo([&] { QVERIFY(FPool->DeletePlayer(first, FStack)); });
    QCOMPARE(leaving.count(), 2);
    // The shown player left the chart before it left the list.
    QCOMPARE(FPool->ShownPlayer(), nullptr);
    QVERIFY(Picks(1) == nullptr);
    // Out of the list, it cannot be shown either.
    FPool->ShowPlayer(first);
    QCOMPARE(FPool->ShownPlayer(), nullptr);
    QVERIFY(Picks(1) == nullptr);
    FStack->undo();
    QCOMPARE(Players().Items(0), first);
    QVERIFY(!FPool->DeletePlayer(nullptr, FStack));
  }

  void clearingAPlayerTakesTheTeamsAfresh() {
    Open(true, 1);
    TPlayerPicksListObject* player = Players().Items(0);
    FPool->ShowPlayer(player);
    QCOMPARE(FPool->DropPick(1, 127, FStack), TOpenPool::TDropResult::Dropped);
    QList<TPlayerPicksListObject*> changed;
    QObject::connect(FPool.get(), &TOpenPool::PlayerChanged, this,
                     [&changed](TPlayerPicksListObject* which) { changed << which; });
    CheckUndoRedo([&] { FPool->ClearPlayer(player, FStack); });
    QCOMPARE(changed, QList<TPlayerPicksListObject*>({player, player, player}));
    QCOMPARE(player->TieBreakerPoints(), 0);
    QCOMPARE(player->Pick(0)->RoundReached(), 1);
    QVERIFY(Picks(127) == nullptr);
    QVERIFY(Picks(1) == player->Pick(0));
  }

  void guessIsStoredOnlyWhenItChanges() {
    Open(true, 1);
    TPlayerPicksListObject* player = Players().Items(0);
    CheckUndoRedo([&] { FPool->SetGuess(player, 150, FStack); });
    QCOMPARE(player->TieBreakerPoints(), 150);
    Saved();
    FPool->SetGuess(player, 150, FStack);
    QVERIFY(!FPool->Modified());
  }

  void droppingAPickAutofillsItsPath() {
    Open(true, 1);
    TPlayerPicksListObject* player = Players().Items(0);
    const TChartEntry* one = player->Pick(0);       // R1S1, slot 1
    const TChartEntry* sixteen = player->Pick(15);  // R1S16, slot 2
    // Nothing is shown yet: nothing to drop.
    QCOMPARE(FPool->DropPick(1, 65, FStack), TOpenPool::TDropResult::Nothing);
    FPool->ShowPlayer(player);
    QSignalSpy chart(FPool.get(), &TOpenPool::PicksChartChanged);

    CheckUndoRedo(
        [&] { QCOMPARE(FPool->DropPick(2, 65, FStack), TOpenPool::TDropResult::Dropped); });
    QCOMPARE(sixteen->RoundReached(), 2);
    CheckUndoRedo(
        [&] { QCOMPARE(FPool->DropPick(1, 127, FStack), TOpenPool::TDropResult::Dropped); });
    QVERIFY(chart.count() >= 1);
    for (int slot : {1, 65, 97, 113, 121, 125, 127})
      QVERIFY(Picks(slot) == one);
    QCOMPARE(one->RoundReached(), 7);
    QCOMPARE(sixteen->RoundReached(), 1);  // displaced from its round-2 line

    // The champion back on its round-3 line: rounds 4 to 7 empty.
    QCOMPARE(FPool->DropPick(127, 97, FStack), TOpenPool::TDropResult::Dropped);
    QCOMPARE(one->RoundReached(), 3);
    for (int slot : {113, 121, 125, 127})
      QVERIFY(Picks(slot) == nullptr);

    // Off the path, from an empty line, or onto no line: nothing changes.
    Saved();
    const int commands = FStack->count();
    QCOMPARE(FPool->DropPick(1, 126, FStack), TOpenPool::TDropResult::InvalidPath);
    QCOMPARE(FPool->DropPick(1, 17, FStack), TOpenPool::TDropResult::InvalidPath);
    QCOMPARE(FPool->DropPick(113, 121, FStack), TOpenPool::TDropResult::Nothing);
    QCOMPARE(FPool->DropPick(1, 0, FStack), TOpenPool::TDropResult::Nothing);
    QCOMPARE(FStack->count(), commands);
    QVERIFY(!FPool->Modified());
    QCOMPARE(one->RoundReached(), 3);
  }

  // --- Lock, unlock, replace -------------------------------------------------------------

  void lockingEmptiesTheUndoStacks() {
    Open(false);
    FPool->SetTieBreakerPoints(99, FStack);
    QVERIFY(FStack->canUndo());
    QSignalSpy lock(FPool.get(), &TOpenPool::LockChanged);
    FPool->Lock();
    QCOMPARE(lock.count(), 1);
    QCOMPARE(lock.at(0).at(0).toBool(), true);
    QVERIFY(FPool->Finalized());
    QVERIFY(FPool->DataModule()->SystemFile().Modified());
    QCOMPARE(FStack->count(), 0);
  }

  void unlockDropsThePlayersChartEntries() {
    Open(true, 3);
    TPlayerPicksListObject* shown = Players().Items(1);
    FPool->ShowPlayer(shown);
    QCOMPARE(FPool->DropPick(1, 127, FStack), TOpenPool::TDropResult::Dropped);
    QSignalSpy leaving(FPool.get(), &TOpenPool::PlayerAboutToBeRemoved);
    QSignalSpy lock(FPool.get(), &TOpenPool::LockChanged);

    FPool->Unlock();
    QCOMPARE(leaving.count(), 3);
    QCOMPARE(lock.count(), 1);
    QCOMPARE(Players().Count(), 0);
    QCOMPARE(FPool->ShownPlayer(), nullptr);
    QCOMPARE(FStack->count(), 0);
    // No slot of the picks chart may point at an entry of the discarded players: reading one
    // would read freed memory.
    QString names;
    for (int slot = 1; slot <= 127; ++slot) {
      if (const TChartEntry* entry = Picks(slot))
        names += entry->TeamName();
    }
    QVERIFY(names.isEmpty());
    QVERIFY(FPool->Modified());
    // The emptied list reaches the disk with the next save.
    Saved();
    QCOMPARE(TestPools::ReadBytes(QDir(PoolDir()).filePath(TPlayerPicksFile::kFileName)).size(), 0);
  }

  void replacingThePoolTellsFirst() {
    Open(true, 1);
    FPool->SetTieBreakerPoints(10, FStack);
    TBracketList* oldChart = FPool->ResultsBracket();
    bool sawOldPool = false;
    QObject::connect(FPool.get(), &TOpenPool::AboutToBeReplaced, this, [&] {
      sawOldPool = FPool->ResultsBracket() == oldChart && FPool->DataModule() != nullptr;
    });
    QSignalSpy replaced(FPool.get(), &TOpenPool::Replaced);
    QSignalSpy modified(FPool.get(), &TOpenPool::ModifiedChanged);
    FPrompts.QueueAnswer(TPrompts::Answer::No);  // do not save the changed pool

    const QString fresh = FDir->filePath(QStringLiteral("Fresh.BGD"));
    QVERIFY(QDir().mkpath(fresh));
    QVERIFY(FPool->OpenPool(fresh, true));
    QVERIFY(sawOldPool);
    QCOMPARE(replaced.count(), 1);
    QCOMPARE(FStack->count(), 0);
    QVERIFY(!FPool->Modified());
    QCOMPARE(modified.last().at(0).toBool(), false);
    QCOMPARE(FPool->DataModule()->TeamsFile().Count(), 0);
    QVERIFY(!FPool->Finalized());

    // A folder with no pool: the open fails, nothing of the old pool is left on the charts.
    const QString empty = FDir->filePath(QStringLiteral("Empty.BGD"));
    QVERIFY(QDir().mkpath(empty));
    QVERIFY(!FPool->OpenPool(empty, false));
    QVERIFY(!FPool->IsOpen());
    QVERIFY(FPool->ResultsBracket());
    QCOMPARE(FPool->AddTeam(QStringLiteral("Nowhere")), nullptr);
  }

  // A save that fails tells the window its file and reason through the document, which shows
  // nothing itself, and leaves the pool modified for another try.
  void aFailedSaveIsToldToTheWindow() {
    Open(false);
    TPoolOptions options = FPool->Options();
    options.PoolName = QStringLiteral("Renamed");
    FPool->SetOptions(options);
    QSignalSpy failed(FPool.get(), &TOpenPool::FileError);
    DiskFile::SetFault([](DiskFile::TCall call, const QString&) {
      return call == DiskFile::TCall::Sync ? ENOSPC : 0;
    });
    QVERIFY(!FPool->Save());
    DiskFile::SetFault(nullptr);
    QVERIFY(FPrompts.Shown().isEmpty());
    QCOMPARE(failed.count(), 1);
    const QString message = failed.first().first().toString();
    QCOMPARE(message, FPool->SaveError());
    QVERIFY2(
        message.startsWith(QStringLiteral("Error during System File I/O processing - Write\n\n")) &&
            message.contains(QStringLiteral("System.dat.new: No space left on device")),
        qPrintable(message));
    QVERIFY(FPool->Modified());
    QCOMPARE(TestPools::OpenReadOnly(PoolDir())->SystemFile().PoolName(), QString());

    QVERIFY(FPool->Save());
    QCOMPARE(failed.count(), 1);
    QCOMPARE(TestPools::OpenReadOnly(PoolDir())->SystemFile().PoolName(), QString("Renamed"));
  }

  void eachWindowUndoesItsOwnEdits() {
    Open(true, 1);
    QObject otherWindow;
    QUndoStack* other = FPool->CreateUndoStack(&otherWindow);
    QCOMPARE(FPool->UndoGroup()->stacks().size(), 2);
    QVERIFY(FPool->AdvanceTeam(1, FStack));
    FPool->SetGuess(Players().Items(0), 7, other);
    other->setActive();
    FPool->UndoGroup()->undo();
    QCOMPARE(Players().Items(0)->TieBreakerPoints(), 101);
    QCOMPARE(Team(QStringLiteral("R1S1"))->RoundReached(), 2);
    FStack->setActive();
    FPool->UndoGroup()->undo();
    QCOMPARE(Team(QStringLiteral("R1S1"))->RoundReached(), 1);
  }

  void newPoolFolder() {
    QVERIFY(TOpenPool::MakePoolFolder(FDir->path(), QStringLiteral("Made.BGD")));
    // The folder arrives with the new pool's files in it.
    QCOMPARE(QFileInfo(FDir->filePath(QStringLiteral("Made.BGD/System.dat"))).size(), 108);
    QString reason;
    QVERIFY(
        !TOpenPool::MakePoolFolder(FDir->path(), QStringLiteral("Made.BGD"), QString(), &reason));
    QVERIFY2(reason.endsWith(QStringLiteral("Made.BGD already exists")), qPrintable(reason));
  }
};

QTEST_GUILESS_MAIN(TestPool)
#include "tst_pool.moc"
