#pragma once

#include <QString>

// How a pool file reports a failed record write or close: a notice with the file's own prefix
// followed by the operation word, and beneath it the file and the system's reason.
inline const QString kSystemFileErrorPrefix =
    QStringLiteral("Error during System File I/O processing - ");
inline const QString kTeamsFileErrorPrefix =
    QStringLiteral("Error during Teams File I/O processing - ");
inline const QString kPlayerPicksFileErrorPrefix =
    QStringLiteral("Error during Player Picks File I/O processing - ");
inline const QString kWriteOperation = QStringLiteral("Write");
inline const QString kCloseOperation = QStringLiteral("Close");

void ReportFileError(const QString& prefix, const QString& operation, const QString& reason = {});
