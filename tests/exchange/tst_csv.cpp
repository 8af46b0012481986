#include <QBuffer>
#include <QTest>

#include "Csv.h"

namespace {
QByteArray Utf8(const char* text) {
  return QByteArray(text);
}

// Reads `bytes`, expecting a format error at (row, column).
void ExpectError(const QByteArray& bytes, int row, int column, const char* part) {
  try {
    Csv::Read(bytes);
    QFAIL("the text was accepted");
  } catch (const Csv::EFormatError& error) {
    QCOMPARE(error.Row(), row);
    QCOMPARE(error.Column(), column);
    QVERIFY2(error.Text().contains(QLatin1String(part)), qPrintable(error.Text()));
  }
}
}  // namespace

class TestCsv : public QObject {
  Q_OBJECT

 private slots:
  void quotedCellsKeepSeparatorsQuotesAndLineBreaks() {
    const Csv::TTable table =
        Csv::Read(Utf8("a,\"b,c\",\"say \"\"hi\"\"\"\r\n\"two\r\nlines\",\"\",x\r\nlast,row,here"));
    QCOMPARE(table.Rows.size(), size_t(3));
    QCOMPARE(table.Rows[0], QStringList({"a", "b,c", "say \"hi\""}));
    QCOMPARE(table.Rows[1], QStringList({"two\r\nlines", "", "x"}));
    QCOMPARE(table.Rows[2], QStringList({"last", "row", "here"}));
  }

  void lineEndingsByteOrderMarkAndBlankLines() {
    // CRLF, LF and a lone CR all end a record; a final break adds no record; a blank line
    // is a record of one empty cell, so rows keep the numbers a spreadsheet shows.
    const Csv::TTable table = Csv::Read(Utf8("\xEF\xBB\xBFone,1\r\ntwo,2\nthree,3\r\r\nfour,4\n"));
    QCOMPARE(table.Rows.size(), size_t(5));
    QCOMPARE(table.Rows[0], QStringList({"one", "1"}));
    QCOMPARE(table.Rows[1], QStringList({"two", "2"}));
    QCOMPARE(table.Rows[2], QStringList({"three", "3"}));
    QCOMPARE(table.Rows[3], QStringList({""}));
    QCOMPARE(table.Rows[4], QStringList({"four", "4"}));
    QVERIFY(Csv::Read(QByteArray()).Rows.empty());
    QVERIFY(Csv::Read(Utf8("\xEF\xBB\xBF")).Rows.empty());
  }

  void semicolonsAreFoundFromTheFirstRecord() {
    // A comma inside a quoted header cell does not decide the separator.
    const Csv::TTable table = Csv::Read(Utf8("\"Smith, Jo\";guess\r\n\"a;b\";c,d\r\n"));
    QCOMPARE(table.Separator, ';');
    QCOMPARE(table.Rows[0], QStringList({"Smith, Jo", "guess"}));
    QCOMPARE(table.Rows[1], QStringList({"a;b", "c,d"}));
    QCOMPARE(Csv::Read(Utf8("single\r\ncolumn")).Separator, ',');
  }

  void emptyAndTrailingCellsAreKept() {
    const Csv::TTable table = Csv::Read(Utf8("a,,c,,\r\n,\r\nshort\r\n"));
    QCOMPARE(table.Rows[0], QStringList({"a", "", "c", "", ""}));
    QCOMPARE(table.Rows[1], QStringList({"", ""}));
    QCOMPARE(table.Rows[2], QStringList({"short"}));
  }

  void utf8TextAndVeryLongLines() {
    const Csv::TTable accents = Csv::Read(Utf8("Jos\xC3\xA9,Mu\xC3\xB1oz,\"\xE2\x98\x83\"\r\n"));
    QCOMPARE(accents.Rows[0], QStringList({QStringLiteral("José"), QStringLiteral("Muñoz"),
                                           QStringLiteral("\u2603")}));

    // A line of over a megabyte, once as one quoted cell and once as many small cells.
    const QByteArray big(1 << 20, 'x');
    const Csv::TTable one = Csv::Read("\"" + big + "\",end\r\n");
    QCOMPARE(one.Rows[0].size(), 2);
    QCOMPARE(one.Rows[0][0].size(), big.size());
    QByteArray many;
    for (int i = 0; i < 200000; ++i)
      many += "ab,";
    many += "z";
    const Csv::TTable cells = Csv::Read(many);
    QCOMPARE(cells.Rows.size(), size_t(1));
    QCOMPARE(cells.Rows[0].size(), 200001);
    QCOMPARE(cells.Rows[0].last(), QStringLiteral("z"));
  }

