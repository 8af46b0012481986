#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <limits>

#include "BracketList.h"
#include "CliRunner.h"
#include "FFDataModule.h"
#include "FakeHelp.h"
#include "FakePrompts.h"
#include "FakeReportUi.h"
#include "OpenPool.h"
#include "Outlook.h"
#include "PickPopularity.h"
#include "PoolReports.h"
#include "PrintReportForm.h"
#include "RecordingReport.h"
#include "ReportFonts.h"
#include "SamplePool.h"
#include "StandingsHistory.h"
#include "TestPools.h"

namespace {
using TKind = TRecordingReport::TKind;
using TRecord = TRecordingReport::TRecord;

enum TReport {
  BlankEntry,
  Points,
  Potential,
  PointsFinal4,
  PotentialFinal4,
  Selections,
  WhoCanStillWin,
  ByRound,
  Popularity
};

const QString kHeadings =
    QStringLiteral("Pos|Player Name|Total|Rd 1|Rd 2|Rd 3|Rd 4|Rd 5|Rd 6|TB pts|+/-");

// The titles of the reports after the blank entry sheet, in catalogue order.
const QStringList kTitles = {"Standings by Current Points",
                             "Standings by Potential Points Remaining",
                             "Point Standings With Final 4 Selections",
                             "Potential Points With Final 4 Selections", "Player Selections"};

int PdfPageCount(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return -1;
  const QByteArray pdf = file.readAll();
  static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
  return static_cast<int>(QString::fromLatin1(pdf).count(page));
}

// The cells of one page, as records.
std::vector<TRecord> Cells(const TRecordingReport& writer, int page) {
  std::vector<TRecord> cells;
  for (const TRecord& record : writer.Records()) {
    if (record.Kind == TKind::Cell && record.Page == page)
      cells.push_back(record);
  }
  return cells;
}

const TRecord* FindCell(const TRecordingReport& writer, const QString& text, int page = 0) {
  for (const TRecord& record : writer.Records()) {
    if (record.Kind == TKind::Cell && record.Text == text && (page == 0 || record.Page == page)) {
      return &record;
    }
  }
  return nullptr;
}

// The start of the line of the who-can-still-win table for row `row`, through the chance and,
// when drawn, its interval.
QString TableRow(const TOutlookResult& outlook, size_t row, bool counts) {
  const TOutlookPlayer& player = outlook.Players[row];
  QString line =
      QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9|")
          .arg(row + 1)
          .arg(player.Name)
          .arg(player.Current)
          .arg(player.Max)
          .arg(player.BestPlace)
          .arg(player.WorstPlace)
          .arg(FormatOutcomes(outlook, player.Won, counts),
               FormatOutcomes(outlook, player.Tied, counts), FormatChance(player.WinChance));
  if (!outlook.Exact)
    line += FormatInterval(player.ChanceLow, player.ChanceHigh) + QLatin1Char('|');
  return line;
}

bool HasLineStarting(const QStringList& lines, const QString& start) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const QString& line) { return line.startsWith(start); });
}

// The lines of the recorded text of a page.
QStringList PageLines(const TRecordingReport& writer, int page) {
  return writer.Text().split(QStringLiteral("<page>\n")).at(page - 1).split(QLatin1Char('\n'));
}
}  // namespace

class TestReports : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void windowStartsWithNothingChosen();
  void windowShownWithNothingChosenUntilClicked();
  void reportsRefusedWhileFirstRoundOpen();
  void rtfFilesGoToTheOpenPoolsFolder();
  void rtfFileThatCannotBeWritten();
  void printerRunsThroughSetup();
  void savedAsPdf();

  void eachReportIsHeadedByItsTitle();
  void standingsHeadingAndRows();
  void tieBreakerColumn();
  void poolWithoutPlayers();
  void continuationHeadingsOnPaperNotInRtf();
  void final4Lines();
  void selectionsList();
  void longNamesPrintWholeAndReadable();
  void blankEntrySheet();

  void rtfReportsOpenInLibreOffice();
  void pdfOfEveryReport();
  void commandLineReport();
  void whoCanStillWinLayout();
  void whoCanStillWinContinues();
  void whoCanStillWinSampled();
  void whoCanStillWinFromTheWindow();
  void byRoundLayout();
  void byRoundContinuesOnPaper();
  void popularityLayout();
  void roundReportsInPdfAndInLibreOffice();

 private:
  // A pool in the temporary folder, held as the main window holds it.
  void MakePool(int players, int playedRounds, int32_t actualTotal, bool locked = true);
  // The pool as each test fills it in, handed to the document first: the reports only read it.
  TFFDataModule& Pool() { return *FModule; }
  TRecordingReport& Record(TReport report);
  TRecordingReport& RecordRtf(TReport report);

  std::unique_ptr<QTemporaryDir> FDir;
  std::unique_ptr<TOpenPool> FPool;
  TFFDataModule* FModule = nullptr;
  std::unique_ptr<TPoolReports> FReports;
  TRecordingReport FWriter;
  TFakePrompts FPrompts;
  TFakeReportUi FUi;
  TFakeHelp FHelp;
};

void TestReports::init() {
  FDir = std::make_unique<QTemporaryDir>();
  FPool = std::make_unique<TOpenPool>();
  FPrompts.Reset();
  FUi = TFakeReportUi();
  TPrompts::Install(&FPrompts);
  TReportUi::Install(&FUi);
  THelp::Install(&FHelp);
}

void TestReports::cleanup() {
  FReports.reset();
  FPool.reset();
  TPrompts::Install(nullptr);
  TReportUi::Install(nullptr);
  THelp::Install(nullptr);
}

void TestReports::MakePool(int players, int playedRounds, int32_t actualTotal, bool locked) {
  auto module = TestPools::CreatePool(FDir->path());
  FModule = module.get();
  FPool->SetDataModule(std::move(module));
  SamplePool::Fill(Pool(), players, playedRounds, actualTotal);
  Pool().SystemFile().SetFinalized(locked);
  FReports = std::make_unique<TPoolReports>(*FPool);
}

TRecordingReport& TestReports::Record(TReport report) {
  FReports->ReportSystem(report).Generate(FWriter);
  return FWriter;
}

TRecordingReport& TestReports::RecordRtf(TReport report) {
  TRTFFiler& filer = *FReports->RtfFiler(report);
  FWriter.SetMargins(filer.TopMargin, filer.BottomMargin);
  FWriter.Generate(filer);
  return FWriter;
}

void TestReports::windowStartsWithNothingChosen() {
  MakePool(0, 0, 0);
  TfrmPrintReport form(*FPool);
  QCOMPARE(form.windowTitle(), QStringLiteral("Print Report"));
  QStringList texts;
  for (int i = 0; i < form.lstReportNames->count(); ++i)
    texts << form.lstReportNames->item(i)->text();
  QCOMPARE(
      texts,
      QStringList({"Blank Entry Sheet", "Standings - Point Total",
                   "Standings - Potential Point Total", "Standings - Points with Final 4",
                   "Standings - Potential with Final 4", "Selections List",
                   "Standings - Who Can Still Win", "Standings - By Round", "Pick Popularity"}));
  // All nine show without scrolling.
  QCOMPARE(form.lstReportNames->visualItemRect(form.lstReportNames->item(Popularity)).bottom() <
               form.lstReportNames->viewport()->height(),
           true);
  QCOMPARE(form.lstReportNames->currentRow(), -1);
  QVERIFY(!form.btnPrint->isEnabled());
  QVERIFY(!form.chkPrintToFile->isChecked());

  form.lstReportNames->setCurrentRow(Selections);
  QVERIFY(form.btnPrint->isEnabled());
  QVERIFY(form.chkPrintToFile->isEnabled());
  form.chkPrintToFile->setChecked(true);
  // The blank entry sheet has no file output: the box is disabled but keeps its tick.
  form.lstReportNames->setCurrentRow(BlankEntry);
  QVERIFY(!form.chkPrintToFile->isEnabled());
  QVERIFY(form.chkPrintToFile->isChecked());
  form.btnPrintClick();
  QCOMPARE(FUi.PreviewCount(), 1);
  QVERIFY(FPrompts.Shown().isEmpty());
  QVERIFY(QDir(FDir->path()).entryList({"*.rtf"}).isEmpty());

  form.btnHelpClick();
  QCOMPARE(FHelp.Contexts(), QList<int>{400});
}

