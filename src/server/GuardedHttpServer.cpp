#include "GuardedHttpServer.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <functional>
#include <thread>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

void Numeric(const sockaddr_storage& address, socklen_t length, std::string& ip, int& port) {
  char host[NI_MAXHOST];
  char service[NI_MAXSERV];
  if (::getnameinfo(reinterpret_cast<const sockaddr*>(&address), length, host, sizeof host, service,
                    sizeof service, NI_NUMERICHOST | NI_NUMERICSERV) != 0)
    return;
  ip = host;
  port = std::atoi(service);
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::vector<std::string> ComputerNames() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0')
    return {};
  const std::string full = Lower(name);
  const std::string first = full.substr(0, full.find('.'));
  return {full, first, first + ".local"};
}

std::string PeerAddress(socket_t sock) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  std::string ip;
  int port = 0;
  if (::getpeername(sock, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    Numeric(address, length, ip, port);
  return ip;
}

// Waits until `sock` is ready for `events` or `deadline` passes.
bool Wait(socket_t sock, short events, TClock::time_point deadline) {
  for (;;) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - TClock::now()).count();
    if (left <= 0)
      return false;
    pollfd ready{sock, events, 0};
    const int n = ::poll(&ready, 1, static_cast<int>(std::min<long long>(left, 60000)));
    if (n > 0)
      return true;
    if (n < 0 && errno != EINTR)
      return false;
  }
}

// A connection's requests, read under their deadline and allowance, and its answers, written
// under theirs. Bytes read ahead stay for the next request of the connection.
class TConnectionStream final : public httplib::Stream {
 public:
  TConnectionStream(socket_t sock, const TGuardedHttpServer::TLimits& limits)
      : FSocket(sock), FLimits(limits) {}

  // Waits, no longer than the idle limit, for the next request to begin.
  bool AwaitRequest() const {
    return FBegin < FEnd || Wait(FSocket, POLLIN, TClock::now() + FLimits.Idle);
  }

  void BeginRequest() {
    FReadBy = TClock::now() + FLimits.Request;
    FAllowance = FLimits.RequestBytes;
    FWriting = false;
  }

  // A request ran out of time or of bytes, or the client went: what is left of the connection
  // is no request.
  bool Spoilt() const { return FSpoilt; }

  bool is_readable() const override { return FBegin < FEnd || Wait(FSocket, POLLIN, FReadBy); }

  bool is_writable() const override { return Wait(FSocket, POLLOUT, WriteBy()); }

  ssize_t read(char* ptr, size_t size) override {
    if (FBegin == FEnd) {
      if (FAllowance == 0 || !Wait(FSocket, POLLIN, FReadBy))
        return Spoil();
      ssize_t n;
      do {
        n = ::recv(FSocket, FBuffer, std::min(sizeof FBuffer, FAllowance), 0);
      } while (n < 0 && errno == EINTR);
      if (n <= 0) {
        FSpoilt = true;
        return n;
      }
      FAllowance -= static_cast<size_t>(n);
      FBegin = 0;
      FEnd = static_cast<size_t>(n);
    }
    const size_t taken = std::min(size, FEnd - FBegin);
    std::copy_n(FBuffer + FBegin, taken, ptr);
    FBegin += taken;
    return static_cast<ssize_t>(taken);
  }

  ssize_t write(const char* ptr, size_t size) override {
    if (!FWriting) {
      FWriteBy = TClock::now() + FLimits.Request;
      FWriting = true;
    }
    if (!Wait(FSocket, POLLOUT, FWriteBy))
      return Spoil();
    ssize_t n;
    do {
      n = ::send(FSocket, ptr, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (n < 0 && errno == EINTR);
    // Ready yet full (another thread's data, or a race): not written, and tried again.
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
      return 0;
    return n < 0 ? Spoil() : n;
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getpeername(FSocket, reinterpret_cast<sockaddr*>(&address), &length) == 0)
      Numeric(address, length, ip, port);
  }

  void get_local_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(FSocket, reinterpret_cast<sockaddr*>(&address), &length) == 0)
      Numeric(address, length, ip, port);
  }

  socket_t socket() const override { return FSocket; }

 private:
  TClock::time_point WriteBy() const {
    return FWriting ? FWriteBy : TClock::now() + FLimits.Request;
  }

  ssize_t Spoil() {
    FSpoilt = true;
    return -1;
  }

  const socket_t FSocket;
  const TGuardedHttpServer::TLimits& FLimits;
  TClock::time_point FReadBy;
  TClock::time_point FWriteBy;
  bool FWriting = false;
  size_t FAllowance = 0;
  bool FSpoilt = false;
  char FBuffer[4096];
  size_t FBegin = 0;
  size_t FEnd = 0;
};

// A thread for each connection, started when none is free, up to `most`; the threads stay for
// the connections that come next.
class TConnectionThreads final : public httplib::TaskQueue {
 public:
  explicit TConnectionThreads(size_t most) : FMost(most) {}

  void enqueue(std::function<void()> fn) override {
    {
      std::lock_guard<std::mutex> lock(FMutex);
      FJobs.push_back(std::move(fn));
      if (FJobs.size() > FIdle && FThreads.size() < FMost)
        FThreads.emplace_back([this] { Run(); });
    }
    FWake.notify_one();
  }

  void shutdown() override {
    {
      std::lock_guard<std::mutex> lock(FMutex);
      FShutdown = true;
    }
    FWake.notify_all();
    for (std::thread& thread : FThreads)
      thread.join();
  }

