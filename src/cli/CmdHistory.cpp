// The history command: every player's points and place after each completed round, worked out
// from the chart as it stands.
#include "Cli.h"
#include "FFDataModule.h"
#include "JsonWriter.h"
#include "LineWriter.h"
#include "StandingsHistory.h"

namespace {

constexpr int kNameWidth = 35;
constexpr int kPointsWidth = 6;
constexpr int kPlaceWidth = 5;

// A place as "1st", "2nd", "3rd", "4th", ..., "11th", "12th", "13th", "21st".
QString Ordinal(int place) {
  const int tens = place % 100;
  const int units = place % 10;
  const char* suffix = "th";
  if (tens < 11 || tens > 13) {
    if (units == 1)
      suffix = "st";
    else if (units == 2)
      suffix = "nd";
    else if (units == 3)
      suffix = "rd";
  }
  return QString::number(place) + QLatin1String(suffix);
}

void WriteText(TLineWriter& out, const TFFDataModule& pool, const TStandingsHistory& history) {
  out.Text(pool.SystemFile().PoolName());
  out.EndLine();
  out.Text(TStandingsHistory::kTitle);
  out.EndLine();
  out.EndLine();
  if (history.Rounds().empty()) {
    out.Raw("No round has been completed yet.");
    out.EndLine();
    return;
  }
  // Each round's points, then the place, padded to line up with the next round's.
  const size_t rounds = history.Rounds().size();
  out.TextLeft(QStringLiteral("Player Name"), kNameWidth);
  for (size_t r = 0; r < rounds; ++r) {
    out.Raw("  ");
    out.Text(QStringLiteral("Rd %1").arg(history.Rounds()[r] - 1).rightJustified(kPointsWidth));
    out.Raw(r + 1 < rounds ? " Pos  " : " Pos");
  }
  out.EndLine();
  for (const TStandingsHistory::TPlayer& player : history.Players()) {
    out.TextLeft(player.PlayerName, kNameWidth);
    for (size_t r = 0; r < rounds; ++r) {
      out.Raw("  ");
      out.Number(player.Points[r], kPointsWidth);
      out.Raw(" ");
      const QString place = Ordinal(player.Places[r]);
      if (r + 1 < rounds)
        out.TextLeft(place, kPlaceWidth);
      else
        out.Text(place);
    }
    out.EndLine();
  }
}

void WriteCsv(TLineWriter& out, const TStandingsHistory& history) {
  out.Raw("Player Name");
  for (const int round : history.Rounds()) {
    out.Text(QStringLiteral(",Rd %1 Points,Rd %1 Place").arg(round - 1));
  }
  out.EndLine();
  for (const TStandingsHistory::TPlayer& player : history.Players()) {
    out.CsvField(player.PlayerName);
    for (size_t r = 0; r < history.Rounds().size(); ++r) {
      out.Raw(",");
      out.Number(player.Points[r]);
      out.Raw(",");
      out.Number(player.Places[r]);
    }
    out.EndLine();
  }
}

void WriteJson(QIODevice& device, const TFFDataModule& pool, const TStandingsHistory& history) {
  TJsonWriter json(device);
  json.BeginObject();
  json.Key("pool_name").Value(pool.SystemFile().PoolName());
  json.Key("title").Value(TStandingsHistory::kTitle);
  // Tournament rounds 1..6, as the standings head their columns "Rd 1" to "Rd 6".
  json.Key("rounds").BeginArray();
  for (const int round : history.Rounds())
    json.Value(round - 1);
  json.EndArray();
  json.Key("rows").BeginArray();
  for (const TStandingsHistory::TPlayer& player : history.Players()) {
    json.BeginObject();
    json.Key("player").Value(player.PlayerName);
    json.Key("tie_breaker").Value(player.TieBreakerPoints);
    json.Key("points").BeginArray();
    for (const int32_t points : player.Points)
      json.Value(points);
    json.EndArray();
    json.Key("places").BeginArray();
    for (const int place : player.Places)
      json.Value(place);
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  json.Finish();
}

}  // namespace

int CmdHistory(const QStringList& arguments, TCliIO& io) {
  QStringList rest = arguments;
  const QString format = Cli::TakeChoice(rest, QStringLiteral("--format"), {"text", "csv", "json"});
  const QString directory = Cli::TakeDirectory(rest);

  TFFDataModule pool;
  if (!Cli::OpenPoolForReading(directory, pool, io))
    return 1;
  TStandingsHistory history;
  history.Build(pool);
  if (format == QLatin1String("json")) {
    WriteJson(io.Out, pool, history);
  } else {
    TLineWriter out(io.Out);
    if (format == QLatin1String("csv")) {
      WriteCsv(out, history);
    } else {
      WriteText(out, pool, history);
    }
  }
  Cli::ClosePoolUnsaved(pool);
  return 0;
}