// Shown for real, the list takes the focus; that must not choose a report by itself.
void TestReports::windowShownWithNothingChosenUntilClicked() {
  MakePool(0, 0, 0);
  TfrmPrintReport form(*FPool);
  form.show();
  form.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&form));
  QVERIFY(form.lstReportNames->hasFocus());
  QCOMPARE(form.lstReportNames->currentRow(), -1);
  QVERIFY(!form.btnPrint->isEnabled());
  QVERIFY(form.chkPrintToFile->isEnabled());

  const QRect second = form.lstReportNames->visualItemRect(form.lstReportNames->item(Points));
  QTest::mouseClick(form.lstReportNames->viewport(), Qt::LeftButton, {}, second.center());
  QCOMPARE(form.lstReportNames->currentRow(), int(Points));
  QVERIFY(form.btnPrint->isEnabled());
  // How the games are weighed is chosen for Who Can Still Win alone.
  QVERIFY(!form.cboModel->isEnabled());
  const QRect canWin =
      form.lstReportNames->visualItemRect(form.lstReportNames->item(WhoCanStillWin));
  QTest::mouseClick(form.lstReportNames->viewport(), Qt::LeftButton, {}, canWin.center());
  QVERIFY(form.cboModel->isEnabled());
  form.cboModel->setFocus();
  QTest::keyClick(form.cboModel, Qt::Key_Down);
  QCOMPARE(form.cboModel->currentIndex(), int(TfrmPrintReport::kModelSeed));
  QCOMPARE(form.Reports().OutlookOptions.Model, TOutlookModel::Seed);
}

void TestReports::reportsRefusedWhileFirstRoundOpen() {
  MakePool(3, 0, 0, false);
  TfrmPrintReport form(*FPool);
  for (const bool toFile : {false, true}) {
    form.chkPrintToFile->setChecked(toFile);
    for (int p = Points; p <= WhoCanStillWin; ++p) {
      FPrompts.Reset();
      form.lstReportNames->setCurrentRow(p);
      form.btnPrintClick();
      QCOMPARE(FPrompts.Shown().size(), 1);
      const auto& shown = FPrompts.Shown().front();
      QCOMPARE(shown.Text,
               QStringLiteral("First Round must be locked prior to selecting this report"));
      QCOMPARE(shown.Title, QStringLiteral("Courtsider 99"));
      QCOMPARE(shown.ButtonSet, TPrompts::Buttons::OkCancel);
      QCOMPARE(shown.IconKind, TPrompts::Icon::None);
    }
  }
  QCOMPARE(FUi.SetupTitles().size(), 0);
  QVERIFY(QDir(FDir->path()).entryList({"*.rtf"}).isEmpty());
  // The blank entry sheet prints whatever the state of the first round.
  FPrompts.Reset();
  form.lstReportNames->setCurrentRow(BlankEntry);
  form.btnPrintClick();
  QVERIFY(FPrompts.Shown().isEmpty());
  QCOMPARE(FUi.PreviewCount(), 1);
}

void TestReports::rtfFilesGoToTheOpenPoolsFolder() {
  MakePool(4, 1, 0);
  TestPools::WriteBytes(QDir(FDir->path()).filePath("stndpts.rtf"), "an older report");
  TfrmPrintReport form(*FPool);
  form.FormActivate();
  form.chkPrintToFile->setChecked(true);
  const QStringList files = {"stndpts.rtf", "stndpot.rtf", "ptsfinl4.rtf", "potfinl4.rtf",
                             "sellist.rtf"};
  for (int p = Points; p <= Selections; ++p) {
    FPrompts.Reset();
    form.lstReportNames->setCurrentRow(p);
    form.btnPrintClick();
    // The box names the file written, by its full path, and belongs to the window.
    const QString written = QDir(FDir->path()).absoluteFilePath(files[p - 1]);
    QCOMPARE(FPrompts.Texts(),
             QStringList{"Report Printed\n\n" + QDir::toNativeSeparators(written)});
    QCOMPARE(FPrompts.Shown().front().Title, QStringLiteral("Courtsider 99"));
    QCOMPARE(FPrompts.Shown().front().Asker, &form);
    const QByteArray rtf = TestPools::ReadBytes(written);
    QVERIFY(rtf.startsWith("{\\rtf1"));
    QVERIFY(rtf.contains(SamplePool::PlayerName(3).toLatin1()));
  }
  QCOMPARE(FUi.SetupTitles().size(), 0);

  // Another pool opened: the same report now goes into its folder.
  QTemporaryDir other;
  auto module = TestPools::CreatePool(other.path());
  SamplePool::Fill(*module, 2, 0, 0);
  FModule = module.get();
  FPool->SetDataModule(std::move(module));
  form.FormActivate();
  form.lstReportNames->setCurrentRow(Points);
  form.btnPrintClick();
  QVERIFY(QFile::exists(QDir(other.path()).filePath("stndpts.rtf")));
}

void TestReports::rtfFileThatCannotBeWritten() {
  MakePool(2, 0, 0);
  TfrmPrintReport form(*FPool);
  Pool().SetDirectory(QDir(FDir->path()).filePath("gone"));
  form.FormActivate();
  form.chkPrintToFile->setChecked(true);
  form.lstReportNames->setCurrentRow(Potential);
  form.btnPrintClick();
  QCOMPARE(FPrompts.Shown().size(), 1);
  QVERIFY(FPrompts.Shown().front().Text.contains("stndpot.rtf"));
  QVERIFY(!FPrompts.Shown().front().Text.startsWith("Report Printed"));
  QCOMPARE(FPrompts.Shown().front().Asker, &form);
  QVERIFY(!QDir(FDir->path()).exists("gone"));
}

void TestReports::printerRunsThroughSetup() {
  MakePool(5, 1, 0);
  TfrmPrintReport form(*FPool);
  form.lstReportNames->setCurrentRow(PointsFinal4);
  FUi.CancelSetup();
  form.btnPrintClick();
  QCOMPARE(FUi.SetupTitles(), QStringList{"Report Setup"});
  QCOMPARE(FUi.PreviewCount(), 0);
  QVERIFY(FUi.StatusTexts().isEmpty());
  QVERIFY(FPrompts.Shown().isEmpty());

  const QString pdf = QDir(FDir->path()).filePath("printed.pdf");
  FUi.ChoosePrinter(pdf);
  form.btnPrintClick();
  QCOMPARE(PdfPageCount(pdf), 1);
  QCOMPARE(FUi.StatusTexts(), QStringList{"Printing page 1"});
  QVERIFY(FPrompts.Shown().isEmpty());
}

// With no printer at all, a report can still be saved as PDF from the setup, by default in
// the pool's folder, named as its RTF file is; the message says where it went.
void TestReports::savedAsPdf() {
  MakePool(5, 1, 0);
  TfrmPrintReport form(*FPool);
  form.FormActivate();
  form.lstReportNames->setCurrentRow(PointsFinal4);
  const QString pdf = QDir(FDir->path()).filePath("chosen.pdf");
  FUi.ChoosePdf(pdf);
  form.btnPrintClick();
  QCOMPARE(FUi.ProposedPdf(), QDir(FDir->path()).filePath("ptsfinl4.pdf"));
  QCOMPARE(PdfPageCount(pdf), 1);
  QCOMPARE(FUi.StatusTexts(), QStringList{"Printing page 1"});
  QCOMPARE(FPrompts.Texts(), QStringList{"Report Printed\n\n" + QDir::toNativeSeparators(pdf)});

  // The blank entry sheet too; a file that cannot be written is refused with the reason.
  FPrompts.Reset();
  form.lstReportNames->setCurrentRow(BlankEntry);
  FUi.ChoosePdf(QDir(FDir->path()).filePath("no folder/entry.pdf"));
  form.btnPrintClick();
  QCOMPARE(FUi.ProposedPdf(), QDir(FDir->path()).filePath("entry.pdf"));
  QCOMPARE(FPrompts.Shown().size(), 1);
  QVERIFY(FPrompts.Texts().front().startsWith("Cannot write"));
  QCOMPARE(FPrompts.Shown().front().IconKind, TPrompts::Icon::Stop);
}

