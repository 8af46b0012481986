#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <memory>

#include "FFDataModule.h"
#include "FakePrompts.h"
#include "LimitedChild.h"
#include "PoolLock.h"
#include "PoolSave.h"
#include "SafeFile.h"
#include "ScoringRule.h"
#include "TestPools.h"

using namespace TestPools;

namespace {

// The files of a pool, byte for byte; a null side file (scoring, invited, prizes) for none.
struct TPoolBytes {
  QByteArray System;
  QByteArray Teams;
  QByteArray Players;
  QByteArray Scoring;
  QByteArray Invited;
  QByteArray Prizes;

  bool operator==(const TPoolBytes& other) const {
    return System == other.System && Teams == other.Teams && Players == other.Players &&
           Scoring.isNull() == other.Scoring.isNull() && Scoring == other.Scoring &&
           Invited.isNull() == other.Invited.isNull() && Invited == other.Invited &&
           Prizes.isNull() == other.Prizes.isNull() && Prizes == other.Prizes;
  }
  bool operator!=(const TPoolBytes& other) const { return !(*this == other); }
};

TPoolBytes ReadPool(const QString& dir) {
  const QString scoring = dir + "/" + ScoringFile::kFileName;
  const QString invited = dir + "/" + InvitedFile::kFileName;
  const QString prizes = dir + "/" + PrizesFile::kFileName;
  return {ReadBytes(dir + "/System.dat"), ReadBytes(dir + "/Teams.dat"),
          ReadBytes(dir + "/PlayPick.dat"),
          QFileInfo::exists(scoring) ? ReadBytes(scoring) : QByteArray(),
          QFileInfo::exists(invited) ? ReadBytes(invited) : QByteArray(),
          QFileInfo::exists(prizes) ? ReadBytes(prizes) : QByteArray()};
}

const QStringList kRecordFiles{"System.dat", "Teams.dat", "PlayPick.dat"};

// Puts `bytes` in the folder as the whole pool, with no backup and nothing left of a save.
void WritePool(const QString& dir, const TPoolBytes& bytes) {
  QDir(dir).removeRecursively();
  QDir().mkpath(dir);
  WriteBytes(dir + "/System.dat", bytes.System);
  WriteBytes(dir + "/Teams.dat", bytes.Teams);
  WriteBytes(dir + "/PlayPick.dat", bytes.Players);
  if (!bytes.Scoring.isNull())
    WriteBytes(dir + "/" + ScoringFile::kFileName, bytes.Scoring);
  if (!bytes.Invited.isNull())
    WriteBytes(dir + "/" + InvitedFile::kFileName, bytes.Invited);
  if (!bytes.Prizes.isNull())
    WriteBytes(dir + "/" + PrizesFile::kFileName, bytes.Prizes);
}

// A change to every one of the files, as a session of editing makes them.
void Modify(TFFDataModule& pool) {
  pool.SystemFile().SetPoolName("Changed");
  pool.SetScoringRule(TScoringRule::UpsetBonus);
  pool.SetInvited({"Ann", "Cy"});
  pool.SetPrizes({2500, {6000, 3000, 1000}});
  for (int seed = 13; seed <= 16; ++seed)
    AddTeam(pool.TeamsFile(), QString("Late%1").arg(seed), 4, seed, 1);
  pool.TeamsFile().SetModified(true);
  pool.PlayerPicksFile().Items(0)->SetTieBreakerPoints(77);
  AddPlayer(pool, "Cy", 150);
  pool.PlayerPicksFile().SetModified(true);
}

// What a pool folder holds beyond the pool, its backup and the lock of a pool that is open.
QStringList Leftovers(const QString& dir) {
  QStringList names = QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
  for (const QString& name : TPoolSave::PoolFiles())
    names.removeOne(name);
  names.removeOne(TPoolSave::kBackupFolder);
  names.removeOne(TPoolLock::kFileName);
  return names;
}

const QStringList kPrefixes{"Error during System File I/O processing - Write\n\n",
                            "Error during Teams File I/O processing - Write\n\n",
                            "Error during Player Picks File I/O processing - Write\n\n"};

}  // namespace

