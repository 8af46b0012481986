#include "TypedFile.h"

#include "InOutError.h"

namespace {
TTypedFile::TSaveDeviceFactory& SaveDeviceFactory() {
  static TTypedFile::TSaveDeviceFactory factory;
  return factory;
}
}  // namespace

void TTypedFile::SetSaveDeviceFactory(TSaveDeviceFactory factory) {
  SaveDeviceFactory() = std::move(factory);
}

void TTypedFile::Assign(const QString& path, int recordSize) {
  FPath = path;
  FRecordSize = recordSize;
}

void TTypedFile::Fail(const QFileDevice& device) const {
  const QString reason =
      device.errorString().isEmpty() ? QStringLiteral("Input/output error") : device.errorString();
  throw EInOutError(static_cast<int>(device.error()), reason + QStringLiteral(": ") + FPath);
}

void TTypedFile::Open(QIODevice::OpenMode mode) {
  if (FFile.isOpen())
    FFile.close();
  FFile.setFileName(FPath);
  if (!FFile.open(mode))
    Fail(FFile);
}

void TTypedFile::Reset() {
  if (!QFile::exists(FPath)) {
    throw EInOutError(QFileDevice::OpenError, QStringLiteral("File not found: ") + FPath);
  }
  Open(FReadOnly ? QIODevice::ReadOnly : QIODevice::ReadWrite);
}

void TTypedFile::Rewrite() {
  Open(QIODevice::ReadWrite | QIODevice::Truncate);
}

void TTypedFile::Close() {
  CancelSave();
  if (!FFile.isOpen())
    return;
  FFile.close();
  if (FFile.error() != QFileDevice::NoError)
    Fail(FFile);
}

void TTypedFile::Read(char* record) {
  if (!FFile.isOpen()) {
    throw EInOutError(QFileDevice::ReadError, QStringLiteral("File not open: ") + FPath);
  }
  const qint64 got = FFile.read(record, FRecordSize);
  if (got < 0)
    Fail(FFile);
  if (got != FRecordSize) {
    throw EInOutError(QFileDevice::ReadError, QStringLiteral("Read beyond end of file: ") + FPath);
  }
}

void TTypedFile::Write(const char* record) {
  QFileDevice& device = FSave ? static_cast<QFileDevice&>(*FSave) : FFile;
  if (!device.isOpen()) {
    throw EInOutError(QFileDevice::WriteError, QStringLiteral("File not open: ") + FPath);
  }
  if (device.write(record, FRecordSize) != FRecordSize)
    Fail(device);
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
  FSave = SaveDeviceFactory() ? SaveDeviceFactory()(FPath) : std::make_unique<QSaveFile>(FPath);
  if (!FSave->open(QIODevice::WriteOnly)) {
    const QString reason = FSave->errorString();
    const int code = static_cast<int>(FSave->error());
    FSave.reset();
    throw EInOutError(code, reason + QStringLiteral(": ") + FPath);
  }
}

void TTypedFile::CommitSave() {
  std::unique_ptr<QSaveFile> save = std::move(FSave);
  if (!save)
    return;
  // The held handle is let go while the new file takes the old one's place (a platform that
  // locks open files would refuse the swap) and taken up again on whichever file is there.
  const bool wasOpen = FFile.isOpen();
  if (wasOpen)
    FFile.close();
  const bool committed = save->commit();
  if (wasOpen)
    Open(QIODevice::ReadWrite);
  if (!committed)
    Fail(*save);
}

void TTypedFile::CancelSave() {
  if (FSave)
    FSave->cancelWriting();
  FSave.reset();
}
