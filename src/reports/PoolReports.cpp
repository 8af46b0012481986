#include "PoolReports.h"

#include <QDir>

#include "BracketBitmap.h"
#include "BracketList.h"
#include "FFDataModule.h"
#include "OpenPool.h"
#include "Outlook.h"
#include "PickPopularity.h"
#include "PlayerSelections.h"
#include "ReportLayout.h"
#include "ReportUi.h"
#include "StandingsByPoints.h"
#include "StandingsByPotential.h"
#include "StandingsHistory.h"

namespace {
using namespace ReportLayout;

// The blank entry sheet's picture and the three lines under it.
constexpr double kChartLeft = 0.5;
constexpr double kChartTop = 0.5;
constexpr double kChartRight = 8.0;
constexpr double kChartBottom = 9.5;
constexpr int kFooterLineAdvance = 54;
const QString kNameLine = QStringLiteral("Name  ____________________________");
const QString kPhoneLine = QStringLiteral("Phone  ________________");
const QString kTieBreakerLine = QStringLiteral("Total Points Tie Breaker _______");

const QStringList kColumnHeadings = {
    QStringLiteral("Pos"),    QStringLiteral("Player Name"), QStringLiteral("Total"),
    QStringLiteral("Rd 1"),   QStringLiteral("Rd 2"),        QStringLiteral("Rd 3"),
    QStringLiteral("Rd 4"),   QStringLiteral("Rd 5"),        QStringLiteral("Rd 6"),
    QStringLiteral("TB pts"), QStringLiteral("+/-")};
const QStringList kFinal4Headings = {QStringLiteral("Final 4"), QStringLiteral("Finals"),
                                     QStringLiteral("Champ")};

// Who can still win: the table's columns, its headings, and the rooting guide's columns.
struct TOutlookColumn {
  const char* Heading;
  double Width;
  int Justify;
};
constexpr TOutlookColumn kOutlookColumns[] = {{"Pos", 0.4, kCenter},   {"Player Name", 2.0, kLeft},
                                              {"Now", 0.5, kCenter},   {"Max", 0.5, kCenter},
                                              {"Best", 0.5, kCenter},  {"Worst", 0.55, kCenter},
                                              {"Won", 0.8, kCenter},   {"Tied", 0.8, kCenter},
                                              {"Win %", 0.7, kCenter}, {"Champions", 1.25, kLeft}};
constexpr double kRootingRoundWidth = 0.6;
constexpr double kRootingNameWidth = 2.0;
constexpr double kRootingChanceWidth = 1.5;
constexpr int kOutlookChampions = 2;

constexpr int kPickColumns = 16;
constexpr int kTournamentRounds = 6;
}  // namespace

// What tells the four standings reports apart.
struct TPoolReports::TStandingsLayout {
  std::function<std::unique_ptr<TReportsBase>()> Create;
  QString Continuation;
  bool Potential = false;
  bool Final4 = false;
  // The potential report moves down before it chooses the row's stops and font.
  bool NextLineFirst = false;
  int RowMinimum = 2;
};

namespace {
template <class TDataSet>
std::unique_ptr<TReportsBase> Make() {
  return std::make_unique<TDataSet>();
}

}  // namespace

const std::array<TPoolReports::TCatalogueEntry, TPoolReports::kReportCount>&
TPoolReports::Catalogue() {
  static const std::array<TCatalogueEntry, kReportCount> catalogue = {{
      {QStringLiteral("Blank Entry Sheet"), QString(), false},
      {QStringLiteral("Standings - Point Total"), QStringLiteral("stndpts.rtf"), true},
      {QStringLiteral("Standings - Potential Point Total"), QStringLiteral("stndpot.rtf"), true},
      {QStringLiteral("Standings - Points with Final 4"), QStringLiteral("ptsfinl4.rtf"), true},
      {QStringLiteral("Standings - Potential with Final 4"), QStringLiteral("potfinl4.rtf"), true},
      {QStringLiteral("Selections List"), QStringLiteral("sellist.rtf"), true},
      {QStringLiteral("Standings - Who Can Still Win"), QStringLiteral("canwin.rtf"), true},
      {QStringLiteral("Standings - By Round"), QStringLiteral("stndrnd.rtf"), true},
      {QStringLiteral("Pick Popularity"), QStringLiteral("popular.rtf"), true},
  }};
  return catalogue;
}

