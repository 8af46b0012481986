#include "PoolsFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "InstallLayout.h"
#include "MainForm.h"
#include "Prompts.h"
#include "Registry.h"

TPoolsFolder::TPoolsFolder(const QString& userFolder, const QString& shippedSample)
    : FUserFolder(userFolder), FShippedSample(shippedSample) {}

TPoolsFolder TPoolsFolder::ForInstall() {
  return TPoolsFolder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
                      InstallLayout::ShippedSamplePool());
}

QString TPoolsFolder::Problem(const QString& folder) {
  if (folder.isEmpty() || !QFileInfo(folder).isDir())
    return kMissing;
  // Permissions alone do not tell (a read-only mount, or root, who passes every check):
  // only writing a file does.
  QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".courtsider-XXXXXX")));
  if (!probe.open())
    return kNotWritable + QStringLiteral(" (") + probe.errorString() + QLatin1Char(')');
  return QString();
}

QString TPoolsFolder::ProvideSample() const {
  if (!QDir().mkpath(FUserFolder))
    return QStringLiteral("the folder cannot be made");
  const QString problem = Problem(FUserFolder);
  if (!problem.isEmpty())
    return QStringLiteral("the folder ") + problem;

  QDir pools(FUserFolder);
  if (pools.exists(InstallLayout::kSamplePool))
    return QString();
  const QDir from(FShippedSample);
  const QFileInfoList files = from.entryInfoList(QDir::Files);
  if (files.isEmpty())
    return QStringLiteral("the sample pool \"") + FShippedSample + QStringLiteral("\" is missing");
  // Into a folder of another name first, so that a copy cut short never passes for the
  // sample on the next start.
  const QString partial = InstallLayout::kSamplePool + QStringLiteral(".partial");
  QDir(pools.filePath(partial)).removeRecursively();
  pools.mkdir(partial);
  QString reason;
  for (const QFileInfo& file : files) {
    const QString target = QDir(pools.filePath(partial)).filePath(file.fileName());
    QFile source(file.filePath());
    if (!source.copy(target)) {
      reason = QStringLiteral("copying \"") + file.fileName() + QStringLiteral("\" failed: ") +
               source.errorString();
      break;
    }
    // The shipped files may be read-only; the user's copy is theirs to change.
    QFile::setPermissions(
        target, QFile::permissions(target) | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  }
  if (reason.isEmpty() && !pools.rename(partial, InstallLayout::kSamplePool))
    reason = QStringLiteral("the copy could not be renamed to ") + InstallLayout::kSamplePool;
  if (!reason.isEmpty())
    QDir(pools.filePath(partial)).removeRecursively();
  return reason;
}

void TPoolsFolder::TakeUserFolder(TRegistry& registry) const {
  const QString failure = ProvideSample();
  if (!failure.isEmpty())
    TPrompts::Current().Refuse(kFolderUnusable.arg(QDir::toNativeSeparators(FUserFolder), failure));
  registry.WriteString(TMainForm::kAppDirectoryValue, QDir::toNativeSeparators(FUserFolder));
  registry.WriteString(TMainForm::kDataDirectoryValue, InstallLayout::kSamplePool);
}

void TPoolsFolder::Prepare(TRegistry& registry) const {
  if (!registry.KeyExists(TRegistry::kCourtsiderKey)) {
    registry.OpenKey(TRegistry::kCourtsiderKey, true);
    TakeUserFolder(registry);
    registry.CloseKey();
    return;
  }
  registry.OpenKey(TRegistry::kCourtsiderKey, false);
  const QString folder = registry.ReadString(TMainForm::kAppDirectoryValue);
  const QString problem = Problem(folder);
  if (!problem.isEmpty()) {
    const QString remedy = QDir(folder) == QDir(FUserFolder)
                               ? kMakesItAgain
                               : kTakesUserFolder.arg(QDir::toNativeSeparators(FUserFolder));
    // The program copes: a warning, not a refusal.
    TPrompts::Current().Message(kFolderLost.arg(QDir::toNativeSeparators(folder), problem, remedy),
                                kMessageTitle, TPrompts::Buttons::Ok, TPrompts::Icon::Warning);
    TakeUserFolder(registry);
  }
  registry.CloseKey();
}
