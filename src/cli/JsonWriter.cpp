#include "JsonWriter.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr size_t kFlushAt = 1 << 16;
}

void TJsonWriter::Raw(const char* text, size_t length) {
  FBuffer.append(text, length);
  if (FBuffer.size() >= kFlushAt) Flush();
}

void TJsonWriter::Raw(const char* text) {
  Raw(text, std::strlen(text));
}

void TJsonWriter::Flush() {
  if (FBuffer.empty()) return;
  FOut.write(FBuffer.data(), static_cast<qint64>(FBuffer.size()));
  FBuffer.clear();
}

void TJsonWriter::BeforeValue() {
  if (FAfterKey) {
    FAfterKey = false;
    return;
  }
  if (FFirst.empty()) return;
  if (!FFirst.back()) Raw(",");
  FFirst.back() = false;
}

TJsonWriter& TJsonWriter::BeginObject() {
  BeforeValue();
  Raw("{");
  FFirst.push_back(true);
  return *this;
}

TJsonWriter& TJsonWriter::EndObject() {
  FFirst.pop_back();
  Raw("}");
  return *this;
}

TJsonWriter& TJsonWriter::BeginArray() {
  BeforeValue();
  Raw("[");
  FFirst.push_back(true);
  return *this;
}

TJsonWriter& TJsonWriter::EndArray() {
  FFirst.pop_back();
  Raw("]");
  return *this;
}

TJsonWriter& TJsonWriter::Key(const char* name) {
  BeforeValue();
  Raw("\"");
  Raw(name);
  Raw("\":");
  FAfterKey = true;
  return *this;
}

TJsonWriter& TJsonWriter::Value(const QString& text) {
  BeforeValue();
  Raw("\"");
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if (u == '"') {
      Raw("\\\"");
    } else if (u == '\\') {
      Raw("\\\\");
    } else if (u < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(u));
      Raw(escaped);
    } else if (u < 0x80) {
      const char plain = static_cast<char>(u);
      Raw(&plain, 1);
    } else {
      // Rare outside ASCII: names come from Windows-1252, so go through Qt's encoder.
      const QByteArray utf8 = QString(c).toUtf8();
      Raw(utf8.constData(), static_cast<size_t>(utf8.size()));
    }
  }
  Raw("\"");
  return *this;
}

TJsonWriter& TJsonWriter::Value(long long number) {
  BeforeValue();
  char digits[24];
  const int length = std::snprintf(digits, sizeof digits, "%lld", number);
  Raw(digits, static_cast<size_t>(length));
  return *this;
}

TJsonWriter& TJsonWriter::Value(bool flag) {
  BeforeValue();
  Raw(flag ? "true" : "false");
  return *this;
}

void TJsonWriter::Finish() {
  Raw("\n");
  Flush();
}
