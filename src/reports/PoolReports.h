#pragma once

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "Outlook.h"
#include "RTFFiler.h"
#include "ReportShell.h"
#include "ReportSystem.h"

class TBracketBitmap;
class TPickPopularity;
class TStandingsHistory;
class TFFDataModule;
class TOpenPool;
class TPlayerSelectionObject;
class TReportsBase;
class TStandingsItem;

// The nine reports of the open pool: for each a report system (preview and printer), for all
// but the blank entry sheet an RTF filer, and the row drivers both hand their page writer to. The
// layouts are the handlers of those components; they read the pool through the open-pool holder
// each run.
class TPoolReports {
 public:
  static constexpr int kReportCount = 9;
  static constexpr int kBlankEntrySheet = 0;
  static constexpr int kWhoCanStillWin = 6;
  static constexpr int kStandingsByRound = 7;
  static constexpr int kPickPopularity = 8;

  struct TCatalogueEntry {
    QString ListText;
    // Empty for the report without file output.
    QString RtfFile;
    // The PDF file its report system proposes.
    QString PdfFile;
    bool NeedsLockedFirstRound;
  };
  static const std::array<TCatalogueEntry, kReportCount>& Catalogue();
  // The catalogue position of a list text, -1 for none.
  static int IndexOf(const QString& listText);
  // Whether report position p can be made from `pool` now: the reports the catalogue marks
  // wait for the first round to be locked, and are refused with kFirstRoundOpen until then.
  static bool Available(int p, const TFFDataModule& pool);

  static inline const QString kFirstRoundOpen =
      QStringLiteral("First Round must be locked prior to selecting this report");
  static inline const QString kSelectionsTitle = QStringLiteral("Player Selections");
  static inline const QString kSelectionsContinued = QStringLiteral("Player Selections (cont.)");
  static inline const QString kOutlookTitle = QStringLiteral("Who Can Still Win");
  static inline const QString kOutlookContinued = QStringLiteral("Who Can Still Win (cont.)");
  static inline const QString kOutlookWorking = QStringLiteral("Working out who can still win");
  static inline const QString kRootingTitle = QStringLiteral("Rooting Guide");
  static inline const QString kLastGamesTitle = QStringLiteral("The Last Games");
  static inline const QString kByRoundContinued = QStringLiteral("Standings by Round (cont.)");
  static inline const QString kByRoundNote = QStringLiteral(
      "Below, each player's points after each round, the place they gave in brackets.");
  static inline const QString kPopularityContinued = QStringLiteral("Pick Popularity (cont.)");
  static inline const QString kChampionsTitle = QStringLiteral("Most Picked Champions");
  static inline const QString kAloneTitle = QStringLiteral("Picks No One Else Made");
  static inline const QString kNobodyAlone =
      QStringLiteral("Every pick was made by more than one player.");

  explicit TPoolReports(TOpenPool& pool);
  ~TPoolReports();
  TPoolReports(const TPoolReports&) = delete;
  TPoolReports& operator=(const TPoolReports&) = delete;

  // Report position p's report system, and its RTF filer (nullptr for the blank entry sheet).
  TReportSystem& ReportSystem(int p) { return *FPrinterTable.at(static_cast<size_t>(p)); }
  TRTFFiler* RtfFiler(int p) { return FFileTable.at(static_cast<size_t>(p)); }
  // Points every filer at its file in `directory`, and has every report system propose its
  // PDF file there, named as the RTF file is.
  void SetRtfDirectory(const QString& directory);
  // The work report position p needs before its pages, with the status window showing how
  // far it has got; false when the person cancelled it, and the report is then not made.
  bool Prepare(int p);
  // Who can still win in `pool`, worked out with `options` on worker threads behind the report
  // status window titled `title`; null when the person cancelled it.
  static std::unique_ptr<TOutlookResult> WorkOutOutlook(const TFFDataModule& pool,
                                                        const QString& title,
                                                        const TOutlookOptions& options = {});
  // The same from the outlook's input, made from a pool and perhaps changed since (what if).
  static std::unique_ptr<TOutlookResult> WorkOutOutlook(const TOutlookInput& input,
                                                        const QString& title,
                                                        const TOutlookOptions& options);

  // How "Standings - Who Can Still Win" works the outlook out.
  TOutlookOptions OutlookOptions;
  // What if: Who Can Still Win with `winners` each winning their next game (see
  // AssumeWinners), taken from the pool as it is now, until an empty list goes back to the
  // pool's own results. False, with the reason and nothing changed, when they cannot be.
  bool AssumeOutlook(const QStringList& winners, QString* why);

  TReportSystem rpsysBlankEntry;
  TReportSystem rpsysStandingsPoints;
  TReportSystem rpsysStandingsPotential;
  TReportSystem rpsysStandingsWithFinal4;
  TReportSystem rpsysPotentialWithFinal4;
  TReportSystem rpsysSelectionsList;
  TReportSystem rpsysWhoCanStillWin;
  TReportSystem rpsysStandingsByRound;
  TReportSystem rpsysPickPopularity;
  TRTFFiler rprtfStandingsPoints;
  TRTFFiler rprtfStandingsPotential;
  TRTFFiler rprtfPointsWithFinal4;
  TRTFFiler rprtfPotentialWithFinal4;
  TRTFFiler rprtfSelectionsList;
  TRTFFiler rprtfWhoCanStillWin;
  TRTFFiler rprtfStandingsByRound;
  TRTFFiler rprtfPickPopularity;
  TMasterShell rpmsStandingsPoints;
  TMasterShell rpmsStandingsPotential;
  TMasterShell rpmsStandingsWithFinal4;
  TMasterShell rpmsPotentialWithFinal4;
  TMasterShell rpmsSelectionsList;
  TDetailShell rpdsSelectionsList;
  TMasterShell rpmsWhoCanStillWin;
  TMasterShell rpmsStandingsByRound;
  TMasterShell rpmsPickPopularity;

