// Writes the program's icon for the desktop's icon theme: the scalable SVG and PNGs of the
// sizes asked for, all from the same drawing as the window icon.
//   make-app-icon FOLDER SIZE...   writes FOLDER/courtsider.svg and FOLDER/courtsider-SIZE.png

#include <QCoreApplication>
#include <QDir>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

#include "Glyphs.h"

int main(int argc, char* argv[]) {
  // Paths and images only: no display, no fonts, so no GUI application either.
  QCoreApplication app(argc, argv);
  const QStringList arguments = app.arguments();
  if (arguments.size() < 2) {
    std::fprintf(stderr, "usage: make-app-icon FOLDER SIZE...\n");
    return 2;
  }
  const QDir folder(arguments.at(1));
  if (!QDir().mkpath(folder.path())) {
    std::fprintf(stderr, "cannot make %s\n", qPrintable(folder.path()));
    return 1;
  }

  QSvgGenerator svg;
  svg.setFileName(folder.filePath(QStringLiteral("courtsider.svg")));
  svg.setSize(QSize(32, 32));
  svg.setViewBox(QRectF(0, 0, 32, 32));
  svg.setTitle(QStringLiteral("Courtsider 99"));
  QPainter painter;
  if (!painter.begin(&svg)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(svg.fileName()));
    return 1;
  }
  Glyphs::DrawAppIcon(painter);
  painter.end();

  for (const QString& size : arguments.mid(2)) {
    const QString file = folder.filePath(QStringLiteral("courtsider-%1.png").arg(size));
    if (size.toInt() <= 0 || !Glyphs::RenderAppIcon(size.toInt()).save(file)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
