// The document's edits that bring a tournament in from files: the field, a team's new name,
// the results, the invited and the prizes, each one step on the window's undo stack that undo takes back
// to the very bytes the pool had.

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include "BracketList.h"
#include "FFDataModule.h"
#include "OpenPool.h"
#include "ResultsFile.h"
#include "TestPools.h"

class TestPoolFiles : public QObject {
  Q_OBJECT

  QTemporaryDir FDir;
  int FPools = 0;

  // A pool of AddFullField's teams, the first round locked or not, opened in `pool`.
  void Open(TOpenPool& pool, bool locked, int players = 0) {
    const QString dir = FDir.filePath(QStringLiteral("P%1.BGD").arg(++FPools));
    QVERIFY(QDir().mkpath(dir));
    auto module = TestPools::CreatePool(dir);
    TestPools::AddFullField(module->TeamsFile());
    module->SystemFile().SetFinalized(locked);
    for (int i = 1; i <= players; ++i)
      TestPools::AddPicks(*module, QStringLiteral("P%1").arg(i), 100, {{"R1S1", 7}});
    module->SavePool();
    module->ClosePool();
    QVERIFY(pool.OpenPool(dir, false));
  }

  // What a save would write of the teams and the settings.
  static QString State(const TOpenPool& pool) {
    QStringList state;
    for (const auto& team : pool.DataModule()->TeamsFile().List()) {
      state << QStringLiteral("%1 %2/%3 r%4")
                   .arg(team->TeamName())
                   .arg(team->Region())
                   .arg(team->Seed())
                   .arg(team->RoundReached());
    }
    for (const QString& name : pool.Options().BracketNames)
      state << name;
    for (const auto& player : pool.DataModule()->PlayerPicksFile().List()) {
      for (const auto& pick : player->Picks())
        state << pick.TeamName() + QString::number(pick.RoundReached());
    }
    return state.join(QLatin1Char(','));
  }

 private slots:
  void theFieldIsOneStepReplacingTheList() {
    TOpenPool pool;
    Open(pool, false);
    QObject window;
    QUndoStack* undo = pool.CreateUndoStack(&window);
    // A team typed in before the sheet came: it leaves the list.
    pool.RemoveTeamFromSlot(1, undo);
    const QString before = State(pool);
    TField field;
    field.Regions = {"North", "East", "South", "West"};
    for (int line = 0; line < 64; ++line) {
      const int region = line / 16 + 1;
      const int seed = line % 16 + 1;
      // Region 2's teams swap seeds 1 and 2 so that a team kept moves line.
      const int kept = region == 2 && seed <= 2 ? 3 - seed : seed;
      field.Teams.push_back(
          {line == 0 ? QStringLiteral("New") : QStringLiteral("R%1S%2").arg(region).arg(kept),
           region, seed});
    }
    QVERIFY(pool.ImportField(field, undo));
    QCOMPARE(undo->count(), 2);
    QCOMPARE(pool.EmptyFirstRoundLines(), 0);
    QVERIFY(!pool.DataModule()->TeamsFile().FindTeam("R1S1"));
    QCOMPARE(pool.FindSameTeam("r2s2")->Seed(), 1);
    QCOMPARE(pool.ResultsBracket()->Slot(1)->Team()->TeamName(), QString("New"));
    QCOMPARE(pool.Options().BracketNames[0], QString("North"));
    // The same field again is no edit.
    QVERIFY(!pool.ImportField(field, undo) && pool.ImportField(field, undo).Refusal.isEmpty());
    undo->undo();
    QCOMPARE(State(pool), before);
    pool.Lock();
    QCOMPARE(pool.ImportField(field, undo).Refusal, TOpenPool::kFirstRoundStarted);
  }

  void aRenameIsOneStepThroughEveryPick() {
    TOpenPool pool;
    Open(pool, true, 3);
    QObject window;
    QUndoStack* undo = pool.CreateUndoStack(&window);
    pool.ShowPlayer(pool.DataModule()->PlayerPicksFile().Items(1));
    const QString before = State(pool);
    QCOMPARE(pool.RenameTeam("R1S2", "r1s1", undo).Refusal, TOpenPool::kTeamNameTaken);
    QCOMPARE(pool.RenameTeam("Nobody", "X", undo).Refusal, TOpenPool::kNotInList);
    QVERIFY(!pool.RenameTeam("r1s1", "R1S1", undo));
    QVERIFY(pool.RenameTeam("r1s1", "  The   Ones ", undo));
    QCOMPARE(undo->count(), 1);
    // The shown player's chart names the team anew up to the title it was picked to win.
    QCOMPARE(pool.PicksBracket()->Slot(ChartPaths::kChampionSlot)->Team()->TeamName(),
             QString("The Ones"));
    const QString renamed = State(pool);
    QCOMPARE(renamed.count("The Ones7"), 3);
    QVERIFY(!renamed.contains(QRegularExpression("(^|,)R1S1( |[0-7](,|$))")));
    undo->undo();
    QCOMPARE(State(pool), before);
    undo->redo();
    QCOMPARE(State(pool), renamed);
    QVERIFY(pool.Save());
    QVERIFY(!pool.Modified());
  }

