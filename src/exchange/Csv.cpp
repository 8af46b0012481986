#include "Csv.h"

#include <QBuffer>
#include <QStringDecoder>
#include <algorithm>
#include <cstring>
#include <limits>

namespace Csv {

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF", 3);
constexpr qint64 kChunk = qint64{1} << 20;

bool IsBreak(char c) {
  return c == '\r' || c == '\n';
}

bool StartsFormula(QChar c) {
  return c == QLatin1Char('=') || c == QLatin1Char('+') || c == QLatin1Char('-') ||
         c == QLatin1Char('@') || c == QLatin1Char('\t') || c == QLatin1Char('\r');
}

bool NeedsGuard(const QString& text) {
  if (text.isEmpty())
    return false;
  if (StartsFormula(text.front()))
    return true;
  return text.size() > 1 && text.front() == QLatin1Char('\'') &&
         (StartsFormula(text.at(1)) || text.at(1) == QLatin1Char('\''));
}

}  // namespace

QString GuardFormula(const QString& text) {
  return NeedsGuard(text) ? QLatin1Char('\'') + text : text;
}

QString UnguardFormula(const QString& cell) {
  return cell.size() > 1 && cell.front() == QLatin1Char('\'') && NeedsGuard(cell.mid(1))
             ? cell.mid(1)
             : cell;
}

TReader::TReader(QIODevice& device, qint64 maxRecordBytes)
    : FDevice(device), FMaxRecordBytes(maxRecordBytes) {}

qint64 TReader::ChunkSize() const {
  // A sheet of a few rows, or one entry, is not read a megabyte at a time.
  return std::clamp<qint64>(FDevice.bytesAvailable(), 4096, kChunk);
}

bool TReader::More() {
  if (FPos < FBuffer.size())
    return true;
  if (FAtEnd)
    return false;
  FBuffer.resize(ChunkSize());
  const qint64 got = FDevice.read(FBuffer.data(), FBuffer.size());
  if (got < 0) {
    throw EFormatError(FRow, 0,
                       QStringLiteral("the file could not be read: ") + FDevice.errorString());
  }
  FBuffer.resize(got);
  FPos = 0;
  FAtEnd = got == 0;
  return !FAtEnd;
}

void TReader::Take(qsizetype count) {
  FPos += count;
  FRecordBytes += count;
  if (FRecordBytes > FMaxRecordBytes) {
    throw EFormatError(FRow, 0,
                       QStringLiteral("the row is longer than %1 bytes, more than any row of a "
                                      "picks sheet")
                           .arg(FMaxRecordBytes));
  }
}

bool TReader::FindSeparator() {
  // The first record is read ahead, as far as its end, to find the separator it uses.
  auto extend = [this] {
    QByteArray chunk(ChunkSize(), Qt::Uninitialized);
    const qint64 got = FDevice.read(chunk.data(), chunk.size());
    if (got <= 0) {
      FAtEnd = true;
      return false;
    }
    FBuffer.append(chunk.constData(), got);
    return true;
  };
  if (!More())
    return false;
  while (FBuffer.size() < kByteOrderMark.size() && extend()) {
  }
  if (FBuffer.startsWith(kByteOrderMark))
    FPos = kByteOrderMark.size();
  bool quoted = false;
  for (qsizetype i = FPos;; ++i) {
    if (i == FBuffer.size() && (i - FPos > FMaxRecordBytes || !extend()))
      return true;
    const char c = FBuffer[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && (c == ',' || c == ';')) {
      FSeparator = c;
      return true;
    } else if (!quoted && IsBreak(c)) {
      return true;
    }
  }
}

bool TReader::Next(QStringList* cells) {
  if (!FStarted) {
    FStarted = true;
    FindSeparator();
  }
  if (!More())
    return false;
  ++FRow;
  FRecordBytes = 0;
  cells->clear();
  for (int column = 1;; ++column) {
    cells->append(UnguardFormula(More() && At() == '"' ? QuotedCell(column) : PlainCell(column)));
    if (!More())
      return true;
    const char c = At();
    Take(1);
    if (c == FSeparator)
      continue;
    // A record ends at CRLF, LF or a lone CR.
    if (c == '\r' && More() && At() == '\n')
      Take(1);
    return true;
  }
}

QString TReader::PlainCell(int column) {
  QByteArray text;
  while (More()) {
    const qsizetype start = FPos;
    qsizetype end = start;
    for (; end < FBuffer.size(); ++end) {
      const char c = FBuffer[end];
      if (c == FSeparator || IsBreak(c))
        break;
      if (c == '"') {
        throw EFormatError(FRow, column,
                           QStringLiteral("a quote in a cell that does not start with one (put "
                                          "the whole cell in quotes and double the quote)"));
      }
    }
    text.append(FBuffer.constData() + start, end - start);
    const bool ended = end < FBuffer.size();
    Take(end - start);
    if (ended)
      break;
  }
  return Decode(text, column);
}

QString TReader::QuotedCell(int column) {
  Take(1);
  QByteArray text;
  for (;;) {
    if (!More()) {
      throw EFormatError(FRow, column,
                         QStringLiteral("a quoted cell is not closed before the end of the file"));
    }
    const char* begin = FBuffer.constData() + FPos;
    const qsizetype available = FBuffer.size() - FPos;
    const char* quote = static_cast<const char*>(std::memchr(begin, '"', available));
    if (!quote) {
      text.append(begin, available);
      Take(available);
      continue;
    }
    text.append(begin, quote - begin);
    Take(quote - begin + 1);
    if (More() && At() == '"') {
      text.append('"');
      Take(1);
      continue;
    }
    break;
  }
  if (More() && At() != FSeparator && !IsBreak(At()))
    throw EFormatError(FRow, column, QStringLiteral("text after the closing quote of a cell"));
  return Decode(text, column);
}

QString TReader::Decode(const QByteArray& text, int column) const {
  bool ascii = true;
  for (qsizetype i = 0; i < text.size() && ascii; ++i)
    ascii = static_cast<unsigned char>(text[i]) < 0x80;
  if (ascii)
    return QString::fromLatin1(text);
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString decoded = decoder.decode(text);
  if (decoder.hasError()) {
    throw EFormatError(FRow, column,
                       QStringLiteral("the text is not UTF-8 (save the file as \"CSV UTF-8\")"));
  }
  return decoded;
}

TTable Read(const QByteArray& bytes) {
  QByteArray copy = bytes;
  QBuffer buffer(&copy);
  buffer.open(QIODevice::ReadOnly);
  TReader reader(buffer, std::numeric_limits<qint64>::max());
  TTable table;
  QStringList cells;
  while (reader.Next(&cells))
    table.Rows.push_back(cells);
  table.Separator = reader.Separator();
  return table;
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

void TWriter::Cell(const QString& cell) {
  const QString text = GuardFormula(cell);
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
