#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// cpp-httplib's server, held to what a server on an office network needs against a client that
// means harm.
//
// The library times each read on its own, so a client that sends a byte every few seconds holds
// its connection as long as it likes, and it answers on a fixed number of threads, so a handful
// of such clients shut everyone else out. Here every connection is read through a stream of our
// own instead: the whole of a request, its headers and its body, must arrive before one deadline
// and within a number of bytes; the answer must be taken before a deadline too; a kept-alive
// connection waits only briefly for its next request; one address holds a few connections at
// most; and each connection has a thread of its own, started as it comes, up to a number far
// beyond what slow clients of every address of an office can hold. It also tells a request
// that names it from one meant for another host.
class TGuardedHttpServer : public httplib::Server {
 public:
  struct TLimits {
    // For the whole of a request to arrive, and again for its answer to be taken.
    std::chrono::milliseconds Request;
    // For the next request on a kept-alive connection.
    std::chrono::milliseconds Idle;
    int ConnectionsPerAddress;
    // Connections served at once, each on its thread; more wait to be accepted.
    int Connections;
    // A request's headers and body together, as sent.
    size_t RequestBytes;
  };

  explicit TGuardedHttpServer(const TLimits& limits);

  // What a careful site sends with every answer, `policy` being its Content-Security-Policy:
  // the type is the one given, it is shown in no frame, and nothing of it is kept or passed on.
  // The port is kept to this server: a quick restart may take it again at once, but no other
  // program may bind it beside us (the library's own options would let one take requests).
  void SetCarefulDefaults(const std::string& policy);
  // True when the request comes with a body, of whatever length or in chunks.
  static bool CarriesBody(const httplib::Request& request);
  // True when the request names this server: the address it came to ("localhost" too when that
  // is a loopback address) or this computer's name, with the port it came to. A page of another
  // site that had its own name point here (DNS rebinding) names that site.
  bool NamesThisServer(const httplib::Request& request) const;

  // Binds to `host` and `port` (0: any free port) with room for a crowd that connects at once,
  // and listens on a thread of its own. The port, or -1 with errno telling why.
  int Start(const std::string& host, int port);
  // Stops listening, ends every open connection at once, and waits for the listening thread.
  void Close();

 private:
  bool process_and_close_socket(socket_t sock) override;
  bool Admit(socket_t sock, const std::string& address);
  void Release(socket_t sock, const std::string& address);

  const TLimits FLimits;
  std::thread FListener;
  std::atomic<bool> FListenEnded{false};
  // This computer's host name, that name's first part, and the first part in the local domain
  // of names announced on the network.
  const std::vector<std::string> FNames;
  std::mutex FMutex;
  bool FClosing = false;
  std::map<std::string, int> FPerAddress;
  std::set<socket_t> FOpen;
};
