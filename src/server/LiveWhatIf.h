#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

class TOutlookProgress;

// The what-ifs the pages served live are asked for. Working one out may take seconds on a big
// pool, and anyone on the network can ask for any number of them: so one is worked out at a
// time, on a thread of its own, and the last few made are kept. The request that starts one
// waits a moment for it; any that comes while one is being worked out is told to try again,
// and finds it kept if it was its own.
//
// Safe to ask from any number of threads at once.
class TLiveWhatIf {
 public:
  static constexpr size_t kKept = 16;
  // How long a request waits for its what-if before it is told to come back.
  static constexpr std::chrono::milliseconds kWait{4000};
  static constexpr int kRetryAfterSeconds = 2;

  // The page, or none yet (busy).
  using TWork = std::function<QByteArray(TOutlookProgress& progress)>;

  TLiveWhatIf();
  ~TLiveWhatIf();

  // The page kept under `key`, or worked out by `work` on the what-if thread when none is being
  // worked out; empty when one is under way, or when this one is not done within kWait (it is
  // kept when it is done, for the next request).
  QByteArray Page(const QString& key, TWork work);
  bool Working();

 private:
  const QByteArray* Kept(const QString& key);

  std::mutex FMutex;
  std::condition_variable FDone;
  // Most recently used first.
  std::list<std::pair<QString, QByteArray>> FKept;
  bool FWorking = false;
  std::thread FWorker;
  std::unique_ptr<TOutlookProgress> FProgress;
};
