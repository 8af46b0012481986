#pragma once

#include <QIODevice>
#include <QStringList>

#include "Cli.h"
#include "FFDataModule.h"
#include "LineWriter.h"

// A command "NAME DIR [--format text|csv|json]" that only reads its pool: `make` works out
// what the command shows from the open pool, and the writer of the format asked for (text by
// default) prints it. Returns the exit status.
template <class TMake, class TText, class TCsv, class TJson>
int RunFormattedCommand(const QStringList& arguments, TCliIO& io, TMake make, TText text, TCsv csv,
                        TJson json) {
  QStringList rest = arguments;
  const QString format = Cli::TakeChoice(rest, QStringLiteral("--format"), {"text", "csv", "json"});
  const QString directory = Cli::TakeDirectory(rest);

  TFFDataModule pool;
  if (!Cli::OpenPoolForReading(directory, pool, io))
    return 1;
  const auto shown = make(pool);
  if (format == QLatin1String("json")) {
    json(io.Out, pool, shown);
  } else {
    TLineWriter out(io.Out);
    if (format == QLatin1String("csv")) {
      csv(out, pool, shown);
    } else {
      text(out, pool, shown);
    }
  }
  Cli::ClosePoolUnsaved(pool);
  return 0;
}
