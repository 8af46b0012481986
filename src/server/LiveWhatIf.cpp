#include "LiveWhatIf.h"

#include "Outlook.h"

TLiveWhatIf::TLiveWhatIf() : FProgress(std::make_unique<TOutlookProgress>()) {}

TLiveWhatIf::~TLiveWhatIf() {
  FProgress->Cancel();
  if (FWorker.joinable())
    FWorker.join();
}

const QByteArray* TLiveWhatIf::Kept(const QString& key) {
  for (auto kept = FKept.begin(); kept != FKept.end(); ++kept) {
    if (kept->first == key) {
      FKept.splice(FKept.begin(), FKept, kept);
      return &FKept.front().second;
    }
  }
  return nullptr;
}

QByteArray TLiveWhatIf::Page(const QString& key, TWork work) {
  std::unique_lock<std::mutex> lock(FMutex);
  if (const QByteArray* page = Kept(key))
    return *page;
  // Only the request that starts a what-if waits for it: the server's threads are not all
  // tied up waiting, however many ask.
  if (FWorking)
    return {};
  FWorking = true;
  // The last worker has said it is done; it has only to end.
  if (FWorker.joinable())
    FWorker.join();
  FWorker = std::thread([this, key, work = std::move(work)] {
    QByteArray page = work(*FProgress);
    std::lock_guard<std::mutex> done(FMutex);
    FWorking = false;
    if (!page.isEmpty()) {
      FKept.emplace_front(key, std::move(page));
      if (FKept.size() > kKept)
        FKept.pop_back();
    }
    FDone.notify_all();
  });
  const auto until = std::chrono::steady_clock::now() + kWait;
  while (FWorking) {
    if (FDone.wait_until(lock, until) == std::cv_status::timeout)
      return {};
  }
  const QByteArray* page = Kept(key);
  return page ? *page : QByteArray();
}

bool TLiveWhatIf::Working() {
  std::lock_guard<std::mutex> lock(FMutex);
  return FWorking;
}