  void resultsAreOneStepToUndo() {
    TOpenPool pool;
    Open(pool, true);
    QObject window;
    QUndoStack* undo = pool.CreateUndoStack(&window);
    const QString before = State(pool);
    TResultsFile results;
    QString error;
    QVERIFY(results.Read(pool, {"R1S1", "R1S8", "R1S1"}, &error));
    results.Apply(pool, undo);
    QCOMPARE(undo->count(), 1);
    QCOMPARE(pool.DataModule()->TeamsFile().FindTeam("R1S1")->RoundReached(), 3);
    QVERIFY(pool.DataModule()->TeamsFile().FindTeam("R1S8")->Eliminated());
    undo->undo();
    QCOMPARE(State(pool), before);
    QVERIFY(!pool.Modified());
    // A score on a line that is not the final's: nothing to apply, the reason kept.
    QVERIFY(!results.Read(pool, {"R1S1\t80-70"}, &error));
    QCOMPARE(error, QString("line 1: only the final's line carries a score"));
  }

  void theInvitedAreSavedWithThePool() {
    TOpenPool pool;
    Open(pool, true);
    QObject window;
    QUndoStack* undo = pool.CreateUndoStack(&window);
    pool.SetInvited({"Ann", "Bo"}, undo);
    QVERIFY(pool.Modified());
    undo->undo();
    QVERIFY(!pool.Modified());
    undo->redo();
    QVERIFY(pool.Save());
    const QString dir = pool.DataModule()->Directory();
    pool.Close();
    QCOMPARE(TestPools::ReadBytes(dir + "/Invited.txt"), QByteArray("Ann\nBo\n"));
    QVERIFY(pool.OpenPool(dir, false));
    QCOMPARE(pool.DataModule()->Invited(), QStringList({"Ann", "Bo"}));
    QVERIFY(!pool.Modified());
    pool.Close();

    // A list mended by hand into one the pool cannot hold is told of and left as it is.
    TestPools::WriteBytes(dir + "/Invited.txt", "Ann\nann\n");
    QVERIFY(pool.OpenPool(dir, false));
    QVERIFY(
        pool.OpenNotice().contains("line 2: ann is on line 1 already; the pool has no list "
                                   "of the invited until one is saved."));
    QVERIFY(pool.DataModule()->Invited().isEmpty());
    QVERIFY(pool.SetTieBreakerPoints(120));
    QVERIFY(pool.Save());
    QCOMPARE(TestPools::ReadBytes(dir + "/Invited.txt"), QByteArray("Ann\nann\n"));
  }

  // The prizes: one edit that undo takes back, saved and read back, cleared by an empty
  // section; prizes the pool cannot pay are refused, and a file mended by hand into such
  // prizes is told of, with its path and why, and left as it is.
  void thePrizesAreOneEditSavedWithThePool() {
    TOpenPool pool;
    Open(pool, true);
    QObject window;
    QUndoStack* undo = pool.CreateUndoStack(&window);
    const Prizes::TPrizes prizes{1000, {6000, 3000, 1000}};
    QVERIFY(pool.SetPrizes(prizes, undo));
    QCOMPARE(undo->count(), 1);
    undo->undo();
    QVERIFY(!pool.Prizes().IsSet());
    QVERIFY(!pool.Modified());
    undo->redo();
    const QString refusal = pool.SetPrizes({1000, {6000, 3000}}, undo).Refusal;
    QCOMPARE(refusal, QString("The split adds up to 90%, not 100%."));
    QCOMPARE(pool.Prizes(), prizes);
    QVERIFY(pool.Save());
    const QString dir = pool.DataModule()->Directory();
    const QString path = dir + "/Prizes.ini";
    pool.Close();
    QCOMPARE(TestPools::ReadBytes(path), QByteArray("[Prizes]\nFee=10.00\nSplit=60,30,10\n"));
    QVERIFY(pool.OpenPool(dir, false));
    QCOMPARE(pool.Prizes(), prizes);
    QVERIFY(pool.SetPrizes({}));
    QVERIFY(pool.Save());
    pool.Close();
    QCOMPARE(TestPools::ReadBytes(path), QByteArray("[Prizes]\n"));

    TestPools::WriteBytes(path, "; by hand\n[prizes]\nSplit = 70, 30\n");
    QVERIFY(pool.OpenPool(dir, false));
    QCOMPARE(pool.OpenNotice(), path + ": A pool that pays prizes needs an entry fee above "
                                       "0; this pool pays no prizes until they are set in "
                                       "Pool Options.");
    QVERIFY(!pool.Prizes().IsSet());
    QVERIFY(pool.SetTieBreakerPoints(120));
    QVERIFY(pool.Save());
    QCOMPARE(TestPools::ReadBytes(path), QByteArray("; by hand\n[prizes]\nSplit = 70, 30\n"));
  }
};

QTEST_GUILESS_MAIN(TestPoolFiles)
#include "tst_pool_files.moc"