// Each report prints the data set it is named after: its title under the pool name.
void TestReports::eachReportIsHeadedByItsTitle() {
  MakePool(2, 1, 0);
  for (int p = Points; p <= Selections; ++p) {
    const QStringList lines = PageLines(RecordRtf(static_cast<TReport>(p)), 1);
    QCOMPARE(lines.mid(0, 2), QStringList({"Tarnwell Office Pool", kTitles[p - 1]}));
  }
}

void TestReports::standingsHeadingAndRows() {
  MakePool(0, 0, 0);
  TestPools::AddPlayer(Pool(), QStringLiteral("Quinn"), 130);
  TestPools::AddPlayer(Pool(), QStringLiteral("A player whose name runs far past two inches"), 140);
  const TRecordingReport& writer = Record(Points);
  // Three empty lines from the first page's new-page event, then the heading block.
  QCOMPARE(PageLines(writer, 1).mid(0, 9),
           QStringList({"", "", "", "Tarnwell Office Pool", "Standings by Current Points", "",
                        kHeadings, "", "1|Quinn|0|0|0|0|0|0|0|130"}));
  const TRecord* pool = FindCell(writer, "Tarnwell Office Pool");
  QCOMPARE(pool->Font.Name, QStringLiteral("Arial Black"));
  QCOMPARE(pool->Font.Size, 16.0);
  QCOMPARE(pool->Stop.Width, 8.5);
  QCOMPARE(pool->Stop.Justify, TBaseReport::kJustifyCenter);
  QCOMPARE(FindCell(writer, "Standings by Current Points")->Font.Size, 12.0);
  const TRecord* heading = FindCell(writer, "Rd 6");
  QCOMPARE(heading->Stop.Position, 6.0);
  QCOMPARE(heading->Stop.BoxLines, TBaseReport::kBoxAll);
  QCOMPARE(heading->Font.Name, QStringLiteral("Arial Black"));
  QCOMPARE(FindCell(writer, "+/-")->Stop.Position, 7.0);

  const TRecord* name = FindCell(writer, "Quinn");
  QCOMPARE(name->Stop.Position, 0.75);
  QCOMPARE(name->Stop.Justify, TBaseReport::kJustifyLeft);
  QCOMPARE(name->Stop.BoxLines, 0);
  QCOMPARE(name->Font.Name, QStringLiteral("Arial"));
  const auto cells = Cells(writer, 1);
  const auto row = std::find_if(cells.begin(), cells.end(),
                                [name](const TRecord& r) { return r.Top == name->Top; });
  QCOMPARE(row->Text, QStringLiteral("1"));
  QCOMPARE((row + 2)->Font.Name, QStringLiteral("Arial Black"));  // the total
  QCOMPARE((row + 3)->Font.Name, QStringLiteral("Arial"));
  // The long name is printed whole, in a smaller size that fits its column.
  const TRecord& fitted = *(cells.end() - 9);
  QCOMPARE(fitted.Text, QStringLiteral("A player whose name runs far past two inches"));
  QVERIFY(fitted.Font.Size < 10);
  QCOMPARE(fitted.Font.Name, QStringLiteral("Arial"));
  QVERIFY(ReportFonts::TextWidth(ReportFonts::Resolve("Arial", fitted.Font.Size), fitted.Text) <=
          2.0);

  // A complete chart with no result yet: the potential report counts every pick.
  MakePool(1, 0, 0);
  const TRecordingReport& potential = Record(Potential);
  QCOMPARE(PageLines(potential, 1).mid(3, 2),
           QStringList({"Tarnwell Office Pool", "Standings by Potential Points Remaining"}));
  QVERIFY(
      PageLines(potential, 1)
          .at(8)
          .startsWith(QStringLiteral("1|%1|192|32|16|8|4|2|1|").arg(SamplePool::PlayerName(0))));
}

void TestReports::tieBreakerColumn() {
  MakePool(0, 0, 0);
  TestPools::AddPlayer(Pool(), QStringLiteral("Under"), 145);
  TestPools::AddPlayer(Pool(), QStringLiteral("Over"), 160);
  // Not entered: ten cells per row, the "+/-" heading printed over nothing.
  QCOMPARE(PageLines(Record(Points), 1).mid(6),
           QStringList({kHeadings, "", "1|Under|0|0|0|0|0|0|0|145", "2|Over|0|0|0|0|0|0|0|160"}));
  Pool().SystemFile().SetTieBreakerPoints(150);
  QCOMPARE(PageLines(Record(Points), 1).mid(8),
           QStringList({"1|Under|0|0|0|0|0|0|0|145|-5", "2|Over|0|0|0|0|0|0|0|160|10"}));
  QCOMPARE(FindCell(FWriter, "-5")->Stop.Position, 7.0);

  // Guesses and a total at the ends of the stored range: every standings report prints the
  // true difference, cut to its column (a 32-bit subtraction would overflow, which the
  // sanitizer stops, or wrap to 1 without it).
  Pool().SystemFile().SetTieBreakerPoints(std::numeric_limits<int32_t>::max());
  Pool().PlayerPicksFile().Items(0)->SetTieBreakerPoints(std::numeric_limits<int32_t>::min());
  Pool().PlayerPicksFile().Items(1)->SetTieBreakerPoints(-1);
  for (const TReport report : {Points, Potential, PointsFinal4, PotentialFinal4}) {
    const TRecordingReport& writer = Record(report);
    const QString page = PageLines(writer, 1).join('\n');
    QVERIFY2(page.contains("|Under|") && page.contains("|-4294967"), qPrintable(page));
  }
  // The nearer guess comes first among equal totals, however far both are.
  QVERIFY(PageLines(Record(Points), 1).join('\n').indexOf("|Over|") <
          PageLines(Record(Points), 1).join('\n').indexOf("|Under|"));
}

void TestReports::poolWithoutPlayers() {
  MakePool(0, 0, 0);
  for (const TReport report : {Points, Potential}) {
    QCOMPARE(PageLines(Record(report), 1).mid(6), QStringList({kHeadings, ""}));
    QCOMPARE(FWriter.PageCount(), 1);
  }
  QCOMPARE(PageLines(Record(PointsFinal4), 1).mid(7),
           QStringList({kHeadings, "Final 4|Finals|Champ", ""}));
  QCOMPARE(PageLines(Record(Selections), 1),
           QStringList({"", "", "Tarnwell Office Pool", "Player Selections"}));
  QCOMPARE(PageLines(RecordRtf(Selections), 1),
           QStringList({"Tarnwell Office Pool", "Player Selections"}));
}

