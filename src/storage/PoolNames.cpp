#include "PoolNames.h"

#include <algorithm>
#include <iterator>

#include "Win1252.h"

QString PoolNames::Unstorable(const QString& name, const QString& what, int width) {
  // Controls come first: the other texts quote the name, and a name holding an escape must
  // never reach a terminal.
  for (const QChar c : name) {
    if (c.category() == QChar::Other_Control) {
      const QString code =
          QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
      return QStringLiteral("the %1 holds the control character U+%2, which a pool cannot store")
          .arg(what, code);
    }
  }
  if (name.size() > width) {
    return QStringLiteral("the %1 \"%2\" is %3 characters long; a name holds at most %4")
        .arg(what, Quoted(name), QString::number(name.size()), QString::number(width));
  }
  // Most names come back whole from the file's code page; only one that does not is looked
  // at a character at a time, for the one to name.
  const QByteArray whole = Win1252::Encode(name);
  if (Win1252::Decode(whole.constData(), static_cast<int>(whole.size())) == name)
    return {};
  for (qsizetype i = 0; i < name.size();) {
    const qsizetype length = name.at(i).isHighSurrogate() && i + 1 < name.size() ? 2 : 1;
    const QString character = name.mid(i, length);
    const QByteArray stored = Win1252::Encode(character);
    if (Win1252::Decode(stored.constData(), static_cast<int>(stored.size())) != character) {
      return QStringLiteral("the %1 \"%2\" holds \"%3\", a character a pool cannot store")
          .arg(what, name, character);
    }
    i += length;
  }
  return {};
}

QString PoolNames::Normal(const QString& name) {
  QString kept;
  kept.reserve(name.size());
  bool blank = false;
  for (qsizetype i = 0; i < name.size();) {
    const bool pair =
        name.at(i).isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate();
    const qsizetype length = pair ? 2 : 1;
    const char32_t c =
        pair ? QChar::surrogateToUcs4(name.at(i), name.at(i + 1)) : char32_t{name.at(i).unicode()};
    if (QChar::isSpace(c)) {
      blank = true;
    } else if (QChar::category(c) != QChar::Other_Format) {
      if (blank && !kept.isEmpty())
        kept += QLatin1Char(' ');
      blank = false;
      kept += QStringView(name).mid(i, length);
    }
    i += length;
  }
  // Controls at the ends go as blanks do, as a typed name's always have; inside a name they
  // stay, for Unstorable to refuse.
  qsizetype first = 0;
  qsizetype last = kept.size();
  while (first < last && kept.at(first).unicode() <= 0x20)
    ++first;
  while (last > first && kept.at(last - 1).unicode() <= 0x20)
    --last;
  return kept.mid(first, last - first).normalized(QString::NormalizationForm_C);
}

QString PoolNames::Key(const QString& name) {
  return Normal(name).toCaseFolded();
}

QString PoolNames::Quoted(const QString& text) {
  QString shown;
  shown.reserve(std::min<qsizetype>(text.size(), kQuotedLength + 1));
  int characters = 0;
  for (qsizetype i = 0; i < text.size(); ++characters) {
    if (characters == kQuotedLength) {
      shown += QChar(0x2026);
      return shown;
    }
    const QChar c = text.at(i);
    const qsizetype length = c.isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    if (c.category() == QChar::Other_Control) {
      // "\x1b": every control is below U+0100. Written by hand: a cell of controls is quoted
      // at the pace of a copy, not of a formatted string per character.
      static constexpr char kDigits[] = "0123456789abcdef";
      const QChar code[] = {QLatin1Char('\\'), QLatin1Char('x'),
                            QLatin1Char(kDigits[(c.unicode() >> 4) & 0xf]),
                            QLatin1Char(kDigits[c.unicode() & 0xf])};
      shown.append(code, static_cast<qsizetype>(std::size(code)));
    } else {
      shown += QStringView(text).mid(i, length);
    }
    i += length;
  }
  return shown;
}
