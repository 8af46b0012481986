#include <QLocale>

#include <algorithm>
#include <cmath>

#include "Outlook.h"

namespace {

// Counts with their thousands marked, as an English reader expects them.
QString Thousands(double count) {
  return QLocale(QLocale::English).toString(static_cast<qulonglong>(std::llround(count)));
}

}  // namespace

QString OutlookSummary(const TOutlookResult& result) {
  if (result.GamesLeft == 0)
    return QStringLiteral("No games left: the tournament is over");
  QString model = QStringLiteral("every game a coin toss");
  if (result.Model == TOutlookModel::Seed)
    model = QStringLiteral("games weighed by the teams' seeds");
  else if (result.Model == TOutlookModel::Ratings)
    model = QStringLiteral("games weighed by the teams' ratings");
  // The outcomes of a sampled run as the power of two they are, since the number itself
  // would run to twenty digits.
  QString how;
  if (!result.Exact) {
    how = QStringLiteral("%1 of 2^%2 outcomes drawn at random, chances with their 95% interval")
              .arg(Thousands(static_cast<double>(result.Samples)))
              .arg(result.GamesLeft);
  } else if (result.GamesLeft == 1) {
    how = QStringLiteral("both outcomes");
  } else {
    how = QStringLiteral("every one of %1 outcomes").arg(Thousands(result.Outcomes));
  }
  const QString games = result.GamesLeft == 1
                            ? QStringLiteral("1 game left")
                            : QStringLiteral("%1 games left").arg(result.GamesLeft);
  return QStringLiteral("%1; %2; %3").arg(games, model, how);
}

QString FormatChance(double chance) {
  // Two decimals of a percentage: what rounds to nought or to the whole is said as a bound.
  constexpr double kShown = 0.00005;
  if (chance > 0 && chance < kShown)
    return QStringLiteral("<0.01%");
  if (chance < 1 && chance > 1 - kShown)
    return QStringLiteral(">99.99%");
  return QString::number(100 * chance, 'f', 2) + QLatin1Char('%');
}

QString FormatInterval(double low, double high) {
  return FormatChance(low) + QChar(0x2013) + FormatChance(high);
}

QString FormatPrizeInterval(double low, double high) {
  return FormatPrize(low) + QChar(0x2013) + FormatPrize(high);
}

QString TopChampions(const TOutlookPlayer& player, int count) {
  QStringList names;
  for (const TOutlookChampion& champion : player.Champions) {
    if (names.size() == count)
      break;
    names << champion.Team;
  }
  return names.join(QStringLiteral(", "));
}

bool CountsOutcomes(const TOutlookResult& result, int characters) {
  return result.Exact && result.Model == TOutlookModel::Even &&
         Thousands(static_cast<double>(result.Outcomes)).size() <= characters;
}

QString FormatOutcomes(const TOutlookResult& result, double count, bool counts) {
  if (counts)
    return Thousands(count);
  return FormatChance(count / static_cast<double>(result.Outcomes));
}

QString FormatPrize(double cents) {
  return Prizes::MoneyText(std::max<long long>(0, std::llround(cents)));
}

double PrizeMoney(double cents) {
  return static_cast<double>(std::max<long long>(0, std::llround(cents))) / 100;
}

QString PaidText(const TLastGamesOutcome& outcome) {
  QStringList paid;
  for (const TLastGamesOutcome::TPaid& entry : outcome.Paid)
    paid << entry.Player + QLatin1Char(' ') + Prizes::MoneyText(entry.Cents);
  return paid.join(QStringLiteral(", "));
}

QString PrizesLine(const TOutlookResult& result, const Prizes::TPrizes& prizes) {
  return QStringLiteral("Prizes: a pot of %1, paid %2% by place")
      .arg(Prizes::MoneyText(result.Pot),
           Prizes::SplitText(prizes.Split).replace(QLatin1Char(','), QStringLiteral("%, ")));
}

namespace {

// Where player `player` stands among the rooting players, or -1.
int RootingRow(const TOutlookResult& result, int player) {
  const auto at =
      std::lower_bound(result.RootingPlayers.begin(), result.RootingPlayers.end(), player);
  if (at == result.RootingPlayers.end() || *at != player)
    return -1;
  return static_cast<int>(at - result.RootingPlayers.begin());
}

}  // namespace

double TOutlookResult::RootingChance(const TRootingGame& game, int side, int player) const {
  const int row = RootingRow(*this, player);
  return row < 0 ? 0 : game.Chance[static_cast<size_t>(side)][static_cast<size_t>(row)];
}

double TOutlookResult::RootingPrize(const TRootingGame& game, int side, int player) const {
  const int row = RootingRow(*this, player);
  return row < 0 || !RootsByPrize ? 0
                                  : game.Prize[static_cast<size_t>(side)][static_cast<size_t>(row)];
}

bool TOutlookResult::Roots(const TOutlookPlayer& player) const {
  return !Rooting.empty() && RootingRow(*this, player.Index) >= 0;
}

std::vector<TRootFor> RootingFor(const TOutlookResult& result, const TOutlookPlayer& player) {
  std::vector<std::pair<double, TRootFor>> found;
  const int row = RootingRow(result, player.Index);
  if (row < 0)
    return {};
  const size_t r = static_cast<size_t>(row);
  for (size_t g = 0; g < result.Rooting.size(); ++g) {
    const TRootingGame& game = result.Rooting[g];
    std::array<TRootFor, 2> sides;
    for (size_t side = 0; side < 2; ++side) {
      TRootFor& root = sides[side];
      root.Game = static_cast<int>(g);
      root.Side = static_cast<int>(side);
      if (result.RootsByPrize) {
        root.Value = game.Prize[side][r];
        root.Low = game.PrizeLow[side][r];
        root.High = game.PrizeHigh[side][r];
      } else {
        root.Value = root.Low = root.High = game.Chance[side][r];
        if (!result.Exact)
          std::tie(root.Low, root.High) = ChanceInterval(root.Value, game.Samples[side]);
      }
    }
    const int better = sides[1].Value > sides[0].Value ? 1 : 0;
    const TRootFor& up = sides[static_cast<size_t>(better)];
    const TRootFor& down = sides[static_cast<size_t>(1 - better)];
    // Prizes are shown to the cent: a difference of less is none to root for, and may be the
    // rounding of sums worked out apart.
    const double least = result.RootsByPrize ? 0.5 : 0.0;
    const bool apart = result.Exact ? up.Value - down.Value > least : up.Low > down.High;
    if (apart)
      found.emplace_back(up.Value - down.Value, up);
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<TRootFor> roots;
  for (const auto& entry : found)
    roots.push_back(entry.second);
  return roots;
}

QString FormatRootFor(const TOutlookResult& result, const TRootFor& root) {
  const TRootingGame& game = result.Rooting[static_cast<size_t>(root.Game)];
  const auto format = [&result](double value) {
    return result.RootsByPrize ? FormatPrize(value) : FormatChance(value);
  };
  QString text = game.Teams[static_cast<size_t>(root.Side)] + QLatin1Char(' ') + format(root.Value);
  if (!result.Exact) {
    text +=
        QStringLiteral(" (%1)").arg(result.RootsByPrize ? FormatPrizeInterval(root.Low, root.High)
                                                        : FormatInterval(root.Low, root.High));
  }
  return text;
}

QString FormatRootingFigure(const TOutlookResult& result, const TOutlookPlayer& player) {
  return result.RootsByPrize ? FormatPrize(player.ExpectedPrize) : FormatChance(player.WinChance);
}