int TPoolReports::IndexOf(const QString& listText) {
  const auto& catalogue = Catalogue();
  for (int p = 0; p < kReportCount; ++p) {
    if (catalogue[static_cast<size_t>(p)].ListText == listText)
      return p;
  }
  return -1;
}

bool TPoolReports::Available(int p, const TFFDataModule& pool) {
  return !Catalogue().at(static_cast<size_t>(p)).NeedsLockedFirstRound || pool.Finalized();
}

TPoolReports::TPoolReports(TOpenPool& pool) : FPool(pool) {
  static const TStandingsLayout points{Make<TStandingsByPoints>,
                                       QStringLiteral("Standings by Current Points (cont.)"),
                                       false,
                                       false,
                                       false,
                                       2};
  static const TStandingsLayout potential{
      Make<TStandingsByPotential>,
      QStringLiteral("Standings by Potential Points Remaining (cont.)"),
      true,
      false,
      true,
      2};
  static const TStandingsLayout withFinal4{
      Make<TStandingsWithFinal4>,
      QStringLiteral("Point Standings With Final 4 Selections (cont.)"),
      false,
      true,
      false,
      4};
  static const TStandingsLayout potentialFinal4{
      Make<TPotentialWithFinal4>,
      QStringLiteral("Potential Points With Final 4 Selections (cont.)"),
      true,
      true,
      false,
      4};

  WireBlankEntry();
  WireStandings(points, rpsysStandingsPoints, rprtfStandingsPoints, rpmsStandingsPoints);
  WireStandings(potential, rpsysStandingsPotential, rprtfStandingsPotential,
                rpmsStandingsPotential);
  WireStandings(withFinal4, rpsysStandingsWithFinal4, rprtfPointsWithFinal4,
                rpmsStandingsWithFinal4);
  WireStandings(potentialFinal4, rpsysPotentialWithFinal4, rprtfPotentialWithFinal4,
                rpmsPotentialWithFinal4);
  WireSelections();
  WireWhoCanStillWin();
  WireStandingsByRound();
  WirePickPopularity();

  FPrinterTable = {&rpsysBlankEntry,          &rpsysStandingsPoints,     &rpsysStandingsPotential,
                   &rpsysStandingsWithFinal4, &rpsysPotentialWithFinal4, &rpsysSelectionsList,
                   &rpsysWhoCanStillWin,      &rpsysStandingsByRound,    &rpsysPickPopularity};
  FFileTable = {nullptr,
                &rprtfStandingsPoints,
                &rprtfStandingsPotential,
                &rprtfPointsWithFinal4,
                &rprtfPotentialWithFinal4,
                &rprtfSelectionsList,
                &rprtfWhoCanStillWin,
                &rprtfStandingsByRound,
                &rprtfPickPopularity};
}

TPoolReports::~TPoolReports() = default;

void TPoolReports::SetRtfDirectory(const QString& directory) {
  const QDir dir(directory);
  for (int p = 1; p < kReportCount; ++p) {
    FFileTable[static_cast<size_t>(p)]->FileName =
        dir.filePath(Catalogue()[static_cast<size_t>(p)].RtfFile);
  }
}

bool TPoolReports::Prepare(int p) {
  if (p != kWhoCanStillWin)
    return true;
  FOutlook = WorkOutOutlook(*FPool.DataModule(), rpsysWhoCanStillWin.TitleStatus);
  return FOutlook != nullptr;
}

