#pragma once

#include <QImage>
#include <QString>

// What the SVG pictures share: numbers and texts written the way SVG reads them, and a picture
// drawn on an image for the pages of a report.
namespace SvgText {

// A coordinate or size: at most `decimals` decimals, no trailing zeros ("12", "12.5", "0.33").
QString Number(double value, int decimals = 2);
// A text as the content or value of an element: &, <, > and quotes escaped.
QString Escaped(const QString& text);
// A <text> element of `text` in the chart's lettering standing on (x, baseline), at `pixelSize`
// or, where it would be wider than `width`, made to fit it (FitText): a name too long even
// then is written in its short form with the whole name as its tip. The width measured here
// is held to in any font the reader's browser has (textLength, by the spacing of the
// letters), and narrower letters are a transform, which every SVG reader draws.
QString FittedText(double x, double baseline, const QString& text, int pixelSize, bool bold,
                   double width, const QString& ink = {});
// `svg` drawn on a white image `width` pixels wide, as tall as its view box asks; a null
// image when it cannot be read.
QImage Render(const QByteArray& svg, int width);

}  // namespace SvgText
