// The outlook command: who can still win the pool, each player's chances over the games left,
// and which result of the next round helps whom.
#include <cmath>

#include "Cli.h"
#include "FFDataModule.h"
#include "JsonWriter.h"
#include "LineWriter.h"
#include "Outlook.h"
#include "PoolNames.h"
#include "PoolReports.h"
#include "ScoringRule.h"
#include "TeamRatings.h"

namespace {

constexpr int kTeamsShown = 3;
constexpr int kOutcomesWidth = 12;
constexpr int kPrizeWidth = 10;

QString RoundName(const TRootingGame& game) {
  return QStringLiteral("Rd %1").arg(game.Round - 1);
}

void WriteRooting(TLineWriter& out, const TOutlookResult& result);
void WriteLastGames(TLineWriter& out, const TOutlookResult& result);

void WriteText(TLineWriter& out, const TFFDataModule& pool, const TOutlookInput& input,
               const TOutlookResult& result, const QStringList& assumed) {
  out.Text(pool.SystemFile().PoolName());
  out.EndLine();
  out.Text(ScoringRules::Titled(TPoolReports::kOutlookTitle, pool.ScoringRule()));
  out.EndLine();
  out.Text(OutlookSummary(result));
  out.EndLine();
  if (!assumed.isEmpty()) {
    out.Text(QStringLiteral("What if: %1").arg(assumed.join(QStringLiteral("; "))));
    out.EndLine();
  }
  if (result.PaysPrizes) {
    out.Text(PrizesLine(result, input.Prizes));
    out.EndLine();
  }
  out.EndLine();
  const bool counts = CountsOutcomes(result, kOutcomesWidth);
  out.Raw(" Pos  ");
  out.TextLeft(QStringLiteral("Player Name"), PoolNames::kNameWidth);
  // Places run to seven digits at the cap of players; a blank always parts the columns.
  out.Raw("    Now    Max    Best   Worst          Won         Tied    Win %");
  if (!result.Exact)
    out.Raw("  95% interval   ");
  if (result.PaysPrizes) {
    out.Raw("  Exp. Prize");
    if (!result.Exact)
      out.Raw("  95% interval     ");
    out.Raw("  Prize %");
    if (!result.Exact)
      out.Raw("  95% interval   ");
  }
  out.Raw("  Champions");
  out.EndLine();
  for (size_t row = 0; row < result.Players.size(); ++row) {
    const TOutlookPlayer& player = result.Players[row];
    out.Number(static_cast<long long>(row + 1), 4);
    out.Raw("  ");
    out.TextLeft(player.Name, PoolNames::kNameWidth);
    out.Number(player.Current, 7);
    out.Number(player.Max, 7);
    out.Number(player.BestPlace, 8);
    out.Number(player.WorstPlace, 8);
    out.Raw(" ");
    out.Text(FormatOutcomes(result, player.Won, counts).rightJustified(kOutcomesWidth));
    out.Raw(" ");
    out.Text(FormatOutcomes(result, player.Tied, counts).rightJustified(kOutcomesWidth));
    out.Raw(" ");
    out.Text(FormatChance(player.WinChance).rightJustified(8));
    if (!result.Exact) {
      out.Raw("  ");
      out.TextLeft(FormatInterval(player.ChanceLow, player.ChanceHigh), 15);
    }
    if (result.PaysPrizes) {
      out.Raw("  ");
      out.Text(FormatPrize(player.ExpectedPrize).rightJustified(kPrizeWidth));
      if (!result.Exact) {
        out.Raw("  ");
        out.TextLeft(FormatPrizeInterval(player.PrizeLow, player.PrizeHigh), 17);
      }
      out.Raw(" ");
      out.Text(FormatChance(player.PrizeChance).rightJustified(8));
      if (!result.Exact) {
        out.Raw("  ");
        out.TextLeft(FormatInterval(player.PrizeChanceLow, player.PrizeChanceHigh), 15);
      }
    }
    out.Raw("  ");
    out.Text(TopChampions(player, kTeamsShown));
    out.EndLine();
  }
  WriteRooting(out, result);
  WriteLastGames(out, result);
}

// The players who can still win (or be paid), each with the results of the next round that
// help most.
void WriteRooting(TLineWriter& out, const TOutlookResult& result) {
  if (result.Rooting.empty())
    return;
  out.EndLine();
  out.Text((result.RootsByPrize
                ? QStringLiteral("Rooting guide: the results of %1 that raise each player's "
                                 "expected prize most, and the expected prize if they come")
                : QStringLiteral("Rooting guide: the results of %1 that raise each player's win "
                                 "chance most, and the chance if they come"))
               .arg(RoundName(result.Rooting.front())));
  out.EndLine();
  for (size_t row = 0; row < result.Players.size(); ++row) {
    const TOutlookPlayer& player = result.Players[row];
    if (!result.Roots(player))
      continue;
    QStringList roots;
    for (const TRootFor& root : RootingFor(result, player)) {
      if (roots.size() == kTeamsShown)
        break;
      roots << FormatRootFor(result, root);
    }
    out.Number(static_cast<long long>(row + 1), 4);
    out.Raw("  ");
    out.TextLeft(player.Name, PoolNames::kNameWidth);
    out.Text(
        FormatRootingFigure(result, player).rightJustified(result.RootsByPrize ? kPrizeWidth : 8));
    out.Raw("  ");
    out.Text(roots.join(QStringLiteral(", ")));
    out.EndLine();
  }
}

// With the last few games left, every outcome: its chance, the winners in the order the games
// are played, and who finishes first on points.
void WriteLastGames(TLineWriter& out, const TOutlookResult& result) {
  if (result.LastGames.empty())
    return;
  out.EndLine();
  out.Text(result.PaysPrizes
               ? QStringLiteral("The last games: every outcome, its winners in the order the "
                                "games are played, who finishes first (points) and who wins what")
               : QStringLiteral("The last games: every outcome, its winners in the order the "
                                "games are played, and who finishes first (points)"));
  out.EndLine();
  for (const TLastGamesOutcome& outcome : result.LastGames) {
    out.Text(FormatChance(outcome.Chance).rightJustified(8));
    out.Raw("  ");
    out.Text(QStringLiteral("%1: %2 (%3)")
                 .arg(outcome.Winners.join(QStringLiteral(", ")),
                      outcome.First.join(QStringLiteral(", ")), QString::number(outcome.Points)));
    if (result.PaysPrizes)
      out.Text(QStringLiteral("; ") + PaidText(outcome));
    out.EndLine();
  }
}

// A Won or Tied figure as a plain number, for a spreadsheet to read.
QString PlainOutcomes(const TOutlookResult& result, double count) {
  if (result.Exact && result.Model == TOutlookModel::Even)
    return QString::number(count, 'f', 0);
  return QString::number(count, 'f', 1);
}

void WriteCsv(TLineWriter& out, const TOutlookResult& result) {
  out.Raw("Pos,Player Name,Current,Max,Best Place,Worst Place,Won,Tied,Win Chance");
  if (!result.Exact)
    out.Raw(",Low,High");
  if (result.PaysPrizes) {
    out.Raw(result.Exact ? ",Expected Prize,Prize Chance"
                         : ",Expected Prize,Expected Prize Low,Expected Prize High,Prize Chance,"
                           "Prize Chance Low,Prize Chance High");
  }
  out.Raw(",Champions");
  // One column per team of each game of the next round: the win chance if that team wins,
  // and where the guide goes by prizes the expected prize then as well.
  for (const TRootingGame& game : result.Rooting) {
    for (const QString& team : game.Teams) {
      const QString column =
          QStringLiteral("%1 %2 v %3: %4").arg(RoundName(game), game.Teams[0], game.Teams[1], team);
      out.Raw(",");
      out.CsvField(column);
      if (result.RootsByPrize) {
        out.Raw(",");
        out.CsvField(column + QStringLiteral(" (Expected Prize)"));
      }
    }
  }
  out.EndLine();
  for (size_t row = 0; row < result.Players.size(); ++row) {
    const TOutlookPlayer& player = result.Players[row];
    out.Number(static_cast<long long>(row + 1));
    out.Raw(",");
    out.CsvField(player.Name);
    QStringList fields = {
        QString::number(player.Current),           QString::number(player.Max),
        QString::number(player.BestPlace),         QString::number(player.WorstPlace),
        PlainOutcomes(result, player.Won),         PlainOutcomes(result, player.Tied),
        QString::number(player.WinChance, 'g', 10)};
    if (!result.Exact) {
      fields << QString::number(player.ChanceLow, 'g', 10)
             << QString::number(player.ChanceHigh, 'g', 10);
    }
    if (result.PaysPrizes) {
      fields << FormatPrize(player.ExpectedPrize);
      if (!result.Exact)
        fields << FormatPrize(player.PrizeLow) << FormatPrize(player.PrizeHigh);
      fields << QString::number(player.PrizeChance, 'g', 10);
      if (!result.Exact) {
        fields << QString::number(player.PrizeChanceLow, 'g', 10)
               << QString::number(player.PrizeChanceHigh, 'g', 10);
      }
    }
    for (const QString& field : fields) {
      out.Raw(",");
      out.Text(field);
    }
    out.Raw(",");
    out.CsvField(TopChampions(player, kTeamsShown));
    for (const TRootingGame& game : result.Rooting) {
      for (int side = 0; side < 2; ++side) {
        out.Raw(",");
        out.Text(QString::number(result.RootingChance(game, side, player.Index), 'g', 10));
        if (result.RootsByPrize) {
          out.Raw(",");
          out.Text(FormatPrize(result.RootingPrize(game, side, player.Index)));
        }
      }
    }
    out.EndLine();
  }
}

void WriteJson(QIODevice& device, const TFFDataModule& pool, const TOutlookResult& result,
               const QStringList& assumed) {
  TJsonWriter json(device);
  json.BeginObject();
  json.Key("pool_name").Value(pool.SystemFile().PoolName());
  json.Key("assumed").BeginArray();
  for (const QString& game : assumed)
    json.Value(game);
  json.EndArray();
  json.Key("model").Value(QString::fromLatin1(ModelName(result.Model)));
  json.Key("exact").Value(result.Exact);
  json.Key("outcomes").Value(static_cast<unsigned long long>(result.Outcomes));
  json.Key("samples").Value(static_cast<long long>(result.Samples));
  json.Key("games_left").Value(result.GamesLeft);
  if (result.PaysPrizes)
    json.Key("pot").Value(PrizeMoney(static_cast<double>(result.Pot)));
  json.Key("players").BeginArray();
  for (const TOutlookPlayer& player : result.Players) {
    json.BeginObject();
    json.Key("player").Value(player.Name);
    json.Key("current").Value(player.Current);
    json.Key("max").Value(player.Max);
    json.Key("best_place").Value(player.BestPlace);
    json.Key("worst_place").Value(player.WorstPlace);
    json.Key("won").Value(player.Won);
    json.Key("tied").Value(player.Tied);
    json.Key("win_chance").Value(player.WinChance);
    json.Key("win_chance_low").Value(player.ChanceLow);
    json.Key("win_chance_high").Value(player.ChanceHigh);
    if (result.PaysPrizes) {
      json.Key("expected_prize").Value(PrizeMoney(player.ExpectedPrize));
      json.Key("expected_prize_low").Value(PrizeMoney(player.PrizeLow));
      json.Key("expected_prize_high").Value(PrizeMoney(player.PrizeHigh));
      json.Key("prize_chance").Value(player.PrizeChance);
      json.Key("prize_chance_low").Value(player.PrizeChanceLow);
      json.Key("prize_chance_high").Value(player.PrizeChanceHigh);
    }
    json.Key("champions").BeginArray();
    for (const TOutlookChampion& champion : player.Champions) {
      json.BeginObject();
      json.Key("team").Value(champion.Team);
      json.Key("won").Value(champion.Won);
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.Key("rooting").BeginArray();
  for (const TRootingGame& game : result.Rooting) {
    json.BeginObject();
    json.Key("round").Value(game.Round - 1);
    json.Key("teams").BeginArray().Value(game.Teams[0]).Value(game.Teams[1]).EndArray();
    json.Key("players").BeginArray();
    for (const TOutlookPlayer& player : result.Players) {
      json.BeginObject();
      json.Key("player").Value(player.Name);
      json.Key("win_chance")
          .BeginArray()
          .Value(result.RootingChance(game, 0, player.Index))
          .Value(result.RootingChance(game, 1, player.Index));
      json.EndArray();
      if (result.RootsByPrize) {
        json.Key("expected_prize")
            .BeginArray()
            .Value(PrizeMoney(result.RootingPrize(game, 0, player.Index)))
            .Value(PrizeMoney(result.RootingPrize(game, 1, player.Index)));
        json.EndArray();
      }
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.Key("last_games").BeginArray();
  for (const TLastGamesOutcome& outcome : result.LastGames) {
    json.BeginObject();
    json.Key("winners").BeginArray();
    for (const QString& team : outcome.Winners)
      json.Value(team);
    json.EndArray();
    json.Key("first").BeginArray();
    for (const QString& player : outcome.First)
      json.Value(player);
    json.EndArray();
    json.Key("points").Value(static_cast<long long>(outcome.Points));
    json.Key("chance").Value(outcome.Chance);
    if (result.PaysPrizes) {
      json.Key("paid").BeginArray();
      for (const TLastGamesOutcome::TPaid& paid : outcome.Paid) {
        json.BeginObject();
        json.Key("player").Value(paid.Player);
        json.Key("prize").Value(PrizeMoney(static_cast<double>(paid.Cents)));
        json.EndObject();
      }
      json.EndArray();
    }
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  json.Finish();
}

}  // namespace

int CmdOutlook(const QStringList& arguments, TCliIO& io) {
  QStringList rest = arguments;
  const QString model =
      Cli::TakeChoice(rest, QStringLiteral("--model"), {"even", "seed", "ratings"});
  const QString ratingsFile = Cli::TakeOption(rest, QStringLiteral("--ratings"));
  const QString scale = Cli::TakeOption(rest, QStringLiteral("--scale"));
  const QString assume = Cli::TakeOption(rest, QStringLiteral("--assume"));
  const QString format = Cli::TakeChoice(rest, QStringLiteral("--format"), {"text", "csv", "json"});
  TOutlookOptions options;
  options.Model = model == QLatin1String("seed")      ? TOutlookModel::Seed
                  : model == QLatin1String("ratings") ? TOutlookModel::Ratings
                                                      : TOutlookModel::Even;
  if ((options.Model == TOutlookModel::Ratings) != !ratingsFile.isEmpty())
    throw TUsageError("--model ratings goes with --ratings FILE, and --ratings with it");
  if (!scale.isEmpty()) {
    bool number = false;
    options.RatingScale = scale.toDouble(&number);
    if (!number || !(options.RatingScale > 0) || !std::isfinite(options.RatingScale) ||
        options.Model != TOutlookModel::Ratings) {
      throw TUsageError("--scale goes with --model ratings and must be a number above 0");
    }
  }
  options.Threads = Cli::TakeThreads(rest);
  const QString directory = Cli::TakeDirectory(rest);

  TFFDataModule pool;
  if (!Cli::OpenPoolForReading(directory, pool, io))
    return 1;
  if (!pool.Finalized()) {
    Cli::WriteLine(io.Err, TPoolReports::kFirstRoundOpen);
    Cli::ClosePoolUnsaved(pool);
    return 1;
  }
  QString why;
  if (options.Model == TOutlookModel::Ratings &&
      !TeamRatings::ReadFile(ratingsFile, pool.TeamsFile(), &options.Ratings, &why)) {
    Cli::WriteLine(io.Err, why);
    Cli::ClosePoolUnsaved(pool);
    return 1;
  }
  TOutlookInput input = TOutlookInput::FromPool(pool);
  QStringList assumed;
  // "UConn,UConn": two wins of UConn, each its next game in turn.
  if (!assume.isEmpty() && !AssumeWinners(input, assume.split(QLatin1Char(',')), &assumed, &why)) {
    Cli::WriteLine(io.Err, QStringLiteral("--assume: ") + why);
    Cli::ClosePoolUnsaved(pool);
    return 1;
  }
  const std::unique_ptr<TOutlookResult> worked =
      TPoolReports::WorkOutOutlook(input, TPoolReports::kOutlookTitle, options);
  const TOutlookResult& result = *worked;
  if (format == QLatin1String("json")) {
    WriteJson(io.Out, pool, result, assumed);
  } else {
    TLineWriter out(io.Out);
    if (format == QLatin1String("csv")) {
      WriteCsv(out, result);
    } else {
      WriteText(out, pool, input, result, assumed);
    }
  }
  Cli::ClosePoolUnsaved(pool);
  return 0;
}
