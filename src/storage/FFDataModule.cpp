#include "FFDataModule.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>

#include "Clock.h"
#include "PoolLock.h"
#include "PoolSave.h"
#include "SafeFile.h"

namespace {
// The prefix of the pool file a save's failure names.
const QString& PrefixOf(const QString& fileName) {
  return fileName == TTeamsFile::kFileName         ? kTeamsFileErrorPrefix
         : fileName == TPlayerPicksFile::kFileName ? kPlayerPicksFileErrorPrefix
                                                   : kSystemFileErrorPrefix;
}
}  // namespace

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
  FOpenNotice.clear();
  try {
    if (!readOnly) {
      // The lock comes first: finishing a save cut short writes the pool too. A folder that
      // is not there has nothing to lock; its first file will say what is missing.
      if (QFileInfo(FDirectory).isDir()) {
        FLock = std::make_unique<TPoolLock>(FDirectory);
        FLock->Take();
      }
      if (TPoolSave::Pending(FDirectory))
        FOpenNotice = TPoolSave::Recover(FDirectory);
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
    const QString scoringFrom = readFrom(ScoringFile::kFileName);
    ReadScoring(scoringFrom.isEmpty() ? QDir(FDirectory).filePath(ScoringFile::kFileName)
                                      : scoringFrom);
    const QString invitedFrom = readFrom(InvitedFile::kFileName);
    ReadInvited(invitedFrom.isEmpty() ? QDir(FDirectory).filePath(InvitedFile::kFileName)
                                      : invitedFrom);
    const QString prizesFrom = readFrom(PrizesFile::kFileName);
    ReadPrizes(prizesFrom.isEmpty() ? QDir(FDirectory).filePath(PrizesFile::kFileName)
                                    : prizesFrom);
  } catch (const EInOutError&) {
    // A pool that did not open is nobody's to write.
    FLock.reset();
    throw;
  }
  return true;
}

bool TFFDataModule::CreatePool(bool lock) {
  try {
    if (lock) {
      FLock = std::make_unique<TPoolLock>(FDirectory);
      FLock->Take();
    }
    FScoringRule = FScoringSaved = ScoringRules::kDefault;
    FInvited.clear();
    FInvitedSaved.clear();
    FPrizes = FPrizesSaved = {};
    FSystemFile->CreateNew();
    FTeamsFile->CreateNew();
    FPlayerPicksFile->CreateNew();
    QString reason;
    if (!DiskFile::SyncFolder(FDirectory, &reason))
      throw EInOutError(QFileDevice::WriteError, reason);
  } catch (const EInOutError&) {
    FLock.reset();
    throw;
  }
  return true;
}

void TFFDataModule::RemoveAbandonedBuilds(const QString& folder) {
  static const QRegularExpression building(QStringLiteral("^\\..+-[A-Za-z0-9]{6}$"));
  const QDir parent(folder);
  const QDateTime dayAgo = TClock::Current().Now().toUTC().addDays(-1);
  const QStringList hidden = parent.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
  for (const QString& name : hidden) {
    const QString path = parent.filePath(name);
    if (!building.match(name).hasMatch() || DiskFile::KindOf(path) != DiskFile::TKind::Folder ||
        QFileInfo(path).lastModified().toUTC() > dayAgo) {
      continue;
    }
    // Only a folder that holds nothing but a pool's files is one of ours.
    const QStringList inside =
        QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    const bool ours = std::all_of(inside.begin(), inside.end(), [&path](const QString& entry) {
      return TPoolSave::PoolFiles().contains(entry) &&
             DiskFile::KindOf(QDir(path).filePath(entry)) == DiskFile::TKind::File;
    });
    QString ignored;
    if (ours)
      DiskFile::RemoveFolder(path, &ignored);
  }
}

