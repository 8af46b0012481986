#pragma once

#include "BaseReport.h"

// What the layouts of the reports share: stop settings, the slots of the stored tab sets and
// fonts, and the margins of the reports that list players.
namespace ReportLayout {
constexpr double kPrev = TBaseReport::kPreviousStopEnd;
constexpr int kCenter = TBaseReport::kJustifyCenter;
constexpr int kLeft = TBaseReport::kJustifyLeft;
constexpr int kBox = TBaseReport::kBoxAll;

// Tab sets and fonts the layouts store at the start of every body.
enum TSlot { Set1 = 1, Set2, Set3, Set4, Set5, Set6, Set7, Set8, Set9, Set10 };
enum TFontSlot { PoolNameFont = 1, TitleFont, HeadingFont, RowFont, PickFont, RoundLabelFont };

// The reports that list players print from the top margin down to a quarter inch above the
// paper's edge, and between a quarter inch from either side.
constexpr double kStandingsTopMargin = 0.1;
constexpr double kStandingsBottomMargin = 0.25;
constexpr double kSideMargin = 0.25;
constexpr double kLineWidth = TBaseReport::kPageWidth - 2 * kSideMargin;
}  // namespace ReportLayout
