// The pool served read-only once entries are closed, through real connections on loopback: its
// pages follow the pool's files within a poll of the program's clock, without a restart and
// without the pool's lock; nothing but the standings and the players' pages is served, to any
// path, host or crowd.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <future>
#include <memory>

#include "FFDataModule.h"
#include "FakeClock.h"
#include "HttpProbe.h"
#include "LivePool.h"
#include "LiveServer.h"
#include "LiveWhatIf.h"
#include "OpenPool.h"
#include "Outlook.h"
#include "TestPools.h"
#include "WhatIfPage.h"

namespace {

const QString kHostile = QStringLiteral("<b>Eve</b> & \"Co\"");

// Ann's points as the standings page gives them.
int AnnPoints(const QByteArray& page) {
  static const QRegularExpression row(
      QStringLiteral("<a href=\"/player/1\">Ann</a></td><td class=\"total\">(\\d+)</td>"));
  const QRegularExpressionMatch match = row.match(QString::fromUtf8(page));
  return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// A player's points in the table of a what-if page.
int WhatIfPoints(const QByteArray& page, const QString& player) {
  const QRegularExpression row(
      QStringLiteral("<td class=\"name\">%1</td><td class=\"total\">(\\d+)</td>")
          .arg(QRegularExpression::escape(player)));
  const QRegularExpressionMatch match = row.match(QString::fromUtf8(page));
  return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QByteArray Href(const QStringList& winners) {
  return "href=\"" + WhatIfPage::Link(winners).toUtf8() + "\"";
}

// A read works out every player's chances, sampled: seconds under the sanitizers on a busy
// machine.
constexpr int kReadWait = 120000;

}  // namespace

class TestLiveServer : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir FDir;
  QString FPoolDir;
  std::unique_ptr<TFakeClock> FClock;
  std::unique_ptr<TLiveServer> FServer;

  quint16 Port() const { return FServer->Port(); }

  HttpProbe::TAnswer Get(const QByteArray& path, const HttpProbe::THeaders& headers = {},
                         const QString& from = {}) {
    return HttpProbe::Exchange(HttpProbe::Request("GET", path, Port(), {}, headers), Port(), from);
  }

  // A what-if page, asked again once the one being worked out is done: under the sanitizers a
  // what-if may take longer than a request waits for it.
  HttpProbe::TAnswer WhatIf(const QStringList& winners) {
    const QByteArray path = WhatIfPage::Link(winners).toUtf8();
    HttpProbe::TAnswer answer = Get(path);
    if (answer.Status == 503 &&
        QTest::qWaitFor([this] { return !FServer->WorkingOutWhatIf(); }, kReadWait))
      answer = Get(path);
    return answer;
  }

  // The organiser's window wins the game of chart line `slot`, through the document, and saves.
  void Win(int slot) {
    TOpenPool document;
    document.SetDataModule(TestPools::OpenPool(FPoolDir));
    QVERIFY(document.AdvanceTeam(slot));
    QVERIFY(document.Save());
    document.Close();
  }

 private slots:
  // One pool and one server for every test: the tests that change the pool come last.
  void initTestCase() {
    FClock = std::make_unique<TFakeClock>();
    FPoolDir = FDir.filePath(QStringLiteral("Live.BGD"));
    TestPools::SaveFullPool(FPoolDir, true);
    {
      auto pool = TestPools::OpenPool(FPoolDir);
      // Ann takes the team of line 1 to the third round, Bob its first opponent to the second.
      TestPools::AddPicks(*pool, QStringLiteral("Ann"), 140, {{TestPools::LineTeam(0), 3}});
      TestPools::AddPicks(*pool, QStringLiteral("Bob"), 150, {{TestPools::LineTeam(1), 2}});
      TestPools::AddPlayer(*pool, kHostile, 130);
      QVERIFY(pool->SavePool());
      pool->ClosePool();
    }
    Win(1);
    FServer = std::make_unique<TLiveServer>(FPoolDir);
    TLiveServer::TLimits limits;
    limits.Request = std::chrono::milliseconds(3000);
    FServer->SetLimits(limits);
    QString reason;
    QVERIFY2(FServer->Start(QStringLiteral("127.0.0.1"), 0, &reason), qPrintable(reason));
  }

  void cleanupTestCase() {
    FServer.reset();
    FClock.reset();
  }

  void onlyTheStandingsAndThePlayersAreServed_data() {
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<int>("status");
    QTest::newRow("standings") << QByteArray("/") << 200;
    QTest::newRow("first player") << QByteArray("/player/1") << 200;
    QTest::newRow("escaped digit") << QByteArray("/player/%33") << 200;
    QTest::newRow("no such player") << QByteArray("/player/4") << 404;
    QTest::newRow("zero") << QByteArray("/player/0") << 404;
    QTest::newRow("leading zero") << QByteArray("/player/01") << 404;
    QTest::newRow("too many digits") << QByteArray("/player/12345678") << 404;
    QTest::newRow("beyond int") << QByteArray("/player/99999999999999999999") << 404;
    QTest::newRow("negative") << QByteArray("/player/-1") << 404;
    QTest::newRow("trailing slash") << QByteArray("/player/1/") << 404;
    QTest::newRow("climbing") << QByteArray("/player/1%2F..%2F..%2FTeams.dat") << 404;
    QTest::newRow("nul") << QByteArray("/player/1%00") << 404;
    QTest::newRow("a pool file") << QByteArray("/Teams.dat") << 404;
    QTest::newRow("entry data") << QByteArray("/data") << 404;
  }

  void onlyTheStandingsAndThePlayersAreServed() {
    QFETCH(QByteArray, path);
    QFETCH(int, status);
    const HttpProbe::TAnswer answer = Get(path);
    QCOMPARE(answer.Status, status);
    // Nothing that runs, on any answer.
    QVERIFY(answer.Headers.value("content-security-policy").startsWith("default-src 'none';"));
    QVERIFY(!answer.Headers.value("content-security-policy").contains("script"));
    QCOMPARE(answer.Headers.value("x-frame-options"), QByteArray("DENY"));
    if (status != 200)
      QVERIFY(!answer.Body.contains("<"));
  }

  void namesFromPlayersAreText() {
    const QByteArray page = Get("/").Body;
    QVERIFY(!page.contains("<b>Eve"));
    QVERIFY(page.contains("<a href=\"/player/3\">&lt;b&gt;Eve&lt;/b&gt; &amp; &quot;Co&quot;</a>"));
    const QByteArray own = Get("/player/3").Body;
    QVERIFY(own.contains("<h1>&lt;b&gt;Eve&lt;/b&gt; &amp; &quot;Co&quot;</h1>"));
  }

  void otherRequestsAreRefused() {
    // Another site's name for this address, a body, a method of changes, a request too long.
    const QByteArray elsewhere =
        "GET / HTTP/1.1\r\nHost: pool.example:" + QByteArray::number(Port()) + "\r\n\r\n";
    QCOMPARE(HttpProbe::Exchange(elsewhere, Port()).Status, 421);
    QCOMPARE(HttpProbe::Exchange(HttpProbe::Request("POST", "/", Port(), "x=1"), Port()).Status,
             404);
    QCOMPARE(HttpProbe::Exchange(HttpProbe::Request("DELETE", "/player/1", Port()), Port()).Status,
             404);
    QCOMPARE(Get("/?" + QByteArray(4000, 'a')).Status, 200);
    QVERIFY(Get("/?" + QByteArray(TLiveServer::kMaxRequest * 4, 'a')).Status != 200);
  }

  void requestsAreCappedPerAddress() {
    for (int i = 0; i < TLiveServer::kRequestsPerMinute; ++i)
      QCOMPARE(Get("/player/1", {}, QStringLiteral("127.0.0.2")).Status, 200);
    QCOMPARE(Get("/player/1", {}, QStringLiteral("127.0.0.2")).Status, 429);
    QCOMPARE(Get("/player/1", {}, QStringLiteral("127.0.0.3")).Status, 200);
    FClock->AdvanceSeconds(61);
    QCOMPARE(Get("/player/1", {}, QStringLiteral("127.0.0.2")).Status, 200);
  }

  // A game of the rooting guide links to its what-if, whose page links the next game once both
  // its teams are known: two winners later, Ann's team has won the game she picked it for.
  void whatIfsFollowTheRootingGuide() {
    const QString first = TestPools::LineTeam(2);
    const QString ann = TestPools::LineTeam(0);
    QVERIFY(Get("/").Body.contains(Href({first})));
    const HttpProbe::TAnswer one = WhatIf({first});
    QCOMPARE(one.Status, 200);
    QVERIFY(one.Body.contains(
        QStringLiteral("<li>%1 beat %2</li>").arg(first, TestPools::LineTeam(3)).toUtf8()));
    QCOMPARE(WhatIfPoints(one.Body, "Ann"), 1);
    QVERIFY(one.Body.contains(Href({first, ann})));
    const HttpProbe::TAnswer two = WhatIf({first, ann});
    QCOMPARE(two.Status, 200);
    QCOMPARE(WhatIfPoints(two.Body, "Ann"), 3);
    // Names as the pool matches them, the page saying them as the pool spells them.
    const QByteArray shouted = "/whatif?assume=" + first.toUpper().toUtf8().toPercentEncoding();
    QVERIFY(Get(shouted).Body.contains(QStringLiteral("<li>%1 beat").arg(first).toUtf8()));
  }

  void whatIfQueriesAreChecked_data() {
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("said");
    const QByteArray ann = TestPools::LineTeam(0).toUtf8().toPercentEncoding();
    QTest::newRow("no field") << QByteArray("") << 400 << QByteArray("no winner");
    QTest::newRow("no team") << QByteArray("assume=Dook") << 400 << QByteArray("not in this pool");
    QTest::newRow("markup") << QByteArray("assume=%3Cb%3EEve") << 400
                            << QByteArray("not in this pool");
    QTest::newRow("no opponent yet") << "assume=" + ann << 400 << QByteArray("no opponent yet");
    QByteArray many = "assume=" + ann;
    for (int i = 0; i < kMaxAssumed; ++i)
      many += "," + ann;
    QTest::newRow("more than a chart") << many << 400 << QByteArray("at most 63");
    QTest::newRow("too long") << "assume=" + QByteArray(TLiveServer::kMaxWhatIf, 'a') << 414
                              << QByteArray("too long");
  }

  // What the address says is matched against the pool's teams, never echoed; a winner who
  // cannot win is refused in plain words.
  void whatIfQueriesAreChecked() {
    QFETCH(QByteArray, query);
    QFETCH(int, status);
    QFETCH(QByteArray, said);
    const HttpProbe::TAnswer answer = Get("/whatif?" + query, {}, QStringLiteral("127.0.0.4"));
    QCOMPARE(answer.Status, status);
    QVERIFY2(answer.Body.contains(said), answer.Body.constData());
    QVERIFY(answer.Headers.value("content-type").startsWith("text/plain"));
    QVERIFY(!answer.Body.contains("<") && !answer.Body.contains("Dook"));
  }

  // Many what-ifs asked at once: one is worked out at a time, the others are told when to come
  // back, and the standings are served meanwhile.
  void aFloodOfWhatIfsLeavesTheStandings() {
    std::vector<std::future<HttpProbe::TAnswer>> flood;
    for (int line = 4; line < 36; line += 2) {
      const QByteArray path = WhatIfPage::Link({TestPools::LineTeam(line)}).toUtf8();
      const quint16 port = Port();
      // Each from an address of its own, under the cap of connections per address.
      const QString from = QStringLiteral("127.0.1.%1").arg(line);
      flood.push_back(std::async(std::launch::async, [path, port, from] {
        return HttpProbe::Exchange(HttpProbe::Request("GET", path, port), port, from);
      }));
    }
    QCOMPARE(Get("/").Status, 200);
    QCOMPARE(Get("/player/1").Status, 200);
    int busy = 0;
    for (auto& answer : flood) {
      const HttpProbe::TAnswer got = answer.get();
      QVERIFY2(got.Status == 200 || got.Status == 503, qPrintable(QString::number(got.Status)));
      if (got.Status == 503) {
        ++busy;
        QCOMPARE(got.Headers.value("retry-after"),
                 QByteArray::number(TLiveWhatIf::kRetryAfterSeconds));
      }
    }
    QVERIFY(busy > 0);
  }

  // A result saved while the server runs, by a document that takes the lock the server does
  // not hold, shows once the read that the first look after a poll starts is done; the pages
  // as last read are served meanwhile, and only files that changed are read again.
  void aResultSavedWhileServingShowsWithinAPoll() {
    QCOMPARE(AnnPoints(Get("/").Body), 1);
    Win(65);
    QCOMPARE(AnnPoints(Get("/").Body), 1);
    FClock->Advance(TLivePool::kPollInterval - 1);
    QCOMPARE(AnnPoints(Get("/").Body), 1);
    QCOMPARE(FServer->Reads(), 1);
    FClock->Advance(1);
    QCOMPARE(AnnPoints(Get("/").Body), 1);
    QCOMPARE(FServer->Reads(), 2);
    QTRY_VERIFY_WITH_TIMEOUT(!FServer->Reading(), kReadWait);
    QCOMPARE(AnnPoints(Get("/").Body), 3);
    FClock->Advance(TLivePool::kPollInterval);
    const QByteArray page = Get("/").Body;
    QCOMPARE(FServer->Reads(), 2);
    // The standings name the rule and give Bob's bracket, his pick lost, struck through.
    QVERIFY(page.contains("<h2>Standings</h2>"));
    const QByteArray bob = Get("/player/2").Body;
    QVERIFY(bob.contains("<h1>Bob</h1>"));
    QVERIFY(bob.contains("<span class=\"lost\">" + TestPools::LineTeam(1).toUtf8() + "</span>"));
    QVERIFY(bob.contains("<svg"));

    // A pool whose files cannot be read keeps its last pages until a read succeeds.
    const QString teams = QDir(FPoolDir).filePath(QStringLiteral("Teams.dat"));
    QVERIFY(QFile::rename(teams, teams + ".away"));
    FClock->Advance(TLivePool::kPollInterval);
    Get("/");
    QCOMPARE(FServer->Reads(), 3);
    QTRY_VERIFY_WITH_TIMEOUT(!FServer->Reading(), kReadWait);
    QCOMPARE(AnnPoints(Get("/").Body), 3);
    QVERIFY(QFile::rename(teams + ".away", teams));
    Win(3);
    FClock->Advance(TLivePool::kPollInterval);
    Get("/");
    QTRY_VERIFY_WITH_TIMEOUT(!FServer->Reading(), kReadWait);
    QCOMPARE(FServer->Reads(), 4);
    QCOMPARE(AnnPoints(Get("/").Body), 3);
  }
};

QTEST_MAIN(TestLiveServer)
#include "tst_live_server.moc"
