#include "TypedFile.h"

#include <cerrno>

#include "InOutError.h"
#include "SafeFile.h"

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

TTypedFile::TTypedFile() = default;
TTypedFile::~TTypedFile() = default;

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
  // Without a path the reason names its file already.
  throw EInOutError(code, path.isEmpty() ? reason : DiskFile::Describe(path, reason));
}

void TTypedFile::Fail(const QFileDevice& device) const {
  Fail(device.fileName(), static_cast<int>(device.error()), device.errorString());
}

void TTypedFile::Open(QIODevice::OpenMode mode) {
  if (FFile.isOpen())
    FFile.close();
  FFile.setFileName(mode & QIODevice::Truncate ? FPath : PathToRead());
  errno = 0;
  if (!FFile.open(mode)) {
    // The system's own reason where it left one: a missing permission reads as such.
    Fail(FFile.fileName(), static_cast<int>(FFile.error()),
         errno != 0 ? DiskFile::LastSystemError() : FFile.errorString());
  }
}

void TTypedFile::Reset() {
  const QString path = PathToRead();
#ifdef Q_OS_WIN
  if (!QFile::exists(path))
    Fail(path, QFileDevice::OpenError, QStringLiteral("File not found"));
#else
  // A folder that may not be searched hides whether the file is there: say that, rather
  // than that the file is missing.
  struct stat status {};
  if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
    Fail(path, QFileDevice::OpenError,
         errno == ENOENT ? QStringLiteral("File not found") : DiskFile::LastSystemError());
  }
#endif
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
  if (FStage) {
    if (!FStage->Write(record, FRecordSize))
      Fail(QString(), QFileDevice::WriteError, FStage->ErrorString());
    return;
  }
  if (!FFile.isOpen())
    Fail(FPath, QFileDevice::WriteError, QStringLiteral("File not open"));
  errno = 0;
  if (FFile.write(record, FRecordSize) != FRecordSize)
    Fail(FFile.fileName(), QFileDevice::WriteError, DiskFile::WriteError(FFile));
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
  FStage = std::make_unique<TSafeFile>(FPath, StagedPath());
  if (!FStage->Open()) {
    const QString reason = FStage->ErrorString();
    FStage.reset();
    Fail(QString(), QFileDevice::WriteError, reason);
  }
}

void TTypedFile::FinishSave() {
  if (!FStage)
    Fail(StagedPath(), QFileDevice::WriteError, QStringLiteral("File not open"));
  if (!FStage->Finish()) {
    const QString reason = FStage->ErrorString();
    CancelSave();
    Fail(QString(), QFileDevice::WriteError, reason);
  }
}

void TTypedFile::CancelSave() {
  FStage.reset();
}

void TTypedFile::KeepSave() {
  if (FStage)
    FStage->Keep();
  FStage.reset();
}

qint64 TTypedFile::StagedSize() const {
  return FStage ? FStage->Size() : 0;
}

QString TTypedFile::StagedChecksum() const {
  return FStage ? FStage->Checksum() : QString();
}
