#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "FakePrompts.h"
#include "FakeReportUi.h"
#include "LimitedChild.h"
#include "RTFFiler.h"
#include "RecordingReport.h"
#include "ReportShell.h"
#include "ReportSystem.h"
#include "Win1252.h"

namespace {
using TKind = TRecordingReport::TKind;

int PdfPageCount(const QByteArray& pdf) {
  return static_cast<int>(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") +
                          pdf.count("/Type /Page ") + pdf.count("/Type /Page>") +
                          pdf.count("/Type /Page/"));
}

QByteArray Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A body of `rows` lines, one cell each, with a row minimum of `minimum` lines.
struct TRowsReport {
  TMasterShell Shell;
  int Row = 0;
  int Rows = 0;
  QStringList Events;

  TRowsReport(int rows, int minimum) : Rows(rows) {
    Shell.SetMinHeight(TReportShell::TSection::SectionRow, minimum);
    Shell.OnBodyBefore = [this](TBaseReport& w, TReportShell&) {
      Row = 0;
      w.ClearTabStops();
      w.AddTabStop(1, TBaseReport::kJustifyLeft, 3, 0, 0, 0);
      w.StoreTabStops(1);
    };
    Shell.OnRowBefore = [this](TBaseReport&, TReportShell&, bool& valid) { valid = Row < Rows; };
    Shell.OnRowPrint = [this](TBaseReport& w, TReportShell&, bool&) {
      w.RecallTabStops(1);
      w.NextLine();
      w.PrintInNextTab(QStringLiteral("row %1").arg(Row + 1));
    };
    Shell.OnRowAfter = [this](TBaseReport&, TReportShell&, bool&) { ++Row; };
  }
};
}  // namespace

class TestEngine : public QObject {
  Q_OBJECT

 private slots:
  // A name read from a pool file reaches an RTF report as the same code-page byte: the
  // report and the pool files share one table. The five bytes the code page leaves undefined
  // read as control characters and print as blanks.
  void rtfTextUsesThePoolFilesCodePage() {
    for (int b = 0x80; b <= 0xFF; ++b) {
      const char byte = static_cast<char>(b);
      const QByteArray escaped = TRTFFiler::Escape(Win1252::Decode(&byte, 1));
      const bool undefined = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
      const QByteArray expected = undefined ? QByteArray(" ") : "\\'" + QByteArray::number(b, 16);
      QCOMPARE(escaped, expected);
    }
  }

  // No test may open a real status window.
  void init() { TReportUi::Install(&FQuietUi); }
  void cleanup() { TReportUi::Install(nullptr); }
  void tabStopsFontsAndCutting();
  void shellEventsAndDetail();
  void minHeightBreaksPages();
  void reportEventsInOrder();
  void runThroughSetupPreviewAndPrinter();
  void rtfStructure();
  void rtfWrittenWholeOrNotAtAll();
  void pdfHasEveryPage();

 private:
  TFakeReportUi FQuietUi;
};

void TestEngine::tabStopsFontsAndCutting() {
  TRecordingReport writer;
  TReportEvents events;
  events.OnPrint = [](TBaseReport& w) {
    // Nothing stored yet: recalling empty slots leaves no stops and the initial font.
    w.RecallTabStops(3);
    w.RecallFont(3);
    w.PrintInNextTab(QStringLiteral("lost"));
    QCOMPARE(w.Font().Name, TBaseReport::kInitialFont.Name);

    w.AddTabStop(0.25, TBaseReport::kJustifyCenter, 0.5, 0, TBaseReport::kBoxAll, 0);
    w.AddTabStop(TBaseReport::kPreviousStopEnd, TBaseReport::kJustifyLeft, 0.5, 0, 0, 0);
    QCOMPARE(w.TabStops().back().Position, 0.75);
    w.StoreTabStops(2);
    w.UseFont(QStringLiteral("Arial"), 10);
    w.StoreFont(4);
    w.UseFont(QStringLiteral("Arial Black"), 16);
    w.RecallFont(4);
    QCOMPARE(w.Font().Size, 10.0);
    w.ClearTabStops();
    w.PrintInNextTab(QStringLiteral("lost too"));
    w.RecallTabStops(2);
    w.PrintInNextTab(QStringLiteral("1"));
    w.PrintInNextTab(QStringLiteral("A name much too wide for half an inch"));
    w.PrintInNextTab(QStringLiteral("no third stop"));
    const double top = w.YPos();
    w.NextLine();
    QVERIFY(w.YPos() > top);
    // A new line starts again at the first stop.
    w.PrintInNextTab(QStringLiteral("again"));
  };
  QVERIFY(writer.Generate(events));
  QCOMPARE(writer.Text(), QStringLiteral("1|A nam\nagain"));
  const auto& records = writer.Records();
  const auto cut = std::find_if(records.begin(), records.end(), [](const auto& r) {
    return r.Kind == TKind::Cell && r.Text.startsWith(QLatin1Char('A'));
  });
  QVERIFY(cut != records.end());
  QCOMPARE(cut->Stop.Position, 0.75);
  QCOMPARE(cut->Font.Name, QStringLiteral("Arial"));
  QVERIFY(cut->Text.size() < 10);
}

