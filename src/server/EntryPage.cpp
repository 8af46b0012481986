#include "EntryPage.h"

#include <QCryptographicHash>
#include <QFile>

namespace {

QByteArray LoadPage() {
  QFile file(QStringLiteral(":/server/entry.html"));
  file.open(QIODevice::ReadOnly);
  return file.readAll();
}

// The hash by which the policy names the inline block between `open` and `close`.
QByteArray BlockHash(const QByteArray& page, const QByteArray& open, const QByteArray& close) {
  const qsizetype start = page.indexOf(open) + open.size();
  const qsizetype end = page.indexOf(close, start);
  const QByteArray hash =
      QCryptographicHash::hash(page.mid(start, end - start), QCryptographicHash::Sha256);
  return "'sha256-" + hash.toBase64() + "'";
}

}  // namespace

namespace EntryPage {

const QByteArray& Html() {
  static const QByteArray page = LoadPage();
  return page;
}

const QByteArray& SecurityPolicy() {
  static const QByteArray policy =
      "default-src 'none'; script-src " + BlockHash(Html(), "<script>", "</script>") +
      "; style-src " + BlockHash(Html(), "<style>", "</style>") +
      "; connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
  return policy;
}

}  // namespace EntryPage
