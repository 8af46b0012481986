#include "FileStamp.h"

#include <QDateTime>
#include <algorithm>

#ifdef Q_OS_WIN
#include <QFileInfo>
#else
#include <sys/stat.h>
#endif

#include "Clock.h"
#include "SystemCall.h"

namespace DiskFile {

namespace {
constexpr qint64 kNanosecondsPerMillisecond = 1000 * 1000;
}  // namespace

bool StampOf(const QString& path, TStamp* stamp) {
#ifdef Q_OS_WIN
  const QFileInfo info(path);
  if (!info.exists() || !info.isFile())
    return false;
  *stamp = TStamp{0, 0, info.size(),
                  info.lastModified().toMSecsSinceEpoch() * kNanosecondsPerMillisecond,
                  info.metadataChangeTime().toMSecsSinceEpoch() * kNanosecondsPerMillisecond};
  return true;
#else
  struct stat status {};
  if (::stat(Native(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
    return false;
  constexpr qint64 kNanosecondsPerSecond = 1000 * kNanosecondsPerMillisecond;
  *stamp = TStamp{static_cast<quint64>(status.st_dev), static_cast<quint64>(status.st_ino),
                  static_cast<qint64>(status.st_size),
                  status.st_mtim.tv_sec * kNanosecondsPerSecond + status.st_mtim.tv_nsec,
                  status.st_ctim.tv_sec * kNanosecondsPerSecond + status.st_ctim.tv_nsec};
  return true;
#endif
}

bool IsSettled(const TStamp& stamp) {
  // A second is many ticks of any clock a file system keeps; a file changed later than that,
  // or dated ahead of this clock, counts as changing still.
  const qint64 settled =
      (TClock::Current().Now().toMSecsSinceEpoch() - 1000) * kNanosecondsPerMillisecond;
  return std::max(stamp.Modified, stamp.Changed) <= settled;
}

}  // namespace DiskFile
