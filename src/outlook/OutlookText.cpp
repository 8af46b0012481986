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

double TOutlookResult::RootingChance(const TRootingGame& game, int side, int player) const {
  const auto at = std::lower_bound(RootingPlayers.begin(), RootingPlayers.end(), player);
  if (at == RootingPlayers.end() || *at != player)
    return 0;
  return game.Chance[static_cast<size_t>(side)][static_cast<size_t>(at - RootingPlayers.begin())];
}

std::vector<TRootFor> RootingFor(const TOutlookResult& result, const TOutlookPlayer& player) {
  std::vector<std::pair<double, TRootFor>> found;
  for (size_t g = 0; g < result.Rooting.size(); ++g) {
    const TRootingGame& game = result.Rooting[g];
    std::array<TRootFor, 2> sides;
    for (int side = 0; side < 2; ++side) {
      TRootFor& root = sides[static_cast<size_t>(side)];
      root.Game = static_cast<int>(g);
      root.Side = side;
      root.Chance = result.RootingChance(game, side, player.Index);
      root.Low = root.High = root.Chance;
      if (!result.Exact)
        std::tie(root.Low, root.High) =
            ChanceInterval(root.Chance, game.Samples[static_cast<size_t>(side)]);
    }
    const int better = sides[1].Chance > sides[0].Chance ? 1 : 0;
    const TRootFor& up = sides[static_cast<size_t>(better)];
    const TRootFor& down = sides[static_cast<size_t>(1 - better)];
    const bool apart = result.Exact ? up.Chance > down.Chance : up.Low > down.High;
    if (apart)
      found.emplace_back(up.Chance - down.Chance, up);
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
  QString text =
      game.Teams[static_cast<size_t>(root.Side)] + QLatin1Char(' ') + FormatChance(root.Chance);
  if (!result.Exact)
    text += QStringLiteral(" (%1)").arg(FormatInterval(root.Low, root.High));
  return text;
}
