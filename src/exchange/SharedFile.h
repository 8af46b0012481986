#pragma once

#include <QByteArray>
#include <QString>

// The files a pool is shared through (picks sheets, the standings page) are read and written
// whole: a file written is either all there or left as it was, never half written.
namespace SharedFile {

// Reads the whole file into `bytes`; false with the system's reason in `error`.
bool Read(const QString& path, QByteArray* bytes, QString* error);
// Writes `bytes` as the whole file; false with the system's reason in `error`.
bool Write(const QString& path, const QByteArray& bytes, QString* error);

}  // namespace SharedFile
