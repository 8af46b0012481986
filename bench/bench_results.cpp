// Times reading a results file into a large pool: a whole `courtsider-cli results DIR FILE`
// run (open with the lock, the file read against the chart, every game placed, the save of
// every player), next to the part in memory alone (the file read and applied to an open
// document) and to a plain read of the pool's files.
//
//   bench_results [PLAYERS ...]     (default: 100000)
//
// Each run reads the other of two files, the whole tournament won by the better seeds and the
// same with every first-round game won by the worse seed, so that every run changes the chart
// and saves. Every figure is the best of a few runs with the files in the page cache. On a
// machine shared with other work the tool's processor time (user and system) says more than
// its wall time.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <sys/resource.h>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>

#include "BenchPools.h"
#include "ChartPaths.h"
#include "FFDataModule.h"
#include "OpenPool.h"
#include "ResultsFile.h"

namespace {

constexpr int kRepeats = 3;

// The processor time of the children waited for so far.
double ChildrenCpuMilliseconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double Milliseconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  return took.count();
}

// The whole tournament as a results file: the better seed wins, or in the first round, with
// `upsets`, the worse one.
QByteArray Tournament(const TFFDataModule& pool, bool upsets) {
  using namespace ChartPaths;
  std::array<const TTeamSeedObject*, kSlotCount + 1> chart{};
  for (const auto& team : pool.TeamsFile().List())
    chart[static_cast<size_t>(FirstRoundLine(team->Region(), team->Seed()))] = team.get();
  QByteArray lines;
  for (int slot = kFirstGameSlot; slot <= kSlotCount; ++slot) {
    const auto* upper = chart[static_cast<size_t>(FirstFeeder(slot))];
    const auto* lower = chart[static_cast<size_t>(FirstFeeder(slot) + 1)];
    const bool lowerWins = (lower->Seed() < upper->Seed()) != (upsets && SlotRound(slot) == 2);
    chart[static_cast<size_t>(slot)] = lowerWins ? lower : upper;
    lines += chart[static_cast<size_t>(slot)]->TeamName().toUtf8() + '\n';
  }
  return lines;
}

qint64 PlainRead(const QString& directory) {
  qint64 total = 0;
  for (const QString& name :
       {TSystemFile::kFileName, TTeamsFile::kFileName, TPlayerPicksFile::kFileName}) {
    QFile file(QDir(directory).filePath(name));
    if (!file.open(QIODevice::ReadOnly))
      qFatal("cannot read %s", qPrintable(file.fileName()));
    total += file.readAll().size();
  }
  return total;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QList<int> sizes;
  for (const QString& argument : app.arguments().mid(1))
    sizes << argument.toInt();
  if (sizes.isEmpty())
    sizes = {100000};
  QTemporaryDir folder;
  const QString tool = QDir(QCoreApplication::applicationDirPath()).filePath("courtsider-cli");
  std::printf("%8s %9s %9s %11s %9s %11s\n", "players", "files MB", "read ms", "in-memory ms",
              "cli ms", "cli cpu ms");
  for (int players : sizes) {
    const QString directory = folder.filePath(QStringLiteral("Results%1.BGD").arg(players));
    BenchPools::Write(directory, players, 1);
    std::array<QString, 2> files;
    {
      TFFDataModule pool;
      pool.SetDirectory(directory);
      pool.OpenPool(TFFDataModule::TOpenMode::ReadOnly);
      for (size_t i = 0; i < files.size(); ++i) {
        files[i] = folder.filePath(QStringLiteral("results%1.txt").arg(i));
        QFile out(files[i]);
        if (!out.open(QIODevice::WriteOnly) || out.write(Tournament(pool, i == 1)) < 0)
          qFatal("cannot write %s", qPrintable(files[i]));
      }
      pool.ClosePool();
    }
    qint64 bytes = 0;
    double read = 0;
    double memory = 0;
    double cli = 0;
    double cliCpu = 0;
    for (int run = 0; run < kRepeats; ++run) {
      const double thisRead = Milliseconds([&] { bytes = PlainRead(directory); });
      // The part in memory: the document open, its clock only around reading and applying.
      TOpenPool document;
      if (!document.OpenPool(directory, false))
        qFatal("cannot open %s", qPrintable(directory));
      QFile file(files[static_cast<size_t>(run % 2)]);
      file.open(QIODevice::ReadOnly);
      const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
      const double thisMemory = Milliseconds([&] {
        TResultsFile results;
        QString error;
        if (!results.Read(document, lines, &error))
          qFatal("%s", qPrintable(error));
        results.Apply(document);
      });
      document.Close();
      const double cpuBefore = ChildrenCpuMilliseconds();
      const double thisCli = Milliseconds([&] {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(tool,
                      {QStringLiteral("results"), directory, files[static_cast<size_t>(run % 2)]});
        if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0)
          qFatal("courtsider-cli results failed on %s", qPrintable(directory));
      });
      const double thisCliCpu = ChildrenCpuMilliseconds() - cpuBefore;
      read = run == 0 ? thisRead : std::min(read, thisRead);
      memory = run == 0 ? thisMemory : std::min(memory, thisMemory);
      cli = run == 0 ? thisCli : std::min(cli, thisCli);
      cliCpu = run == 0 ? thisCliCpu : std::min(cliCpu, thisCliCpu);
    }
    std::printf("%8d %9.1f %9.1f %11.1f %9.1f %11.1f\n", players,
                static_cast<double>(bytes) / 1e6, read, memory, cli, cliCpu);
  }
  return 0;
}
