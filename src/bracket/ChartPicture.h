#pragma once

#include <QFont>
#include <QImage>

// The picture of an empty bracket chart every view starts from: 800 x 600, two colours, black
// rules and lettering on white. Each slot has a rule under its text box, and the rules of the
// two slots of a game are joined by a connector at their inner end.
//
// The picture is drawn by code, once, on first use, from the slot rectangles of TBracketList
// and the connector columns below, rather than kept as a stored bitmap: that way the rules can
// never drift away from the rectangles the hit tests and the drawing use, and drawing it takes
// far less time than anyone could notice. It is kept for the life of the program.
const QImage& LoadChartPicture();

// The chart's lettering: Liberation Sans at a pixel size.
QFont ChartFont(int pixelSize, bool bold);
