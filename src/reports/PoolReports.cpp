#include "PoolReports.h"

#include <QDir>

#include "BracketBitmap.h"
#include "BracketList.h"
#include "FFDataModule.h"
#include "OpenPool.h"
#include "Outlook.h"
#include "PickPopularity.h"
#include "PlayerSelections.h"
#include "PrintedNames.h"
#include "ReportLayout.h"
#include "StandingsByPoints.h"
#include "StandingsByPotential.h"
#include "StandingsHistory.h"

namespace {
using namespace ReportLayout;
using namespace PrintedNames;

// The blank entry sheet's picture and the three lines under it.
constexpr double kChartLeft = 0.5;
constexpr double kChartTop = 0.5;
constexpr double kChartRight = 8.0;
constexpr double kChartBottom = 9.5;
constexpr int kFooterLineAdvance = 54;
const QString kNameLine = QStringLiteral("Name  ____________________________");
const QString kPhoneLine = QStringLiteral("Phone  ________________");
const QString kTieBreakerLine = QStringLiteral("Total Points Tie Breaker _______");

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
      {QStringLiteral("Blank Entry Sheet"), QString(), QStringLiteral("entry.pdf"), false},
      {QStringLiteral("Standings - Point Total"), QStringLiteral("stndpts.rtf"),
       QStringLiteral("stndpts.pdf"), true},
      {QStringLiteral("Standings - Potential Point Total"), QStringLiteral("stndpot.rtf"),
       QStringLiteral("stndpot.pdf"), true},
      {QStringLiteral("Standings - Points with Final 4"), QStringLiteral("ptsfinl4.rtf"),
       QStringLiteral("ptsfinl4.pdf"), true},
      {QStringLiteral("Standings - Potential with Final 4"), QStringLiteral("potfinl4.rtf"),
       QStringLiteral("potfinl4.pdf"), true},
      {QStringLiteral("Selections List"), QStringLiteral("sellist.rtf"),
       QStringLiteral("sellist.pdf"), true},
      {QStringLiteral("Standings - Who Can Still Win"), QStringLiteral("canwin.rtf"),
       QStringLiteral("canwin.pdf"), true},
      {QStringLiteral("Standings - By Round"), QStringLiteral("stndrnd.rtf"),
       QStringLiteral("stndrnd.pdf"), true},
      {QStringLiteral("Pick Popularity"), QStringLiteral("popular.rtf"),
       QStringLiteral("popular.pdf"), true},
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
  for (int p = 0; p < kReportCount; ++p) {
    const TCatalogueEntry& entry = Catalogue()[static_cast<size_t>(p)];
    if (TRTFFiler* filer = FFileTable[static_cast<size_t>(p)])
      filer->FileName = dir.filePath(entry.RtfFile);
    FPrinterTable[static_cast<size_t>(p)]->PdfFileName = dir.filePath(entry.PdfFile);
  }
}

void TPoolReports::WireStandings(const TStandingsLayout& layout, TReportSystem& system,
                                 TRTFFiler& filer, TMasterShell& shell) {
  shell.OnBodyBefore = [this, &layout](TBaseReport& writer, TReportShell&) {
    StandingsBodyBefore(writer, layout);
  };
  shell.OnRowBefore = [this, &layout, &shell](TBaseReport&, TReportShell&, bool& valid) {
    StandingsRowBefore(valid);
    // A row whose long names go on over more lines starts on a page it fits.
    if (valid) {
      shell.SetMinHeight(TReportShell::TSection::SectionRow,
                         layout.RowMinimum + ExtraLines(*FItem, layout.Final4));
    }
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
    writer.PrintFitInNextTab(pool.SystemFile().PoolName());
    writer.NextLine();
    writer.RecallFont(TitleFont);
    writer.PrintInNextTab(kSelectionsTitle);
  };
  rpmsSelectionsList.OnRowBefore = [this](TBaseReport&, TReportShell&, bool& valid) {
    const auto& selections = static_cast<const TPlayerSelections&>(*FData);
    valid = FRow < selections.Count();
    FSelection = valid ? &selections.Item(FRow) : nullptr;
    if (valid) {
      // A block with long names takes more lines; it still starts on a page it fits.
      FPickColumns = PickColumns(*FSelection);
      rpdsSelectionsList.SetMinHeight(TReportShell::TSection::SectionBodyHeader,
                                      SelectionsBlockLines(*FSelection, FPickColumns));
    }
  };
  rpmsSelectionsList.OnBodyAfter = [this](TBaseReport&, TReportShell&) { BodyAfter(); };
  rpmsSelectionsList.DetailReport = &rpdsSelectionsList;

  rpdsSelectionsList.SetMinHeight(TReportShell::TSection::SectionBodyHeader, kSelectionsBlockLines);
  rpdsSelectionsList.OnBodyHeader = [this](TBaseReport& writer, TReportShell&) {
    writer.RecallTabStops(Set6);
    writer.RecallFont(HeadingFont);
    writer.NextLine();
    writer.PrintFitInNextTab(FSelection->PlayerName());
    writer.NextLine();
  };
  rpdsSelectionsList.OnRowPrint = [this](TBaseReport& writer, TReportShell&, bool& valid) {
    PrintPicks(writer, *FSelection, FPickColumns);
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

void TPoolReports::StandingsBodyBefore(TBaseReport& writer, const TStandingsLayout& layout) {
  FRow = 0;
  const TFFDataModule& pool = *FPool.DataModule();
  FData = layout.Create();
  FData->Build(pool);
  FPoolTieBreaker = pool.SystemFile().TieBreakerPoints();
  FPrizes = FData->Prizes();
  PageSetup(writer);

  writer.RecallTabStops(Set1);
  writer.RecallFont(PoolNameFont);
  writer.PrintFitInNextTab(pool.SystemFile().PoolName());
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
  // A million players' positions run to seven digits: they fit, too.
  writer.PrintFitInNextTab(QString::number(FRow + 1));
  const QString nameRest = writer.PrintWrapInNextTab(item.PlayerName());
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
  } else if (!FPrizes.empty()) {
    writer.PrintInNextTab(QString());
  }
  if (!FPrizes.empty())
    writer.PrintFitInNextTab(Prizes::MoneyText(FPrizes[static_cast<size_t>(FRow)]));
  PrintRests(writer, Set3, {{QString(), RowFont}, {nameRest, RowFont}});
  if (layout.Final4)
    Final4RowPrint(writer);
}

void TPoolReports::Final4RowPrint(TBaseReport& writer) {
  const TStandingsItem& item = *FItem;
  writer.ClearTabStops();
  writer.NextLine();
  writer.RecallTabStops(Set4);
  std::vector<std::pair<QString, int>> rests;
  for (int i = 1; i <= TStandingsItem::kFinalFourCount; ++i)
    rests.emplace_back(writer.PrintWrapInNextTab(item.FinalFour(i)), RowFont);
  for (int i = 1; i <= TStandingsItem::kFinalsCount; ++i)
    rests.emplace_back(writer.PrintWrapInNextTab(item.Finals(i)), RowFont);
  writer.RecallFont(HeadingFont);
  rests.emplace_back(writer.PrintWrapInNextTab(item.Champion()), HeadingFont);
  PrintRests(writer, Set4, rests);
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
  FPrizes.clear();
  FItem = nullptr;
  FSelection = nullptr;
}
