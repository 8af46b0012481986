#include "Prizes.h"

#include <QStringList>

namespace Prizes {

namespace {

// Reads "25", "25.5" or "25.50" as hundredths (2550). False for anything else, or above `most`
// hundredths.
bool ReadHundredths(const QString& text, int64_t most, int64_t& hundredths) {
  const QString trimmed = text.trimmed();
  const int dot = static_cast<int>(trimmed.indexOf(QLatin1Char('.')));
  const QString whole = dot < 0 ? trimmed : trimmed.left(dot);
  const QString part = dot < 0 ? QString() : trimmed.mid(dot + 1);
  if (whole.isEmpty() || whole.size() > 12 || (dot >= 0 && (part.isEmpty() || part.size() > 2)))
    return false;
  for (const QChar c : whole + part)
    if (c < QLatin1Char('0') || c > QLatin1Char('9'))
      return false;
  int64_t value = whole.toLongLong() * 100;
  if (!part.isEmpty())
    value += part.size() == 1 ? part.toLongLong() * 10 : part.toLongLong();
  if (value > most)
    return false;
  hundredths = value;
  return true;
}

// A percentage from hundredths: "60", "12.5", "0.25".
QString PercentText(int64_t hundredths) {
  QString text = MoneyText(hundredths);
  if (text.endsWith(QStringLiteral(".00")))
    text.chop(3);
  else if (text.endsWith(QLatin1Char('0')))
    text.chop(1);
  return text;
}

}  // namespace

int64_t Pot(const TPrizes& prizes, int players) {
  return prizes.IsSet() ? prizes.FeeCents * (players > 0 ? players : 0) : 0;
}

std::vector<int64_t> PlaceAmounts(const TPrizes& prizes, int players) {
  const int64_t pot = Pot(prizes, players);
  std::vector<int64_t> amounts;
  int64_t paid = 0;
  for (const int32_t share : prizes.Split) {
    if (static_cast<int64_t>(amounts.size()) >= players)
      break;
    // pot < 2^63 / 10^4 for any fee up to the most and any number of players a pool can hold.
    amounts.push_back(pot * share / 10000);
    paid += amounts.back();
  }
  if (!amounts.empty())
    amounts.front() += pot - paid;
  return amounts;
}

std::vector<int64_t> Share(const std::vector<int64_t>& placeAmounts, const std::vector<int>& places) {
  std::vector<int64_t> prizes(places.size(), 0);
  size_t first = 0;
  while (first < places.size()) {
    size_t end = first + 1;
    while (end < places.size() && places[end] == places[first])
      ++end;
    // The group spans the places from its own place on, one per player.
    int64_t total = 0;
    for (size_t k = 0; k < end - first; ++k) {
      const size_t place = static_cast<size_t>(places[first] - 1) + k;
      if (place < placeAmounts.size())
        total += placeAmounts[place];
    }
    const int64_t count = static_cast<int64_t>(end - first);
    for (size_t k = first; k < end; ++k)
      prizes[k] = total / count;
    prizes[first] += total % count;
    first = end;
  }
  return prizes;
}

QString ParseSplit(const QString& text, std::vector<int32_t>& split) {
  const QStringList parts = text.split(QLatin1Char(','));
  std::vector<int32_t> read;
  int64_t sum = 0;
  for (const QString& part : parts) {
    int64_t share = 0;
    if (!ReadHundredths(part, 10000, share) || share == 0)
      return QStringLiteral("\"%1\" is not a percentage above 0 (at most two decimals).")
          .arg(part.trimmed());
    read.push_back(static_cast<int32_t>(share));
    sum += share;
  }
  if (sum != 10000)
    return QStringLiteral("The split adds up to %1%, not 100%.").arg(PercentText(sum));
  split = read;
  return {};
}

QString ParseMoney(const QString& text, int64_t& cents) {
  int64_t value = 0;
  if (!ReadHundredths(text, kMostFeeCents, value))
    return QStringLiteral("\"%1\" is not an amount of money such as 25 or 25.50 (at most %2).")
        .arg(text.trimmed(), MoneyText(kMostFeeCents));
  cents = value;
  return {};
}

QString Refusal(const TPrizes& prizes) {
  int64_t sum = 0;
  for (const int32_t share : prizes.Split) {
    if (share <= 0)
      return QStringLiteral("Every place of the split must have a percentage above 0.");
    sum += share;
  }
  if (prizes.IsSet() && sum != 10000)
    return QStringLiteral("The split adds up to %1%, not 100%.").arg(PercentText(sum));
  if (prizes.FeeCents < 0 || prizes.FeeCents > kMostFeeCents)
    return QStringLiteral("The entry fee must be from 0 to %1.").arg(MoneyText(kMostFeeCents));
  if (prizes.IsSet() && prizes.FeeCents == 0)
    return QStringLiteral("A pool that pays prizes needs an entry fee above 0.");
  if (!prizes.IsSet() && prizes.FeeCents > 0)
    return QStringLiteral("An entry fee needs a prize split such as 60,30,10 (or no fee).");
  return {};
}

QString Parse(const QString& feeText, const QString& splitText, TPrizes& prizes) {
  TPrizes read;
  if (!feeText.trimmed().isEmpty()) {
    if (const QString why = ParseMoney(feeText, read.FeeCents); !why.isEmpty())
      return why;
  }
  if (!splitText.trimmed().isEmpty()) {
    if (const QString why = ParseSplit(splitText, read.Split); !why.isEmpty())
      return why;
  }
  if (const QString why = Refusal(read); !why.isEmpty())
    return why;
  prizes = read;
  return {};
}

QString SplitText(const std::vector<int32_t>& split) {
  QStringList parts;
  for (const int32_t share : split)
    parts << PercentText(share);
  return parts.join(QLatin1Char(','));
}

QString MoneyText(int64_t cents) {
  return QString::number(cents / 100) + QLatin1Char('.') +
         QStringLiteral("%1").arg(cents % 100, 2, 10, QLatin1Char('0'));
}

}  // namespace Prizes
