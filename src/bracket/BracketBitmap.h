#pragma once

#include <QImage>
#include <QRect>

#include "ChartGeometry.h"

class TBracketItem;
class TBracketList;
class TSystemFile;
class TTeamsFile;

// A chart to look at: the chart picture with the pool's titles, over which the names of the
// entries on a bracket chart are written. A window keeps one as it was made and refreshes its
// own copy from it (a plain copy of the value), then writes titles and names over the copy.
//
// Text is written as the platform the chart was designed on writes it into a box: the box is
// filled white, the text starts at its top-left corner and is clipped to it. Titles are bold,
// names regular unless a window asks for bold.
class TBracketBitmap {
 public:
  // The chart picture with the pool name and the four bracket names of `system` on it.
  explicit TBracketBitmap(const TSystemFile& system);

  const QImage& Image() const { return FImage; }

  // Writes the pool name into `poolNameBox` and the bracket names into their boxes.
  void DrawTitles(const TSystemFile& system,
                  const QRect& poolNameBox = ChartGeometry::kPoolNameBox);
  // Wipes the slot's text box and writes the name of the entry it shows, if any; bold for the
  // slot under the mouse. Nothing for no slot.
  void DrawSlot(const TBracketItem* slot, bool bold = false);
  // DrawSlot for every slot of `chart` in slot order; nothing when there is no chart.
  void DrawAllSlots(const TBracketList* chart);

  // The results chart as the bracket builder shows it, with its wider pool-name box.
  static QImage ResultsPicture(const TSystemFile& system, const TTeamsFile& teams);

 private:
  void TextRect(const QRect& box, const QString& text, bool bold);

  QImage FImage;
};
