#pragma once

#include <QString>

// How a pool file's failed record write or close is told: a notice with the file's own prefix
// followed by the operation word, and beneath it the file and the system's reason. Storage
// only returns it; the windows and the command-line tool show it.
inline const QString kSystemFileErrorPrefix =
    QStringLiteral("Error during System File I/O processing - ");
inline const QString kTeamsFileErrorPrefix =
    QStringLiteral("Error during Teams File I/O processing - ");
inline const QString kPlayerPicksFileErrorPrefix =
    QStringLiteral("Error during Player Picks File I/O processing - ");
inline const QString kWriteOperation = QStringLiteral("Write");
inline const QString kCloseOperation = QStringLiteral("Close");

struct TPoolFileError {
  QString Prefix;
  QString Operation;
  QString Reason;

  bool IsNull() const { return Prefix.isEmpty(); }
  // The message as it is shown.
  QString Text() const {
    QString text = Prefix + Operation;
    if (!Reason.isEmpty())
      text += QStringLiteral("\n\n") + Reason;
    return text;
  }
};