void TestEngine::shellEventsAndDetail() {
  TRecordingReport writer;
  QStringList log;
  TMasterShell master;
  TDetailShell detail;
  int row = 0;
  master.OnBodyBefore = [&](TBaseReport&, TReportShell&) { log << "master body before"; };
  master.OnBodyHeader = [&](TBaseReport&, TReportShell&) { log << "master header"; };
  master.OnRowBefore = [&](TBaseReport&, TReportShell& shell, bool& valid) {
    QVERIFY(shell.Valid());
    valid = row < 2;
    log << QStringLiteral("row before %1 %2").arg(row).arg(valid);
  };
  master.OnRowPrint = [&](TBaseReport&, TReportShell&, bool&) { log << "row print"; };
  master.OnRowAfter = [&](TBaseReport&, TReportShell&, bool&) {
    log << "row after";
    ++row;
  };
  master.OnBodyAfter = [&](TBaseReport&, TReportShell&) { log << "master body after"; };
  master.DetailReport = &detail;
  detail.OnBodyHeader = [&](TBaseReport&, TReportShell&) { log << "detail header"; };
  // The detail prints one row and ends itself.
  detail.OnRowPrint = [&](TBaseReport&, TReportShell&, bool& valid) {
    log << "detail row";
    valid = false;
  };
  detail.OnRowAfter = [&](TBaseReport&, TReportShell&, bool& valid) {
    log << QStringLiteral("detail after %1").arg(valid);
  };
  TReportEvents events;
  events.OnPrint = [&](TBaseReport& w) { master.Run(w); };
  writer.Generate(events);
  QCOMPARE(log,
           QStringList({"master body before", "master header", "row before 0 1", "row print",
                        "row after", "detail header", "detail row", "detail after 0",
                        "row before 1 1", "row print", "row after", "detail header", "detail row",
                        "detail after 0", "row before 2 0", "row after", "master body after"}));
}

void TestEngine::minHeightBreaksPages() {
  // Margins that leave exactly 60 lines of the standard font (a sixth of an inch each)
  // between them. A row moves down a line and prints there, so a page holds 59 rows when a
  // row needs two free lines, the last one ending exactly on the bottom margin; with four
  // needed the last row goes on when four lines are still free, after 57.
  for (const auto& [minimum, perPage] : {std::pair{2, 59}, std::pair{4, 57}}) {
    TRecordingReport writer;
    writer.SetMargins(0.5, 0.5);
    TRowsReport report(150, minimum);
    TReportEvents events;
    events.OnPrint = [&](TBaseReport& w) { report.Shell.Run(w); };
    writer.Generate(events);
    QMap<int, int> rowsOnPage;
    QStringList rows;
    for (const auto& record : writer.Records()) {
      if (record.Kind != TKind::Cell)
        continue;
      rows << record.Text;
      ++rowsOnPage[record.Page];
    }
    QCOMPARE(rows.size(), 150);
    QCOMPARE(rows.last(), QStringLiteral("row 150"));
    QCOMPARE(rowsOnPage.values(), QList<int>({perPage, perPage, 150 - 2 * perPage}));
  }
}

void TestEngine::reportEventsInOrder() {
  TRecordingReport writer;
  TReportSystem system;
  QStringList log;
  system.OnBeforePrint = [&](TBaseReport&) { log << "before"; };
  system.OnNewPage = [&](TBaseReport& w) {
    log << QStringLiteral("new page %1").arg(w.CurrentPage());
  };
  system.OnPrint = [&](TBaseReport& w) {
    log << "print";
    w.NewPage();
  };
  system.OnPrintFooter = [&](TBaseReport& w) {
    log << QStringLiteral("footer %1").arg(w.CurrentPage());
  };
  system.OnAfterPrint = [&](TBaseReport&) { log << "after"; };
  QVERIFY(system.Generate(writer));
  QCOMPARE(log, QStringList({"before", "new page 1", "print", "footer 1", "new page 2", "footer 2",
                             "after"}));
  QCOMPARE(writer.MarginTop(), system.MarginTop);
}