std::unique_ptr<TOutlookResult> TPoolReports::WorkOutOutlook(const TFFDataModule& pool,
                                                             const QString& title) {
  const TOutlookInput input = TOutlookInput::FromPool(pool);
  TOutlookProgress progress;
  auto outlook = std::make_unique<TOutlookResult>();
  TReportUi::Current().RunWithProgress(
      title, kOutlookWorking,
      [&] { *outlook = ComputeOutlook(input, TOutlookOptions{}, &progress); },
      [&] { return progress.Fraction(); }, [&] { progress.Cancel(); });
  if (outlook->Cancelled)
    outlook.reset();
  return outlook;
}

void TPoolReports::WireStandings(const TStandingsLayout& layout, TReportSystem& system,
                                 TRTFFiler& filer, TMasterShell& shell) {
  shell.OnBodyBefore = [this, &layout](TBaseReport& writer, TReportShell&) {
    StandingsBodyBefore(writer, layout);
  };
  shell.OnRowBefore = [this](TBaseReport&, TReportShell&, bool& valid) {
    StandingsRowBefore(valid);
  };
  shell.OnRowPrint = [this, &layout](TBaseReport& writer, TReportShell&, bool&) {
    StandingsRowPrint(writer, layout);
  };
  shell.OnRowAfter = [this](TBaseReport&, TReportShell&, bool&) { ++FRow; };
  shell.OnBodyAfter = [this](TBaseReport&, TReportShell&) { BodyAfter(); };
  shell.SetMinHeight(TReportShell::TSection::SectionRow, layout.RowMinimum);

  const auto print = [&shell](TBaseReport& writer) { shell.Run(writer); };
  system.OnPrint = print;
  system.OnNewPage = [this, &layout](TBaseReport& writer) { StandingsNewPage(writer, layout); };
  system.MarginTop = kStandingsTopMargin;
  system.MarginBottom = kStandingsBottomMargin;
  // The file has no new-page handler: no continuation headings, no empty lines above the
  // pool name.
  filer.OnPrint = print;
  filer.TopMargin = kStandingsTopMargin;
  filer.BottomMargin = kStandingsBottomMargin;
}

void TPoolReports::WireSelections() {
  rpmsSelectionsList.OnBodyBefore = [this](TBaseReport& writer, TReportShell&) {
    FRow = 0;
    auto selections = std::make_unique<TPlayerSelections>();
    const TFFDataModule& pool = *FPool.DataModule();
    FPoolTieBreaker = pool.SystemFile().TieBreakerPoints();
    PageSetup(writer);
    selections->Build(pool);
    FData = std::move(selections);
    writer.RecallTabStops(Set1);
    writer.RecallFont(PoolNameFont);
    writer.PrintInNextTab(pool.SystemFile().PoolName());
    writer.NextLine();
    writer.RecallFont(TitleFont);
    writer.PrintInNextTab(kSelectionsTitle);
  };
  rpmsSelectionsList.OnRowBefore = [this](TBaseReport&, TReportShell&, bool& valid) {
    const auto& selections = static_cast<const TPlayerSelections&>(*FData);
    valid = FRow < selections.Count();
    FSelection = valid ? &selections.Item(FRow) : nullptr;
  };
  rpmsSelectionsList.OnBodyAfter = [this](TBaseReport&, TReportShell&) { BodyAfter(); };
  rpmsSelectionsList.DetailReport = &rpdsSelectionsList;

  rpdsSelectionsList.SetMinHeight(TReportShell::TSection::SectionBodyHeader, 8);
  rpdsSelectionsList.OnBodyHeader = [this](TBaseReport& writer, TReportShell&) {
    writer.RecallTabStops(Set6);
    writer.RecallFont(HeadingFont);
    writer.NextLine();
    writer.PrintInNextTab(FSelection->PlayerName());
    writer.NextLine();
  };
  rpdsSelectionsList.OnRowPrint = [this](TBaseReport& writer, TReportShell&, bool& valid) {
    writer.ClearTabStops();
    writer.RecallTabStops(Set5);
    for (int round = 1; round <= kTournamentRounds; ++round) {
      writer.RecallFont(RoundLabelFont);
      writer.PrintInNextTab(QStringLiteral("Rd %1").arg(round));
      writer.RecallFont(PickFont);
      for (int j = 1; j <= TPlayerSelectionObject::kMaxSelections; ++j) {
        const QString& pick = FSelection->Selections(round + 1, j);
        if (!pick.isEmpty() && j == kPickColumns + 1) {
          // The second half of the round goes under the first, past the label column.
          writer.NextLine();
          writer.PrintInNextTab(QString());
        }
        writer.PrintInNextTab(pick);
      }
      writer.NextLine();
    }
    valid = false;
  };
  rpdsSelectionsList.OnRowAfter = [this](TBaseReport&, TReportShell&, bool&) { ++FRow; };

  const auto print = [this](TBaseReport& writer) { rpmsSelectionsList.Run(writer); };
  rpsysSelectionsList.OnPrint = print;
  rpsysSelectionsList.OnNewPage = [](TBaseReport& writer) {
    writer.RecallTabStops(Set1);
    writer.RecallFont(TitleFont);
    writer.PrintInNextTab(kSelectionsContinued);
    writer.NextLine();
    writer.NextLine();
  };
  rpsysSelectionsList.MarginTop = kStandingsTopMargin;
  rpsysSelectionsList.MarginBottom = kStandingsBottomMargin;
  rprtfSelectionsList.OnPrint = print;
  rprtfSelectionsList.TopMargin = kStandingsTopMargin;
  rprtfSelectionsList.BottomMargin = kStandingsBottomMargin;
}

