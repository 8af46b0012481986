#include "Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>
#include <functional>

namespace Glyphs {
namespace {

// Every glyph is drawn on a 32 x 32 grid and scaled to the size asked for.
constexpr qreal kGrid = 32.0;

const QColor kOutline(40, 40, 48);
const QColor kPaper(252, 252, 248);
const QColor kFolder(236, 184, 58);
const QColor kBlue(44, 98, 178);
const QColor kOrange(226, 112, 30);
const QColor kGreen(46, 140, 70);
const QColor kRed(190, 46, 40);
const QColor kGold(214, 168, 40);
const QColor kGrey(150, 150, 158);

QPen Outline(qreal width = 1.6) {
  return QPen(kOutline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void DrawPage(QPainter& p) {
  QPainterPath page;
  page.moveTo(7, 3);
  page.lineTo(20, 3);
  page.lineTo(26, 9);
  page.lineTo(26, 29);
  page.lineTo(7, 29);
  page.closeSubpath();
  p.setPen(Outline());
  p.setBrush(kPaper);
  p.drawPath(page);
  p.setBrush(QColor(220, 220, 214));
  p.drawPolygon(QPolygonF({QPointF(20, 3), QPointF(20, 9), QPointF(26, 9)}));
}

void DrawNew(QPainter& p) {
  DrawPage(p);
  // A spark in the corner says "new".
  p.setPen(Qt::NoPen);
  p.setBrush(kGold);
  QPainterPath star;
  const QPointF c(9, 9);
  for (int i = 0; i < 8; ++i) {
    const qreal r = (i % 2 == 0) ? 7.5 : 2.6;
    const QPointF at = c + QPointF(r * qCos(i * M_PI / 4), r * qSin(i * M_PI / 4));
    if (i == 0) {
      star.moveTo(at);
    } else {
      star.lineTo(at);
    }
  }
  star.closeSubpath();
  p.drawPath(star);
}

void DrawOpen(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(kFolder.darker(115));
  QPainterPath back;
  back.moveTo(3, 8);
  back.lineTo(11, 8);
  back.lineTo(14, 11);
  back.lineTo(27, 11);
  back.lineTo(27, 26);
  back.lineTo(3, 26);
  back.closeSubpath();
  p.drawPath(back);
  p.setBrush(kFolder);
  p.drawPolygon(QPolygonF({QPointF(3, 26), QPointF(8, 15), QPointF(30, 15), QPointF(25, 26)}));
}

void DrawSave(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(kBlue);
  QPainterPath disk;
  disk.moveTo(4, 4);
  disk.lineTo(24, 4);
  disk.lineTo(28, 8);
  disk.lineTo(28, 28);
  disk.lineTo(4, 28);
  disk.closeSubpath();
  p.drawPath(disk);
  p.setBrush(kPaper);
  p.drawRect(QRectF(9, 4, 13, 9));
  p.setBrush(kBlue.darker(140));
  p.drawRect(QRectF(17, 5.5, 3, 6));
  p.setBrush(kPaper);
  p.drawRect(QRectF(8, 17, 16, 11));
  p.setPen(QPen(kGrey, 1.2));
  p.drawLine(QPointF(11, 21), QPointF(21, 21));
  p.drawLine(QPointF(11, 24.5), QPointF(21, 24.5));
}

void DrawOptions(QPainter& p) {
  // Three sliders: the pool's values set to taste.
  const qreal rows[] = {8, 16, 24};
  const qreal knobs[] = {20, 10, 17};
  for (int i = 0; i < 3; ++i) {
    p.setPen(QPen(kOutline, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, rows[i]), QPointF(28, rows[i]));
    p.setPen(Outline(1.4));
    p.setBrush(i == 1 ? kOrange : kBlue);
    p.drawRoundedRect(QRectF(knobs[i] - 3, rows[i] - 4.5, 6, 9), 1.5, 1.5);
  }
}

// One side of a chart in the painter's pen: the four lines at heights `lines` run from `left`
// and meet in pairs at `pairs`; the two pairs meet at `winner`.
void DrawChartSide(QPainter& p, const qreal (&lines)[4], qreal left, qreal pairs, qreal winner) {
  p.setBrush(Qt::NoBrush);
  qreal middles[2];
  for (int i = 0; i < 2; ++i) {
    const qreal top = lines[2 * i];
    const qreal bottom = lines[2 * i + 1];
    middles[i] = (top + bottom) / 2;
    p.drawPolyline(QPolygonF(
        {QPointF(left, top), QPointF(pairs, top), QPointF(pairs, bottom), QPointF(left, bottom)}));
    p.drawLine(QPointF(pairs, middles[i]), QPointF(winner, middles[i]));
  }
  p.drawLine(QPointF(winner, middles[0]), QPointF(winner, middles[1]));
}

void DrawBrackets(QPainter& p) {
  // Four lines feed two, two feed the winner.
  p.setPen(QPen(kBlue, 2.2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  DrawChartSide(p, {4, 11, 20, 27}, 2, 11, 19);
  p.setPen(QPen(kOrange, 2.6, Qt::SolidLine, Qt::SquareCap));
  p.drawLine(QPointF(19, 15.5), QPointF(30, 15.5));
}

void DrawLock(QPainter& p) {
  p.setPen(QPen(kGrey.darker(130), 3.2, Qt::SolidLine, Qt::FlatCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(9, 3, 14, 16), 0, 180 * 16);
  p.drawLine(QPointF(9, 11), QPointF(9, 15));
  p.drawLine(QPointF(23, 11), QPointF(23, 15));
  p.setPen(Outline());
  p.setBrush(kGold);
  p.drawRoundedRect(QRectF(5, 14, 22, 15), 2.5, 2.5);
  p.setPen(Qt::NoPen);
  p.setBrush(kOutline);
  p.drawEllipse(QPointF(16, 20), 2.4, 2.4);
  p.drawRect(QRectF(15, 20, 2, 5));
}

void DrawPerson(QPainter& p, const QPointF& head, qreal scale, const QColor& shirt) {
  p.setPen(Outline(1.4));
  p.setBrush(shirt);
  QPainterPath body;
  body.moveTo(head.x() - 7 * scale, head.y() + 17 * scale);
  body.cubicTo(head.x() - 7 * scale, head.y() + 7 * scale, head.x() + 7 * scale,
               head.y() + 7 * scale, head.x() + 7 * scale, head.y() + 17 * scale);
  body.closeSubpath();
  p.drawPath(body);
  p.setBrush(QColor(240, 200, 160));
  p.drawEllipse(head, 4.5 * scale, 4.5 * scale);
}

void DrawPlayers(QPainter& p) {
  DrawPerson(p, QPointF(21, 9), 0.9, kBlue);
  DrawPerson(p, QPointF(12, 12), 1.0, kOrange);
}

void DrawReports(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(kPaper);
  p.drawRect(QRectF(9, 3, 14, 10));
  p.setBrush(kGrey);
  p.drawRoundedRect(QRectF(3, 12, 26, 11), 2, 2);
  p.setBrush(kPaper);
  p.drawRect(QRectF(9, 19, 14, 10));
  p.setPen(QPen(kGrey.darker(120), 1.2));
  p.drawLine(QPointF(12, 23), QPointF(20, 23));
  p.drawLine(QPointF(12, 26), QPointF(20, 26));
  p.setPen(Qt::NoPen);
  p.setBrush(kGreen);
  p.drawEllipse(QPointF(25, 16), 1.5, 1.5);
}

void DrawHelp(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(kBlue);
  p.drawEllipse(QPointF(16, 16), 13, 13);
  QFont font;
  font.setPixelSize(20);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, QStringLiteral("?"));
}

void DrawExit(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(QColor(160, 110, 70));
  p.drawRect(QRectF(5, 3, 14, 26));
  p.setPen(Qt::NoPen);
  p.setBrush(kGold);
  p.drawEllipse(QPointF(16, 17), 1.4, 1.4);
  p.setPen(QPen(kRed, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(QPointF(17, 16), QPointF(29, 16));
  p.drawPolyline(QPolygonF({QPointF(24, 11), QPointF(29, 16), QPointF(24, 21)}));
}

void DrawWebsite(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(QColor(120, 180, 230));
  const QRectF globe(3, 3, 26, 26);
  p.drawEllipse(globe);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kBlue.darker(130), 1.3));
  p.drawEllipse(QRectF(10, 3, 12, 26));
  p.drawLine(QPointF(16, 3), QPointF(16, 29));
  p.drawLine(QPointF(3, 16), QPointF(29, 16));
  p.drawLine(QPointF(5.5, 9.5), QPointF(26.5, 9.5));
  p.drawLine(QPointF(5.5, 22.5), QPointF(26.5, 22.5));
}

using TDraw = std::function<void(QPainter&)>;

QIcon MakeIcon(const TDraw& draw) {
  QIcon icon;
  for (int size : {16, 24, 32, 48}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(size / kGrid, size / kGrid);
    draw(painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace

void DrawAppIcon(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(kBlue);
  p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 6, 6);

  // One side of a chart in white, leading to the champion.
  p.setPen(QPen(kPaper, 2.2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  DrawChartSide(p, {7, 12, 20, 25}, 6, 10.5, 14.5);
  p.drawLine(QPointF(14.5, 16), QPointF(17, 16));

  // The champion: a basketball with its seams.
  const QPointF ball(22.5, 16);
  const qreal radius = 6.5;
  p.setPen(Outline(1.4));
  p.setBrush(kOrange);
  p.drawEllipse(ball, radius, radius);
  p.setPen(QPen(kOutline, 1.1, Qt::SolidLine, Qt::FlatCap));
  p.setBrush(Qt::NoBrush);
  p.drawLine(ball + QPointF(0, -radius), ball + QPointF(0, radius));
  p.drawLine(ball + QPointF(-radius, 0), ball + QPointF(radius, 0));
  // The side seams: arcs of circles as large as the ball, a ball's width and a half away.
  const QRectF seam(-radius, -radius, 2 * radius, 2 * radius);
  p.drawArc(seam.translated(ball + QPointF(-9, 0)), -46 * 16, 92 * 16);
  p.drawArc(seam.translated(ball + QPointF(9, 0)), 134 * 16, 92 * 16);
}

QImage RenderAppIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / kGrid, size / kGrid);
  DrawAppIcon(painter);
  painter.end();
  return image;
}

QIcon CreateAppIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addPixmap(QPixmap::fromImage(RenderAppIcon(size)));
  return icon;
}

QList<QIcon> CreateImageList() {
  const TDraw draws[kGlyphCount] = {DrawNew,      DrawOpen, DrawSave,    DrawOptions,
                                    DrawBrackets, DrawLock, DrawPlayers, DrawReports,
                                    DrawHelp,     DrawExit, DrawWebsite};
  QList<QIcon> images;
  for (const TDraw& draw : draws)
    images.append(MakeIcon(draw));
  return images;
}

}  // namespace Glyphs
