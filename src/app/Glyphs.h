#pragma once

#include <QIcon>
#include <QImage>
#include <QList>

class QPainter;

// The glyphs of the main window's commands. They are drawn here rather than stored as
// bitmaps so that they stay sharp at every size the menus and the tool bar ask for.
namespace Glyphs {

// Indexes into the image list, as the actions refer to them.
enum TGlyph {
  kNew = 0,
  kOpen = 1,
  kSave = 2,
  kOptions = 3,
  kBrackets = 4,
  kLock = 5,
  kPlayers = 6,
  kReports = 7,
  kHelp = 8,
  kExit = 9,
  kWebsite = 10,
  kGlyphCount = 11
};

// The image list of the main window: one icon per glyph, in index order.
QList<QIcon> CreateImageList();

// The program's icon, in the glyphs' style on their 32 x 32 grid: one side of a chart leading
// to a basketball. The window icon, and the installed icons made from it at build time.
void DrawAppIcon(QPainter& painter);
// The icon as an image `size` pixels square, with transparent corners.
QImage RenderAppIcon(int size);
QIcon CreateAppIcon();

}  // namespace Glyphs