 private:
  struct TStandingsLayout;

  void WireStandings(const TStandingsLayout& layout, TReportSystem& system, TRTFFiler& filer,
                     TMasterShell& shell);
  void WireSelections();
  void WireBlankEntry();
  void WireWhoCanStillWin();

  // Wires a report whose body `shell` prints, to paper and to file, with the margins of the
  // lists of players. On paper each page starts with `continued` and what `headings` prints
  // under it (the first page's before the body has printed anything).
  void WireRowReport(TReportSystem& system, TRTFFiler& filer, TMasterShell& shell,
                     const QString& continued, std::function<void(TBaseReport&)> headings);

  // "Standings - By Round" (ByRoundReport.cpp): the race, then each player's points and place
  // after every completed round.
  void WireStandingsByRound();
  void ByRoundBodyBefore(TBaseReport& writer);
  void ByRoundRowPrint(TBaseReport& writer);
  void ByRoundHeadings(TBaseReport& writer);

  // "Pick Popularity" (PopularityReport.cpp): every team round by round, the champions most
  // picked and each player's picks no one else made, as lines of these kinds.
  struct TPopularityLine {
    enum class TKind { Team, Gap, ChampionsTitle, Champion, AloneTitle, Player, Pick, Nobody } Kind;
    int Index;  // the team's row, the champion's, the player's
    int Pick;   // for a pick, its place in the player's list
  };
  // The headings a new page of the popularity report repeats.
  enum class TPopularityHeadings { Teams, None };
  void WirePickPopularity();
  void PopularityBodyBefore(TBaseReport& writer);
  void PopularityLinePrint(TBaseReport& writer, const TPopularityLine& line);
  void PopularityHeadings(TBaseReport& writer);

  // The lines of the who-can-still-win report after its headings, in order (WhoCanStillWin.cpp).
  struct TOutlookLine {
    enum class TKind { Player, RootingTitle, Rooting, RootingMore, LastGamesTitle, LastGame } Kind;
    // The player's row in the table; for RootingTitle the guide's lines after it, for
    // RootingMore the players left out; for LastGame the outcome's place in the list.
    int Index;
  };
  // The headings a new page of the report repeats.
  enum class TOutlookHeadings { Table, None, Rooting };
  void OutlookBodyBefore(TBaseReport& writer);
  void OutlookLinePrint(TBaseReport& writer, const TOutlookLine& line);
  void OutlookHeadings(TBaseReport& writer);
  void RootingHeadings(TBaseReport& writer);
  // A new line of the table (or the rooting guide) with stored stops `stops`: the position and
  // name of the player in row `row`.
  void StartPlayerLine(TBaseReport& writer, int stops, int row);
  // The champions a player can win with, as many as the next stop holds whole.
  void PrintChampions(TBaseReport& writer, const TOutlookPlayer& player);

  // The fonts and tab sets every report stores at the start of its body (PageSetup.cpp).
  void PageSetup(TBaseReport& writer);
  void PrintColumnHeadings(TBaseReport& writer);
  void PrintFinal4Headings(TBaseReport& writer);
  void StandingsBodyBefore(TBaseReport& writer, const TStandingsLayout& layout);
  void StandingsRowBefore(bool& valid);
  void StandingsRowPrint(TBaseReport& writer, const TStandingsLayout& layout);
  void Final4RowPrint(TBaseReport& writer);
  void StandingsNewPage(TBaseReport& writer, const TStandingsLayout& layout);
  void BodyAfter();

  TOpenPool& FPool;
  std::array<TReportSystem*, kReportCount> FPrinterTable{};
  std::array<TRTFFiler*, kReportCount> FFileTable{};

  // The state of the running report; one report runs at a time.
  std::unique_ptr<TReportsBase> FData;
  int FRow = 0;
  const TStandingsItem* FItem = nullptr;
  const TPlayerSelectionObject* FSelection = nullptr;
  // Picks a line of the current player's block holds.
  int FPickColumns = 16;
  int32_t FPoolTieBreaker = 0;
  // The prize of each row of the running standings report; empty where none is shown.
  std::vector<int64_t> FPrizes;
  std::unique_ptr<TBracketBitmap> FBitmap;
  // The outlook the next who-can-still-win run prints, and where its lines have got to.
  std::unique_ptr<TOutlookResult> FOutlook;
  // The games FOutlook assumes, as its heading says them.
  QStringList FOutlookAssumed;
  // The pool's outlook input with the what-if's winners in, and those games; null for none.
  std::unique_ptr<TOutlookInput> FWhatIf;
  QStringList FWhatIfGames;
  // The input the next outlook is worked out from, noting the games it assumes.
  TOutlookInput NextOutlookInput();
  std::vector<TOutlookLine> FOutlookLines;
  TOutlookHeadings FOutlookHeadings = TOutlookHeadings::Table;
  // The Won and Tied columns as counts of outcomes rather than shares of them.
  bool FCountsOutcomes = true;
  // What the running by-round or popularity report prints.
  std::unique_ptr<TStandingsHistory> FHistory;
  std::unique_ptr<TPickPopularity> FPopularity;
  std::vector<TPopularityLine> FPopularityLines;
  TPopularityHeadings FPopularityHeadings = TPopularityHeadings::Teams;
};
