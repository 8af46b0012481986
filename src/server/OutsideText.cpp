#include "OutsideText.h"

#include <iterator>

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

// "\u001b". A long name of hidden characters is written at the pace of a copy, not of a
// formatted string per character.
void AppendEscape(QString& to, char16_t unit) {
  static constexpr char kDigits[] = "0123456789abcdef";
  const QChar escape[] = {QLatin1Char('\\'),
                          QLatin1Char('u'),
                          QLatin1Char(kDigits[(unit >> 12) & 0xf]),
                          QLatin1Char(kDigits[(unit >> 8) & 0xf]),
                          QLatin1Char(kDigits[(unit >> 4) & 0xf]),
                          QLatin1Char(kDigits[unit & 0xf])};
  to.append(escape, static_cast<qsizetype>(std::size(escape)));
}

// `quotes`: the text goes between double quotes, so its own quotes and backslashes are escaped.
// The whole is written into one string: the server quotes every name sent to it.
QString Escaped(const QString& text, bool quotes) {
  QString quoted;
  quoted.reserve(text.size() + 2);
  if (quotes)
    quoted += QLatin1Char('"');
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
        AppendEscape(quoted, text.at(unit).unicode());
    } else {
      quoted += QStringView(text).mid(i, units);
    }
    i += units - 1;
  }
  if (quotes)
    quoted += QLatin1Char('"');
  return quoted;
}
}  // namespace

QString Quoted(const QString& text) {
  return Escaped(text, true);
}

QString Plain(const QString& text) {
  return Escaped(text, false);
}

}  // namespace OutsideText
