#pragma once

#include <QByteArray>
#include <QString>

#include "OpenPool.h"

// A tournament's field as a sheet: comma-separated "region,seed,team", a header row and a row
// for each of the 64 teams. A region's name is the bracket name the pool shows; regions take
// their places on the chart in the order they first appear, so the first two meet in one
// semifinal and the last two in the other. A play-in game's teams come in as one placeholder
// name ("Howard/Wagner"), renamed once the game is played.
namespace FieldSheet {
inline const QString kHeader = QStringLiteral("region,seed,team");
// Far more than a field's 65 rows ever take; a longer file is no field.
constexpr qint64 kMaxBytes = 64 << 10;

// Reads the whole sheet into `field`. False, with "Row N: reason" in `error` (the row as a
// spreadsheet shows it), for the first row the builder would refuse: a header that is not
// the one above, a seed not 1 to 16 or twice in a region, a fifth region, a name twice (letter
// case and blanks aside), a name the pool cannot store, a region short of its 16 teams.
bool Read(const QByteArray& bytes, TField* field, QString* error);
}  // namespace FieldSheet