void TestReports::continuationHeadingsOnPaperNotInRtf() {
  MakePool(200, 2, 0);
  const TRecordingReport& paper = Record(Points);
  QVERIFY(paper.PageCount() >= 3);
  for (int page = 2; page <= paper.PageCount(); ++page) {
    const QStringList lines = PageLines(paper, page);
    QCOMPARE(lines.mid(0, 4),
             QStringList({"Standings by Current Points (cont.)", "", kHeadings, ""}));
    QVERIFY(!lines.contains("Tarnwell Office Pool"));
  }
  int printed = 0;
  for (const TRecord& record : paper.Records()) {
    if (record.Kind == TKind::Cell && record.Stop.Position == 0.75 && record.Stop.BoxLines == 0) {
      ++printed;
    }
  }
  QCOMPARE(printed, 200);

  const TRecordingReport& rtf = RecordRtf(Points);
  QVERIFY(PageLines(rtf, 1).first() == "Tarnwell Office Pool");
  QVERIFY(rtf.PageCount() >= 2);
  for (int page = 2; page <= rtf.PageCount(); ++page) {
    // The row starts the page: its line advance comes first, then its cells.
    const QStringList lines = PageLines(rtf, page);
    QCOMPARE(lines.first(), QString());
    QVERIFY(lines.at(1).contains(QRegularExpression("^\\d+\\|")));
  }
  // Rows are never cut at the bottom: the line of every row lies above the bottom margin.
  for (const TRecord& record : rtf.Records()) {
    if (record.Kind == TKind::Cell)
      QVERIFY(record.Top + 10 * 1.2 / 72 <= 11 - 0.25 + 1e-9);
  }
}

void TestReports::final4Lines() {
  MakePool(0, 0, 0);
  // A champion of the longest name a team may have.
  Pool().TeamsFile().Items(0)->SetTeamName(QStringLiteral("Southeastern Louisiana A&M Lions 22"));
  TPlayerPicksListObject* player = TestPools::AddPlayer(Pool(), QStringLiteral("Finn"), 150);
  // The champion from the top line of the chart, the other finalist from the second region,
  // the other two of the last four from the lower half.
  const auto team = [&](int i) { return Pool().TeamsFile().Items(i)->TeamName(); };
  player->Pick(0)->SetRoundReached(7);
  player->Pick(16)->SetRoundReached(6);
  player->Pick(32)->SetRoundReached(5);
  player->Pick(48)->SetRoundReached(5);
  const QString finalLine =
      QStringList({team(0), team(16), team(32), team(48), team(0), team(16), team(0)}).join('|');
  TestPools::AddPlayer(Pool(), QStringLiteral("Nobody"), 120);
  for (const TReport report : {PointsFinal4, PotentialFinal4}) {
    const QStringList lines = PageLines(Record(report), 1);
    QCOMPARE(lines.mid(0, 4), QStringList({"", "", "", ""}));
    QCOMPARE(lines.at(7), kHeadings);
    QCOMPARE(lines.at(8), QStringLiteral("Final 4|Finals|Champ"));
    QCOMPARE(lines.at(9), QString());
    const int finn = lines.indexOf(QRegularExpression("^\\d\\|Finn\\|.*"));
    QVERIFY(finn > 0);
    // Each name whole: the longest goes on under itself in its own column.
    QStringList columns(7);
    for (int line = finn + 1;
         line < lines.size() && !lines.at(line).contains(QRegularExpression("^\\d\\|")); ++line) {
      const QStringList cells = lines.at(line).split('|');
      for (int c = 0; c < cells.size() && c < 7; ++c)
        columns[c] += cells.at(c);
    }
    QCOMPARE(columns.join('|'), finalLine);
    // All of its lines in one size, the smallest (the points are no part of it).
    for (const TRecord& record : FWriter.Records()) {
      if (record.Text.size() > 3 && team(0).contains(record.Text))
        QCOMPARE(record.Font.Size, TBaseReport::kSmallestSize);
    }
    const int nobody = lines.indexOf(QRegularExpression("^\\d\\|Nobody\\|.*"));
    QCOMPARE(lines.at(nobody + 1), QStringLiteral("||||||"));
  }
  const TRecord* boxed = FindCell(FWriter, "Finals");
  QCOMPARE(boxed->Stop.Position, 4.75);
  QCOMPARE(boxed->Stop.Width, 2.0);
  QCOMPARE(boxed->Stop.BoxLines, TBaseReport::kBoxAll);
  const auto cells = Cells(FWriter, 1);
  // The champion's first line in its column, in the heading's font and within its width.
  const auto champion = std::find_if(cells.begin(), cells.end(), [&](const TRecord& r) {
    return r.Stop.Position == 6.75 && !r.Text.isEmpty() && team(0).startsWith(r.Text);
  });
  QVERIFY(champion != cells.end());
  QCOMPARE(champion->Font.Name, QStringLiteral("Arial Black"));
  QVERIFY(ReportFonts::TextWidth(ReportFonts::Resolve("Arial Black", champion->Font.Size),
                                 champion->Text.trimmed()) <= 1.0);
  QVERIFY(std::any_of(cells.begin(), cells.end(), [&](const TRecord& r) {
    return r.Text == team(16) && r.Stop.Position == 1.75 && r.Font.Name == "Arial";
  }));
}

void TestReports::selectionsList() {
  MakePool(1, 0, 0);  // one player with a complete chart
  // Names short enough for sixteen picks to a line.
  for (int i = 0; i < 64; ++i) {
    const QString name = QStringLiteral("Team %1").arg(i);
    Pool().TeamsFile().Items(i)->SetTeamName(name);
    Pool().PlayerPicksFile().Items(0)->Pick(i)->SetTeamName(name);
  }
  TPlayerPicksListObject* single = TestPools::AddPlayer(Pool(), QStringLiteral("Solo"), 100);
  single->Pick(5)->SetRoundReached(7);
  TestPools::AddPlayer(Pool(), QStringLiteral("Empty"), 100);
  const QString team = single->Pick(5)->TeamName();

  const QStringList lines = PageLines(RecordRtf(Selections), 1);
  QCOMPARE(lines.at(0), QStringLiteral("Tarnwell Office Pool"));
  // The first player's name comes right under the title line.
  QCOMPARE(lines.at(1), QStringLiteral("Player Selections"));
  QCOMPARE(lines.at(2), SamplePool::PlayerName(0));
  QStringList rd1 = lines.at(3).split('|');
  QCOMPARE(rd1.size(), 17);
  QCOMPARE(rd1.first(), QStringLiteral("Rd 1"));
  QStringList wrapped = lines.at(4).split('|');
  QCOMPARE(wrapped.size(), 17);
  QCOMPARE(wrapped.first(), QString());
  // Later rounds fit one line: the label, then the picks from the first column on and the
  // remaining columns empty.
  for (int round = 2, count = 16; round <= 6; ++round, count /= 2) {
    const QStringList cells = lines.at(3 + round).split('|');
    QCOMPARE(cells.size(), 17);
    QCOMPARE(cells.first(), QStringLiteral("Rd %1").arg(round));
    QCOMPARE(cells.mid(1, count).filter(QRegularExpression(".+")).size(), count);
    QCOMPARE(cells.mid(1 + count), QStringList(16 - count, QString()));
  }
  // One empty line between players, then the one-pick player: the team in every round.
  QCOMPARE(lines.at(10), QString());
  QCOMPARE(lines.at(11), QStringLiteral("Solo"));
  for (int round = 1; round <= 6; ++round) {
    QCOMPARE(lines.at(11 + round).split('|').mid(0, 3),
             QStringList({QStringLiteral("Rd %1").arg(round), team, QString()}));
  }
  QCOMPARE(lines.at(19), QStringLiteral("Empty"));
  for (int round = 1; round <= 6; ++round) {
    QCOMPARE(lines.at(19 + round).split('|').filter(QRegularExpression(".+")),
             QStringList{QStringLiteral("Rd %1").arg(round)});
  }
  const TRecord* label = FindCell(FWriter, "Rd 3");
  QCOMPARE(label->Font.Name, QStringLiteral("Arial Black"));
  QCOMPARE(label->Font.Size, 6.0);
  QCOMPARE(label->Stop.Position, 0.25);
  // The first pick of the one-pick player: the cell after the first round's label.
  const TRecord* solo = FindCell(FWriter, "Solo");
  const auto soloCells = Cells(FWriter, 1);
  const auto soloAt = std::find_if(soloCells.begin(), soloCells.end(),
                                   [solo](const TRecord& r) { return r.Top == solo->Top; });
  const TRecord* pick = &*(soloAt + 2);
  QCOMPARE(pick->Text, team);
  QCOMPARE(pick->Font.Name, QStringLiteral("Arial"));
  QCOMPARE(pick->Font.Size, 6.0);
  QCOMPARE(pick->Stop.Position, 0.55);
  QCOMPARE(FindCell(FWriter, "Solo")->Font.Size, 10.0);
  QCOMPARE(FindCell(FWriter, "Solo")->Stop.Position, 0.25);
  // The sixteenth pick of a line ends a quarter inch from the paper's right edge.
  const TRecord& sixteenth = *(soloAt + 17);
  QVERIFY(qAbs(sixteenth.Stop.Position + sixteenth.Stop.Width - 8.25) < 1e-9);

  // On paper the first page begins with two empty lines and later pages with the
  // continuation title; a player's block never starts with fewer than 8 lines left.
  MakePool(40, 0, 0);
  const TRecordingReport& paper = Record(Selections);
  QVERIFY(paper.PageCount() > 1);
  QCOMPARE(PageLines(paper, 1).mid(0, 3), QStringList({"", "", "Tarnwell Office Pool"}));
  for (int page = 2; page <= paper.PageCount(); ++page) {
    QCOMPARE(PageLines(paper, page).mid(0, 3), QStringList({"Player Selections (cont.)", "", ""}));
  }
  for (const TRecord& record : paper.Records()) {
    if (record.Kind != TKind::Cell)
      continue;
    QVERIFY2(record.Top + TBaseReport::LineHeightOf(record.Font) <= 11 - 0.25 + 1e-9,
             qPrintable(record.Text));
  }
}

