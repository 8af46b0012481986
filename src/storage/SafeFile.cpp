#include "SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
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

namespace DiskFile {

namespace {
TFault& CurrentFault() {
  static TFault fault;
  return fault;
}

#ifndef Q_OS_WIN
QByteArray Native(const QString& path) {
  return QFile::encodeName(path);
}

// Runs a system call unless the seam says it fails; either way errno holds the reason of a
// failure (-1).
template <class TSystemCall>
auto Call(TCall call, const QString& path, TSystemCall systemCall) -> decltype(systemCall()) {
  if (const int code = Fault(call, path)) {
    errno = code;
    return -1;
  }
  return systemCall();
}
#endif

// The name under which a file without a fixed staged name is written: hidden, beside it.
QString HiddenName(const QString& path) {
  const QFileInfo target(path);
  QString suffix;
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  for (int i = 0; i < 6; ++i)
    suffix += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(62)]);
  return target.dir().filePath(QLatin1Char('.') + target.fileName() + QLatin1Char('.') + suffix);
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

using DiskFile::TCall;
using DiskFile::TKind;

TSafeFile::TSafeFile(const QString& path, const QString& stagedPath)
    : FPath(path), FStaged(stagedPath), FFixedName(!stagedPath.isEmpty()) {}

TSafeFile::~TSafeFile() {
  Cancel();
}

const QString& TSafeFile::Named() const {
  // A hidden name of our own means nothing to whoever reads the message: the file it stands
  // for does.
  return FFixedName ? FStaged : FPath;
}

bool TSafeFile::Fail(const QString& path, const QString& reason) {
  if (FError.isEmpty())
    FError = path.isEmpty() ? reason : DiskFile::Describe(path, reason);
  Cancel();
  return false;
}

bool TSafeFile::Open() {
  FError.clear();
  if (FFixedName) {
    // Whatever a save cut short left under the fixed name goes first, a link as a link.
    switch (DiskFile::KindOf(FStaged)) {
      case TKind::Missing:
      case TKind::Unknown:  // creating it will say why
        break;
      case TKind::File:
      case TKind::Link: {
        QString reason;
        if (!DiskFile::Remove(FStaged, &reason))
          return Fail({}, reason);
        break;
      }
      default:
        return Fail(FStaged, QStringLiteral("something other than a file is in the way"));
    }
  }
  return Create();
}

#ifdef Q_OS_WIN

bool TSafeFile::Create() {
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (!FFixedName)
      FStaged = DiskFile::HiddenName(FPath);
    FFile = std::make_unique<QFile>(FStaged);
    if (DiskFile::Fault(TCall::Create, FStaged) == 0 &&
        FFile->open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
      FCreated = true;
      const QString from = FPermissionsFrom.isEmpty() ? FPath : FPermissionsFrom;
      if (FPrivate)
        FFile->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
      else if (QFile::exists(from))
        FFile->setPermissions(QFile::permissions(from));
      return true;
    }
    if (FFixedName || !QFile::exists(FStaged))
      break;
  }
  return Fail(Named(), FFile ? FFile->errorString() : QString());
}

bool TSafeFile::WriteNow(const char* data, qint64 length) {
  errno = 0;
  if (DiskFile::Fault(TCall::Write, FStaged) != 0 || FFile->write(data, length) != length)
    return Fail(Named(), DiskFile::WriteError(*FFile));
  return true;
}

bool TSafeFile::SyncAndClose() {
  QString reason;
  if (!DiskFile::SyncFile(*FFile, &reason))
    return Fail(Named(), reason);
  FFile->close();
  return true;
}

void TSafeFile::CloseHandle() {
  if (FFile && FFile->isOpen())
    FFile->close();
}

#else