  void malformedTextIsRefusedWhereItGoesWrong() {
    ExpectError(Utf8("a,b\r\nc,\"open\r\nstill open"), 2, 2, "not closed");
    ExpectError(Utf8("a,b\r\nc,d\"e\r\n"), 2, 2, "quote in a cell");
    ExpectError(Utf8("a,\"b\"c\r\n"), 1, 2, "after the closing quote");
    // Latin-1 bytes where UTF-8 is expected, in the third cell of the second row.
    ExpectError(Utf8("a,b,c\r\nx,y,Jos\xE9\r\n"), 2, 3, "not UTF-8");
    // Rows are counted by record: the break inside the quoted cell does not count.
    ExpectError(Utf8("\"a\nb\",c\r\nd,e\"\r\n"), 2, 2, "quote in a cell");
  }

  void writtenTextReadsBackUnchanged() {
    const QStringList awkward = {"plain",      "with, comma",        "with; semicolon",
                                 "say \"hi\"", "two\r\nlines",       " blank around ",
                                 "",           QStringLiteral("Zoë")};
    Csv::TWriter writer;
    writer.Row(awkward);
    writer.Row({"second"});
    QVERIFY(writer.Bytes().startsWith("\xEF\xBB\xBF"));
    QVERIFY(writer.Bytes().endsWith("\r\nsecond\r\n"));
    const Csv::TTable table = Csv::Read(writer.Bytes());
    QCOMPARE(table.Rows.size(), size_t(2));
    QCOMPARE(table.Rows[0], awkward);
    // Unquoted in the first record, a semicolon would be taken for the separator.
    Csv::TWriter first;
    first.Row({"Smith; Jo", "150"});
    QCOMPARE(first.Bytes().mid(3), QByteArray("\"Smith; Jo\",150\r\n"));
    QCOMPARE(Csv::Read(first.Bytes()).Rows.at(0), QStringList({"Smith; Jo", "150"}));
  }

  // A cell a spreadsheet would run as a formula is written after an apostrophe and read back
  // without it; so is one whose apostrophe would otherwise be taken for such a guard.
  void formulasAreGuardedAndReadBackAsTheyWere() {
    const QStringList cells = {"=1+1", "+2", "-3", "@me", "\tx", "\ry", "'=z", "''", "'Tis", "a=b"};
    Csv::TWriter writer;
    writer.Row(cells);
    QCOMPARE(writer.Bytes().mid(3),
             QByteArray("'=1+1,'+2,'-3,'@me,'\tx,\"'\ry\",''=z,''','Tis,a=b\r\n"));
    QCOMPARE(Csv::Read(writer.Bytes()).Rows.at(0), cells);
    // As typed into a spreadsheet: the apostrophe of text that is not a formula stays.
    QCOMPARE(Csv::Read(Utf8("'Tis,'42\r\n")).Rows.at(0), QStringList({"'Tis", "'42"}));
  }

  // A record longer than the reader takes is refused at its row, not held.
  void aRecordPastTheLimitIsRefused() {
    QByteArray text = "short,row\r\n" + QByteArray(150, 'x') + "\r\nlast\r\n";
    QBuffer device(&text);
    device.open(QIODevice::ReadOnly);
    Csv::TReader reader(device, 100);
    QStringList cells;
    QVERIFY(reader.Next(&cells));
    try {
      reader.Next(&cells);
      QFAIL("a record past the limit was read");
    } catch (const Csv::EFormatError& error) {
      QCOMPARE(error.Row(), 2);
      QVERIFY2(error.Text().contains("longer than 100 bytes"), qPrintable(error.Text()));
    }
  }

  void columnNamesAsSpreadsheetsShowThem() {
    QCOMPARE(Csv::ColumnName(1), QStringLiteral("A"));
    QCOMPARE(Csv::ColumnName(26), QStringLiteral("Z"));
    QCOMPARE(Csv::ColumnName(27), QStringLiteral("AA"));
    QCOMPARE(Csv::ColumnName(65), QStringLiteral("BM"));
    QCOMPARE(Csv::ColumnName(703), QStringLiteral("AAA"));
  }
};

QTEST_GUILESS_MAIN(TestCsv)
#include "tst_csv.moc"
