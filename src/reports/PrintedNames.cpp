#include "PrintedNames.h"

#include <algorithm>
#include <cmath>

#include "PlayerSelections.h"
#include "StandingsItem.h"

namespace PrintedNames {
using namespace ReportLayout;

// The stops of a line of picks: the round label, then `columns` picks sharing what is left to
// the margin on the right.
void AddPickStops(TBaseReport& writer, int columns) {
  writer.ClearTabStops();
  writer.AddTabStop(kSideMargin, kLeft, kRoundLabelWidth, 0, 0, 0);
  for (int i = 0; i < columns; ++i)
    writer.AddTabStop(kPrev, kLeft, (kLineWidth - kRoundLabelWidth) / columns, 0, 0, 0);
}

// The most picks a line of a player's block holds with every one of them whole at the picks'
// size: sixteen, or half as many as often as a long name needs.
int PickColumns(const TPlayerSelectionObject& player) {
  int columns = kPickColumns;
  for (; columns > 1; columns /= 2) {
    const TTabStop stop{0, kLeft, (kLineWidth - kRoundLabelWidth) / columns, 0, 0, 0};
    bool fit = true;
    for (int k = TPlayerSelectionObject::kFirstRound;
         fit && k <= TPlayerSelectionObject::kLastRound; ++k) {
      for (int j = 1; fit && j <= player.SelectionCount(k); ++j)
        fit = TBaseReport::WrapLines(kPickFontSpec, player.Selections(k, j), stop) == 1;
    }
    if (fit)
      break;
  }
  return columns;
}

// Lines of the standard font a player's block needs: the heading's two and the lines of
// picks, a round taking as many as its picks fill.
int SelectionsBlockLines(const TPlayerSelectionObject& player, int columns) {
  int pickLines = 0;
  for (int k = TPlayerSelectionObject::kFirstRound; k <= TPlayerSelectionObject::kLastRound; ++k)
    pickLines += std::max(1, (player.SelectionCount(k) + columns - 1) / columns);
  const double ratio = TBaseReport::LineHeightOf(kPickFontSpec) /
                       TBaseReport::LineHeightOf(TBaseReport::kInitialFont);
  return kSelectionsBlockLines +
         static_cast<int>(std::ceil((pickLines - kSelectionsPickLines) * ratio - 1e-9));
}

// Prints what did not fit a line's stops under it in the same stops, a line at a time, until
// all of it is printed. One text per stop of `set` (empty where nothing is left), with the
// font slot it is printed in.
void PrintRests(TBaseReport& writer, int set, std::vector<std::pair<QString, int>> rests) {
  const auto left = [&rests] {
    return std::any_of(rests.begin(), rests.end(),
                       [](const auto& rest) { return !rest.first.isEmpty(); });
  };
  while (left()) {
    writer.RecallTabStops(set);
    writer.RecallFont(RowFont);
    writer.NextLine();
    for (auto& [text, font] : rests) {
      // A name goes on in the size its first line was brought down to.
      writer.RecallFont(font);
      writer.UseFont(writer.Font().Name, TBaseReport::kSmallestSize);
      text = writer.PrintWrapInNextTab(text);
    }
  }
  writer.RecallFont(RowFont);
}

void PrintPicks(TBaseReport& writer, const TPlayerSelectionObject& player, int columns) {
  writer.ClearTabStops();
  if (columns == kPickColumns)
    writer.RecallTabStops(Set5);
  else
    AddPickStops(writer, columns);
  for (int round = 1; round <= kTournamentRounds; ++round) {
    writer.RecallFont(RoundLabelFont);
    writer.PrintInNextTab(QStringLiteral("Rd %1").arg(round));
    writer.RecallFont(PickFont);
    for (int j = 1; j <= TPlayerSelectionObject::kMaxSelections; ++j) {
      const QString& pick = player.Selections(round + 1, j);
      if (!pick.isEmpty() && j > 1 && (j - 1) % columns == 0) {
        // The rest of the round goes under the line it fills, past the label column.
        writer.NextLine();
        writer.PrintInNextTab(QString());
      }
      writer.PrintFitInNextTab(pick);
    }
    writer.NextLine();
  }
}

int ExtraLines(const TStandingsItem& item, bool final4) {
  int extra = TBaseReport::WrapLines(kRowFontSpec, item.PlayerName(),
                                     TTabStop{kPlayerNameLeft, kLeft, kPlayerNameWidth, 0, 0, 0}) -
              1;
  if (final4) {
    const TTabStop stop{0, kLeft, kFinal4Width, 0, 0, 0};
    int picks = TBaseReport::WrapLines(kHeadingFontSpec, item.Champion(), stop);
    for (int i = 1; i <= TStandingsItem::kFinalFourCount; ++i)
      picks = std::max(picks, TBaseReport::WrapLines(kRowFontSpec, item.FinalFour(i), stop));
    for (int i = 1; i <= TStandingsItem::kFinalsCount; ++i)
      picks = std::max(picks, TBaseReport::WrapLines(kRowFontSpec, item.Finals(i), stop));
    extra += picks - 1;
  }
  return extra;
}

}  // namespace PrintedNames
