#include "PoolSave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "Checksum.h"
#include "PlayerPicksFile.h"
#include "SafeFile.h"
#include "InvitedFile.h"
#include "PrizesFile.h"
#include "ScoringFile.h"
#include "SystemFile.h"
#include "TeamsFile.h"

namespace {
using DiskFile::TKind;

const QString kMarkerTitle = QStringLiteral("Courtsider pool save");
const QString kReplaceMode = QStringLiteral("replace");
const QString kRestoreMode = QStringLiteral("restore");
const QString kNewBackup = QStringLiteral("Backup.new");
const QString kOldBackup = QStringLiteral("Backup.old");
const QString kNoFile = QStringLiteral("-");
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
  QString reason;
  if (!DiskFile::Remove(path, &reason))
    Fail(fileName, reason);
}

void Replace(const QString& from, const QString& to, const QString& fileName) {
  QString reason;
  if (!DiskFile::Replace(from, to, &reason))
    Fail(fileName, reason);
}

void SyncFolder(const QString& folder, const QString& fileName) {
  QString reason;
  if (!DiskFile::SyncFolder(folder, &reason))
    Fail(fileName, reason);
}

// What a file is now, as the marker would name it. Its checksum is taken only when its size
// is the one `expected` names: a file of another size is another file anyway.
TFileSum SumOf(const QString& path, const TFileSum& expected) {
  TFileSum sum;
  if (DiskFile::KindOf(path) != TKind::File)
    return sum;
  sum.Size = QFileInfo(path).size();
  if (sum.Size == expected.Size)
    sum.Checksum = TChecksum::OfFile(path);
  return sum;
}

// One file of the pool in the marker: what its staged copy holds and what its backup holds.
struct TEntry {
  QString Name;
  TFileSum New;
  TFileSum Old;
};

struct TMarker {
  QString Mode;
  std::vector<TEntry> Entries;
};

QString SumText(const TFileSum& sum) {
  return sum.Size < 0 ? kNoFile + QLatin1Char(' ') + kNoFile
                      : QString::number(sum.Size) + QLatin1Char(' ') + sum.Checksum;
}

void WriteMarker(const QDir& dir, const TMarker& marker) {
  QString text = kMarkerTitle + QLatin1Char('\n') + marker.Mode + QLatin1Char('\n');
  for (const TEntry& entry : marker.Entries) {
    text += entry.Name + QLatin1Char(' ') + SumText(entry.New) + QLatin1Char(' ') +
            SumText(entry.Old) + QLatin1Char('\n');
  }
  QString reason;
  if (!TSafeFile::WriteWhole(dir.filePath(TPoolSave::kMarkerName), text.toUtf8(), &reason)) {
    // A marker put in place but not synced is not to be trusted: it goes again.
    QString ignored;
    if (marker.Mode == kReplaceMode)
      DiskFile::Remove(dir.filePath(TPoolSave::kMarkerName), &ignored);
    Fail(marker.Entries.front().Name, reason);
  }
}

bool ParseSum(const QString& size, const QString& checksum, TFileSum* sum) {
  static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{16}$"));
  if (size == kNoFile && checksum == kNoFile) {
    *sum = TFileSum();
    return true;
  }
  bool number = false;
  sum->Size = size.toLongLong(&number);
  sum->Checksum = checksum;
  return number && sum->Size >= 0 && hex.match(checksum).hasMatch();
}

// The marker, when it is one this program wrote: a plain file, not a link, of the expected
// form, naming each pool file at most once with the sums of a staged copy.
bool ReadMarker(const QDir& dir, TMarker* marker) {
  const QString path = dir.filePath(TPoolSave::kMarkerName);
  if (DiskFile::KindOf(path) != TKind::File)
    return false;
  QFile file(path);
  if (file.size() > kMarkerLimit || !file.open(QIODevice::ReadOnly))
    return false;
  QStringList lines = QString::fromUtf8(file.read(kMarkerLimit)).split(QLatin1Char('\n'));
  if (lines.size() < 3 || lines.takeLast() != QString() || lines.takeFirst() != kMarkerTitle)
    return false;
  marker->Mode = lines.takeFirst();
  if (marker->Mode != kReplaceMode && marker->Mode != kRestoreMode)
    return false;
  QStringList seen;
  for (const QString& line : lines) {
    const QStringList fields = line.split(QLatin1Char(' '));
    TEntry entry;
    if (fields.size() != 5 || !TPoolSave::PoolFiles().contains(fields[0]) ||
        seen.contains(fields[0]) || !ParseSum(fields[1], fields[2], &entry.New) ||
        entry.New.Size < 0 || !ParseSum(fields[3], fields[4], &entry.Old)) {
      return false;
    }
    entry.Name = fields[0];
    seen << entry.Name;
    marker->Entries.push_back(entry);
  }
  return !marker->Entries.empty();
}

