#pragma once

#include <QIODevice>
#include <QString>
#include <charconv>
#include <string>

#include "Csv.h"

// Text and CSV lines are put together in one reused buffer and handed to the device in large
// blocks, so a pool of any size prints without an allocation per row.
class TLineWriter {
 public:
  static constexpr size_t kFlushAt = 1 << 16;

  explicit TLineWriter(QIODevice& out) : FOut(out) {}
  ~TLineWriter() { Flush(); }
  TLineWriter(const TLineWriter&) = delete;
  TLineWriter& operator=(const TLineWriter&) = delete;

  void Raw(const char* text) { FBuffer.append(text); }
  void Text(const QString& text) {
    for (const QChar c : text) {
      if (c.unicode() >= 0x80) {
        // Names come from Windows-1252, so this is rare: let Qt encode the whole text.
        const QByteArray utf8 = text.toUtf8();
        FBuffer.append(utf8.constData(), static_cast<size_t>(utf8.size()));
        return;
      }
    }
    for (const QChar c : text)
      FBuffer.push_back(static_cast<char>(c.unicode()));
  }
  // `text` left-aligned in `width` characters.
  void TextLeft(const QString& text, int width) {
    Text(text);
    if (text.size() < width)
      FBuffer.append(static_cast<size_t>(width - text.size()), ' ');
  }
  // `number` right-aligned in `width` characters (0: no padding).
  void Number(long long number, int width = 0) {
    char digits[24];
    const size_t length =
        static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, number).ptr - digits);
    if (length < static_cast<size_t>(width))
      FBuffer.append(static_cast<size_t>(width) - length, ' ');
    FBuffer.append(digits, length);
  }
  // A CSV field: guarded against being run as a formula (Csv::GuardFormula), then quoted,
  // with its quotes doubled, when it holds a separator, quote or break.
  void CsvField(const QString& field) {
    const QString text = Csv::GuardFormula(field);
    bool quote = false;
    for (const QChar c : text) {
      quote = quote || c == ',' || c == '"' || c == '\n' || c == '\r';
    }
    if (!quote) {
      Text(text);
      return;
    }
    FBuffer.push_back('"');
    Text(QString(text).replace(QLatin1Char('"'), QLatin1String("\"\"")));
    FBuffer.push_back('"');
  }
  void EndLine() {
    FBuffer.push_back('\n');
    if (FBuffer.size() >= kFlushAt)
      Flush();
  }
  void Flush() {
    if (FBuffer.empty())
      return;
    FOut.write(FBuffer.data(), static_cast<qint64>(FBuffer.size()));
    FBuffer.clear();
  }

 private:
  QIODevice& FOut;
  std::string FBuffer;
};
