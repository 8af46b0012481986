// The open pool's document on its own, with no window: every edit operation keeps the pool's
// rules, marks the right file, says what changed, and undo then redo give back the very bytes
// a save writes.

#include <sys/stat.h>
#include <QDir>
#include <QFileInfo>
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
#include "ScoringRule.h"
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

  const TTeamSeedObject* Team(const QString& name) const {
    return FPool->DataModule()->TeamsFile().FindTeam(name);
  }
  const TTeamsFile& Teams() const { return FPool->DataModule()->TeamsFile(); }
  const TPlayerPicksFile& Players() const { return FPool->DataModule()->PlayerPicksFile(); }
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
    // The rule as the pool's folder gives it: no file is round points.
    const QString scoring = QDir(PoolDir()).filePath(ScoringFile::kFileName);
    TScoringRule rule = ScoringRules::kDefault;
    if (QFileInfo::exists(scoring) && !ScoringFile::Parse(TestPools::ReadBytes(scoring), &rule))
      bytes += "unreadable";
    bytes += ScoringRules::Key(rule).toLatin1() + '|';
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
    const TTeamSeedObject* holder = FPool->AddTeam(QStringLiteral("Holder"));
    const TTeamSeedObject* newcomer = FPool->AddTeam(QStringLiteral("Newcomer"));
    QVERIFY(FPool->PlaceTeam(holder, 1));
    Saved();
    QSignalSpy chart(FPool.get(), &TOpenPool::ChartChanged);

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
    FStack->redo();
    QVERIFY(Results(1) == newcomer);
    QCOMPARE(ChartProblem(*FPool), QString());
  }

  void placeUndoRedoGivesBackTheSavedBytes() {
    Open(false, 0, false);
    const TTeamSeedObject* a = FPool->AddTeam(QStringLiteral("Alpha"));
    const TTeamSeedObject* b = FPool->AddTeam(QStringLiteral("Beta"));
    QVERIFY(FPool->PlaceTeam(a, 17));
    CheckUndoRedo([&] { QVERIFY(FPool->PlaceTeam(b, 17, FStack)); });
    // The team pushed off its line, onto another.
    CheckUndoRedo([&] { QVERIFY(FPool->PlaceTeam(a, 40, FStack)); });
  }

  void advancingFollowsTheWinnerPath() {
    Open(true);
    const TTeamSeedObject* one = Team(QStringLiteral("R1S1"));
    const TTeamSeedObject* sixteen = Team(QStringLiteral("R1S16"));
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
    const TTeamSeedObject* one = Team(QStringLiteral("R1S1"));
    const TTeamSeedObject* nine = Team(QStringLiteral("R1S9"));
    const TTeamSeedObject* eight = Team(QStringLiteral("R1S8"));
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

  void placingOffThePathIsRefusedWithItsReason() {
    Open(true);
    const TTeamSeedObject* one = Team(QStringLiteral("R1S1"));
    QSignalSpy chart(FPool.get(), &TOpenPool::ChartChanged);
    // The other side's finalist, a round-2 line of region 3.
    QCOMPARE(FPool->PlaceTeam(one, 126, FStack).Refusal, TOpenPool::kInvalidPath);
    QCOMPARE(FPool->PlaceTeam(one, 81, FStack).Refusal, TOpenPool::kInvalidPath);
    // No line, no team: nothing to say.
    for (const TEditResult& nothing :
         {FPool->PlaceTeam(one, 0, FStack), FPool->PlaceTeam(one, 128, FStack),
          FPool->PlaceTeam(nullptr, 1, FStack)}) {
      QVERIFY(!nothing);
      QCOMPARE(nothing.Refusal, QString());
    }
    QCOMPARE(chart.count(), 0);
    QVERIFY(!FPool->Modified());
    QCOMPARE(FStack->count(), 0);
    QCOMPARE(one->RoundReached(), 1);
  }

  void thePoolsStateDecidesWhatMayBeEditedAndSaysWhy() {
    Open(false);
    const TTeamSeedObject* one = Team(QStringLiteral("R1S1"));
    // Open first round: nothing moves past it, wherever, and there are no players yet.
    QCOMPARE(FPool->PlaceTeam(one, 65, FStack).Refusal, TOpenPool::kNotFinalized);
    QCOMPARE(FPool->AdvanceTeam(1, FStack).Refusal, TOpenPool::kNotFinalized);
    QCOMPARE(FPool->AdvanceTeam(0, FStack).Refusal, TOpenPool::kNotFinalized);
    // A team on the chart takes no second first-round line.
    QCOMPARE(FPool->PlaceTeam(one, 2, FStack).Refusal, TOpenPool::kAlreadyPlaced);
    QString why;
    QCOMPARE(FPool->AddPlayer(QStringLiteral("Early"), FStack, &why), nullptr);
    QCOMPARE(why, TOpenPool::kNotLocked);
    QCOMPARE(FStack->count(), 0);
    QVERIFY(!FPool->Modified());
    // Locked: the first round stays as built, taken line or empty.
    FPool->Lock();
    QCOMPARE(FPool->PlaceTeam(one, 2, FStack).Refusal, TOpenPool::kFirstRoundStarted);
    QCOMPARE(FPool->RemoveTeamFromSlot(1, FStack).Refusal, TOpenPool::kCannotRemoveFirstRound);
    QVERIFY(Results(1) == one);
    QCOMPARE(FStack->count(), 0);
    QCOMPARE(FPool->AddPlayer(QStringLiteral(" \t"), FStack, &why), nullptr);
    QCOMPARE(why, TOpenPool::kNameMissing);
    QVERIFY(FPool->AddPlayer(QStringLiteral("On time"), FStack));
  }

  void removingFromASlotKeepsTheEarlierRounds() {
    Open(true);
    const TTeamSeedObject* one = Team(QStringLiteral("R1S1"));
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
    const TTeamSeedObject* one = Team(QStringLiteral("R1S1"));
    QVERIFY(FPool->PlaceTeam(one, 97));
    QVERIFY(Team(QStringLiteral("R1S16"))->Eliminated());
    CheckUndoRedo([&] { FPool->ClearChart(FStack); });
    for (int slot = 1; slot <= 127; ++slot)
      QVERIFY(Results(slot) == nullptr);
    // Off the chart, nobody has lost.
    for (const auto& team : Teams().List()) {
      QCOMPARE(team->RoundReached(), 0);
      QVERIFY(!team->Eliminated());
    }
    QCOMPARE(one->Region(), 1);
    QCOMPARE(one->Seed(), 1);
    // A team with its old place goes straight back onto a later line of its path.
    QVERIFY(FPool->PlaceTeam(one, 65));
    QVERIFY(Results(1) == one);
    // Clearing an empty chart is still an edit.
    FPool->ClearChart();
    Saved();
    FPool->ClearChart(FStack);
    QVERIFY(FPool->Modified());
  }

  // Who has lost is the document's to work out, in the edit that moves the teams: nobody
  // else ever recounts.
  void everyTeamEditWorksOutWhoHasLost() {
    Open(true);
    const TTeamSeedObject* one = Team(QStringLiteral("R1S1"));
    const TTeamSeedObject* eight = Team(QStringLiteral("R1S8"));
    QVERIFY(FPool->PlaceTeam(one, 97));
    QVERIFY(Team(QStringLiteral("R1S16"))->Eliminated());
    QVERIFY(!one->Eliminated());
    // R1S8 into round 2, there beaten by R1S1 in round 3; undo puts the flags back too.
    CheckUndoRedo([&] { QVERIFY(FPool->AdvanceTeam(3, FStack)); });
    QVERIFY(eight->Eliminated());
    QCOMPARE(eight->RoundReached(), 2);
    QVERIFY(Team(QStringLiteral("R1S9"))->Eliminated());   // beaten by R1S8 in round 2
    QVERIFY(!Team(QStringLiteral("R1S5"))->Eliminated());  // its game is not played yet
    // Taken off the line it won, the winner's opponents are in again.
    QVERIFY(FPool->RemoveTeamFromSlot(65));
    QVERIFY(!Team(QStringLiteral("R1S16"))->Eliminated());
    // While the first round is open nobody has lost.
    QVERIFY(FPool->AdvanceTeam(5));
    QVERIFY(Team(QStringLiteral("R1S12"))->Eliminated());
    FPool->Unlock();
    for (const auto& team : Teams().List())
      QVERIFY(!team->Eliminated());
  }

  void whoHasLostIsWorkedOutAsThePoolComesIn() {
    // Files written while a beaten team was still counted in, as a builder left open did.
    QVERIFY(QDir().mkpath(PoolDir()));
    auto module = TestPools::CreatePool(PoolDir());
    TestPools::AddFullField(module->TeamsFile());
    TestPools::PlayUpperLinesUpTo(*module, 3);
    module->TeamsFile().FindTeam(QStringLiteral("R1S16"))->SetEliminated(false);
    module->SystemFile().SetFinalized(true);
    module->SavePool();
    module->ClosePool();
    QVERIFY(FPool->OpenPool(PoolDir(), false));
    QVERIFY(Team(QStringLiteral("R1S16"))->Eliminated());
    // Changed from what the files hold: to be written.
    QVERIFY(FPool->Modified());
    Saved();
    QVERIFY(FPool->Reload());
    QVERIFY(!FPool->Modified());
  }

  // Another program put other players in place while nothing changed here. Keeping this
  // version makes it one to save, and that save writes the players though none changed here;
  // the save after it writes only what changes again.
  void aKeptVersionIsSavedWhole() {
    Open(true, 2);
    const QString players = QDir(PoolDir()).filePath(TPlayerPicksFile::kFileName);
    const QByteArray ours = TestPools::ReadBytes(players);
    TestPools::WriteBytes(players, ours.left(TPlayerPicksFile::kRecordSize));
    QString unreadable;
    QVERIFY(!FPool->DiskChanges(&unreadable).isEmpty());
    FPool->KeepOwnVersion();
    QVERIFY(FPool->Modified());
    QVERIFY(FPool->Save());
    QCOMPARE(TestPools::ReadBytes(players), ours);
    QVERIFY(FPool->DiskChanges(&unreadable).isEmpty());

    const auto inode = [&players] {
      struct stat status {};
      return ::stat(QFile::encodeName(players).constData(), &status) == 0 ? status.st_ino : 0;
    };
    const auto written = inode();
    QVERIFY(FPool->AdvanceTeam(3, FStack));
    QVERIFY(FPool->Save());
    QCOMPARE(inode(), written);
  }

  // --- Team list -------------------------------------------------------------------------

  void addingTeamsKeepsTheListWithinItsRules() {
    Open(false, 0, false);
    QVERIFY(FPool->AddTeam(QStringLiteral("First")));
    QSignalSpy inserted(FPool.get(), &TOpenPool::TeamInserted);
    CheckUndoRedo([&] { QVERIFY(FPool->AddTeam(QStringLiteral("Alpha"), FStack)); });
    // The edit and its redo, each at the end of the list.
    QCOMPARE(inserted.count(), 2);
    QCOMPARE(inserted.last().at(0).toInt(), 1);
    const TTeamSeedObject* alpha = Team(QStringLiteral("Alpha"));
    QCOMPARE(alpha->RoundReached(), 0);
    QCOMPARE(alpha->Region(), 0);
    // The same name with blanks around it is the same team; another case is another team.
    QString why;
    QVERIFY(!FPool->AddTeam(QStringLiteral("  Alpha "), FStack, &why));
    QCOMPARE(why, TOpenPool::kTeamNameTaken);
    QVERIFY(FPool->AddTeam(QStringLiteral("alpha"), FStack));
    for (int i = Teams().Count(); i < 64; ++i)
      QVERIFY(FPool->AddTeam(QStringLiteral("T%1").arg(i)));
    QCOMPARE(Teams().Count(), 64);
    QVERIFY(!FPool->AddTeam(QStringLiteral("One too many"), FStack, &why));
    QCOMPARE(why, TOpenPool::kTeamListFull);
    QCOMPARE(Teams().Count(), 64);
  }

  void removingATeamKeepsItForUndo() {
    Open(false, 0, false);
    const TTeamSeedObject* a = FPool->AddTeam(QStringLiteral("A"));
    const TTeamSeedObject* b = FPool->AddTeam(QStringLiteral("B"));
    const TTeamSeedObject* c = FPool->AddTeam(QStringLiteral("C"));
    QVERIFY(FPool->PlaceTeam(c, 5));
    // A team on the chart must come off it first, even named with blanks around it; a name
    // no team has is none to take out.
    QCOMPARE(FPool->RemoveTeam(QStringLiteral(" C"), FStack).Refusal, TOpenPool::kRemovePlaced);
    QCOMPARE(FPool->RemoveTeam(QStringLiteral("b"), FStack).Refusal, TOpenPool::kNotInList);

    QSignalSpy removed(FPool.get(), &TOpenPool::TeamRemoved);
    CheckUndoRedo([&] { QVERIFY(FPool->RemoveTeam(QStringLiteral("B"), FStack)); });
    QCOMPARE(removed.count(), 2);  // the edit and its redo
    QCOMPARE(removed.last().at(0).toInt(), 1);
    QCOMPARE(Teams().Count(), 2);
    FStack->undo();
    // The very team is back, in its place.
    QCOMPARE(Teams().Items(1), b);
    QCOMPARE(Teams().Items(0), a);
  }

  void undoingAnAddedTeamTakesItOffTheChart() {
    Open(false, 0, false);
    const TTeamSeedObject* a = FPool->AddTeam(QStringLiteral("A"), FStack);
    QVERIFY(FPool->PlaceTeam(a, 9));  // done for good, outside the stack
    FStack->undo();
    QCOMPARE(Teams().Count(), 0);
    for (int slot = 1; slot <= 127; ++slot)
      QVERIFY(Results(slot) == nullptr);
  }

  void tieBreakerPoints() {
    Open(true);
    QSignalSpy tie(FPool.get(), &TOpenPool::TieBreakerChanged);
    CheckUndoRedo([&] { QVERIFY(FPool->SetTieBreakerPoints(145, FStack)); });
    QCOMPARE(FPool->DataModule()->SystemFile().TieBreakerPoints(), 145);
    QCOMPARE(tie.count(), 3);
    Saved();
    QVERIFY(!FPool->SetTieBreakerPoints(145, FStack));
    QCOMPARE(FPool->SetTieBreakerPoints(1000, FStack).Refusal, TOpenPool::kTieBreakerRange);
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
    CheckUndoRedo([&] { QVERIFY(FPool->SetOptions(changed, FStack)); });
    QCOMPARE(options.count(), 3);
    QCOMPARE(FPool->Options(), changed);
    QCOMPARE(FPool->DataModule()->SystemFile().RoundPoints(2), 0);
    // The scoring rule alone is an edit of its own, and undoing it back to the rule saved
    // leaves the pool unmodified.
    changed.ScoringRule = TScoringRule::UpsetBonus;
    CheckUndoRedo([&] { QVERIFY(FPool->SetOptions(changed, FStack)); });
    QCOMPARE(options.count(), 6);
    QCOMPARE(FPool->DataModule()->ScoringRule(), TScoringRule::UpsetBonus);
    FStack->undo();
    FStack->redo();
    QVERIFY(!FPool->Modified());
    // The same options again are no edit.
    Saved();
    QVERIFY(!FPool->SetOptions(changed, FStack));
    // Values the system file cannot keep are refused whole, with the reason.
    TPoolOptions refused = changed;
    refused.PoolName = QStringLiteral("Office");
    refused.BracketNames[0] = QStringLiteral("Łódź");
    QCOMPARE(
        FPool->SetOptions(refused, FStack).Refusal,
        QStringLiteral("The bracket name \"Łódź\" holds \"Ł\", a character a pool cannot store"));
    refused.BracketNames[0] = QStringLiteral("Midwest");
    refused.RoundPoints[5] = 1000;
    QCOMPARE(FPool->SetOptions(refused, FStack).Refusal, TOpenPool::kRoundPointsRange);
    QVERIFY(!FPool->Modified());
    QCOMPARE(FPool->Options(), changed);
    QCOMPARE(options.count(), 8);
  }

  // Windows share the pool's settings but each undoes its own steps: taking one back leaves
  // what another window changed since, even in the same part of the system file.
  void settingsStepsTakeBackOnlyWhatTheyChanged() {
    Open(true);
    QObject builderWindow;
    QUndoStack* builder = FPool->CreateUndoStack(&builderWindow);
    const TPoolOptions was = FPool->Options();
    TPoolOptions options = was;
    options.PoolName = QStringLiteral("Office Pool");
    options.RoundPoints[1] = 5;
    options.Prizes = {1000, {6000, 4000}};
    QVERIFY(FPool->SetOptions(options, FStack));
    QVERIFY(FPool->SetTieBreakerPoints(141, builder));
    TPoolOptions regions = FPool->Options();
    regions.BracketNames[0] = QStringLiteral("North");
    QVERIFY(FPool->SetOptions(regions, builder));

    FStack->undo();
    TPoolOptions expected = was;
    expected.BracketNames[0] = QStringLiteral("North");
    QCOMPARE(FPool->Options(), expected);
    QCOMPARE(FPool->DataModule()->SystemFile().TieBreakerPoints(), 141);
    builder->undo();
    builder->undo();
    QCOMPARE(FPool->Options(), was);
    QCOMPARE(FPool->DataModule()->SystemFile().TieBreakerPoints(), 0);
    QVERIFY(!FPool->Modified());
    FStack->redo();
    QCOMPARE(FPool->Options(), options);
    QCOMPARE(FPool->DataModule()->SystemFile().TieBreakerPoints(), 0);
  }

  // --- Players ---------------------------------------------------------------------------

  void addingAndDeletingPlayers() {
    Open(true, 2);
    QSignalSpy inserted(FPool.get(), &TOpenPool::PlayersInserted);
    const TPlayerPicksListObject* added = nullptr;
    CheckUndoRedo([&] { added = FPool->AddPlayer(QStringLiteral(" Pat "), FStack); });
    QCOMPARE(Players().Count(), 3);
    QCOMPARE(Players().Items(2), added);
    QCOMPARE(added->PlayerName(), QStringLiteral(" Pat "));
    QCOMPARE(added->TieBreakerPoints(), 0);
    QCOMPARE(added->Pick(5)->TeamName(), Teams().Items(5)->TeamName());
    QCOMPARE(added->Pick(5)->RoundReached(), 1);
    // The edit and its redo, each one player at the end.
    QCOMPARE(inserted.count(), 2);
    QCOMPARE(inserted.last(), QVariantList({2, 1}));

    const TPlayerPicksListObject* first = Players().Items(0);
    FPool->ShowPlayer(first);
    QVERIFY(Picks(1) == first->Pick(0));
    QSignalSpy leaving(FPool.get(), &TOpenPool::PlayersAboutToBeRemoved);
    QObject::connect(FPool.get(), &TOpenPool::PlayersAboutToBeRemoved, this,
                     [&](int index) { QCOMPARE(Players().Items(index), first); });
    CheckUndoRedo([&] { QVERIFY(FPool->DeletePlayer(first, FStack)); });
    QCOMPARE(leaving.count(), 2);
    QCOMPARE(leaving.last(), QVariantList({0, 1}));
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
    const TPlayerPicksListObject* player = Players().Items(0);
    FPool->ShowPlayer(player);
    QVERIFY(FPool->DropPick(1, 127, FStack));
    QList<const TPlayerPicksListObject*> changed;
    QObject::connect(FPool.get(), &TOpenPool::PlayerChanged, this,
                     [&changed](const TPlayerPicksListObject* which) { changed << which; });
    CheckUndoRedo([&] { FPool->ClearPlayer(player, FStack); });
    QCOMPARE(changed, QList<const TPlayerPicksListObject*>({player, player, player}));
    QCOMPARE(player->TieBreakerPoints(), 0);
    QCOMPARE(player->Pick(0)->RoundReached(), 1);
    QVERIFY(Picks(127) == nullptr);
    QVERIFY(Picks(1) == player->Pick(0));
  }

  void guessIsStoredOnlyWhenItChanges() {
    Open(true, 1);
    const TPlayerPicksListObject* player = Players().Items(0);
    CheckUndoRedo([&] { QVERIFY(FPool->SetGuess(player, 150, FStack)); });
    QCOMPARE(player->TieBreakerPoints(), 150);
    Saved();
    QVERIFY(!FPool->SetGuess(player, 150, FStack));
    QCOMPARE(FPool->SetGuess(player, -1, FStack).Refusal, TOpenPool::kGuessRange);
    QVERIFY(!FPool->Modified());
  }

  void droppingAPickAutofillsItsPath() {
    Open(true, 1);
    const TPlayerPicksListObject* player = Players().Items(0);
    const TChartEntry* one = player->Pick(0);       // R1S1, slot 1
    const TChartEntry* sixteen = player->Pick(15);  // R1S16, slot 2
    // Nothing is shown yet: nothing to drop.
    QVERIFY(!FPool->DropPick(1, 65, FStack));
    FPool->ShowPlayer(player);
    QSignalSpy chart(FPool.get(), &TOpenPool::PicksChartChanged);

    CheckUndoRedo([&] { QVERIFY(FPool->DropPick(2, 65, FStack)); });
    QCOMPARE(sixteen->RoundReached(), 2);
    CheckUndoRedo([&] { QVERIFY(FPool->DropPick(1, 127, FStack)); });
    QVERIFY(chart.count() >= 1);
    for (int slot : {1, 65, 97, 113, 121, 125, 127})
      QVERIFY(Picks(slot) == one);
    QCOMPARE(one->RoundReached(), 7);
    QCOMPARE(sixteen->RoundReached(), 1);  // displaced from its round-2 line

    // The champion back on its round-3 line: rounds 4 to 7 empty.
    QVERIFY(FPool->DropPick(127, 97, FStack));
    QCOMPARE(one->RoundReached(), 3);
    for (int slot : {113, 121, 125, 127})
      QVERIFY(Picks(slot) == nullptr);

    // Off the path is refused; from an empty line or onto no line is nothing.
    Saved();
    const int commands = FStack->count();
    QCOMPARE(FPool->DropPick(1, 126, FStack).Refusal, TOpenPool::kInvalidPath);
    QCOMPARE(FPool->DropPick(1, 17, FStack).Refusal, TOpenPool::kInvalidPath);
    for (const TEditResult& nothing :
         {FPool->DropPick(113, 121, FStack), FPool->DropPick(1, 0, FStack)}) {
      QVERIFY(!nothing);
      QCOMPARE(nothing.Refusal, QString());
    }
    QCOMPARE(FStack->count(), commands);
    QVERIFY(!FPool->Modified());
    QCOMPARE(one->RoundReached(), 3);
  }

  void advancingAPickMovesItOneLine() {
    Open(true, 1);
    const TPlayerPicksListObject* player = Players().Items(0);
    FPool->ShowPlayer(player);
    CheckUndoRedo([&] { QVERIFY(FPool->AdvancePick(2, FStack)); });
    QCOMPARE(player->Pick(15)->RoundReached(), 2);  // R1S16 on its round-2 line
    // The other team of the game takes the line; its team drops back to the first round.
    QVERIFY(FPool->AdvancePick(1, FStack));
    QVERIFY(Picks(65) == player->Pick(0));
    QCOMPARE(player->Pick(15)->RoundReached(), 1);
    QVERIFY(FPool->AdvancePick(65, FStack));
    QVERIFY(Picks(97) == player->Pick(0));
    // From an empty line or past the champion: nothing.
    QVERIFY(FPool->DropPick(97, 127, FStack));
    const int commands = FStack->count();
    QVERIFY(!FPool->AdvancePick(127, FStack));
    QVERIFY(!FPool->AdvancePick(98, FStack));
    QCOMPARE(FStack->count(), commands);
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
    QCOMPARE(FStack->count(), 0);
    // Neither the lock nor the edits emptied from the stack can be undone now.
    QVERIFY(FPool->Modified());
  }

  void unlockDropsThePlayersChartEntries() {
    Open(true, 3);
    FPool->ShowPlayer(Players().Items(1));
    QVERIFY(FPool->DropPick(1, 127, FStack));
    QSignalSpy leaving(FPool.get(), &TOpenPool::PlayersAboutToBeRemoved);
    QSignalSpy lock(FPool.get(), &TOpenPool::LockChanged);

    FPool->Unlock();
    QCOMPARE(leaving.count(), 1);
    QCOMPARE(leaving.last(), QVariantList({0, 3}));
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
    const TBracketList* oldChart = FPool->ResultsBracket();
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

  // The pool is modified while it holds what its files do not: undone back to the save, it
  // is not, whichever windows' stacks took part.
  void modifiedFollowsTheUndoStacks() {
    Open(true, 1);
    auto otherWindow = std::make_unique<QObject>();
    QUndoStack* other = FPool->CreateUndoStack(otherWindow.get());
    QSignalSpy modified(FPool.get(), &TOpenPool::ModifiedChanged);
    QVERIFY(FPool->AdvanceTeam(1, FStack));
    QVERIFY(FPool->SetGuess(Players().Items(0), 7, other));
    QVERIFY(FPool->Modified());
    FStack->undo();
    QVERIFY(FPool->Modified());
    other->undo();
    QVERIFY(!FPool->Modified());
    QCOMPARE(modified.count(), 2);
    QCOMPARE(modified.last().at(0).toBool(), false);
    // Back where the files are, nothing is marked to be written either.
    QVERIFY(!FPool->DataModule()->Modified());

    // Saved in between: the save is the place to come back to, from either side.
    FStack->redo();
    Saved();
    QVERIFY(!FPool->Modified());
    FStack->undo();
    QVERIFY(FPool->Modified());
    FStack->redo();
    QVERIFY(!FPool->Modified());
    other->redo();
    QVERIFY(FPool->Modified());

    // A window going away takes its stack along, not its edit.
    otherWindow.reset();
    QVERIFY(FPool->Modified());
    Saved();
    // An edit made without a stack can be taken back by none.
    QVERIFY(FPool->AdvanceTeam(3, FStack));
    QVERIFY(FPool->SetGuess(Players().Items(0), 8));
    FStack->undo();
    QVERIFY(FPool->Modified());
    // Read afresh from the files, the pool holds just what they do.
    QVERIFY(FPool->Reload());
    QVERIFY(!FPool->Modified());
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
