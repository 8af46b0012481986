#pragma once

#include <QString>

// Removes blanks and control characters (everything up to the space) from both ends: the
// trimming that team-name searches and stored window-state items have always used.
QString TrimBlanksAndControls(const QString& text);

// `text` with its first letter upper-cased: a reason worded to follow "Row 4, column A: " in a
// list of problems, shown on its own in a message box.
QString AsSentence(const QString& text);
