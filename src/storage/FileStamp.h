#pragma once

#include <QString>
#include <QtGlobal>

namespace DiskFile {
// What tells one state of a file from another without reading it: the device and node it is
// stored in, its size, and when its bytes and its status last changed, to the nanosecond.
struct TStamp {
  quint64 Device = 0;
  quint64 Node = 0;
  qint64 Size = -1;
  qint64 Modified = 0;
  qint64 Changed = 0;
  bool operator==(const TStamp& other) const {
    return Device == other.Device && Node == other.Node && Size == other.Size &&
           Modified == other.Modified && Changed == other.Changed;
  }
};

// The stamp of the plain file at `path`, through links; false for a folder, a named pipe, a
// device or nothing, as IsRegularFile.
bool StampOf(const QString& path, TStamp* stamp);
// Whether any change to the file from now on shows in its stamp. The file system's clock
// moves in ticks: a file changed again within the tick of its last change may keep its stamp,
// so a stamp tells nothing until the file has stood unchanged for a while.
bool IsSettled(const TStamp& stamp);
}  // namespace DiskFile
