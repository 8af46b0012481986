#include "SvgText.h"

#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

#include "ChartPicture.h"

namespace SvgText {

QString Number(double value, int decimals) {
  QString text = QString::number(value, 'f', decimals);
  while (text.endsWith(QLatin1Char('0')))
    text.chop(1);
  if (text.endsWith(QLatin1Char('.')))
    text.chop(1);
  return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QString Escaped(const QString& text) {
  return text.toHtmlEscaped();
}

QString FittedText(double x, double baseline, const QString& text, int pixelSize, bool bold,
                   double width, const QString& ink) {
  const TFittedText fitted = FitText(text, pixelSize, bold, width);
  // The squeeze with the decimals a long name needs to end within a hundredth of its box.
  const QString place = fitted.Squeeze < 1
                            ? QStringLiteral("transform=\"matrix(%1 0 0 1 %2 %3)\"")
                                  .arg(Number(fitted.Squeeze, 4), Number(x), Number(baseline))
                            : QStringLiteral("x=\"%1\" y=\"%2\"").arg(Number(x), Number(baseline));
  QString attributes;
  if (fitted.Shrink < 1)
    attributes += QStringLiteral(" font-size=\"%1\"").arg(Number(pixelSize * fitted.Shrink));
  if (!ink.isEmpty())
    attributes += QStringLiteral(" fill=\"%1\"").arg(ink);
  const QString element = QStringLiteral("<text %1%2 textLength=\"%3\">%4</text>")
                              .arg(place, attributes, Number(fitted.Width), Escaped(fitted.Text));
  // A short form carries the whole text as its tip, on a group around it: a title inside the
  // text would be drawn as part of it by some readers (Qt's among them).
  if (!fitted.Shortened(text))
    return element;
  return QStringLiteral("<g><title>%1</title>%2</g>").arg(Escaped(text), element);
}

QImage Render(const QByteArray& svg, int width) {
  // Qt's SVG reader takes a list of font families for the name of one, which it then lacks;
  // the first family of the list is the one the pictures are measured in.
  QByteArray readable = svg;
  readable.replace(kChartFontFamilies, ChartFont(kChartTextPixelSize, false).family().toUtf8());
  QSvgRenderer renderer(readable);
  const QRectF box = renderer.viewBoxF();
  if (!renderer.isValid() || box.width() <= 0 || box.height() <= 0 || width <= 0)
    return {};
  const int height = static_cast<int>(std::lround(width * box.height() / box.width()));
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  renderer.render(&painter);
  return image;
}

}  // namespace SvgText
