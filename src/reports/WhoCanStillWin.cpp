// "Standings - Who Can Still Win": every player's chances over the games left, then the
// rooting guide of the players who can still win.
#include <QLocale>

#include "FFDataModule.h"
#include "OpenPool.h"
#include "Outlook.h"
#include "PoolReports.h"
#include "ReportLayout.h"
#include "ReportUi.h"
#include "ScoringRule.h"

using namespace ReportLayout;

namespace {

// A column of the table: its heading, width and how its rows are aligned.
struct TOutlookColumn {
  const char* Heading;
  double Width;
  int Justify;
};

// The table. Counted outcomes get wide Won and Tied columns; sampled ones give the 95%
// interval of each chance beside it, in the room the champions would otherwise have.
constexpr TOutlookColumn kExactColumns[] = {{"Pos", 0.35, kCenter},   {"Player Name", 1.85, kLeft},
                                            {"Now", 0.45, kCenter},   {"Max", 0.45, kCenter},
                                            {"Best", 0.45, kCenter},  {"Worst", 0.55, kCenter},
                                            {"Won", 0.8, kCenter},    {"Tied", 0.8, kCenter},
                                            {"Win %", 0.65, kCenter}, {"Champions", 1.65, kLeft}};
constexpr TOutlookColumn kSampledColumns[] = {
    {"Pos", 0.35, kCenter},        {"Player Name", 1.85, kLeft}, {"Now", 0.45, kCenter},
    {"Max", 0.45, kCenter},        {"Best", 0.45, kCenter},      {"Worst", 0.55, kCenter},
    {"Won", 0.65, kCenter},        {"Tied", 0.65, kCenter},      {"Win %", 0.65, kCenter},
    {"95% interval", 1.05, kLeft}, {"Champions", 0.85, kLeft}};
// When the pool pays prizes, each player's expected prize and chance of a paid place as well,
// in room taken from the names, the counts and the champions.
constexpr TOutlookColumn kExactPrizeColumns[] = {
    {"Pos", 0.35, kCenter},       {"Player Name", 1.5, kLeft}, {"Now", 0.45, kCenter},
    {"Max", 0.45, kCenter},       {"Best", 0.45, kCenter},     {"Worst", 0.55, kCenter},
    {"Won", 0.65, kCenter},       {"Tied", 0.65, kCenter},     {"Win %", 0.65, kCenter},
    {"Exp. Prize", 0.75, kCenter}, {"Prize %", 0.65, kCenter},  {"Champions", 0.9, kLeft}};
constexpr TOutlookColumn kSampledPrizeColumns[] = {
    {"Pos", 0.35, kCenter},       {"Player Name", 1.3, kLeft}, {"Now", 0.4, kCenter},
    {"Max", 0.4, kCenter},        {"Best", 0.4, kCenter},      {"Worst", 0.5, kCenter},
    {"Won", 0.55, kCenter},       {"Tied", 0.55, kCenter},     {"Win %", 0.65, kCenter},
    {"95% interval", 1.0, kLeft}, {"Exp. Prize", 0.7, kCenter}, {"Prize %", 0.6, kCenter},
    {"Champions", 0.6, kLeft}};
// A count of outcomes is printed when the largest, thousands marked, is no longer than this:
// "8,388,608" still fits its column in the row font.
constexpr int kCountCharacters = 9;

// The rooting guide: one line for each player who can still win, with the results of the
// next round that help that player most. It is kept to two pages: beyond that many players,
// those with the best chances.
constexpr double kRootingPosWidth = 0.35;
constexpr double kRootingNameWidth = 1.85;
constexpr double kRootingChanceWidth = 0.75;
constexpr int kRootingPlayers = 90;
// Lines of the standard font the guide's title, headings and first player take, and those
// the continued title and headings take at the top of a page.
constexpr int kRootingStartLines = 8;
constexpr int kContinuedLines = 5;

template <size_t N>
constexpr double Width(const TOutlookColumn (&columns)[N]) {
  double width = 0;
  for (const TOutlookColumn& column : columns)
    width += column.Width;
  return width;
}
static_assert(Width(kExactColumns) <= kLineWidth + 1e-9, "the table must fit the page");
static_assert(Width(kSampledColumns) <= kLineWidth + 1e-9, "the table must fit the page");
static_assert(Width(kExactPrizeColumns) <= kLineWidth + 1e-9, "the table must fit the page");
static_assert(Width(kSampledPrizeColumns) <= kLineWidth + 1e-9, "the table must fit the page");

// The table's columns for an outlook: exact or sampled, with prizes or without.
struct TColumns {
  const TOutlookColumn* Begin;
  const TOutlookColumn* End;
};

template <size_t N>
constexpr TColumns Columns(const TOutlookColumn (&columns)[N]) {
  return {columns, columns + N};
}

TColumns TableColumns(const TOutlookResult& outlook) {
  if (outlook.PaysPrizes)
    return outlook.Exact ? Columns(kExactPrizeColumns) : Columns(kSampledPrizeColumns);
  return outlook.Exact ? Columns(kExactColumns) : Columns(kSampledColumns);
}

void AddColumns(TBaseReport& writer, TColumns columns, bool boxed) {
  writer.ClearTabStops();
  double at = kSideMargin;
  for (const TOutlookColumn* column = columns.Begin; column != columns.End; ++column) {
    writer.AddTabStop(at, boxed ? kCenter : column->Justify, column->Width, 0, boxed ? kBox : 0,
                      0);
    at = kPrev;
  }
}

void PrintHeadings(TBaseReport& writer, TColumns columns) {
  for (const TOutlookColumn* column = columns.Begin; column != columns.End; ++column)
    writer.PrintInNextTab(QLatin1String(column->Heading));
}

void AddRootingColumns(TBaseReport& writer, bool boxed) {
  const int box = boxed ? kBox : 0;
  writer.ClearTabStops();
  writer.AddTabStop(kSideMargin, kCenter, kRootingPosWidth, 0, box, 0);
  writer.AddTabStop(kPrev, boxed ? kCenter : kLeft, kRootingNameWidth, 0, box, 0);
  writer.AddTabStop(kPrev, kCenter, kRootingChanceWidth, 0, box, 0);
  writer.AddTabStop(kPrev, boxed ? kCenter : kLeft,
                    kLineWidth - kRootingPosWidth - kRootingNameWidth - kRootingChanceWidth, 0, box,
                    0);
}

// The last games: every outcome's chance, its winners and who finishes first.
constexpr double kLastChanceWidth = 0.65;
constexpr double kLastWinnersWidth = 3.4;
// Who wins what needs the room of most of the winners' column.
constexpr double kLastWinnersPaidWidth = 2.9;

void AddLastGamesColumns(TBaseReport& writer, bool boxed, bool paid) {
  const int box = boxed ? kBox : 0;
  const double winners = paid ? kLastWinnersPaidWidth : kLastWinnersWidth;
  writer.ClearTabStops();
  writer.AddTabStop(kSideMargin, kCenter, kLastChanceWidth, 0, box, 0);
  writer.AddTabStop(kPrev, boxed ? kCenter : kLeft, winners, 0, box, 0);
  writer.AddTabStop(kPrev, boxed ? kCenter : kLeft, kLineWidth - kLastChanceWidth - winners, 0,
                    box, 0);
}

}  // namespace

