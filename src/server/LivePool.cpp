#include "LivePool.h"

#include "Clock.h"
#include "FFDataModule.h"
#include "InOutError.h"
#include "Outlook.h"
#include "PlayerSelections.h"
#include "StandingsPage.h"

struct TLivePool::TSnapshot {
  std::unique_ptr<TFFDataModule> Pool;
  TPlayerSelections Selections;
  QByteArray Standings;
  // A player's page is made from the pool when asked for; one at a time, as the pool's
  // objects are not made to be read by several threads at once.
  std::mutex PoolMutex;
};

TLivePool::TLivePool(const QString& directory)
    : FDirectory(directory), FProgress(std::make_unique<TOutlookProgress>()) {}

TLivePool::~TLivePool() {
  FProgress->Cancel();
  if (FReader.joinable())
    FReader.join();
}

bool TLivePool::Load(QString* reason) {
  FMarks.Take(FDirectory);
  std::shared_ptr<TSnapshot> snapshot = Read(reason);
  if (!snapshot)
    return false;
  std::lock_guard<std::mutex> lock(FMutex);
  FSnapshot = std::move(snapshot);
  ++FReads;
  FLastLook = TClock::Current().Ticks();
  return true;
}

std::shared_ptr<TLivePool::TSnapshot> TLivePool::Read(QString* reason) {
  auto snapshot = std::make_shared<TSnapshot>();
  snapshot->Pool = std::make_unique<TFFDataModule>();
  snapshot->Pool->SetDirectory(FDirectory);
  try {
    snapshot->Pool->OpenPool(TFFDataModule::TOpenMode::ReadOnly);
  } catch (const EInOutError& error) {
    *reason = error.Reason();
    return nullptr;
  }
  const TFFDataModule& pool = *snapshot->Pool;
  snapshot->Selections.Build(pool);
  TOutlookResult outlook;
  const bool chances = StandingsPage::ShowsWinChances(pool);
  if (chances)
    outlook = ComputeOutlook(TOutlookInput::FromPool(pool), TOutlookOptions{}, FProgress.get());
  if (outlook.Cancelled)
    return nullptr;
  snapshot->Standings =
      StandingsPage::Html(pool, TClock::Current().Now().date(), chances ? &outlook : nullptr, true);
  return snapshot;
}

std::shared_ptr<TLivePool::TSnapshot> TLivePool::Current() {
  std::lock_guard<std::mutex> lock(FMutex);
  const qint64 now = TClock::Current().Ticks();
  // One thread reads; every page meanwhile is of the pool as last read.
  if (FReading || now - FLastLook < kPollInterval)
    return FSnapshot;
  FLastLook = now;
  if (!FReadAgain && !FMarks.Changed())
    return FSnapshot;
  FReading = true;
  ++FReads;
  // The last reader has said it is done; it has only to end.
  if (FReader.joinable())
    FReader.join();
  FReader = std::thread([this] { ReadAgain(); });
  return FSnapshot;
}

void TLivePool::ReadAgain() {
  // Marked before reading: a save that lands while the pool is read is seen at the next look.
  FMarks.Take(FDirectory);
  QString reason;
  std::shared_ptr<TSnapshot> snapshot = Read(&reason);
  std::lock_guard<std::mutex> lock(FMutex);
  FReading = false;
  FReadAgain = !snapshot;
  if (snapshot)
    FSnapshot = std::move(snapshot);
}

bool TLivePool::Reading() {
  std::lock_guard<std::mutex> lock(FMutex);
  return FReading;
}

QByteArray TLivePool::StandingsHtml() {
  return Current()->Standings;
}

QByteArray TLivePool::PlayerHtml(int player) {
  const std::shared_ptr<TSnapshot> snapshot = Current();
  std::lock_guard<std::mutex> lock(snapshot->PoolMutex);
  return StandingsPage::PlayerHtml(*snapshot->Pool, snapshot->Selections, player);
}