// Team names of the longest kind: no text below 6 points, and each pick whole in its cell of
// the Selections List, the player's lines holding fewer of them.
void TestReports::longNamesPrintWholeAndReadable() {
  MakePool(1, 0, 0);
  TPlayerPicksListObject* player = Pool().PlayerPicksFile().Items(0);
  for (int i = 0; i < 64; ++i) {
    const QString name = QStringLiteral("Southeastern Louisiana Lions %1").arg(i);
    Pool().TeamsFile().Items(i)->SetTeamName(name);
    player->Pick(i)->SetTeamName(name);
  }
  const auto noneBelowTheFloor = [](const TRecordingReport& writer) {
    for (const TRecord& record : writer.Records()) {
      if (record.Kind == TKind::Cell && !record.Text.isEmpty())
        QVERIFY2(record.Font.Size >= 6, qPrintable(record.Text));
    }
  };
  noneBelowTheFloor(Record(PointsFinal4));
  const TRecordingReport& selections = Record(Selections);
  noneBelowTheFloor(selections);
  for (int i = 0; i < 64; ++i) {
    if (player->Pick(i)->RoundReached() >= 2)
      QVERIFY(FindCell(selections, player->Pick(i)->TeamName()));
  }
}

void TestReports::blankEntrySheet() {
  MakePool(0, 1, 0, false);
  // The teams were filled in behind the document, so its results chart shows none of them.
  const TBracketList& shared = *FPool->ResultsBracket();
  const TRecordingReport& writer = Record(BlankEntry);
  // The sheet draws on a chart of its own: the one a builder window shows stays as it was.
  for (int i = 0; i < shared.Count(); ++i)
    QVERIFY(!shared.Items(i)->Team());
  QCOMPARE(writer.PageCount(), 1);
  const auto bitmap = std::find_if(writer.Records().begin(), writer.Records().end(),
                                   [](const TRecord& r) { return r.Kind == TKind::Bitmap; });
  QVERIFY(bitmap != writer.Records().end());
  QCOMPARE(bitmap->Rect, QRectF(QPointF(0.5, 0.5), QPointF(8.0, 9.5)));
  QCOMPARE(bitmap->BitmapSize, QSize(800, 600));
  QCOMPARE(writer.CellTexts(1),
           QStringList({"Name  ____________________________", "Phone  ________________",
                        "Total Points Tie Breaker _______"}));
  const TRecord* name = FindCell(writer, "Name  ____________________________");
  QVERIFY(name->Top > 9.5);
  QCOMPARE(name->Font.Name, QStringLiteral("Arial Black"));
  QCOMPARE(name->Font.Size, 12.0);
  QCOMPARE(name->Stop.Position, 0.5);
  const TRecord* last = FindCell(writer, "Total Points Tie Breaker _______");
  QVERIFY(last->Top + 12 * 1.2 / 72 < 11.0);
}

void TestReports::rtfReportsOpenInLibreOffice() {
  const QString office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
  if (office.isEmpty())
    QSKIP("LibreOffice is not installed");
  MakePool(12, 2, 150);
  const QDir dir(FDir->path());
  FReports->SetRtfDirectory(dir.path());
  QStringList files;
  for (int p = Points; p <= Selections; ++p) {
    QVERIFY(FReports->RtfFiler(p)->Run());
    files << FReports->RtfFiler(p)->FileName;
  }
  QProcess process;
  process.setProcessEnvironment([&] {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // A profile of its own, so a running office elsewhere does not take the job.
    env.insert(QStringLiteral("HOME"), dir.path());
    return env;
  }());
  process.start(office, QStringList({"--headless", "--convert-to", "txt:Text (encoded):UTF8",
                                     "--outdir", dir.filePath("txt")}) +
                            files);
  QVERIFY(process.waitForFinished(600000));
  for (int p = Points; p <= Selections; ++p) {
    const QString txt = dir.filePath("txt/" + QFileInfo(files[p - 1]).completeBaseName() + ".txt");
    const QString text = QString::fromUtf8(TestPools::ReadBytes(txt));
    QVERIFY2(text.contains("Tarnwell Office Pool"), qPrintable(txt));
    QVERIFY(text.contains(kTitles[p - 1]));
    if (p < Selections) {
      for (const QString& heading : kHeadings.split('|'))
        QVERIFY2(text.contains(heading), qPrintable(heading));
      QVERIFY(text.contains("-"));
    } else {
      QVERIFY(text.contains("Rd 6"));
    }
    if (p == PointsFinal4 || p == PotentialFinal4)
      QVERIFY(text.contains("Champ"));
    for (int i = 0; i < 12; ++i) {
      QVERIFY2(text.contains(SamplePool::PlayerName(i)), qPrintable(SamplePool::PlayerName(i)));
    }
  }
}

void TestReports::pdfOfEveryReport() {
  // COURTSIDER_REPORT_PAGES names a folder that keeps the files for a look.
  const QString keep = qEnvironmentVariable("COURTSIDER_REPORT_PAGES");
  for (const int players : {12, 200}) {
    MakePool(players, 2, players == 12 ? 151 : 0);
    const QDir out(keep.isEmpty() ? FDir->path() : keep);
    out.mkpath(QStringLiteral("."));
    for (int p = BlankEntry; p <= Selections; ++p) {
      const QString pdf =
          out.filePath(QStringLiteral("%1-players-report-%2.pdf").arg(players).arg(p));
      QString error;
      QVERIFY2(FReports->ReportSystem(p).RunToPdf(pdf, &error), qPrintable(error));
      Record(static_cast<TReport>(p));
      QCOMPARE(PdfPageCount(pdf), FWriter.PageCount());
      if (p > BlankEntry && !keep.isEmpty()) {
        TRTFFiler& filer = *FReports->RtfFiler(p);
        filer.FileName =
            out.filePath(QStringLiteral("%1-players-report-%2.rtf").arg(players).arg(p));
        QVERIFY(filer.Run());
      }
    }
  }
}