void TFFDataModule::CreatePoolFolder(const QString& directory, const QString& poolName) {
  const QFileInfo target(directory);
  const QDir parent = target.absoluteDir();
  RemoveAbandonedBuilds(parent.absolutePath());
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
    pool.CreatePool(false);
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

template <class TWrite>
bool TFFDataModule::Stage(const QString& prefix, TWrite write) {
  try {
    write();
    return true;
  } catch (const EInOutError& error) {
    FSaveError = {prefix, kWriteOperation, error.Reason()};
    return false;
  }
}

bool TFFDataModule::SavePool() {
  FSaveError = {};
  // A save of this session that could neither finish nor undo itself left its marker: it is
  // finished first, so that the backup this save takes is a whole pool.
  if (TPoolSave::Pending(FDirectory) &&
      !WithFilesReleased([this] { TPoolSave::Recover(FDirectory); })) {
    return false;
  }
  // While the first round is open players cannot be entered, so a modified player file then
  // means the players were cleared by unlocking: that must reach the disk too.
  const bool players = Finalized() || FPlayerPicksFile->Modified();
  QStringList staged;
  bool written = Stage(kSystemFileErrorPrefix, [this] { FSystemFile->WriteRecord(); });
  if (written) {
    staged << TSystemFile::kFileName;
    written = Stage(kTeamsFileErrorPrefix, [this] { FTeamsFile->SaveAll(); });
  }
  if (written) {
    staged << TTeamsFile::kFileName;
    if (players) {
      written = Stage(kPlayerPicksFileErrorPrefix, [this] { FPlayerPicksFile->SaveAll(); });
      if (written)
        staged << TPlayerPicksFile::kFileName;
    }
  }
  const bool scoring = FScoringRule != FScoringSaved;
  if (written && scoring) {
    written = Stage(kSystemFileErrorPrefix, [this] { StageScoring(); });
    if (written)
      staged << ScoringFile::kFileName;
  }
  const bool invited = FInvited != FInvitedSaved;
  if (written && invited) {
    written = Stage(kSystemFileErrorPrefix, [this] { StageInvited(); });
    if (written)
      staged << InvitedFile::kFileName;
  }
  const bool prizes = FPrizes != FPrizesSaved;
  if (written && prizes) {
    written = Stage(kSystemFileErrorPrefix, [this] { StagePrizes(); });
    if (written)
      staged << PrizesFile::kFileName;
  }
  if (written)
    written = CommitSave(staged);
  // Whatever is still staged belongs to a save that did not happen, unless that save could
  // neither finish nor undo itself: then the next open or save puts it in place.
  const bool keep = TPoolSave::Pending(FDirectory);
  for (TTypedFile* file : {&FSystemFile->File(), &FTeamsFile->File(), &FPlayerPicksFile->File()})
    keep ? file->KeepSave() : file->CancelSave();
  QString ignored;
  if (!keep) {
    DiskFile::Remove(ScoringStagedPath(), &ignored);
    DiskFile::Remove(InvitedStagedPath(), &ignored);
    DiskFile::Remove(QDir(FDirectory).filePath(PrizesFile::kFileName + TTypedFile::kStagedSuffix),
                     &ignored);
  }
  if (written) {
    if (scoring)
      FScoringSaved = FScoringRule;
    if (invited)
      FInvitedSaved = FInvited;
    if (prizes)
      FPrizesSaved = FPrizes;
    FSystemFile->SetModified(false);
    FTeamsFile->SetModified(false);
    if (players)
      FPlayerPicksFile->SetModified(false);
  }
  return written && !Modified();
}

template <class TReplace>
bool TFFDataModule::WithFilesReleased(TReplace replace) {
  // The held handles are let go while the files are replaced (a platform that locks open
  // files would refuse) and taken up again on whichever files are in place afterwards.
  TTypedFile* files[] = {&FSystemFile->File(), &FTeamsFile->File(), &FPlayerPicksFile->File()};
  for (TTypedFile* file : files)
    file->Release();
  bool replaced = true;
  try {
    replace();
  } catch (const EPoolSaveError& error) {
    FSaveError = {PrefixOf(error.FileName()), kWriteOperation, error.Reason()};
    replaced = false;
  } catch (const EInOutError& error) {
    FSaveError = {kSystemFileErrorPrefix, kWriteOperation, error.Reason()};
    replaced = false;
  }
  for (TTypedFile* file : files) {
    try {
      file->Reacquire();
    } catch (const EInOutError& error) {
      // The pool in memory is whole; only the handle on a file gone from disk is lost.
      if (FSaveError.IsNull())
        FSaveError = {kSystemFileErrorPrefix, kWriteOperation, error.Reason()};
      replaced = false;
    }
  }
  return replaced;
}

bool TFFDataModule::CommitSave(const QStringList& staged) {
  std::vector<TStagedFile> files;
  for (const QString& name : staged) {
    if (name == ScoringFile::kFileName || name == InvitedFile::kFileName ||
        name == PrizesFile::kFileName) {
      files.push_back({name, name == ScoringFile::kFileName   ? FScoringStaged
                             : name == InvitedFile::kFileName ? FInvitedStaged
                                                              : FPrizesStaged});
      continue;
    }
    const TTypedFile& file = name == TSystemFile::kFileName  ? FSystemFile->File()
                             : name == TTeamsFile::kFileName ? FTeamsFile->File()
                                                             : FPlayerPicksFile->File();
    files.push_back({name, {file.StagedSize(), file.StagedChecksum()}});
  }
  return WithFilesReleased([this, &files] { TPoolSave::Commit(FDirectory, files); });
}

QStringList TFFDataModule::ClosePool() {
  QStringList failures;
  auto close = [&failures](const TPoolFileError& failure) {
    if (!failure.IsNull())
      failures << failure.Text();
  };
  if (FSystemFile->IsOpen())
    close(FSystemFile->Close());
  if (FTeamsFile->IsOpen())
    close(FTeamsFile->Close());
  if (FPlayerPicksFile->IsOpen())
    close(FPlayerPicksFile->Close());
  FLock.reset();
  FScoringRule = FScoringSaved = ScoringRules::kDefault;
  FInvited.clear();
  FInvitedSaved.clear();
  FPrizes = FPrizesSaved = {};
  return failures;
}

void TFFDataModule::ClearPlayers() {
  FPlayerPicksFile->Clear();
  FPlayerPicksFile->SetModified(true);
}

bool TFFDataModule::Modified() const {
  return FSystemFile->Modified() || FTeamsFile->Modified() || FPlayerPicksFile->Modified() ||
         FScoringRule != FScoringSaved || FInvited != FInvitedSaved || FPrizes != FPrizesSaved;
}

void TFFDataModule::SetScoringRule(TScoringRule rule) {
  FScoringRule = rule;
}

QString TFFDataModule::ScoringStagedPath() const {
  return QDir(FDirectory).filePath(ScoringFile::kFileName + TTypedFile::kStagedSuffix);
}

TFFDataModule::TSideRead TFFDataModule::ReadSideFile(const QString& path, qint64 limit,
                                                    QByteArray* bytes, QString* reason) {
  if (DiskFile::KindOf(path) == DiskFile::TKind::Missing)
    return TSideRead::Missing;
  QFile file(path);
  // A named pipe or a device planted there is never opened: reading it could wait for ever.
  if (!DiskFile::IsRegularFile(path)) {
    *reason = ScoringFile::kNotAFile;
    return TSideRead::Unreadable;
  }
  if (!file.open(QIODevice::ReadOnly)) {
    *reason = file.errorString();
    return TSideRead::Unreadable;
  }
  *bytes = file.read(limit);
  return TSideRead::Read;
}

void TFFDataModule::Notice(const QString& path, const QString& reason, const QString& meanwhile) {
  if (!FOpenNotice.isEmpty())
    FOpenNotice += QLatin1Char('\n');
  FOpenNotice += DiskFile::Describe(path, reason) + meanwhile;
}

TFileSum TFFDataModule::StageSideFile(const QString& name, const QByteArray& text) {
  const QDir dir(FDirectory);
  TSafeFile file(dir.filePath(name), dir.filePath(name + TTypedFile::kStagedSuffix));
  // The first one written is as private as the pool's own files.
  if (DiskFile::KindOf(dir.filePath(name)) == DiskFile::TKind::Missing)
    file.SetPermissionsFrom(dir.filePath(TSystemFile::kFileName));
  if (!file.Open() || !file.Write(text) || !file.Finish())
    throw EInOutError(QFileDevice::WriteError, file.ErrorString());
  file.Keep();
  return {file.Size(), file.Checksum()};
}

void TFFDataModule::ReadScoring(const QString& path) {
  FScoringRule = FScoringSaved = ScoringRules::kDefault;
  QByteArray bytes;
  QString reason = ScoringFile::kUnknownRule;
  const TSideRead read = ReadSideFile(path, ScoringFile::kSizeLimit, &bytes, &reason);
  if (read == TSideRead::Missing)
    return;
  TScoringRule rule = ScoringRules::kDefault;
  if (read == TSideRead::Read && ScoringFile::Parse(bytes, &rule)) {
    FScoringRule = FScoringSaved = rule;
    return;
  }
  Notice(path, reason, ScoringFile::kRoundPointsMeanwhile);
}

void TFFDataModule::StageScoring() {
  FScoringStaged = StageSideFile(ScoringFile::kFileName, ScoringFile::Text(FScoringRule));
}

QString TFFDataModule::InvitedStagedPath() const {
  return QDir(FDirectory).filePath(InvitedFile::kFileName + TTypedFile::kStagedSuffix);
}

void TFFDataModule::ReadInvited(const QString& path) {
  FInvited.clear();
  FInvitedSaved.clear();
  QByteArray bytes;
  QString reason;
  const TSideRead read = ReadSideFile(path, InvitedFile::kSizeLimit, &bytes, &reason);
  if (read == TSideRead::Missing)
    return;
  QStringList names;
  if (read == TSideRead::Read && InvitedFile::Parse(bytes, &names, &reason)) {
    FInvited = FInvitedSaved = names;
    return;
  }
  Notice(path, reason,
         QStringLiteral("; the pool has no list of the invited until one is saved."));
}

void TFFDataModule::StageInvited() {
  FInvitedStaged = StageSideFile(InvitedFile::kFileName, InvitedFile::Text(FInvited));
}

void TFFDataModule::ReadPrizes(const QString& path) {
  FPrizes = FPrizesSaved = {};
  QByteArray bytes;
  QString reason;
  const TSideRead read = ReadSideFile(path, PrizesFile::kSizeLimit, &bytes, &reason);
  if (read == TSideRead::Missing)
    return;
  Prizes::TPrizes prizes;
  if (read == TSideRead::Read && PrizesFile::Parse(bytes, &prizes, &reason)) {
    FPrizes = FPrizesSaved = prizes;
    return;
  }
  Notice(path, reason, PrizesFile::kNoPrizesMeanwhile);
}

void TFFDataModule::StagePrizes() {
  FPrizesStaged = StageSideFile(PrizesFile::kFileName, PrizesFile::Text(FPrizes));
}
