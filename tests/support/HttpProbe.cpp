#include "HttpProbe.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <QEventLoop>
#include <thread>

namespace HttpProbe {

QByteArray Request(const QByteArray& method, const QByteArray& path, quint16 port,
                   const QByteArray& body, const THeaders& headers) {
  QByteArray request = method + ' ' + path +
                       " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
                       "\r\nConnection: close\r\n";
  for (const auto& [name, value] : headers)
    request += name + ": " + value + "\r\n";
  if (!body.isEmpty() || method == "POST")
    request += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
  return request + "\r\n" + body;
}

QByteArray PostEntry(const QByteArray& body, quint16 port, const THeaders& headers) {
  THeaders all{{"Content-Type", "application/json"}};
  all << headers;
  return Request("POST", "/entry", port, body, all);
}

TAnswer Exchange(const QByteArray& request, quint16 port, const QString& from) {
  TAnswer answer;
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0)
    return answer;
  // No test waits for ever on a server that does not answer.
  timeval wait{30, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  if (!from.isEmpty()) {
    ::inet_pton(AF_INET, from.toLatin1().constData(), &address.sin_addr);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      ::close(fd);
      return answer;
    }
  }
  address.sin_port = htons(port);
  ::inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return answer;
  }
  qsizetype sent = 0;
  while (sent < request.size()) {
    const ssize_t n = ::send(fd, request.constData() + sent,
                             static_cast<size_t>(request.size() - sent), MSG_NOSIGNAL);
    // A server may answer and close before taking a body it refuses; the answer is still read.
    if (n <= 0)
      break;
    sent += n;
  }
  QByteArray raw;
  char buffer[16384];
  for (;;) {
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0)
      break;
    raw.append(buffer, n);
  }
  ::close(fd);
  const qsizetype end = raw.indexOf("\r\n\r\n");
  if (!raw.startsWith("HTTP/1.1 ") || end < 0)
    return answer;
  const QList<QByteArray> lines = raw.left(end).split('\n');
  answer.Status = lines.first().mid(9, 3).toInt();
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const qsizetype colon = lines.at(i).indexOf(':');
    if (colon > 0)
      answer.Headers.insert(lines.at(i).left(colon).trimmed().toLower(),
                            lines.at(i).mid(colon + 1).trimmed());
  }
  answer.Body = raw.mid(end + 4);
  return answer;
}

TAnswer Send(const QByteArray& request, quint16 port) {
  TAnswer answer;
  QEventLoop loop;
  std::thread exchange([&] {
    answer = Exchange(request, port);
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  exchange.join();
  return answer;
}

}  // namespace HttpProbe
