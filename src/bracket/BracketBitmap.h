#pragma once

#include <QImage>
#include <QRect>
#include <vector>

#include "ChartGeometry.h"

class QPainter;
class TBracketItem;
class TBracketList;
class TSystemFile;
class TTeamsFile;

// A chart to look at: the chart picture with the pool's titles, over which the names of the
// entries on a bracket chart are written. A window keeps one as it was made and refreshes its
// own copy from it (a plain copy of the value), then writes titles and names over the copy.
//
// Text is written as the platform the chart was designed on writes it into a box: the box is
// filled white, the text starts at its top-left corner and is clipped to it. A text too long
// for its box is shrunk to fit whole rather than cut: two long names cut alike could not be
// told apart. Titles are bold, names regular unless a window asks for bold. What each box
// holds is also kept as text, so that the same chart can be drawn afresh at any size (Paint).
class TBracketBitmap {
 public:
  // The chart picture with the pool name and the four bracket names of `system` on it.
  explicit TBracketBitmap(const TSystemFile& system);

  const QImage& Image() const { return FImage; }
  // Draws the chart picture and every box's text with `painter`, in chart pixels at whatever
  // scale it has set: sharp at any size, where the image is only its own.
  void Paint(QPainter& painter) const;

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
  // What one box shows now.
  struct TBoxText {
    QRect Box;
    QString Text;
    bool Bold = false;
  };

  void TextRect(const QRect& box, const QString& text, bool bold);

  QImage FImage;
  // One element per box written, in the order the boxes were first written; the boxes of the
  // slots and titles do not overlap, except the builder's pool-name box, which covers the
  // chart's own and comes after it.
  std::vector<TBoxText> FTexts;
};