void TestReports::commandLineReport() {
  MakePool(3, 1, 0, false);
  Pool().SavePool();
  const QString rtf = QDir(FDir->path()).filePath("out.rtf");
  const QString pdf = QDir(FDir->path()).filePath("out.pdf");
  // Every report but the blank entry sheet waits for the first round to be locked.
  for (const char* report : {"Standings - Point Total", "Standings - Potential Point Total",
                             "Standings - Points with Final 4",
                             "Standings - Potential with Final 4", "Selections List"}) {
    const TCliRun refused = RunTool({"report", FDir->path(), report, "--rtf", rtf});
    QCOMPARE(refused.Status, 1);
    QCOMPARE(refused.Err,
             QByteArray("First Round must be locked prior to selecting this report\n"));
    QVERIFY(!QFile::exists(rtf));
  }
  TCliRun run = RunTool({"report", FDir->path(), "Blank Entry Sheet", "--pdf", pdf});
  QCOMPARE(run.Status, 0);
  QCOMPARE(PdfPageCount(pdf), 1);
  run = RunTool({"report", FDir->path(), "Blank Entry Sheet", "--rtf", rtf});
  QCOMPARE(run.Status, 1);
  run = RunTool({"report", FDir->path(), "Standings", "--pdf", pdf});
  QCOMPARE(run.Status, 2);
  QVERIFY(run.Err.contains("\"Selections List\""));
  run = RunTool({"report", FDir->path(), "Selections List"});
  QCOMPARE(run.Status, 2);

  Pool().SystemFile().SetFinalized(true);
  Pool().SavePool();
  run = RunTool({"report", FDir->path(), "Standings - Point Total", "--rtf", rtf});
  QCOMPARE(run.Status, 0);
  QVERIFY(TestPools::ReadBytes(rtf).contains("Standings by Current Points"));
  run = RunTool({"report", FDir->path(), "Selections List", "--pdf", pdf});
  QCOMPARE(run.Status, 0);
  QVERIFY(PdfPageCount(pdf) >= 1);
  run = RunTool({"report", FDir->path(), "Selections List", "--pdf",
                 QDir(FDir->path()).filePath("no folder/out.pdf")});
  QCOMPARE(run.Status, 1);
  QVERIFY(!run.Err.isEmpty());
}

// The table as the outlook gives it, then the rooting guide of the players who can still
// win, under headings in boxes, a quarter inch from either side of the paper.
void TestReports::whoCanStillWinLayout() {
  MakePool(12, 2, 0);
  const TOutlookResult outlook = ComputeOutlook(TOutlookInput::FromPool(Pool()), TOutlookOptions{});
  QCOMPARE(outlook.GamesLeft, 15);
  const TRecordingReport& writer = Record(WhoCanStillWin);
  const QString headings =
      QStringLiteral("Pos|Player Name|Now|Max|Best|Worst|Won|Tied|Win %|Champions");
  QCOMPARE(PageLines(writer, 1).mid(0, 9),
           QStringList({"", "", "", "Tarnwell Office Pool", "Who Can Still Win",
                        OutlookSummary(outlook), "", headings, ""}));
  QCOMPARE(FindCell(writer, "Who Can Still Win")->Font.Size, 12.0);
  QCOMPARE(FindCell(writer, "Win %")->Stop.BoxLines, TBaseReport::kBoxAll);
  QCOMPARE(FindCell(writer, "Pos")->Stop.Position, 0.25);
  const TTabStop& last = FindCell(writer, "Champions")->Stop;
  QVERIFY(qAbs(last.Position + last.Width - 8.25) < 1e-9);
  const QStringList lines = writer.Text().split('\n');
  // 2^15 outcomes: the Won and Tied columns hold counts, their thousands marked.
  for (size_t row = 0; row < outlook.Players.size(); ++row)
    QVERIFY2(HasLineStarting(lines, TableRow(outlook, row, true)),
             qPrintable(TableRow(outlook, row, true)));
  // The rooting guide: a line for each player who can still win, with the results of the
  // next round that help most.
  QVERIFY(lines.contains("Rooting Guide"));
  QVERIFY(lines.contains("Pos|Player Name|Win %|Root for in Rd 3 (win % if that team wins)"));
  int rooted = 0;
  for (size_t row = 0; row < outlook.Players.size(); ++row) {
    const TOutlookPlayer& player = outlook.Players[row];
    const QString start =
        QStringLiteral("%1|%2|%3|").arg(row + 1).arg(player.Name, FormatChance(player.WinChance));
    const bool listed = HasLineStarting(lines, start);
    QCOMPARE(listed, player.WinChance > 0);
    rooted += listed ? 1 : 0;
  }
  QVERIFY(rooted > 0);
  const TOutlookPlayer& leader = outlook.Players.front();
  const QString leaderRoots = QStringLiteral("1|%1|%2|%3")
                                  .arg(leader.Name, FormatChance(leader.WinChance),
                                       FormatRootFor(outlook, RootingFor(outlook, leader).front()));
  QVERIFY2(HasLineStarting(lines, leaderRoots), qPrintable(leaderRoots));

  // The file holds the same lines; the command-line tool writes it too.
  const QStringList rtf = RecordRtf(WhoCanStillWin).Text().split('\n');
  QVERIFY(rtf.contains("Rooting Guide"));
  Pool().SavePool();
  const QString file = QDir(FDir->path()).filePath("out.rtf");
  const TCliRun run =
      RunTool({"report", FDir->path(), "Standings - Who Can Still Win", "--rtf", file});
  QCOMPARE(run.Status, 0);
  QVERIFY(TestPools::ReadBytes(file).contains("Rooting Guide"));
  QVERIFY(!lines.contains("The Last Games"));

  // Three games left: every outcome, its winners and who finishes first, after the guide.
  MakePool(12, 4, 0);
  const TOutlookResult threeLeft =
      ComputeOutlook(TOutlookInput::FromPool(Pool()), TOutlookOptions{});
  QCOMPARE(threeLeft.LastGames.size(), size_t{8});
  const QStringList ending = Record(WhoCanStillWin).Text().split('\n');
  const qsizetype title = ending.indexOf("The Last Games");
  QVERIFY(title > ending.indexOf("Rooting Guide"));
  QCOMPARE(ending.at(title + 2),
           QStringLiteral("Chance|Winners, in the order the games are played|First on points "
                          "(points)"));
  for (size_t o = 0; o < threeLeft.LastGames.size(); ++o) {
    const TLastGamesOutcome& outcome = threeLeft.LastGames[o];
    QCOMPARE(ending.at(title + 4 + static_cast<qsizetype>(o)),
             QStringLiteral("12.50%|%1|%2 (%3)")
                 .arg(outcome.Winners.join(", "), outcome.First.join(", "))
                 .arg(outcome.Points));
  }

  // With prizes: each player's expected prize and chance of a paid place, and who wins what
  // in every outcome.
  MakePool(12, 4, 0);
  Pool().SetPrizes({1000, {6000, 3000, 1000}});
  const TOutlookResult paying = ComputeOutlook(TOutlookInput::FromPool(Pool()), TOutlookOptions{});
  QVERIFY(paying.PaysPrizes);
  const QStringList money = Record(WhoCanStillWin).Text().split('\n');
  QVERIFY(money.contains(
      "Pos|Player Name|Now|Max|Best|Worst|Won|Tied|Win %|Exp. Prize|Prize %|Champions"));
  for (const TOutlookPlayer& player : paying.Players) {
    QVERIFY(std::any_of(money.begin(), money.end(), [&](const QString& line) {
      return line.contains(QStringLiteral("|%1|").arg(player.Name)) &&
             line.contains(QStringLiteral("|%1|%2|").arg(FormatPrize(player.ExpectedPrize),
                                                          FormatChance(player.PrizeChance)));
    }));
  }
  const qsizetype paidFrom = money.indexOf("The Last Games");
  QCOMPARE(money.at(paidFrom + 2),
           QStringLiteral("Chance|Winners, in the order the games are played|First on points "
                          "(points); who wins what"));
  QVERIFY(money.at(paidFrom + 4).endsWith("; " + PaidText(paying.LastGames.front())));
  // The rooting guide goes by the expected prize: a line for whoever can still be paid.
  QVERIFY(paying.RootsByPrize);
  QVERIFY(money.contains(
      "Pos|Player Name|Exp. Prize|Root for in Rd 5 (expected prize if that team wins)"));
  for (size_t row = 0; row < paying.Players.size(); ++row) {
    const TOutlookPlayer& player = paying.Players[row];
    const QString start = QStringLiteral("%1|%2|%3|")
                              .arg(row + 1)
                              .arg(player.Name, FormatPrize(player.ExpectedPrize));
    QCOMPARE(HasLineStarting(money, start), player.PrizeChance > 0);
  }
}