bool TPoolReports::Prepare(int p) {
  if (p != kWhoCanStillWin)
    return true;
  FOutlook = WorkOutOutlook(NextOutlookInput(), rpsysWhoCanStillWin.TitleStatus, OutlookOptions);
  return FOutlook != nullptr;
}

bool TPoolReports::AssumeOutlook(const QStringList& winners, QString* why) {
  if (winners.isEmpty()) {
    FWhatIf.reset();
    FWhatIfGames.clear();
    return true;
  }
  auto input = std::make_unique<TOutlookInput>(TOutlookInput::FromPool(*FPool.DataModule()));
  QStringList games;
  if (!AssumeWinners(*input, winners, &games, why))
    return false;
  FWhatIf = std::move(input);
  FWhatIfGames = games;
  return true;
}

TOutlookInput TPoolReports::NextOutlookInput() {
  FOutlookAssumed = FWhatIfGames;
  return FWhatIf ? *FWhatIf : TOutlookInput::FromPool(*FPool.DataModule());
}

std::unique_ptr<TOutlookResult> TPoolReports::WorkOutOutlook(const TFFDataModule& pool,
                                                             const QString& title,
                                                             const TOutlookOptions& options) {
  return WorkOutOutlook(TOutlookInput::FromPool(pool), title, options);
}

