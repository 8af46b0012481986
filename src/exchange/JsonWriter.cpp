#include "JsonWriter.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace {
constexpr size_t kFlushAt = 1 << 16;
}

void TJsonWriter::Raw(const char* text, size_t length) {
  FBuffer.append(text, length);
  if (FBuffer.size() >= kFlushAt)
    Flush();
}

void TJsonWriter::Raw(const char* text) {
  Raw(text, std::strlen(text));
}

void TJsonWriter::Flush() {
  if (FBuffer.empty())
    return;
  FOut.write(FBuffer.data(), static_cast<qint64>(FBuffer.size()));
  FBuffer.clear();
}

void TJsonWriter::BeforeValue() {
  if (FAfterKey) {
    FAfterKey = false;
    return;
  }
  if (FDepth > 0 && FNeedComma)
    FBuffer.push_back(',');
}

TJsonWriter& TJsonWriter::Open(char bracket) {
  BeforeValue();
  FBuffer.push_back(bracket);
  ++FDepth;
  FNeedComma = false;
  return *this;
}

// A container that ends is a finished value: whatever follows it in its parent needs a comma.
TJsonWriter& TJsonWriter::Close(char bracket) {
  --FDepth;
  FNeedComma = true;
  Raw(&bracket, 1);
  return *this;
}

TJsonWriter& TJsonWriter::BeginObject() {
  return Open('{');
}

TJsonWriter& TJsonWriter::EndObject() {
  return Close('}');
}

TJsonWriter& TJsonWriter::BeginArray() {
  return Open('[');
}

TJsonWriter& TJsonWriter::EndArray() {
  return Close(']');
}

TJsonWriter& TJsonWriter::Key(const char* name) {
  BeforeValue();
  FBuffer.push_back('"');
  FBuffer.append(name);
  FBuffer.append("\":", 2);
  FAfterKey = true;
  return *this;
}

TJsonWriter& TJsonWriter::Value(const QString& text) {
  BeforeValue();
  FBuffer.push_back('"');
  const auto* chars = reinterpret_cast<const char16_t*>(text.constData());
  const qsizetype length = text.size();
  // Most texts are plain ASCII from end to end: copy them over in one stretch, then go on
  // character by character from the first one that needs more care.
  const size_t start = FBuffer.size();
  FBuffer.resize(start + static_cast<size_t>(length));
  char* plain = FBuffer.data() + start;
  qsizetype i = 0;
  for (; i < length; ++i) {
    const char16_t u = chars[i];
    if (u < 0x20 || u >= 0x80 || u == '"' || u == '\\')
      break;
    plain[i] = static_cast<char>(u);
  }
  FBuffer.resize(start + static_cast<size_t>(i));
  for (; i < length; ++i) {
    const char16_t u = chars[i];
    if (u >= 0x20 && u < 0x80 && u != '"' && u != '\\') {
      FBuffer.push_back(static_cast<char>(u));
    } else if (u == '"') {
      FBuffer.append("\\\"", 2);
    } else if (u == '\\') {
      FBuffer.append("\\\\", 2);
    } else if (u < 0x20) {
      char escaped[8];
      const int written =
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(u));
      FBuffer.append(escaped, static_cast<size_t>(written));
    } else {
      // Rare outside ASCII: names come from Windows-1252, so go through Qt's encoder, with
      // both halves of a surrogate pair at once.
      const qsizetype units =
          QChar::isHighSurrogate(u) && i + 1 < length && QChar::isLowSurrogate(chars[i + 1]) ? 2
                                                                                             : 1;
      const QByteArray utf8 = QStringView(chars + i, units).toUtf8();
      FBuffer.append(utf8.constData(), static_cast<size_t>(utf8.size()));
      i += units - 1;
    }
  }
  FNeedComma = true;
  Raw("\"", 1);
  return *this;
}

template <typename TNumber>
TJsonWriter& TJsonWriter::Number(TNumber number) {
  BeforeValue();
  char digits[32];
  const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, number);
  FNeedComma = true;
  Raw(digits, static_cast<size_t>(end.ptr - digits));
  return *this;
}

TJsonWriter& TJsonWriter::Value(long long number) {
  return Number(number);
}

TJsonWriter& TJsonWriter::Value(unsigned long long number) {
  return Number(number);
}

TJsonWriter& TJsonWriter::Value(double number) {
  return Number(number);
}

TJsonWriter& TJsonWriter::Value(bool flag) {
  BeforeValue();
  FNeedComma = true;
  Raw(flag ? "true" : "false");
  return *this;
}

void TJsonWriter::Finish() {
  Raw("\n");
  Flush();
}
