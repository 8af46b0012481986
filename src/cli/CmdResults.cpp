#include <functional>

#include <QFile>

#include "Cli.h"
#include "OpenPool.h"
#include "ResultsFile.h"

namespace {

// Reads the lines into the pool as the whole truth of its chart, prints each game that
// changed and saves; a refusal changes nothing and names the line (`named`) or only the reason.
int ReadResults(const QString& directory, const QStringList& lines, bool named, TCliIO& io,
                const std::function<QStringList(const TOpenPool&)>& before = {}) {
  TOpenPool document;
  if (!Cli::OpenDocumentForChange(directory, document, io))
    return 1;
  TResultsFile results;
  QString error;
  const QStringList all = before ? before(document) + lines : lines;
  if (!results.Read(document, all, &error)) {
    Cli::WriteLine(io.Err, (named ? error : results.Reason()) +
                               QStringLiteral("\nNothing was changed; the pool is as it was."));
    document.Close();
    return 1;
  }
  results.Apply(document);
  // A file read twice changes nothing and writes nothing.
  if (results.Changes().isEmpty()) {
    document.Close();
    Cli::WriteLine(io.Out, QStringLiteral("No change: the pool already holds these results."));
    return 0;
  }
  if (!Cli::SaveAndClose(document, io))
    return 1;
  for (const QString& change : results.Changes())
    Cli::WriteLine(io.Out, change);
  return 0;
}

}  // namespace

int CmdLock(const QStringList& arguments, TCliIO& io) {
  if (arguments.size() != 1 || arguments.at(0).startsWith(QLatin1String("--")))
    throw TUsageError("expected a pool folder");
  TOpenPool document;
  if (!Cli::OpenDocumentForChange(arguments.at(0), document, io))
    return 1;
  if (document.Finalized()) {
    document.Close();
    Cli::WriteLine(io.Out, QStringLiteral("The first round is locked already."));
    return 0;
  }
  // Nobody could pick a team that is not on the first round: a chart short of one is refused.
  if (const int empty = document.EmptyFirstRoundLines(); empty > 0) {
    document.Close();
    Cli::WriteLine(io.Err, QStringLiteral("The first round has %1 empty line(s); fill them before "
                                          "locking it.")
                               .arg(empty));
    return 1;
  }
  document.Lock();
  if (!Cli::SaveAndClose(document, io))
    return 1;
  Cli::WriteLine(io.Out, QStringLiteral("The first round is locked."));
  return 0;
}

int CmdResults(const QStringList& arguments, TCliIO& io) {
  if (arguments.size() != 2 || arguments.at(0).startsWith(QLatin1String("--")))
    throw TUsageError("expected a pool folder and a results file");
  QFile file(arguments.at(1));
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    Cli::WriteLine(io.Err, QStringLiteral("Cannot read %1: %2").arg(arguments.at(1),
                                                                      file.errorString()));
    return 1;
  }
  // A results file is short: one line a game, at most a few thousand characters.
  constexpr qint64 kMaxBytes = 1 << 20;
  const QByteArray bytes = file.read(kMaxBytes + 1);
  if (bytes.size() > kMaxBytes) {
    Cli::WriteLine(io.Err, QStringLiteral("Cannot read %1: it is too long for a results file")
                               .arg(arguments.at(1)));
    return 1;
  }
  return ReadResults(arguments.at(0), QString::fromUtf8(bytes).split(QLatin1Char('\n')), true, io);
}

int CmdResult(const QStringList& arguments, TCliIO& io) {
  if (arguments.size() < 2 || arguments.size() > 3 || arguments.at(0).startsWith(QLatin1String("--")))
    throw TUsageError("expected a pool folder, a team and perhaps the final's score");
  // One win is the chart's games so far and one line more.
  QString line = arguments.at(1);
  if (arguments.size() == 3)
    line += QLatin1Char('\t') + arguments.at(2);
  return ReadResults(arguments.at(0), {line}, false, io, &TResultsFile::ChartLines);
}
