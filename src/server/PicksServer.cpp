#include "PicksServer.h"

#include <httplib.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <future>
#include <mutex>

#include "Clock.h"
#include "EntryDesk.h"
#include "EntryLinks.h"
#include "EntryPage.h"
#include "FFDataModule.h"
#include "GuardedHttpServer.h"
#include "OpenPool.h"
#include "RateLimit.h"

namespace {

const char* const kJson = "application/json; charset=utf-8";
const QString kTooMany =
    QStringLiteral("Too many requests from your address. Please wait a minute and try again.");
const QString kBusy = QStringLiteral("The pool is busy. Please send your entry again.");
constexpr size_t kBodyBytes = TPicksServer::kMaxBody;
// Headers may be 8 KiB a line; a request of the page has a few of them.
constexpr size_t kMaxHeaders = 32 * 1024;

// The answer to a request the server itself refuses, in the form of the desk's refusals.
std::string Refusal(const QString& text, bool closed = false) {
  const QJsonObject problem{{QStringLiteral("field"), QStringLiteral("entry")},
                            {QStringLiteral("text"), text}};
  return QJsonDocument(QJsonObject{{QStringLiteral("ok"), false},
                                   {QStringLiteral("closed"), closed},
                                   {QStringLiteral("problems"), QJsonArray{problem}}})
      .toJson(QJsonDocument::Compact)
      .toStdString();
}

QString StatusText(int status) {
  switch (status) {
    case 400:
      return QStringLiteral("The request could not be read.");
    case 404:
      return QStringLiteral("There is nothing here but the entry page.");
    case 413:
      return QStringLiteral("The entry is too large.");
    case 421:
      return QStringLiteral("This server answers only to its own address.");
    case 429:
      return kTooMany;
    default:
      return QStringLiteral("The request was refused.");
  }
}

}  // namespace

// The HTTP side: the listening thread and its workers, and the queue on which they hand work
// to the document's thread. A worker waits for its answer; Stop answers whatever still waits.
class TPicksServer::TWorker {
 public:
  TWorker(TEntryDesk& desk, const TLimits& limits) : FDesk(desk), FLimits(limits) {}

  ~TWorker() { Stop(); }

  bool Start(const QString& address, quint16 port, quint16* bound, QString* reason);
  void Stop();

 private:
  struct TJob {
    std::function<THttpReply()> Work;
    bool Entry = false;
    // 0 waiting, 1 taken by the document's thread, 2 given up by the worker.
    std::atomic<int> State{0};
    std::promise<THttpReply> Reply;
  };

  void Route();
  // On a worker: has the document's thread do `work` and waits for the answer.
  THttpReply Ask(std::function<THttpReply()> work, bool entry);
  // On the document's thread: everything waiting, the entries saved together.
  void Drain();
  void Answer(httplib::Response& response, const THttpReply& reply) const {
    response.status = reply.Status;
    response.set_content(reply.Body.toStdString(), kJson);
  }

  TEntryDesk& FDesk;
  const TLimits FLimits;
  // The queued calls of Drain go to this; it goes with the worker, and they with it.
  QObject FContext;
  std::unique_ptr<TGuardedHttpServer> FServer;
  TRateLimit FRateLimit{kRequestsPerMinute};
  std::mutex FMutex;
  std::deque<std::shared_ptr<TJob>> FJobs;
  bool FOpen = false;
};

bool TPicksServer::TWorker::Start(const QString& address, quint16 port, quint16* bound,
                                  QString* reason) {
  FServer = std::make_unique<TGuardedHttpServer>(
      TGuardedHttpServer::TLimits{FLimits.Request, FLimits.Idle, kConnectionsPerAddress,
                                  kConnections, kMaxHeaders + 2 * kBodyBytes});
  FServer->set_payload_max_length(kMaxBody);
  // Only the page's own style and script run.
  FServer->SetCarefulDefaults(EntryPage::SecurityPolicy().toStdString());
  Route();
  // Open before the first request can come.
  {
    std::lock_guard<std::mutex> lock(FMutex);
    FOpen = true;
  }
  // The system's reason for a failed bind; an address the system cannot resolve leaves none.
  errno = 0;
  const int listening = FServer->Start(address.toStdString(), port);
  if (listening <= 0) {
    *reason = CannotListen(address, port, errno);
    Stop();
    return false;
  }
  *bound = static_cast<quint16>(listening);
  return true;
}

QString TPicksServer::CannotListen(const QString& address, quint16 port, int error) {
  return kCannotListen.arg(address).arg(port).arg(
      error ? QString::fromLocal8Bit(std::strerror(error)) : QStringLiteral("no such address"));
}

