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
  static inline const QString kHeldBy =
      QStringLiteral("the pool is open in Courtsider on host %1, process %2");

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
