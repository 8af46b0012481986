#pragma once

#include <memory>

#include "PlayerPicksFile.h"
#include "SystemFile.h"
#include "TeamsFile.h"

// The open pool: owns its three files, opens or creates them together, saves them together
// and closes them. Whether to save a modified pool first is the main window's question.
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

  // Both raise EInOutError when a file cannot be opened or created. A pool opened read-only
  // is only looked at: no file is written or created, and it must not be saved. Opening a
  // pool whose last save was cut short finishes that save first and says so; read-only, it
  // reads the pool as that save left it.
  bool OpenPool(TOpenMode mode = TOpenMode::ReadWrite);
  // Creates a new pool's files in the folder, which must exist.
  bool CreatePool();
  // Makes a new pool in `directory`, which must not exist yet (or be an empty folder): the
  // pool is built in a temporary folder beside it and moved into place whole, so a failure
  // leaves nothing behind. Raises EInOutError with the reason.
  static void CreatePoolFolder(const QString& directory, const QString& poolName = QString());
  // Writes the settings and the teams, and the players while the first round is locked or
  // when they were cleared since the last save, all or nothing: the files are staged and
  // synced first and put in place together, keeping the old ones in "Backup" (TPoolSave).
  // A failure is reported once, naming the file and the reason, leaves the pool on disk as
  // it was and the pool in memory modified. Returns true when nothing is left unsaved.
  bool SavePool();
  // Closes the three files; what is not saved is let go.
  void ClosePool();
  // Unlocking the first round discards every player; the next save writes the emptied file.
  void ClearPlayers();

  bool Modified() const;
  bool Finalized() const { return FSystemFile->Finalized(); }

 private:
  bool CommitSave(const QStringList& staged);

  std::unique_ptr<TSystemFile> FSystemFile;
  std::unique_ptr<TPlayerPicksFile> FPlayerPicksFile;
  std::unique_ptr<TTeamsFile> FTeamsFile;
  QString FDirectory;
};