void TPicksServer::TWorker::Stop() {
  std::deque<std::shared_ptr<TJob>> waiting;
  {
    std::lock_guard<std::mutex> lock(FMutex);
    FOpen = false;
    waiting.swap(FJobs);
  }
  for (const auto& job : waiting) {
    int expected = 0;
    if (job->State.compare_exchange_strong(expected, 1))
      job->Reply.set_value({403, QByteArray::fromStdString(Refusal(TEntryDesk::kClosed, true))});
  }
  if (FServer)
    FServer->Close();
  FServer.reset();
}

void TPicksServer::TWorker::Route() {
  // Everything here is decided on the headers alone, before any body is read.
  FServer->set_pre_routing_handler(
      [this](const httplib::Request& request, httplib::Response& response) {
        const bool entry = request.method == "POST" && request.path == "/entry";
        if (!FServer->NamesThisServer(request)) {
          response.status = 421;
        } else if (!FRateLimit.Allow(request.remote_addr)) {
          response.status = 429;
          response.set_header("Retry-After", "60");
        } else if (entry && request.get_header_value<uint64_t>("Content-Length") > kBodyBytes) {
          response.status = 413;
        } else if (!entry && TGuardedHttpServer::CarriesBody(request)) {
          response.status = 404;
        } else {
          return httplib::Server::HandlerResponse::Unhandled;
        }
        response.set_content(Refusal(StatusText(response.status)), kJson);
        return httplib::Server::HandlerResponse::Handled;
      });
  FServer->set_error_handler([](const httplib::Request&, httplib::Response& response) {
    if (response.body.empty())
      response.set_content(Refusal(StatusText(response.status)), kJson);
  });

  FServer->Get("/", [](const httplib::Request&, httplib::Response& response) {
    const QByteArray& page = EntryPage::Html();
    response.set_content(page.constData(), static_cast<size_t>(page.size()),
                         "text/html; charset=utf-8");
  });
  FServer->Get("/data", [this](const httplib::Request& request, httplib::Response& response) {
    const QString link = QString::fromStdString(request.get_header_value("X-Entry-Link"));
    Answer(response, Ask([this, link] { return FDesk.Data(link); }, false));
  });
  FServer->Post("/entry", [this](const httplib::Request& request, httplib::Response& response,
                                 const httplib::ContentReader& read) {
    // Only the page sends entries: a form of another site cannot send JSON, and a script of
    // another site says where it comes from.
    const std::string origin = request.get_header_value("Origin");
    if (!origin.empty() && origin != "http://" + request.get_header_value("Host")) {
      response.status = 403;
      response.set_content(Refusal(QStringLiteral("Entries are taken from this page only.")),
                           kJson);
      return;
    }
    if (request.get_header_value("Content-Type").rfind("application/json", 0) != 0) {
      response.status = 415;
      response.set_content(Refusal(QStringLiteral("An entry is sent as JSON.")), kJson);
      return;
    }
    // However the body comes, in chunks too, no more of it than an entry is read.
    std::string body;
    bool tooLarge = false;
    const bool whole = read([&](const char* data, size_t length) {
      tooLarge = body.size() + length > kBodyBytes;
      if (!tooLarge)
        body.append(data, length);
      return !tooLarge;
    });
    if (!whole) {
      response.status = tooLarge ? 413 : 400;
      response.set_content(Refusal(StatusText(response.status)), kJson);
      return;
    }
    TOnlineEntry entry;
    QString why;
    if (!TOnlineEntry::FromJson(QByteArray::fromStdString(body), &entry, &why)) {
      response.status = 400;
      response.set_content(Refusal(QStringLiteral("The entry could not be read: ") + why), kJson);
      return;
    }
    Answer(response, Ask([this, entry] { return FDesk.Take(entry); }, true));
  });
}

THttpReply TPicksServer::TWorker::Ask(std::function<THttpReply()> work, bool entry) {
  auto job = std::make_shared<TJob>();
  job->Work = std::move(work);
  job->Entry = entry;
  std::future<THttpReply> reply = job->Reply.get_future();
  bool first = false;
  {
    std::lock_guard<std::mutex> lock(FMutex);
    if (!FOpen)
      return {403, QByteArray::fromStdString(Refusal(TEntryDesk::kClosed, true))};
    FJobs.push_back(job);
    first = FJobs.size() == 1;
  }
  if (first)
    QMetaObject::invokeMethod(
        &FContext, [this] { Drain(); }, Qt::QueuedConnection);
  // A document's thread held up (a message box the organiser has not answered) does not hold
  // the player, nor this thread, for long; a job given up before it was taken is never done.
  // One taken is waited for to its end: the player must hear whether the entry is in.
  if (reply.wait_for(FLimits.Answer) == std::future_status::ready)
    return reply.get();
  int expected = 0;
  if (job->State.compare_exchange_strong(expected, 2))
    return {503, QByteArray::fromStdString(Refusal(kBusy))};
  return reply.get();
}

