#pragma once

#include <QString>

class TStandingsHistory;

// The race: every player's place after each completed round as a line across the rounds, the
// leaders named and coloured at the end of theirs, the rest grey behind them. SVG, sized for
// a page 600 units wide and taller the more players there are.
namespace RaceSvg {

// At most this many players are named and coloured: those placed in the top five after the
// last completed round, in finish order.
constexpr int kLeaders = 5;
constexpr int kMostNamed = 8;
// A line for each player up to this many, the first in the finish order: more would be a grey
// block, and a pool may hold a million players.
constexpr int kMostDrawn = 500;

// The picture of `history`; empty when no round is complete or nobody plays.
QString Svg(const TStandingsHistory& history, const QString& title);
// What goes under the picture of `history` to say how to read it.
QString Caption(const TStandingsHistory& history);

}  // namespace RaceSvg
