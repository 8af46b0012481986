// "PlayPick.dat" as a damaged or hostile pool may hold it: read, looked up, saved and read
// back.
#include "FuzzChecks.h"
#include "FuzzPool.h"
#include "Win1252.h"

namespace {
QByteArray LockedSystemRecord() {
  QByteArray record = FuzzPool::NewSystemRecord();
  record[100] = 1;
  return record;
}

bool SamePlayer(const TPlayerPicksListObject& a, const TPlayerPicksListObject& b) {
  if (a.PlayerName() != b.PlayerName() || a.TieBreakerPoints() != b.TieBreakerPoints())
    return false;
  for (int i = 0; i < TPlayerPicksListObject::kPickCount; ++i) {
    const TPlayerPickArrayObject& p = *a.Pick(i);
    const TPlayerPickArrayObject& q = *b.Pick(i);
    if (p.TeamName() != q.TeamName() || p.Region() != q.Region() || p.Seed() != q.Seed() ||
        p.RoundReached() != q.RoundReached()) {
      return false;
    }
  }
  return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const QByteArray system = LockedSystemRecord();
  static const QByteArray teams = FuzzPool::TeamRecords(64);
  const QByteArray input = FuzzPool::Bytes(data, size);
  FuzzPool::Write(system, teams, input);
  const bool roundTrip = FuzzPool::RoundTrip(input);
  auto pool = FuzzPool::Open(roundTrip ? TFFDataModule::TOpenMode::ReadWrite
                                       : TFFDataModule::TOpenMode::ReadOnly);
  if (!pool) {
    // A fuzz input is far below the player limit: refused only for a value out of range.
    bool inRange = true;
    for (size_t at = 0; at + 3112 <= size; at += 3112) {
      const int32_t guess = RecordField::ReadInt32(input.constData() + at + 36);
      inRange = inRange && guess >= 0 && guess <= TPlayerPicksFile::kMaxGuess;
      for (int i = 0; i < TPlayerPicksListObject::kPickCount; ++i)
        inRange = inRange && FuzzPool::EntryInRange(input.constData() + at + 76 + 48 * i);
    }
    FUZZ_CHECK(!inRange);
    return 0;
  }
  const TPlayerPicksFile& players = pool->PlayerPicksFile();
  FUZZ_CHECK(players.Count() == static_cast<int>(size / 3112));
  for (const auto& player : players.List()) {
    FUZZ_CHECK(player->PlayerName().size() <= TPlayerPicksFile::kNameWidth);
    FUZZ_CHECK(players.FindPlayer(player->PlayerName()) != nullptr);
  }

  if (!roundTrip) {
    pool->ClosePool();
    return 0;
  }

  // Round trip: what a save writes reads back as the same players.
  pool->PlayerPicksFile().SetModified(true);
  FUZZ_CHECK(pool->SavePool());
  auto again = FuzzPool::Open(TFFDataModule::TOpenMode::ReadOnly);
  FUZZ_CHECK(again && again->PlayerPicksFile().Count() == players.Count());
  for (int i = 0; i < players.Count(); ++i)
    FUZZ_CHECK(SamePlayer(*players.Items(i), *again->PlayerPicksFile().Items(i)));
  again->ClosePool();
  pool->ClosePool();
  return 0;
}
