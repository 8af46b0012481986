#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <memory>

class QUndoStack;
class TEntryDesk;
class TEntryLinks;
class TOpenPool;

// Serves the pick-entry page of the open pool on the office network while entries are open.
//
// Only three things exist: the page ("/"), the pool's data for it ("/data") and the entry
// endpoint ("/entry"); nothing is served from disk. Requests are read on the server's own
// threads with their size, their time, their connections and their count per address capped,
// and only when they name this server; whatever reads or
// changes the pool is handed to the document's thread and done there, one request after
// another, so that the windows see each entry at once and nothing else touches the pool.
class TPicksServer : public QObject {
  Q_OBJECT

 public:
  // An entry is a few kilobytes; nothing the page sends comes near this.
  static constexpr int kMaxBody = 16 * 1024;
  static constexpr int kRequestsPerMinute = 60;
  // A browser opens six connections to a server at most.
  static constexpr int kConnectionsPerAddress = 8;
  // Each open connection has a thread; enough for slow clients on every address of an office to
  // leave plenty for everyone else.
  static constexpr int kConnections = 256;
  static constexpr int kDefaultPort = 8099;

  // How long a request may take at each step; tests shorten them.
  struct TLimits {
    // For the whole of a request, its headers and its body, to arrive, and for its answer to
    // be taken.
    std::chrono::milliseconds Request{10000};
    // For the next request on a connection kept alive.
    std::chrono::milliseconds Idle{2000};
    // For the program's thread to take up a request, before the player is told to try again.
    std::chrono::milliseconds Answer{10000};
  };

  static inline const QString kNotLocked =
      QStringLiteral("Picks can be collected once the first round is locked.");
  static inline const QString kCannotListen = QStringLiteral("Cannot listen on %1 port %2: %3");
  // Why no server could listen on `address` and `port`, from the system's `error` (errno; 0
  // when the system gave none, as for an address it cannot resolve).
  static QString CannotListen(const QString& address, quint16 port, int error);

  explicit TPicksServer(TOpenPool& pool, QObject* parent = nullptr);
  ~TPicksServer() override;

  // Whether the open pool takes entries online: its first round is locked and no game has its
  // winner yet. False, with the reason in `reason`, when not.
  bool CanStart(QString* reason) const;
  // Starts serving the open pool on `address` (an address of this machine) and `port` (0:
  // any free port), taking entries until `closes` (invalid: until Stop) or until a game has
  // its winner. False, with the reason in `reason`, when the pool takes no entries
  // (CanStart), its links' key cannot be read or made, or nothing can listen there.
  bool Start(const QString& address, quint16 port, const QDateTime& closes, QString* reason);
  // The limits of the next Start.
  void SetLimits(const TLimits& limits) { FLimits = limits; }
  // Stops serving. Requests waiting for the pool are answered that entries are closed.
  void Stop();
  bool IsRunning() const;

  quint16 Port() const { return FPort; }
  // The address to hand out: "http://192.168.1.20:8099/".
  QString Url() const;
  // The address to hand out for a server on `address` and `port`.
  static QString UrlOf(const QString& address, quint16 port);
  const QDateTime& Closes() const;
  void SetCloses(const QDateTime& closes);
  bool EntriesOpen() const;
  // Why entries are closed, as the players are told; empty while they are open.
  QString ClosedReason() const;
  // Each entry taken is a step here, named after its player.
  QUndoStack* UndoStack() const;
  // Takes the last entry back out of the pool, or makes it again, saved at once
  // (TEntryDesk::UndoEntry).
  bool UndoEntry(QString* why);
  bool RedoEntry(QString* why);

 signals:
  void EntryTaken(const QString& name, bool replaced);
  void EntryRefused(const QString& name, const QString& why);
  void EntryUndone(const QString& name, bool replaced);
  void EntryRedone(const QString& name, bool replaced);
  // The closing time has passed or a game has its winner; the page now says entries are
  // closed.
  void EntriesClosed();

 private:
  class TWorker;

  void CheckClosing();

  TOpenPool& FPool;
  std::unique_ptr<TEntryLinks> FLinks;
  std::unique_ptr<TEntryDesk> FDesk;
  std::unique_ptr<TWorker> FWorker;
  TLimits FLimits;
  QString FAddress;
  quint16 FPort = 0;
  bool FToldClosed = false;
  QTimer FClock;
};
