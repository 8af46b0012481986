// The picks server against clients that mean harm, through real connections on loopback
// addresses: slow clients, crowds from one address, endless bodies, other sites' host names, a
// program's thread that does not answer; and the private links found by their index.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTest>
#include <future>
#include <memory>

#include "EntryLinks.h"
#include "HttpProbe.h"
#include "PicksServer.h"
#include "ServerFixture.h"
#include "SlowClients.h"

using namespace std::chrono_literals;

namespace {

// A connection of our own to 127.0.0.1:`port`, that no test waits on for longer than `wait`.
int Connect(quint16 port, std::chrono::seconds wait) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  const timeval bound{static_cast<time_t>(wait.count()), 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &bound, sizeof bound);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  ::inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    qFatal("cannot connect to the server");
  return fd;
}

// Everything the server sends until it closes; with `timedOut` set when it had not closed in
// the connection's time.
QByteArray ReadToEnd(int fd, bool* timedOut = nullptr) {
  QByteArray read;
  char buffer[16384];
  ssize_t n;
  while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
    read.append(buffer, n);
  if (timedOut)
    *timedOut = n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
  return read;
}

}  // namespace

class TestServerHostile : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TServerFixture> F;
  std::unique_ptr<TPicksServer> Server;

  void Start(const TPicksServer::TLimits& limits = {}) {
    F = std::make_unique<TServerFixture>();
    Server = std::make_unique<TPicksServer>(F->Pool);
    Server->SetLimits(limits);
    QString reason;
    if (!Server->Start(QStringLiteral("127.0.0.1"), 0, QDateTime(), &reason))
      qFatal("%s", qPrintable(reason));
  }

  quint16 Port() const { return Server->Port(); }

  QByteArray Page() const { return HttpProbe::Request("GET", "/", Port()); }

  QByteArray NewEntry() const {
    return HttpProbe::PostEntry(TServerFixture::Entry("New Player", "150", F->Winners()), Port());
  }

  QJsonObject Mine(const QString& link) {
    const auto data = HttpProbe::Send(
        HttpProbe::Request("GET", "/data", Port(), {}, {{"X-Entry-Link", link.toLatin1()}}),
        Port());
    return TServerFixture::Json(data.Body).value(QStringLiteral("mine")).toObject();
  }

 private slots:
  void cleanup() {
    Server.reset();
    F.reset();
  }

  void aPageLoadsWhileFiftySlowClientsHoldConnections() {
    Start();
    TSlowClients slow(Port(), 50, 1);
    QCOMPARE(slow.Open(), 50);
    // Every one of them has begun its request.
    for (int round = 0; round < 5; ++round)
      slow.Trickle(20ms);
    auto page =
        std::async(std::launch::async, [this] { return HttpProbe::Exchange(Page(), Port()); });
    for (int round = 0; round < 500 && page.wait_for(0s) != std::future_status::ready; ++round)
      slow.Trickle(20ms);
    QVERIFY2(page.wait_for(0s) == std::future_status::ready, "no page while slow clients wait");
    QCOMPARE(page.get().Status, 200);
    // It did not have to wait for them to be cut off.
    QCOMPARE(slow.Open(), 50);
  }

  void aRequestAndAnIdleConnectionHaveDeadlines() {
    Start({300ms, 300ms, 10s});
    // Headers that keep coming, a byte at a time, are cut off as a whole.
    TSlowClients slow(Port(), 1, 1);
    for (int round = 0; round < 200 && slow.Open() > 0; ++round)
      slow.Trickle(20ms);
    QCOMPARE(slow.Open(), 0);

    // A connection kept alive after its answer is closed when no request follows.
    const int fd = Connect(Port(), 3s);
    const QByteArray request =
        "GET / HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(Port()) + "\r\n\r\n";
    QCOMPARE(::send(fd, request.constData(), request.size(), MSG_NOSIGNAL), request.size());
    bool timedOut = false;
    const QByteArray answer = ReadToEnd(fd, &timedOut);
    ::close(fd);
    QVERIFY(answer.startsWith("HTTP/1.1 200"));
    QVERIFY2(!timedOut, "the idle connection stayed open");
  }

  void oneAddressHoldsAFewConnectionsOnly() {
    Start();
    TSlowClients crowd(Port(), 1, TPicksServer::kConnectionsPerAddress + 2);
    for (int round = 0; round < 250 && crowd.Open() > TPicksServer::kConnectionsPerAddress; ++round)
      crowd.Trickle(20ms);
    QCOMPARE(crowd.Open(), TPicksServer::kConnectionsPerAddress);
    QCOMPARE(HttpProbe::Exchange(Page(), Port(), QStringLiteral("127.0.0.3")).Status, 200);
  }

  void aChunkedBodyOverTheCapIsRefusedUnread() {
    Start();
    const int fd = Connect(Port(), 10s);
    const QByteArray head =
        "POST /entry HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(Port()) +
        "\r\nContent-Type: application/json\r\n"
        "Transfer-Encoding: chunked\r\n\r\n";
    const QByteArray chunk = "1000\r\n" + QByteArray(4096, ' ') + "\r\n";
    QCOMPARE(::send(fd, head.constData(), head.size(), MSG_NOSIGNAL), head.size());
    // Up to 256 MiB, until the server answers or stops taking it.
    qint64 sent = 0;
    while (sent < (qint64(256) << 20)) {
      pollfd ready{fd, POLLIN | POLLOUT, 0};
      if (::poll(&ready, 1, 10000) <= 0 || (ready.revents & ~POLLOUT) != 0)
        break;
      const ssize_t n = ::send(fd, chunk.constData(), chunk.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
      if (n < 0 && errno != EAGAIN)
        break;
      sent += qMax<ssize_t>(n, 0);
    }
    const QByteArray answer = ReadToEnd(fd);
    ::close(fd);
    QVERIFY2(answer.startsWith("HTTP/1.1 413"), answer.left(200).constData());
    QVERIFY(answer.contains("The entry is too large."));
    // What the system's buffers took, at most, not the body.
    QVERIFY2(sent < (qint64(32) << 20), qPrintable(QString::number(sent)));
    QCOMPARE(F->PlayerCount(), 1);

    // An entry in chunks under the cap is taken.
    const QByteArray entry = TServerFixture::Entry("Chunked", "120", F->Winners());
    const qsizetype half = entry.size() / 2;
    const QByteArray chunked = head.chopped(2) + "Connection: close\r\n\r\n" +
                               QByteArray::number(half, 16) + "\r\n" + entry.left(half) + "\r\n" +
                               QByteArray::number(entry.size() - half, 16) + "\r\n" +
                               entry.mid(half) + "\r\n0\r\n\r\n";
    QCOMPARE(HttpProbe::Send(chunked, Port()).Status, 200);
    QCOMPARE(F->PlayerCount(), 2);
  }

  void onlyThisServersNamesAreAnswered_data() {
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<QByteArray>("origin");
    QTest::addColumn<int>("status");
    QTest::newRow("another site's name after rebinding")
        << QByteArray("POST") << QByteArray("evil.example:PORT")
        << QByteArray("http://evil.example:PORT") << 421;
    QTest::newRow("the page under another name")
        << QByteArray("GET") << QByteArray("evil.example:PORT") << QByteArray() << 421;
    QTest::newRow("a look-alike of the address")
        << QByteArray("POST") << QByteArray("127.0.0.1.evil.example:PORT") << QByteArray() << 421;
    QTest::newRow("another port") << QByteArray("POST") << QByteArray("127.0.0.1:1") << QByteArray()
                                  << 421;
    QTest::newRow("no name") << QByteArray("POST") << QByteArray() << QByteArray() << 421;
    QTest::newRow("localhost on loopback")
        << QByteArray("POST") << QByteArray("LocalHost:PORT") << QByteArray() << 200;
  }

  void onlyThisServersNamesAreAnswered() {
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, host);
    QFETCH(QByteArray, origin);
    QFETCH(int, status);
    Start();
    const QByteArray port = QByteArray::number(Port());
    const QByteArray body =
        method == "POST" ? TServerFixture::Entry("New Player", "150", F->Winners()) : QByteArray();
    QByteArray request = method + (method == "POST" ? " /entry" : " /") +
                         " HTTP/1.1\r\nConnection: close\r\nContent-Type: application/json\r\n";
    if (!host.isEmpty())
      request += "Host: " + host.replace("PORT", port) + "\r\n";
    if (!origin.isEmpty())
      request += "Origin: " + origin.replace("PORT", port) + "\r\n";
    request += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    const QByteArray before = F->PlayerFile();

    const auto answer = HttpProbe::Send(request, Port());
    QCOMPARE(answer.Status, status);
    if (status != 200) {
      QVERIFY(answer.Body.contains("only to its own address"));
      QCOMPARE(F->PlayerCount(), 1);
      QCOMPARE(F->PlayerFile(), before);
    }
  }

  void anEntryTheProgramCannotTakeUpIsAnsweredBusyAndNotTaken() {
    Start({10s, 2s, 200ms});
    // Nothing runs the program's events while the entry comes, as under a message box.
    const auto answer = HttpProbe::Exchange(NewEntry(), Port());
    QCOMPARE(answer.Status, 503);
    QVERIFY(answer.Body.contains("busy"));
    QCoreApplication::processEvents();
    QCOMPARE(F->PlayerCount(), 1);
    QVERIFY(!F->Pool.Modified());
    QCOMPARE(HttpProbe::Send(NewEntry(), Port()).Status, 200);
  }

  void aLinkFindsItsPlayerHoweverThePlayerCame() {
    Start();
    TEntryLinks links;
    QString reason;
    QVERIFY2(links.Load(F->PoolDir, &reason), qPrintable(reason));
    // In the pool before the server started, and added in the program while it serves.
    QCOMPARE(Mine(links.Link(QStringLiteral("Already Here"))).value("name").toString(),
             QStringLiteral("Already Here"));
    const TPlayerPicksListObject* added = F->Pool.AddPlayer(QStringLiteral("Added Later"));
    QVERIFY(added);
    const QString link = links.Link(QStringLiteral("Added Later"));
    QCOMPARE(Mine(link).value("name").toString(), QStringLiteral("Added Later"));
    // Gone from the pool, the link finds nobody.
    QVERIFY(F->Pool.DeletePlayer(added));
    QVERIFY(Mine(link).isEmpty());
  }
};

QTEST_MAIN(TestServerHostile)
#include "tst_server_hostile.moc"
