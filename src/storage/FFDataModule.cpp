#include "FFDataModule.h"

#include "Prompts.h"

TFFDataModule::TFFDataModule()
    : FSystemFile(std::make_unique<TSystemFile>()),
      FPlayerPicksFile(std::make_unique<TPlayerPicksFile>()),
      FTeamsFile(std::make_unique<TTeamsFile>()) {}

TFFDataModule::~TFFDataModule() = default;

void TFFDataModule::SetDirectory(const QString& path) {
  FDirectory = path;
  FSystemFile->SetDirectory(path);
  FTeamsFile->SetDirectory(path);
  FPlayerPicksFile->SetDirectory(path);
}

bool TFFDataModule::OpenPool(TOpenMode mode) {
  const bool readOnly = mode == TOpenMode::ReadOnly;
  FSystemFile->SetReadOnly(readOnly);
  FTeamsFile->SetReadOnly(readOnly);
  FPlayerPicksFile->SetReadOnly(readOnly);
  FSystemFile->Open();
  FTeamsFile->Open();
  FPlayerPicksFile->Open();
  return true;
}

bool TFFDataModule::CreatePool() {
  FSystemFile->CreateNew();
  FTeamsFile->CreateNew();
  FPlayerPicksFile->CreateNew();
  return true;
}

bool TFFDataModule::SavePool() {
  FSystemFile->WriteRecord();
  FTeamsFile->SaveAll();
  // While the first round is open players cannot be entered, so a modified player file then
  // means the players were cleared by unlocking: that must reach the disk too.
  if (Finalized() || FPlayerPicksFile->Modified())
    FPlayerPicksFile->SaveAll();
  return !Modified();
}

void TFFDataModule::ClosePool() {
  if (Modified() && TPrompts::Current().Confirm(kSaveQuestion))
    SavePool();
  if (FSystemFile->IsOpen())
    FSystemFile->Close();
  if (FTeamsFile->IsOpen())
    FTeamsFile->Close();
  if (FPlayerPicksFile->IsOpen())
    FPlayerPicksFile->Close();
}

void TFFDataModule::ClearPlayers() {
  FPlayerPicksFile->Clear();
  FPlayerPicksFile->SetModified(true);
}

bool TFFDataModule::Modified() const {
  return FSystemFile->Modified() || FTeamsFile->Modified() || FPlayerPicksFile->Modified();
}
