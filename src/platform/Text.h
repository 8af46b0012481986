#pragma once

#include <QString>

// Removes blanks and control characters (everything up to the space) from both ends: the
// trimming that team-name searches and stored window-state items have always used.
QString TrimBlanksAndControls(const QString& text);
