#include "LivePool.h"

#include "Clock.h"
#include "FFDataModule.h"
#include "InOutError.h"
#include "LiveWhatIf.h"
#include "Outlook.h"
#include "PlayerSelections.h"
#include "StandingsPage.h"
#include "WhatIfPage.h"

namespace {
// The players a what-if page lists, best chance first: a page, not a book.
constexpr int kWhatIfPlayers = 500;

// A what-if is one of many a reader may click through: sampled rather than visited outcome by
// outcome well before the page's own outlook would be, and on one thread.
TOutlookOptions WhatIfOptions() {
  TOutlookOptions options;
  options.Threads = 1;
  options.ExactWork = 2e9;
  options.SampleWork = 1e9;
  options.Samples = 200000;
  return options;
}
}  // namespace

struct TLivePool::TSnapshot {
  std::unique_ptr<TFFDataModule> Pool;
  TPlayerSelections Selections;
  QByteArray Standings;
  // While the page gives win chances: the chart and the games left, without the players, to
  // try the what-ifs asked for against; and which read of the pool this is.
  std::unique_ptr<TOutlookInput> Chart;
  int Read = 0;
  // A player's page is made from the pool when asked for; one at a time, as the pool's
  // objects are not made to be read by several threads at once.
  std::mutex PoolMutex;
};

TLivePool::TLivePool(const QString& directory)
    : FDirectory(directory),
      FProgress(std::make_unique<TOutlookProgress>()),
      FWhatIfs(std::make_unique<TLiveWhatIf>()) {}

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
  if (chances) {
    TOutlookInput input = TOutlookInput::FromPool(pool);
    outlook = ComputeOutlook(input, TOutlookOptions{}, FProgress.get());
    input.DropPlayers();
    snapshot->Chart = std::make_unique<TOutlookInput>(std::move(input));
  }
  if (outlook.Cancelled)
    return nullptr;
  snapshot->Read = FReads;
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

TLivePool::TWhatIfAnswer TLivePool::WhatIf(const std::string& query) {
  const std::shared_ptr<TSnapshot> snapshot = Current();
  if (!snapshot->Chart)
    return {404, {}};
  const QStringList written = WhatIfPage::Winners(query);
  if (written.isEmpty())
    return {400, "The what-if names no winner."};
  if (written.size() > kMaxAssumed)
    return {400,
            QByteArray("A what-if names at most ") + QByteArray::number(kMaxAssumed) + " winners."};
  // The names as the pool spells them: what the page says and keeps comes from the pool, never
  // from the address.
  QStringList winners;
  for (const QString& name : written) {
    const int32_t team = snapshot->Chart->TeamNamed(name);
    if (team < 0)
      return {400, "The what-if names a team that is not in this pool."};
    winners << snapshot->Chart->TeamNames.at(team);
  }
  TOutlookInput tried = *snapshot->Chart;
  QStringList assumed;
  QString why;
  if (!AssumeWinners(tried, winners, &assumed, &why))
    return {400, why.toUtf8()};
  const QString key = QString::number(snapshot->Read) + QLatin1Char(':') + winners.join(',');
  QByteArray page = FWhatIfs->Page(key, [snapshot, winners, assumed](TOutlookProgress& progress) {
    TOutlookInput input;
    QString poolName;
    {
      std::lock_guard<std::mutex> lock(snapshot->PoolMutex);
      input = TOutlookInput::FromPool(*snapshot->Pool);
      poolName = snapshot->Pool->SystemFile().PoolName();
    }
    QStringList games;
    QString unused;
    AssumeWinners(input, winners, &games, &unused);
    TOutlookResult outlook = ComputeOutlook(input, WhatIfOptions(), &progress);
    if (outlook.Cancelled)
      return QByteArray();
    const int players = static_cast<int>(outlook.Players.size());
    if (players > kWhatIfPlayers)
      outlook.Players.resize(kWhatIfPlayers);
    return WhatIfPage::Html(poolName, winners, assumed, input, outlook, players);
  });
  if (page.isEmpty())
    return {503, "A what-if is being worked out. Please try again in a moment."};
  return {200, page};
}

bool TLivePool::WorkingOutWhatIf() {
  return FWhatIfs->Working();
}
