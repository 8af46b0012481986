#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

// A 64-bit checksum of a file's bytes, taken as they are written or copied, so that a save cut
// short can later tell a complete staged copy or backup from a torn or foreign one. It guards
// against accidents, not against someone who may write the pool folder anyway: four lanes of
// multiply-and-rotate over 8-byte words keep it at memory speed for a pool of a million
// players, where a cryptographic hash would add half a minute to every save.
class TChecksum {
 public:
  void Add(const char* data, qint64 length);
  void Add(const QByteArray& bytes) { Add(bytes.constData(), bytes.size()); }
  // Sixteen hexadecimal digits; the object may go on taking bytes afterwards.
  QString Value() const;
  qint64 Size() const { return FSize; }

  // The checksum of a whole file; empty when it cannot be read.
  static QString OfFile(const QString& path);

 private:
  static constexpr int kBlock = 32;
  void Round(const char* block);

  std::array<uint64_t, 4> FLanes{0x9E3779B97F4A7C15ull, 0xC2B2AE3D27D4EB4Full,
                                 0x165667B19E3779F9ull, 0x85EBCA77C2B2AE63ull};
  std::array<char, kBlock> FTail{};
  int FTailSize = 0;
  qint64 FSize = 0;
};
