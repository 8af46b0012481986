#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <vector>

class QPainter;

// The picture of an empty bracket chart every view starts from: 800 x 600, two colours, black
// rules and lettering on white. Each slot has a rule under its text box, and the rules of the
// two slots of a game are joined by a connector at their inner end.
//
// The picture is drawn by code from the slot rectangles of TBracketList and the connector
// columns, rather than kept as a stored bitmap: that way the rules can never drift away from
// the rectangles the hit tests and the drawing use. The same pieces draw it at any size (a
// zoomed chart window) and write it as SVG (the published page).

// Lettering of the picture: a seed beside its first-round line, or one of the words.
struct TChartLabel {
  QString Text;
  // Where the text stands on its baseline: its left end, or its right end when AlignRight.
  QPoint Baseline;
  int PixelSize = 0;
  bool Bold = false;
  bool AlignRight = false;
};

// The rules under the slots and the connectors between them, each a rectangle of black pixels,
// all four edges included.
const std::vector<QRect>& ChartRules();
// The seeds beside the first-round lines and the words Champion and Finalist.
const std::vector<TChartLabel>& ChartLabels();

// The picture at one picture pixel per pixel, in its two colours, made once and kept for the
// life of the program.
const QImage& LoadChartPicture();
// Draws the picture's rules and lettering in chart pixels on white with whatever scale the
// painter has set; smoothed, for a picture larger than the chart's own size.
void PaintChartPicture(QPainter& painter);

// The chart's lettering: Liberation Sans at a pixel size.
QFont ChartFont(int pixelSize, bool bold);
// Names and titles are written at this size: text cells (ascent plus descent) of this size
// fill the 13 rows of a slot's text box.
constexpr int kChartTextPixelSize = 11;

// Names are never written smaller than this, on screen or, the chart filling a page, on paper
// (about 6 points there).
constexpr int kChartSmallestPixelSize = 9;

// How a text written in the chart's lettering at `pixelSize` is made to fit `width` pixels:
// first a smaller font, down to kChartSmallestPixelSize, then the letters drawn a little
// narrower; what still does not fit is shown in a short form, its start and an ellipsis.
struct TFittedText {
  // What is written: the text, or its short form.
  QString Text;
  // The size as a share of the size asked for.
  double Shrink = 1;
  // The width of Text at the shrunk size, and the share of it it is drawn in (1: as it is).
  double Width = 0;
  double Squeeze = 1;

  bool Shortened(const QString& text) const { return Text != text; }
};
TFittedText FitText(const QString& text, int pixelSize, bool bold, double width);
// The family list the published chart asks for: the chart's own font, then ones with the same
// widths, so that names measured here fit there.
inline const char* const kChartFontFamilies = "Liberation Sans, Arial, Helvetica, sans-serif";