void TPoolReports::WireBlankEntry() {
  rpsysBlankEntry.OnBeforePrint = [this](TBaseReport&) {
    const TFFDataModule& pool = *FPool.DataModule();
    FBitmap = std::make_unique<TBracketBitmap>(pool.SystemFile());
    // A chart of its own, made from the stored places: the sheet must not touch the chart an
    // open builder window is showing.
    TBracketList chart;
    chart.PlaceTeams(pool.TeamsFile());
    FBitmap->DrawAllSlots(&chart);
  };
  rpsysBlankEntry.OnPrint = [this](TBaseReport& writer) {
    writer.NextLine();
    writer.NextLine();
    writer.DrawBitmap(kChartLeft, kChartTop, kChartRight, kChartBottom, FBitmap->Image());
  };
  rpsysBlankEntry.OnPrintFooter = [](TBaseReport& writer) {
    for (int i = 0; i < kFooterLineAdvance; ++i)
      writer.NextLine();
    writer.UseFont(QStringLiteral("Arial Black"), 12);
    writer.AddTabStop(0.5, kLeft, 6.0, 0, 0, 0);
    writer.PrintInNextTab(kNameLine);
    writer.NextLine();
    writer.NextLine();
    writer.PrintInNextTab(kPhoneLine);
    writer.NextLine();
    writer.NextLine();
    writer.PrintInNextTab(kTieBreakerLine);
  };
  rpsysBlankEntry.OnAfterPrint = [this](TBaseReport&) { FBitmap.reset(); };
}

void TPoolReports::WireWhoCanStillWin() {
  TMasterShell& shell = rpmsWhoCanStillWin;
  shell.OnBodyBefore = [this](TBaseReport& writer, TReportShell&) { OutlookBodyBefore(writer); };
  shell.OnRowBefore = [this](TBaseReport&, TReportShell&, bool& valid) {
    valid = FRow < static_cast<int>(FOutlookLines.size());
  };
  shell.OnRowPrint = [this](TBaseReport& writer, TReportShell&, bool&) {
    OutlookLinePrint(writer, FOutlookLines[static_cast<size_t>(FRow)]);
  };
  shell.OnRowAfter = [this](TBaseReport&, TReportShell&, bool&) { ++FRow; };
  shell.OnBodyAfter = [this](TBaseReport&, TReportShell&) {
    BodyAfter();
    FOutlookLines.clear();
    FOutlookGame = -1;
  };
  shell.SetMinHeight(TReportShell::TSection::SectionRow, 2);

  const auto print = [&shell](TBaseReport& writer) { shell.Run(writer); };
  rpsysWhoCanStillWin.OnPrint = print;
  rpsysWhoCanStillWin.OnNewPage = [this](TBaseReport& writer) {
    writer.RecallTabStops(Set1);
    writer.RecallFont(TitleFont);
    writer.PrintInNextTab(kOutlookContinued);
    writer.NextLine();
    writer.NextLine();
    if (FOutlookGame < 0) {
      OutlookHeadings(writer);
    } else {
      OutlookGameHeadings(writer, FOutlookGame);
    }
  };
  rpsysWhoCanStillWin.MarginTop = kStandingsTopMargin;
  rpsysWhoCanStillWin.MarginBottom = kStandingsBottomMargin;
  rprtfWhoCanStillWin.OnPrint = print;
  rprtfWhoCanStillWin.TopMargin = kStandingsTopMargin;
  rprtfWhoCanStillWin.BottomMargin = kStandingsBottomMargin;
}

