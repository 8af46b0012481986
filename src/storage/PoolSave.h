#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "InOutError.h"

// A step of a pool's save that failed, with the pool file it was working on.
class EPoolSaveError : public EInOutError {
 public:
  EPoolSaveError(const QString& fileName, const QString& reason)
      : EInOutError(0, reason), FFileName(fileName) {}
  const QString& FileName() const { return FFileName; }

 private:
  QString FFileName;
};

// A file as a save knows it: its size and checksum (TChecksum); a size of -1 for no file.
struct TFileSum {
  qint64 Size = -1;
  QString Checksum;

  bool operator==(const TFileSum& other) const {
    return Size == other.Size && Checksum == other.Checksum;
  }
  bool operator!=(const TFileSum& other) const { return !(*this == other); }
};

// One pool file of a save: its name and what its staged copy ("Teams.dat.new") holds.
struct TStagedFile {
  QString Name;
  TFileSum Staged;
};

// Puts the staged copies of a pool's files in place so that the pool on disk is always either
// the whole old pool or the whole new one, whatever fails and wherever the program is killed.
//
//  1. The files of the pool as they are now are copied into a new folder, "Backup.new", which
//     takes the place of "Backup" only once it is whole: the previous generation stays until
//     then. "Backup" must be a real folder of the pool; a link there is refused.
//  2. A marker, "Saving.txt", names the files about to be replaced, each with the size and
//     checksum of its staged copy and of its backup. Every staged copy is already complete and
//     on disk by then, so from here on the save can always be finished.
//  3. Each staged copy replaces its file; the folder is synced; the marker is removed.
//
// A failure in step 3 puts the replaced files back from the backup. When the program dies
// during step 3, the next open finds the marker and finishes the save, or undoes it (Recover);
// it acts only on a marker of its own whose files have the sizes and checksums it names, and
// reports anything else and leaves it alone. Nothing is created, replaced or removed through a
// link.
class TPoolSave {
 public:
  static inline const QString kBackupFolder = QStringLiteral("Backup");
  static inline const QString kMarkerName = QStringLiteral("Saving.txt");
  static inline const QString kCompletedNotice =
      QStringLiteral("The last save of this pool was interrupted. It has now been completed.");
  static inline const QString kRestoredNotice = QStringLiteral(
      "The last save of this pool was interrupted. The pool is as it was before that save.");
  static inline const QString kBackupNotAFolder = QStringLiteral(
      "this is not a folder of the pool, so the save cannot keep its backup there; move it out "
      "of the pool folder and save again");
  static inline const QString kForeignMarker = QStringLiteral(
      "this is not a record of a save of this program; it is left as it is. Move it out of the "
      "pool folder to open the pool");
  static inline const QString kUnfinishable = QStringLiteral(
      "a save of this pool was cut short, and neither its new files nor its backup are whole "
      "any more; the pool is left as it is");

  // The pool's files, in the order a save replaces them: the three record files and the side
  // files (scoring rule, invited, prizes), which a pool need not have.
  static const QStringList& PoolFiles();
  static constexpr int kPoolFileCount = 6;

  // Replaces the files named in `staged` (each written whole as its staged copy) in `folder`.
  // Throws EPoolSaveError after putting everything back as it was, as far as it could: when
  // even that failed, the marker is left for the next open (Pending stays true) and the staged
  // copies must stay where they are.
  static void Commit(const QString& folder, const std::vector<TStagedFile>& staged);

  // True when a save of the pool in `folder` was cut short.
  static bool Pending(const QString& folder);
  // Finishes, or undoes, a save that was cut short and returns the notice to show; throws
  // EInOutError, leaving everything as it is, when the marker is not one of this program's or
  // its files are not what it says.
  static QString Recover(const QString& folder);
  // For a read-only look at a pool whose save was cut short: the file that holds what `name`
  // will hold once Recover has run (empty when that is the file itself).
  static QString ReadPath(const QString& folder, const QString& name);
  // Removes what a save that died before it replaced anything left behind: staged copies and
  // a backup generation in making. The previous generation is put back should the save have
  // died while the new one took its place.
  static void RemoveStale(const QString& folder);

  // Tests interrupt a save between its steps: the hook is called before each step with a
  // short description and may throw EInOutError (a failure) or end the process (a kill).
  using TStepHook = std::function<void(const QString& step)>;
  static void SetStepHook(TStepHook hook);
};
