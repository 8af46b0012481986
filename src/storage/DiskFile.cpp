// The file system calls of the pool's saves, each of which tests can make fail (SetFault).
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

#include "SystemCall.h"

namespace DiskFile {

namespace {
TFault& CurrentFault() {
  static TFault fault;
  return fault;
}
}  // namespace

void SetFault(TFault fault) {
  CurrentFault() = std::move(fault);
}

int Fault(TCall call, const QString& path) {
  return CurrentFault() ? CurrentFault()(call, path) : 0;
}

QString Describe(const QString& path, const QString& reason) {
  return QDir::toNativeSeparators(path) + QStringLiteral(": ") +
         (reason.isEmpty() ? QStringLiteral("Input/output error") : reason);
}

QString SystemError(int code) {
  if (code == EACCES)
    return QStringLiteral("permission denied");
  return QString::fromLocal8Bit(std::strerror(code));
}

QString LastSystemError() {
  return SystemError(errno);
}

QString WriteError(const QFileDevice& file) {
  return errno != 0 ? LastSystemError() : file.errorString();
}

TKind KindOf(const QString& path) {
#ifdef Q_OS_WIN
  const QFileInfo info(path);
  if (info.isSymLink())
    return TKind::Link;
  if (!info.exists())
    return TKind::Missing;
  return info.isFile() ? TKind::File : info.isDir() ? TKind::Folder : TKind::Other;
#else
  struct stat status {};
  if (::lstat(Native(path).constData(), &status) != 0)
    return errno == ENOENT || errno == ENOTDIR ? TKind::Missing : TKind::Unknown;
  if (S_ISREG(status.st_mode))
    return TKind::File;
  if (S_ISDIR(status.st_mode))
    return TKind::Folder;
  return S_ISLNK(status.st_mode) ? TKind::Link : TKind::Other;
#endif
}

bool ReadAtMost(const QString& path, qint64 limit, QByteArray* bytes, QString* reason) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *reason = file.errorString();
    return false;
  }
  *bytes = file.read(limit + 1);
  if (bytes->size() <= limit)
    return true;
  *reason =
      QStringLiteral("it is longer than %1 bytes, too long for what it should hold").arg(limit);
  return false;
}

bool IsRegularFile(const QString& path) {
#ifdef Q_OS_WIN
  const QFileInfo info(path);
  return info.exists() && info.isFile();
#else
  struct stat status {};
  return ::stat(Native(path).constData(), &status) == 0 && S_ISREG(status.st_mode);
#endif
}

bool SyncFile(QFileDevice& file, QString* reason) {
  errno = 0;
  if (!file.flush()) {
    *reason = WriteError(file);
    return false;
  }
#ifdef Q_OS_WIN
  if (Fault(TCall::Sync, file.fileName()) != 0 || _commit(file.handle()) != 0) {
#else
  if (Call(TCall::Sync, file.fileName(), [&file] { return ::fsync(file.handle()); }) != 0) {
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
  const int fd = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    *reason = Describe(folder, LastSystemError());
    return false;
  }
  const bool synced = Call(TCall::SyncFolder, folder, [fd] { return ::fsync(fd); }) == 0;
  if (!synced)
    *reason = Describe(folder, LastSystemError());
  ::close(fd);
  return synced;
#endif
}

bool Replace(const QString& from, const QString& to, QString* reason) {
#ifdef Q_OS_WIN
  const bool moved =
      Fault(TCall::Rename, to) == 0 &&
      MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                  reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!moved)
    *reason = Describe(to, QStringLiteral("The file could not be replaced"));
  return moved;
#else
  if (Call(TCall::Rename, to,
           [&] { return ::rename(Native(from).constData(), Native(to).constData()); }) != 0) {
    *reason = Describe(to, LastSystemError());
    return false;
  }
  return true;
#endif
}

bool Remove(const QString& path, QString* reason) {
#ifdef Q_OS_WIN
  if (KindOf(path) == TKind::Missing)
    return true;
  if (Fault(TCall::Remove, path) == 0 && QFile::remove(path))
    return true;
  *reason = Describe(path, QStringLiteral("The file could not be removed"));
  return false;
#else
  if (Call(TCall::Remove, path, [&path] { return ::unlink(Native(path).constData()); }) == 0 ||
      errno == ENOENT) {
    return true;
  }
  *reason = Describe(path, LastSystemError());
  return false;
#endif
}

bool MakeFolder(const QString& path, QString* reason) {
#ifdef Q_OS_WIN
  if (Fault(TCall::MakeFolder, path) == 0 && QDir().mkdir(path))
    return true;
  *reason = Describe(path, QStringLiteral("The folder could not be created"));
  return false;
#else
  if (Call(TCall::MakeFolder, path, [&path] { return ::mkdir(Native(path).constData(), 0777); }) ==
      0) {
    return true;
  }
  *reason = Describe(path, LastSystemError());
  return false;
#endif
}

bool RemoveFolder(const QString& path, QString* reason) {
  switch (KindOf(path)) {
    case TKind::Missing:
      return true;
    case TKind::Folder:
      break;
    default:
      return Remove(path, reason);
  }
  const QStringList names =
      QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QString& name : names) {
    const QString entry = QDir(path).filePath(name);
    if (KindOf(entry) == TKind::Folder) {
      *reason = Describe(entry, QStringLiteral("a folder where only files belong"));
      return false;
    }
    if (!Remove(entry, reason))
      return false;
  }
#ifdef Q_OS_WIN
  if (Fault(TCall::Remove, path) == 0 && QDir().rmdir(path))
    return true;
  *reason = Describe(path, QStringLiteral("The folder could not be removed"));
  return false;
#else
  if (Call(TCall::Remove, path, [&path] { return ::rmdir(Native(path).constData()); }) == 0)
    return true;
  *reason = Describe(path, LastSystemError());
  return false;
#endif
}

bool Copy(const QString& from, const QString& to, QString* reason, QString* checksum) {
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
  target.SetPermissionsFrom(from);
  if (!target.Open()) {
    *reason = target.ErrorString();
    return false;
  }
  QByteArray block(1 << 20, Qt::Uninitialized);
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
  if (checksum)
    *checksum = target.Checksum();
  return true;
}

}  // namespace DiskFile
