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
}  // namespace ReportFonts
