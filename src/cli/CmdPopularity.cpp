// The popularity command: how many players picked each team to get how far, the champions
// most picked, and each player's picks no one else made.
#include "FormattedCommand.h"
#include "JsonWriter.h"
#include "PickPopularity.h"
#include "PoolNames.h"

namespace {

constexpr int kShareWidth = 7;
constexpr int kFirstRound = TPickPopularity::kFirstRound;
constexpr int kLastRound = TPickPopularity::kLastRound;

void WriteText(TLineWriter& out, const TFFDataModule& pool, const TPickPopularity& popularity) {
  out.Text(pool.SystemFile().PoolName());
  out.EndLine();
  out.Text(TPickPopularity::kTitle);
  out.EndLine();
  out.Text(QStringLiteral("%1 players").arg(popularity.PlayerCount()));
  out.EndLine();
  out.EndLine();
  out.TextLeft(QStringLiteral("Team"), PoolNames::kNameWidth);
  for (int k = kFirstRound; k <= kLastRound; ++k)
    out.Text(QStringLiteral("Rd %1").arg(k - 1).rightJustified(kShareWidth));
  out.EndLine();
  for (const TPickPopularity::TTeam& team : popularity.Teams()) {
    out.TextLeft(team.TeamName, PoolNames::kNameWidth);
    for (int k = kFirstRound; k <= kLastRound; ++k)
      out.Text(TPickPopularity::Percent(popularity.Share(team, k)).rightJustified(kShareWidth));
    out.EndLine();
  }

  out.EndLine();
  out.Raw("Most Picked Champions");
  out.EndLine();
  const auto champions = popularity.Champions();
  if (champions.empty()) {
    out.Raw("  none yet");
    out.EndLine();
  }
  for (const TPickPopularity::TTeam* team : champions) {
    out.Raw("  ");
    out.TextLeft(team->TeamName, PoolNames::kNameWidth);
    out.Number(team->PlayersFor(kLastRound), 6);
    out.Raw(team->PlayersFor(kLastRound) == 1 ? " player " : " players");
    out.Text(TPickPopularity::Percent(popularity.Share(*team, kLastRound)).rightJustified(6));
    out.EndLine();
  }

  out.EndLine();
  out.Raw("Picks No One Else Made");
  out.EndLine();
  for (const TPickPopularity::TPlayer& player : popularity.Players()) {
    out.Text(player.PlayerName);
    out.EndLine();
    if (player.Alone.empty()) {
      out.Raw("  none");
      out.EndLine();
    }
    for (const TPickPopularity::TAlonePick& pick : player.Alone) {
      out.Raw("  ");
      out.TextLeft(pick.TeamName, PoolNames::kNameWidth);
      out.Text(TPickPopularity::Rounds(pick));
      out.EndLine();
    }
  }
}

// One table, a team a row: the shares in percent and, last, who alone took it how far.
void WriteCsv(TLineWriter& out, const TFFDataModule&, const TPickPopularity& popularity) {
  out.Raw("Team,Region,Seed");
  for (int k = kFirstRound; k <= kLastRound; ++k)
    out.Text(QStringLiteral(",Rd %1").arg(k - 1));
  out.Raw(",Picked Alone By");
  out.EndLine();
  QHash<QString, QStringList> alone;
  for (const TPickPopularity::TPlayer& player : popularity.Players()) {
    for (const TPickPopularity::TAlonePick& pick : player.Alone)
      alone[pick.TeamName] << player.PlayerName + QStringLiteral(" (") +
                                  TPickPopularity::Rounds(pick) + QStringLiteral(")");
  }
  for (const TPickPopularity::TTeam& team : popularity.Teams()) {
    out.CsvField(team.TeamName);
    out.Raw(",");
    out.Number(team.Region);
    out.Raw(",");
    out.Number(team.Seed);
    for (int k = kFirstRound; k <= kLastRound; ++k) {
      out.Raw(",");
      out.Text(QString::number(popularity.Share(team, k) * 100, 'f', 1));
    }
    out.Raw(",");
    out.CsvField(alone.value(team.TeamName).join(QStringLiteral("; ")));
    out.EndLine();
  }
}

void WriteJson(QIODevice& device, const TFFDataModule& pool, const TPickPopularity& popularity) {
  TJsonWriter json(device);
  json.BeginObject();
  json.Key("pool_name").Value(pool.SystemFile().PoolName());
  json.Key("title").Value(TPickPopularity::kTitle);
  json.Key("players").Value(popularity.PlayerCount());
  // Per team and for tournament rounds 1..6 ("Rd 1" to "Rd 6"): the players who picked the
  // team to win its game of that round, and their share of all players.
  json.Key("teams").BeginArray();
  for (const TPickPopularity::TTeam& team : popularity.Teams()) {
    json.BeginObject();
    json.Key("team").Value(team.TeamName);
    json.Key("region").Value(team.Region);
    json.Key("seed").Value(team.Seed);
    json.Key("picked").BeginArray();
    for (int k = kFirstRound; k <= kLastRound; ++k)
      json.Value(team.PlayersFor(k));
    json.EndArray();
    json.Key("shares").BeginArray();
    for (int k = kFirstRound; k <= kLastRound; ++k)
      json.Value(popularity.Share(team, k));
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.Key("champions").BeginArray();
  for (const TPickPopularity::TTeam* team : popularity.Champions()) {
    json.BeginObject();
    json.Key("team").Value(team->TeamName);
    json.Key("players").Value(team->PlayersFor(kLastRound));
    json.Key("share").Value(popularity.Share(*team, kLastRound));
    json.EndObject();
  }
  json.EndArray();
  json.Key("alone").BeginArray();
  for (const TPickPopularity::TPlayer& player : popularity.Players()) {
    json.BeginObject();
    json.Key("player").Value(player.PlayerName);
    json.Key("picks").BeginArray();
    for (const TPickPopularity::TAlonePick& pick : player.Alone) {
      json.BeginObject();
      json.Key("team").Value(pick.TeamName);
      json.Key("from_round").Value(pick.From - 1);
      json.Key("to_round").Value(pick.To - 1);
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  json.Finish();
}

}  // namespace

int CmdPopularity(const QStringList& arguments, TCliIO& io) {
  return RunFormattedCommand<TPickPopularity>(arguments, io, WriteText, WriteCsv, WriteJson);
}
