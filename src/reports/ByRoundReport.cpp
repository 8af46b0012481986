// "Standings - By Round": the race of the standings as a picture, then every player's points
// and place after each completed round.
#include <cmath>

#include "FFDataModule.h"
#include "OpenPool.h"
#include "PoolReports.h"
#include "RaceSvg.h"
#include "StandingsHistory.h"
#include "SvgText.h"

namespace {
constexpr double kPrev = TBaseReport::kPreviousStopEnd;
constexpr int kCenter = TBaseReport::kJustifyCenter;
constexpr int kLeft = TBaseReport::kJustifyLeft;
constexpr int kBox = TBaseReport::kBoxAll;
// The slots PageSetup fills (tab set 1: one centred line across the page; fonts 1 to 4: the
// pool name, the title, headings and rows), and the tab sets of this report.
constexpr int kLineSet = 1;
constexpr int kPoolNameFont = 1;
constexpr int kTitleFont = 2;
constexpr int kHeadingFont = 3;
constexpr int kRowFont = 4;
constexpr int kHeadingSet = 8;
constexpr int kRowSet = 9;

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
  shell.SetMinHeight(TReportShell::TSection::SectionRow, 2);

  const auto print = [&shell](TBaseReport& writer) { shell.Run(writer); };
  rpsysStandingsByRound.OnPrint = print;
  rpsysStandingsByRound.OnNewPage = [this](TBaseReport& writer) {
    writer.RecallTabStops(kLineSet);
    writer.RecallFont(kTitleFont);
    writer.PrintInNextTab(kByRoundContinued);
    writer.NextLine();
    writer.NextLine();
    // The first page's event comes before the body has anything to head.
    if (FHistory && !FHistory->Rounds().empty())
      ByRoundHeadings(writer);
  };
  rpsysStandingsByRound.MarginTop = rpsysStandingsPoints.MarginTop;
  rpsysStandingsByRound.MarginBottom = rpsysStandingsPoints.MarginBottom;
  rprtfStandingsByRound.OnPrint = print;
  rprtfStandingsByRound.TopMargin = rprtfStandingsPoints.TopMargin;
  rprtfStandingsByRound.BottomMargin = rprtfStandingsPoints.BottomMargin;
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

  writer.RecallTabStops(kLineSet);
  writer.RecallFont(kPoolNameFont);
  writer.PrintInNextTab(pool.SystemFile().PoolName());
  writer.NextLine();
  writer.RecallFont(kTitleFont);
  writer.PrintInNextTab(TStandingsHistory::kTitle);
  writer.NextLine();
  writer.NextLine();
  writer.RecallFont(kRowFont);
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
  writer.PrintInNextTab(kRaceNote);
  writer.NextLine();
  writer.PrintInNextTab(kByRoundNote);
  writer.NextLine();
  writer.NextLine();
  ByRoundHeadings(writer);
}

void TPoolReports::ByRoundHeadings(TBaseReport& writer) {
  writer.RecallTabStops(kHeadingSet);
  writer.RecallFont(kHeadingFont);
  writer.PrintInNextTab(QStringLiteral("Pos"));
  writer.PrintInNextTab(QStringLiteral("Player Name"));
  for (const int round : FHistory->Rounds())
    writer.PrintInNextTab(QStringLiteral("Rd %1").arg(round - 1));
  writer.NextLine();
}

void TPoolReports::ByRoundRowPrint(TBaseReport& writer) {
  const TStandingsHistory::TPlayer& player = FHistory->Players()[static_cast<size_t>(FRow)];
  writer.RecallTabStops(kRowSet);
  writer.RecallFont(kRowFont);
  // The place after the last round; each round's points with the place they gave.
  writer.PrintInNextTab(QString::number(player.Places.back()));
  writer.PrintInNextTab(player.PlayerName);
  for (size_t r = 0; r < player.Points.size(); ++r) {
    writer.PrintInNextTab(QStringLiteral("%1 (%2)").arg(player.Points[r]).arg(player.Places[r]));
  }
  writer.NextLine();
}
