#pragma once

#include <QSettings>
#include <QString>
#include <memory>

// The program's registry: on Windows the current user's hive itself; elsewhere one INI file in
// the user's configuration folder, with the registry's keys as groups and its values as keys.
// "--settings FILE" on the command line or COURTSIDER_SETTINGS in the environment name another
// file, so tests and portable installs never touch the user's own settings.
class TRegistry {
 public:
  static inline const QString kCourtsiderKey = QStringLiteral("Tarnwell\\Courtsider");
  static inline const QString kFormStateKey = QStringLiteral("Tarnwell\\Courtsider\\Form State");

  // The file the store lives in; empty restores the default (the environment variable, else
  // the user's own file; the native registry on Windows).
  static void SetStoreFile(const QString& path);
  static QString StoreFile();

  TRegistry();
  ~TRegistry();

  bool KeyExists(const QString& key) const;
  // Opens `key` (backslash-separated, below the current user's hive); creates it when
  // `canCreate`. Returns false when it does not exist and may not be created.
  bool OpenKey(const QString& key, bool canCreate);
  void CloseKey();
  bool IsKeyOpen() const { return !FKey.isEmpty(); }

  // Values of the open key. A missing value reads as an empty string.
  bool ValueExists(const QString& name) const;
  QString ReadString(const QString& name) const;
  void WriteString(const QString& name, const QString& value);
  // Writes what is pending to disk.
  void Flush();

 private:
  QString Group(const QString& key) const;

  std::unique_ptr<QSettings> FSettings;
  QString FKey;
};
