#include "PoolSave.h"

#include <QDir>
#include <QFile>

#include "PlayerPicksFile.h"
#include "SafeFile.h"
#include "SystemFile.h"
#include "TeamsFile.h"

namespace {
const QString kReplaceMode = QStringLiteral("replace");
const QString kRestoreMode = QStringLiteral("restore");
// Far more than the marker ever holds; a damaged one is never read whole.
constexpr qint64 kMarkerLimit = 4096;

TPoolSave::TStepHook& Hook() {
  static TPoolSave::TStepHook hook;
  return hook;
}

[[noreturn]] void Fail(const QString& fileName, const QString& reason) {
  throw EPoolSaveError(fileName, reason);
}

// A step about to work on `fileName`; a failure the hook makes is that file's.
void Step(const QString& step, const QString& fileName) {
  if (!Hook())
    return;
  try {
    Hook()(step);
  } catch (const EPoolSaveError&) {
    throw;
  } catch (const EInOutError& error) {
    Fail(fileName, error.Reason());
  }
}

QString Staged(const QDir& dir, const QString& name) {
  return dir.filePath(name + TTypedFile::kStagedSuffix);
}

QString BackupOf(const QDir& dir, const QString& name) {
  return dir.filePath(TPoolSave::kBackupFolder + QLatin1Char('/') + name);
}

void Remove(const QString& path, const QString& fileName) {
  if (QFile::exists(path) && !QFile::remove(path))
    Fail(fileName, DiskFile::Describe(path, QStringLiteral("The file could not be removed")));
}

void SyncFolder(const QString& folder, const QString& fileName) {
  QString reason;
  if (!DiskFile::SyncFolder(folder, &reason))
    Fail(fileName, reason);
}

void WriteMarker(const QDir& dir, const QString& mode, const QStringList& files) {
  QString reason;
  const QString text = mode + QLatin1Char('\n') + files.join(QLatin1Char('\n')) + QLatin1Char('\n');
  if (!TSafeFile::WriteWhole(dir.filePath(TPoolSave::kMarkerName), text.toUtf8(), &reason))
    Fail(files.value(0), reason);
}

void RemoveMarker(const QDir& dir, const QString& fileName) {
  Remove(dir.filePath(TPoolSave::kMarkerName), fileName);
  SyncFolder(dir.path(), fileName);
}

// Moves the backup copies of `files` back in place and drops what is left of their staged
// copies. Moving, not copying, needs no room on a disk that may be full.
void RestoreFromBackup(const QDir& dir, const QStringList& files) {
  for (const QString& name : files) {
    QString reason;
    if (QFile::exists(BackupOf(dir, name)) &&
        !DiskFile::Replace(BackupOf(dir, name), dir.filePath(name), &reason)) {
      Fail(name, reason);
    }
    Remove(Staged(dir, name), name);
  }
  SyncFolder(dir.path(), files.value(0));
}

struct TMarker {
  QString Mode;
  QStringList Files;  // only the pool's own files, whatever a damaged marker says
};

TMarker ReadMarker(const QDir& dir) {
  TMarker marker{kReplaceMode, {}};
  QFile file(dir.filePath(TPoolSave::kMarkerName));
  if (!DiskFile::IsRegularFile(file.fileName()) || !file.open(QIODevice::ReadOnly))
    return marker;
  const QStringList lines = QString::fromUtf8(file.read(kMarkerLimit)).split(QLatin1Char('\n'));
  marker.Mode = lines.value(0);
  for (const QString& name : TPoolSave::PoolFiles()) {
    if (lines.mid(1).contains(name))
      marker.Files << name;
  }
  return marker;
}

// After a failed replacement: first the marker says that the save is being undone, so that a
// program killed halfway through this still ends with the old pool on the next open.
void Undo(const QDir& dir, const QStringList& staged) {
  try {
    WriteMarker(dir, kRestoreMode, staged);
    RestoreFromBackup(dir, staged);
    RemoveMarker(dir, staged.value(0));
  } catch (const EInOutError&) {
    // The marker still names the save; the next open finishes what is left of it.
  }
}
}  // namespace

const QStringList& TPoolSave::PoolFiles() {
  static const QStringList files{TSystemFile::kFileName, TTeamsFile::kFileName,
                                 TPlayerPicksFile::kFileName};
  return files;
}

void TPoolSave::SetStepHook(TStepHook hook) {
  Hook() = std::move(hook);
}

void TPoolSave::Commit(const QString& folder, const QStringList& staged) {
  const QDir dir(folder);
  const QString first = staged.value(0);

  Step(QStringLiteral("backup"), first);
  if (!dir.mkpath(kBackupFolder)) {
    Fail(first, DiskFile::Describe(dir.filePath(kBackupFolder),
                                   QStringLiteral("The folder could not be created")));
  }
  // The old generation goes first: a save that dies while copying leaves a backup that is
  // visibly incomplete, never one that mixes two saves.
  for (const QString& name : PoolFiles())
    Remove(BackupOf(dir, name), name);
  for (const QString& name : PoolFiles()) {
    if (!QFile::exists(dir.filePath(name)))
      continue;
    Step(QStringLiteral("backup ") + name, name);
    QString reason;
    if (!DiskFile::Copy(dir.filePath(name), BackupOf(dir, name), &reason))
      Fail(name, reason);
  }

  Step(QStringLiteral("marker"), first);
  WriteMarker(dir, kReplaceMode, staged);

  try {
    for (const QString& name : staged) {
      Step(QStringLiteral("replace ") + name, name);
      QString reason;
      if (!DiskFile::Replace(Staged(dir, name), dir.filePath(name), &reason))
        Fail(name, reason);
    }
    Step(QStringLiteral("sync"), first);
    SyncFolder(folder, first);
    Step(QStringLiteral("done"), first);
    RemoveMarker(dir, first);
  } catch (const EInOutError&) {
    Undo(dir, staged);
    throw;
  }
}

bool TPoolSave::Pending(const QString& folder) {
  return QFile::exists(QDir(folder).filePath(kMarkerName));
}

QString TPoolSave::Recover(const QString& folder) {
  const QDir dir(folder);
  const TMarker marker = ReadMarker(dir);
  const QString first = PoolFiles().first();
  if (marker.Mode == kRestoreMode) {
    RestoreFromBackup(dir, marker.Files);
    RemoveMarker(dir, first);
    return kRestoredNotice;
  }
  // Every staged copy was complete before the marker was written, so the save is finished by
  // putting in place whichever copies are still waiting.
  for (const QString& name : PoolFiles()) {
    QString reason;
    if (QFile::exists(Staged(dir, name)) &&
        !DiskFile::Replace(Staged(dir, name), dir.filePath(name), &reason)) {
      Fail(name, reason);
    }
  }
  SyncFolder(folder, first);
  RemoveMarker(dir, first);
  return kCompletedNotice;
}

QString TPoolSave::ReadPath(const QString& folder, const QString& name) {
  const QDir dir(folder);
  if (!Pending(folder))
    return {};
  const TMarker marker = ReadMarker(dir);
  if (marker.Mode == kRestoreMode)
    return marker.Files.contains(name) && QFile::exists(BackupOf(dir, name)) ? BackupOf(dir, name)
                                                                             : QString();
  return QFile::exists(Staged(dir, name)) ? Staged(dir, name) : QString();
}

void TPoolSave::RemoveStale(const QString& folder) {
  const QDir dir(folder);
  for (const QString& name : PoolFiles())
    Remove(Staged(dir, name), name);
}
