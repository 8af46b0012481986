#include "PublishOnSave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "Clock.h"
#include "FFDataModule.h"
#include "Outlook.h"
#include "SafeFile.h"
#include "StandingsPage.h"

namespace {

const QByteArray kKey = QByteArrayLiteral("Page=");

QString SettingsFile(const QString& directory) {
  return QDir(directory).filePath(PublishOnSave::kFileName);
}

}  // namespace

QString PublishOnSave::Target(const QString& directory) {
  QFile file(SettingsFile(directory));
  if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
    return {};
  // "[Publish]" and one "Page=" line; whatever else a hand put there is passed over.
  for (const QByteArray& line : file.read(kSizeLimit).split('\n')) {
    const QByteArray trimmed = line.trimmed();
    if (trimmed.startsWith(kKey))
      return QString::fromUtf8(trimmed.mid(kKey.size())).trimmed();
  }
  return {};
}

bool PublishOnSave::SetTarget(const QString& directory, const QString& file, QString* error) {
  if (file.isEmpty()) {
    QFile settings(SettingsFile(directory));
    if (!settings.exists() || settings.remove())
      return true;
    *error = SettingsFile(directory) + QStringLiteral(": ") + settings.errorString();
    return false;
  }
  // The page's place as given from anywhere: the save that publishes runs in other folders.
  const QString where = QFileInfo(file).absoluteFilePath();
  return TSafeFile::WriteWhole(SettingsFile(directory),
                               QByteArrayLiteral("[Publish]\n") + kKey + where.toUtf8() + '\n',
                               error);
}

bool PublishOnSave::Publish(const TFFDataModule& pool, QString* error) {
  const QString target = Target(pool.Directory());
  if (target.isEmpty())
    return true;
  TOutlookResult outlook;
  const bool chances = StandingsPage::ShowsWinChances(pool);
  if (chances)
    outlook = ComputeOutlook(TOutlookInput::FromPool(pool), TOutlookOptions{}, nullptr);
  QString reason;
  if (StandingsPage::WriteFile(pool, TClock::Current().Now().date(), chances ? &outlook : nullptr,
                               target, &reason)) {
    return true;
  }
  *error = kCannotPublish.arg(reason);
  return false;
}
