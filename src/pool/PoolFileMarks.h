#pragma once

#include <QByteArray>
#include <QString>
#include <array>

#include "PoolSave.h"

// What the files of a pool were when the pool was last read or written, to tell when
// another program, or a copy put in their place, has changed them since. A file's size and
// times answer at once; only when they differ are its bytes summed, so that a file merely
// touched or copied over with the same bytes does not count as changed.
class TPoolFileMarks {
 public:
  // Marks the files of the pool in `folder` as they are now. Marked again, only the files
  // whose size or times changed are read.
  void Take(const QString& folder);
  // Nothing is marked: Changed says no.
  void Clear();
  bool IsTaken() const { return !FFolder.isEmpty(); }
  // True when a file was written, replaced, created or removed since it was marked and holds
  // other bytes now. A file whose times alone changed is marked afresh.
  bool Changed();

 private:
  struct TMark {
    bool Exists = false;
    qint64 Size = 0;
    qint64 Modified = 0;
    qint64 MetadataChanged = 0;
    QByteArray Sum;
    bool SameTimes(const TMark& other) const {
      return Exists == other.Exists && Size == other.Size && Modified == other.Modified &&
             MetadataChanged == other.MetadataChanged;
    }
  };
  static TMark Stat(const QString& path);
  static QByteArray Sum(const QString& path);

  QString FFolder;
  std::array<TMark, TPoolSave::kPoolFileCount> FMarks;
};