void RemoveMarker(const QDir& dir, const QString& fileName) {
  Remove(dir.filePath(TPoolSave::kMarkerName), fileName);
  SyncFolder(dir.path(), fileName);
}

// Copies the pool's files into a new backup generation, which then takes the place of the
// old one. Returns what each file held, for the marker.
std::vector<TFileSum> MakeBackup(const QDir& dir, const QString& first) {
  const QString backup = dir.filePath(TPoolSave::kBackupFolder);
  const QString fresh = dir.filePath(kNewBackup);
  const QString previous = dir.filePath(kOldBackup);
  const TKind kind = DiskFile::KindOf(backup);
  if (kind != TKind::Missing && kind != TKind::Folder)
    Fail(first, DiskFile::Describe(backup, TPoolSave::kBackupNotAFolder));
  QString reason;
  if (!DiskFile::RemoveFolder(fresh, &reason) || !DiskFile::RemoveFolder(previous, &reason) ||
      !DiskFile::MakeFolder(fresh, &reason)) {
    Fail(first, reason);
  }
  std::vector<TFileSum> sums;
  try {
    for (const QString& name : TPoolSave::PoolFiles()) {
      TFileSum sum;
      if (DiskFile::KindOf(dir.filePath(name)) != TKind::Missing) {
        Step(QStringLiteral("backup ") + name, name);
        if (!DiskFile::Copy(dir.filePath(name), QDir(fresh).filePath(name), &reason,
                            &sum.Checksum)) {
          Fail(name, reason);
        }
        sum.Size = QFileInfo(QDir(fresh).filePath(name)).size();
      }
      sums.push_back(sum);
    }
    SyncFolder(fresh, first);
    if (kind == TKind::Folder)
      Replace(backup, previous, first);
    Replace(fresh, backup, first);
    SyncFolder(dir.path(), first);
  } catch (const EInOutError&) {
    // Whatever the new generation had got to goes; the previous one is still, or again, in
    // its place.
    DiskFile::RemoveFolder(fresh, &reason);
    if (DiskFile::KindOf(backup) == TKind::Missing && kind == TKind::Folder)
      DiskFile::Replace(previous, backup, &reason);
    throw;
  }
  // The previous generation is no longer needed; one left behind goes at the next save.
  DiskFile::RemoveFolder(previous, &reason);
  return sums;
}

// Puts every file back as the backup holds it and drops what is left of the staged copies.
// Moving, not copying, needs no room on a disk that may be full.
void RestoreFromBackup(const QDir& dir, const std::vector<TEntry>& entries) {
  for (const TEntry& entry : entries) {
    if (entry.Old.Size < 0)
      Remove(dir.filePath(entry.Name), entry.Name);
    else if (DiskFile::KindOf(BackupOf(dir, entry.Name)) == TKind::File)
      Replace(BackupOf(dir, entry.Name), dir.filePath(entry.Name), entry.Name);
    Remove(Staged(dir, entry.Name), entry.Name);
  }
  SyncFolder(dir.path(), entries.front().Name);
}

// After a failed replacement: first the marker says that the save is being undone, so that a
// program killed halfway through this still ends with the old pool on the next open.
void Undo(const QDir& dir, TMarker marker) {
  try {
    marker.Mode = kRestoreMode;
    WriteMarker(dir, marker);
    RestoreFromBackup(dir, marker.Entries);
    RemoveMarker(dir, marker.Entries.front().Name);
  } catch (const EInOutError&) {
    // The marker still names the save; the next open finishes or undoes what is left of it.
  }
}
}  // namespace

const QStringList& TPoolSave::PoolFiles() {
  static const QStringList files{TSystemFile::kFileName, TTeamsFile::kFileName,
                                 TPlayerPicksFile::kFileName, ScoringFile::kFileName,
                                 InvitedFile::kFileName, PrizesFile::kFileName};
  Q_ASSERT(files.size() == kPoolFileCount);
  return files;
}

void TPoolSave::SetStepHook(TStepHook hook) {
  Hook() = std::move(hook);
}

