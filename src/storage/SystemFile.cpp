#include "SystemFile.h"

#include <QDir>
#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

#include "InOutError.h"
#include "Win1252.h"

namespace {
constexpr int kPoolNameAt = 0;
constexpr int kBracketNameAt = 31;  // four names of 11 bytes each
constexpr int kBracketNameSize = 11;
constexpr int kRoundPointsAt = 76;  // chart rounds 2..7
constexpr int kFinalizedAt = 100;
constexpr int kTieBreakerAt = 104;

int BracketOffset(int i) {
  if (i < 1 || i > 4)
    throw std::out_of_range("bracket number out of range");
  return kBracketNameAt + kBracketNameSize * (i - 1);
}

// Where each part of the record lies: offset and size.
std::pair<int, int> PartRange(TSystemFile::TPart part) {
  return part == TSystemFile::TPart::Settings ? std::pair<int, int>{0, kFinalizedAt}
                                              : std::pair<int, int>{kTieBreakerAt, 4};
}

// The fields of each part, as offset and size within the part.
std::vector<std::pair<int, int>> PartFields(TSystemFile::TPart part) {
  if (part == TSystemFile::TPart::TieBreaker)
    return {{0, 4}};
  std::vector<std::pair<int, int>> fields = {{kPoolNameAt, kBracketNameAt - kPoolNameAt}};
  for (int i = 1; i <= 4; ++i)
    fields.emplace_back(BracketOffset(i), kBracketNameSize);
  for (int at = kRoundPointsAt; at < kFinalizedAt; at += 4)
    fields.emplace_back(at, 4);
  return fields;
}

int RoundOffset(int k) {
  if (k < 2 || k > 7)
    throw std::out_of_range("round out of range");
  return kRoundPointsAt + 4 * (k - 2);
}
}  // namespace

TSystemFile::TSystemFile() {
  const char* names[] = {"Midwest", "South", "East", "West"};
  for (int i = 1; i <= 4; ++i) {
    RecordField::WriteString(FRecord.data() + BracketOffset(i), kBracketNameWidth,
                             QString::fromLatin1(names[i - 1]));
  }
  for (int k = 2; k <= 7; ++k)
    RecordField::WriteInt32(FRecord.data() + RoundOffset(k), 1 << (k - 2));
  FModified = false;
}

void TSystemFile::SetDirectory(const QString& path) {
  FDirectory = path;
}

bool TSystemFile::Open() {
  FFile.Assign(QDir(FDirectory).filePath(kFileName), kRecordSize);
  FFile.Reset();
  ReadRecord();
  FIsOpen = true;
  return true;
}

bool TSystemFile::CreateNew() {
  // A new pool is made in a folder of its own (TFFDataModule::CreatePoolFolder), so the
  // record is written in place; a failure propagates and the folder is thrown away.
  FFile.Assign(QDir(FDirectory).filePath(kFileName), kRecordSize);
  FFile.Rewrite();
  FFile.Write(FRecord.data());
  FFile.Sync();
  FModified = false;
  ReadRecord();
  FIsOpen = true;
  return true;
}

void TSystemFile::ReadRecord() {
  FFile.Seek(0);
  FFile.Read(FRecord.data());
  FFile.Seek(0);
  for (int k = 2; k <= 7; ++k) {
    RecordField::CheckRange(FFile.Path(), 0, QStringLiteral("RoundPoints(%1)").arg(k),
                            RoundPoints(k), 0, kMaxPoints);
  }
  RecordField::CheckRange(FFile.Path(), 0, QStringLiteral("TieBreakerPoints"), TieBreakerPoints(),
                          0, kMaxPoints);
}

void TSystemFile::WriteRecord() {
  FFile.BeginSave();
  try {
    FFile.Write(FRecord.data());
    FFile.FinishSave();
  } catch (const EInOutError&) {
    FFile.CancelSave();
    throw;
  }
}

TPoolFileError TSystemFile::Close() {
  try {
    FFile.Close();
    FIsOpen = false;
  } catch (const EInOutError& error) {
    return {kSystemFileErrorPrefix, kCloseOperation, error.Reason()};
  }
  return {};
}

QString TSystemFile::PoolName() const {
  return RecordField::ReadString(FRecord.data() + kPoolNameAt, kPoolNameWidth);
}

QString TSystemFile::BracketName(int i) const {
  return RecordField::ReadString(FRecord.data() + BracketOffset(i), kBracketNameWidth);
}

int32_t TSystemFile::RoundPoints(int k) const {
  return RecordField::ReadInt32(FRecord.data() + RoundOffset(k));
}

bool TSystemFile::Finalized() const {
  return FRecord[kFinalizedAt] != 0;
}

int32_t TSystemFile::TieBreakerPoints() const {
  return RecordField::ReadInt32(FRecord.data() + kTieBreakerAt);
}

void TSystemFile::SetPoolName(const QString& text) {
  if (text == PoolName())
    return;
  RecordField::WriteString(FRecord.data() + kPoolNameAt, kPoolNameWidth, text);
  FModified = true;
}

void TSystemFile::SetBracketName(int i, const QString& text) {
  if (text == BracketName(i))
    return;
  RecordField::WriteString(FRecord.data() + BracketOffset(i), kBracketNameWidth, text);
  FModified = true;
}

void TSystemFile::SetInt(int offset, int32_t value) {
  if (RecordField::ReadInt32(FRecord.data() + offset) == value)
    return;
  RecordField::WriteInt32(FRecord.data() + offset, value);
  FModified = true;
}

void TSystemFile::SetRoundPoints(int k, int32_t value) {
  SetInt(RoundOffset(k), value);
}

void TSystemFile::SetTieBreakerPoints(int32_t value) {
  SetInt(kTieBreakerAt, value);
}

void TSystemFile::SetFinalized(bool flag) {
  if (Finalized() == flag)
    return;
  FRecord[kFinalizedAt] = flag ? 1 : 0;
  FModified = true;
}

QByteArray TSystemFile::PartBytes(TPart part) const {
  const auto [at, size] = PartRange(part);
  return QByteArray(FRecord.data() + at, size);
}

void TSystemFile::RestoreChangedFields(TPart part, const QByteArray& bytes, const QByteArray& from,
                                       const QByteArray& to) {
  const auto [at, size] = PartRange(part);
  if (bytes.size() != size || from.size() != size || to.size() != size)
    return;
  for (const auto& [offset, width] : PartFields(part)) {
    const QByteArrayView field = QByteArrayView(bytes).sliced(offset, width);
    if (QByteArrayView(from).sliced(offset, width) == QByteArrayView(to).sliced(offset, width) ||
        QByteArrayView(FRecord.data() + at + offset, width) == field)
      continue;
    std::copy(field.begin(), field.end(), FRecord.begin() + at + offset);
    FModified = true;
  }
}
