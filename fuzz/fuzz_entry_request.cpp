// What a player's browser, or anyone on the office network, sends the picks server: a whole
// request, headers and body, read by the HTTP library the server uses, from memory rather
// than a socket, and the entry in it read and taken by the desk on a locked pool of 64 teams,
// then taken back. The first byte says whether the entry comes with the true link of its name,
// which no sender could guess, so that changing an entry is fuzzed too; the rest is the request.
#include <httplib.h>

#include <QUndoStack>
#include <algorithm>
#include <cstring>

#include "EntryDesk.h"
#include "EntryLinks.h"
#include "FuzzChecks.h"
#include "FuzzPool.h"
#include "OpenPool.h"
#include "OutsideText.h"
#include "PicksServer.h"

namespace {

// A connection whose bytes come from the input, read where libFuzzer holds them, and whose
// answer is kept.
class TMemoryStream : public httplib::Stream {
 public:
  TMemoryStream(const uint8_t* data, size_t size) : FData(data), FLeft(size) {}
  bool is_readable() const override { return true; }
  bool is_writable() const override { return true; }
  ssize_t read(char* ptr, size_t size) override {
    const size_t length = std::min(size, FLeft);
    // The library reads a request's lines a byte at a time.
    if (length == 1)
      *ptr = static_cast<char>(*FData);
    else
      std::memcpy(ptr, FData, length);
    FData += length;
    FLeft -= length;
    return static_cast<ssize_t>(length);
  }
  ssize_t write(const char* ptr, size_t size) override {
    Answer.append(ptr, size);
    return static_cast<ssize_t>(size);
  }
  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    ip = "127.0.0.1";
    port = 50000;
  }
  void get_local_ip_and_port(std::string& ip, int& port) const override {
    ip = "127.0.0.1";
    port = TPicksServer::kDefaultPort;
  }
  socket_t socket() const override { return INVALID_SOCKET; }

  std::string Answer;

 private:
  const uint8_t* FData;
  size_t FLeft;
};

// A pool of 64 teams, its first round locked and no players yet, and its links.
struct TDeskPool {
  TDeskPool() {
    QByteArray system = FuzzPool::NewSystemRecord();
    system[100] = 1;  // the first round locked
    FuzzPool::Write(system, FuzzPool::TeamRecords(64), QByteArray(""));
    Pool.SetDataModule(FuzzPool::Open(TFFDataModule::TOpenMode::ReadWrite));
    QString reason;
    FUZZ_CHECK(Pool.IsOpen() && Links.Load(Folder, &reason));
  }
  const QString Folder = FuzzPool::Folder();
  TOpenPool Pool;
  TEntryLinks Links;
};

// The server's limits on a request, and a request read as the server reads it; an entry goes
// to a desk on the pool.
class TMemoryServer : public httplib::Server {
 public:
  explicit TMemoryServer(TDeskPool& pool) : FPool(pool) {
    set_payload_max_length(TPicksServer::kMaxBody);
    Post("/entry", [this](const httplib::Request& request, httplib::Response& response) {
      Entry(request, response);
    });
  }
  void Serve(httplib::Stream& stream, bool withTrueLink) {
    FWithTrueLink = withTrueLink;
    bool closed = false;
    process_request(stream, true, closed, [](httplib::Request&) {});
  }

 private:
  void Entry(const httplib::Request& request, httplib::Response& response);

  TDeskPool& FPool;
  bool FWithTrueLink = false;
};

const QByteArrayView kTaken = "{\"ok\":true,";
const QByteArrayView kNotTaken = "{\"ok\":false,";

// Names as the organiser sees them stay on one line, nothing in them hidden or steering.
void CheckShown(const QString& name) {
  const QString shown = OutsideText::Quoted(name);
  FUZZ_CHECK(shown.startsWith(QLatin1Char('"')) && shown.endsWith(QLatin1Char('"')));
  for (qsizetype i = 0; i < shown.size(); ++i) {
    const QChar c = shown.at(i);
    if (c.isHighSurrogate() && i + 1 < shown.size() && shown.at(i + 1).isLowSurrogate()) {
      const auto category = QChar::category(QChar::surrogateToUcs4(c, shown.at(++i)));
      FUZZ_CHECK(category != QChar::Other_Control && category != QChar::Other_Format);
      continue;
    }
    const auto category = c.category();
    FUZZ_CHECK(category != QChar::Other_Control && category != QChar::Other_Format &&
               category != QChar::Other_Surrogate && category != QChar::Separator_Line &&
               category != QChar::Separator_Paragraph);
  }
}

}  // namespace

void TMemoryServer::Entry(const httplib::Request& request, httplib::Response& response) {
  TOnlineEntry entry;
  QString why;
  if (!TOnlineEntry::FromJson(QByteArray::fromStdString(request.body), &entry, &why)) {
    FUZZ_CHECK(!why.isEmpty());
    response.status = 400;
    return;
  }
  // A desk of its own on the links as the pool's were too: the names an entry brings are
  // indexed for its input alone, so that no input depends on those before it. The pool's
  // look at their key first, as a server's do at every link, so that the key's file is read
  // again only when it has changed.
  QString reason;
  FUZZ_CHECK(FPool.Links.Load(FPool.Folder, &reason));
  TEntryLinks links = FPool.Links;
  TEntryDesk desk(FPool.Pool, links);
  const int players = FPool.Pool.DataModule()->PlayerPicksFile().Count();
  if (FWithTrueLink)
    entry.Link = links.Link(entry.Name);
  CheckShown(entry.Name);
  const THttpReply reply = desk.Take(entry);
  // The answer opens with whether the entry was taken, as the page reads it; only an entry
  // taken is answered 200. Its own bytes are looked at rather than a document read back
  // from them, which would cost more than the whole of reading the request.
  FUZZ_CHECK(reply.Body.startsWith(reply.Status == 200 ? kTaken : kNotTaken));
  FUZZ_CHECK(reply.Status == 200 || reply.Status == 403 || reply.Status == 409 ||
             reply.Status == 422);
  response.status = reply.Status;
  response.set_content(reply.Body.toStdString(), "application/json");

  // The pool as it was, for the next input.
  while (desk.UndoStack()->canUndo())
    desk.UndoStack()->undo();
  FUZZ_CHECK(FPool.Pool.DataModule()->PlayerPicksFile().Count() == players);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TDeskPool pool;
  static TMemoryServer server(pool);
  if (size < 1)
    return 0;
  TMemoryStream stream(data + 1, size - 1);
  server.Serve(stream, (data[0] & 1) != 0);
  FUZZ_CHECK(stream.Answer.empty() || stream.Answer.rfind("HTTP/1.1 ", 0) == 0);
  return 0;
}
