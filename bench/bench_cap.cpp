// Peak memory and time of the command-line tool's heaviest commands on a pool at the cap of
// 1,000,000 players: who can still win, the standings page with every player's win chance,
// and "Standings - Who Can Still Win" and the "Selections List" as RTF.
//
//   bench_cap [--dir FOLDER] [--players N] [--played R] [--threads T]
//
// The pool (N players, default 1,000,000; the results in up to chart round R, default 5: the
// last four to play) is written through the storage library into FOLDER, kept and reused when
// it is already there, or into a temporary folder. Each command runs as a process of its own;
// its peak memory is the most it held in memory at once (the resident set the system reports).
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "BenchPools.h"
#include "PlayerPicksFile.h"

namespace {

struct TRun {
  bool Ok = false;
  double Seconds = 0;
  double PeakMegabytes = 0;
};

// Runs `program` with `arguments`, its output to `output` (standard output when empty: to
// nowhere), and measures it.
TRun Measure(const QString& program, const QStringList& arguments, const QString& output) {
  std::vector<QByteArray> words{program.toLocal8Bit()};
  for (const QString& argument : arguments)
    words.push_back(argument.toLocal8Bit());
  std::vector<char*> argv;
  for (QByteArray& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  const QByteArray sink = output.isEmpty() ? QByteArray("/dev/null") : output.toLocal8Bit();
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    if (!freopen(sink.constData(), "w", stdout))
      _exit(127);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  TRun run;
  if (child > 0 && wait4(child, &status, 0, &usage) == child) {
    run.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    // Linux reports the resident set in kilobytes.
    run.PeakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
  }
  run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  QStringList arguments = app.arguments().mid(1);
  const auto option = [&arguments](const char* name, const QString& fallback) {
    const int at = arguments.indexOf(QLatin1String(name));
    return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : fallback;
  };
  const int players = option("--players", QString::number(TPlayerPicksFile::kMaxPlayers)).toInt();
  const int played = option("--played", QStringLiteral("5")).toInt();
  const QString threads = option("--threads", QString());
  QTemporaryDir temporary;
  const QString folder = option("--dir", temporary.path());
  const QString pool =
      QDir(folder).filePath(QStringLiteral("Cap%1-%2.BGD").arg(players).arg(played));
  if (!QFileInfo::exists(QDir(pool).filePath(TPlayerPicksFile::kFileName))) {
    std::printf("Writing a pool of %d players into %s ...\n", players, qPrintable(pool));
    BenchPools::Write(pool, players, played);
  }
  const QString tool = QDir(QCoreApplication::applicationDirPath()).filePath("courtsider-cli");
  const QStringList threading =
      threads.isEmpty() ? QStringList() : QStringList{QStringLiteral("--threads"), threads};
  const QString page = QDir(folder).filePath(QStringLiteral("cap.html"));
  const QString canWin = QDir(folder).filePath(QStringLiteral("canwin.rtf"));
  const QString selections = QDir(folder).filePath(QStringLiteral("sellist.rtf"));
  struct TCommand {
    const char* Name;
    QStringList Arguments;
    QString File;  // what it writes, if not standard output
  };
  const std::vector<TCommand> commands = {
      {"outlook", QStringList{"outlook", pool} + threading, QString()},
      {"publish", QStringList{"publish", pool, "--html", page} + threading, page},
      {"report \"Standings - Who Can Still Win\" --rtf",
       {"report", pool, "Standings - Who Can Still Win", "--rtf", canWin},
       canWin},
      {"report \"Selections List\" --rtf",
       {"report", pool, "Selections List", "--rtf", selections},
       selections},
  };
  std::printf(
      "%d players, results in up to chart round %d; pool files %.0f MB\n", players, played,
      static_cast<double>(QFileInfo(QDir(pool).filePath(TPlayerPicksFile::kFileName)).size()) /
          1e6);
  std::printf("%-48s %10s %12s %12s\n", "command", "seconds", "peak MB", "written MB");
  for (const TCommand& command : commands) {
    const TRun run = Measure(tool, command.Arguments, QString());
    const double written =
        command.File.isEmpty() ? 0 : static_cast<double>(QFileInfo(command.File).size()) / 1e6;
    std::printf("%-48s %10.1f %12.0f %12.0f%s\n", command.Name, run.Seconds, run.PeakMegabytes,
                written, run.Ok ? "" : "  (failed)");
    if (!command.File.isEmpty())
      QFile::remove(command.File);
  }
  return 0;
}
