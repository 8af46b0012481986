#pragma once

// HTTP as a browser on this machine speaks it, byte for byte, for the tests and benchmarks of
// the picks server: a request sent whole on a socket of its own, the answer read to its end.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

namespace HttpProbe {

struct TAnswer {
  // 0 when no answer came (refused, cut off).
  int Status = 0;
  // Header names in lower case.
  QMap<QByteArray, QByteArray> Headers;
  QByteArray Body;
};

using THeaders = QList<QPair<QByteArray, QByteArray>>;

// A whole request: the method, the path, a Host, "Connection: close", `headers` and `body` with
// its length.
QByteArray Request(const QByteArray& method, const QByteArray& path, quint16 port,
                   const QByteArray& body = {}, const THeaders& headers = {});
// A POST of `body` as JSON to "/entry".
QByteArray PostEntry(const QByteArray& body, quint16 port, const THeaders& headers = {});

// Sends `request` to 127.0.0.1:`port`, from the loopback address `from` when given, and
// reads the answer until the server closes the connection. Blocks the calling thread.
TAnswer Exchange(const QByteArray& request, quint16 port, const QString& from = {});
// Exchange on a thread of its own while the calling thread goes on running its events, for a
// server that hands its work to this thread.
TAnswer Send(const QByteArray& request, quint16 port);

}  // namespace HttpProbe
