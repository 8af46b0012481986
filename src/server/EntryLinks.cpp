#include "EntryLinks.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>

#include "SafeFile.h"

bool TEntryLinks::Load(const QString& directory, QString* reason) {
  const QString path = QDir(directory).filePath(kKeyFile);
  if (!QFile::exists(path)) {
    QByteArray key(kKeySize, '\0');
    QRandomGenerator::system()->generate(key.begin(), key.end());
    if (!TSafeFile::WriteWhole(path, key, reason))
      return false;
    // Only the organiser's account needs it.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    FKey = key;
    FNames.clear();
    return true;
  }
  QFile file(path);
  if (!DiskFile::IsRegularFile(path) || !file.open(QIODevice::ReadOnly)) {
    *reason = DiskFile::Describe(path, DiskFile::IsRegularFile(path)
                                           ? file.errorString()
                                           : QStringLiteral("not a plain file"));
    return false;
  }
  const QByteArray key = file.read(kKeySize + 1);
  if (key.size() != kKeySize) {
    *reason = DiskFile::Describe(
        path, QStringLiteral("damaged; delete it to make a new key (the links handed out so far "
                             "then stop working)"));
    return false;
  }
  FKey = key;
  FNames.clear();
  return true;
}

QString TEntryLinks::Link(const QString& name) const {
  const QByteArray hash =
      QMessageAuthenticationCode::hash(name.toUtf8(), FKey, QCryptographicHash::Sha256);
  return QString::fromLatin1(
      hash.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

bool TEntryLinks::Matches(const QString& name, const QString& link) const {
  const QByteArray expected = Link(name).toLatin1();
  const QByteArray given = link.toLatin1();
  if (FKey.isEmpty() || given.size() != expected.size())
    return false;
  unsigned char difference = 0;
  for (qsizetype i = 0; i < expected.size(); ++i)
    difference |= static_cast<unsigned char>(expected.at(i) ^ given.at(i));
  return difference == 0;
}

namespace {

QByteArray IndexKey(const QString& link) {
  return QCryptographicHash::hash(link.toLatin1(), QCryptographicHash::Sha256);
}

}  // namespace

void TEntryLinks::Index(const QString& name) {
  FNames.insert(IndexKey(Link(name)), name);
}

QString TEntryLinks::NameOf(const QString& link) const {
  const QString name = FNames.value(IndexKey(link));
  return !name.isNull() && Matches(name, link) ? name : QString();
}
