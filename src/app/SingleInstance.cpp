#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>

namespace {
const QByteArray kRaise = QByteArrayLiteral("raise\n");
const QByteArray kRaised = QByteArrayLiteral("raised\n");

// The same for every start of one user on one settings store, and different otherwise.
QString InstanceName(const QString& settingsFile) {
  const QByteArray key = (QDir::homePath() + QLatin1Char('\n') + settingsFile).toUtf8();
  return QStringLiteral("courtsider-") +
         QString::fromLatin1(
             QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
}
}  // namespace

TSingleInstance::TSingleInstance(const QString& folder, const QString& settingsFile,
                                 QObject* parent)
    : QObject(parent),
      FName(InstanceName(settingsFile)),
      FLock(QDir(folder).filePath(FName + QStringLiteral(".lock"))) {
  // The program runs for hours: only a lock whose holder is gone is stale.
  FLock.setStaleLockTime(0);
  FServer.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&FServer, &QLocalServer::newConnection, this, &TSingleInstance::Answer);
}

TSingleInstance::~TSingleInstance() = default;

TSingleInstance::TStart TSingleInstance::Claim() {
  if (FLock.tryLock(0)) {
    // A socket left by a program that died is in the way of listening.
    QLocalServer::removeServer(FName);
    FServer.listen(FName);
    return TStart::First;
  }
  // A lock that cannot be written at all (no runtime folder) must not keep the program from
  // starting; only one that another start holds does.
  if (FLock.error() != QLockFile::LockFailedError)
    return TStart::First;
  QLocalSocket socket;
  socket.connectToServer(FName);
  if (!socket.waitForConnected(kAnswerWait))
    return TStart::Unreachable;
  socket.write(kRaise);
  socket.flush();
  while (socket.bytesAvailable() < kRaised.size()) {
    if (!socket.waitForReadyRead(kAnswerWait))
      return TStart::Unreachable;
  }
  return socket.readAll() == kRaised ? TStart::Raised : TStart::Unreachable;
}

void TSingleInstance::Answer() {
  while (QLocalSocket* socket = FServer.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // The one short request is all that is ever read; anything else ends the connection.
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (socket->bytesAvailable() < kRaise.size())
        return;
      if (socket->read(kRaise.size()) == kRaise) {
        emit RaiseRequested();
        socket->write(kRaised);
        socket->flush();
      }
      socket->disconnectFromServer();
    });
  }
}
