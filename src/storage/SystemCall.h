#pragma once

// The system calls the pool's files are written with go through Call, so that tests can make
// any of them fail as a real disk would (DiskFile::SetFault). Shared by the files of storage
// that call the system themselves; not for the rest of the program.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cerrno>

#include "SafeFile.h"

namespace DiskFile {
#ifndef Q_OS_WIN
inline QByteArray Native(const QString& path) {
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
}  // namespace DiskFile
