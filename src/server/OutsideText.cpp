#include "OutsideText.h"

namespace OutsideText {

namespace {
// Characters nobody sees as they are: controls (C0, DEL, C1), formats (bidirectional
// overrides, zero widths, tags), line and paragraph separators, and half a surrogate pair.
bool Hidden(char32_t code) {
  switch (QChar::category(code)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
      return true;
    default:
      return false;
  }
}

// `quotes`: the text goes between double quotes, so its own quotes and backslashes are escaped.
QString Escaped(const QString& text, bool quotes) {
  QString quoted;
  quoted.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    qsizetype units = 1;
    char32_t code = text.at(i).unicode();
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      code = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
      units = 2;
    }
    if (quotes && (code == U'"' || code == U'\\')) {
      quoted += QLatin1Char('\\');
      quoted += text.at(i);
    } else if (code == U'\n') {
      quoted += QStringLiteral("\\n");
    } else if (code == U'\r') {
      quoted += QStringLiteral("\\r");
    } else if (code == U'\t') {
      quoted += QStringLiteral("\\t");
    } else if (Hidden(code)) {
      for (qsizetype unit = i; unit < i + units; ++unit)
        quoted += QStringLiteral("\\u%1").arg(text.at(unit).unicode(), 4, 16, QLatin1Char('0'));
    } else {
      quoted += QStringView(text).mid(i, units);
    }
    i += units - 1;
  }
  return quoted;
}
}  // namespace

QString Quoted(const QString& text) {
  return QLatin1Char('"') + Escaped(text, true) + QLatin1Char('"');
}

QString Plain(const QString& text) {
  return Escaped(text, false);
}

}  // namespace OutsideText