std::unique_ptr<TOutlookResult> TPoolReports::WorkOutOutlook(const TOutlookInput& input,
                                                             const QString& title,
                                                             const TOutlookOptions& options) {
  TOutlookProgress progress;
  auto outlook = std::make_unique<TOutlookResult>();
  TReportUi::Current().RunWithProgress(
      title, kOutlookWorking, [&] { *outlook = ComputeOutlook(input, options, &progress); },
      [&] { return progress.Fraction(); }, [&] { progress.Cancel(); });
  if (outlook->Cancelled)
    outlook.reset();
  return outlook;
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
    FOutlookHeadings = TOutlookHeadings::Table;
  };
  WireRowReport(rpsysWhoCanStillWin, rprtfWhoCanStillWin, shell, kOutlookContinued,
                [this](TBaseReport& writer) {
                  if (FOutlookHeadings == TOutlookHeadings::Rooting) {
                    RootingHeadings(writer);
                  } else if (FOutlookHeadings == TOutlookHeadings::Table) {
                    OutlookHeadings(writer);
                  }
                });
}

void TPoolReports::OutlookBodyBefore(TBaseReport& writer) {
  FRow = 0;
  FOutlookHeadings = TOutlookHeadings::Table;
  const TFFDataModule& pool = *FPool.DataModule();
  // Run without Prepare (a test, a second printing from the preview made before): worked out
  // here, with no window; the outlook is kept for a print from the preview.
  if (!FOutlook) {
    FOutlook = std::make_unique<TOutlookResult>(ComputeOutlook(NextOutlookInput(), OutlookOptions));
  }
  const TOutlookResult& outlook = *FOutlook;
  FCountsOutcomes = CountsOutcomes(outlook, kCountCharacters);
  FOutlookLines.clear();
  const int players = static_cast<int>(outlook.Players.size());
  for (int row = 0; row < players; ++row)
    FOutlookLines.push_back({TOutlookLine::TKind::Player, row});
  // The players who can still win (or be paid, where the guide goes by prizes), best chance
  // first as the table has them.
  std::vector<int> rooting;
  for (int row = 0; row < players; ++row) {
    if (outlook.Roots(outlook.Players[static_cast<size_t>(row)]))
      rooting.push_back(row);
  }
  if (!rooting.empty()) {
    const size_t shown = std::min(rooting.size(), size_t{kRootingPlayers});
    const bool more = shown < rooting.size();
    FOutlookLines.push_back({TOutlookLine::TKind::RootingTitle, static_cast<int>(shown) + more});
    for (size_t r = 0; r < shown; ++r)
      FOutlookLines.push_back({TOutlookLine::TKind::Rooting, rooting[r]});
    if (more) {
      FOutlookLines.push_back(
          {TOutlookLine::TKind::RootingMore, static_cast<int>(rooting.size() - shown)});
    }
  }

  if (!outlook.LastGames.empty()) {
    FOutlookLines.push_back(
        {TOutlookLine::TKind::LastGamesTitle, static_cast<int>(outlook.LastGames.size())});
    for (size_t o = 0; o < outlook.LastGames.size(); ++o)
      FOutlookLines.push_back({TOutlookLine::TKind::LastGame, static_cast<int>(o)});
  }

  PageSetup(writer);
  AddColumns(writer, TableColumns(outlook), true);
  writer.StoreTabStops(Set8);
  AddColumns(writer, TableColumns(outlook), false);
  writer.StoreTabStops(Set9);
  AddRootingColumns(writer, false);
  writer.StoreTabStops(Set10);

  writer.RecallTabStops(Set1);
  writer.RecallFont(PoolNameFont);
  writer.PrintFitInNextTab(pool.SystemFile().PoolName());
  writer.NextLine();
  writer.RecallFont(TitleFont);
  writer.PrintInNextTab(ScoringRules::Titled(kOutlookTitle, pool.ScoringRule()));
  writer.NextLine();
  writer.RecallFont(RowFont);
  writer.PrintInNextTab(OutlookSummary(outlook));
  writer.NextLine();
  // The games a what-if assumes, as the tool says them; up to a whole chart of them goes on
  // over as many lines as it takes.
  if (!FOutlookAssumed.isEmpty()) {
    QString rest =
        writer.PrintWrapInNextTab(QStringLiteral("What if: %1").arg(FOutlookAssumed.join("; ")));
    writer.NextLine();
    while (!rest.isEmpty()) {
      writer.UseFont(writer.Font().Name, TBaseReport::kSmallestSize);
      rest = writer.PrintWrapInNextTab(rest);
      writer.NextLine();
    }
  }
  writer.NextLine();
  OutlookHeadings(writer);
}

