#include "PrizesFile.h"

#include "IniText.h"

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
  const QString fee = IniText::Value(text, kSection, kFeeKey);
  const QString split = IniText::Value(text, kSection, kSplitKey);
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
