#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include "ReportDialogs.h"
#include "ReportShell.h"
#include "ReportSystem.h"

namespace {
// A report of `rows` numbered lines, one to a line.
struct TRowsReport {
  TMasterShell Shell;
  TReportSystem System;
  int Row = 0;

  explicit TRowsReport(int rows) {
    Shell.SetMinHeight(TReportShell::TSection::SectionRow, 2);
    Shell.OnBodyBefore = [this](TBaseReport& w, TReportShell&) {
      Row = 0;
      w.AddTabStop(1, TBaseReport::kJustifyLeft, 3, 0, 0, 0);
    };
    Shell.OnRowBefore = [this, rows](TBaseReport&, TReportShell&, bool& valid) {
      valid = Row < rows;
    };
    Shell.OnRowPrint = [this](TBaseReport& w, TReportShell&, bool&) {
      w.NextLine();
      w.PrintInNextTab(QStringLiteral("row %1").arg(Row + 1));
    };
    Shell.OnRowAfter = [this](TBaseReport&, TReportShell&, bool&) { ++Row; };
    System.OnPrint = [this](TBaseReport& w) { Shell.Run(w); };
  }
};

int PdfPageCount(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return -1;
  static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
  return static_cast<int>(QString::fromLatin1(file.readAll()).count(page));
}
}  // namespace

class TestEngineUi : public QObject {
  Q_OBJECT

 private slots:
  void setupDialogChoice() {
    QPrinter printer;
    TdlgReportSetup setup(QStringLiteral("Report Setup"), printer);
    QCOMPARE(setup.windowTitle(), QStringLiteral("Report Setup"));
    QCOMPARE(setup.Choice().Destination, TReportSetup::TDestination::Preview);
    QCOMPARE(setup.Choice().Copies, 1);
    QTest::mouseClick(setup.findChildren<QRadioButton*>().at(1), Qt::LeftButton);
    setup.findChild<QSpinBox*>()->setValue(3);
    QCOMPARE(setup.Choice().Destination, TReportSetup::TDestination::Printer);
    QCOMPARE(setup.Choice().Copies, 3);
  }

  void previewPagesThrough() {
    TRowsReport report(130);
    const std::vector<QImage> pages = report.System.RenderPreview();
    QCOMPARE(pages.size(), size_t(3));
    TdlgReportPreview preview(report.System.TitlePreview, report.System, pages);
    QCOMPARE(preview.windowTitle(), QStringLiteral("Report Preview"));
    QCOMPARE(preview.CurrentPage(), 0);
    const QLabel* page = preview.findChildren<QLabel*>().first();
    QCOMPARE(page->pixmap().size(), QSize(816, 1056));

    QPushButton* next = nullptr;
    for (QPushButton* button : preview.findChildren<QPushButton*>()) {
      if (button->text() == QStringLiteral("&Next"))
        next = button;
    }
    QVERIFY(next);
    QTest::mouseClick(next, Qt::LeftButton);
    QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(preview.CurrentPage(), 2);
    QVERIFY(!next->isEnabled());
    preview.ShowPage(7);
    QCOMPARE(preview.CurrentPage(), 2);
    preview.ShowPage(-1);
    QCOMPARE(preview.CurrentPage(), 0);
  }

  // The program's printer: every page, whole, as many copies as chosen; one that cannot be
  // written to fails the print, which the run then reports.
  void printerOfTheDialogs() {
    QTemporaryDir dir;
    TReportDialogs dialogs;
    TReportUiScope scope(&dialogs);
    TRowsReport report(130);
    QPrinter& printer = dialogs.Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("printed.pdf"));
    QVERIFY(dialogs.PrintPages(report.System, 2));
    QCOMPARE(printer.copyCount(), 2);
    QCOMPARE(PdfPageCount(dir.filePath("printed.pdf")), 3);
    // Letter paper from its corner: no printable-area margins moved the page.
    QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::Letter);
    QCOMPARE(printer.pageLayout().mode(), QPageLayout::FullPageMode);

    printer.setOutputFileName(dir.filePath("no such folder/printed.pdf"));
    QVERIFY(!dialogs.PrintPages(report.System, 1));
  }
};

QTEST_MAIN(TestEngineUi)
#include "tst_engine_ui.moc"
