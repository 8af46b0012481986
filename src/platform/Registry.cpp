#include "Registry.h"

#include <QDir>
#include <QStandardPaths>

namespace {
QString& StoreFileOverride() {
  static QString path;
  return path;
}
}  // namespace

void TRegistry::SetStoreFile(const QString& path) {
  StoreFileOverride() = path;
}

QString TRegistry::StoreFile() {
  if (!StoreFileOverride().isEmpty())
    return StoreFileOverride();
  const QString fromEnvironment = qEnvironmentVariable("COURTSIDER_SETTINGS");
  if (!fromEnvironment.isEmpty())
    return fromEnvironment;
#ifdef Q_OS_WIN
  return QString();
#else
  return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
      .filePath(QStringLiteral("Tarnwell/Courtsider.ini"));
#endif
}

TRegistry::TRegistry() {
  const QString file = StoreFile();
  if (file.isEmpty()) {
    FSettings =
        std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER"), QSettings::NativeFormat);
  } else {
    FSettings = std::make_unique<QSettings>(file, QSettings::IniFormat);
  }
}

TRegistry::~TRegistry() {
  FSettings->sync();
}

QString TRegistry::Group(const QString& key) const {
  QString group = key;
  group.replace(QLatin1Char('\\'), QLatin1Char('/'));
  return group;
}

bool TRegistry::KeyExists(const QString& key) const {
  FSettings->beginGroup(Group(key));
  const bool exists = !FSettings->childKeys().isEmpty() || !FSettings->childGroups().isEmpty();
  FSettings->endGroup();
  return exists;
}

bool TRegistry::OpenKey(const QString& key, bool canCreate) {
  if (!canCreate && !KeyExists(key))
    return false;
  FKey = Group(key);
  return true;
}

void TRegistry::CloseKey() {
  FSettings->sync();
  FKey.clear();
}

bool TRegistry::ValueExists(const QString& name) const {
  return IsKeyOpen() && FSettings->contains(FKey + QLatin1Char('/') + name);
}

QString TRegistry::ReadString(const QString& name) const {
  if (!IsKeyOpen())
    return QString();
  return FSettings->value(FKey + QLatin1Char('/') + name).toString();
}

void TRegistry::WriteString(const QString& name, const QString& value) {
  if (!IsKeyOpen())
    return;
  FSettings->setValue(FKey + QLatin1Char('/') + name, value);
}

void TRegistry::Flush() {
  FSettings->sync();
}
