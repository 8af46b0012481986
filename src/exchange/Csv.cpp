#include "Csv.h"

#include <QStringDecoder>
#include <cstring>

namespace Csv {

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF", 3);

bool IsBreak(char c) {
  return c == '\r' || c == '\n';
}

class TReader {
 public:
  explicit TReader(const QByteArray& bytes) : FData(bytes.constData()), FSize(bytes.size()) {
    if (bytes.startsWith(kByteOrderMark))
      FPos = kByteOrderMark.size();
  }

  // Rows are counted by record: a line break inside a quoted cell belongs to the cell, as in a
  // spreadsheet.
  TTable Read() {
    TTable table;
    table.Separator = FindSeparator();
    FSeparator = table.Separator;
    while (FPos < FSize) {
      table.Rows.push_back(ReadRecord());
      ++FRow;
    }
    return table;
  }

 private:
  // The first separator of the first record, skipping quoted text.
  char FindSeparator() const {
    bool quoted = false;
    for (qsizetype i = FPos; i < FSize; ++i) {
      const char c = FData[i];
      if (c == '"')
        quoted = !quoted;
      else if (!quoted && (c == ',' || c == ';'))
        return c;
      else if (!quoted && IsBreak(c))
        break;
    }
    return ',';
  }

  QStringList ReadRecord() {
    QStringList cells;
    int column = 1;
    for (;;) {
      cells.append(FPos < FSize && FData[FPos] == '"' ? QuotedCell(column) : PlainCell(column));
      if (FPos >= FSize)
        return cells;
      const char c = FData[FPos];
      if (c == FSeparator) {
        ++FPos;
        ++column;
        continue;
      }
      // A record ends at CRLF, LF or a lone CR.
      ++FPos;
      if (c == '\r' && FPos < FSize && FData[FPos] == '\n')
        ++FPos;
      return cells;
    }
  }

  QString PlainCell(int column) {
    const qsizetype start = FPos;
    while (FPos < FSize) {
      const char c = FData[FPos];
      if (c == FSeparator || IsBreak(c))
        break;
      if (c == '"') {
        throw EFormatError(FRow, column,
                           QStringLiteral("a quote in a cell that does not start with one (put "
                                          "the whole cell in quotes and double the quote)"));
      }
      ++FPos;
    }
    return Decode(FData + start, FPos - start, column);
  }

  QString QuotedCell(int column) {
    ++FPos;
    QByteArray text;
    for (;;) {
      const char* quote = static_cast<const char*>(
          std::memchr(FData + FPos, '"', static_cast<size_t>(FSize - FPos)));
      if (!quote) {
        throw EFormatError(
            FRow, column, QStringLiteral("a quoted cell is not closed before the end of the file"));
      }
      const qsizetype at = quote - FData;
      text.append(FData + FPos, at - FPos);
      FPos = at + 1;
      if (FPos < FSize && FData[FPos] == '"') {
        text.append('"');
        ++FPos;
        continue;
      }
      break;
    }
    if (FPos < FSize && FData[FPos] != FSeparator && !IsBreak(FData[FPos])) {
      throw EFormatError(FRow, column, QStringLiteral("text after the closing quote of a cell"));
    }
    return Decode(text.constData(), text.size(), column);
  }

  QString Decode(const char* text, qsizetype length, int column) const {
    bool ascii = true;
    for (qsizetype i = 0; i < length && ascii; ++i)
      ascii = static_cast<unsigned char>(text[i]) < 0x80;
    if (ascii)
      return QString::fromLatin1(text, length);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = decoder.decode(QByteArrayView(text, length));
    if (decoder.hasError()) {
      throw EFormatError(FRow, column,
                         QStringLiteral("the text is not UTF-8 (save the file as \"CSV UTF-8\")"));
    }
    return decoded;
  }

  const char* FData;
  qsizetype FSize;
  qsizetype FPos = 0;
  int FRow = 1;
  char FSeparator = ',';
};

}  // namespace

TTable Read(const QByteArray& bytes) {
  return TReader(bytes).Read();
}

QString ColumnName(int column) {
  QString name;
  for (int n = column; n > 0; n = (n - 1) / 26)
    name.prepend(QChar('A' + (n - 1) % 26));
  return name;
}

TWriter::TWriter() : FBytes(kByteOrderMark) {}

void TWriter::Row(const QStringList& cells) {
  for (qsizetype i = 0; i < cells.size(); ++i) {
    if (i > 0)
      FBytes.append(',');
    Cell(cells.at(i));
  }
  FBytes.append("\r\n", 2);
}

void TWriter::Cell(const QString& text) {
  // Blanks at either end are quoted too, so that no spreadsheet trims them away.
  bool quote = !text.isEmpty() && (text.front() == ' ' || text.back() == ' ');
  for (const QChar c : text)
    quote = quote || c == ',' || c == ';' || c == '"' || c == '\r' || c == '\n';
  if (!quote) {
    FBytes.append(text.toUtf8());
    return;
  }
  FBytes.append('"');
  FBytes.append(QString(text).replace(QLatin1Char('"'), QLatin1String("\"\"")).toUtf8());
  FBytes.append('"');
}

}  // namespace Csv
