// A picks sheet, as a spreadsheet or a hostile hand may write it, read and checked against a
// locked pool of 64 teams.
#include <QDir>
#include <QFile>

#include "Csv.h"
#include "FuzzChecks.h"
#include "FuzzPool.h"
#include "PicksImport.h"

namespace {
QByteArray LockedSystemRecord() {
  QByteArray record = FuzzPool::NewSystemRecord();
  record[100] = 1;
  return record;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const QByteArray system = LockedSystemRecord();
  static const QByteArray teams = FuzzPool::TeamRecords(64);
  if (size < 1)
    return 0;
  const QByteArray sheet = FuzzPool::Bytes(data + 1, size - 1);
  try {
    Csv::Read(sheet);
  } catch (const Csv::EFormatError& error) {
    FUZZ_CHECK(error.Row() >= 0 && error.Column() >= 0);
  }

  static const bool written = (FuzzPool::Write(system, teams, QByteArray("")), true);
  Q_UNUSED(written);
  auto pool = FuzzPool::Open(TFFDataModule::TOpenMode::ReadOnly);
  FUZZ_CHECK(pool);
  TPicksImport import(*pool, (data[0] & 1) != 0);
  const bool readable = import.Read(sheet);
  FUZZ_CHECK(readable == (import.ProblemCount() == 0));
  FUZZ_CHECK(static_cast<int>(import.Problems().size()) <= import.ProblemCount());
  (void)import.Report();
  if (readable) {
    FUZZ_CHECK(import.NewCount() + import.ReplacedCount() ==
               static_cast<int>(import.Players().size()));
  }
  pool->PlayerPicksFile().SetModified(false);
  pool->ClosePool();
  return 0;
}
