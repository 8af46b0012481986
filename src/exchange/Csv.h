#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <stdexcept>
#include <vector>

// Comma-separated text as spreadsheets write it: UTF-8 with or without a byte-order mark,
// cells separated by commas or semicolons, a cell in double quotes when it holds a separator,
// a quote (doubled) or a line break, records ended by CRLF, LF or CR. The reader is strict:
// anything else is refused with the row and column where it went wrong, never guessed at.
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

struct TTable {
  char Separator = ',';
  // One entry per record, blank lines included, so that index + 1 is the row a spreadsheet
  // shows. A record keeps the cells it has: short rows are not padded.
  std::vector<QStringList> Rows;
};

// Reads the whole text. The separator is the first comma or semicolon of the first record
// outside quotes (a comma when there is none). Throws EFormatError.
TTable Read(const QByteArray& bytes);

// The spreadsheet name of a 1-based column: A, B, ..., Z, AA, AB, ...
QString ColumnName(int column);

// Writes records with commas and CRLF, starting with a byte-order mark so that spreadsheets
// take the text as UTF-8.
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