bool TSafeFile::Create() {
  // The staged copy takes the permissions of the file it stands for; without one, the usual
  // ones of a new file (the user's file mode mask applies).
  const QString from = FPermissionsFrom.isEmpty() ? FPath : FPermissionsFrom;
  struct stat status {};
  const bool keep = ::stat(DiskFile::Native(from).constData(), &status) == 0;
  const mode_t mode = FPrivate ? 0600 : keep ? (status.st_mode & 07777) : 0666;
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (!FFixedName)
      FStaged = DiskFile::HiddenName(FPath);
    FHandle = DiskFile::Call(TCall::Create, FStaged, [this, mode] {
      return ::open(DiskFile::Native(FStaged).constData(),
                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    });
    if (FHandle >= 0)
      break;
    if (FFixedName || errno != EEXIST)
      return Fail(Named(), DiskFile::LastSystemError());
  }
  if (FHandle < 0)
    return Fail(Named(), DiskFile::LastSystemError());
  FCreated = true;
  if (keep && ::fchmod(FHandle, mode) != 0)
    return Fail(Named(), DiskFile::LastSystemError());
  // Some shared drives give every file the same open mode, whatever the program asks.
  if (FPrivate && (::fstat(FHandle, &status) != 0 || (status.st_mode & 077) != 0))
    return Fail(Named(), QStringLiteral("the folder would let other accounts read it"));
  return true;
}

bool TSafeFile::WriteNow(const char* data, qint64 length) {
  while (length > 0) {
    const auto chunk = static_cast<size_t>(std::min<qint64>(length, qint64{1} << 30));
    const ssize_t written = DiskFile::Call(
        TCall::Write, FStaged, [this, data, chunk] { return ::write(FHandle, data, chunk); });
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0) {
      if (written == 0)
        errno = EIO;
      return Fail(Named(), DiskFile::LastSystemError());
    }
    data += written;
    length -= written;
  }
  return true;
}

bool TSafeFile::SyncAndClose() {
  if (DiskFile::Call(TCall::Sync, FStaged, [this] { return ::fsync(FHandle); }) != 0)
    return Fail(Named(), DiskFile::LastSystemError());
  // The descriptor is let go whatever close answers; the seam may only say it failed.
  const int fault = DiskFile::Fault(TCall::Close, FStaged);
  const int closed = ::close(FHandle);
  FHandle = -1;
  if (fault != 0)
    errno = fault;
  if (fault != 0 || closed != 0)
    return Fail(Named(), DiskFile::LastSystemError());
  return true;
}

void TSafeFile::CloseHandle() {
  if (FHandle >= 0)
    ::close(FHandle);
  FHandle = -1;
}

#endif

bool TSafeFile::Write(const char* data, qint64 length) {
  if (!FCreated || FFinished)
    return Fail(Named(), QStringLiteral("File not open"));
  FChecksum.Add(data, length);
  // Records come a few kilobytes at a time: they reach the system in large blocks.
  if (FBuffer.size() + length <= kBufferSize) {
    FBuffer.append(data, length);
    return true;
  }
  return Flush() && WriteNow(data, length);
}

bool TSafeFile::Flush() {
  if (FBuffer.isEmpty())
    return true;
  const bool written = WriteNow(FBuffer.constData(), FBuffer.size());
  FBuffer.clear();
  return written;
}

bool TSafeFile::Finish() {
  if (FFinished)
    return true;
  if (!FCreated)
    return Fail(Named(), QStringLiteral("File not open"));
  if (!Flush() || !SyncAndClose())
    return false;
  FFinished = true;
  return true;
}

bool TSafeFile::Commit() {
  if (!Finish())
    return false;
  QString reason;
  if (!DiskFile::Replace(FStaged, FPath, &reason))
    return Fail({}, reason);
  FInPlace = true;
  if (!DiskFile::SyncFolder(QFileInfo(FPath).absolutePath(), &reason))
    return Fail({}, reason);
  return true;
}

void TSafeFile::Cancel() {
  CloseHandle();
  if (FCreated && !FInPlace && !FKept) {
    QString ignored;
    DiskFile::Remove(FStaged, &ignored);
  }
  FCreated = false;
}

bool TSafeFile::WriteWhole(const QString& path, const QByteArray& bytes, QString* error) {
  TSafeFile file(path);
  const bool written = file.Open() && file.Write(bytes) && file.Commit();
  if (!written && error)
    *error = file.ErrorString();
  return written;
}
