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

#include "SystemCall.h"

namespace {
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
      FStaged = HiddenName(FPath);
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
      FStaged = HiddenName(FPath);
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
