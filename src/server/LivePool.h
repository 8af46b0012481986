#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "PoolFileMarks.h"

class TFFDataModule;
class TLiveWhatIf;
class TOutlookProgress;

// The pool as its pages show it once entries are closed, read from its files as any reader
// reads them: no lock is held, so the organiser's window and the command-line tool go on
// changing the pool, and a change they save shows on the pages within a poll. The files are
// looked at again when a page is asked for and kPollInterval has passed on the program's
// clock; only when they hold other bytes is the pool read again and its pages made anew, on a
// thread of its own: working out who can still win may take seconds, and no player waits for
// it. The pages of the pool as last read are served meanwhile, and when a read fails (a save
// half done, say) they stay until the next read succeeds.
//
// Safe to ask from any number of threads at once.
class TLivePool {
 public:
  // Milliseconds between two looks at the files.
  static constexpr qint64 kPollInterval = 2000;

  explicit TLivePool(const QString& directory);
  ~TLivePool();

  // Reads the pool; false, with the file and the reason in `reason`, when it cannot be read.
  bool Load(QString* reason);
  // The standings page, as of the files when last looked at.
  QByteArray StandingsHtml();
  // The page of the player at `player` (place in the player file); empty when there is none.
  QByteArray PlayerHtml(int player);
  // A what-if page (WhatIfPage) and how it was answered.
  struct TWhatIfAnswer {
    int Status = 200;  // 200, 400 (the reason in Body, plain), 404, or 503 (busy)
    QByteArray Body;
  };
  // The what-if of the winners named by the raw query `query`, as of the files when last
  // looked at. The names are matched against the pool's teams only; the outlook is worked out
  // one at a time, within a bounded budget (TLiveWhatIf).
  TWhatIfAnswer WhatIf(const std::string& query);
  bool WorkingOutWhatIf();
  // How many times a read of the pool has started.
  int Reads() const { return FReads; }
  // Whether a read is under way.
  bool Reading();

 private:
  struct TSnapshot;

  std::shared_ptr<TSnapshot> Current();
  std::shared_ptr<TSnapshot> Read(QString* reason);
  // Reads the pool again, on the reader's thread, and serves its pages if it could be read.
  void ReadAgain();

  const QString FDirectory;
  std::mutex FMutex;
  std::shared_ptr<TSnapshot> FSnapshot;
  TPoolFileMarks FMarks;
  qint64 FLastLook = 0;
  bool FReading = false;
  // The last read failed: the next look reads again, whatever the marks say.
  bool FReadAgain = false;
  std::atomic<int> FReads{0};
  std::thread FReader;
  // Stops a read still working out the chances when the pool is closed.
  std::unique_ptr<TOutlookProgress> FProgress;
  std::unique_ptr<TLiveWhatIf> FWhatIfs;
};