void TPoolReports::WireRowReport(TReportSystem& system, TRTFFiler& filer, TMasterShell& shell,
                                 const QString& continued,
                                 std::function<void(TBaseReport&)> headings) {
  shell.SetMinHeight(TReportShell::TSection::SectionRow, 2);
  const auto print = [&shell](TBaseReport& writer) { shell.Run(writer); };
  system.OnPrint = print;
  system.OnNewPage = [continued, headings](TBaseReport& writer) {
    writer.RecallTabStops(Set1);
    writer.RecallFont(TitleFont);
    writer.PrintInNextTab(continued);
    writer.NextLine();
    writer.NextLine();
    headings(writer);
  };
  system.MarginTop = kStandingsTopMargin;
  system.MarginBottom = kStandingsBottomMargin;
  filer.OnPrint = print;
  filer.TopMargin = kStandingsTopMargin;
  filer.BottomMargin = kStandingsBottomMargin;
}

void TPoolReports::OutlookBodyBefore(TBaseReport& writer) {
  FRow = 0;
  FOutlookGame = -1;
  const TFFDataModule& pool = *FPool.DataModule();
  // Run without Prepare (a test, a second printing from the preview made before): worked out
  // here, with no window; the outlook is kept for a print from the preview.
  if (!FOutlook) {
    FOutlook = std::make_unique<TOutlookResult>(
        ComputeOutlook(TOutlookInput::FromPool(pool), TOutlookOptions{}));
  }
  const TOutlookResult& outlook = *FOutlook;
  FOutlookLines.clear();
  const int players = static_cast<int>(outlook.Players.size());
  for (int row = 0; row < players; ++row)
    FOutlookLines.push_back({TOutlookLine::TKind::Player, row, 0});
  if (!outlook.Rooting.empty()) {
    FOutlookLines.push_back({TOutlookLine::TKind::Gap, 0, 0});
    FOutlookLines.push_back({TOutlookLine::TKind::RootingTitle, 0, 0});
  }
  for (int game = 0; game < static_cast<int>(outlook.Rooting.size()); ++game) {
    FOutlookLines.push_back({TOutlookLine::TKind::Game, game, 0});
    const TRootingGame& rooting = outlook.Rooting[static_cast<size_t>(game)];
    for (int row = 0; row < players; ++row) {
      // Players out of it either way have nothing to root for in this game.
      const size_t i = static_cast<size_t>(outlook.Players[static_cast<size_t>(row)].Index);
      if (rooting.Chance[0][i] > 0 || rooting.Chance[1][i] > 0)
        FOutlookLines.push_back({TOutlookLine::TKind::Rooting, game, row});
    }
  }

  PageSetup(writer);
  writer.ClearTabStops();
  double at = 0.25;
  for (const TOutlookColumn& column : kOutlookColumns) {
    writer.AddTabStop(at, kCenter, column.Width, 0, kBox, 0);
    at = kPrev;
  }
  writer.StoreTabStops(Set8);
  writer.ClearTabStops();
  at = 0.25;
  for (const TOutlookColumn& column : kOutlookColumns) {
    writer.AddTabStop(at, column.Justify, column.Width, 0, 0, 0);
    at = kPrev;
  }
  writer.StoreTabStops(Set9);
  writer.ClearTabStops();
  writer.AddTabStop(0.25, kCenter, kRootingRoundWidth, 0, 0, 0);
  writer.AddTabStop(kPrev, kLeft, kRootingNameWidth, 0, 0, 0);
  writer.AddTabStop(kPrev, kCenter, kRootingChanceWidth, 0, 0, 0);
  writer.AddTabStop(kPrev, kCenter, kRootingChanceWidth, 0, 0, 0);
  writer.StoreTabStops(Set10);

  writer.RecallTabStops(Set1);
  writer.RecallFont(PoolNameFont);
  writer.PrintInNextTab(pool.SystemFile().PoolName());
  writer.NextLine();
  writer.RecallFont(TitleFont);
  writer.PrintInNextTab(kOutlookTitle);
  writer.NextLine();
  writer.RecallFont(RowFont);
  writer.PrintInNextTab(OutlookSummary(outlook));
  writer.NextLine();
  writer.NextLine();
  OutlookHeadings(writer);
}

