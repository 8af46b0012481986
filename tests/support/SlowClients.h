#pragma once

// Clients that hold a server's connections open the way a client that means harm does: each
// sends the headers of a request a byte at a time and never ends them. For the tests and
// benchmarks of the picks server; loopback addresses only.

#include <QByteArray>
#include <chrono>
#include <vector>

class TSlowClients {
 public:
  // Connects `perAddress` clients from each of `addresses` loopback addresses (127.0.0.2,
  // 127.0.0.3 ...) to 127.0.0.1:`port`.
  TSlowClients(quint16 port, int addresses, int perAddress);
  ~TSlowClients();
  TSlowClients(const TSlowClients&) = delete;
  TSlowClients& operator=(const TSlowClients&) = delete;

  // Waits up to `wait` for the server to answer or close any of them, notes those it closed,
  // and sends each one still open its next byte.
  void Trickle(std::chrono::milliseconds wait);
  // How many the server has not closed.
  int Open() const;

 private:
  struct TClient {
    int Socket = -1;
    qsizetype Sent = 0;
  };

  QByteArray FRequest;
  std::vector<TClient> FClients;
};
