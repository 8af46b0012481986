#include "SlowClients.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QString>
#include <algorithm>
#include <cerrno>

TSlowClients::TSlowClients(quint16 port, int addresses, int perAddress)
    : FRequest("GET / HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) + "\r\nX-Slow: ") {
  for (int a = 0; a < addresses; ++a) {
    for (int c = 0; c < perAddress; ++c) {
      TClient client;
      client.Socket = ::socket(AF_INET, SOCK_STREAM, 0);
      sockaddr_in address{};
      address.sin_family = AF_INET;
      ::inet_pton(AF_INET,
                  QStringLiteral("127.0.%1.%2")
                      .arg((a + 2) / 256)
                      .arg((a + 2) % 256)
                      .toLatin1()
                      .constData(),
                  &address.sin_addr);
      const bool bound =
          ::bind(client.Socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
      address.sin_port = htons(port);
      ::inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
      if (!bound ||
          ::connect(client.Socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(client.Socket);
        client.Socket = -1;
      }
      FClients.push_back(client);
    }
  }
}

TSlowClients::~TSlowClients() {
  for (const TClient& client : FClients) {
    if (client.Socket >= 0)
      ::close(client.Socket);
  }
}

void TSlowClients::Trickle(std::chrono::milliseconds wait) {
  std::vector<pollfd> ready;
  for (const TClient& client : FClients) {
    if (client.Socket >= 0)
      ready.push_back({client.Socket, POLLIN, 0});
  }
  ::poll(ready.data(), ready.size(), static_cast<int>(wait.count()));
  for (TClient& client : FClients) {
    if (client.Socket < 0)
      continue;
    // An answer (the server gave up on the request) is read and dropped; its end closes.
    char answer[4096];
    const ssize_t got = ::recv(client.Socket, answer, sizeof answer, MSG_DONTWAIT);
    const bool closed = got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
    const char next = client.Sent < FRequest.size() ? FRequest.at(client.Sent) : 'a';
    if (closed || ::send(client.Socket, &next, 1, MSG_DONTWAIT | MSG_NOSIGNAL) < 0) {
      ::close(client.Socket);
      client.Socket = -1;
      continue;
    }
    ++client.Sent;
  }
}

int TSlowClients::Open() const {
  return static_cast<int>(std::count_if(FClients.begin(), FClients.end(),
                                        [](const TClient& client) { return client.Socket >= 0; }));
}
