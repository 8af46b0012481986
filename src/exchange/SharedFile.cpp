#include "SharedFile.h"

#include <QFile>
#include <QSaveFile>

bool SharedFile::Read(const QString& path, QByteArray* bytes, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *error = file.errorString();
    return false;
  }
  *bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    *error = file.errorString();
    return false;
  }
  return true;
}

bool SharedFile::Write(const QString& path, const QByteArray& bytes, QString* error) {
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
    return true;
  *error = file.errorString();
  return false;
}
