#include "InvitedFile.h"

#include <QHash>
#include <QSet>

#include "PlayerPicksFile.h"
#include "PoolNames.h"

QByteArray InvitedFile::Text(const QStringList& names) {
  QByteArray text;
  for (const QString& name : names)
    text += name.toUtf8() + '\n';
  return text;
}

bool InvitedFile::Parse(const QByteArray& text, QStringList* names, QString* error) {
  names->clear();
  const QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
  QHash<QString, int> lineOf;
  for (int index = 0; index < lines.size(); ++index) {
    const QString name = PoolNames::Normal(lines.at(index));
    if (name.isEmpty() || name.startsWith(QLatin1Char('#')))
      continue;
    const int number = index + 1;
    if (const QString why = PoolNames::Unstorable(name, QStringLiteral("player name"),
                                                  TPlayerPicksFile::kNameWidth);
        !why.isEmpty()) {
      *error = QStringLiteral("line %1: %2").arg(number).arg(why);
      return false;
    }
    const QString key = PoolNames::Key(name);
    if (const auto seen = lineOf.constFind(key); seen != lineOf.cend()) {
      *error = QStringLiteral("line %1: %2 is on line %3 already")
                   .arg(number)
                   .arg(name)
                   .arg(seen.value());
      return false;
    }
    lineOf.insert(key, number);
    *names << name;
  }
  return true;
}

QStringList InvitedFile::Missing(const QStringList& invited, const TPlayerPicksFile& players) {
  QSet<QString> entered;
  for (const auto& player : players.List())
    entered.insert(PoolNames::Key(player->PlayerName()));
  QStringList missing;
  for (const QString& name : invited) {
    if (!entered.contains(PoolNames::Key(name)))
      missing << name;
  }
  return missing;
}
