#include "IniText.h"

#include <QList>

QString IniText::Value(const QByteArray& text, const QString& section, const QString& key) {
  bool inSection = false;
  for (const QByteArray& raw : text.split('\n')) {
    const QString line = QString::fromUtf8(raw).trimmed();
    if (line.startsWith(QLatin1Char('['))) {
      inSection = line.compare(section, Qt::CaseInsensitive) == 0;
      continue;
    }
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (inSection && equals >= 0 &&
        line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
      return line.mid(equals + 1).trimmed();
    }
  }
  return {};
}
