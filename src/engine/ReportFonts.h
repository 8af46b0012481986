#pragma once

#include <QFont>
#include <QString>

// The layouts name their fonts as the report designer did ("Arial", "Arial Black"). Where
// those families are not installed, Liberation Sans stands in: it has Arial's metrics, so the
// columns keep their widths, and its heaviest weight stands in for Arial Black.
namespace ReportFonts {
QFont Resolve(const QString& name, double pointSize);
// The width of `text` in inches, measured at a fixed high resolution so that every writer
// cuts a text at the same character.
double TextWidth(const QFont& font, const QString& text);
// The same for the font a layout names, remembered: a report measures the same team names
// over and over, and measuring is most of the work of a long report.
double TextWidth(const QString& name, double pointSize, const QString& text);
}  // namespace ReportFonts
