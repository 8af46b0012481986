#include "LiveServer.h"

#include <cerrno>

#include "GuardedHttpServer.h"
#include "LivePool.h"
#include "LiveWhatIf.h"
#include "PicksServer.h"
#include "RateLimit.h"
#include "WhatIfPage.h"

namespace {

const char* const kHtml = "text/html; charset=utf-8";
const char* const kText = "text/plain; charset=utf-8";

// Pages of the pool only: their own style, drawings inline, and nothing that runs.
const char* const kPolicy =
    "default-src 'none'; style-src 'unsafe-inline'; img-src 'none'; base-uri 'none'; "
    "form-action 'none'; frame-ancestors 'none'";

const char* StatusText(int status) {
  switch (status) {
    case 404:
      return "There is nothing here but the pool's standings and its players' pages.";
    case 414:
      return "This what-if is too long.";
    case 421:
      return "This server answers only to its own address.";
    case 429:
      return "Too many requests from your address. Please wait a minute and try again.";
    default:
      return "The request was refused.";
  }
}

// The player a path's number names (1 for the first), -1 for none: digits only, no sign,
// no leading zero, and not more of them than any pool has players.
int PlayerNumber(const std::string& digits) {
  if (digits.empty() || digits.size() > TLiveServer::kMaxPlayerDigits || digits[0] == '0')
    return -1;
  int number = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9')
      return -1;
    number = number * 10 + (c - '0');
  }
  return number;
}

}  // namespace

TLiveServer::TLiveServer(const QString& directory) : FDirectory(directory) {}

TLiveServer::~TLiveServer() {
  Stop();
}

int TLiveServer::Reads() const {
  return FPool ? FPool->Reads() : 0;
}

bool TLiveServer::Reading() const {
  return FPool && FPool->Reading();
}

bool TLiveServer::WorkingOutWhatIf() const {
  return FPool && FPool->WorkingOutWhatIf();
}

bool TLiveServer::Start(const QString& address, quint16 port, QString* reason) {
  Stop();
  auto pool = std::make_unique<TLivePool>(FDirectory);
  if (!pool->Load(reason))
    return false;
  FPool = std::move(pool);
  FServer = std::make_unique<TGuardedHttpServer>(TGuardedHttpServer::TLimits{
      FLimits.Request, FLimits.Idle, kConnectionsPerAddress, kConnections, kMaxRequest});
  FServer->SetCarefulDefaults(kPolicy);
  Route();
  errno = 0;
  const int listening = FServer->Start(address.toStdString(), port);
  if (listening <= 0) {
    *reason = TPicksServer::CannotListen(address, port, errno);
    Stop();
    return false;
  }
  FPort = static_cast<quint16>(listening);
  return true;
}

void TLiveServer::Stop() {
  if (FServer)
    FServer->Close();
  FServer.reset();
  FPool.reset();
}

void TLiveServer::Route() {
  auto rateLimit = std::make_shared<TRateLimit>(kRequestsPerMinute);
  FServer->set_pre_routing_handler(
      [this, rateLimit](const httplib::Request& request, httplib::Response& response) {
        if (!FServer->NamesThisServer(request)) {
          response.status = 421;
        } else if (!rateLimit->Allow(request.remote_addr)) {
          response.status = 429;
          response.set_header("Retry-After", "60");
        } else if (TGuardedHttpServer::CarriesBody(request) || request.method != "GET") {
          response.status = 404;
        } else {
          return httplib::Server::HandlerResponse::Unhandled;
        }
        response.set_content(StatusText(response.status), kText);
        return httplib::Server::HandlerResponse::Handled;
      });
  FServer->set_error_handler([](const httplib::Request&, httplib::Response& response) {
    if (response.body.empty())
      response.set_content(StatusText(response.status), kText);
  });
  FServer->Get("/", [this](const httplib::Request&, httplib::Response& response) {
    const QByteArray page = FPool->StandingsHtml();
    response.set_content(page.constData(), static_cast<size_t>(page.size()), kHtml);
  });
  FServer->Get(
      WhatIfPage::kPath, [this](const httplib::Request& request, httplib::Response& response) {
        const size_t query = request.target.find('?');
        if (request.target.size() > kMaxWhatIf) {
          response.status = 414;
          return;
        }
        const TLivePool::TWhatIfAnswer answer = FPool->WhatIf(
            query == std::string::npos ? std::string() : request.target.substr(query + 1));
        response.status = answer.Status;
        if (answer.Status == 503)
          response.set_header("Retry-After", std::to_string(TLiveWhatIf::kRetryAfterSeconds));
        if (!answer.Body.isEmpty()) {
          response.set_content(answer.Body.constData(), static_cast<size_t>(answer.Body.size()),
                               answer.Status == 200 ? kHtml : kText);
        }
      });
  FServer->Get(R"(/player/([0-9]{1,7}))",
               [this](const httplib::Request& request, httplib::Response& response) {
                 const int number = PlayerNumber(request.matches[1].str());
                 const QByteArray page = number > 0 ? FPool->PlayerHtml(number - 1) : QByteArray();
                 if (page.isEmpty()) {
                   response.status = 404;
                   return;
                 }
                 response.set_content(page.constData(), static_cast<size_t>(page.size()), kHtml);
               });
}
