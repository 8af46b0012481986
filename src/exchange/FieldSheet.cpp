#include "FieldSheet.h"

#include <QHash>
#include <algorithm>

#include "ChartPaths.h"
#include "Csv.h"
#include "PoolNames.h"
#include "SystemFile.h"
#include "TeamsFile.h"
#include "Text.h"

namespace {

QString RowError(int row, const QString& reason) {
  return QStringLiteral("Row %1: %2").arg(row).arg(reason);
}

}  // namespace

bool FieldSheet::Read(const QByteArray& bytes, TField* field, QString* error) {
  using namespace ChartPaths;
  *field = TField();
  Csv::TTable table;
  try {
    table = Csv::Read(bytes);
  } catch (const Csv::EFormatError& problem) {
    *error = RowError(problem.Row(), problem.Text());
    return false;
  }
  const auto blank = [](const QStringList& cells) {
    return std::all_of(cells.begin(), cells.end(),
                       [](const QString& cell) { return cell.trimmed().isEmpty(); });
  };
  int header = 0;
  while (header < static_cast<int>(table.Rows.size()) &&
         blank(table.Rows[static_cast<size_t>(header)]))
    ++header;
  if (header == static_cast<int>(table.Rows.size())) {
    *error = QStringLiteral("The sheet is empty: it needs the header \"%1\" and the 64 teams.")
                 .arg(kHeader);
    return false;
  }
  const QStringList& titles = table.Rows[static_cast<size_t>(header)];
  QStringList read;
  for (const QString& title : titles)
    read << title.trimmed().toLower();
  if (read.join(QLatin1Char(',')) != kHeader) {
    *error = RowError(header + 1, QStringLiteral("the header must read \"%1\"").arg(kHeader));
    return false;
  }
  std::array<std::array<int, kSeedsPerRegion + 1>, kRegions> seedRow{};
  std::array<int, kRegions> firstRow{};
  QHash<QString, int> nameRow;
  int regions = 0;
  for (size_t index = static_cast<size_t>(header) + 1; index < table.Rows.size(); ++index) {
    const int row = static_cast<int>(index) + 1;
    const QStringList& cells = table.Rows[index];
    if (blank(cells))
      continue;
    if (cells.size() != 3) {
      *error = RowError(row, QStringLiteral("a row holds a region, a seed and a team, and "
                                            "this one has %1 cells")
                                 .arg(cells.size()));
      return false;
    }
    const QString region = PoolNames::Normal(cells.at(0));
    const QString name = PoolNames::Normal(cells.at(2));
    bool number = false;
    const int seed = cells.at(1).trimmed().toInt(&number);
    if (region.isEmpty()) {
      *error = RowError(row, QStringLiteral("the region is empty"));
      return false;
    }
    if (const QString why = PoolNames::Unstorable(region, QStringLiteral("region name"),
                                                  TSystemFile::kBracketNameWidth);
        !why.isEmpty()) {
      *error = RowError(row, why);
      return false;
    }
    if (!number || seed < 1 || seed > kSeedsPerRegion) {
      *error = RowError(
          row, QStringLiteral("the seed must be a whole number from 1 to %1").arg(kSeedsPerRegion));
      return false;
    }
    if (name.isEmpty()) {
      *error = RowError(row, QStringLiteral("the team's name is empty"));
      return false;
    }
    if (const QString why =
            PoolNames::Unstorable(name, QStringLiteral("team name"), TTeamsFile::kNameWidth);
        !why.isEmpty()) {
      *error = RowError(row, why);
      return false;
    }
    const auto place = std::find(field->Regions.begin(), field->Regions.begin() + regions, region);
    if (place == field->Regions.begin() + regions) {
      if (regions == kRegions) {
        *error = RowError(row, QStringLiteral("\"%1\" would be a fifth region; the chart has "
                                              "four")
                                   .arg(region));
        return false;
      }
      field->Regions[static_cast<size_t>(regions)] = region;
      firstRow[static_cast<size_t>(regions)] = row;
      ++regions;
    }
    const int regionIndex = static_cast<int>(place - field->Regions.begin());
    int& seedAt = seedRow[static_cast<size_t>(regionIndex)][static_cast<size_t>(seed)];
    if (seedAt) {
      *error = RowError(
          row,
          QStringLiteral("%1 has seed %2 already, on row %3").arg(region).arg(seed).arg(seedAt));
      return false;
    }
    seedAt = row;
    const QString key = PoolNames::Key(name);
    if (const auto named = nameRow.constFind(key); named != nameRow.cend()) {
      *error = RowError(
          row, QStringLiteral("\"%1\" is named on row %2 already").arg(name).arg(named.value()));
      return false;
    }
    nameRow.insert(key, row);
    field->Teams.push_back({name, regionIndex + 1, seed});
  }
  for (int region = 0; region < regions; ++region) {
    const auto& seeds = seedRow[static_cast<size_t>(region)];
    const auto missing = std::find(seeds.begin() + 1, seeds.end(), 0);
    if (missing != seeds.end()) {
      *error = RowError(firstRow[static_cast<size_t>(region)],
                        QStringLiteral("region %1 is short: it has no seed %2")
                            .arg(field->Regions[static_cast<size_t>(region)])
                            .arg(missing - seeds.begin()));
      return false;
    }
  }
  if (regions < kRegions) {
    *error = RowError(static_cast<int>(table.Rows.size()) + 1,
                      QStringLiteral("the sheet ends with %1 region(s); the chart has four of "
                                     "16 teams each")
                          .arg(regions));
    return false;
  }
  return true;
}
