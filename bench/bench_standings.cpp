// Times scoring a large pool: opening it, building every report data set, and a whole
// `courtsider-cli standings --format json` run, each next to a plain read of the pool's files.
//
//   bench_standings [--dir FOLDER] [PLAYERS ...]     (default: 1000 10000 100000)
//
// The pools are written through the storage library into FOLDER (kept, and reused when they
// are already there) or a temporary folder. Every figure is the best of a few runs with the
// files in the page cache.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>

#include "BenchPools.h"
#include "FFDataModule.h"
#include "PlayerSelections.h"
#include "StandingsByPoints.h"
#include "StandingsByPotential.h"

namespace {

constexpr int kRepeats = 3;
// The tournament of the benchmark pools has got as far as the last four.
constexpr int kPlayedUpTo = 5;
double Milliseconds(const std::function<void()>& work) {
  double best = 0;
  for (int run = 0; run < kRepeats; ++run) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = run == 0 ? took.count() : std::min(best, took.count());
  }
  return best;
}

QStringList PoolFiles(const QString& directory) {
  return {QDir(directory).filePath(TSystemFile::kFileName),
          QDir(directory).filePath(TTeamsFile::kFileName),
          QDir(directory).filePath(TPlayerPicksFile::kFileName)};
}

// Reads every byte of the pool's files and looks at none of them: the floor for any reader.
qint64 PlainRead(const QString& directory) {
  // Page-aligned: the kernel copies into a misaligned buffer several times slower, and this
  // is meant to be the floor.
  alignas(4096) static char buffer[1 << 20];
  qint64 total = 0;
  for (const QString& path : PoolFiles(directory)) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
      qFatal("cannot read %s", qPrintable(path));
    qint64 got;
    while ((got = file.read(buffer, sizeof buffer)) > 0)
      total += got;
  }
  return total;
}

std::unique_ptr<TFFDataModule> OpenForReading(const QString& directory) {
  auto pool = std::make_unique<TFFDataModule>();
  pool->SetDirectory(directory);
  pool->OpenPool(TFFDataModule::TOpenMode::ReadOnly);
  return pool;
}

// Build only: each data set is freed after its clock stops.
template <class TData>
double BuildTime(const TFFDataModule& pool) {
  double best = 0;
  for (int run = 0; run < kRepeats; ++run) {
    TData data;
    const auto start = std::chrono::steady_clock::now();
    data.Build(pool);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = run == 0 ? took.count() : std::min(best, took.count());
  }
  return best;
}

double CliRun(const QString& tool, const QString& directory) {
  return Milliseconds([&] {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(tool, {QStringLiteral("standings"), directory, QStringLiteral("--format"),
                         QStringLiteral("json")});
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
      qFatal("courtsider-cli standings failed on %s", qPrintable(directory));
    }
  });
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QStringList arguments = app.arguments().mid(1);
  QString folder;
  const int dirAt = arguments.indexOf(QStringLiteral("--dir"));
  if (dirAt >= 0 && dirAt + 1 < arguments.size()) {
    folder = arguments.at(dirAt + 1);
    arguments.remove(dirAt, 2);
  }
  QList<int> sizes;
  for (const QString& argument : arguments)
    sizes << argument.toInt();
  if (sizes.isEmpty())
    sizes = {1000, 10000, 100000};
  QTemporaryDir temporary;
  if (folder.isEmpty())
    folder = temporary.path();
  const QString tool = QDir(QCoreApplication::applicationDirPath()).filePath("courtsider-cli");

  std::printf("%8s %9s %9s %9s %9s %9s %9s %9s %9s %9s %9s %9s\n", "players", "files MB", "read ms",
              "open ms", "points", "pts+F4", "potent.", "pot+F4", "select.", "cli ms", "cli/read",
              "open/read");
  for (int players : sizes) {
    const QString directory = QDir(folder).filePath(QStringLiteral("Bench%1.BGD").arg(players));
    if (!QFile::exists(QDir(directory).filePath(TPlayerPicksFile::kFileName))) {
      BenchPools::Write(directory, players, kPlayedUpTo);
    }
    qint64 bytes = 0;
    const double read = Milliseconds([&] { bytes = PlainRead(directory); });
    const double open = Milliseconds([&] { OpenForReading(directory)->ClosePool(); });
    const auto pool = OpenForReading(directory);
    const double points = BuildTime<TStandingsByPoints>(*pool);
    const double pointsFinal4 = BuildTime<TStandingsWithFinal4>(*pool);
    const double potential = BuildTime<TStandingsByPotential>(*pool);
    const double potentialFinal4 = BuildTime<TPotentialWithFinal4>(*pool);
    const double selections = BuildTime<TPlayerSelections>(*pool);
    pool->ClosePool();
    const double cli = CliRun(tool, directory);
    std::printf("%8d %9.1f %9.2f %9.2f %9.2f %9.2f %9.2f %9.2f %9.2f %9.1f %9.1f %9.1f\n", players,
                static_cast<double>(bytes) / 1e6, read, open, points, pointsFinal4, potential,
                potentialFinal4, selections, cli, cli / read, open / read);
    std::fflush(stdout);
  }
  std::printf("Build columns in ms; best of %d runs each, files in the page cache.\n", kRepeats);
  return 0;
}