void TPoolReports::OutlookHeadings(TBaseReport& writer) {
  writer.RecallTabStops(Set8);
  writer.RecallFont(HeadingFont);
  for (const TOutlookColumn& column : kOutlookColumns)
    writer.PrintInNextTab(QLatin1String(column.Heading));
  writer.NextLine();
}

void TPoolReports::OutlookGameHeadings(TBaseReport& writer, int game) {
  FOutlookGame = game;
  if (!FOutlook)
    return;
  const TRootingGame& rooting = FOutlook->Rooting[static_cast<size_t>(game)];
  writer.ClearTabStops();
  writer.AddTabStop(0.25, kCenter, kRootingRoundWidth, 0, kBox, 0);
  writer.AddTabStop(kPrev, kCenter, kRootingNameWidth, 0, kBox, 0);
  writer.AddTabStop(kPrev, kCenter, kRootingChanceWidth, 0, kBox, 0);
  writer.AddTabStop(kPrev, kCenter, kRootingChanceWidth, 0, kBox, 0);
  writer.RecallFont(HeadingFont);
  writer.PrintInNextTab(QStringLiteral("Rd %1").arg(rooting.Round - 1));
  writer.PrintInNextTab(QStringLiteral("Player Name"));
  for (const QString& team : rooting.Teams)
    writer.PrintInNextTab(team + QStringLiteral(" wins"));
  writer.NextLine();
}

void TPoolReports::OutlookLinePrint(TBaseReport& writer, const TOutlookLine& line) {
  const TOutlookResult& outlook = *FOutlook;
  switch (line.Kind) {
    case TOutlookLine::TKind::Player: {
      const TOutlookPlayer& player = outlook.Players[static_cast<size_t>(line.Index)];
      writer.RecallTabStops(Set9);
      writer.RecallFont(RowFont);
      writer.NextLine();
      writer.PrintInNextTab(QString::number(line.Index + 1));
      writer.PrintInNextTab(player.Name);
      writer.RecallFont(HeadingFont);
      writer.PrintInNextTab(QString::number(player.Current));
      writer.RecallFont(RowFont);
      writer.PrintInNextTab(QString::number(player.Max));
      writer.PrintInNextTab(QString::number(player.BestPlace));
      writer.PrintInNextTab(QString::number(player.WorstPlace));
      writer.PrintInNextTab(FormatOutcomes(outlook, player.Won));
      writer.PrintInNextTab(FormatOutcomes(outlook, player.Tied));
      writer.RecallFont(HeadingFont);
      writer.PrintInNextTab(FormatChance(player.WinChance));
      writer.RecallFont(RowFont);
      writer.PrintInNextTab(TopChampions(player, kOutlookChampions));
      break;
    }
    case TOutlookLine::TKind::Gap:
      writer.NextLine();
      break;
    case TOutlookLine::TKind::RootingTitle:
      writer.RecallTabStops(Set1);
      writer.RecallFont(TitleFont);
      writer.NextLine();
      writer.PrintInNextTab(kRootingTitle);
      break;
    case TOutlookLine::TKind::Game:
      writer.NextLine();
      writer.NextLine();
      OutlookGameHeadings(writer, line.Index);
      break;
    case TOutlookLine::TKind::Rooting: {
      const TRootingGame& rooting = outlook.Rooting[static_cast<size_t>(line.Index)];
      const TOutlookPlayer& player = outlook.Players[static_cast<size_t>(line.Player)];
      const size_t i = static_cast<size_t>(player.Index);
      writer.RecallTabStops(Set10);
      writer.RecallFont(RowFont);
      writer.NextLine();
      writer.PrintInNextTab(QString());
      writer.PrintInNextTab(player.Name);
      writer.PrintInNextTab(FormatChance(rooting.Chance[0][i]));
      writer.PrintInNextTab(FormatChance(rooting.Chance[1][i]));
      break;
    }
  }
}

