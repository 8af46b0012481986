#pragma once

#include <QByteArray>
#include <QString>

#include "Prizes.h"

// "Prizes.ini": the pool's entry fee and the split of its pot, a small text file beside the
// record files, saved with them all or nothing. A pool without one pays no prizes.
namespace PrizesFile {
inline const QString kFileName = QStringLiteral("Prizes.ini");
inline const QString kNoPrizesMeanwhile =
    QStringLiteral("; this pool pays no prizes until they are set in Pool Options.");
// Far more than the file ever holds; a damaged one is never read whole.
constexpr qint64 kSizeLimit = 4096;

// The file's whole text for `prizes` (a Prizes section with neither key for none).
QByteArray Text(const Prizes::TPrizes& prizes);
// Reads the prizes from the file's text: the Fee and Split keys of the Prizes section, both
// missing for none. False, with the reason in `error`, for prizes the pool could not have.
bool Parse(const QByteArray& text, Prizes::TPrizes* prizes, QString* error);
}  // namespace PrizesFile
