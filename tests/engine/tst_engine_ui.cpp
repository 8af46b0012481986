#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <thread>

#include <QComboBox>
#include <QScrollArea>

#include "FakePrompts.h"
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

    // Save as PDF needs a file: typed, or chosen in the file dialog.
    auto* ok = setup.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    QTest::mouseClick(setup.findChildren<QRadioButton*>().at(2), Qt::LeftButton);
    QCOMPARE(setup.Choice().Destination, TReportSetup::TDestination::Pdf);
    QVERIFY(!ok->isEnabled());
    auto* file = setup.findChild<QLineEdit*>();
    QTest::keyClicks(file, QStringLiteral("/tmp/out.pdf"));
    QVERIFY(ok->isEnabled());
    QCOMPARE(setup.Choice().FileName, QStringLiteral("/tmp/out.pdf"));
    QTest::mouseClick(setup.findChildren<QRadioButton*>().at(0), Qt::LeftButton);
    QVERIFY(ok->isEnabled());
    TFakePrompts prompts;
    TPromptsScope scope(&prompts);
    prompts.QueueFileName(QStringLiteral("/tmp/chosen.pdf"));
    for (QPushButton* button : setup.findChildren<QPushButton*>()) {
      if (button->text() == QStringLiteral("&Browse..."))
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QCOMPARE(prompts.Shown().size(), 1);
    QCOMPARE(prompts.Shown().front().Text, QStringLiteral("/tmp/out.pdf"));
    QCOMPARE(setup.Choice().Destination, TReportSetup::TDestination::Pdf);
    QCOMPARE(setup.Choice().FileName, QStringLiteral("/tmp/chosen.pdf"));

    // The file proposed is there from the start.
    TReportSetup proposed;
    proposed.FileName = QStringLiteral("/pools/Office.BGD/stndpts.pdf");
    TdlgReportSetup again(QStringLiteral("Report Setup"), printer, proposed);
    QCOMPARE(again.findChild<QLineEdit*>()->text(), QDir::toNativeSeparators(proposed.FileName));
    QCOMPARE(again.Choice().Destination, TReportSetup::TDestination::Preview);
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

  // Zoom: fit width fills the page area's width, fit page shows the whole page, the keys
  // step through 50 to 200 percent and page through the report wherever the focus is.
  void previewZoomsAndPagesFromTheKeyboard() {
    TRowsReport report(130);
    const std::vector<QImage> pages = report.System.RenderPreview();
    TdlgReportPreview preview(report.System.TitlePreview, report.System, pages);
    preview.resize(700, 600);
    preview.show();
    preview.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&preview));
    const QLabel* page = preview.findChildren<QLabel*>().first();
    const QWidget* viewport = preview.findChild<QScrollArea*>()->viewport();
    auto* zoom = preview.findChild<QComboBox*>(QStringLiteral("cbxZoom"));
    QVERIFY(zoom);

    preview.SetZoom({TPreviewZoom::TMode::FitPage, 100});
    QVERIFY(page->pixmap().height() <= viewport->height());
    QVERIFY(page->pixmap().width() <= viewport->width());
    QCOMPARE(zoom->currentText(), QStringLiteral("Fit Page"));
    preview.SetZoom({TPreviewZoom::TMode::FitWidth, 100});
    QVERIFY(page->pixmap().width() <= viewport->width());
    QVERIFY(page->pixmap().width() >= viewport->width() - 40);
    // Fit width stays fitted when the window grows.
    preview.resize(900, 600);
    QVERIFY(page->pixmap().width() >= viewport->width() - 40);

    const double fitted = preview.ShownPercent();
    QTest::keyClick(&preview, Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(preview.Zoom().Mode, TPreviewZoom::TMode::Percent);
    QVERIFY(preview.Zoom().Percent > fitted);
    for (int i = 0; i < 8; ++i)
      QTest::keyClick(&preview, Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(preview.Zoom().Percent, 200);
    QCOMPARE(page->pixmap().width(), pages[0].width() * 2);
    QCOMPARE(zoom->currentText(), QStringLiteral("200%"));
    for (int i = 0; i < 8; ++i)
      QTest::keyClick(&preview, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(preview.Zoom().Percent, 50);
    QCOMPARE(page->pixmap().width(), pages[0].width() / 2);

    QTest::keyClick(&preview, Qt::Key_End);
    QCOMPARE(preview.CurrentPage(), 2);
    QTest::keyClick(&preview, Qt::Key_PageUp);
    QCOMPARE(preview.CurrentPage(), 1);
    QTest::keyClick(&preview, Qt::Key_Home);
    QCOMPARE(preview.CurrentPage(), 0);
    QTest::keyClick(&preview, Qt::Key_PageDown);
    QCOMPARE(preview.CurrentPage(), 1);
  }

  void zoomSteps() {
    QCOMPARE(TPreviewZoom::StepFrom(100, true), 125);
    QCOMPARE(TPreviewZoom::StepFrom(100, false), 75);
    QCOMPARE(TPreviewZoom::StepFrom(87.3, true), 100);
    QCOMPARE(TPreviewZoom::StepFrom(87.3, false), 75);
    QCOMPARE(TPreviewZoom::StepFrom(200, true), 200);
    QCOMPARE(TPreviewZoom::StepFrom(50, false), 50);
    QCOMPARE(TPreviewZoom::StepFrom(20, false), 50);
  }

  // The program's printer: every page, whole, as many copies as chosen; one that cannot be
  // written to fails the print, which the run then reports. A report printed to a PDF file
  // says where the file went.
  void printerOfTheDialogs() {
    QTemporaryDir dir;
    TFakePrompts prompts;
    TPromptsScope promptsScope(&prompts);
    TReportDialogs dialogs;
    TReportUiScope scope(&dialogs);
    TRowsReport report(130);
    QPrinter& printer = dialogs.Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("printed.pdf"));
    QVERIFY(dialogs.PrintPages(report.System, 2));
    QCOMPARE(printer.copyCount(), 2);
    QCOMPARE(PdfPageCount(dir.filePath("printed.pdf")), 3);
    QCOMPARE(prompts.Texts(), QStringList{"Report Printed\n\n" +
                                          QDir::toNativeSeparators(dir.filePath("printed.pdf"))});
    // Letter paper from its corner: no printable-area margins moved the page.
    QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::Letter);
    QCOMPARE(printer.pageLayout().mode(), QPageLayout::FullPageMode);

    printer.setOutputFileName(dir.filePath("no such folder/printed.pdf"));
    prompts.Reset();
    QVERIFY(!dialogs.PrintPages(report.System, 1));
    QVERIFY(prompts.Shown().isEmpty());
  }

  // Long work: the window shows how far it has got, and its Cancel, clicked for real, stops
  // the work; the call returns once the work has.
  void progressWindowCancelsTheWork() {
    TReportDialogs dialogs;
    std::atomic<bool> cancelled{false};
    std::atomic<int> steps{0};
    int shown = -1;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      auto* window = qobject_cast<TdlgReportProgress*>(QApplication::activeModalWidget());
      if (!window || window->barProgress->value() <= 0 || shown >= 0)
        return;
      shown = window->barProgress->value();
      QCOMPARE(window->windowTitle(), QStringLiteral("Report Status"));
      QTest::mouseClick(window->btnCancel, Qt::LeftButton);
    });
    watch.start(20);
    dialogs.RunWithProgress(
        QStringLiteral("Report Status"), QStringLiteral("Working"),
        [&] {
          while (!cancelled.load()) {
            steps.fetch_add(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
          }
        },
        [&] { return std::min(0.5, steps.load() / 100.0); }, [&] { cancelled.store(true); });
    QVERIFY(cancelled.load());
    QVERIFY(shown > 0 && shown <= 500);
    QVERIFY(!QApplication::activeModalWidget());
  }
};

QTEST_MAIN(TestEngineUi)
#include "tst_engine_ui.moc"
