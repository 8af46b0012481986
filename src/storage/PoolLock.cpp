#include "PoolLock.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSysInfo>
#include <cerrno>

#include "InOutError.h"
#include "SafeFile.h"

namespace {
// What a refused writer is told of the holder, from the program name its lock keeps: the
// program by its own name; the tool with the command it runs ("courtsider-cli serve") where
// its command line can be read (a holder on this machine); anything else by its name.
QString HolderName(const QString& program, qint64 process, const QString& host) {
  QString name = program;
  if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
    name.chop(4);
  if (name == QLatin1String("courtsider"))
    return TPoolLock::kProgramName;
  if (name == QLatin1String("courtsider-cli") && host == QSysInfo::machineHostName()) {
    // The command is the tool's first argument. Only a plain command name is taken from it.
    static const QRegularExpression command(QStringLiteral("^[a-z][a-z-]{0,31}$"));
    QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(process));
    if (commandLine.open(QIODevice::ReadOnly)) {
      const QString first = QString::fromLocal8Bit(commandLine.read(4096).split('\0').value(1));
      if (command.match(first).hasMatch())
        return name + QLatin1Char(' ') + first;
    }
  }
  return name.isEmpty() ? TPoolLock::kUnnamedHolder : name;
}
}  // namespace

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
        QString holder;
        if (!FLock->getLockInfo(&process, &host, &holder))
          break;
        // The lock file is written once, when the holder takes the pool.
        const QDateTime since =
            QFileInfo(QDir(FFolder).filePath(kFileName)).lastModified().toLocalTime();
        if (!since.isValid())
          break;
        throw EInOutError(QFileDevice::OpenError,
                          DiskFile::Describe(FFolder, kHeldBy.arg(HolderName(holder, process, host),
                                                                  host, QString::number(process),
                                                                  since.toString(kSinceFormat))));
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
