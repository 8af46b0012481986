#include "StandardOutput.h"

#include <algorithm>
#include <cerrno>

#include "SafeFile.h"

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

TStandardOutput::TStandardOutput(int handle) : FHandle(handle) {
  open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool TStandardOutput::Finish() {
  return Flush();
}

bool TStandardOutput::waitForBytesWritten(int) {
  return Flush();
}

qint64 TStandardOutput::readData(char*, qint64) {
  return -1;
}

qint64 TStandardOutput::writeData(const char* data, qint64 length) {
  if (Failed())
    return -1;
  FBuffer.append(data, static_cast<size_t>(length));
  if (FBuffer.size() >= kBlock && !Flush())
    return -1;
  return length;
}

bool TStandardOutput::Flush() {
  for (size_t done = 0; done < FBuffer.size() && !Failed();) {
    const auto chunk = static_cast<unsigned>(std::min<size_t>(FBuffer.size() - done, 1 << 30));
#ifdef Q_OS_WIN
    const qint64 written = ::_write(FHandle, FBuffer.data() + done, chunk);
#else
    const qint64 written = ::write(FHandle, FBuffer.data() + done, chunk);
#endif
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0) {
      FReason = written < 0 ? DiskFile::LastSystemError() : QStringLiteral("Input/output error");
      setErrorString(FReason);
    } else {
      done += static_cast<size_t>(written);
    }
  }
  FBuffer.clear();
  return !Failed();
}
