// Times the pool served read-only once entries are closed: the standings page of a large pool
// and one player's page, each asked for twenty times over a real connection.
//   bench_live [PLAYERS]
// Writes a pool of PLAYERS players (10,000 unless given) with three rounds played, serves it,
// and prints the time the server took to start (its read of the pool, which a result saved
// while serving brings about again), and each page's median and slowest answer.
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BenchPools.h"
#include "HttpProbe.h"
#include "LiveServer.h"

namespace {

struct TTimes {
  double Median = 0;
  double Slowest = 0;
  qsizetype Bytes = 0;
};

TTimes Time(const QByteArray& path, quint16 port, int times) {
  std::vector<double> took;
  qsizetype bytes = 0;
  for (int i = 0; i < times; ++i) {
    QElapsedTimer timer;
    timer.start();
    const HttpProbe::TAnswer answer =
        HttpProbe::Exchange(HttpProbe::Request("GET", path, port), port);
    took.push_back(timer.nsecsElapsed() / 1e6);
    if (answer.Status != 200) {
      std::fprintf(stderr, "%s answered %d\n", path.constData(), answer.Status);
      std::exit(1);
    }
    bytes = answer.Body.size();
  }
  std::sort(took.begin(), took.end());
  return {took[took.size() / 2], took.back(), bytes};
}

}  // namespace

int main(int argc, char** argv) {
  // The charts measure their names in the fonts of the platform.
  QGuiApplication app(argc, argv);
  const int players = argc > 1 ? std::atoi(argv[1]) : 10000;
  QTemporaryDir dir;
  const QString pool = dir.filePath(QStringLiteral("Live.BGD"));
  BenchPools::Write(pool, players, 4);

  TLiveServer server(pool);
  QString reason;
  QElapsedTimer timer;
  timer.start();
  if (!server.Start(QStringLiteral("127.0.0.1"), 0, &reason)) {
    std::fprintf(stderr, "%s\n", qPrintable(reason));
    return 1;
  }
  const double started = timer.nsecsElapsed() / 1e6;
  const TTimes standings = Time("/", server.Port(), 20);
  const TTimes player = Time("/player/" + QByteArray::number(players / 2 + 1), server.Port(), 20);
  std::printf("Live pool of %d players, 3 rounds played\n", players);
  std::printf("  start (first read, win chances):  %9.1f ms\n", started);
  std::printf("  standings page (%6.1f MB):       median %7.1f ms, slowest %7.1f ms\n",
              standings.Bytes / 1e6, standings.Median, standings.Slowest);
  std::printf("  a player's page (%6.1f kB):      median %7.1f ms, slowest %7.1f ms\n",
              player.Bytes / 1e3, player.Median, player.Slowest);
  server.Stop();
  return 0;
}
