#pragma once

#include <QString>

class TPlayerPicksListObject;
class TSystemFile;
class TTeamsFile;

// The bracket chart as SVG, for a web page: the chart picture's rules and lettering from the
// chart's own geometry, the pool's titles, and every team's full name in its slot, shrunk to
// fit its box rather than cut, so that it reads whole and stays sharp at any zoom.
//
// A page holds several charts: the first one written carries the rules and lettering, the
// ones after it refer to them, so one writer makes all the charts of one page.
class TChartSvg {
 public:
  explicit TChartSvg(const TSystemFile& system) : FSystem(system) {}

  // The results chart, as the bracket builder shows it.
  QString Results(const TTeamsFile& teams);
  // One player's picks: each pick past the first round marked as the standings score it, come
  // true (green) or dead, its team out before getting there (red, struck through).
  QString Picks(TPlayerPicksListObject& player, const TTeamsFile& teams);

 private:
  const TSystemFile& FSystem;
  bool FLinesWritten = false;
};