void TPicksServer::TWorker::Drain() {
  std::deque<std::shared_ptr<TJob>> jobs;
  {
    std::lock_guard<std::mutex> lock(FMutex);
    jobs.swap(FJobs);
  }
  std::vector<std::pair<std::shared_ptr<TJob>, THttpReply>> done;
  for (const auto& job : jobs) {
    int expected = 0;
    if (job->State.compare_exchange_strong(expected, 1))
      done.emplace_back(job, job->Work());
  }
  // One save for every entry that came in together.
  if (!FDesk.Commit()) {
    for (auto& [job, reply] : done) {
      if (job->Entry && reply.Status == 200) {
        reply = {503, QByteArray::fromStdString(Refusal(TEntryDesk::kNotSaved))};
      }
    }
  }
  for (auto& [job, reply] : done)
    job->Reply.set_value(reply);
}

TPicksServer::TPicksServer(TOpenPool& pool, QObject* parent)
    : QObject(parent),
      FPool(pool),
      FLinks(std::make_unique<TEntryLinks>()),
      FDesk(std::make_unique<TEntryDesk>(pool, *FLinks)) {
  connect(FDesk.get(), &TEntryDesk::EntryTaken, this, &TPicksServer::EntryTaken);
  connect(FDesk.get(), &TEntryDesk::EntryRefused, this, &TPicksServer::EntryRefused);
  connect(FDesk.get(), &TEntryDesk::EntryUndone, this, &TPicksServer::EntryUndone);
  connect(FDesk.get(), &TEntryDesk::EntryRedone, this, &TPicksServer::EntryRedone);
  // Entries close the moment a winner is entered, not at the next tick of the clock.
  connect(&FPool, &TOpenPool::ChartChanged, this, &TPicksServer::CheckClosing);
  FClock.setInterval(1000);
  connect(&FClock, &QTimer::timeout, this, &TPicksServer::CheckClosing);
}

TPicksServer::~TPicksServer() {
  Stop();
}

bool TPicksServer::CanStart(QString* reason) const {
  if (!FPool.IsOpen() || !FPool.Finalized() || !FPool.DataModule()) {
    *reason = kNotLocked;
    return false;
  }
  if (FPool.GamesPlayed()) {
    *reason = TEntryDesk::kTournamentBegun;
    return false;
  }
  return true;
}

bool TPicksServer::Start(const QString& address, quint16 port, const QDateTime& closes,
                         QString* reason) {
  Stop();
  if (!CanStart(reason))
    return false;
  if (!FLinks->Load(FPool.DataModule()->Directory(), reason))
    return false;
  FDesk->IndexLinks();
  auto worker = std::make_unique<TWorker>(*FDesk, FLimits);
  quint16 bound = 0;
  if (!worker->Start(address, port, &bound, reason))
    return false;
  FWorker = std::move(worker);
  FAddress = address;
  FPort = bound;
  SetCloses(closes);
  FClock.start();
  return true;
}

void TPicksServer::Stop() {
  FClock.stop();
  FWorker.reset();
}

bool TPicksServer::IsRunning() const {
  return FWorker != nullptr;
}

QString TPicksServer::Url() const {
  return UrlOf(FAddress, FPort);
}

QString TPicksServer::UrlOf(const QString& address, quint16 port) {
  // An IPv6 address stands in brackets in an address of the web.
  const QString name =
      address.contains(QLatin1Char(':')) ? QLatin1Char('[') + address + QLatin1Char(']') : address;
  return QStringLiteral("http://%1:%2/").arg(name).arg(port);
}

const QDateTime& TPicksServer::Closes() const {
  return FDesk->Closes();
}

void TPicksServer::SetCloses(const QDateTime& closes) {
  FDesk->SetCloses(closes);
  FToldClosed = false;
  CheckClosing();
}

bool TPicksServer::EntriesOpen() const {
  return FDesk->EntriesOpen();
}

QString TPicksServer::ClosedReason() const {
  return FDesk->ClosedReason();
}

QUndoStack* TPicksServer::UndoStack() const {
  return FDesk->UndoStack();
}

bool TPicksServer::UndoEntry(QString* why) {
  return FDesk->UndoEntry(why);
}

bool TPicksServer::RedoEntry(QString* why) {
  return FDesk->RedoEntry(why);
}

void TPicksServer::CheckClosing() {
  // A winner taken off the chart again opens the entries again, to be told when they close.
  if (EntriesOpen()) {
    FToldClosed = false;
    return;
  }
  if (FToldClosed || !IsRunning())
    return;
  FToldClosed = true;
  emit EntriesClosed();
}