void TPoolReports::OutlookHeadings(TBaseReport& writer) {
  writer.RecallTabStops(Set8);
  writer.RecallFont(HeadingFont);
  PrintHeadings(writer, FOutlook ? TableColumns(*FOutlook) : Columns(kExactColumns));
  writer.NextLine();
}

void TPoolReports::RootingHeadings(TBaseReport& writer) {
  FOutlookHeadings = TOutlookHeadings::Rooting;
  if (!FOutlook || FOutlook->Rooting.empty())
    return;
  AddRootingColumns(writer, true);
  writer.RecallFont(HeadingFont);
  writer.PrintInNextTab(QStringLiteral("Pos"));
  writer.PrintInNextTab(QStringLiteral("Player Name"));
  const bool prizes = FOutlook->RootsByPrize;
  writer.PrintInNextTab(prizes ? QStringLiteral("Exp. Prize") : QStringLiteral("Win %"));
  writer.PrintInNextTab((prizes ? QStringLiteral("Root for in Rd %1 (expected prize if that team "
                                                 "wins)")
                                : QStringLiteral("Root for in Rd %1 (win % if that team wins)"))
                            .arg(FOutlook->Rooting.front().Round - 1));
  writer.NextLine();
}

void TPoolReports::PrintChampions(TBaseReport& writer, const TOutlookPlayer& player) {
  int count = 1;
  while (count < static_cast<int>(player.Champions.size()) &&
         writer.FitsNextTab(TopChampions(player, count + 1)))
    ++count;
  writer.PrintFitInNextTab(TopChampions(player, count));
}

void TPoolReports::StartPlayerLine(TBaseReport& writer, int stops, int row) {
  writer.RecallTabStops(stops);
  writer.RecallFont(RowFont);
  writer.NextLine();
  writer.PrintFitInNextTab(QString::number(row + 1));
  writer.PrintFitInNextTab(FOutlook->Players[static_cast<size_t>(row)].Name);
}