// Many players: every page after the first repeats the title and the headings of what it
// goes on with, the table or the rooting guide, and the guide takes no more than two pages.
void TestReports::whoCanStillWinContinues() {
  MakePool(150, 2, 0);
  const TRecordingReport& paper = Record(WhoCanStillWin);
  QVERIFY(paper.PageCount() >= 4);
  bool table = false;
  bool rooting = false;
  int guideFrom = 0;
  for (int page = 2; page <= paper.PageCount(); ++page) {
    const QStringList lines = PageLines(paper, page);
    QCOMPARE(lines.mid(0, 2), QStringList({"Who Can Still Win (cont.)", ""}));
    table = table || lines.at(2).startsWith("Pos|Player Name|Now");
    rooting = rooting || lines.at(2).startsWith("Pos|Player Name|Win %|Root for");
    if (lines.contains("Rooting Guide"))
      guideFrom = page;
  }
  QVERIFY(table);
  QVERIFY(rooting);
  QVERIFY(guideFrom > 0);
  QVERIFY(paper.PageCount() - guideFrom <= 1);
  // Lines are never cut at the bottom.
  for (const TRecord& record : paper.Records()) {
    if (record.Kind == TKind::Cell)
      QVERIFY(record.Top + 10 * 1.2 / 72 <= 11 - 0.25 + 1e-9);
  }
}

// Drawn outcomes, as before the first results: each chance comes with its interval, and Won
// and Tied are shares of the outcomes, which no count of 2^63 could show in its column.
void TestReports::whoCanStillWinSampled() {
  MakePool(8, 2, 0);
  FReports->OutlookOptions.MaxExactGames = 10;
  FReports->OutlookOptions.Samples = 20000;
  const TOutlookResult outlook =
      ComputeOutlook(TOutlookInput::FromPool(Pool()), FReports->OutlookOptions);
  QVERIFY(!outlook.Exact);
  const TRecordingReport& writer = Record(WhoCanStillWin);
  QVERIFY(PageLines(writer, 1).contains(
      "Pos|Player Name|Now|Max|Best|Worst|Won|Tied|Win %|95% interval|Champions"));
  const QStringList lines = writer.Text().split('\n');
  for (size_t row = 0; row < outlook.Players.size(); ++row)
    QVERIFY2(HasLineStarting(lines, TableRow(outlook, row, false)),
             qPrintable(TableRow(outlook, row, false)));
  // The guide's chances carry their intervals too.
  const TOutlookPlayer& leader = outlook.Players.front();
  const std::vector<TRootFor> roots = RootingFor(outlook, leader);
  QVERIFY(!roots.empty());
  QVERIFY(FormatRootFor(outlook, roots.front()).endsWith(QStringLiteral("%)")));
  QVERIFY(writer.Text().contains(FormatRootFor(outlook, roots.front())));
}

// From the window: the work shows in the status window first; cancelling it stops it at once
// and makes no report; otherwise setup and preview follow, and the file goes to the folder.
void TestReports::whoCanStillWinFromTheWindow() {
  // 32 teams left: long enough to cancel. Filled before the document takes it, so that its
  // results chart holds the teams and the recount before the report keeps them where they are.
  std::unique_ptr<TFFDataModule> module = TestPools::CreatePool(FDir->path());
  SamplePool::Fill(*module, 20, 1, 0);
  module->SystemFile().SetFinalized(true);
  FPool->SetDataModule(std::move(module));
  TfrmPrintReport form(*FPool);
  form.FormActivate();
  form.lstReportNames->setCurrentRow(WhoCanStillWin);
  double stopped = -1;
  FUi.CancelWork(&stopped);
  form.btnPrintClick();
  QCOMPARE(FUi.StatusTexts(), QStringList{"Working out who can still win"});
  // The whole work takes minutes; a cancelled one ends within moments, even on a busy machine.
  QVERIFY2(stopped >= 0 && stopped < 2, qPrintable(QString::number(stopped)));
  QVERIFY(FUi.SetupTitles().isEmpty());
  QCOMPARE(FUi.PreviewCount(), 0);
  QVERIFY(FPrompts.Shown().isEmpty());

  MakePool(6, 2, 0);
  TfrmPrintReport again(*FPool);
  again.FormActivate();
  again.lstReportNames->setCurrentRow(WhoCanStillWin);
  again.btnPrintClick();
  QCOMPARE(FUi.SetupTitles(), QStringList{"Report Setup"});
  QCOMPARE(FUi.PreviewCount(), 1);
  again.chkPrintToFile->setChecked(true);
  again.btnPrintClick();
  QCOMPARE(FPrompts.Texts().size(), 1);
  QVERIFY(FPrompts.Texts().front().startsWith("Report Printed"));
  QVERIFY(TestPools::ReadBytes(QDir(FDir->path()).filePath("canwin.rtf"))
              .contains("Who Can Still Win"));

  // The games weighed by ratings from a file: one that leaves a team out is refused by name
  // and the choice goes back; a whole one is used, and read again for each print.
  QVERIFY(again.cboModel->isEnabled());
  QStringList rows{"team,rating"};
  for (const auto& team : Pool().TeamsFile().List())
    rows << QStringLiteral("\"%1\",1500").arg(team->TeamName());
  const QString ratings = QDir(FDir->path()).filePath("ratings.csv");
  TestPools::WriteBytes(ratings, rows.mid(0, 64).join('\n').toUtf8());
  FPrompts.Reset();
  FPrompts.QueueFileName(ratings);
  again.cboModel->setCurrentIndex(TfrmPrintReport::kModelRatings);
  again.cboModelChange(TfrmPrintReport::kModelRatings);
  // The file dialog, then the refusal.
  QCOMPARE(FPrompts.Shown().size(), 2);
  QCOMPARE(FPrompts.Shown().front().Title, QStringLiteral("Team Ratings"));
  QVERIFY2(FPrompts.Texts().last().contains(
               QStringLiteral("No rating for %1: every team of the pool needs one.")
                   .arg(Pool().TeamsFile().Items(63)->TeamName())),
           qPrintable(FPrompts.Texts().last()));
  QCOMPARE(again.cboModel->currentIndex(), int(TfrmPrintReport::kModelEven));
  TestPools::WriteBytes(ratings, rows.join('\n').toUtf8());
  FPrompts.Reset();
  FPrompts.QueueFileName(ratings);
  again.cboModelChange(TfrmPrintReport::kModelRatings);
  QCOMPARE(FPrompts.Shown().size(), 1);
  again.btnPrintClick();
  QVERIFY(TestPools::ReadBytes(QDir(FDir->path()).filePath("canwin.rtf"))
              .contains("games weighed by the teams' ratings"));
  TestPools::WriteBytes(ratings, "team,rating\n");
  FPrompts.Reset();
  again.btnPrintClick();
  QCOMPARE(FPrompts.Texts().size(), 1);
  QVERIFY(FPrompts.Texts().front().startsWith(QDir::toNativeSeparators(ratings) + ": No rating"));
}

