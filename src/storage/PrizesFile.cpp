#include "PrizesFile.h"

#include <QList>

namespace {
const QString kSection = QStringLiteral("[Prizes]");
const QString kFeeKey = QStringLiteral("Fee");
const QString kSplitKey = QStringLiteral("Split");
}  // namespace

QByteArray PrizesFile::Text(const Prizes::TPrizes& prizes) {
  QString text = kSection + QLatin1Char('\n');
  if (prizes.IsSet()) {
    text += kFeeKey + QLatin1Char('=') + Prizes::MoneyText(prizes.FeeCents) + QLatin1Char('\n') +
            kSplitKey + QLatin1Char('=') + Prizes::SplitText(prizes.Split) + QLatin1Char('\n');
  }
  return text.toUtf8();
}

bool PrizesFile::Parse(const QByteArray& text, Prizes::TPrizes* prizes, QString* error) {
  // An ini file a person may have edited: blank lines, comments, other sections and other
  // keys are passed over.
  QString fee;
  QString split;
  bool inSection = false;
  for (const QByteArray& raw : text.split('\n')) {
    const QString line = QString::fromUtf8(raw).trimmed();
    if (line.startsWith(QLatin1Char('['))) {
      inSection = line.compare(kSection, Qt::CaseInsensitive) == 0;
      continue;
    }
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (!inSection || equals < 0)
      continue;
    const QString key = line.left(equals).trimmed();
    if (key.compare(kFeeKey, Qt::CaseInsensitive) == 0)
      fee = line.mid(equals + 1);
    else if (key.compare(kSplitKey, Qt::CaseInsensitive) == 0)
      split = line.mid(equals + 1);
  }
  Prizes::TPrizes read;
  QString why = Prizes::Parse(fee, split, read);
  if (!why.isEmpty()) {
    // The reason goes on with what holds meanwhile.
    if (why.endsWith(QLatin1Char('.')))
      why.chop(1);
    *error = why;
    return false;
  }
  *prizes = read;
  return true;
}
