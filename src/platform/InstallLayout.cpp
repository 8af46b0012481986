#include "InstallLayout.h"

#include <QCoreApplication>
#include <QDir>

namespace {
// The shared data folder seen from the folder of the programs, as the build configured the
// install ("../share/courtsider" for the usual layout).
QString InstalledDataFolder() {
  return QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                             .filePath(QStringLiteral(COURTSIDER_DATA_FROM_BIN)));
}
}  // namespace

namespace InstallLayout {

bool Installed() {
  return QFileInfo(InstalledDataFolder()).isDir();
}

QString DataFolder() {
  return Installed() ? InstalledDataFolder() : QCoreApplication::applicationDirPath();
}

QString ShippedSamplePool() {
  return QDir(DataFolder()).filePath(kSamplePool);
}

}  // namespace InstallLayout
