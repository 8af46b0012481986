// Times the longest standings report for a large pool, to RTF and to PDF.
//   bench_reports [PLAYERS] [FOLDER]
// Makes a pool of PLAYERS players (10,000 unless given) in FOLDER (a temporary folder unless
// given; a given folder keeps the saved pool for a look with the command-line tool), then
// writes "Standings - Points with Final 4" both ways and prints time, pages and size.
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "FFDataModule.h"
#include "OpenPool.h"
#include "PoolReports.h"
#include "RecordingReport.h"
#include "SamplePool.h"
#include "TestPools.h"

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const int players = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
  QTemporaryDir temporary;
  const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path();

  QDir().mkpath(folder);
  QElapsedTimer timer;
  timer.start();
  auto module = TestPools::CreatePool(folder);
  SamplePool::Fill(*module, players, 2, 0);
  module->SavePool();
  TOpenPool pool;
  pool.SetDataModule(std::move(module));
  std::printf("pool of %d players made and saved in %lld ms\n", players, timer.elapsed());

  TPoolReports reports(pool);
  const int p = TPoolReports::IndexOf(QStringLiteral("Standings - Points with Final 4"));

  TRecordingReport counter;
  reports.ReportSystem(p).Generate(counter);
  const int paperPages = counter.PageCount();

  TRTFFiler& filer = *reports.RtfFiler(p);
  filer.FileName = folder + QStringLiteral("/ptsfinl4.rtf");
  timer.restart();
  const bool rtfWritten = filer.Run();
  const qint64 rtfMs = timer.elapsed();
  std::printf("RTF: %s in %lld ms, %d pages, %lld bytes\n", rtfWritten ? "written" : "FAILED",
              rtfMs, filer.CurrentPage(), QFileInfo(filer.FileName).size());

  const QString pdf = folder + QStringLiteral("/ptsfinl4.pdf");
  timer.restart();
  QString error;
  const bool pdfWritten = reports.ReportSystem(p).RunToPdf(pdf, &error);
  const qint64 pdfMs = timer.elapsed();
  std::printf("PDF: %s in %lld ms, %d pages, %lld bytes\n", pdfWritten ? "written" : "FAILED",
              pdfMs, paperPages, QFileInfo(pdf).size());
  timer.restart();
  const std::vector<QImage> preview = reports.ReportSystem(p).RenderPreview();
  const qint64 previewMs = timer.elapsed();
  qint64 previewBytes = 0;
  for (const QImage& page : preview)
    previewBytes += page.sizeInBytes();
  std::printf("Preview: %zu pages in %lld ms, %lld MB of page images\n", preview.size(), previewMs,
              previewBytes >> 20);
  if (rtfMs > 0)
    std::printf("PDF/RTF time ratio: %.2f\n", double(pdfMs) / double(rtfMs));
  return rtfWritten && pdfWritten ? 0 : 1;
}
