// The fonts, tab sets and column headings the reports print with.
#include "PoolReports.h"
#include "PrintedNames.h"
#include "ReportLayout.h"

using namespace ReportLayout;
using namespace PrintedNames;

namespace {
const QStringList kColumnHeadings = {
    QStringLiteral("Pos"),    QStringLiteral("Player Name"), QStringLiteral("Total"),
    QStringLiteral("Rd 1"),   QStringLiteral("Rd 2"),        QStringLiteral("Rd 3"),
    QStringLiteral("Rd 4"),   QStringLiteral("Rd 5"),        QStringLiteral("Rd 6"),
    QStringLiteral("TB pts"), QStringLiteral("+/-")};
const QStringList kFinal4Headings = {QStringLiteral("Final 4"), QStringLiteral("Finals"),
                                     QStringLiteral("Champ")};
const QString kPrizeHeading = QStringLiteral("Prize");
// Room for a prize beside the +/- column, inside the side margin.
constexpr double kPrizeWidth = 0.5;
}  // namespace

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
  if (!FPrizes.empty())
    writer.AddTabStop(kPrev, kCenter, kPrizeWidth, 0, kBox, 0);
  writer.StoreTabStops(Set2);

  writer.ClearTabStops();
  writer.AddTabStop(0.25, kCenter, 0.5, 0, 0, 0);
  writer.AddTabStop(kPlayerNameLeft, kLeft, kPlayerNameWidth, 0, 0, 0);
  writer.AddTabStop(kPrev, kCenter, 0.75, 0, 0, 0);
  for (int i = 0; i < 7; ++i)
    writer.AddTabStop(kPrev, kCenter, 0.5, 0, 0, 0);
  // The prize keeps to its heading's place whether or not +/- is printed.
  if (FPoolTieBreaker > 0 || !FPrizes.empty())
    writer.AddTabStop(kPrev, kCenter, 0.75, 0, 0, 0);
  if (!FPrizes.empty())
    writer.AddTabStop(kPrev, kCenter, kPrizeWidth, 0, 0, 0);
  writer.StoreTabStops(Set3);

  writer.ClearTabStops();
  writer.AddTabStop(0.75, kLeft, kFinal4Width, 0, 0, 0);
  for (int i = 0; i < 6; ++i)
    writer.AddTabStop(kPrev, kLeft, kFinal4Width, 0, 0, 0);
  writer.StoreTabStops(Set4);

  // The round labels start at the margin the standings keep.
  AddPickStops(writer, kPickColumns);
  writer.StoreTabStops(Set5);

  writer.ClearTabStops();
  writer.AddTabStop(kSideMargin, kLeft, kLineWidth, 0, 0, 0);
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
  if (!FPrizes.empty())
    writer.PrintInNextTab(kPrizeHeading);
  writer.NextLine();
}

void TPoolReports::PrintFinal4Headings(TBaseReport& writer) {
  writer.RecallTabStops(Set7);
  writer.RecallFont(HeadingFont);
  for (const QString& heading : kFinal4Headings)
    writer.PrintInNextTab(heading);
  writer.NextLine();
}
