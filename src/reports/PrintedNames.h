#pragma once

// How the printed reports keep long names whole: the Selections List's lines of picks, fewer
// to a line where a name needs it, and names that go on under themselves in their stop.

#include <QString>
#include <utility>
#include <vector>

#include "BaseReport.h"
#include "ReportLayout.h"

class TPlayerSelectionObject;
class TStandingsItem;

namespace PrintedNames {
constexpr int kPickColumns = 16;
constexpr double kRoundLabelWidth = 0.3;
constexpr int kTournamentRounds = 6;
// The lines every player's block of picks takes when each round's picks fill their lines.
constexpr int kSelectionsBlockLines = 8;
constexpr int kSelectionsPickLines = 7;

// The player row's name column and the final-four line's columns, and the fonts they print in.
constexpr double kPlayerNameLeft = 0.75;
constexpr double kPlayerNameWidth = 2.0;
constexpr double kFinal4Width = 1.0;
inline const TReportFontSpec kRowFontSpec{QStringLiteral("Arial"), 10};
inline const TReportFontSpec kHeadingFontSpec{QStringLiteral("Arial Black"), 10};
inline const TReportFontSpec kPickFontSpec{QStringLiteral("Arial"), 6};

// The stops of a line of picks: the round label, then `columns` picks sharing what is left to
// the margin on the right.
void AddPickStops(TBaseReport& writer, int columns);

// The most picks a line of a player's block holds with every one of them whole at the picks'
// size: sixteen, or half as many as often as a long name needs.
int PickColumns(const TPlayerSelectionObject& player);

// Lines of the standard font a player's block needs: the heading's two and the lines of
// picks, a round taking as many as its picks fill.
int SelectionsBlockLines(const TPlayerSelectionObject& player, int columns);

// Prints what did not fit a line's stops under it in the same stops, a line at a time, until
// all of it is printed. One text per stop of `set` (empty where nothing is left), with the
// font slot it is printed in.
void PrintRests(TBaseReport& writer, int set, std::vector<std::pair<QString, int>> rests);

// A player's picks round by round, `columns` to a line of the Selections List.
void PrintPicks(TBaseReport& writer, const TPlayerSelectionObject& player, int columns);

// The lines a standings row takes beyond its own, for names that go on under themselves: the
// player's and, with `final4`, those of the line of final-four picks.
int ExtraLines(const TStandingsItem& item, bool final4);
}  // namespace PrintedNames
