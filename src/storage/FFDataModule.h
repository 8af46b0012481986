#pragma once

#include <memory>

#include "PlayerPicksFile.h"
#include "SystemFile.h"
#include "TeamsFile.h"

// The open pool: owns its three files, opens or creates them together, saves them together
// and closes them with the save question.
class TFFDataModule {
 public:
  static inline const QString kSaveQuestion =
      QStringLiteral("Do you wish to save changes to this pool?");

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
  // is only looked at: no file is written or created, and it must not be saved.
  bool OpenPool(TOpenMode mode = TOpenMode::ReadWrite);
  bool CreatePool();
  // Writes the settings and the teams, and the players while the first round is locked or
  // when they were cleared since the last save. Returns true when nothing is left unsaved.
  bool SavePool();
  // Asks whether to save a modified pool, then closes the three files.
  void ClosePool();
  // Unlocking the first round discards every player; the next save writes the emptied file.
  void ClearPlayers();

  bool Modified() const;
  bool Finalized() const { return FSystemFile->Finalized(); }

 private:
  std::unique_ptr<TSystemFile> FSystemFile;
  std::unique_ptr<TPlayerPicksFile> FPlayerPicksFile;
  std::unique_ptr<TTeamsFile> FTeamsFile;
  QString FDirectory;
};