void TPoolSave::Commit(const QString& folder, const std::vector<TStagedFile>& staged) {
  const QDir dir(folder);
  const QString first = staged.front().Name;

  Step(QStringLiteral("backup"), first);
  const std::vector<TFileSum> backup = MakeBackup(dir, first);

  TMarker marker{kReplaceMode, {}};
  for (const TStagedFile& file : staged) {
    const auto at = PoolFiles().indexOf(file.Name);
    marker.Entries.push_back({file.Name, file.Staged, backup[static_cast<size_t>(at)]});
  }
  Step(QStringLiteral("marker"), first);
  WriteMarker(dir, marker);

  try {
    for (const TStagedFile& file : staged) {
      Step(QStringLiteral("replace ") + file.Name, file.Name);
      Replace(Staged(dir, file.Name), dir.filePath(file.Name), file.Name);
    }
    Step(QStringLiteral("sync"), first);
    SyncFolder(folder, first);
    Step(QStringLiteral("done"), first);
    RemoveMarker(dir, first);
  } catch (const EInOutError&) {
    Undo(dir, marker);
    throw;
  }
}

bool TPoolSave::Pending(const QString& folder) {
  const TKind kind = DiskFile::KindOf(QDir(folder).filePath(kMarkerName));
  return kind != TKind::Missing && kind != TKind::Unknown;
}

QString TPoolSave::Recover(const QString& folder) {
  const QDir dir(folder);
  TMarker marker;
  if (!ReadMarker(dir, &marker))
    throw EInOutError(QFileDevice::OpenError,
                      DiskFile::Describe(dir.filePath(kMarkerName), kForeignMarker));
  // The save can be finished when every file holds its new content or has its staged copy
  // whole, and undone when every file holds its old content or has its backup whole.
  bool canFinish = true;
  bool canUndo = true;
  for (const TEntry& entry : marker.Entries) {
    const TFileSum now = SumOf(dir.filePath(entry.Name), entry.New);
    canFinish =
        canFinish && (now == entry.New || SumOf(Staged(dir, entry.Name), entry.New) == entry.New);
    const TFileSum then = SumOf(dir.filePath(entry.Name), entry.Old);
    canUndo = canUndo &&
              (then == entry.Old ||
               (entry.Old.Size >= 0 && SumOf(BackupOf(dir, entry.Name), entry.Old) == entry.Old));
  }
  const QString first = marker.Entries.front().Name;
  if (canFinish && (marker.Mode == kReplaceMode || !canUndo)) {
    for (const TEntry& entry : marker.Entries) {
      if (SumOf(dir.filePath(entry.Name), entry.New) != entry.New)
        Replace(Staged(dir, entry.Name), dir.filePath(entry.Name), entry.Name);
      Remove(Staged(dir, entry.Name), entry.Name);
    }
    SyncFolder(folder, first);
    RemoveMarker(dir, first);
    return kCompletedNotice;
  }
  if (canUndo) {
    std::vector<TEntry> changed;
    for (const TEntry& entry : marker.Entries) {
      if (SumOf(dir.filePath(entry.Name), entry.Old) == entry.Old)
        Remove(Staged(dir, entry.Name), entry.Name);
      else
        changed.push_back(entry);
    }
    if (!changed.empty())
      RestoreFromBackup(dir, changed);
    RemoveMarker(dir, first);
    return kRestoredNotice;
  }
  throw EInOutError(QFileDevice::OpenError,
                    DiskFile::Describe(dir.filePath(kMarkerName), kUnfinishable));
}

QString TPoolSave::ReadPath(const QString& folder, const QString& name) {
  const QDir dir(folder);
  TMarker marker;
  if (!Pending(folder) || !ReadMarker(dir, &marker))
    return {};
  const bool named = std::any_of(marker.Entries.begin(), marker.Entries.end(),
                                 [&name](const TEntry& entry) { return entry.Name == name; });
  if (!named)
    return {};
  const QString from = marker.Mode == kRestoreMode ? BackupOf(dir, name) : Staged(dir, name);
  return DiskFile::KindOf(from) == TKind::File ? from : QString();
}

void TPoolSave::RemoveStale(const QString& folder) {
  const QDir dir(folder);
  for (const QString& name : PoolFiles()) {
    if (DiskFile::KindOf(Staged(dir, name)) != TKind::Folder)
      Remove(Staged(dir, name), name);
  }
  // A save killed between taking the previous backup away and putting the new one in its
  // place: the previous generation, whole, goes back.
  const QString first = PoolFiles().first();
  const QString backup = dir.filePath(kBackupFolder);
  if (DiskFile::KindOf(backup) == TKind::Missing &&
      DiskFile::KindOf(dir.filePath(kOldBackup)) == TKind::Folder) {
    Replace(dir.filePath(kOldBackup), backup, first);
  }
  QString reason;
  if (!DiskFile::RemoveFolder(dir.filePath(kNewBackup), &reason) ||
      !DiskFile::RemoveFolder(dir.filePath(kOldBackup), &reason)) {
    Fail(first, reason);
  }
}
