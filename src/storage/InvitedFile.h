#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class TPlayerPicksFile;

// "Invited.txt": the people invited to the pool, one name a line, a small text file beside the
// record files, saved with them all or nothing. A pool without one has invited nobody in
// particular. Names are players' names (PoolNames): who has entered is whoever the pool has a
// player of the same name for, case and blanks aside.
namespace InvitedFile {
inline const QString kFileName = QStringLiteral("Invited.txt");
// Far more than an office invites; a larger file is not read whole.
constexpr qint64 kSizeLimit = 1 << 20;

// The list as the file holds it: UTF-8, a name a line.
QByteArray Text(const QStringList& names);
// The names of a list as a person typed it (the file, or the window's box): blank lines and
// lines starting with "#" skipped, each name in its stored form. False, with "line N: reason"
// in `error`, for a name a player could not have or a person listed twice.
bool Parse(const QByteArray& text, QStringList* names, QString* error);
// The invited with no player of the same name yet, in the list's order.
QStringList Missing(const QStringList& invited, const TPlayerPicksFile& players);
}  // namespace InvitedFile
