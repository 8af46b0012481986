// The history command: every player's points and place after each completed round, worked out
// from the chart as it stands.
#include "FormattedCommand.h"
#include "JsonWriter.h"
#include "PoolNames.h"
#include "ScoringRule.h"
#include "StandingsHistory.h"

namespace {

constexpr int kPointsWidth = 6;
constexpr int kPlaceWidth = 5;

void WriteText(TLineWriter& out, const TFFDataModule& pool, const TStandingsHistory& history) {
  out.Text(pool.SystemFile().PoolName());
  out.EndLine();
  out.Text(ScoringRules::Titled(TStandingsHistory::kTitle, pool.ScoringRule()));
  out.EndLine();
  out.EndLine();
  if (history.Rounds().empty()) {
    out.Text(TStandingsHistory::kNoRoundComplete);
    out.EndLine();
    return;
  }
  // Each round's points, then the place, padded to line up with the next round's.
  const size_t rounds = history.Rounds().size();
  out.TextLeft(QStringLiteral("Player Name"), PoolNames::kNameWidth);
  for (size_t r = 0; r < rounds; ++r) {
    out.Raw("  ");
    out.Text(QStringLiteral("Rd %1").arg(history.Rounds()[r] - 1).rightJustified(kPointsWidth));
    out.Raw(r + 1 < rounds ? " Pos  " : " Pos");
  }
  out.EndLine();
  for (const TStandingsHistory::TPlayer& player : history.Players()) {
    out.TextLeft(player.PlayerName, PoolNames::kNameWidth);
    for (size_t r = 0; r < rounds; ++r) {
      out.Raw("  ");
      out.Number(player.Points[r], kPointsWidth);
      out.Raw(" ");
      const QString place = TStandingsHistory::Ordinal(player.Places[r]);
      if (r + 1 < rounds)
        out.TextLeft(place, kPlaceWidth);
      else
        out.Text(place);
    }
    out.EndLine();
  }
}

void WriteCsv(TLineWriter& out, const TFFDataModule&, const TStandingsHistory& history) {
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
  json.Key("title").Value(ScoringRules::Titled(TStandingsHistory::kTitle, pool.ScoringRule()));
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
  return RunFormattedCommand<TStandingsHistory>(arguments, io, WriteText, WriteCsv, WriteJson);
}
