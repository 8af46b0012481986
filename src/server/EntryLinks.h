#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <optional>

#include "FileStamp.h"

// The players' private links. A link is a keyed hash of the player's name under a secret key
// kept in the pool's folder: whoever holds it may change that player's entry, nobody can make
// it from the name alone, and it stays the same when the program or the server starts again.
// Deleting or replacing the key takes back every link handed out so far, at once: the key's
// file is looked at whenever a link is made or checked, read again when it has changed, and a
// new one made when it has gone.
class TEntryLinks {
 public:
  static inline const QString kKeyFile = QStringLiteral("Entries.key");
  static constexpr int kKeySize = 32;

  // Reads the key of the pool in `directory`, making one the first time; a key other than the
  // one before indexes the names again under it. False, with the file and the reason in `reason`, when it can
  // be neither read nor made.
  bool Load(const QString& directory, QString* reason);

  // The link of the entry of `name`: 43 characters that may stand in an address as they are.
  // Empty when the key can be neither read nor made.
  QString Link(const QString& name);
  // True when `link` is the link of `name` under the key the folder holds now; it takes as
  // long whichever character differs.
  bool Matches(const QString& name, const QString& link);

  // Indexes the link of `name`, so that NameOf finds it.
  void Index(const QString& name);
  // The name indexed whose link is `link`, or nothing: one lookup, however many names there are.
  QString NameOf(const QString& link);

 private:
  // Reads the key of the folder loaded, or makes one when there is none and `make` says so.
  bool ReadKey(bool make, QString* reason);
  void UseKey(const QByteArray& key);

  QString FDirectory;
  QString FPath;
  QByteArray FKey;
  // The key's file as it stood when FKey was read from it; none until it has stood unchanged
  // long enough for a change to show.
  std::optional<DiskFile::TStamp> FStamp;
  // The names by a hash of their links, so that looking up a link compares no secret.
  QHash<QByteArray, QString> FNames;
  QSet<QString> FIndexed;
};
