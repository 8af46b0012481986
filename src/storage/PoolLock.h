#pragma once

#include <QString>
#include <memory>

class QLockFile;

// One writer at a time: whoever changes a pool holds its lock, a file in the pool folder, for
// as long as it may write (the program while the pool is open, the command-line tool for its
// command). A second writer is refused at once with who holds the lock. A lock left by a
// program that died on this machine, or before the machine last started, is taken over;
// readers never need it.
class TPoolLock {
 public:
  static inline const QString kFileName = QStringLiteral("Courtsider.lock");
  // Who holds the pool, on which host, its process and since when.
  static inline const QString kHeldBy =
      QStringLiteral("the pool is held by %1 on host %2, process %3, since %4");
  // The holder of a lock that names no program.
  static inline const QString kUnnamedHolder = QStringLiteral("another program");
  static inline const QString kProgramName = QStringLiteral("Courtsider");
  // How `since` reads: the holder's time as the lock file keeps it, in local time.
  static inline const QString kSinceFormat = QStringLiteral("yyyy-MM-dd HH:mm");

  explicit TPoolLock(const QString& folder);
  ~TPoolLock();
  TPoolLock(const TPoolLock&) = delete;
  TPoolLock& operator=(const TPoolLock&) = delete;

  // Takes the lock; throws EInOutError saying who holds it, or why it cannot be taken.
  void Take();

 private:
  QString FFolder;
  std::unique_ptr<QLockFile> FLock;
};
