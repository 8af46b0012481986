#pragma once

#include <QFont>
#include <QStringList>

// The small dialogs are laid out in pixels for an 8-point sans serif; where the classic
// dialog face is missing, a face of the same widths stands in so the layout still fits.
inline QFont DesignFont(int pointSize = 8, bool bold = false) {
  QFont font;
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("Arial")});
  font.setPointSize(pointSize);
  font.setBold(bold);
  return font;
}
