#include <functional>

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
    Cli::RefuseUnchanged(named ? error : results.Reason(), io);
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

int CmdResults(const QStringList& arguments, TCliIO& io) {
  if (arguments.size() != 2 || arguments.at(0).startsWith(QLatin1String("--")))
    throw TUsageError("expected a pool folder and a results file");
  QByteArray bytes;
  if (!Cli::ReadSmallFile(arguments.at(1), TResultsFile::kMaxBytes, &bytes, io))
    return 1;
  return ReadResults(arguments.at(0), QString::fromUtf8(bytes).split(QLatin1Char('\n')), true, io);
}

int CmdResult(const QStringList& arguments, TCliIO& io) {
  if (arguments.size() < 2 || arguments.size() > 3 ||
      arguments.at(0).startsWith(QLatin1String("--")))
    throw TUsageError("expected a pool folder, a team and perhaps the final's score");
  // One win is the chart's games so far and one line more.
  QString line = arguments.at(1);
  if (arguments.size() == 3)
    line += QLatin1Char('\t') + arguments.at(2);
  return ReadResults(arguments.at(0), {line}, false, io, &TResultsFile::ChartLines);
}
