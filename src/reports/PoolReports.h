#pragma once

#include <QString>
#include <array>
#include <functional>
#include <memory>

#include "RTFFiler.h"
#include "ReportShell.h"
#include "ReportSystem.h"

class TBracketBitmap;
class TFFDataModule;
class TOpenPool;
class TPlayerSelectionObject;
class TReportsBase;
class TStandingsItem;

// The six reports of the open pool: for each a report system (preview and printer), for five
// of them an RTF filer, and the row drivers both hand their page writer to. The layouts are
// the handlers of those components; they read the pool through the open-pool holder each run.
class TPoolReports {
 public:
  static constexpr int kReportCount = 6;
  static constexpr int kBlankEntrySheet = 0;

  struct TCatalogueEntry {
    QString ListText;
    // Empty for the report without file output.
    QString RtfFile;
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

  explicit TPoolReports(TOpenPool& pool);
  ~TPoolReports();
  TPoolReports(const TPoolReports&) = delete;
  TPoolReports& operator=(const TPoolReports&) = delete;

  // Report position p's report system, and its RTF filer (nullptr for the blank entry sheet).
  TReportSystem& ReportSystem(int p) { return *FPrinterTable.at(static_cast<size_t>(p)); }
  TRTFFiler* RtfFiler(int p) { return FFileTable.at(static_cast<size_t>(p)); }
  // Points every filer at its file in `directory`.
  void SetRtfDirectory(const QString& directory);

  TReportSystem rpsysBlankEntry;
  TReportSystem rpsysStandingsPoints;
  TReportSystem rpsysStandingsPotential;
  TReportSystem rpsysStandingsWithFinal4;
  TReportSystem rpsysPotentialWithFinal4;
  TReportSystem rpsysSelectionsList;
  TRTFFiler rprtfStandingsPoints;
  TRTFFiler rprtfStandingsPotential;
  TRTFFiler rprtfPointsWithFinal4;
  TRTFFiler rprtfPotentialWithFinal4;
  TRTFFiler rprtfSelectionsList;
  TMasterShell rpmsStandingsPoints;
  TMasterShell rpmsStandingsPotential;
  TMasterShell rpmsStandingsWithFinal4;
  TMasterShell rpmsPotentialWithFinal4;
  TMasterShell rpmsSelectionsList;
  TDetailShell rpdsSelectionsList;

 private:
  struct TStandingsLayout;

  void WireStandings(const TStandingsLayout& layout, TReportSystem& system, TRTFFiler& filer,
                     TMasterShell& shell);
  void WireSelections();
  void WireBlankEntry();

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
  int32_t FPoolTieBreaker = 0;
  std::unique_ptr<TBracketBitmap> FBitmap;
};
