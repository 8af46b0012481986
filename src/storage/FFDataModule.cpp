#include "FFDataModule.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "PoolSave.h"
#include "Prompts.h"
#include "SafeFile.h"

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
  if (!readOnly) {
    if (TPoolSave::Pending(FDirectory))
      TPrompts::Current().Inform(TPoolSave::Recover(FDirectory));
    else
      TPoolSave::RemoveStale(FDirectory);
  }
  auto readFrom = [this, readOnly](const QString& name) {
    return readOnly ? TPoolSave::ReadPath(FDirectory, name) : QString();
  };
  FSystemFile->SetReadOnly(readOnly, readFrom(TSystemFile::kFileName));
  FTeamsFile->SetReadOnly(readOnly, readFrom(TTeamsFile::kFileName));
  FPlayerPicksFile->SetReadOnly(readOnly, readFrom(TPlayerPicksFile::kFileName));
  FSystemFile->Open();
  FTeamsFile->Open();
  FPlayerPicksFile->Open();
  return true;
}

bool TFFDataModule::CreatePool() {
  FSystemFile->CreateNew();
  FTeamsFile->CreateNew();
  FPlayerPicksFile->CreateNew();
  QString reason;
  if (!DiskFile::SyncFolder(FDirectory, &reason))
    throw EInOutError(QFileDevice::WriteError, reason);
  return true;
}

void TFFDataModule::CreatePoolFolder(const QString& directory, const QString& poolName) {
  const QFileInfo target(directory);
  const QDir parent = target.absoluteDir();
  const QString where = QDir::toNativeSeparators(target.absoluteFilePath());
  if (target.exists() && !(target.isDir() && QDir(directory).isEmpty()))
    throw EInOutError(QFileDevice::OpenError, where + QStringLiteral(" already exists"));
  // A hidden name that does not end in ".BGD": the open dialog never lists a pool in making.
  QTemporaryDir building(
      parent.filePath(QLatin1Char('.') + target.fileName() + QStringLiteral("-XXXXXX")));
  if (!building.isValid()) {
    throw EInOutError(QFileDevice::OpenError,
                      DiskFile::Describe(parent.absolutePath(), building.errorString()));
  }
  {
    TFFDataModule pool;
    pool.SetDirectory(building.path());
    pool.SystemFile().SetPoolName(poolName);
    pool.CreatePool();
    pool.ClosePool();
  }
  // An empty folder of that name gives way to the pool.
  if (target.exists() && !parent.rmdir(target.fileName()))
    throw EInOutError(QFileDevice::RenameError, where + QStringLiteral(" could not be replaced"));
  QString reason;
  if (!DiskFile::Replace(building.path(), target.absoluteFilePath(), &reason))
    throw EInOutError(QFileDevice::RenameError, reason);
  building.setAutoRemove(false);
  if (!DiskFile::SyncFolder(parent.absolutePath(), &reason))
    throw EInOutError(QFileDevice::WriteError, reason);
}

bool TFFDataModule::SavePool() {
  // While the first round is open players cannot be entered, so a modified player file then
  // means the players were cleared by unlocking: that must reach the disk too.
  const bool players = Finalized() || FPlayerPicksFile->Modified();
  QStringList staged;
  bool written = FSystemFile->WriteRecord();
  if (written) {
    staged << TSystemFile::kFileName;
    written = FTeamsFile->SaveAll();
  }
  if (written) {
    staged << TTeamsFile::kFileName;
    if (players) {
      written = FPlayerPicksFile->SaveAll();
      staged << TPlayerPicksFile::kFileName;
    }
  }
  if (written)
    written = CommitSave(staged);
  // Whatever is still staged belongs to a save that did not happen.
  FSystemFile->File().CancelSave();
  FTeamsFile->File().CancelSave();
  FPlayerPicksFile->File().CancelSave();
  if (written) {
    FSystemFile->SetModified(false);
    FTeamsFile->SetModified(false);
    if (players)
      FPlayerPicksFile->SetModified(false);
  }
  return written && !Modified();
}

bool TFFDataModule::CommitSave(const QStringList& staged) {
  // The held handles are let go while the files are replaced (a platform that locks open
  // files would refuse) and taken up again on whichever files are in place afterwards.
  FSystemFile->File().Release();
  FTeamsFile->File().Release();
  FPlayerPicksFile->File().Release();
  bool committed = true;
  try {
    TPoolSave::Commit(FDirectory, staged);
  } catch (const EPoolSaveError& error) {
    const QString& name = error.FileName();
    const QString& prefix = name == TTeamsFile::kFileName         ? kTeamsFileErrorPrefix
                            : name == TPlayerPicksFile::kFileName ? kPlayerPicksFileErrorPrefix
                                                                  : kSystemFileErrorPrefix;
    ReportFileError(prefix, kWriteOperation, error.Reason());
    committed = false;
  }
  FSystemFile->File().Reacquire();
  FTeamsFile->File().Reacquire();
  FPlayerPicksFile->File().Reacquire();
  return committed;
}

void TFFDataModule::ClosePool() {
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
