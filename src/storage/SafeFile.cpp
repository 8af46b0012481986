#include "SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

TSafeFile::TSafeFile(const QString& path) : FPath(path), FFile(path) {}

TSafeFile::~TSafeFile() {
  Cancel();
}

bool TSafeFile::Fail(const QString& reason) {
  if (FError.isEmpty())
    FError = DiskFile::Describe(FPath, reason);
  Cancel();
  return false;
}

bool TSafeFile::Open() {
  FError.clear();
  if (!FFile.open(QIODevice::WriteOnly))
    return Fail(FFile.errorString());
  return true;
}

bool TSafeFile::Write(const char* data, qint64 length) {
  if (!FFile.isOpen())
    return Fail(QStringLiteral("File not open"));
  errno = 0;
  if (FFile.write(data, length) != length)
    return Fail(DiskFile::WriteError(FFile));
  return true;
}

bool TSafeFile::Commit() {
  if (!FFile.isOpen())
    return Fail(QStringLiteral("File not open"));
  if (FFile.error() != QFileDevice::NoError)
    return Fail(FFile.errorString());
  QString reason;
  if (!DiskFile::SyncFile(FFile, &reason))
    return Fail(reason);
  if (!FFile.commit())
    return Fail(FFile.errorString());
  const QString folder = QFileInfo(FPath).absolutePath();
  if (!DiskFile::SyncFolder(folder, &reason))
    return Fail(reason);
  return true;
}

void TSafeFile::Cancel() {
  if (FFile.isOpen())
    FFile.cancelWriting();
  // Closing a cancelled save file removes its temporary file.
  if (FFile.isOpen())
    FFile.commit();
}

bool TSafeFile::WriteWhole(const QString& path, const QByteArray& bytes, QString* error) {
  TSafeFile file(path);
  const bool written = file.Open() && file.Write(bytes) && file.Commit();
  if (!written && error)
    *error = file.ErrorString();
  return written;
}

namespace DiskFile {

QString Describe(const QString& path, const QString& reason) {
  return QDir::toNativeSeparators(path) + QStringLiteral(": ") +
         (reason.isEmpty() ? QStringLiteral("Input/output error") : reason);
}

QString LastSystemError() {
  return QString::fromLocal8Bit(std::strerror(errno));
}

QString WriteError(const QFileDevice& file) {
  return errno != 0 ? LastSystemError() : file.errorString();
}

bool SyncFile(QFileDevice& file, QString* reason) {
  errno = 0;
  if (!file.flush()) {
    *reason = WriteError(file);
    return false;
  }
#ifdef Q_OS_WIN
  if (_commit(file.handle()) != 0) {
#else
  if (::fsync(file.handle()) != 0) {
#endif
    *reason = LastSystemError();
    return false;
  }
  return true;
}

bool SyncFolder(const QString& folder, QString* reason) {
#ifdef Q_OS_WIN
  // Renames are made durable by the file system itself (MoveFileEx with write-through).
  Q_UNUSED(folder);
  Q_UNUSED(reason);
  return true;
#else
  const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    *reason = Describe(folder, LastSystemError());
    return false;
  }
  const bool synced = ::fsync(fd) == 0;
  if (!synced)
    *reason = Describe(folder, LastSystemError());
  ::close(fd);
  return synced;
#endif
}

bool Replace(const QString& from, const QString& to, QString* reason) {
#ifdef Q_OS_WIN
  const bool moved =
      MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                  reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!moved)
    *reason = Describe(to, QStringLiteral("The file could not be replaced"));
  return moved;
#else
  if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
    *reason = Describe(to, LastSystemError());
    return false;
  }
  return true;
#endif
}

bool Copy(const QString& from, const QString& to, QString* reason) {
  QFile source(from);
  if (!IsRegularFile(from)) {
    *reason = Describe(from, QStringLiteral("Not a plain file"));
    return false;
  }
  if (!source.open(QIODevice::ReadOnly)) {
    *reason = Describe(from, source.errorString());
    return false;
  }
  TSafeFile target(to);
  if (!target.Open()) {
    *reason = target.ErrorString();
    return false;
  }
  QByteArray block(1 << 16, Qt::Uninitialized);
  for (;;) {
    const qint64 got = source.read(block.data(), block.size());
    if (got < 0) {
      *reason = Describe(from, source.errorString());
      return false;
    }
    if (got == 0)
      break;
    if (!target.Write(block.constData(), got)) {
      *reason = target.ErrorString();
      return false;
    }
  }
  if (!target.Commit()) {
    *reason = target.ErrorString();
    return false;
  }
  return true;
}

bool IsRegularFile(const QString& path) {
#ifdef Q_OS_WIN
  const QFileInfo info(path);
  return info.exists() && info.isFile();
#else
  struct stat status {};
  return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISREG(status.st_mode);
#endif
}

}  // namespace DiskFile
