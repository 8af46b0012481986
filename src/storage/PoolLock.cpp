#include "PoolLock.h"

#include <QDir>
#include <QLockFile>
#include <cerrno>

#include "InOutError.h"
#include "SafeFile.h"

TPoolLock::TPoolLock(const QString& folder)
    : FFolder(folder), FLock(std::make_unique<QLockFile>(QDir(folder).filePath(kFileName))) {
  // A pool stays open for hours: only a lock whose holder is gone is stale, never an old one.
  FLock->setStaleLockTime(0);
}

TPoolLock::~TPoolLock() = default;

void TPoolLock::Take() {
  // The holder may let go between the failed attempt and reading who it was: try again then.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (FLock->tryLock(0))
      return;
    switch (FLock->error()) {
      case QLockFile::LockFailedError: {
        qint64 process = 0;
        QString host;
        if (FLock->getLockInfo(&process, &host, nullptr)) {
          throw EInOutError(
              QFileDevice::OpenError,
              DiskFile::Describe(FFolder, kHeldBy.arg(host, QString::number(process))));
        }
        break;
      }
      case QLockFile::PermissionError:
        throw EInOutError(QFileDevice::PermissionsError,
                          DiskFile::Describe(FFolder, DiskFile::SystemError(EACCES)));
      default:
        throw EInOutError(QFileDevice::OpenError,
                          DiskFile::Describe(QDir(FFolder).filePath(kFileName),
                                             QStringLiteral("the lock could not be written")));
    }
  }
  throw EInOutError(QFileDevice::OpenError,
                    DiskFile::Describe(QDir(FFolder).filePath(kFileName),
                                       QStringLiteral("the lock could not be taken")));
}
