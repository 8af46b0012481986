#include "PoolNames.h"

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
        .arg(what, name)
        .arg(name.size())
        .arg(width);
  }
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
