// Times entries sent to the picks server while the Collect Picks Online window is open.
//   bench_server [ENTRIES] [CLIENTS]
// Serves a locked pool of 64 teams from the window, then sends ENTRIES entries (200 unless
// given) from CLIENTS concurrent clients (20 unless given), each from a loopback address of its
// own; then the same entries one at a time from one client into a second pool. Checks that
// every entry is in each pool once, on disk too, and prints the time per entry of both runs
// and their ratio: entries that arrive together are saved together.
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSpinBox>
#include <QTemporaryDir>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "CollectPicksForm.h"
#include "Csv.h"
#include "FFDataModule.h"
#include "HttpProbe.h"
#include "OpenPool.h"
#include "PicksServer.h"
#include "PicksSheet.h"
#include "TestPools.h"

namespace {

struct TRun {
  double Milliseconds = 0;
  int Failed = 0;
};

// Serves the pool from the window and sends `entries` entries from `clients` clients at once.
TRun Send(const QString& directory, int entries, int clients) {
  TOpenPool document;
  document.SetDataModule(TestPools::OpenPool(directory));
  const Csv::TTable sheet = Csv::Read(TPicksSheet(*document.DataModule()).Template());
  const QJsonArray winners =
      QJsonArray::fromStringList(sheet.Rows.at(1).mid(TPicksSheet::kFirstGameColumn));
  TfrmCollectPicks window(document);
  window.cbxAddress->setCurrentIndex(window.cbxAddress->findData(QStringLiteral("127.0.0.1")));
  window.edtPort->setValue(0);
  window.edtCloses->setDateTime(QDateTime::currentDateTime().addSecs(3600));
  window.show();
  window.btnStartClick();
  const quint16 port = window.Server().Port();

  TRun run;
  std::atomic<int> failed{0};
  std::atomic<int> running{clients};
  QEventLoop loop;
  QElapsedTimer timer;
  timer.start();
  std::vector<std::thread> threads;
  for (int c = 0; c < clients; ++c) {
    threads.emplace_back([&, c] {
      for (int e = c; e < entries; e += clients) {
        const QJsonObject entry{{"name", QStringLiteral("Player %1").arg(e)},
                                {"guess", QString::number(100 + e % 100)},
                                {"winners", winners}};
        // Each client its own address, as each player's computer has; one client alone moves
        // to another address every 50 entries, under the cap per address.
        const QString from = QStringLiteral("127.0.%1.%2").arg(1 + e / 50).arg(10 + c);
        const auto answer = HttpProbe::Exchange(
            HttpProbe::PostEntry(QJsonDocument(entry).toJson(QJsonDocument::Compact), port), port,
            from);
        if (answer.Status != 200)
          ++failed;
      }
      if (--running == 0)
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
  }
  loop.exec();
  for (std::thread& thread : threads)
    thread.join();
  run.Milliseconds = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  run.Failed = failed;
  window.close();

  // Every entry in the pool once, in memory and on disk.
  const auto saved = TestPools::OpenPool(directory);
  const TFFDataModule* onDisk = saved.get();
  for (const TFFDataModule* pool : {document.DataModule(), onDisk}) {
    QSet<QString> names;
    for (const auto& player : pool->PlayerPicksFile().List())
      names.insert(player->PlayerName());
    if (pool->PlayerPicksFile().Count() != entries || names.size() != entries) {
      std::printf("FAILED: %d players, %lld names, %d entries sent\n",
                  pool->PlayerPicksFile().Count(), static_cast<long long>(names.size()), entries);
      run.Failed = qMax(run.Failed, 1);
    }
  }
  return run;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int entries = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 200;
  const int clients = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 20;
  QTemporaryDir temporary;
  const TRun together =
      Send(TestPools::SaveFullPool(temporary.filePath("Together.BGD"), true), entries, clients);
  std::printf("%d entries from %d clients at once: %.0f ms, %.2f ms an entry, %d refused\n",
              entries, clients, together.Milliseconds, together.Milliseconds / entries,
              together.Failed);
  const TRun alone =
      Send(TestPools::SaveFullPool(temporary.filePath("Alone.BGD"), true), entries, 1);
  std::printf("%d entries from 1 client one at a time: %.0f ms, %.2f ms an entry, %d refused\n",
              entries, alone.Milliseconds, alone.Milliseconds / entries, alone.Failed);
  std::printf("one at a time / at once: %.2f\n", alone.Milliseconds / together.Milliseconds);
  return together.Failed || alone.Failed ? 1 : 0;
}
