#include "JsonWriter.h"

#include <array>
#include <charconv>
#include <cstring>

namespace {
constexpr size_t kFlushAt = 1 << 16;

// The characters a string takes as they are: printable ASCII but the quote and the backslash.
// One look-up a character rather than four comparisons: names sent to the picks server are
// written back in its replies, and may be long.
constexpr std::array<bool, 0x80> PlainCharacters() {
  std::array<bool, 0x80> plain{};
  for (size_t c = 0x20; c < plain.size(); ++c)
    plain[c] = c != '"' && c != '\\';
  return plain;
}
constexpr std::array<bool, 0x80> kPlain = PlainCharacters();

bool Plain(char16_t u) {
  return u < kPlain.size() && kPlain[u];
}
}  // namespace

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
    if (!Plain(u))
      break;
    plain[i] = static_cast<char>(u);
  }
  FBuffer.resize(start + static_cast<size_t>(i));
  for (; i < length; ++i) {
    const char16_t u = chars[i];
    if (Plain(u)) {
      FBuffer.push_back(static_cast<char>(u));
    } else if (u == '"') {
      FBuffer.append("\\\"", 2);
    } else if (u == '\\') {
      FBuffer.append("\\\\", 2);
    } else if (u < 0x20) {
      static constexpr char kDigits[] = "0123456789abcdef";
      const char escaped[] = {'\\', 'u', '0', '0', kDigits[u >> 4], kDigits[u & 0xf]};
      FBuffer.append(escaped, sizeof escaped);
    } else {
      // UTF-8 made here rather than a string of its own per character: a name sent to the
      // picks server may be nothing but. Half a surrogate pair is "?", as Qt writes it.
      char32_t code = u;
      if (QChar::isHighSurrogate(u) && i + 1 < length && QChar::isLowSurrogate(chars[i + 1]))
        code = QChar::surrogateToUcs4(u, chars[++i]);
      else if (QChar::isSurrogate(u))
        code = U'?';
      AppendUtf8(code);
    }
  }
  FNeedComma = true;
  Raw("\"", 1);
  return *this;
}

void TJsonWriter::AppendUtf8(char32_t code) {
  if (code < 0x80) {
    FBuffer.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    FBuffer.push_back(static_cast<char>(0xC0 | (code >> 6)));
    FBuffer.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    FBuffer.push_back(static_cast<char>(0xE0 | (code >> 12)));
    FBuffer.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    FBuffer.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    FBuffer.push_back(static_cast<char>(0xF0 | (code >> 18)));
    FBuffer.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    FBuffer.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    FBuffer.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
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

TJsonWriter& TJsonWriter::Null() {
  BeforeValue();
  FNeedComma = true;
  Raw("null");
  return *this;
}

void TJsonWriter::Finish() {
  Raw("\n");
  Flush();
}