 private:
  void Run() {
    std::unique_lock<std::mutex> lock(FMutex);
    for (;;) {
      ++FIdle;
      FWake.wait(lock, [this] { return !FJobs.empty() || FShutdown; });
      --FIdle;
      // Connections accepted before the shutdown are still served (and end at once).
      if (FJobs.empty())
        return;
      std::function<void()> job = std::move(FJobs.front());
      FJobs.pop_front();
      lock.unlock();
      job();
      lock.lock();
    }
  }

  const size_t FMost;
  std::mutex FMutex;
  std::condition_variable FWake;
  std::deque<std::function<void()>> FJobs;
  std::vector<std::thread> FThreads;
  size_t FIdle = 0;
  bool FShutdown = false;
};

}  // namespace

TGuardedHttpServer::TGuardedHttpServer(const TLimits& limits)
    : FLimits(limits), FNames(ComputerNames()) {
  new_task_queue = [this] {
    return new TConnectionThreads(static_cast<size_t>(FLimits.Connections));
  };
  // What the library says of the connection in its answers; the stream keeps to ours.
  set_keep_alive_timeout(
      std::max<time_t>(1, std::chrono::duration_cast<std::chrono::seconds>(FLimits.Idle).count()));
}

void TGuardedHttpServer::SetCarefulDefaults(const std::string& policy) {
#ifndef _WIN32
  // On Windows the library's options already keep the port to itself.
  set_socket_options([](auto socket) {
    const int on = 1;
    ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  });
#endif
  set_keep_alive_max_count(20);
  set_default_headers({
      {"X-Content-Type-Options", "nosniff"},
      {"Content-Security-Policy", policy},
      {"X-Frame-Options", "DENY"},
      {"Referrer-Policy", "no-referrer"},
      {"Cache-Control", "no-store"},
      {"Cross-Origin-Resource-Policy", "same-origin"},
      {"Cross-Origin-Opener-Policy", "same-origin"},
  });
}

bool TGuardedHttpServer::CarriesBody(const httplib::Request& request) {
  return request.has_header("Transfer-Encoding") ||
         request.get_header_value<uint64_t>("Content-Length") > 0;
}

bool TGuardedHttpServer::NamesThisServer(const httplib::Request& request) const {
  std::string host = Lower(request.get_header_value("Host"));
  std::string port = "80";
  const size_t colon = host.rfind(':');
  if (colon != std::string::npos && host.find(']', colon) == std::string::npos) {
    port = host.substr(colon + 1);
    host.erase(colon);
  }
  if (host.size() > 1 && host.front() == '[' && host.back() == ']')
    host = host.substr(1, host.size() - 2);
  if (port != std::to_string(request.local_port))
    return false;
  std::string local = Lower(request.local_addr);
  // An IPv4 client of a server on every IPv6 address.
  if (local.rfind("::ffff:", 0) == 0 && local.find('.') != std::string::npos)
    local.erase(0, 7);
  if (host == local)
    return true;
  if (host == "localhost" && (local.rfind("127.", 0) == 0 || local == "::1"))
    return true;
  return std::find(FNames.begin(), FNames.end(), host) != FNames.end();
}

int TGuardedHttpServer::Start(const std::string& host, int port) {
  const int bound = port == 0 ? bind_to_any_port(host) : (bind_to_port(host, port) ? port : -1);
  if (bound <= 0)
    return bound;
  // The library leaves room for five connections not yet accepted; forty browsers opening the
  // page at once would wait for the system to try again.
  ::listen(svr_sock_, SOMAXCONN);
  FListenEnded = false;
  FListener = std::thread([this] {
    listen_after_bind();
    FListenEnded = true;
  });
  // A stop before the server runs would be lost, and the thread would listen on for ever.
  while (!is_running() && !FListenEnded)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return bound;
}

void TGuardedHttpServer::Close() {
  stop();
  {
    std::lock_guard<std::mutex> lock(FMutex);
    FClosing = true;
    // Wakes every thread waiting on its connection; each closes its own.
    for (const socket_t sock : FOpen)
      ::shutdown(sock, SHUT_RDWR);
  }
  if (FListener.joinable())
    FListener.join();
}

bool TGuardedHttpServer::Admit(socket_t sock, const std::string& address) {
  std::lock_guard<std::mutex> lock(FMutex);
  if (FClosing || address.empty())
    return false;
  int& count = FPerAddress[address];
  if (count >= FLimits.ConnectionsPerAddress)
    return false;
  ++count;
  FOpen.insert(sock);
  return true;
}

void TGuardedHttpServer::Release(socket_t sock, const std::string& address) {
  std::lock_guard<std::mutex> lock(FMutex);
  FOpen.erase(sock);
  if (--FPerAddress[address] == 0)
    FPerAddress.erase(address);
}

bool TGuardedHttpServer::process_and_close_socket(socket_t sock) {
  const std::string address = PeerAddress(sock);
  bool served = false;
  // A connection beyond its address's share is closed unread.
  if (Admit(sock, address)) {
    TConnectionStream stream(sock, FLimits);
    for (size_t left = keep_alive_max_count_; left > 0 && stream.AwaitRequest(); --left) {
      stream.BeginRequest();
      bool closed = false;
      served = process_request(stream, left == 1, closed, [&closed](httplib::Request& request) {
        // A body the handlers refuse unread, or stop reading at the cap, must not be read as
        // the next request: a request with a body is its connection's last.
        if (CarriesBody(request))
          closed = true;
      });
      if (!served || closed || stream.Spoilt())
        break;
    }
    Release(sock, address);
  }
  ::shutdown(sock, SHUT_RDWR);
  ::close(sock);
  return served;
}
