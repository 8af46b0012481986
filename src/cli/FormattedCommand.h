#pragma once

#include <QIODevice>
#include <QStringList>

#include "Cli.h"
#include "FFDataModule.h"
#include "LineWriter.h"

// A command "NAME DIR [--format text|csv|json]" that only reads its pool: a `TShown` built from
// the open pool is what the command shows, and the writer of the format asked for (text by
// default) prints it. Returns the exit status.
template <class TShown, class TText, class TCsv, class TJson>
int RunFormattedCommand(const QStringList& arguments, TCliIO& io, TText text, TCsv csv,
                        TJson json) {
  QStringList rest = arguments;
  const QString format = Cli::TakeChoice(rest, QStringLiteral("--format"), {"text", "csv", "json"});
  const QString directory = Cli::TakeDirectory(rest);

  TFFDataModule pool;
  if (!Cli::OpenPoolForReading(directory, pool, io))
    return 1;
  TShown shown;
  shown.Build(pool);
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
