// The commands that print the standings and every player's selections.
#include "Cli.h"
#include "FFDataModule.h"
#include "JsonWriter.h"
#include "LineWriter.h"
#include "PlayerSelections.h"
#include "PoolNames.h"
#include "ScoringRule.h"
#include "StandingsByPoints.h"
#include "StandingsByPotential.h"

namespace {

constexpr int kFirstRound = TStandingsItem::kFirstRound;
constexpr int kLastRound = TStandingsItem::kLastRound;

// What a standings table shows per row: the points report prints the points earned and the
// picks come true, the potential report the points within reach and the picks still alive.
struct TTableColumns {
  int32_t (TStandingsItem::*Total)() const;
  int32_t (TStandingsItem::*Rounds)(int) const;
};

constexpr TTableColumns kPointsColumns{&TStandingsItem::CurrentPoints,
                                       &TStandingsItem::RoundCorrect};
constexpr TTableColumns kPotentialColumns{&TStandingsItem::PotentialPoints,
                                          &TStandingsItem::RoundPossible};

void WriteTextTable(TLineWriter& out, const TFFDataModule& pool, const TReportsBase& standings,
                    const TTableColumns& columns) {
  const int64_t actual = pool.SystemFile().TieBreakerPoints();
  out.Text(pool.SystemFile().PoolName());
  out.EndLine();
  out.Text(standings.Title());
  out.EndLine();
  out.EndLine();
  out.Raw(" Pos  ");
  out.TextLeft(QStringLiteral("Player Name"), PoolNames::kNameWidth);
  out.Raw("  Total  Rd 1  Rd 2  Rd 3  Rd 4  Rd 5  Rd 6  TB pts");
  if (actual > 0)
    out.Raw("    +/-");
  const std::vector<int64_t> prizes = standings.Prizes();
  if (!prizes.empty())
    out.Raw("         Prize");
  out.EndLine();
  const int count = static_cast<int>(standings.Items().size());
  for (int row = 0; row < count; ++row) {
    const TStandingsItem& item = standings.StandingsItem(row);
    out.Number(row + 1, 4);
    out.Raw("  ");
    out.TextLeft(item.PlayerName(), PoolNames::kNameWidth);
    out.Number((item.*columns.Total)(), 7);
    for (int k = kFirstRound; k <= kLastRound; ++k)
      out.Number((item.*columns.Rounds)(k), 6);
    out.Number(item.TieBreakerPoints(), 8);
    if (actual > 0)
      out.Number(item.TieBreakerPoints() - actual, 7);
    if (!prizes.empty())
      out.Text(Prizes::MoneyText(prizes[static_cast<size_t>(row)]).rightJustified(14));
    out.EndLine();
  }
}

void WriteCsvTable(TLineWriter& out, const TFFDataModule& pool, const TReportsBase& standings,
                   const TTableColumns& columns) {
  const int64_t actual = pool.SystemFile().TieBreakerPoints();
  out.Raw("Pos,Player Name,Total,Rd 1,Rd 2,Rd 3,Rd 4,Rd 5,Rd 6,TB pts");
  if (actual > 0)
    out.Raw(",+/-");
  // The shared place and the prize last, so the columns before them stay those of the
  // printed report.
  out.Raw(",Place");
  const std::vector<int64_t> prizes = standings.Prizes();
  if (!prizes.empty())
    out.Raw(",Prize");
  out.EndLine();
  const int count = static_cast<int>(standings.Items().size());
  for (int row = 0; row < count; ++row) {
    const TStandingsItem& item = standings.StandingsItem(row);
    out.Number(row + 1);
    out.Raw(",");
    out.CsvField(item.PlayerName());
    out.Raw(",");
    out.Number((item.*columns.Total)());
    for (int k = kFirstRound; k <= kLastRound; ++k) {
      out.Raw(",");
      out.Number((item.*columns.Rounds)(k));
    }
    out.Raw(",");
    out.Number(item.TieBreakerPoints());
    if (actual > 0) {
      out.Raw(",");
      out.Number(item.TieBreakerPoints() - actual);
    }
    out.Raw(",");
    out.Number(standings.Place(row));
    if (!prizes.empty()) {
      out.Raw(",");
      out.Text(Prizes::MoneyText(prizes[static_cast<size_t>(row)]));
    }
    out.EndLine();
  }
}

void WriteJsonStandings(QIODevice& device, const TFFDataModule& pool,
                        const TReportsBase& standings) {
  TJsonWriter json(device);
  json.BeginObject();
  json.Key("pool_name").Value(pool.SystemFile().PoolName());
  json.Key("title").Value(standings.Title());
  json.Key("scoring").Value(ScoringRules::Key(pool.ScoringRule()));
  json.Key("tie_breaker").Value(pool.SystemFile().TieBreakerPoints());
  json.Key("rows").BeginArray();
  const std::vector<int64_t> prizes = standings.Prizes();
  const int count = static_cast<int>(standings.Items().size());
  for (int row = 0; row < count; ++row) {
    const TStandingsItem& item = standings.StandingsItem(row);
    json.BeginObject();
    json.Key("position").Value(row + 1);
    json.Key("place").Value(standings.Place(row));
    json.Key("player").Value(item.PlayerName());
    json.Key("current").Value(item.CurrentPoints());
    json.Key("potential").Value(item.PotentialPoints());
    json.Key("round_correct").BeginArray();
    for (int k = kFirstRound; k <= kLastRound; ++k)
      json.Value(item.RoundCorrect(k));
    json.EndArray();
    json.Key("round_possible").BeginArray();
    for (int k = kFirstRound; k <= kLastRound; ++k)
      json.Value(item.RoundPossible(k));
    json.EndArray();
    json.Key("tie_breaker").Value(item.TieBreakerPoints());
    json.Key("final_four").BeginArray();
    for (int i = 1; i <= TStandingsItem::kFinalFourCount; ++i)
      json.Value(item.FinalFour(i));
    json.EndArray();
    json.Key("finals").BeginArray();
    for (int i = 1; i <= TStandingsItem::kFinalsCount; ++i)
      json.Value(item.Finals(i));
    json.EndArray();
    json.Key("champion").Value(item.Champion());
    if (!prizes.empty())
      json.Key("prize").Value(Prizes::MoneyText(prizes[static_cast<size_t>(row)]));
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  json.Finish();
}

void WriteTextSelections(TLineWriter& out, const TFFDataModule& pool,
                         const TPlayerSelections& selections) {
  out.Text(pool.SystemFile().PoolName());
  out.EndLine();
  out.Text(selections.Title());
  out.EndLine();
  for (int row = 0; row < selections.Count(); ++row) {
    const TPlayerSelectionObject& item = selections.Item(row);
    out.EndLine();
    out.Text(item.PlayerName());
    out.EndLine();
    for (int k = kFirstRound; k <= kLastRound; ++k) {
      out.Raw("  Rd ");
      out.Number(k - 1);
      out.Raw(":");
      for (int i = 1; i <= item.SelectionCount(k); ++i) {
        out.Raw(i == 1 ? " " : ", ");
        out.Text(item.Selections(k, i));
      }
      out.EndLine();
    }
  }
}

void WriteJsonSelections(QIODevice& device, const TFFDataModule& pool,
                         const TPlayerSelections& selections) {
  TJsonWriter json(device);
  json.BeginObject();
  json.Key("pool_name").Value(pool.SystemFile().PoolName());
  json.Key("rows").BeginArray();
  for (int row = 0; row < selections.Count(); ++row) {
    const TPlayerSelectionObject& item = selections.Item(row);
    json.BeginObject();
    json.Key("player").Value(item.PlayerName());
    json.Key("rounds").BeginArray();
    for (int k = kFirstRound; k <= kLastRound; ++k) {
      json.BeginArray();
      for (int i = 1; i <= item.SelectionCount(k); ++i)
        json.Value(item.Selections(k, i));
      json.EndArray();
    }
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  json.Finish();
}

}  // namespace

int CmdStandings(const QStringList& arguments, TCliIO& io) {
  QStringList rest = arguments;
  const bool byPotential =
      Cli::TakeChoice(rest, QStringLiteral("--by"), {"points", "potential"}) == "potential";
  const QString format = Cli::TakeChoice(rest, QStringLiteral("--format"), {"text", "csv", "json"});
  const QString directory = Cli::TakeDirectory(rest);

  TFFDataModule pool;
  if (!Cli::OpenPoolForReading(directory, pool, io))
    return 1;
  std::unique_ptr<TReportsBase> standings;
  if (byPotential) {
    standings = std::make_unique<TStandingsByPotential>();
  } else {
    standings = std::make_unique<TStandingsByPoints>();
  }
  standings->Build(pool);
  const TTableColumns& columns = byPotential ? kPotentialColumns : kPointsColumns;
  if (format == QLatin1String("json")) {
    WriteJsonStandings(io.Out, pool, *standings);
  } else {
    TLineWriter out(io.Out);
    if (format == QLatin1String("csv")) {
      WriteCsvTable(out, pool, *standings, columns);
    } else {
      WriteTextTable(out, pool, *standings, columns);
    }
  }
  Cli::ClosePoolUnsaved(pool);
  return 0;
}

int CmdSelections(const QStringList& arguments, TCliIO& io) {
  QStringList rest = arguments;
  const QString format = Cli::TakeChoice(rest, QStringLiteral("--format"), {"text", "json"});
  const QString directory = Cli::TakeDirectory(rest);

  TFFDataModule pool;
  if (!Cli::OpenPoolForReading(directory, pool, io))
    return 1;
  TPlayerSelections selections;
  selections.Build(pool);
  if (format == QLatin1String("json")) {
    WriteJsonSelections(io.Out, pool, selections);
  } else {
    TLineWriter out(io.Out);
    WriteTextSelections(out, pool, selections);
  }
  Cli::ClosePoolUnsaved(pool);
  return 0;
}
