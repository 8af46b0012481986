#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// Pool files store text in Windows-1252 whatever the platform, so the mapping is ours rather
// than the locale's. Characters the code page cannot hold are written as "?".
namespace Win1252 {
QString Decode(const char* bytes, int length);
QByteArray Encode(const QString& text);
// The code page's byte for `c`, or -1 when it has none.
int ByteOf(char32_t c);
}  // namespace Win1252

// Field helpers for the little-endian, fixed-width records of the pool files.
namespace RecordField {
int32_t ReadInt32(const char* at);
void WriteInt32(char* at, int32_t value);
// A length byte followed by up to `width` characters; a stored length beyond the width is
// read as the width, never past the field.
QString ReadString(const char* at, int width);
// Writes `text` cut to `width` characters; bytes after the text are left as they were.
void WriteString(char* at, int width, const QString& text);
// Throws EInOutError naming the file, the record (`record`, 0-based, told 1-based) and the
// field when a value read is not `low` to `high`: a pool never holds it, and whatever reads
// the pool may count on its values being in range.
void CheckRange(const QString& path, qint64 record, const QString& field, int32_t value,
                int32_t low, int32_t high);
}  // namespace RecordField