void TestEngine::runThroughSetupPreviewAndPrinter() {
  QTemporaryDir dir;
  TFakeReportUi ui;
  TReportUiScope scope(&ui);
  TRowsReport report(130, 2);
  TReportSystem system;
  int runs = 0;
  system.OnBeforePrint = [&](TBaseReport&) { ++runs; };
  system.OnPrint = [&](TBaseReport& w) { report.Shell.Run(w); };

  ui.CancelSetup();
  system.Run();
  QCOMPARE(runs, 0);
  QCOMPARE(ui.PreviewCount(), 0);
  QCOMPARE(ui.SetupTitles(), QStringList{"Report Setup"});

  // Preview, the default: pages at 100 % of a 96 dpi screen, then printed from the preview.
  const QString fromPreview = dir.filePath("preview.pdf");
  ui.PrintFromPreview(fromPreview);
  system.Run();
  QCOMPARE(ui.PreviewCount(), 1);
  QCOMPARE(ui.PreviewPages().size(), size_t(3));
  QCOMPARE(ui.PreviewPages().front().size(), QSize(816, 1056));
  QVERIFY(ui.StatusTexts().contains("Generating page 3"));
  QVERIFY(ui.StatusTexts().contains("Printing page 3"));
  QVERIFY(!ui.StatusShown());
  QCOMPARE(PdfPageCount(Read(fromPreview)), 3);
  QCOMPARE(runs, 2);

  TFakePrompts prompts;
  TPromptsScope promptsScope(&prompts);
  const QString printed = dir.filePath("printer.pdf");
  ui.ChoosePrinter(printed, 2);
  system.Run();
  QCOMPARE(ui.PreviewCount(), 1);
  QCOMPARE(ui.PrintedCopies(), 2);
  QCOMPARE(PdfPageCount(Read(printed)), 3);
  QVERIFY(prompts.Shown().isEmpty());

  // A printer that cannot be written to is said so, once, after the run.
  ui.ChoosePrinter(dir.filePath("no such folder/printer.pdf"));
  system.Run();
  QCOMPARE(prompts.Texts(), QStringList{"The report could not be sent to the printer."});
  QVERIFY(!ui.StatusShown());
}

void TestEngine::rtfStructure() {
  TRTFFiler filer;
  filer.OnPrint = [](TBaseReport& w) {
    w.UseFont(QStringLiteral("Arial Black"), 10);
    w.AddTabStop(0.25, TBaseReport::kJustifyCenter, 0.5, 0, TBaseReport::kBoxAll, 0);
    w.AddTabStop(TBaseReport::kPreviousStopEnd, TBaseReport::kJustifyCenter, 2, 0,
                 TBaseReport::kBoxAll, 0);
    w.PrintInNextTab(QStringLiteral("Pos"));
    w.PrintInNextTab(QStringLiteral("Player Name"));
    w.NextLine();
    w.ClearTabStops();
    w.UseFont(QStringLiteral("Arial"), 10);
    w.AddTabStop(0.25, TBaseReport::kJustifyCenter, 0.5, 0, 0, 0);
    w.AddTabStop(TBaseReport::kPreviousStopEnd, TBaseReport::kJustifyLeft, 2, 0, 0, 0);
    w.PrintInNextTab(QStringLiteral("1"));
    w.PrintInNextTab(QString::fromUtf8("{Zo\u00eb} \\ \u20ac \u0141"));
    w.NextLine();
    w.NewPage();
    w.PrintInNextTab(QStringLiteral("2"));
    QImage picture(80, 60, QImage::Format_Mono);
    picture.fill(1);
    w.DrawBitmap(0.5, 0.5, 8.0, 9.5, picture);
  };
  QTemporaryDir dir;
  filer.FileName = dir.filePath("out.rtf");
  QVERIFY(filer.Run());
  const QByteArray rtf = Read(filer.FileName);
  QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252"));
  QVERIFY(rtf.trimmed().endsWith('}'));
  // The boxed line is a table row: two cells with all four borders, ending at 0.75 and 2.75 in.
  QVERIFY(rtf.contains("\\trowd"));
  QVERIFY(rtf.contains("\\trleft360"));
  QCOMPARE(rtf.count("\\clbrdrl\\brdrs"), 2);
  QCOMPARE(rtf.count("\\clbrdrb\\brdrs"), 2);
  QVERIFY(rtf.contains("\\cellx1080"));
  QVERIFY(rtf.contains("\\cellx3960"));
  QVERIFY(rtf.contains("{\\f0\\fs20\\b Pos}\\cell"));
  QCOMPARE(rtf.count("\\row"), 1);
  // The plain line is a paragraph with a centre stop and a left stop.
  QVERIFY(rtf.contains("\\tqc\\tx720\\tx1080"));
  QVERIFY(rtf.contains("\\tab{\\f0\\fs20 1}\\tab{\\f0\\fs20 \\{Zo\\'eb\\} \\\\ \\'80 \\u321?}"));
  QCOMPARE(rtf.count("\\pagebb"), 1);
  QCOMPARE(filer.CurrentPage(), 2);
  // The picture stretched into its rectangle on the page: 7.5 by 9 inches from (0.5, 0.5).
  QVERIFY(rtf.contains("\\phpg\\posx720\\pvpg\\posy720\\absw10800\\absh-12960"));
  QVERIFY(rtf.contains("{\\pict\\pngblip\\picw80\\pich60\\picwgoal10800\\pichgoal12960"));
}

