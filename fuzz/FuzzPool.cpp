#include "FuzzPool.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include "InOutError.h"
#include "Win1252.h"

namespace FuzzPool {

namespace {
QTemporaryDir& Dir() {
  static QTemporaryDir dir(QDir("/dev/shm").exists()
                               ? QStringLiteral("/dev/shm/courtsider-fuzz-XXXXXX")
                               : QDir::tempPath() + "/courtsider-fuzz-XXXXXX");
  return dir;
}

void Put(const QString& name, const QByteArray& bytes) {
  const QString path = QDir(Folder()).filePath(name);
  if (bytes.isNull()) {
    QFile::remove(path);
    return;
  }
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
    file.write(bytes);
}
}  // namespace

QString Folder() {
  return Dir().path() + QStringLiteral("/Fuzz.BGD");
}

void Write(const QByteArray& system, const QByteArray& teams, const QByteArray& players) {
  static const bool made = QDir().mkpath(Folder());
  Q_UNUSED(made);
  Put(QStringLiteral("System.dat"), system);
  Put(QStringLiteral("Teams.dat"), teams);
  Put(QStringLiteral("PlayPick.dat"), players);
}

bool WriteWhole(const QByteArray& input) {
  if (input.size() < 110)
    return false;
  const int teamsLength =
      (static_cast<uint8_t>(input[108]) | static_cast<uint8_t>(input[109]) << 8);
  const QByteArray rest = input.mid(110);
  Write(input.left(108), rest.left(teamsLength), rest.mid(teamsLength));
  return true;
}

std::unique_ptr<TFFDataModule> Open(TFFDataModule::TOpenMode mode) {
  auto pool = std::make_unique<TFFDataModule>();
  pool->SetDirectory(Folder());
  try {
    pool->OpenPool(mode);
  } catch (const EInOutError&) {
    pool->ClosePool();
    return nullptr;
  }
  return pool;
}

QByteArray NewSystemRecord() {
  static const QByteArray record = [] {
    Write({}, {}, {});
    TFFDataModule pool;
    pool.SetDirectory(Folder());
    pool.CreatePool();
    pool.ClosePool();
    QFile file(QDir(Folder()).filePath(QStringLiteral("System.dat")));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
  }();
  return record;
}

QByteArray TeamRecords(int count) {
  QByteArray bytes;
  for (int i = 0; i < count; ++i) {
    QByteArray record(52, '\0');
    RecordField::WriteString(record.data(), 35, QStringLiteral("Team %1").arg(i));
    RecordField::WriteInt32(record.data() + 36, 1 + i / 16);
    RecordField::WriteInt32(record.data() + 40, 1 + i % 16);
    RecordField::WriteInt32(record.data() + 44, 1);
    bytes += record;
  }
  return bytes;
}

bool EntryInRange(const char* at) {
  const int32_t region = RecordField::ReadInt32(at);
  const int32_t seed = RecordField::ReadInt32(at + 4);
  const int32_t round = RecordField::ReadInt32(at + 8);
  return region >= 0 && region <= TChartEntry::kMaxRegion && seed >= 0 &&
         seed <= TChartEntry::kMaxSeed && round >= 0 && round <= TChartEntry::kMaxRound;
}

bool RoundTrip(const QByteArray& input) {
  return (qHash(input) & 7) == 0;
}

QByteArray Bytes(const uint8_t* data, size_t size) {
  // Never a null array, which Write takes for a file to leave out: an empty input is an
  // empty file.
  return QByteArray(size > 0 ? reinterpret_cast<const char*>(data) : "", static_cast<int>(size));
}

}  // namespace FuzzPool
