#pragma once

#include <QString>
#include <QStringList>
#include <functional>

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

// Puts the staged copies of a pool's files in place so that the pool on disk is always either
// the whole old pool or the whole new one, whatever fails and wherever the program is killed.
//
//  1. The files of the pool as they are now are copied into the "Backup" folder inside the
//     pool folder (one generation: the copies of the previous save are deleted first).
//  2. A marker, "Saving.txt", names the files about to be replaced. Every staged copy is
//     already complete and on disk by then, so from here on the save can always be finished.
//  3. Each staged copy replaces its file; the folder is synced; the marker is removed.
//
// A failure in step 3 puts the replaced files back from the backup. When the program dies
// during step 3, the next open finds the marker and finishes the save (Recover).
class TPoolSave {
 public:
  static inline const QString kBackupFolder = QStringLiteral("Backup");
  static inline const QString kMarkerName = QStringLiteral("Saving.txt");
  static inline const QString kCompletedNotice =
      QStringLiteral("The last save of this pool was interrupted. It has now been completed.");
  static inline const QString kRestoredNotice = QStringLiteral(
      "The last save of this pool was interrupted. The pool is as it was before that save.");

  // The pool's three files, in the order a save replaces them.
  static const QStringList& PoolFiles();

  // Replaces the files named in `staged` (each written whole as its staged copy) in `folder`.
  // Throws EPoolSaveError after putting everything back as it was.
  static void Commit(const QString& folder, const QStringList& staged);

  // True when a save of the pool in `folder` was cut short.
  static bool Pending(const QString& folder);
  // Finishes (or, when it had begun to undo itself, undoes) a save that was cut short and
  // returns the notice to show; throws EInOutError when that fails.
  static QString Recover(const QString& folder);
  // For a read-only look at a pool whose save was cut short: the file that holds what `name`
  // will hold once Recover has run (empty when that is the file itself).
  static QString ReadPath(const QString& folder, const QString& name);
  // Removes staged copies left by a save that died before it replaced anything.
  static void RemoveStale(const QString& folder);

  // Tests interrupt a save between its steps: the hook is called before each step with a
  // short description and may throw EInOutError (a failure) or end the process (a kill).
  using TStepHook = std::function<void(const QString& step)>;
  static void SetStepHook(TStepHook hook);
};