void TestEngine::rtfWrittenWholeOrNotAtAll() {
  QTemporaryDir dir;
  TRTFFiler filer;
  filer.OnPrint = [](TBaseReport& w) {
    w.AddTabStop(0, TBaseReport::kJustifyLeft, 8, 0, 0, 0);
    w.PrintInNextTab(QStringLiteral("new"));
  };
  const QString path = dir.filePath("report.rtf");
  QFile old(path);
  QVERIFY(old.open(QIODevice::WriteOnly));
  old.write("old contents");
  old.close();
  filer.FileName = path;
  QVERIFY(filer.Run());
  QVERIFY(Read(path).contains("new"));

  filer.FileName = dir.filePath("no such folder/report.rtf");
  QVERIFY(!filer.Run());
  QVERIFY(filer.ErrorString().contains("no such folder"));
  QVERIFY(!QFile::exists(filer.FileName));

  // A long report goes to the file as it is made, part by part: whole when the disk takes
  // it, and when the disk fills up part of the way, the old file stays and the reason is told.
  filer.FileName = path;
  filer.OnPrint = [](TBaseReport& w) {
    w.AddTabStop(0, TBaseReport::kJustifyLeft, 8, 0, 0, 0);
    for (int line = 0; line < 40000; ++line) {
      w.PrintInNextTab(QStringLiteral("line %1 of a long report").arg(line));
      w.NextLine();
    }
  };
  const LimitedChild::TResult full = LimitedChild::Run(1 << 20, [&](QByteArray& report) {
    const bool written = filer.Run();
    report = filer.ErrorString().toUtf8();
    return written ? 0 : 1;
  });
  QCOMPARE(full.Status, 1);
  QVERIFY2(full.Written.contains("File too large"), full.Written.constData());
  QVERIFY(Read(path).contains("new"));
  QVERIFY(filer.Run());
  const QByteArray whole = Read(path);
  QVERIFY(whole.size() > 2 << 20);
  QVERIFY(whole.contains("line 0 of"));
  QVERIFY(whole.contains("line 39999 of"));
  QVERIFY(whole.trimmed().endsWith('}'));

  TReportSystem system;
  system.OnPrint = filer.OnPrint;
  QString error;
  QVERIFY(!system.RunToPdf(dir.filePath("missing/out.pdf"), &error));
  QVERIFY(!error.isEmpty());
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"report.rtf"});
}

void TestEngine::pdfHasEveryPage() {
  QTemporaryDir dir;
  TRowsReport report(200, 2);
  TReportSystem system;
  system.OnPrint = [&](TBaseReport& w) { report.Shell.Run(w); };
  TRecordingReport pages;
  system.Generate(pages);
  QVERIFY(pages.PageCount() > 1);
  const QString path = dir.filePath("rows.pdf");
  QVERIFY(system.RunToPdf(path));
  const QByteArray pdf = Read(path);
  QVERIFY(pdf.startsWith("%PDF"));
  QCOMPARE(PdfPageCount(pdf), pages.PageCount());
}

QTEST_MAIN(TestEngine)
#include "tst_engine.moc"