void TPoolReports::PageSetup(TBaseReport& writer) {
  writer.UsePen(Qt::black, Qt::SolidLine, 1);
  const struct {
    const char* Name;
    double Size;
  } fonts[] = {{"Arial Black", 16}, {"Arial Black", 12}, {"Arial Black", 10},
               {"Arial", 10},       {"Arial", 6},        {"Arial Black", 6}};
  int slot = PoolNameFont;
  for (const auto& font : fonts) {
    writer.UseFont(QLatin1String(font.Name), font.Size);
    writer.StoreFont(slot++);
  }

  writer.ClearTabStops();
  writer.AddTabStop(0, kCenter, 8.5, 0, 0, 0);
  writer.StoreTabStops(Set1);

  writer.ClearTabStops();
  writer.AddTabStop(0.25, kCenter, 0.5, 0, kBox, 0);
  writer.AddTabStop(kPrev, kCenter, 2.0, 0, kBox, 0);
  writer.AddTabStop(kPrev, kCenter, 0.75, 0, kBox, 0);
  for (int i = 0; i < 7; ++i)
    writer.AddTabStop(kPrev, kCenter, 0.5, 0, kBox, 0);
  writer.AddTabStop(kPrev, kCenter, 0.75, 0, kBox, 0);
  writer.StoreTabStops(Set2);

  writer.ClearTabStops();
  writer.AddTabStop(0.25, kCenter, 0.5, 0, 0, 0);
  writer.AddTabStop(kPrev, kLeft, 2.0, 0, 0, 0);
  writer.AddTabStop(kPrev, kCenter, 0.75, 0, 0, 0);
  for (int i = 0; i < 7; ++i)
    writer.AddTabStop(kPrev, kCenter, 0.5, 0, 0, 0);
  if (FPoolTieBreaker > 0)
    writer.AddTabStop(kPrev, kCenter, 0.75, 0, 0, 0);
  writer.StoreTabStops(Set3);

  writer.ClearTabStops();
  writer.AddTabStop(0.75, kLeft, 1.0, 0, 0, 0);
  for (int i = 0; i < 6; ++i)
    writer.AddTabStop(kPrev, kLeft, 1.0, 0, 0, 0);
  writer.StoreTabStops(Set4);

  writer.ClearTabStops();
  writer.AddTabStop(0.1, kLeft, 0.3, 0, 0, 0);
  for (int i = 0; i < kPickColumns; ++i)
    writer.AddTabStop(kPrev, kLeft, 0.5, 0, 0, 0);
  writer.StoreTabStops(Set5);

  writer.ClearTabStops();
  writer.AddTabStop(0, kLeft, 8.5, 0, 0, 0);
  writer.StoreTabStops(Set6);

  writer.ClearTabStops();
  writer.AddTabStop(0.25, kCenter, 4.5, 0, kBox, 0);
  writer.AddTabStop(kPrev, kCenter, 2.0, 0, kBox, 0);
  writer.AddTabStop(kPrev, kCenter, 1.0, 0, kBox, 0);
  writer.StoreTabStops(Set7);
}

