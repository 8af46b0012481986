#pragma once

#include <QString>

class TFFDataModule;

// "Publish.ini": the file a pool's standings page is written to after every save (a shared
// drive, say), for an office whose organiser's computer cannot serve the pool all season. A
// small text file of its own beside the pool's files; a pool without one publishes nothing.
namespace PublishOnSave {
inline const QString kFileName = QStringLiteral("Publish.ini");
inline const QString kCannotPublish =
    QStringLiteral("The pool was saved, but its standings could not be published: %1");
// Far more than the file ever holds; a damaged one is never read whole.
constexpr qint64 kSizeLimit = 8192;

// Where the pool in `directory` is published after every save; empty when nowhere.
QString Target(const QString& directory);
// Publishes the pool in `directory` to `file` after every save from now on; an empty `file`
// stops it. False, with the file and the reason in `error`, when that cannot be recorded.
bool SetTarget(const QString& directory, const QString& file, QString* error);
// Writes the standings page of `pool`, as saved, to its target whole or not at all, with the
// win chances where the page gives them. True when it has no target or the page is written;
// otherwise `error` says kCannotPublish with the file and the reason. A failure leaves the
// pool as it was: the save is done.
bool Publish(const TFFDataModule& pool, QString* error);
}  // namespace PublishOnSave
