#include "TeamRatings.h"

#include <QFile>
#include <QHash>
#include <cmath>

#include "Csv.h"
#include "PoolNames.h"
#include "SafeFile.h"
#include "TeamsFile.h"

namespace {

// Names listed when teams are left without a rating; the rest are counted.
constexpr int kNamedMissing = 8;

QString RowProblem(int row, const QString& text) {
  return QStringLiteral("Row %1: %2").arg(row).arg(text);
}

// The teams of the pool by the key of their name.
QHash<QString, int> TeamsByKey(const TTeamsFile& teams) {
  QHash<QString, int> byKey;
  for (int i = 0; i < teams.Count(); ++i)
    byKey.insert(PoolNames::Key(TrimTeamName(teams.Items(i)->TeamName())), i);
  return byKey;
}

}  // namespace

bool TeamRatings::Read(QIODevice& file, const TTeamsFile& teams, std::vector<double>* ratings,
                       QString* why) {
  const QHash<QString, int> byKey = TeamsByKey(teams);
  std::vector<int> ratedIn(static_cast<size_t>(teams.Count()), 0);
  ratings->assign(static_cast<size_t>(teams.Count()), 0);
  try {
    Csv::TReader reader(file, kMaxFileSize);
    QStringList cells;
    while (reader.Next(&cells)) {
      const int row = reader.Row();
      const QString name = cells.value(0).trimmed();
      const QString text = cells.value(1).trimmed();
      if (name.isEmpty() && text.isEmpty() && cells.size() <= 2)
        continue;
      if (row == 1 && name.compare(QLatin1String("team"), Qt::CaseInsensitive) == 0 &&
          text.compare(QLatin1String("rating"), Qt::CaseInsensitive) == 0) {
        continue;
      }
      if (cells.size() > 2) {
        *why = RowProblem(row, QStringLiteral("a row holds a team and its rating, nothing more"));
        return false;
      }
      const int team = byKey.value(PoolNames::Key(name), -1);
      if (team < 0) {
        *why = RowProblem(
            row, QStringLiteral("\"%1\" is not a team of this pool").arg(PoolNames::Quoted(name)));
        return false;
      }
      bool number = false;
      const double rating = text.toDouble(&number);
      if (!number || !std::isfinite(rating)) {
        *why = RowProblem(
            row, QStringLiteral("the rating of %1 should be a number, not \"%2\"")
                     .arg(TrimTeamName(teams.Items(team)->TeamName()), PoolNames::Quoted(text)));
        return false;
      }
      int& first = ratedIn[static_cast<size_t>(team)];
      if (first > 0) {
        *why = RowProblem(row, QStringLiteral("%1 is rated already, in row %2")
                                   .arg(TrimTeamName(teams.Items(team)->TeamName()))
                                   .arg(first));
        return false;
      }
      first = row;
      (*ratings)[static_cast<size_t>(team)] = rating;
    }
  } catch (const Csv::EFormatError& error) {
    *why = RowProblem(error.Row(), error.Text());
    return false;
  }
  QStringList missing;
  int unnamed = 0;
  for (int i = 0; i < teams.Count(); ++i) {
    if (ratedIn[static_cast<size_t>(i)] > 0)
      continue;
    if (missing.size() < kNamedMissing)
      missing << TrimTeamName(teams.Items(i)->TeamName());
    else
      ++unnamed;
  }
  if (missing.isEmpty())
    return true;
  *why = QStringLiteral("No rating for %1").arg(missing.join(QStringLiteral(", ")));
  if (unnamed > 0)
    *why += QStringLiteral(" and %1 more teams").arg(unnamed);
  *why += QStringLiteral(": every team of the pool needs one.");
  return false;
}

bool TeamRatings::ReadFile(const QString& path, const TTeamsFile& teams,
                           std::vector<double>* ratings, QString* why) {
  if (!DiskFile::IsRegularFile(path)) {
    *why = DiskFile::Describe(path, QFile::exists(path) ? QStringLiteral("not a plain file")
                                                        : QStringLiteral("no such file"));
    return false;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *why = DiskFile::Describe(path, file.errorString());
    return false;
  }
  if (file.size() > kMaxFileSize) {
    *why = DiskFile::Describe(path, QStringLiteral("too large for a ratings file"));
    return false;
  }
  if (Read(file, teams, ratings, why))
    return true;
  *why = DiskFile::Describe(path, *why);
  return false;
}
