// Times the import of a large picks sheet.
//   bench_import [PLAYERS]
// Makes a pool of PLAYERS players (10,000 unless given) with complete charts, exports their
// picks to a file, then imports the file into a copy of the pool without players and saves it,
// as `courtsider-cli import-picks` does. Prints each step's time and the share of the whole
// import the reading and checking take.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "FFDataModule.h"
#include "OpenPool.h"
#include "PicksImport.h"
#include "PicksSheet.h"
#include "SamplePool.h"
#include "TestPools.h"

int main(int argc, char* argv[]) {
  // The pool's document works without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const int players = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
  QTemporaryDir temporary;
  const QString source = temporary.filePath(QStringLiteral("Source.BGD"));
  const QString target = temporary.filePath(QStringLiteral("Target.BGD"));
  QDir().mkpath(source);
  QDir().mkpath(target);

  QElapsedTimer timer;
  timer.start();
  auto pool = TestPools::CreatePool(source);
  SamplePool::Fill(*pool, players, 2, 0);
  pool->SavePool();
  const QString sheetFile = temporary.filePath(QStringLiteral("picks.csv"));
  qint64 sheetSize = 0;
  {
    const QByteArray sheet = TPicksSheet(*pool).Export();
    sheetSize = sheet.size();
    TestPools::WriteBytes(sheetFile, sheet);
  }
  pool->ClosePool();
  pool.reset();
  std::printf("pool of %d players made and exported in %lld ms (%lld bytes of CSV)\n", players,
              timer.elapsed(), static_cast<long long>(sheetSize));
  for (const QString& file : {TSystemFile::kFileName, TTeamsFile::kFileName})
    QFile::copy(QDir(source).filePath(file), QDir(target).filePath(file));

  timer.restart();
  TOpenPool copy;
  copy.SetDataModule(TestPools::OpenPool(target));
  TPicksImport import(*copy.DataModule(), false);
  QFile sheet;
  QString error;
  const bool read = TPicksImport::OpenFile(sheetFile, &sheet, &error) && import.Read(sheet);
  const qint64 readMs = timer.elapsed();
  copy.ImportPlayers(std::move(import.Players()));
  const bool saved = copy.Save();
  const qint64 totalMs = timer.elapsed();
  copy.Close();

  std::printf("read and checked: %s in %lld ms\n", read ? "ok" : "REFUSED", readMs);
  std::printf(
      "imported and saved: %s in %lld ms (%.0f%% of it reading and checking)\n",
      saved ? "ok" : "FAILED", totalMs,
      totalMs > 0 ? 100.0 * static_cast<double>(readMs) / static_cast<double>(totalMs) : 0.0);
  std::printf("%s a second for %d players\n", totalMs < 1000 ? "within" : "NOT within", players);

  return read && saved ? 0 : 1;
}
