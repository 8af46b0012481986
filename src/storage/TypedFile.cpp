#include "TypedFile.h"

#include <cerrno>

#include "InOutError.h"
#include "SafeFile.h"

void TTypedFile::Assign(const QString& path, int recordSize) {
  FPath = path;
  FRecordSize = recordSize;
}

void TTypedFile::SetReadOnly(bool readOnly, const QString& readFrom) {
  FReadOnly = readOnly;
  FReadFrom = readOnly ? readFrom : QString();
}

QString TTypedFile::PathToRead() const {
  return FReadFrom.isEmpty() ? FPath : FReadFrom;
}

void TTypedFile::Fail(const QString& path, int code, const QString& reason) const {
  throw EInOutError(code, DiskFile::Describe(path, reason));
}

void TTypedFile::Fail(const QFileDevice& device) const {
  Fail(device.fileName(), static_cast<int>(device.error()), device.errorString());
}

void TTypedFile::Open(QIODevice::OpenMode mode) {
  if (FFile.isOpen())
    FFile.close();
  FFile.setFileName(mode & QIODevice::Truncate ? FPath : PathToRead());
  if (!FFile.open(mode))
    Fail(FFile);
}

void TTypedFile::Reset() {
  const QString path = PathToRead();
  if (!QFile::exists(path))
    Fail(path, QFileDevice::OpenError, QStringLiteral("File not found"));
  // Opening a named pipe or a device would wait for a writer or read without end; a pool
  // file is always a plain file.
  if (!DiskFile::IsRegularFile(path))
    Fail(path, QFileDevice::OpenError, QStringLiteral("Not a plain file"));
  Open(FReadOnly ? QIODevice::ReadOnly : QIODevice::ReadWrite);
}

void TTypedFile::Rewrite() {
  Open(QIODevice::ReadWrite | QIODevice::Truncate);
}

void TTypedFile::Close() {
  CancelSave();
  FReleased = false;
  if (!FFile.isOpen())
    return;
  FFile.close();
  if (FFile.error() != QFileDevice::NoError)
    Fail(FFile);
}

void TTypedFile::Release() {
  FReleased = FFile.isOpen();
  if (FReleased)
    FFile.close();
}

void TTypedFile::Reacquire() {
  if (!FReleased)
    return;
  FReleased = false;
  Reset();
}

void TTypedFile::Read(char* record) {
  if (!FFile.isOpen())
    Fail(FPath, QFileDevice::ReadError, QStringLiteral("File not open"));
  const qint64 got = FFile.read(record, FRecordSize);
  if (got < 0)
    Fail(FFile);
  if (got != FRecordSize)
    Fail(FFile.fileName(), QFileDevice::ReadError, QStringLiteral("Read beyond end of file"));
}

void TTypedFile::Write(const char* record) {
  QFile& device = FStage.isOpen() ? FStage : FFile;
  if (!device.isOpen())
    Fail(FPath, QFileDevice::WriteError, QStringLiteral("File not open"));
  errno = 0;
  if (device.write(record, FRecordSize) != FRecordSize)
    Fail(device.fileName(), QFileDevice::WriteError, DiskFile::WriteError(device));
}

void TTypedFile::Sync() {
  QString reason;
  if (!DiskFile::SyncFile(FFile, &reason))
    Fail(FFile.fileName(), QFileDevice::WriteError, reason);
}

void TTypedFile::Seek(qint64 record) {
  if (!FFile.seek(record * FRecordSize))
    Fail(FFile);
}

qint64 TTypedFile::FileSize() const {
  return FFile.size() / FRecordSize;
}

void TTypedFile::BeginSave() {
  CancelSave();
  FStage.setFileName(StagedPath());
  if (!FStage.open(QIODevice::WriteOnly | QIODevice::Truncate))
    Fail(FStage);
}

void TTypedFile::FinishSave() {
  if (!FStage.isOpen())
    Fail(StagedPath(), QFileDevice::WriteError, QStringLiteral("File not open"));
  // The buffer is flushed and checked here, before anything trusts the staged copy.
  QString reason;
  if (FStage.error() != QFileDevice::NoError)
    reason = FStage.errorString();
  else
    DiskFile::SyncFile(FStage, &reason);
  if (!reason.isEmpty()) {
    CancelSave();
    Fail(StagedPath(), QFileDevice::WriteError, reason);
  }
  FStage.close();
  if (FStage.error() != QFileDevice::NoError) {
    const QString why = FStage.errorString();
    CancelSave();
    Fail(StagedPath(), QFileDevice::WriteError, why);
  }
}

void TTypedFile::CancelSave() {
  if (FStage.isOpen())
    FStage.close();
  if (!FStage.fileName().isEmpty() && QFile::exists(FStage.fileName()))
    QFile::remove(FStage.fileName());
  FStage.unsetError();
}
