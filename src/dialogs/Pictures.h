#pragma once

#include <QString>

// The program's own pictures, JPEG files compiled into the program as Qt resources and
// decoded through Qt's JPEG image plugin.
namespace Pictures {
// Centred in the main window's client area.
inline const QString kMural = QStringLiteral(":/pictures/mural.jpg");
// Shown stretched at the left of the about box.
inline const QString kAbout = QStringLiteral(":/pictures/about.jpg");
}  // namespace Pictures
