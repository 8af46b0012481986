// "Pick Popularity": every team's share of the players round by round, the champions most
// picked, and each player's picks no one else made.
#include "FFDataModule.h"
#include "OpenPool.h"
#include "PickPopularity.h"
#include "PoolReports.h"
#include "ReportLayout.h"

using namespace ReportLayout;

namespace {
// The tab sets of this report, after those PageSetup fills.
constexpr int kHeadingSet = Set8;
constexpr int kTeamSet = Set9;
constexpr int kListSet = Set10;

constexpr double kLeftEdge = 0.75;
constexpr double kTeamWidth = 2.5;
constexpr double kShareWidth = 0.75;
constexpr double kIndent = 0.25;
constexpr double kPlayersWidth = 1.0;
constexpr int kFirstRound = TPickPopularity::kFirstRound;
constexpr int kLastRound = TPickPopularity::kLastRound;
}  // namespace

void TPoolReports::WirePickPopularity() {
  TMasterShell& shell = rpmsPickPopularity;
  shell.OnBodyBefore = [this](TBaseReport& writer, TReportShell&) { PopularityBodyBefore(writer); };
  shell.OnRowBefore = [this](TBaseReport&, TReportShell&, bool& valid) {
    valid = FRow < static_cast<int>(FPopularityLines.size());
  };
  shell.OnRowPrint = [this](TBaseReport& writer, TReportShell&, bool&) {
    PopularityLinePrint(writer, FPopularityLines[static_cast<size_t>(FRow)]);
  };
  shell.OnRowAfter = [this](TBaseReport&, TReportShell&, bool&) { ++FRow; };
  shell.OnBodyAfter = [this](TBaseReport&, TReportShell&) {
    FPopularity.reset();
    FPopularityLines.clear();
  };
  WireRowReport(rpsysPickPopularity, rprtfPickPopularity, shell, kPopularityContinued,
                [this](TBaseReport& writer) {
                  // On the first page this comes before the body has anything to head.
                  if (FPopularity && FPopularityHeadings == TPopularityHeadings::Teams)
                    PopularityHeadings(writer);
                });
}

void TPoolReports::PopularityBodyBefore(TBaseReport& writer) {
  using TKind = TPopularityLine::TKind;
  FRow = 0;
  const TFFDataModule& pool = *FPool.DataModule();
  FPopularity = std::make_unique<TPickPopularity>();
  FPopularity->Build(pool);
  FPopularityHeadings = TPopularityHeadings::Teams;

  FPopularityLines.clear();
  for (int t = 0; t < static_cast<int>(FPopularity->Teams().size()); ++t)
    FPopularityLines.push_back({TKind::Team, t, 0});
  FPopularityLines.push_back({TKind::Gap, 0, 0});
  FPopularityLines.push_back({TKind::ChampionsTitle, 0, 0});
  const auto champions = FPopularity->Champions();
  for (int c = 0; c < static_cast<int>(champions.size()); ++c)
    FPopularityLines.push_back({TKind::Champion, c, 0});
  FPopularityLines.push_back({TKind::Gap, 0, 0});
  FPopularityLines.push_back({TKind::AloneTitle, 0, 0});
  const auto& players = FPopularity->Players();
  bool anyAlone = false;
  for (int p = 0; p < static_cast<int>(players.size()); ++p) {
    const auto& alone = players[static_cast<size_t>(p)].Alone;
    if (alone.empty())
      continue;
    anyAlone = true;
    FPopularityLines.push_back({TKind::Player, p, 0});
    for (int i = 0; i < static_cast<int>(alone.size()); ++i)
      FPopularityLines.push_back({TKind::Pick, p, i});
  }
  if (!anyAlone)
    FPopularityLines.push_back({TKind::Nobody, 0, 0});

  PageSetup(writer);
  writer.ClearTabStops();
  writer.AddTabStop(kLeftEdge, kCenter, kTeamWidth, 0, kBox, 0);
  for (int k = kFirstRound; k <= kLastRound; ++k)
    writer.AddTabStop(kPrev, kCenter, kShareWidth, 0, kBox, 0);
  writer.StoreTabStops(kHeadingSet);
  writer.ClearTabStops();
  writer.AddTabStop(kLeftEdge, kLeft, kTeamWidth, 0, 0, 0);
  for (int k = kFirstRound; k <= kLastRound; ++k)
    writer.AddTabStop(kPrev, kCenter, kShareWidth, 0, 0, 0);
  writer.StoreTabStops(kTeamSet);
  writer.ClearTabStops();
  writer.AddTabStop(kLeftEdge + kIndent, kLeft, kTeamWidth, 0, 0, 0);
  writer.AddTabStop(kPrev, kLeft, kPlayersWidth + kShareWidth * 3, 0, 0, 0);
  writer.StoreTabStops(kListSet);

  writer.RecallTabStops(Set1);
  writer.RecallFont(PoolNameFont);
  writer.PrintInNextTab(pool.SystemFile().PoolName());
  writer.NextLine();
  writer.RecallFont(TitleFont);
  writer.PrintInNextTab(TPickPopularity::kTitle);
  writer.NextLine();
  writer.RecallFont(RowFont);
  writer.PrintInNextTab(QStringLiteral("The share of the %1 players who picked each team to win "
                                       "its game of each round")
                            .arg(FPopularity->PlayerCount()));
  writer.NextLine();
  writer.NextLine();
  PopularityHeadings(writer);
}

