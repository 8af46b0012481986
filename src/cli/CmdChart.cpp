// The chart command: a pool's bracket chart as a picture, for posting or for looking at it
// without a display.
#include <QBuffer>
#include <QDir>

#include "BracketBitmap.h"
#include "BracketList.h"
#include "Cli.h"
#include "FFDataModule.h"

namespace {
// Draws the results chart, or the picks chart of `playerName` when `picksChart`, into `file`.
// Returns the exit status.
int WriteChart(TFFDataModule& pool, bool picksChart, const QString& playerName, const QString& file,
               TCliIO& io) {
  QImage image;
  if (picksChart) {
    TPlayerPicksListObject* player = pool.PlayerPicksFile().FindPlayer(playerName);
    if (!player) {
      Cli::WriteLine(io.Err, QStringLiteral("No player named %1").arg(playerName));
      return 1;
    }
    TBracketList chart;
    TBracketBitmap bitmap(pool.SystemFile());
    chart.PlaceTeams(*player);
    bitmap.DrawAllSlots(&chart);
    image = bitmap.Image();
  } else {
    image = TBracketBitmap::ResultsPicture(pool.SystemFile(), pool.TeamsFile());
  }
  // Encoded in memory and written whole or not at all: a failure leaves no empty or cut
  // picture behind.
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) {
    Cli::WriteLine(io.Err, QStringLiteral("Cannot write %1: the picture could not be encoded")
                               .arg(QDir::toNativeSeparators(file)));
    return 1;
  }
  return Cli::WriteFile(file, png, io) ? 0 : 1;
}
}  // namespace

int CmdChart(const QStringList& arguments, TCliIO& io) {
  QStringList rest = arguments;
  const bool picksChart = rest.contains(QStringLiteral("--player"));
  const QString playerName = Cli::TakeOption(rest, QStringLiteral("--player"));
  const QString file = Cli::TakeOption(rest, QStringLiteral("--png"));
  const QString directory = Cli::TakeDirectory(rest);
  if (file.isEmpty())
    throw TUsageError("missing --png FILE");

  TFFDataModule pool;
  if (!Cli::OpenPoolForReading(directory, pool, io))
    return 1;
  const int status = WriteChart(pool, picksChart, playerName, file, io);
  Cli::ClosePoolUnsaved(pool);
  return status;
}
