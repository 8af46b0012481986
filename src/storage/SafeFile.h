#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// A whole file written so that it never half-exists: every byte goes to a temporary file
// beside the target, which takes the target's place only after the bytes were written,
// flushed and synced to disk without a single error. Any failure cancels the temporary file
// and keeps the system's reason; the old file, or the absence of one, stays as it was.
//
// QSaveFile alone is not enough: it flushes its buffer while committing and renames the file
// into place even when that flush failed, so a short file is reported as saved.
class TSafeFile {
 public:
  explicit TSafeFile(const QString& path);
  ~TSafeFile();
  TSafeFile(const TSafeFile&) = delete;
  TSafeFile& operator=(const TSafeFile&) = delete;

  bool Open();
  bool Write(const char* data, qint64 length);
  bool Write(const QByteArray& bytes) { return Write(bytes.constData(), bytes.size()); }
  // Flushes, checks, syncs and puts the file in place. False after any error.
  bool Commit();
  void Cancel();
  // The file and the system's reason for the first failure.
  const QString& ErrorString() const { return FError; }

  // Writes `bytes` as the whole file at `path`; on failure `error` gets the reason.
  static bool WriteWhole(const QString& path, const QByteArray& bytes, QString* error);

 private:
  bool Fail(const QString& reason);

  QString FPath;
  QSaveFile FFile;
  QString FError;
};

// What the pool files need of the file system beyond QFile.
namespace DiskFile {
// "<path>: <reason>", the form every file error of the program takes.
QString Describe(const QString& path, const QString& reason);
// The system's text for the last failed call.
QString LastSystemError();
// Why a write or flush of `file` just failed. Qt often keeps only "Unknown error" for a write
// that failed in its buffer, while the system's reason is still in errno; callers clear errno
// before the call.
QString WriteError(const QFileDevice& file);
// Flushes Qt's buffer and asks the system to put the file's data on the disk.
bool SyncFile(QFileDevice& file, QString* reason);
// Makes renames and new names in `folder` durable.
bool SyncFolder(const QString& folder, QString* reason);
// Puts `from` in the place of `to` in one step, replacing `to` when it exists.
bool Replace(const QString& from, const QString& to, QString* reason);
// Copies a whole file through TSafeFile.
bool Copy(const QString& from, const QString& to, QString* reason);
// True for a plain file; false for a folder, a named pipe, a device or nothing at all.
bool IsRegularFile(const QString& path);
}  // namespace DiskFile