void TPoolReports::OutlookLinePrint(TBaseReport& writer, const TOutlookLine& line) {
  const TOutlookResult& outlook = *FOutlook;
  switch (line.Kind) {
    case TOutlookLine::TKind::Player: {
      const TOutlookPlayer& player = outlook.Players[static_cast<size_t>(line.Index)];
      StartPlayerLine(writer, Set9, line.Index);
      writer.RecallFont(HeadingFont);
      writer.PrintInNextTab(QString::number(player.Current));
      writer.RecallFont(RowFont);
      writer.PrintInNextTab(QString::number(player.Max));
      writer.PrintFitInNextTab(QString::number(player.BestPlace));
      writer.PrintFitInNextTab(QString::number(player.WorstPlace));
      writer.PrintInNextTab(FormatOutcomes(outlook, player.Won, FCountsOutcomes));
      writer.PrintInNextTab(FormatOutcomes(outlook, player.Tied, FCountsOutcomes));
      writer.RecallFont(HeadingFont);
      writer.PrintInNextTab(FormatChance(player.WinChance));
      writer.RecallFont(RowFont);
      if (!outlook.Exact)
        writer.PrintFitInNextTab(FormatInterval(player.ChanceLow, player.ChanceHigh));
      if (outlook.PaysPrizes) {
        writer.PrintFitInNextTab(FormatPrize(player.ExpectedPrize));
        writer.PrintFitInNextTab(FormatChance(player.PrizeChance));
      }
      PrintChampions(writer, player);
      // Past the table, a new page repeats its title only.
      if (line.Index + 1 == static_cast<int>(outlook.Players.size()))
        FOutlookHeadings = TOutlookHeadings::None;
      break;
    }
    case TOutlookLine::TKind::RootingTitle:
      // The guide's title, its headings and its first player on one page, and the whole guide
      // on no more than two: otherwise it starts on the next page, under the report's
      // continued title alone.
      if (writer.LinesLeft() < kRootingStartLines ||
          writer.LinesLeft() + writer.LinesPerPage() - kContinuedLines <
              kRootingStartLines + line.Index) {
        FOutlookHeadings = TOutlookHeadings::None;
        writer.NewPage();
      } else {
        writer.NextLine();
      }
      writer.RecallTabStops(Set1);
      writer.RecallFont(TitleFont);
      writer.NextLine();
      writer.PrintInNextTab(kRootingTitle);
      writer.NextLine();
      writer.NextLine();
      RootingHeadings(writer);
      break;
    case TOutlookLine::TKind::Rooting: {
      const TOutlookPlayer& player = outlook.Players[static_cast<size_t>(line.Index)];
      StartPlayerLine(writer, Set10, line.Index);
      writer.RecallFont(HeadingFont);
      writer.PrintInNextTab(FormatRootingFigure(outlook, player));
      writer.RecallFont(RowFont);
      // The results that help most, as many as the line holds whole.
      QStringList roots;
      for (const TRootFor& root : RootingFor(outlook, player)) {
        const QString more =
            (roots + QStringList{FormatRootFor(outlook, root)}).join(QStringLiteral(", "));
        if (!roots.isEmpty() && !writer.FitsNextTab(more))
          break;
        roots << FormatRootFor(outlook, root);
      }
      writer.PrintFitInNextTab(roots.join(QStringLiteral(", ")));
      break;
    }
    case TOutlookLine::TKind::LastGamesTitle:
      // The title, headings and every outcome together, on this page or the next.
      FOutlookHeadings = TOutlookHeadings::None;
      if (writer.LinesLeft() < kRootingStartLines + line.Index)
        writer.NewPage();
      else
        writer.NextLine();
      writer.RecallTabStops(Set1);
      writer.RecallFont(TitleFont);
      writer.NextLine();
      writer.PrintInNextTab(kLastGamesTitle);
      writer.NextLine();
      writer.NextLine();
      AddLastGamesColumns(writer, true, outlook.PaysPrizes);
      writer.RecallFont(HeadingFont);
      writer.PrintInNextTab(QStringLiteral("Chance"));
      writer.PrintInNextTab(QStringLiteral("Winners, in the order the games are played"));
      writer.PrintInNextTab(outlook.PaysPrizes ? QStringLiteral("First on points (points); who wins what")
                                               : QStringLiteral("First on points (points)"));
      writer.NextLine();
      break;
    case TOutlookLine::TKind::LastGame: {
      const TLastGamesOutcome& outcome = outlook.LastGames[static_cast<size_t>(line.Index)];
      AddLastGamesColumns(writer, false, outlook.PaysPrizes);
      writer.RecallFont(RowFont);
      writer.NextLine();
      writer.PrintInNextTab(FormatChance(outcome.Chance));
      writer.PrintFitInNextTab(outcome.Winners.join(QStringLiteral(", ")));
      QString first = QStringLiteral("%1 (%2)").arg(outcome.First.join(QStringLiteral(", ")),
                                                    QString::number(outcome.Points));
      if (outlook.PaysPrizes)
        first += QStringLiteral("; ") + PaidText(outcome);
      writer.PrintFitInNextTab(first);
      break;
    }
    case TOutlookLine::TKind::RootingMore:
      writer.RecallTabStops(Set10);
      writer.RecallFont(RowFont);
      writer.NextLine();
      writer.PrintInNextTab(QString());
      writer.PrintInNextTab(
          QStringLiteral("and %1 more").arg(QLocale(QLocale::English).toString(line.Index)));
      break;
  }
}
