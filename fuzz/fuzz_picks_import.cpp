// A picks sheet, as a spreadsheet or a hostile hand may write it, read and checked against a
// locked pool of 64 teams. The first byte says whether players may be replaced and how many
// bytes a read hands over: the sheet comes a few bytes at a time, as from a pipe or a slow
// disk, so that records and cells cross the reads at every place, and must read as the whole
// text does.
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>

#include "Csv.h"
#include "FuzzChecks.h"
#include "FuzzPool.h"
#include "PicksImport.h"

namespace {
// Hands over `bytes` at most `piece` bytes a read.
class TTrickle : public QIODevice {
 public:
  TTrickle(const QByteArray& bytes, qint64 piece) : FBytes(bytes), FPiece(piece) {
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
  }
  bool isSequential() const override { return true; }
  qint64 bytesAvailable() const override { return FBytes.size() - FAt; }

 protected:
  qint64 readData(char* data, qint64 maxLength) override {
    const qint64 length = std::min({maxLength, FPiece, FBytes.size() - FAt});
    std::memcpy(data, FBytes.constData() + FAt, static_cast<size_t>(length));
    FAt += length;
    return length;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  QByteArray FBytes;
  qint64 FPiece;
  qint64 FAt = 0;
};

// The rows of a table, or where and why it was refused.
QString Outcome(const std::function<Csv::TTable()>& read) {
  try {
    QString rows;
    for (const QStringList& row : read().Rows)
      rows += row.join(QChar(0)) + QChar(1);
    return rows;
  } catch (const Csv::EFormatError& error) {
    FUZZ_CHECK(error.Row() >= 0 && error.Column() >= 0);
    return QStringLiteral("%1 %2 %3").arg(error.Row()).arg(error.Column()).arg(error.Text());
  }
}

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
  const qint64 piece = 1 + (data[0] >> 1);
  const QString whole = Outcome([&sheet] { return Csv::Read(sheet); });
  const QString trickled = Outcome([&sheet, piece] {
    TTrickle device(sheet, piece);
    Csv::TReader reader(device, std::numeric_limits<qint64>::max());
    Csv::TTable table;
    QStringList cells;
    while (reader.Next(&cells))
      table.Rows.push_back(cells);
    return table;
  });
  FUZZ_CHECK(trickled == whole);

  static const bool written = (FuzzPool::Write(system, teams, QByteArray("")), true);
  Q_UNUSED(written);
  auto pool = FuzzPool::Open(TFFDataModule::TOpenMode::ReadOnly);
  FUZZ_CHECK(pool);
  TPicksImport import(*pool, (data[0] & 1) != 0);
  TTrickle device(sheet, piece);
  const bool readable = import.Read(device);
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
