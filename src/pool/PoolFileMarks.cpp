#include "PoolFileMarks.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "PoolSave.h"

TPoolFileMarks::TMark TPoolFileMarks::Stat(const QString& path) {
  const QFileInfo info(path);
  TMark mark;
  mark.Exists = info.exists();
  if (mark.Exists) {
    mark.Size = info.size();
    mark.Modified = info.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch();
    mark.MetadataChanged = info.fileTime(QFileDevice::FileMetadataChangeTime).toMSecsSinceEpoch();
  }
  return mark;
}

QByteArray TPoolFileMarks::Sum(const QString& path) {
  QFile file(path);
  QCryptographicHash hash(QCryptographicHash::Sha1);
  // A file that cannot be read has no sum; it differs from any that could.
  if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
    return {};
  return hash.result();
}

void TPoolFileMarks::Take(const QString& folder) {
  // A file whose size and times are still the marked ones is the marked file, as Changed
  // has it: a save that left a large file alone does not read it again.
  const bool again = FFolder == folder;
  FFolder = folder;
  const QDir dir(folder);
  for (size_t i = 0; i < FMarks.size(); ++i) {
    const QString path = dir.filePath(TPoolSave::PoolFiles().at(static_cast<qsizetype>(i)));
    TMark now = Stat(path);
    if (again && now.SameTimes(FMarks[i]))
      continue;
    if (now.Exists)
      now.Sum = Sum(path);
    FMarks[i] = now;
  }
}

void TPoolFileMarks::Clear() {
  FFolder.clear();
}

bool TPoolFileMarks::Changed() {
  if (FFolder.isEmpty())
    return false;
  const QDir dir(FFolder);
  bool changed = false;
  for (size_t i = 0; i < FMarks.size(); ++i) {
    const QString path = dir.filePath(TPoolSave::PoolFiles().at(static_cast<qsizetype>(i)));
    TMark now = Stat(path);
    if (now.SameTimes(FMarks[i]))
      continue;
    if (now.Exists)
      now.Sum = Sum(path);
    if (now.Exists != FMarks[i].Exists || now.Sum != FMarks[i].Sum) {
      changed = true;
    } else {
      FMarks[i] = now;
    }
  }
  return changed;
}