class TestSaves : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir FDir;
  TFakePrompts FPrompts;
  std::unique_ptr<TPromptsScope> FScope;
  TPoolBytes FOld;
  TPoolBytes FNew;

  QString Folder(const char* name) const { return FDir.filePath(QString::fromLatin1(name)); }

  // A save of the modified pool whose replacement of "PlayPick.dat" fails, killed as its undo
  // is about to put `killedAt` back: the marker says "restore", and `killedAt` still holds
  // the new pool's file.
  void KillWhileUndoing(const QString& dir, const QString& killedAt) {
    auto pool = ModifiedPool(dir);
    const LimitedChild::TResult result = LimitedChild::Run(-1, [&](QByteArray&) {
      int renames = 0;
      DiskFile::SetFault([&](DiskFile::TCall call, const QString& path) {
        if (call == DiskFile::TCall::Rename && path == dir + "/PlayPick.dat")
          return EIO;
        if (call == DiskFile::TCall::Rename && path == dir + "/" + killedAt && ++renames == 2)
          ::_exit(0);
        return 0;
      });
      pool->SavePool();
      return 1;
    });
    pool->ClosePool();
    QCOMPARE(result.Status, 0);
    QCOMPARE(ReadBytes(dir + "/" + killedAt),
             killedAt == TSystemFile::kFileName ? FNew.System : FNew.Teams);
    QVERIFY(ReadBytes(dir + "/" + TPoolSave::kMarkerName).contains("\nrestore\n"));
  }

  // The old pool on disk and opened, with the changes of Modify made in memory.
  std::unique_ptr<TFFDataModule> ModifiedPool(const QString& dir) {
    WritePool(dir, FOld);
    auto pool = OpenPool(dir);
    Modify(*pool);
    return pool;
  }

 private slots:
  void initTestCase() {
    // The old pool: 60 teams, locked, two players. The new one: 64 teams, three players,
    // another name.
    const QString dir = Folder("reference");
    QDir().mkpath(dir);
    auto pool = CreatePool(dir);
    AddFullField(pool->TeamsFile());
    for (int i = 0; i < 4; ++i)
      pool->TeamsFile().Remove(pool->TeamsFile().Items(pool->TeamsFile().Count() - 1));
    pool->SystemFile().SetFinalized(true);
    AddPlayer(*pool, "Ann", 120);
    AddPlayer(*pool, "Bob", 131);
    QVERIFY(pool->SavePool());
    pool->ClosePool();
    FOld = ReadPool(dir);

    auto modified = ModifiedPool(dir);
    QVERIFY(modified->SavePool());
    modified->ClosePool();
    FNew = ReadPool(dir);
    QCOMPARE(FNew.System.size(), 108);
    QCOMPARE(FNew.Teams.size(), 64 * 52);
    QCOMPARE(FNew.Players.size(), 3 * 3112);
    QVERIFY(FNew.System != FOld.System && FNew.Teams != FOld.Teams && FNew.Players != FOld.Players);
    QVERIFY(FOld.Scoring.isNull());
    QCOMPARE(FNew.Scoring, ScoringFile::Text(TScoringRule::UpsetBonus));
    QCOMPARE(FNew.Invited, QByteArray("Ann\nCy\n"));
    QCOMPARE(FNew.Prizes, QByteArray("[Prizes]\nFee=25.00\nSplit=60,30,10\n"));
  }

  void init() {
    FPrompts.Reset();
    FScope = std::make_unique<TPromptsScope>(&FPrompts);
  }
  void cleanup() { FScope.reset(); }

  void aSaveKeepsTheOldPoolAsItsBackup() {
    const QString dir = Folder("backup");
    auto pool = ModifiedPool(dir);
    QVERIFY(pool->SavePool());
    QVERIFY(!pool->Modified());
    QCOMPARE(ReadPool(dir), FNew);
    QCOMPARE(ReadPool(dir + "/Backup"), FOld);
    QVERIFY(Leftovers(dir).isEmpty());

    // One generation: the next save keeps what the last one wrote.
    pool->SystemFile().SetPoolName("Third");
    QVERIFY(pool->SavePool());
    QCOMPARE(ReadPool(dir + "/Backup"), FNew);
    pool->ClosePool();

    // The backup is a pool that opens like any other.
    auto restored = OpenPool(dir + "/Backup");
    QCOMPARE(restored->SystemFile().PoolName(), QString("Changed"));
    restored->ClosePool();
  }

  // A disk that fills up at any point of the save: the child may write files no larger than
  // the limit. The limits sit on each side of every file's size and of the write buffer.
  void aFullDiskLeavesTheWholeOldPool() {
    const QString dir = Folder("limits");
    const qint64 all = FNew.Players.size();
    for (qint64 limit : {0, 1, 107, 108, 3327, 3328, 4095, 4096, 8191, 8192, 9335, 9336}) {
      auto pool = ModifiedPool(dir);
      const LimitedChild::TResult result = LimitedChild::Run(limit, [&](QByteArray& report) {
        const bool saved = pool->SavePool();
        report = pool->SaveError().Text().toUtf8();
        return (saved ? 1 : 0) | (pool->Modified() ? 2 : 0);
      });
      const QString message = QString::fromUtf8(result.Written);
      if (limit >= all) {
        QCOMPARE(result.Status, 1);
        QCOMPARE(ReadPool(dir), FNew);
        QVERIFY(message.isEmpty());
      } else {
        // Not saved, still modified, the old pool untouched, and one message naming the file
        // that did not fit and the system's reason.
        QCOMPARE(result.Status, 2);
        QCOMPARE(ReadPool(dir), FOld);
        const int file = limit < 108 ? 0 : limit < 3328 ? 1 : 2;
        QVERIFY2(message.startsWith(kPrefixes[file]), qPrintable(message));
        QVERIFY2(message.contains(TPoolSave::PoolFiles()[file]), qPrintable(message));
        QVERIFY2(message.contains("File too large"), qPrintable(message));
      }
      QVERIFY2(Leftovers(dir).isEmpty(), qPrintable(Leftovers(dir).join(' ')));
      pool->ClosePool();
    }
  }

  // A failure before each step of the save (writing the backup, the marker, each
  // replacement, the folder sync, removing the marker) leaves the whole old pool.
  void aFailureAtAnyStepLeavesTheWholeOldPool() {
    const QString dir = Folder("steps");
    for (int at = 0;; ++at) {
      FPrompts.Reset();
      auto pool = ModifiedPool(dir);
      TSaveInterruption interruption(at);
      const bool saved = pool->SavePool();
      if (!interruption.Fired()) {
        QVERIFY(saved);
        QCOMPARE(ReadPool(dir), FNew);
        QVERIFY(at >= 8);  // backup, three copies, marker, three replacements ...
        pool->ClosePool();
        break;
      }
      const QString step = interruption.Steps().last();
      QVERIFY2(!saved, qPrintable(step));
      QVERIFY(pool->Modified());
      QVERIFY(pool->SystemFile().Modified() && pool->TeamsFile().Modified() &&
              pool->PlayerPicksFile().Modified());
      QVERIFY2(ReadPool(dir) == FOld, qPrintable(step));
      QVERIFY(FPrompts.Shown().isEmpty());
      const QString message = pool->SaveError().Text();
      QVERIFY2(message.contains("interrupted before " + step), qPrintable(message));
      const int file = step.contains("Teams") ? 1 : step.contains("PlayPick") ? 2 : 0;
      QVERIFY2(message.startsWith(kPrefixes[file]), qPrintable(message));
      QVERIFY2(Leftovers(dir).isEmpty(), qPrintable(step + ": " + Leftovers(dir).join(' ')));

      // The pool in memory is intact: the same save goes through once nothing interrupts it.
      TSaveInterruption none(-1);
      QVERIFY(pool->SavePool());
      QCOMPARE(ReadPool(dir).System, FNew.System);
      QCOMPARE(ReadPool(dir).Teams, FNew.Teams);
      QCOMPARE(ReadPool(dir).Players, FNew.Players);
      QCOMPARE(ReadPool(dir).Scoring, FNew.Scoring);
      pool->ClosePool();
    }
  }

  // The program killed before any step: the next open sees the whole old pool or the whole
  // new one, finishing the save and saying so when the replacement had begun.
  void aKillAtAnyStepLeavesAWholePool() {
    const QString dir = Folder("kills");
    int finished = 0;
    for (int at = 0;; ++at) {
      auto pool = ModifiedPool(dir);
      const LimitedChild::TResult result = LimitedChild::Run(-1, [&](QByteArray&) {
        TSaveInterruption interruption(at, true);
        return pool->SavePool() ? 1 : 2;
      });
      pool->ClosePool();
      if (result.Status == 1) {
        // Killed after the marker: before each of six replacements, the sync and the marker's
        // removal.
        QCOMPARE(finished, 8);
        break;
      }
      QCOMPARE(result.Status, 0);
      const bool replacing = TPoolSave::Pending(dir);

      // A look through the command-line tool's read-only open already sees a whole pool.
      TFFDataModule look;
      look.SetDirectory(dir);
      look.OpenPool(TFFDataModule::TOpenMode::ReadOnly);
      const QString lookedName = look.SystemFile().PoolName();
      const int lookedTeams = look.TeamsFile().Count();
      const TScoringRule lookedRule = look.ScoringRule();
      look.ClosePool();
      QVERIFY(TPoolSave::Pending(dir) == replacing);

      FPrompts.Reset();
      auto reopened = OpenPool(dir);
      const TPoolBytes now = ReadPool(dir);
      QVERIFY2(now == FOld || now == FNew, qPrintable(QString::number(at)));
      QCOMPARE(lookedName, reopened->SystemFile().PoolName());
      QCOMPARE(lookedTeams, reopened->TeamsFile().Count());
      QCOMPARE(lookedRule, reopened->ScoringRule());
      if (replacing) {
        ++finished;
        QCOMPARE(now, FNew);
        QCOMPARE(reopened->OpenNotice(), TPoolSave::kCompletedNotice);
        QCOMPARE(ReadPool(dir + "/Backup"), FOld);
      } else {
        QCOMPARE(now, FOld);
        QVERIFY(reopened->OpenNotice().isEmpty());
      }
      QVERIFY(Leftovers(dir).isEmpty());
      reopened->ClosePool();
    }
  }

  // Killed while a failed save was putting the old files back: the next open finishes that.
  // The last replacement fails; the undo has put "System.dat" back and dies at "Teams.dat",
  // which still holds the new teams.
  void aKillWhileUndoingStillEndsWithTheOldPool() {
    const QString dir = Folder("undo");
    KillWhileUndoing(dir, TTeamsFile::kFileName);
    auto reopened = OpenPool(dir);
    QCOMPARE(ReadPool(dir), FOld);
    QCOMPARE(reopened->OpenNotice(), TPoolSave::kRestoredNotice);
    QVERIFY(Leftovers(dir).isEmpty());
    reopened->ClosePool();
  }

  // A new pool is built aside and moved into place whole; a failure leaves nothing.
  void aNewPoolAppearsWholeOrNotAtAll() {
    const QString parent = Folder("new");
    QDir().mkpath(parent);
    const QString target = parent + "/Office.BGD";
    for (qint64 limit : {0, 107}) {
      const LimitedChild::TResult result = LimitedChild::Run(limit, [&](QByteArray& report) {
        try {
          TFFDataModule::CreatePoolFolder(target);
          return 1;
        } catch (const EInOutError& error) {
          report = error.Reason().toUtf8();
          return 2;
        }
      });
      QCOMPARE(result.Status, 2);
      QVERIFY2(result.Written.contains("System.dat") && result.Written.contains("File too large"),
               result.Written.constData());
      QCOMPARE(QDir(parent).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
               QStringList());
    }
    TFFDataModule::CreatePoolFolder(target);
    QCOMPARE(QDir(parent).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{"Office.BGD"});
    auto pool = OpenPool(target);
    QCOMPARE(pool->SystemFile().BracketName(1), QString("Midwest"));
    pool->ClosePool();
    QVERIFY_THROWS_EXCEPTION(EInOutError, TFFDataModule::CreatePoolFolder(target));

    // A new pool killed while being built leaves its hidden folder: the next new pool beside
    // it removes those older than a day that hold nothing but a pool's files.
    const QString killed = parent + "/.Gone.BGD-a1B2c3";
    const QString young = parent + "/.Young.BGD-d4E5f6";
    const QString foreign = parent + "/.Mine.BGD-g7H8i9";
    for (const QString& folder : {killed, young, foreign}) {
      QDir().mkpath(folder);
      WriteBytes(folder + "/System.dat", FOld.System);
    }
    WriteBytes(foreign + "/notes.txt", "mine");
    for (const QString& folder : {killed, foreign}) {
      const QByteArray path = QFile::encodeName(folder);
      const timeval twoDaysAgo[2] = {{::time(nullptr) - 2 * 86400, 0},
                                     {::time(nullptr) - 2 * 86400, 0}};
      QCOMPARE(::utimes(path.constData(), twoDaysAgo), 0);
    }
    TFFDataModule::CreatePoolFolder(parent + "/Next.BGD");
    QVERIFY(!QFileInfo::exists(killed));
    QVERIFY(QFileInfo::exists(young + "/System.dat") && QFileInfo::exists(foreign + "/notes.txt"));
  }

  // A save keeps the permissions of the files it replaces, in the pool and in its backup.
  void aSaveKeepsEveryFilesPermissions() {
    const QString dir = Folder("private");
    WritePool(dir, FOld);
    for (const QString& name : kRecordFiles)
      QCOMPARE(::chmod(QFile::encodeName(dir + "/" + name).constData(), 0600), 0);
    auto pool = OpenPool(dir);
    Modify(*pool);
    QVERIFY(pool->SavePool());
    pool->ClosePool();
    QCOMPARE(ReadPool(dir), FNew);
    for (const QString& folder : {dir, dir + "/Backup"}) {
      for (const QString& name : kRecordFiles) {
        struct stat status {};
        QCOMPARE(::stat(QFile::encodeName(folder + "/" + name).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, 0600u);
      }
    }
  }

  // A save that fails or dies while it copies the pool into its backup keeps the previous
  // generation whole until the new one is.
  void aBackupCutShortKeepsThePreviousOne() {
    const QString dir = Folder("generation");
    for (bool kill : {false, true}) {
      // Steps 1 to 3 copy System.dat, Teams.dat and PlayPick.dat into the backup.
      for (int at = 1; at <= 3; ++at) {
        auto pool = ModifiedPool(dir);
        QVERIFY(pool->SavePool());
        QCOMPARE(ReadPool(dir + "/Backup"), FOld);
        pool->SystemFile().SetPoolName("Third");
        if (kill) {
          LimitedChild::Run(-1, [&](QByteArray&) {
            TSaveInterruption interruption(at, true);
            return pool->SavePool() ? 1 : 2;
          });
          pool->ClosePool();
          pool = OpenPool(dir);
        } else {
          TSaveInterruption interruption(at);
          QVERIFY(!pool->SavePool());
          QVERIFY(interruption.Steps().last().startsWith("backup "));
        }
        QCOMPARE(ReadPool(dir), FNew);
        QCOMPARE(ReadPool(dir + "/Backup"), FOld);
        QVERIFY2(Leftovers(dir).isEmpty(), qPrintable(Leftovers(dir).join(' ')));
        pool->ClosePool();
      }
    }
  }

  // Links planted in the pool folder send nothing of a save anywhere else: "Backup" must be a
  // folder of the pool, and a link where a staged copy, the marker or a backup file goes is
  // never written through.
  void aSaveWritesNothingThroughLinks() {
    const QString dir = Folder("links");
    const QString outside = Folder("outside");
    QDir().mkpath(outside);
    WritePool(dir, FOld);
    QVERIFY(QFile::link(outside, dir + "/Backup"));
    auto pool = OpenPool(dir);
    Modify(*pool);
    QVERIFY(!pool->SavePool());
    QVERIFY2(pool->SaveError().Reason.contains(TPoolSave::kBackupNotAFolder),
             qPrintable(pool->SaveError().Text()));
    pool->ClosePool();
    QCOMPARE(ReadPool(dir), FOld);
    QCOMPARE(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());

    const QString target = outside + "/target";
    for (const char* name : {"PlayPick.dat.new", "Saving.txt", "Backup/System.dat"}) {
      WritePool(dir, FOld);
      QDir().mkpath(dir + "/Backup");
      auto planted = OpenPool(dir);
      Modify(*planted);
      QVERIFY(QFile::link(target, dir + "/" + name));
      const bool saved = planted->SavePool();
      planted->ClosePool();
      QVERIFY2(!QFileInfo::exists(target), name);
      const TPoolBytes now = ReadPool(dir);
      QVERIFY2(saved ? now == FNew : now == FOld, name);
    }
  }

  // Recovery acts only on a marker of its own whose files are what the marker says; anything
  // else is reported and left as it is.
  void recoveryLeavesWhatItDidNotWriteAlone() {
    const QString dir = Folder("foreign");
    WritePool(dir, FOld);
    WriteBytes(dir + "/Saving.txt", "replace\nSystem.dat\nTeams.dat\nPlayPick.dat\n");
    WriteBytes(dir + "/Teams.dat.new", FNew.Teams);
    QVERIFY_THROWS_EXCEPTION(EInOutError, OpenPool(dir));
    QCOMPARE(ReadPool(dir), FOld);
    QCOMPARE(ReadBytes(dir + "/Teams.dat.new"), FNew.Teams);
    QVERIFY(QFile::exists(dir + "/Saving.txt"));

    // A save of its own killed halfway, whose staged teams and backed-up settings were damaged
    // since: it can be neither finished nor undone.
    auto pool = ModifiedPool(dir);
    LimitedChild::Run(-1, [&](QByteArray&) {
      TSaveInterruption interruption(6, true);  // before replacing Teams.dat
      return pool->SavePool() ? 1 : 2;
    });
    pool->ClosePool();
    QVERIFY(TPoolSave::Pending(dir));
    WriteBytes(dir + "/Teams.dat.new", FNew.Teams.left(52));
    WriteBytes(dir + "/Backup/System.dat", FNew.System);
    const TPoolBytes damaged = ReadPool(dir);
    try {
      OpenPool(dir);
      QFAIL("a save that can be neither finished nor undone was acted on");
    } catch (const EInOutError& error) {
      QVERIFY2(error.Reason().contains(TPoolSave::kUnfinishable), qPrintable(error.Reason()));
    }
    QCOMPARE(ReadPool(dir), damaged);
    QVERIFY(TPoolSave::Pending(dir));
  }

  // Every call of a save that changes the disk may fail, as a real disk's may: the n-th
  // create, write, sync, close, rename, removal or folder sync. The pool is always the whole
  // old one, reported with its file and the system's reason, or the whole new one.
  void aFailureOfAnyFileCallLeavesAWholePool() {
    const QString dir = Folder("faults");
    using DiskFile::TCall;
    for (TCall kind : {TCall::Create, TCall::Write, TCall::Sync, TCall::Close, TCall::Rename,
                       TCall::Remove, TCall::MakeFolder, TCall::SyncFolder}) {
      for (int n = 1;; ++n) {
        auto pool = ModifiedPool(dir);
        int calls = 0;
        DiskFile::SetFault(
            [&](TCall call, const QString&) { return call == kind && ++calls == n ? EIO : 0; });
        const bool saved = pool->SavePool();
        DiskFile::SetFault(nullptr);
        const QString where = QStringLiteral("call %1 of kind %2").arg(n).arg(int(kind));
        if (saved) {
          QVERIFY2(ReadPool(dir) == FNew, qPrintable(where));
        } else {
          QVERIFY2(ReadPool(dir) == FOld, qPrintable(where));
          QVERIFY(pool->Modified());
          QVERIFY2(pool->SaveError().Reason.contains("Input/output error"),
                   qPrintable(where + ": " + pool->SaveError().Text()));
        }
        pool->ClosePool();
        // The next open finds the same whole pool, and nothing left of the save.
        const TPoolBytes now = ReadPool(dir);
        OpenPool(dir)->ClosePool();
        QVERIFY2(ReadPool(dir) == now, qPrintable(where));
        QVERIFY2(Leftovers(dir).isEmpty(), qPrintable(where + ": " + Leftovers(dir).join(' ')));
        if (calls < n)
          break;
      }
    }
  }

  // A replacement fails, and then so does the marker that would undo it: the save can only be
  // finished, and the next open does that, rather than calling a pool that mixes the new
  // "System.dat" with the old teams and players complete.
  void aFailedReplaceAndUndoAreFinishedAtTheNextOpen() {
    const QString dir = Folder("twice");
    // Fails the replacement of `name`, and then the second marker, the one of the undo.
    auto replaceAndUndoFail = [&dir](const QString& name) {
      auto markers = std::make_shared<int>(0);
      DiskFile::SetFault([&dir, name, markers](DiskFile::TCall call, const QString& path) {
        if (call == DiskFile::TCall::Rename && path == dir + "/" + name)
          return EIO;
        if (call == DiskFile::TCall::Create && path.startsWith(dir + "/.Saving.txt"))
          return ++*markers == 2 ? EIO : 0;
        return 0;
      });
    };
    auto pool = ModifiedPool(dir);
    replaceAndUndoFail("Teams.dat");
    QVERIFY(!pool->SavePool());
    DiskFile::SetFault(nullptr);
    QCOMPARE(ReadPool(dir).System, FNew.System);
    QCOMPARE(ReadPool(dir).Teams, FOld.Teams);
    QVERIFY(TPoolSave::Pending(dir));
    pool->ClosePool();
    auto reopened = OpenPool(dir);
    QCOMPARE(reopened->OpenNotice(), TPoolSave::kCompletedNotice);
    QCOMPARE(ReadPool(dir), FNew);
    QVERIFY(Leftovers(dir).isEmpty());

    // Within the same session, the next save finishes it first, then saves.
    replaceAndUndoFail("PlayPick.dat");
    reopened->SystemFile().SetPoolName("Fourth");
    QVERIFY(!reopened->SavePool());
    DiskFile::SetFault(nullptr);
    QVERIFY(TPoolSave::Pending(dir));
    QVERIFY(reopened->SavePool());
    QVERIFY(!TPoolSave::Pending(dir));
    QCOMPARE(ReadPool(dir).Players, FNew.Players);
    reopened->ClosePool();
    QCOMPARE(OpenReadOnly(dir)->SystemFile().PoolName(), QString("Fourth"));
  }

  // One writer at a time: a second open for writing is refused at once with who holds the
  // pool, reading needs no lock, and a lock whose holder is gone is taken over.
  // The scoring rule's file as a person may have edited it, and as it may be damaged: a rule
  // nobody knows, or a named pipe in its place, opens the pool with round points and says why.
  void theScoringFileIsReadOrExplained() {
    const QString dir = Folder("scoring");
    const QString path = dir + "/" + ScoringFile::kFileName;
    TPoolBytes edited = FOld;
    edited.Scoring =
        "; chosen by the organiser\r\n[Other]\r\nRule=seed-bonus\r\n[scoring]\r\n"
        " Rule = Upset-Multiplier \r\n";
    WritePool(dir, edited);
    QCOMPARE(OpenReadOnly(dir)->ScoringRule(), TScoringRule::UpsetMultiplier);

    edited.Scoring = "[Scoring]\nRule=double-or-nothing\n";
    WritePool(dir, edited);
    auto pool = OpenPool(dir);
    QCOMPARE(pool->ScoringRule(), TScoringRule::RoundPoints);
    QCOMPARE(pool->OpenNotice(), DiskFile::Describe(path, ScoringFile::kUnknownRule) +
                                     ScoringFile::kRoundPointsMeanwhile);
    // Saving other changes leaves the file for the organiser to mend.
    pool->SystemFile().SetPoolName("Changed");
    QVERIFY(pool->SavePool());
    pool->ClosePool();
    QCOMPARE(ReadBytes(path), edited.Scoring);

    QVERIFY(QFile::remove(path));
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    pool = OpenPool(dir);
    QCOMPARE(pool->ScoringRule(), TScoringRule::RoundPoints);
    QVERIFY2(pool->OpenNotice().startsWith(path + ": "), qPrintable(pool->OpenNotice()));
    pool->ClosePool();
  }

  void aPoolHasOneWriterAtATime() {
    const QString dir = Folder("lock");
    WritePool(dir, FOld);
    auto writer = OpenPool(dir);
    try {
      OpenPool(dir);
      QFAIL("a second writer was let in");
    } catch (const EInOutError& error) {
      const QString since = QFileInfo(dir + "/" + TPoolLock::kFileName)
                                .lastModified()
                                .toString(TPoolLock::kSinceFormat);
      const QString expected =
          TPoolLock::kHeldBy.arg(QCoreApplication::applicationName(), QSysInfo::machineHostName(),
                                 QString::number(QCoreApplication::applicationPid()), since);
      QVERIFY2(error.Reason().endsWith(expected), qPrintable(error.Reason()));
    }
    QCOMPARE(OpenReadOnly(dir)->TeamsFile().Count(), 60);
    writer->ClosePool();
    OpenPool(dir)->ClosePool();

    // A writer that died holding the pool.
    const LimitedChild::TResult died = LimitedChild::Run(-1, [&](QByteArray&) {
      OpenPool(dir).release();
      return QFile::exists(dir + "/" + TPoolLock::kFileName) ? 1 : 2;
    });
    QCOMPARE(died.Status, 1);
    QVERIFY(QFile::exists(dir + "/" + TPoolLock::kFileName));
    auto after = OpenPool(dir);
    QVERIFY(after->TeamsFile().Count() == 60);
    after->ClosePool();
    QVERIFY(!QFile::exists(dir + "/" + TPoolLock::kFileName));
  }

  // What a crash at any moment relies on: each staged copy is on the disk before it takes its
  // file's name, and the names are on the disk before the save says it is done. A killed
  // process cannot show this (the system still writes its cache out); the order of the calls
  // that reach the disk does.
  void aSaveSyncsEachFileBeforeItsNameAndTheFolderAfter() {
    const QString dir = Folder("order");
    auto pool = ModifiedPool(dir);
    QStringList calls;
    auto record = [&calls] {
      DiskFile::SetFault([&calls](DiskFile::TCall call, const QString& path) {
        calls << QStringLiteral("%1 %2").arg(int(call)).arg(QDir::cleanPath(path));
        return 0;
      });
    };
    record();
    const bool saved = pool->SavePool();
    DiskFile::SetFault(nullptr);
    pool->ClosePool();
    QVERIFY(saved);
    auto at = [&calls](DiskFile::TCall call, const QString& path, int from = 0) {
      return calls.indexOf(QStringLiteral("%1 %2").arg(int(call)).arg(QDir::cleanPath(path)), from);
    };
    using DiskFile::TCall;
    int lastReplace = -1;
    for (const QString& name : TPoolSave::PoolFiles()) {
      const int replaced = at(TCall::Rename, dir + "/" + name);
      QVERIFY2(replaced >= 0, qPrintable(name));
      const int synced = at(TCall::Sync, dir + "/" + name + ".new");
      QVERIFY2(synced >= 0 && synced < replaced, qPrintable(name));
      lastReplace = std::max(lastReplace, replaced);
    }
    const int markerGone = at(TCall::Remove, dir + "/" + TPoolSave::kMarkerName, lastReplace);
    const int folderSynced = at(TCall::SyncFolder, dir, lastReplace);
    QVERIFY(markerGone > lastReplace);
    QVERIFY2(folderSynced > lastReplace && folderSynced < markerGone, qPrintable(calls.join('\n')));

    // A single file written whole keeps the same order.
    calls.clear();
    record();
    QString error;
    const bool written = TSafeFile::WriteWhole(dir + "/notes.txt", "notes", &error);
    DiskFile::SetFault(nullptr);
    QVERIFY2(written, qPrintable(error));
    const int renamed = at(TCall::Rename, dir + "/notes.txt");
    const int synced =
        calls.indexOf(QRegularExpression(QStringLiteral("%1 .*").arg(int(TCall::Sync))));
    QVERIFY(synced >= 0 && synced < renamed);
    QVERIFY(at(TCall::SyncFolder, dir, renamed) > renamed);
    QFile::remove(dir + "/notes.txt");
  }

  // A file the save makes for the first time is as private as the pool's own files, whatever
  // the process's file mode mask would give it.
  void aNewFileIsAsPrivateAsThePool() {
    const QString dir = Folder("newfile");
    WritePool(dir, FOld);
    for (const QString& name : kRecordFiles)
      QCOMPARE(::chmod(QFile::encodeName(dir + "/" + name).constData(), 0600), 0);
    const mode_t mask = ::umask(022);
    auto pool = OpenPool(dir);
    pool->SetScoringRule(TScoringRule::SeedBonus);
    const bool saved = pool->SavePool();
    pool->ClosePool();
    ::umask(mask);
    QVERIFY(saved);
    struct stat status {};
    QCOMPARE(::stat(QFile::encodeName(dir + "/" + ScoringFile::kFileName).constData(), &status), 0);
    QCOMPARE(status.st_mode & 0777, 0600u);
  }

  // Every rule the file can name is the rule the pool scores by, opened to write or to read.
  void everyRuleIsReadBackFromItsFile() {
    const QString dir = Folder("rules");
    for (int i = 0; i < ScoringRules::kCount; ++i) {
      const auto rule = static_cast<TScoringRule>(i);
      TPoolBytes bytes = FOld;
      bytes.Scoring = ScoringFile::Text(rule);
      WritePool(dir, bytes);
      auto pool = OpenPool(dir);
      QCOMPARE(pool->ScoringRule(), rule);
      QVERIFY(!pool->Modified());
      pool->ClosePool();
      QCOMPARE(OpenReadOnly(dir)->ScoringRule(), rule);
    }
  }

  // A save whose replacement failed had begun to put the old files back when it was killed.
  // Every staged copy is still whole, so the save could also be finished; but it was being
  // undone, and the next open undoes it.
  void aSaveBeingUndoneIsUndoneNotFinished() {
    const QString dir = Folder("undoing");
    KillWhileUndoing(dir, TSystemFile::kFileName);
    QVERIFY(QFile::exists(dir + "/PlayPick.dat.new"));
    auto reopened = OpenPool(dir);
    QCOMPARE(reopened->OpenNotice(), TPoolSave::kRestoredNotice);
    QCOMPARE(ReadPool(dir), FOld);
    QVERIFY(Leftovers(dir).isEmpty());
    reopened->ClosePool();
  }

  // Putting the old files back can fail too: the pool then does not open, says why, and keeps
  // the record of the save, so that a later open still puts it right.
  void aFailedRestoreIsNeverReportedAsDone() {
    const QString dir = Folder("restore");
    KillWhileUndoing(dir, TSystemFile::kFileName);
    DiskFile::SetFault([&dir](DiskFile::TCall call, const QString& path) {
      return call == DiskFile::TCall::Rename && path == dir + "/Teams.dat" ? EIO : 0;
    });
    try {
      OpenPool(dir);
      DiskFile::SetFault(nullptr);
      QFAIL("a restore that failed opened the pool");
    } catch (const EInOutError& error) {
      DiskFile::SetFault(nullptr);
      QVERIFY2(error.Reason().contains("Input/output error"), qPrintable(error.Reason()));
    }
    QVERIFY(TPoolSave::Pending(dir));
    auto reopened = OpenPool(dir);
    QCOMPARE(reopened->OpenNotice(), TPoolSave::kRestoredNotice);
    QCOMPARE(ReadPool(dir), FOld);
    reopened->ClosePool();
  }

  // A lock is stale only when its holder is known to be gone. A pool on a shared drive may be
  // held from another computer, whose programs this one cannot see: however old its lock, it
  // is never taken over.
  void anotherComputersLockIsNeverTakenOver() {
    const QString dir = Folder("shared");
    WritePool(dir, FOld);
    const QString lockPath = dir + "/" + TPoolLock::kFileName;
    WriteBytes(lockPath, "4242\ncourtsider\nfront-desk\n");
    const timeval weekAgo[2] = {{::time(nullptr) - 7 * 86400, 0}, {::time(nullptr) - 7 * 86400, 0}};
    QCOMPARE(::utimes(QFile::encodeName(lockPath).constData(), weekAgo), 0);
    try {
      OpenPool(dir);
      QFAIL("another computer's lock was taken over");
    } catch (const EInOutError& error) {
      QVERIFY2(error.Reason().contains(QStringLiteral(" on host front-desk, process 4242, since ")),
               qPrintable(error.Reason()));
    }
    QCOMPARE(ReadBytes(lockPath), QByteArray("4242\ncourtsider\nfront-desk\n"));
  }
};

QTEST_GUILESS_MAIN(TestSaves)
#include "tst_saves.moc"