void TPoolReports::PrintColumnHeadings(TBaseReport& writer) {
  writer.RecallTabStops(Set2);
  writer.RecallFont(HeadingFont);
  for (const QString& heading : kColumnHeadings)
    writer.PrintInNextTab(heading);
  writer.NextLine();
}

void TPoolReports::PrintFinal4Headings(TBaseReport& writer) {
  writer.RecallTabStops(Set7);
  writer.RecallFont(HeadingFont);
  for (const QString& heading : kFinal4Headings)
    writer.PrintInNextTab(heading);
  writer.NextLine();
}

void TPoolReports::StandingsBodyBefore(TBaseReport& writer, const TStandingsLayout& layout) {
  FRow = 0;
  const TFFDataModule& pool = *FPool.DataModule();
  FData = layout.Create();
  FData->Build(pool);
  FPoolTieBreaker = pool.SystemFile().TieBreakerPoints();
  PageSetup(writer);

  writer.RecallTabStops(Set1);
  writer.RecallFont(PoolNameFont);
  writer.PrintInNextTab(pool.SystemFile().PoolName());
  writer.NextLine();
  writer.RecallFont(TitleFont);
  writer.PrintInNextTab(FData->Title());
  writer.NextLine();
  writer.NextLine();
  PrintColumnHeadings(writer);
  if (layout.Final4)
    PrintFinal4Headings(writer);
}

void TPoolReports::StandingsRowBefore(bool& valid) {
  valid = FRow < static_cast<int>(FData->Items().size());
  FItem = valid ? &FData->StandingsItem(FRow) : nullptr;
}

void TPoolReports::StandingsRowPrint(TBaseReport& writer, const TStandingsLayout& layout) {
  if (layout.NextLineFirst)
    writer.NextLine();
  writer.RecallTabStops(Set3);
  writer.RecallFont(RowFont);
  if (!layout.NextLineFirst)
    writer.NextLine();

  const TStandingsItem& item = *FItem;
  writer.PrintInNextTab(QString::number(FRow + 1));
  writer.PrintInNextTab(item.PlayerName());
  writer.RecallFont(HeadingFont);
  writer.PrintInNextTab(
      QString::number(layout.Potential ? item.PotentialPoints() : item.CurrentPoints()));
  writer.RecallFont(RowFont);
  for (int k = TStandingsItem::kFirstRound; k <= TStandingsItem::kLastRound; ++k) {
    writer.PrintInNextTab(
        QString::number(layout.Potential ? item.RoundPossible(k) : item.RoundCorrect(k)));
  }
  writer.PrintInNextTab(QString::number(item.TieBreakerPoints()));
  if (FPoolTieBreaker > 0) {
    // In 64 bits: a guess and a total anywhere in the stored range differ by more than an
    // int holds.
    writer.PrintInNextTab(QString::number(int64_t{item.TieBreakerPoints()} - FPoolTieBreaker));
  }
  if (layout.Final4)
    Final4RowPrint(writer);
}

void TPoolReports::Final4RowPrint(TBaseReport& writer) {
  const TStandingsItem& item = *FItem;
  writer.ClearTabStops();
  writer.NextLine();
  writer.RecallTabStops(Set4);
  for (int i = 1; i <= TStandingsItem::kFinalFourCount; ++i) {
    writer.PrintInNextTab(item.FinalFour(i));
  }
  for (int i = 1; i <= TStandingsItem::kFinalsCount; ++i)
    writer.PrintInNextTab(item.Finals(i));
  writer.RecallFont(HeadingFont);
  writer.PrintInNextTab(item.Champion());
  writer.RecallFont(RowFont);
}

void TPoolReports::StandingsNewPage(TBaseReport& writer, const TStandingsLayout& layout) {
  writer.RecallTabStops(Set1);
  writer.RecallFont(TitleFont);
  writer.PrintInNextTab(layout.Continuation);
  writer.NextLine();
  writer.NextLine();
  PrintColumnHeadings(writer);
  if (layout.Final4)
    PrintFinal4Headings(writer);
}

void TPoolReports::BodyAfter() {
  FData.reset();
  FItem = nullptr;
  FSelection = nullptr;
}
