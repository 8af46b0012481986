#include "Win1252.h"

#include <QFileDevice>
#include <QList>
#include <algorithm>

#include "InOutError.h"
#include "SafeFile.h"

namespace {
// 0x80..0x9F; the five bytes Windows leaves undefined map to the C1 controls of the same
// value, as Windows itself converts them, so every byte survives a round trip.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

int Win1252::ByteOf(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
    return static_cast<int>(c);
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] == c)
      return 0x80 + i;
  }
  return -1;
}

QString Win1252::Decode(const char* bytes, int length) {
  QString text(length, Qt::Uninitialized);
  QChar* out = text.data();
  for (int i = 0; i < length; ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    out[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHigh[b - 0x80]) : QChar(b);
  }
  return text;
}

QByteArray Win1252::Encode(const QString& text) {
  QByteArray bytes;
  bytes.reserve(text.size());
  for (char32_t c : text.toUcs4()) {
    const int byte = ByteOf(c);
    bytes.append(byte < 0 ? '?' : static_cast<char>(byte));
  }
  return bytes;
}

int32_t RecordField::ReadInt32(const char* at) {
  const auto* b = reinterpret_cast<const unsigned char*>(at);
  return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                              static_cast<uint32_t>(b[2]) << 16 |
                              static_cast<uint32_t>(b[3]) << 24);
}

void RecordField::WriteInt32(char* at, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i)
    at[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

QString RecordField::ReadString(const char* at, int width) {
  const int length = std::min<int>(static_cast<unsigned char>(at[0]), width);
  return Win1252::Decode(at + 1, length);
}

void RecordField::WriteString(char* at, int width, const QString& text) {
  const QByteArray bytes = Win1252::Encode(text).left(width);
  at[0] = static_cast<char>(bytes.size());
  std::copy(bytes.cbegin(), bytes.cend(), at + 1);
}

void RecordField::CheckRange(const QString& path, qint64 record, const QString& field,
                             int32_t value, int32_t low, int32_t high) {
  if (value >= low && value <= high)
    return;
  throw EInOutError(QFileDevice::ReadError,
                    DiskFile::Describe(path, QStringLiteral("record %1: %2 is %3, not %4 to %5")
                                                 .arg(record + 1)
                                                 .arg(field)
                                                 .arg(value)
                                                 .arg(low)
                                                 .arg(high)));
}
