#pragma once

#include <QString>
#include <vector>

class QIODevice;
class TTeamsFile;

// Team ratings for weighing the games still to be played: a CSV of `team,rating` rows, a
// rating being points on a scale such as Elo's. Every team of the pool must be rated, once;
// a name matches as the pool holds it, letter case and blanks aside. The first row may be the
// header "team,rating".
namespace TeamRatings {

// A ratings file is a few kilobytes; anything much larger is no ratings file.
constexpr qint64 kMaxFileSize = qint64{1} << 20;

// Each team's rating, in the order of `teams`. False, with what is wrong (its row, or the
// teams without a rating, by name) in `why`.
bool Read(QIODevice& file, const TTeamsFile& teams, std::vector<double>* ratings, QString* why);
// The same from the file at `path`; a reason that concerns the file names it.
bool ReadFile(const QString& path, const TTeamsFile& teams, std::vector<double>* ratings,
              QString* why);

}  // namespace TeamRatings
