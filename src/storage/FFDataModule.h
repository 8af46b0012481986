#pragma once

#include <QStringList>
#include <memory>

#include "PlayerPicksFile.h"
#include "PoolFileError.h"
#include "PoolSave.h"
#include "InvitedFile.h"
#include "PrizesFile.h"
#include "ScoringFile.h"
#include "SystemFile.h"
#include "TeamsFile.h"

class TPoolLock;

// The open pool: owns its three files, opens or creates them together, saves them together
// and closes them. Whether to save a modified pool first is the main window's question, and
// it shows nothing itself: what went wrong comes back to the window or the command that asked,
// to be shown there.
class TFFDataModule {
 public:
  TFFDataModule();
  ~TFFDataModule();
  TFFDataModule(const TFFDataModule&) = delete;
  TFFDataModule& operator=(const TFFDataModule&) = delete;

  void SetDirectory(const QString& path);
  const QString& Directory() const { return FDirectory; }

  TSystemFile& SystemFile() { return *FSystemFile; }
  const TSystemFile& SystemFile() const { return *FSystemFile; }
  TTeamsFile& TeamsFile() { return *FTeamsFile; }
  const TTeamsFile& TeamsFile() const { return *FTeamsFile; }
  TPlayerPicksFile& PlayerPicksFile() { return *FPlayerPicksFile; }
  const TPlayerPicksFile& PlayerPicksFile() const { return *FPlayerPicksFile; }

  enum class TOpenMode { ReadWrite, ReadOnly };

  // Both raise EInOutError when a file cannot be opened or created. Opening to change the
  // pool, and creating one, take the pool's lock (TPoolLock) until ClosePool: another writer
  // holding it refuses the open with who that is. A pool opened read-only is only looked at:
  // no file is written or created, no lock is needed, and it must not be saved. Opening a pool
  // whose last save was cut short finishes that save first (OpenNotice says so); read-only,
  // it reads the pool as that save left it.
  bool OpenPool(TOpenMode mode = TOpenMode::ReadWrite);
  // Creates a new pool's files in the folder, which must exist. `lock` false: the folder is
  // one that nobody else knows of yet (CreatePoolFolder builds a pool in one), which needs no
  // lock.
  bool CreatePool(bool lock = true);
  // What the last open has to tell: a save cut short that it finished or undid. Empty when
  // there is nothing to tell.
  const QString& OpenNotice() const { return FOpenNotice; }
  // Makes a new pool in `directory`, which must not exist yet (or be an empty folder): the
  // pool is built in a temporary folder beside it and moved into place whole, so a failure
  // leaves nothing behind. Raises EInOutError with the reason.
  static void CreatePoolFolder(const QString& directory, const QString& poolName = QString());
  // Removes the hidden folders that new pools killed while being built left in `folder`: those
  // older than a day that hold nothing but a pool's files. CreatePoolFolder does this first.
  static void RemoveAbandonedBuilds(const QString& folder);
  // Writes the settings and the teams, and the players while the first round is locked or
  // when they were cleared since the last save, all or nothing: the files are staged and
  // synced first and put in place together, keeping the old ones in "Backup" (TPoolSave).
  // A failure leaves the pool on disk as it was and the pool in memory modified; SaveError
  // names the file and the reason. Returns true when nothing is left unsaved.
  bool SavePool();
  // Why the last save failed; null after one that did not.
  const TPoolFileError& SaveError() const { return FSaveError; }
  // Closes the three files, whether or not they hold changes, and lets go of the lock.
  // Returns the messages of files that failed to close.
  QStringList ClosePool();
  // Unlocking the first round discards every player; the next save writes the emptied file.
  void ClearPlayers();

  // The pool's scoring rule ("Scoring.ini"): round points for a pool without the file, or
  // with one that names no rule (OpenNotice says so). A rule other than the one on disk makes
  // the pool modified; the save writes the file with the record files, all or nothing.
  TScoringRule ScoringRule() const { return FScoringRule; }
  void SetScoringRule(TScoringRule rule);

  // The people invited ("Invited.txt", InvitedFile): none for a pool without the file. A list
  // other than the one on disk makes the pool modified; the save writes it with the record
  // files, all or nothing.
  const QStringList& Invited() const { return FInvited; }
  void SetInvited(const QStringList& names) { FInvited = names; }

  // The entry fee and the split of the pot ("Prizes.ini", PrizesFile): none for a pool
  // without the file, or with one that cannot be read (OpenNotice says so, and the file is
  // left alone until prizes are saved in its place). Saved like the list of the invited.
  const Prizes::TPrizes& Prizes() const { return FPrizes; }
  void SetPrizes(const Prizes::TPrizes& prizes) { FPrizes = prizes; }

  bool Modified() const;
  bool Finalized() const { return FSystemFile->Finalized(); }

 private:
  // Stages one file of the save; false, with SaveError set, when that fails.
  template <class TWrite>
  bool Stage(const QString& prefix, TWrite write);
  // Runs `replace`, which replaces the pool's files, with the files' handles let go; false,
  // with SaveError set, when it fails.
  template <class TReplace>
  bool WithFilesReleased(TReplace replace);
  bool CommitSave(const QStringList& staged);
  // A small text file of the pool beside the record files ("Scoring.ini", "Invited.txt",
  // "Prizes.ini"):
  // read (its first `limit` bytes), missing, or there and unreadable, with why in `reason`.
  enum class TSideRead { Missing, Read, Unreadable };
  static TSideRead ReadSideFile(const QString& path, qint64 limit, QByteArray* bytes,
                                QString* reason);
  // What kept the side file `path` from being read, for OpenNotice, and what holds meanwhile.
  void Notice(const QString& path, const QString& reason, const QString& meanwhile);
  // Writes `text` into the staged copy of the side file `name`; throws EInOutError.
  TFileSum StageSideFile(const QString& name, const QByteArray& text);
  // Reads "Scoring.ini" from `path`; what kept it from being read goes to OpenNotice.
  void ReadScoring(const QString& path);
  // Writes the rule into the staged copy of "Scoring.ini"; throws EInOutError.
  void StageScoring();
  QString ScoringStagedPath() const;
  // The same for "Invited.txt"; one that cannot be read is told in OpenNotice and left alone
  // until a list is saved in its place.
  void ReadInvited(const QString& path);
  void StageInvited();
  QString InvitedStagedPath() const;
  // The same for "Prizes.ini".
  void ReadPrizes(const QString& path);
  void StagePrizes();

  std::unique_ptr<TSystemFile> FSystemFile;
  std::unique_ptr<TPlayerPicksFile> FPlayerPicksFile;
  std::unique_ptr<TTeamsFile> FTeamsFile;
  QString FDirectory;
  std::unique_ptr<TPoolLock> FLock;
  QString FOpenNotice;
  TPoolFileError FSaveError;
  TScoringRule FScoringRule = ScoringRules::kDefault;
  // The rule as the pool's folder holds it (round points where no file names one).
  TScoringRule FScoringSaved = ScoringRules::kDefault;
  // What the staged copy of "Scoring.ini" holds, for the save's marker.
  TFileSum FScoringStaged;
  QStringList FInvited;
  QStringList FInvitedSaved;
  TFileSum FInvitedStaged;
  Prizes::TPrizes FPrizes;
  Prizes::TPrizes FPrizesSaved;
  TFileSum FPrizesStaged;
};
