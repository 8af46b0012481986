#pragma once

#include <QString>
#include <chrono>
#include <memory>

class TGuardedHttpServer;
class TLivePool;

// The pool served read-only on the office network once entries are closed: the standings
// page ("/"), with the win chances, the rooting guide, the race, the pick popularity and
// every player's picks, each player's own page ("/player/N", linked from the standings), and
// the what-ifs of the rooting guide ("/whatif?assume=TEAM,...", see WhatIfPage).
// Nothing else is served, nothing from disk, and no request carries a body. The pool is read
// from its files as a reader reads them (TLivePool): the server holds no lock, and a result
// saved by the window or the command-line tool shows within a poll.
class TLiveServer {
 public:
  // Pages are read, not sent: a player clicks through a page a second at most.
  static constexpr int kRequestsPerMinute = 120;
  static constexpr int kConnectionsPerAddress = 8;
  static constexpr int kConnections = 256;
  // A request of a page has a few headers; nothing more is read of one.
  static constexpr size_t kMaxRequest = 32 * 1024;
  // Room for a player number, however many players.
  static constexpr int kMaxPlayerDigits = 7;
  // A what-if's address: room for a whole chart of winners with long names, encoded.
  static constexpr size_t kMaxWhatIf = 8 * 1024;

  struct TLimits {
    std::chrono::milliseconds Request{10000};
    std::chrono::milliseconds Idle{2000};
  };

  explicit TLiveServer(const QString& directory);
  ~TLiveServer();

  void SetLimits(const TLimits& limits) { FLimits = limits; }
  // Reads the pool and serves it on `address` and `port` (0: any free port). False, with the
  // reason in `reason`, when the pool cannot be read or nothing can listen there.
  bool Start(const QString& address, quint16 port, QString* reason);
  void Stop();
  bool IsRunning() const { return FServer != nullptr; }
  quint16 Port() const { return FPort; }
  // How many times a read of the pool from its files has started, and whether one is under way.
  int Reads() const;
  bool Reading() const;
  // Whether a what-if is being worked out.
  bool WorkingOutWhatIf() const;

 private:
  void Route();

  const QString FDirectory;
  TLimits FLimits;
  std::unique_ptr<TLivePool> FPool;
  std::unique_ptr<TGuardedHttpServer> FServer;
  quint16 FPort = 0;
};
