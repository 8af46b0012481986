// Times the picks server: entries sent while the Collect Picks Online window is open, the page
// while slow clients hold connections, and a private link looked up among many players.
//   bench_server [ENTRIES] [CLIENTS] [SLOW] [PLAYERS]
// Serves a locked pool of 64 teams from the window, then sends ENTRIES entries (200 unless
// given) from CLIENTS concurrent clients (20 unless given), each from a loopback address of its
// own; then the same entries one at a time from one client into a second pool. Checks that
// every entry is in each pool once, on disk too, and prints the entries a second of both runs
// and their ratio: entries that arrive together are saved together. Then loads the page twenty
// times while SLOW clients (50 unless given), each from an address of its own, send their
// headers a byte at a time, and asks twenty times for the data of a link nobody has in a pool
// of PLAYERS players (10,000 unless given).
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
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <future>
#include <thread>
#include <vector>

#include "CollectPicksForm.h"
#include "Csv.h"
#include "FFDataModule.h"
#include "HttpProbe.h"
#include "OpenPool.h"
#include "PicksServer.h"
#include "PicksSheet.h"
#include "SlowClients.h"
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

  // Every entry in the pool once, in memory and on disk (read beside the document, which holds
  // the pool).
  const auto saved = TestPools::OpenReadOnly(directory);
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

// The pool in `directory` open in a document and served on the loopback address.
struct TServed {
  explicit TServed(const QString& directory) {
    Document.SetDataModule(TestPools::OpenPool(directory));
    QString reason;
    if (!Server.Start(QStringLiteral("127.0.0.1"), 0, QDateTime(), &reason))
      qFatal("%s", qPrintable(reason));
  }

  TOpenPool Document;
  TPicksServer Server{Document};
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.at(values.size() / 2);
}

// The milliseconds each of `count` calls of `ask` took, on a thread of their own, while this
// thread runs the document's events and `meanwhile`.
template <typename TAsk, typename TMeanwhile>
std::vector<double> Time(int count, TAsk ask, TMeanwhile meanwhile) {
  auto times = std::async(std::launch::async, [&] {
    std::vector<double> taken;
    for (int i = 0; i < count; ++i) {
      QElapsedTimer timer;
      timer.start();
      if (!ask())
        return std::vector<double>();
      taken.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return taken;
  });
  while (times.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
    QCoreApplication::processEvents();
    meanwhile();
  }
  return times.get();
}

// Loads the page twenty times while `slow` slow clients hold connections; false when one load
// failed or a slow client was cut off meanwhile (the page then waited for the deadline).
bool PageWhileSlowClients(const QString& directory, int slow) {
  const TServed served(directory);
  const quint16 port = served.Server.Port();
  TSlowClients clients(port, slow, 1);
  for (int round = 0; round < 5; ++round)
    clients.Trickle(std::chrono::milliseconds(20));
  const QByteArray page = HttpProbe::Request("GET", "/", port);
  const std::vector<double> times = Time(
      20, [&] { return HttpProbe::Exchange(page, port).Status == 200; },
      [&] { clients.Trickle(std::chrono::milliseconds(20)); });
  const bool whole = !times.empty() && clients.Open() == slow;
  if (whole) {
    std::printf("the page with %d slow clients connected: %.1f ms median, %.1f ms at most\n", slow,
                Median(times), *std::max_element(times.begin(), times.end()));
  } else {
    std::printf("FAILED: the page with %d slow clients connected, %d of them left\n", slow,
                clients.Open());
  }
  return whole;
}

// Asks twenty times for the pool's data with a link nobody in a pool of `players` players has.
bool DataWithWrongLink(const QString& directory, int players) {
  {
    auto pool = TestPools::OpenPool(directory);
    for (int p = 0; p < players; ++p)
      TestPools::AddPlayer(*pool, QStringLiteral("Player %1").arg(p), 100);
    if (!pool->SavePool())
      qFatal("the pool in %s could not be saved", qPrintable(directory));
    pool->ClosePool();
  }
  const TServed served(directory);
  const quint16 port = served.Server.Port();
  const QByteArray data =
      HttpProbe::Request("GET", "/data", port, {}, {{"X-Entry-Link", QByteArray(43, 'A')}});
  const std::vector<double> times = Time(
      20, [&] { return HttpProbe::Exchange(data, port).Status == 200; }, [] {});
  if (times.empty()) {
    std::printf("FAILED: the data with a wrong link\n");
    return false;
  }
  std::printf("the data with a wrong link among %d players: %.2f ms median\n", players,
              Median(times));
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int entries = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 200;
  const int clients = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 20;
  const int slow = argc > 3 ? QString::fromLocal8Bit(argv[3]).toInt() : 50;
  const int players = argc > 4 ? QString::fromLocal8Bit(argv[4]).toInt() : 10000;
  QTemporaryDir temporary;
  const TRun together =
      Send(TestPools::SaveFullPool(temporary.filePath("Together.BGD"), true), entries, clients);
  std::printf("%d entries from %d clients at once: %.0f ms, %.0f entries a second, %d refused\n",
              entries, clients, together.Milliseconds, entries * 1000 / together.Milliseconds,
              together.Failed);
  const TRun alone =
      Send(TestPools::SaveFullPool(temporary.filePath("Alone.BGD"), true), entries, 1);
  std::printf(
      "%d entries from 1 client one at a time: %.0f ms, %.0f entries a second, %d "
      "refused\n",
      entries, alone.Milliseconds, entries * 1000 / alone.Milliseconds, alone.Failed);
  std::printf("one at a time / at once: %.2f\n", alone.Milliseconds / together.Milliseconds);
  const bool paged =
      PageWhileSlowClients(TestPools::SaveFullPool(temporary.filePath("Slow.BGD"), true), slow);
  const bool found =
      DataWithWrongLink(TestPools::SaveFullPool(temporary.filePath("Players.BGD"), true), players);
  return together.Failed || alone.Failed || !paged || !found ? 1 : 0;
}
