#include "EntryLinks.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>

#include "SafeFile.h"

namespace {
QString LinkUnder(const QByteArray& key, const QString& name) {
  const QByteArray hash =
      QMessageAuthenticationCode::hash(name.toUtf8(), key, QCryptographicHash::Sha256);
  return QString::fromLatin1(
      hash.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

QByteArray IndexKey(const QString& link) {
  return QCryptographicHash::hash(link.toLatin1(), QCryptographicHash::Sha256);
}
}  // namespace

bool TEntryLinks::Load(const QString& directory, QString* reason) {
  // The key in use stays until another is read: the names are indexed again only when it
  // has changed, not at every link made or checked.
  if (FPath.isEmpty() || directory != FDirectory) {
    FDirectory = directory;
    FPath = QDir(directory).filePath(kKeyFile);
  }
  return ReadKey(true, reason);
}

bool TEntryLinks::ReadKey(bool make, QString* reason) {
  const QString& path = FPath;
  // Looked at whenever a link is made or checked: the key is read again only when the file
  // is no longer the one read last, deleted, replaced or written since.
  DiskFile::TStamp stamp;
  const bool plain = DiskFile::StampOf(path, &stamp);
  if (plain && FStamp && *FStamp == stamp)
    return true;
  FStamp.reset();
  if (!plain && !QFile::exists(path)) {
    if (!make)
      return false;
    QByteArray key(kKeySize, '\0');
    QRandomGenerator::system()->generate(key.begin(), key.end());
    // Whoever reads the key can forge any player's link: no other account may see it, not
    // even while it is being written.
    TSafeFile file(path);
    file.SetPrivate();
    if (!file.Open() || !file.Write(key) || !file.Commit()) {
      *reason = file.ErrorString();
      return false;
    }
    UseKey(key);
    return true;
  }
  // Straight from the file, with no buffer of the device's own for so few bytes.
  QFile file(path);
  if (!plain || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
    *reason = DiskFile::Describe(path, plain ? file.errorString()
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
  UseKey(key);
  // Taken before the file was read: whatever changed it since shows in the next look.
  if (DiskFile::IsSettled(stamp))
    FStamp = stamp;
  return true;
}

void TEntryLinks::UseKey(const QByteArray& key) {
  if (key == FKey)
    return;
  // Every link changes with the key: the names indexed so far are indexed again under it.
  FKey = key;
  FNames.clear();
  for (const QString& name : std::as_const(FIndexed))
    FNames.insert(IndexKey(LinkUnder(FKey, name)), name);
}

QString TEntryLinks::Link(const QString& name) {
  QString reason;
  if (FDirectory.isEmpty() || !ReadKey(true, &reason))
    return {};
  return LinkUnder(FKey, name);
}

bool TEntryLinks::Matches(const QString& name, const QString& link) {
  // A key deleted since the link was made matches nothing; a new one is made only for a new link.
  QString reason;
  if (FDirectory.isEmpty() || !ReadKey(false, &reason))
    return false;
  const QByteArray expected = LinkUnder(FKey, name).toLatin1();
  const QByteArray given = link.toLatin1();
  if (given.size() != expected.size())
    return false;
  unsigned char difference = 0;
  for (qsizetype i = 0; i < expected.size(); ++i)
    difference |= static_cast<unsigned char>(expected.at(i) ^ given.at(i));
  return difference == 0;
}

void TEntryLinks::Index(const QString& name) {
  const QString link = Link(name);
  if (link.isEmpty() || FIndexed.contains(name))
    return;
  FIndexed.insert(name);
  FNames.insert(IndexKey(link), name);
}

QString TEntryLinks::NameOf(const QString& link) {
  const QString name = FNames.value(IndexKey(link));
  return !name.isNull() && Matches(name, link) ? name : QString();
}