// The race across the page under the headings, then each player's place and each round's
// points with the place they gave, in the order of the last completed round.
void TestReports::byRoundLayout() {
  MakePool(12, 3, 0);
  TStandingsHistory history;
  history.Build(Pool());
  QCOMPARE(history.Rounds(), std::vector<int>({2, 3, 4}));
  const TRecordingReport& writer = Record(ByRound);
  const QStringList lines = PageLines(writer, 1);
  QCOMPARE(lines.mid(0, 5),
           QStringList({"", "", "Tarnwell Office Pool", "Standings by Round", ""}));
  const auto picture = std::find_if(writer.Records().begin(), writer.Records().end(),
                                    [](const TRecord& r) { return r.Kind == TKind::Bitmap; });
  QVERIFY(picture != writer.Records().end());
  QCOMPARE(picture->Rect.left(), 0.5);
  QCOMPARE(picture->Rect.width(), 7.5);
  QCOMPARE(picture->BitmapSize.width(), 1500);
  // The lines go on below the picture.
  const TRecord* note = FindCell(writer, TPoolReports::kByRoundNote);
  QVERIFY(note && note->Top >= picture->Rect.bottom());
  const qsizetype headings = lines.indexOf("Pos|Player Name|Rd 1|Rd 2|Rd 3");
  QVERIFY(headings > 0);
  QCOMPARE(FindCell(writer, "Rd 3")->Stop.BoxLines, TBaseReport::kBoxAll);
  for (size_t row = 0; row < history.Players().size(); ++row) {
    const TStandingsHistory::TPlayer& player = history.Players()[row];
    QCOMPARE(lines.at(headings + 1 + static_cast<qsizetype>(row)),
             QStringLiteral("%1|%2|%3 (%4)|%5 (%6)|%7 (%8)")
                 .arg(player.Places[2])
                 .arg(player.PlayerName)
                 .arg(player.Points[0])
                 .arg(player.Places[0])
                 .arg(player.Points[1])
                 .arg(player.Places[1])
                 .arg(player.Points[2])
                 .arg(player.Places[2]));
  }
  // The file starts with the pool's name, and has the picture too.
  const TRecordingReport& file = RecordRtf(ByRound);
  QCOMPARE(PageLines(file, 1).mid(0, 2),
           QStringList({"Tarnwell Office Pool", "Standings by Round"}));

  // Before any round is over: that, and nothing else.
  MakePool(3, 0, 0);
  const TRecordingReport& early = Record(ByRound);
  QCOMPARE(PageLines(early, 1).mid(2), QStringList({"Tarnwell Office Pool", "Standings by Round",
                                                    "", TStandingsHistory::kNoRoundComplete, ""}));
  QVERIFY(std::none_of(early.Records().begin(), early.Records().end(),
                       [](const TRecord& r) { return r.Kind == TKind::Bitmap; }));
}

void TestReports::byRoundContinuesOnPaper() {
  MakePool(150, 2, 0);
  const TRecordingReport& paper = Record(ByRound);
  QVERIFY(paper.PageCount() >= 3);
  for (int page = 2; page <= paper.PageCount(); ++page) {
    QCOMPARE(PageLines(paper, page).mid(0, 3),
             QStringList({"Standings by Round (cont.)", "", "Pos|Player Name|Rd 1|Rd 2"}));
  }
  for (const TRecord& record : paper.Records()) {
    if (record.Kind == TKind::Cell)
      QVERIFY(record.Top + 10 * 1.2 / 72 <= 11 - 0.25 + 1e-9);
  }
  // The file has no continuation headings.
  QVERIFY(!RecordRtf(ByRound).Text().contains("(cont.)"));
}

// Every team with its shares, the champions most picked, and the picks no one else made.
void TestReports::popularityLayout() {
  MakePool(12, 2, 0);
  TPickPopularity popularity;
  popularity.Build(Pool());
  const TRecordingReport& writer = Record(Popularity);
  const QStringList text = writer.Text().split('\n');
  QCOMPARE(PageLines(writer, 1).mid(2, 5),
           QStringList({"Tarnwell Office Pool", "Pick Popularity",
                        "The share of the 12 players who picked each team to win its game of "
                        "each round",
                        "", "Team|Rd 1|Rd 2|Rd 3|Rd 4|Rd 5|Rd 6"}));
  QCOMPARE(popularity.Teams().size(), size_t{64});
  qsizetype at = 0;
  for (const TPickPopularity::TTeam& team : popularity.Teams()) {
    QString line = team.TeamName;
    for (int k = 2; k <= 7; ++k)
      line += "|" + TPickPopularity::Percent(popularity.Share(team, k));
    const qsizetype found = text.indexOf(line, at);
    QVERIFY2(found >= at, qPrintable(line));
    at = found;
  }
  const qsizetype champions = text.indexOf(TPoolReports::kChampionsTitle);
  QVERIFY(champions > at);
  const TPickPopularity::TTeam& favourite = *popularity.Champions().front();
  QCOMPARE(text.at(champions + 1),
           QStringLiteral("%1|%2 player%3, %4")
               .arg(favourite.TeamName)
               .arg(favourite.PlayersFor(7))
               .arg(favourite.PlayersFor(7) == 1 ? "" : "s")
               .arg(TPickPopularity::Percent(popularity.Share(favourite, 7))));
  const qsizetype alone = text.indexOf(TPoolReports::kAloneTitle);
  QVERIFY(alone > champions);
  for (const TPickPopularity::TPlayer& player : popularity.Players()) {
    if (player.Alone.empty()) {
      QVERIFY(!text.mid(alone).contains(player.PlayerName));
      continue;
    }
    const qsizetype name = text.indexOf(player.PlayerName, alone);
    QVERIFY2(name > alone, qPrintable(player.PlayerName));
    const TPickPopularity::TAlonePick& first = player.Alone.front();
    QCOMPARE(text.at(name + 1), first.TeamName + "|" + TPickPopularity::Rounds(first));
  }
  // Continued pages repeat the team headings while the table goes on, and only then.
  QVERIFY(writer.PageCount() >= 2);
  QCOMPARE(PageLines(writer, 2).mid(0, 3),
           QStringList({"Pick Popularity (cont.)", "", "Team|Rd 1|Rd 2|Rd 3|Rd 4|Rd 5|Rd 6"}));
}

// Both reports to PDF page for page as recorded, and their files read by LibreOffice.
void TestReports::roundReportsInPdfAndInLibreOffice() {
  MakePool(12, 3, 0);
  const QDir dir(FDir->path());
  FReports->SetRtfDirectory(dir.path());
  QStringList files;
  for (const TReport report : {ByRound, Popularity}) {
    const QString pdf = dir.filePath(QStringLiteral("report-%1.pdf").arg(report));
    QString error;
    QVERIFY2(FReports->ReportSystem(report).RunToPdf(pdf, &error), qPrintable(error));
    QCOMPARE(PdfPageCount(pdf), Record(report).PageCount());
    QVERIFY(FReports->RtfFiler(report)->Run());
    files << FReports->RtfFiler(report)->FileName;
  }
  QCOMPARE(QFileInfo(files[0]).fileName(), QStringLiteral("stndrnd.rtf"));
  QCOMPARE(QFileInfo(files[1]).fileName(), QStringLiteral("popular.rtf"));
  QVERIFY(TestPools::ReadBytes(files[0]).contains("{\\pict\\pngblip"));
  const QString office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
  if (office.isEmpty())
    QSKIP("LibreOffice is not installed");
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("HOME"), dir.path());
  process.setProcessEnvironment(env);
  process.start(office, QStringList({"--headless", "--convert-to", "txt:Text (encoded):UTF8",
                                     "--outdir", dir.filePath("txt")}) +
                            files);
  QVERIFY(process.waitForFinished(600000));
  const QString byRound = QString::fromUtf8(TestPools::ReadBytes(dir.filePath("txt/stndrnd.txt")));
  QVERIFY(byRound.contains("Standings by Round"));
  QVERIFY(byRound.contains(TPoolReports::kByRoundNote));
  const QString popular = QString::fromUtf8(TestPools::ReadBytes(dir.filePath("txt/popular.txt")));
  QVERIFY(popular.contains(TPoolReports::kAloneTitle));
  for (int i = 0; i < 12; ++i) {
    QVERIFY2(byRound.contains(SamplePool::PlayerName(i)), qPrintable(SamplePool::PlayerName(i)));
  }
}

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
