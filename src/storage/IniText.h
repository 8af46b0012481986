#pragma once

#include <QByteArray>
#include <QString>

// The small ini files beside the pool ("Scoring.ini", "Prizes.ini"), as a person may have
// edited them: blank lines, comments, other sections and other keys are passed over, and
// letter case of sections and keys does not matter.
namespace IniText {
// The value of the first `key` in `section` ("[Scoring]"), trimmed; a null string when the
// text has none.
QString Value(const QByteArray& text, const QString& section, const QString& key);
}  // namespace IniText
