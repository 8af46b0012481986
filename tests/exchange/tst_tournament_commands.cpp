// The windows' steps that bring the tournament in from files, driven through the fake prompts:
// what each asks, refuses and tells, and that each is one step on the window's undo stack.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include "BracketList.h"
#include "FFDataModule.h"
#include "FakePrompts.h"
#include "OpenPool.h"
#include "TestPools.h"
#include "TournamentCommands.h"

class TestTournamentCommands : public QObject {
  Q_OBJECT

  QTemporaryDir FDir;
  TFakePrompts FPrompts;
  TPromptsScope FScope{&FPrompts};
  int FPools = 0;

  QString Write(const QString& name, const QByteArray& text) {
    const QString path = FDir.filePath(name);
    TestPools::WriteBytes(path, text);
    return path;
  }

  void Open(TOpenPool& pool, bool locked, bool field) {
    const QString dir = FDir.filePath(QStringLiteral("P%1.BGD").arg(++FPools));
    QVERIFY(QDir().mkpath(dir));
    auto module = TestPools::CreatePool(dir);
    if (field)
      TestPools::AddFullField(module->TeamsFile());
    module->SystemFile().SetFinalized(locked);
    module->SavePool();
    module->ClosePool();
    QVERIFY(pool.OpenPool(dir, false));
  }

 private slots:
  void init() { FPrompts.Reset(); }

  void theFieldComesInAsOneStep() {
    TOpenPool pool;
    Open(pool, false, false);
    QObject window;
    QUndoStack* undo = pool.CreateUndoStack(&window);
    QByteArray sheet = "Region,Seed,Team\n";
    for (const char* region : {"Midwest", "South", "East", "West"}) {
      for (int seed = 1; seed <= 16; ++seed)
        sheet += QByteArray(region) + "," + QByteArray::number(seed) + "," + region[0] +
                 QByteArray::number(seed) + "\n";
    }
    QByteArray twice = sheet;
    twice.replace("South,2,S2", "South,2,M1");
    FPrompts.QueueFileName(Write("twice.csv", twice));
    QVERIFY(TTournamentCommands::ImportField(pool, nullptr, undo).isEmpty());
    QVERIFY(
        FPrompts.Shown().last().Text.contains("Row 19: \"M1\" is named on row 2 already\n"
                                              "Nothing was changed"));
    QCOMPARE(pool.DataModule()->TeamsFile().Count(), 0);

    FPrompts.QueueFileName(Write("field.csv", sheet));
    QCOMPARE(TTournamentCommands::ImportField(pool, nullptr, undo),
             TTournamentCommands::kFieldIn.arg("Midwest, South, East, West"));
    QCOMPARE(undo->count(), 1);
    QCOMPARE(pool.EmptyFirstRoundLines(), 0);
    FPrompts.QueueFileName(FDir.filePath("field.csv"));
    QVERIFY(TTournamentCommands::ImportField(pool, nullptr, undo).isEmpty());
    QCOMPARE(FPrompts.Shown().last().Text, TTournamentCommands::kFieldHeld);
    undo->undo();
    QCOMPARE(pool.DataModule()->TeamsFile().Count(), 0);
  }

  void resultsAreListedAndOneStep() {
    TOpenPool pool;
    Open(pool, true, true);
    QObject window;
    QUndoStack* undo = pool.CreateUndoStack(&window);
    FPrompts.QueueFileName(Write("bad.txt", "R1S1\nR1S16\n"));
    QVERIFY(TTournamentCommands::ImportResults(pool, nullptr, undo).isEmpty());
    QVERIFY(FPrompts.Shown().last().Text.contains("line 2: R1S16 is out: it lost to R1S1"));
    QVERIFY(!pool.GamesPlayed());

    FPrompts.QueueFileName(Write("results.txt", "r1s1\n#\nR1S8\n"));
    QVERIFY(!TTournamentCommands::ImportResults(pool, nullptr, undo).isEmpty());
    QVERIFY(
        FPrompts.Shown().last().Text.endsWith(":\nadded: R1S1 beat R1S16\n"
                                              "added: R1S8 beat R1S9"));
    QCOMPARE(undo->count(), 1);
    undo->undo();
    QVERIFY(!pool.GamesPlayed());
  }

  void aRenameOffersTheNameToMend() {
    TOpenPool pool;
    Open(pool, true, true);
    QObject window;
    QUndoStack* undo = pool.CreateUndoStack(&window);
    FPrompts.QueueText("R1S2");
    TTournamentCommands::RenameTeam(pool, "r1s1", nullptr, undo);
    QCOMPARE(FPrompts.Shown().at(0).Selected, QString("R1S1"));
    QCOMPARE(FPrompts.LastMaxLength(), 35);
    QCOMPARE(FPrompts.Shown().last().Text, TOpenPool::kTeamNameTaken);
    FPrompts.QueueText("Howard/Wagner");
    TTournamentCommands::RenameTeam(pool, "R1S1", nullptr, undo);
    QCOMPARE(pool.ResultsBracket()->Slot(1)->Team()->TeamName(), QString("Howard/Wagner"));
    QCOMPARE(undo->count(), 1);
  }
};

QTEST_MAIN(TestTournamentCommands)
#include "tst_tournament_commands.moc"