void TPoolReports::PopularityHeadings(TBaseReport& writer) {
  writer.RecallTabStops(kHeadingSet);
  writer.RecallFont(HeadingFont);
  writer.PrintInNextTab(QStringLiteral("Team"));
  for (int k = kFirstRound; k <= kLastRound; ++k)
    writer.PrintInNextTab(QStringLiteral("Rd %1").arg(k - 1));
  writer.NextLine();
}

void TPoolReports::PopularityLinePrint(TBaseReport& writer, const TPopularityLine& line) {
  using TKind = TPopularityLine::TKind;
  const TPickPopularity& popularity = *FPopularity;
  writer.RecallFont(RowFont);
  switch (line.Kind) {
    case TKind::Team: {
      const TPickPopularity::TTeam& team = popularity.Teams()[static_cast<size_t>(line.Index)];
      writer.RecallTabStops(kTeamSet);
      writer.PrintInNextTab(team.TeamName);
      for (int k = kFirstRound; k <= kLastRound; ++k)
        writer.PrintInNextTab(TPickPopularity::Percent(popularity.Share(team, k)));
      break;
    }
    case TKind::Gap:
      // Past the table of teams a new page has no column headings to repeat.
      FPopularityHeadings = TPopularityHeadings::None;
      break;
    case TKind::ChampionsTitle:
    case TKind::AloneTitle:
      writer.ClearTabStops();
      writer.AddTabStop(kLeftEdge, kLeft, kTeamWidth + kShareWidth * TPickPopularity::kRoundCount,
                        0, 0, 0);
      writer.RecallFont(TitleFont);
      writer.PrintInNextTab(line.Kind == TKind::ChampionsTitle ? kChampionsTitle : kAloneTitle);
      break;
    case TKind::Champion: {
      const TPickPopularity::TTeam& team = *popularity.Champions()[static_cast<size_t>(line.Index)];
      const int players = team.PlayersFor(kLastRound);
      writer.RecallTabStops(kListSet);
      writer.PrintInNextTab(team.TeamName);
      writer.PrintInNextTab(
          QStringLiteral("%1 %2, %3")
              .arg(players)
              .arg(players == 1 ? QStringLiteral("player") : QStringLiteral("players"))
              .arg(TPickPopularity::Percent(popularity.Share(team, kLastRound))));
      break;
    }
    case TKind::Player:
      writer.RecallTabStops(kTeamSet);
      writer.RecallFont(HeadingFont);
      writer.PrintInNextTab(popularity.Players()[static_cast<size_t>(line.Index)].PlayerName);
      break;
    case TKind::Pick: {
      const TPickPopularity::TAlonePick& pick =
          popularity.Players()[static_cast<size_t>(line.Index)]
              .Alone[static_cast<size_t>(line.Pick)];
      writer.RecallTabStops(kListSet);
      writer.PrintInNextTab(pick.TeamName);
      writer.PrintInNextTab(TPickPopularity::Rounds(pick));
      break;
    }
    case TKind::Nobody:
      writer.RecallTabStops(kListSet);
      writer.PrintInNextTab(kNobodyAlone);
      break;
  }
  writer.NextLine();
}
