// "System.dat" as a damaged or hostile pool may hold it, read and saved back through the
// data module.
#include <QDir>
#include <QFile>

#include "FuzzChecks.h"
#include "FuzzPool.h"
#include "Win1252.h"

namespace {
// Every number of the record is one a pool can hold: points and the total 0 to 999.
bool InRange(const QByteArray& record) {
  for (int at = 76; at <= 104; at += at == 96 ? 8 : 4) {
    const int32_t value = RecordField::ReadInt32(record.constData() + at);
    if (value < 0 || value > TSystemFile::kMaxPoints)
      return false;
  }
  return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray input = FuzzPool::Bytes(data, size);
  FuzzPool::Write(input, FuzzPool::TeamRecords(4), QByteArray(""));
  const bool roundTrip = FuzzPool::RoundTrip(input);
  auto pool = FuzzPool::Open(roundTrip ? TFFDataModule::TOpenMode::ReadWrite
                                       : TFFDataModule::TOpenMode::ReadOnly);
  if (!pool) {
    FUZZ_CHECK(size < 108 || !InRange(input));  // a whole record of values in range opens
    return 0;
  }
  const TSystemFile& system = pool->SystemFile();
  FUZZ_CHECK(system.PoolName().size() <= TSystemFile::kPoolNameWidth);
  for (int i = 1; i <= 4; ++i)
    FUZZ_CHECK(system.BracketName(i).size() <= TSystemFile::kBracketNameWidth);
  int64_t points = 0;
  for (int k = 2; k <= 7; ++k)
    points += system.RoundPoints(k);
  (void)points;
  if (!roundTrip) {
    pool->ClosePool();
    return 0;
  }

  // A save writes the record back as it was read, bytes we do not interpret included.
  pool->SystemFile().SetModified(true);
  FUZZ_CHECK(pool->SavePool());
  pool->ClosePool();
  QFile saved(QDir(FuzzPool::Folder()).filePath("System.dat"));
  FUZZ_CHECK(saved.open(QIODevice::ReadOnly));
  FUZZ_CHECK(saved.readAll() == input.left(108));
  return 0;
}
