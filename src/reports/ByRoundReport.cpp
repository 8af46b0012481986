// "Standings - By Round": the race of the standings as a picture, then every player's points
// and place after each completed round.
#include <cmath>

#include "FFDataModule.h"
#include "OpenPool.h"
#include "PoolReports.h"
#include "RaceSvg.h"
#include "ReportLayout.h"
#include "ScoringRule.h"
#include "StandingsHistory.h"
#include "SvgText.h"

using namespace ReportLayout;

namespace {
// The tab sets of this report, after those PageSetup fills.
constexpr int kHeadingSet = Set8;
constexpr int kRowSet = Set9;

// The picture across the page between half-inch margins, drawn at this many pixels an inch:
// as sharp on paper as the lettering around it.
constexpr double kPictureLeft = 0.5;
constexpr double kPictureWidth = 7.5;
constexpr int kPictureDpi = 200;

constexpr double kPlaceWidth = 0.45;
constexpr double kNameWidth = 2.2;
constexpr double kRoundWidth = 0.8;
}  // namespace

void TPoolReports::WireStandingsByRound() {
  TMasterShell& shell = rpmsStandingsByRound;
  shell.OnBodyBefore = [this](TBaseReport& writer, TReportShell&) { ByRoundBodyBefore(writer); };
  shell.OnRowBefore = [this](TBaseReport&, TReportShell&, bool& valid) {
    valid = !FHistory->Rounds().empty() && FRow < static_cast<int>(FHistory->Players().size());
  };
  shell.OnRowPrint = [this](TBaseReport& writer, TReportShell&, bool&) { ByRoundRowPrint(writer); };
  shell.OnRowAfter = [this](TBaseReport&, TReportShell&, bool&) { ++FRow; };
  shell.OnBodyAfter = [this](TBaseReport&, TReportShell&) { FHistory.reset(); };
  WireRowReport(rpsysStandingsByRound, rprtfStandingsByRound, shell, kByRoundContinued,
                [this](TBaseReport& writer) {
                  // On the first page this comes before the body has anything to head.
                  if (FHistory && !FHistory->Rounds().empty())
                    ByRoundHeadings(writer);
                });
}

void TPoolReports::ByRoundBodyBefore(TBaseReport& writer) {
  FRow = 0;
  const TFFDataModule& pool = *FPool.DataModule();
  FHistory = std::make_unique<TStandingsHistory>();
  FHistory->Build(pool);
  const size_t rounds = FHistory->Rounds().size();

  PageSetup(writer);
  writer.ClearTabStops();
  writer.AddTabStop(kPictureLeft, kCenter, kPlaceWidth, 0, kBox, 0);
  writer.AddTabStop(kPrev, kCenter, kNameWidth, 0, kBox, 0);
  for (size_t r = 0; r < rounds; ++r)
    writer.AddTabStop(kPrev, kCenter, kRoundWidth, 0, kBox, 0);
  writer.StoreTabStops(kHeadingSet);
  writer.ClearTabStops();
  writer.AddTabStop(kPictureLeft, kCenter, kPlaceWidth, 0, 0, 0);
  writer.AddTabStop(kPrev, kLeft, kNameWidth, 0, 0, 0);
  for (size_t r = 0; r < rounds; ++r)
    writer.AddTabStop(kPrev, kCenter, kRoundWidth, 0, 0, 0);
  writer.StoreTabStops(kRowSet);

  writer.RecallTabStops(Set1);
  writer.RecallFont(PoolNameFont);
  writer.PrintInNextTab(pool.SystemFile().PoolName());
  writer.NextLine();
  writer.RecallFont(TitleFont);
  writer.PrintInNextTab(ScoringRules::Titled(TStandingsHistory::kTitle, pool.ScoringRule()));
  writer.NextLine();
  writer.NextLine();
  writer.RecallFont(RowFont);
  if (rounds == 0) {
    writer.PrintInNextTab(TStandingsHistory::kNoRoundComplete);
    writer.NextLine();
    return;
  }

  // The race, across the page; the lines go on below it.
  const QImage race = SvgText::Render(RaceSvg::Svg(*FHistory, TStandingsHistory::kTitle).toUtf8(),
                                      static_cast<int>(kPictureWidth * kPictureDpi));
  const double height = kPictureWidth * race.height() / race.width();
  const double top = writer.YPos();
  writer.DrawBitmap(kPictureLeft, top, kPictureLeft + kPictureWidth, top + height, race);
  while (writer.YPos() < top + height)
    writer.NextLine();
  writer.PrintInNextTab(RaceSvg::Caption(*FHistory));
  writer.NextLine();
  writer.PrintInNextTab(kByRoundNote);
  writer.NextLine();
  writer.NextLine();
  ByRoundHeadings(writer);
}

void TPoolReports::ByRoundHeadings(TBaseReport& writer) {
  writer.RecallTabStops(kHeadingSet);
  writer.RecallFont(HeadingFont);
  writer.PrintInNextTab(QStringLiteral("Pos"));
  writer.PrintInNextTab(QStringLiteral("Player Name"));
  for (const int round : FHistory->Rounds())
    writer.PrintInNextTab(QStringLiteral("Rd %1").arg(round - 1));
  writer.NextLine();
}

void TPoolReports::ByRoundRowPrint(TBaseReport& writer) {
  const TStandingsHistory::TPlayer& player = FHistory->Players()[static_cast<size_t>(FRow)];
  writer.RecallTabStops(kRowSet);
  writer.RecallFont(RowFont);
  // The place after the last round; each round's points with the place they gave.
  writer.PrintInNextTab(QString::number(player.Places.back()));
  writer.PrintInNextTab(player.PlayerName);
  for (size_t r = 0; r < player.Points.size(); ++r) {
    writer.PrintInNextTab(QStringLiteral("%1 (%2)").arg(player.Points[r]).arg(player.Places[r]));
  }
  writer.NextLine();
}
