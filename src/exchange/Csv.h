#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <stdexcept>
#include <vector>

class QIODevice;

// Comma-separated text as spreadsheets write it: UTF-8 with or without a byte-order mark,
// cells separated by commas or semicolons, a cell in double quotes when it holds a separator,
// a quote (doubled) or a line break, records ended by CRLF, LF or CR. The reader is strict:
// anything else is refused with the row and column where it went wrong, never guessed at.
//
// A cell that a spreadsheet would run as a formula is written after an apostrophe, which the
// spreadsheet shows as text and the reader takes off again (GuardFormula).
namespace Csv {

// A file that is not well-formed. Row and column are 1-based, as a spreadsheet counts them.
class EFormatError : public std::runtime_error {
 public:
  EFormatError(int row, int column, const QString& text)
      : std::runtime_error(text.toStdString()), FRow(row), FColumn(column), FText(text) {}
  int Row() const { return FRow; }
  int Column() const { return FColumn; }
  const QString& Text() const { return FText; }

 private:
  int FRow;
  int FColumn;
  QString FText;
};

// Reads records one at a time from a device, so that a sheet of any length is read in little
// memory. The separator is the first comma or semicolon of the first record outside quotes (a
// comma when there is none).
class TReader {
 public:
  // A record longer than `maxRecordBytes` is refused rather than held.
  TReader(QIODevice& device, qint64 maxRecordBytes);

  // The next record's cells, guards taken off; false after the last one. A record keeps the
  // cells it has: short rows are not padded. Throws EFormatError.
  bool Next(QStringList* cells);
  // The row of the record Next gave last, as a spreadsheet shows it: a line break inside a
  // quoted cell belongs to the cell. Blank lines count as rows.
  int Row() const { return FRow; }
  char Separator() const { return FSeparator; }

 private:
  qint64 ChunkSize() const;
  // Makes sure a byte is there to look at; false at the end of the text.
  bool More();
  char At() const { return FBuffer[FPos]; }
  void Take(qsizetype count);
  bool FindSeparator();
  QString QuotedCell(int column);
  QString PlainCell(int column);
  QString Decode(const QByteArray& text, int column) const;

  QIODevice& FDevice;
  qint64 FMaxRecordBytes;
  QByteArray FBuffer;
  qsizetype FPos = 0;
  bool FAtEnd = false;
  bool FStarted = false;
  qint64 FRecordBytes = 0;
  int FRow = 0;
  char FSeparator = ',';
};

struct TTable {
  char Separator = ',';
  // One entry per record, blank lines included, so that index + 1 is the row a spreadsheet
  // shows.
  std::vector<QStringList> Rows;
};

// Reads the whole text at once. Throws EFormatError.
TTable Read(const QByteArray& bytes);

// The spreadsheet name of a 1-based column: A, B, ..., Z, AA, AB, ...
QString ColumnName(int column);

// A cell beginning with "=", "+", "-", "@", a tab or a carriage return, which a spreadsheet
// would run as a formula, with an apostrophe before it. So is a cell beginning with an
// apostrophe followed by one of those or by another apostrophe, so that UnguardFormula gives
// back every cell exactly as it was.
QString GuardFormula(const QString& text);
QString UnguardFormula(const QString& cell);

// Writes records with commas and CRLF, starting with a byte-order mark so that spreadsheets
// take the text as UTF-8; every cell guarded.
class TWriter {
 public:
  TWriter();
  void Row(const QStringList& cells);
  const QByteArray& Bytes() const { return FBytes; }

 private:
  void Cell(const QString& text);

  QByteArray FBytes;
};

}  // namespace Csv
