#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "Checksum.h"

class QFile;
class QFileDevice;

// A whole file written so that it never half-exists: every byte goes to a staged copy beside
// the target, which takes the target's place only after the bytes were written and synced to
// disk without a single error. Any failure removes the staged copy and keeps the file and the
// system's reason for the caller to show; the old file, or the absence of one, stays as it was.
//
// The staged copy is made new (never opened through a link or over a file already there) with
// the permissions of the file it replaces, so a save keeps a private file private. A pool's
// files give it a fixed name ("Teams.dat.new"), by which a save cut short is found again;
// any other file gets a hidden name of its own.
class TSafeFile {
 public:
  explicit TSafeFile(const QString& path, const QString& stagedPath = {});
  ~TSafeFile();
  TSafeFile(const TSafeFile&) = delete;
  TSafeFile& operator=(const TSafeFile&) = delete;

  // The permissions to give the file: by default those of the file it replaces, or a new
  // file's usual ones; a copy takes those of its source.
  void SetPermissionsFrom(const QString& path) { FPermissionsFrom = path; }
  // Only the owner's account may read or write the file, from the moment the staged copy
  // exists: for a secret, whatever the file mode mask or the folder would allow.
  void SetPrivate() { FPrivate = true; }

  bool Open();
  bool Write(const char* data, qint64 length);
  bool Write(const QByteArray& bytes) { return Write(bytes.constData(), bytes.size()); }
  // Syncs and closes the staged copy: it is whole on disk. False after any error.
  bool Finish();
  // Finishes, puts the staged copy in place and syncs the folder. False after any error.
  bool Commit();
  // Removes the staged copy, unless it was put in place or kept.
  void Cancel();
  // Lets go of a finished staged copy without removing it: someone else puts it in place.
  void Keep() { FKept = true; }

  const QString& StagedPath() const { return FStaged; }
  // The bytes written so far, and their checksum.
  qint64 Size() const { return FChecksum.Size(); }
  QString Checksum() const { return FChecksum.Value(); }
  // The file and the system's reason for the first failure.
  const QString& ErrorString() const { return FError; }

  // Writes `bytes` as the whole file at `path`; on failure `error` gets the reason.
  static bool WriteWhole(const QString& path, const QByteArray& bytes, QString* error);

 private:
  static constexpr qint64 kBufferSize = qint64{1} << 20;

  // The file a failure names.
  const QString& Named() const;
  bool Fail(const QString& path, const QString& reason);
  bool Create();
  // Hands the buffer, then `data`, to the system.
  bool Flush();
  bool WriteNow(const char* data, qint64 length);
  bool SyncAndClose();
  void CloseHandle();

  QString FPath;
  QString FStaged;
  bool FFixedName;
  QString FPermissionsFrom;
  bool FPrivate = false;
#ifdef Q_OS_WIN
  std::unique_ptr<QFile> FFile;
#else
  int FHandle = -1;
#endif
  bool FCreated = false;
  bool FFinished = false;
  bool FInPlace = false;
  bool FKept = false;
  QByteArray FBuffer;
  TChecksum FChecksum;
  QString FError;
};

// What the pool files need of the file system beyond QFile. Nothing here follows a link at the
// name it creates, replaces or removes, so a link planted in a pool folder cannot send a save
// elsewhere. Every call that changes the disk goes through one seam, which tests use to make
// any of them fail as a real disk would (SetFault).
namespace DiskFile {
// "<path>: <reason>", the form every file error of the program takes.
QString Describe(const QString& path, const QString& reason);
// The system's text for an error number; a missing permission reads "permission denied".
QString SystemError(int code);
// The system's text for the last failed call.
QString LastSystemError();
// Why a write or flush of `file` just failed. Qt often keeps only "Unknown error" for a write
// that failed in its buffer, while the system's reason is still in errno; callers clear errno
// before the call.
QString WriteError(const QFileDevice& file);

// The calls that can be made to fail.
enum class TCall { Create, Write, Sync, Close, Rename, Remove, MakeFolder, SyncFolder };
// Answers the error number a call on `path` is to fail with, or 0 to let it run.
using TFault = std::function<int(TCall call, const QString& path)>;
void SetFault(TFault fault);
// The error number the seam gives a call, 0 for none.
int Fault(TCall call, const QString& path);

// What stands at `path` itself, a link not followed; Unknown when the system will not say
// (a folder on the way that may not be searched).
enum class TKind { Missing, File, Folder, Link, Other, Unknown };
TKind KindOf(const QString& path);
// True for a plain file, through links; false for a folder, a named pipe, a device or nothing.
bool IsRegularFile(const QString& path);
// Reads the whole of a file the user named that is at most `limit` bytes long (a field sheet, a
// results file); false, with why in `reason`, when it cannot be read or is longer.
bool ReadAtMost(const QString& path, qint64 limit, QByteArray* bytes, QString* reason);

// Flushes Qt's buffer and asks the system to put the file's data on the disk.
bool SyncFile(QFileDevice& file, QString* reason);
// Makes renames and new names in `folder` durable.
bool SyncFolder(const QString& folder, QString* reason);
// Puts `from` in the place of `to` in one step, replacing `to` (a link itself, not what it
// points at) when it exists.
bool Replace(const QString& from, const QString& to, QString* reason);
// Removes a file or a link; true also when nothing was there.
bool Remove(const QString& path, QString* reason);
// Makes a new folder; fails when anything is there already.
bool MakeFolder(const QString& path, QString* reason);
// Removes a folder of the program's own and the files and links in it; true also when there
// is none. A subfolder makes it fail, leaving it as it is.
bool RemoveFolder(const QString& path, QString* reason);
// Copies a whole file through TSafeFile, with the permissions of `from`. `checksum`, when
// given, gets the checksum of what was copied.
bool Copy(const QString& from, const QString& to, QString* reason, QString* checksum = nullptr);
}  // namespace DiskFile
