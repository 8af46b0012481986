#include "Checksum.h"

#include <QFile>
#include <QtEndian>
#include <cstring>

namespace {
constexpr uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;
constexpr uint64_t kPrime3 = 0x165667B19E3779F9ull;
constexpr uint64_t kPrime4 = 0x85EBCA77C2B2AE63ull;
constexpr uint64_t kPrime5 = 0x27D4EB2F165667C5ull;

uint64_t RotateLeft(uint64_t value, int bits) {
  return (value << bits) | (value >> (64 - bits));
}

uint64_t Word(const char* at) {
  uint64_t word = 0;
  std::memcpy(&word, at, sizeof word);
  return qFromLittleEndian(word);
}

uint64_t Mix(uint64_t lane, uint64_t word) {
  return RotateLeft(lane + word * kPrime2, 31) * kPrime1;
}
}  // namespace

void TChecksum::Round(const char* block) {
  for (size_t i = 0; i < FLanes.size(); ++i)
    FLanes[i] = Mix(FLanes[i], Word(block + 8 * i));
}

void TChecksum::Add(const char* data, qint64 length) {
  FSize += length;
  if (FTailSize > 0) {
    const int take = static_cast<int>(std::min<qint64>(kBlock - FTailSize, length));
    std::memcpy(FTail.data() + FTailSize, data, static_cast<size_t>(take));
    FTailSize += take;
    data += take;
    length -= take;
    if (FTailSize < kBlock)
      return;
    Round(FTail.data());
    FTailSize = 0;
  }
  for (; length >= kBlock; data += kBlock, length -= kBlock)
    Round(data);
  std::memcpy(FTail.data(), data, static_cast<size_t>(length));
  FTailSize = static_cast<int>(length);
}

QString TChecksum::Value() const {
  uint64_t sum = RotateLeft(FLanes[0], 1) + RotateLeft(FLanes[1], 7) + RotateLeft(FLanes[2], 12) +
                 RotateLeft(FLanes[3], 18);
  for (const uint64_t lane : FLanes)
    sum = (sum ^ Mix(0, lane)) * kPrime1 + kPrime4;
  sum += static_cast<uint64_t>(FSize);
  int at = 0;
  for (; at + 8 <= FTailSize; at += 8)
    sum = RotateLeft(sum ^ Mix(0, Word(FTail.data() + at)), 27) * kPrime1 + kPrime4;
  for (; at < FTailSize; ++at)
    sum = RotateLeft(sum ^ (static_cast<uint8_t>(FTail[static_cast<size_t>(at)]) * kPrime5), 11) *
          kPrime1;
  sum ^= sum >> 33;
  sum *= kPrime2;
  sum ^= sum >> 29;
  sum *= kPrime3;
  sum ^= sum >> 32;
  return QStringLiteral("%1").arg(sum, 16, 16, QLatin1Char('0'));
}

QString TChecksum::OfFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return {};
  TChecksum checksum;
  QByteArray block(1 << 20, Qt::Uninitialized);
  for (;;) {
    const qint64 got = file.read(block.data(), block.size());
    if (got < 0)
      return {};
    if (got == 0)
      break;
    checksum.Add(block.constData(), got);
  }
  return checksum.Value();
}
