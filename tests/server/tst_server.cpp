// The picks server against real HTTP requests on the loopback address: entries taken through
// the document and saved, every refusal leaving the pool as it was, the private links, the
// caps and the headers.
#include <sys/stat.h>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>
#include <cstdio>
#include <memory>

#include "EntryDesk.h"
#include "EntryLinks.h"
#include "FakeClock.h"
#include "HttpProbe.h"
#include "PicksServer.h"
#include "SafeFile.h"
#include "ServerFixture.h"

using HttpProbe::PostEntry;

class TestServer : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TServerFixture> F;
  std::unique_ptr<TPicksServer> Server;

  quint16 Port() const { return Server->Port(); }

  HttpProbe::TAnswer Post(const QByteArray& body, const HttpProbe::THeaders& headers = {}) {
    return HttpProbe::Send(PostEntry(body, Port(), headers), Port());
  }

  QString LinkOf(const QString& name, const QString& guess) {
    const auto answer = Post(TServerFixture::Entry(name, guess, F->Winners()));
    if (answer.Status != 200)
      qFatal("the entry of %s was refused: %s", qPrintable(name), answer.Body.constData());
    return TServerFixture::Json(answer.Body).value(QStringLiteral("link")).toString();
  }

  // Every answer is one a careful site gives.
  static void CheckHeaders(const HttpProbe::TAnswer& answer) {
    QCOMPARE(answer.Headers.value("x-content-type-options"), QByteArray("nosniff"));
    QVERIFY(answer.Headers.value("content-security-policy").startsWith("default-src 'none'"));
    QCOMPARE(answer.Headers.value("x-frame-options"), QByteArray("DENY"));
    QVERIFY(answer.Headers.contains("content-type"));
  }

 private slots:
  void init() {
    F = std::make_unique<TServerFixture>();
    Server = std::make_unique<TPicksServer>(F->Pool);
    QString reason;
    QVERIFY2(Server->Start(QStringLiteral("127.0.0.1"), 0, QDateTime(), &reason),
             qPrintable(reason));
  }

  void cleanup() {
    Server.reset();
    F.reset();
  }

  void aFullEntryJoinsThePoolIsSavedAndCanBeTakenBack() {
    const QByteArray before = F->PlayerFile();
    QSignalSpy players(&F->Pool, &TOpenPool::PlayersInserted);
    QSignalSpy leaving(&F->Pool, &TOpenPool::PlayersRemoved);
    QSignalSpy taken(Server.get(), &TPicksServer::EntryTaken);
    const QStringList winners = F->Winners();
    const auto answer = Post(TServerFixture::Entry(QStringLiteral("José Muñoz"), "141", winners));
    QCOMPARE(answer.Status, 200);
    CheckHeaders(answer);
    const QJsonObject said = TServerFixture::Json(answer.Body);
    QVERIFY(said.value(QStringLiteral("ok")).toBool());
    QCOMPARE(said.value(QStringLiteral("link")).toString().size(), 43);
    QCOMPARE(players.count(), 1);
    QCOMPARE(taken.count(), 1);
    QVERIFY(!F->Pool.Modified());

    // On disk, exactly what was sent.
    auto saved = TestPools::OpenPool(F->PoolDir);
    QCOMPARE(saved->PlayerPicksFile().Count(), 2);
    const TPlayerPicksListObject* player = saved->PlayerPicksFile().FindPlayer("José Muñoz");
    QVERIFY(player);
    QCOMPARE(TPicksSheet(*saved).PlayerRow(*player),
             QStringList({QStringLiteral("José Muñoz"), QStringLiteral("141")}) + winners);
    saved->ClosePool();

    // Taken back, the entry leaves the files at once, and it can be made again.
    const QByteArray withEntry = F->PlayerFile();
    QCOMPARE(Server->UndoStack()->undoText(), QStringLiteral("Entry of José Muñoz"));
    QString why;
    QVERIFY(Server->UndoEntry(&why));
    QCOMPARE(F->PlayerCount(), 1);
    QCOMPARE(leaving.count(), 1);
    QVERIFY(!F->Pool.Modified());
    QCOMPARE(F->PlayerFile(), before);
    QVERIFY(Server->RedoEntry(&why));
    QCOMPARE(F->PlayerFile(), withEntry);
    // A player of that name typed in since: the entry is not put back beside it.
    QVERIFY(Server->UndoEntry(&why));
    QVERIFY(F->Pool.AddPlayer(QStringLiteral("José Muñoz")));
    QVERIFY(!Server->RedoEntry(&why));
    QCOMPARE(why, TEntryDesk::kNameTakenSince.arg(QStringLiteral("José Muñoz")));
    QCOMPARE(F->PlayerCount(), 2);
  }

  // A winner entered while the server runs closes the entries that moment: a new entry and a
  // change through a private link are refused, and no file changes.
  void aResultClosesEntriesAtOnce() {
    const QString link = LinkOf(QStringLiteral("Dana"), QStringLiteral("100"));
    QSignalSpy closed(Server.get(), &TPicksServer::EntriesClosed);
    QVERIFY(F->Pool.AdvanceTeam(1));
    QCOMPARE(closed.count(), 1);
    const QStringList files{"System.dat", "Teams.dat", "PlayPick.dat"};
    QList<QByteArray> before;
    for (const QString& file : files)
      before << TestPools::ReadBytes(QDir(F->PoolDir).filePath(file));
    for (const QString& with : {QString(), link}) {
      const auto answer = Post(TServerFixture::Entry("Dana", "200", F->Winners(), with));
      QCOMPARE(answer.Status, 403);
      QVERIFY2(answer.Body.contains(TEntryDesk::kTournamentBegun.toUtf8()), answer.Body.data());
    }
    const auto data = HttpProbe::Send(HttpProbe::Request("GET", "/data", Port()), Port());
    QCOMPARE(TServerFixture::Json(data.Body).value(QStringLiteral("open")).toBool(), false);
    QCOMPARE(TServerFixture::Json(data.Body).value(QStringLiteral("closedReason")).toString(),
             TEntryDesk::kTournamentBegun);
    QCOMPARE(F->Pool.DataModule()->PlayerPicksFile().Items(1)->TieBreakerPoints(), 100);
    for (int i = 0; i < files.size(); ++i)
      QCOMPARE(TestPools::ReadBytes(QDir(F->PoolDir).filePath(files[i])), before[i]);
    // Nor does it start again on a pool with a result.
    Server->Stop();
    QString reason;
    QVERIFY(!Server->Start(QStringLiteral("127.0.0.1"), 0, QDateTime(), &reason));
    QCOMPARE(reason, TEntryDesk::kTournamentBegun);
  }

  void eachRefusalLeavesThePoolAsItWas_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");
    QTest::newRow("bad pick path") << "path" << 422 << "\"R1S8\" does not play in this game";
    QTest::newRow("later pick path")
        << "later" << 422 << "\"R1S16\" did not win a game that leads to this one";
    QTest::newRow("unknown team") << "team" << 422 << "\"Nobody\" is not a team of this pool";
    QTest::newRow("guess out of range")
        << "guess" << 422 << "must be a whole number from 0 to 999, not \"1000\"";
    QTest::newRow("empty name") << "empty" << 422 << "the player name is empty";
    // JSON may carry half a surrogate pair; no pool can store it, and it is not made a "?".
    QTest::newRow("half a character") << "surrogate" << 422 << "a character a pool cannot store";
    QTest::newRow("nothing in it") << "blank" << 422 << "the player name is empty";
    QTest::newRow("duplicate name") << "duplicate" << 409 << TEntryDesk::kNameTaken;
    QTest::newRow("another player's link") << "link" << 403 << "belongs to another entry";
    QTest::newRow("after closing") << "closed" << 403 << "Entries are closed.";
    QTest::newRow("oversized body") << "large" << 413 << "The entry is too large.";
    QTest::newRow("malformed JSON") << "json" << 400 << "The entry could not be read";
    QTest::newRow("not JSON") << "type" << 415 << "An entry is sent as JSON.";
    QTest::newRow("another site") << "origin" << 403 << "from this page only";
    QTest::newRow("a file of the pool") << "file" << 404 << "nothing here but the entry page";
  }

  void eachRefusalLeavesThePoolAsItWas() {
    QFETCH(QString, kind);
    QFETCH(int, status);
    QFETCH(QString, said);
    const QByteArray before = F->PlayerFile();
    QStringList winners = F->Winners();
    QString name = QStringLiteral("New Player");
    QString guess = QStringLiteral("150");
    QString link;
    HttpProbe::THeaders headers;
    QByteArray request;
    if (kind == "path") {
      winners[0] = QStringLiteral("R1S8");  // the game of R1S1 and R1S16
    } else if (kind == "later") {
      winners[32] = QStringLiteral("R1S16");  // R1S1 won the game before
    } else if (kind == "team") {
      winners[5] = QStringLiteral("Nobody");
    } else if (kind == "guess") {
      guess = QStringLiteral("1000");
    } else if (kind == "empty") {
      name = QStringLiteral("  ");
    } else if (kind == "surrogate") {
      name = QChar(0xD800) + QStringLiteral("Bob");
    } else if (kind == "blank") {
      name.clear();
      guess.clear();
      winners.fill(QString());
    } else if (kind == "duplicate") {
      name = QStringLiteral("Already Here");
    } else if (kind == "link") {
      link = LinkFor(QStringLiteral("Already Here"));
    } else if (kind == "closed") {
      Server->SetCloses(QDateTime::currentDateTime().addSecs(-1));
    } else if (kind == "large") {
      request = PostEntry(QByteArray(TPicksServer::kMaxBody + 1, ' '), Port());
    } else if (kind == "json") {
      request = PostEntry("{\"name\": \"New Player\", ", Port());
    } else if (kind == "type") {
      request =
          HttpProbe::Request("POST", "/entry", Port(), TServerFixture::Entry(name, guess, winners),
                             {{"Content-Type", "text/plain"}});
    } else if (kind == "origin") {
      headers << qMakePair(QByteArray("Origin"), QByteArray("http://elsewhere.example"));
    } else if (kind == "file") {
      request = HttpProbe::Request("GET", "/PlayPick.dat", Port());
    }
    if (request.isEmpty())
      request = PostEntry(TServerFixture::Entry(name, guess, winners, link), Port(), headers);

    const auto answer = HttpProbe::Send(request, Port());
    QCOMPARE(answer.Status, status);
    CheckHeaders(answer);
    const QJsonObject refusal = TServerFixture::Json(answer.Body);
    QStringList texts;
    for (const QJsonValue& problem : refusal.value(QStringLiteral("problems")).toArray())
      texts << problem.toObject().value(QStringLiteral("text")).toString();
    QVERIFY2(texts.join(' ').contains(said), answer.Body.constData());
    QVERIFY(!refusal.value(QStringLiteral("ok")).toBool());
    QCOMPARE(F->PlayerCount(), 1);
    QVERIFY(!F->Pool.Modified());
    QCOMPARE(F->PlayerFile(), before);
    if (kind == "closed") {
      const auto data = HttpProbe::Send(HttpProbe::Request("GET", "/data", Port()), Port());
      QCOMPARE(TServerFixture::Json(data.Body).value(QStringLiteral("open")).toBool(), false);
    }
  }

  void anEntryChangesThroughItsOwnLinkOnly() {
    const QString link = LinkOf(QStringLiteral("Dana"), QStringLiteral("100"));
    // Without the link the name is taken.
    QCOMPARE(Post(TServerFixture::Entry("Dana", "200", F->Winners())).Status, 409);
    // With it the entry changes, in its place.
    const auto changed = Post(TServerFixture::Entry("Dana", "200", F->Winners(), link));
    QCOMPARE(changed.Status, 200);
    QVERIFY(TServerFixture::Json(changed.Body).value(QStringLiteral("replaced")).toBool());
    QCOMPARE(F->PlayerCount(), 2);
    QCOMPARE(F->Pool.DataModule()->PlayerPicksFile().Items(1)->TieBreakerPoints(), 200);

    // Only the link reads the entry back.
    auto mine = [this](const QByteArray& link) {
      HttpProbe::THeaders headers;
      if (!link.isEmpty())
        headers << qMakePair(QByteArray("X-Entry-Link"), link);
      const auto data =
          HttpProbe::Send(HttpProbe::Request("GET", "/data", Port(), {}, headers), Port());
      return TServerFixture::Json(data.Body).value(QStringLiteral("mine")).toObject();
    };
    const QJsonObject own = mine(link.toLatin1());
    QCOMPARE(own.value(QStringLiteral("name")).toString(), QStringLiteral("Dana"));
    QCOMPARE(own.value(QStringLiteral("guess")).toString(), QStringLiteral("200"));
    QCOMPARE(own.value(QStringLiteral("winners")).toArray().size(), TPicksSheet::kGameCount);
    QVERIFY(mine({}).isEmpty());
    QVERIFY(mine(QByteArray(43, 'A')).isEmpty());
  }

  // With a file mode mask of 000 and a folder open to all, the key is no more open than 0600
  // at any moment: seen in its staged copy as its bytes are written, and in its place after.
  void theKeyIsNeverOpenToOthers() {
    Server->Stop();
    const QString key = QDir(F->PoolDir).filePath(TEntryLinks::kKeyFile);
    QVERIFY(QFile::remove(key));
    QVERIFY(QFile::setPermissions(F->PoolDir, QFileDevice::Permissions(0x7777)));
    QList<mode_t> staged;
    DiskFile::SetFault([&staged](DiskFile::TCall call, const QString& path) {
      struct stat status {};
      if (call == DiskFile::TCall::Write && path.contains(TEntryLinks::kKeyFile) &&
          ::stat(QFile::encodeName(path).constData(), &status) == 0)
        staged << (status.st_mode & 0777);
      return 0;
    });
    const mode_t mask = ::umask(0);
    QString reason;
    const bool started = Server->Start(QStringLiteral("127.0.0.1"), 0, QDateTime(), &reason);
    ::umask(mask);
    DiskFile::SetFault({});
    QVERIFY2(started, qPrintable(reason));
    QCOMPARE(staged, QList<mode_t>{0600});
    struct stat status {};
    QCOMPARE(::stat(QFile::encodeName(key).constData(), &status), 0);
    QCOMPARE(status.st_mode & 0777, mode_t{0600});
  }

  // The organiser takes every link back by deleting the key, while the server runs.
  void aDeletedKeyStopsTheOldLinksAtOnce() {
    const QString link = LinkOf(QStringLiteral("Dana"), QStringLiteral("100"));
    QVERIFY(QFile::remove(QDir(F->PoolDir).filePath(TEntryLinks::kKeyFile)));
    const auto forged = Post(TServerFixture::Entry("Dana", "200", F->Winners(), link));
    QCOMPARE(forged.Status, 403);
    QCOMPARE(F->Pool.DataModule()->PlayerPicksFile().Items(1)->TieBreakerPoints(), 100);
    const auto data = HttpProbe::Send(
        HttpProbe::Request("GET", "/data", Port(), {}, {{"X-Entry-Link", link.toLatin1()}}),
        Port());
    QVERIFY(!TServerFixture::Json(data.Body).contains(QStringLiteral("mine")));
    // A new entry gets a link under a new key, and that link works.
    const QString fresh = LinkOf(QStringLiteral("Eli"), QStringLiteral("90"));
    QVERIFY(fresh != link);
    QCOMPARE(Post(TServerFixture::Entry("Eli", "91", F->Winners(), fresh)).Status, 200);
  }

  // A key replaced stops the old links at once too, also once the server knows the key's file
  // by its stamp rather than reading it at every link: written over in its place as a copy
  // that keeps its times does, or another file renamed onto it.
  void aReplacedKeyStopsTheOldLinksAtOnce() {
    // The key's file has stood unchanged for long, as far as the program can tell.
    TFakeClock clock(QDateTime::currentDateTime().addSecs(60));
    const QString key = QDir(F->PoolDir).filePath(TEntryLinks::kKeyFile);
    const QString dana = LinkOf(QStringLiteral("Dana"), QStringLiteral("100"));
    QCOMPARE(Post(TServerFixture::Entry("Dana", "101", F->Winners(), dana)).Status, 200);
    {
      QFile file(key);
      QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
      QCOMPARE(file.write(QByteArray(TEntryLinks::kKeySize, 'a')), qint64{TEntryLinks::kKeySize});
      QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                               QFileDevice::FileModificationTime));
    }
    QCOMPARE(Post(TServerFixture::Entry("Dana", "102", F->Winners(), dana)).Status, 403);

    const QString eli = LinkOf(QStringLiteral("Eli"), QStringLiteral("90"));
    QCOMPARE(Post(TServerFixture::Entry("Eli", "91", F->Winners(), eli)).Status, 200);
    {
      QFile file(key + QStringLiteral(".new"));
      QVERIFY(file.open(QIODevice::WriteOnly));
      QCOMPARE(file.write(QByteArray(TEntryLinks::kKeySize, 'b')), qint64{TEntryLinks::kKeySize});
    }
    QVERIFY(::rename(QFile::encodeName(key + QStringLiteral(".new")).constData(),
                     QFile::encodeName(key).constData()) == 0);
    QCOMPARE(Post(TServerFixture::Entry("Eli", "92", F->Winners(), eli)).Status, 403);
    QCOMPARE(F->Pool.DataModule()->PlayerPicksFile().FindPlayer(QStringLiteral("Dana"))->TieBreakerPoints(), 101);
    QCOMPARE(F->Pool.DataModule()->PlayerPicksFile().FindPlayer(QStringLiteral("Eli"))->TieBreakerPoints(), 91);
  }

  // Blanks, letter case and invisible characters make no new player: a look-alike of a name is
  // that player's, refused without its link and changing that entry with it; a new name is
  // stored in its normal form.
  void lookAlikesAreTheSamePlayer() {
    const QString link = LinkOf(QStringLiteral("Link Alice"), QStringLiteral("100"));
    for (const QString& name : {QStringLiteral("Link Alice "), QStringLiteral(" Link Alice"),
                                QStringLiteral("link alice"), QStringLiteral("Link\u00a0Alice"),
                                QStringLiteral("Link Al\u00adice")}) {
      const auto answer = Post(TServerFixture::Entry(name, "200", F->Winners()));
      QCOMPARE(answer.Status, 409);
      const QJsonArray problems =
          TServerFixture::Json(answer.Body).value(QStringLiteral("problems")).toArray();
      QCOMPARE(problems.size(), 1);
      const QJsonObject problem = problems.first().toObject();
      QCOMPARE(problem.value(QStringLiteral("field")).toString(), QStringLiteral("name"));
      QCOMPARE(problem.value(QStringLiteral("text")).toString(), TEntryDesk::kNameTaken);
      QCOMPARE(problem.value(QStringLiteral("existing")).toString(), QStringLiteral("Link Alice"));
    }
    QCOMPARE(F->PlayerCount(), 2);

    const auto changed = Post(TServerFixture::Entry(" link ALICE", "200", F->Winners(), link));
    QCOMPARE(changed.Status, 200);
    const QJsonObject said = TServerFixture::Json(changed.Body);
    QVERIFY(said.value(QStringLiteral("replaced")).toBool());
    QCOMPARE(said.value(QStringLiteral("name")).toString(), QStringLiteral("Link Alice"));
    QCOMPARE(said.value(QStringLiteral("link")).toString(), link);
    QCOMPARE(F->Pool.DataModule()->PlayerPicksFile().Items(1)->TieBreakerPoints(), 200);

    const auto bob =
        Post(TServerFixture::Entry("\u00a0 Link\u00ad \u2003Bob ", "90", F->Winners()));
    QCOMPARE(bob.Status, 200);
    QCOMPARE(TServerFixture::Json(bob.Body).value(QStringLiteral("link")).toString(),
             LinkFor(QStringLiteral("Link Bob")));
    QCOMPARE(F->Pool.DataModule()->PlayerPicksFile().Items(2)->PlayerName(),
             QStringLiteral("Link Bob"));
  }

  // A player an older pool keeps with blanks around the name changes the entry with its link,
  // though the page sends the name trimmed; the link opens that entry only.
  void aLinkOpensItsOwnEntryAmongLookAlikes() {
    std::vector<TIncomingPlayer> older;
    for (const QString& name : {QStringLiteral("old timer"), QStringLiteral("Old Timer ")}) {
      older.push_back(
          {TPlayerPicksListObject::CreateFromTeams(F->Pool.DataModule()->TeamsFile()), nullptr});
      older.back().Player->SetPlayerName(name);
    }
    F->Pool.ImportPlayers(std::move(older));
    const auto answer = Post(TServerFixture::Entry("Old Timer", "77", F->Winners(),
                                                   LinkFor(QStringLiteral("Old Timer "))));
    QCOMPARE(answer.Status, 200);
    QCOMPARE(TServerFixture::Json(answer.Body).value(QStringLiteral("name")).toString(),
             QStringLiteral("Old Timer "));
    const TPlayerPicksFile& players = F->Pool.DataModule()->PlayerPicksFile();
    QCOMPARE(players.Count(), 3);
    QCOMPARE(players.Items(1)->TieBreakerPoints(), 0);
    QCOMPARE(players.Items(2)->TieBreakerPoints(), 77);
  }

  void thePageNeedsNothingElse() {
    const auto page = HttpProbe::Send(HttpProbe::Request("GET", "/", Port()), Port());
    QCOMPARE(page.Status, 200);
    CheckHeaders(page);
    QCOMPARE(page.Headers.value("content-type"), QByteArray("text/html; charset=utf-8"));
    QVERIFY(page.Headers.value("content-security-policy").contains("script-src 'sha256-"));
    QCOMPARE(page.Body.count("<script>"), 1);
    QCOMPARE(page.Body.count("<style>"), 1);
    QVERIFY(!page.Body.contains(" src="));
    QVERIFY(!page.Body.contains("href=\"http"));
    // Names reach the page as data, never as markup.
    QVERIFY(!page.Body.contains("innerHTML"));
    const auto data = HttpProbe::Send(HttpProbe::Request("GET", "/data", Port()), Port());
    QCOMPARE(TServerFixture::Json(data.Body).value(QStringLiteral("pool")).toString(),
             QStringLiteral("Office <Pool> & \"Friends\""));
  }

  // Each address has a minute's worth of requests; the minute is the platform clock's, moved
  // by the test.
  void requestsAreCappedPerAddress() {
    TFakeClock clock;
    const QByteArray page = HttpProbe::Request("GET", "/", Port());
    for (int i = 0; i < TPicksServer::kRequestsPerMinute; ++i)
      QCOMPARE(HttpProbe::Exchange(page, Port(), QStringLiteral("127.0.0.2")).Status, 200);
    const auto refused = HttpProbe::Exchange(page, Port(), QStringLiteral("127.0.0.2"));
    QCOMPARE(refused.Status, 429);
    CheckHeaders(refused);
    QCOMPARE(HttpProbe::Exchange(page, Port(), QStringLiteral("127.0.0.3")).Status, 200);
    clock.AdvanceSeconds(59);
    QCOMPARE(HttpProbe::Exchange(page, Port(), QStringLiteral("127.0.0.2")).Status, 429);
    clock.AdvanceSeconds(2);
    QCOMPARE(HttpProbe::Exchange(page, Port(), QStringLiteral("127.0.0.2")).Status, 200);
  }

  // Entries that arrived together are saved together: when that save fails, every one of them
  // is taken out of the pool again, and none of them can be made again by a redo.
  void aBatchThatCannotBeSavedIsTakenBackWhole() {
    Server->Stop();
    TEntryLinks links;
    QString reason;
    QVERIFY2(links.Load(F->PoolDir, &reason), qPrintable(reason));
    TEntryDesk desk(F->Pool, links);
    const QByteArray before = F->PlayerFile();
    const int players = F->PlayerCount();
    for (const char* name : {"Gus", "Hal", "Ida"}) {
      TOnlineEntry entry;
      QVERIFY(TOnlineEntry::FromJson(TServerFixture::Entry(name, "100", F->Winners()), &entry,
                                     &reason));
      QCOMPARE(desk.Take(entry).Status, 200);
    }
    QCOMPARE(F->PlayerCount(), players + 3);
    const QString staged = QDir(F->PoolDir).filePath(QStringLiteral("PlayPick.dat.new"));
    QVERIFY(QDir().mkpath(staged));
    QVERIFY(!desk.Commit());
    QVERIFY(QDir(staged).removeRecursively());
    QCOMPARE(F->PlayerCount(), players);
    QVERIFY(!desk.UndoStack()->canRedo());
    QCOMPARE(F->PlayerFile(), before);
  }

  void anEntryThePoolCannotSaveIsNotTaken() {
    // A folder where the save puts the new player file makes the save fail for real.
    const QString staged = QDir(F->PoolDir).filePath(QStringLiteral("PlayPick.dat.new"));
    QVERIFY(QDir().mkpath(staged));
    QSignalSpy taken(Server.get(), &TPicksServer::EntryTaken);
    QSignalSpy failed(&F->Pool, &TOpenPool::FileError);
    QSignalSpy refused(Server.get(), &TPicksServer::EntryRefused);
    const auto answer = Post(TServerFixture::Entry("Eve", "99", F->Winners()));
    QCOMPARE(answer.Status, 503);
    QVERIFY(answer.Body.contains("could not be saved"));
    QCOMPARE(F->PlayerCount(), 1);
    QCOMPARE(taken.count(), 0);
    // The document tells the window why, naming the file; so does the server's log, while the
    // player hears only to try again.
    QCOMPARE(failed.count(), 1);
    const QString why = failed.first().first().toString();
    QVERIFY(why.contains(QStringLiteral("PlayPick.dat.new")));
    QCOMPARE(refused.count(), 1);
    const QString logged = refused.first().at(1).toString();
    QVERIFY2(logged.startsWith(TEntryDesk::kNotSavedBecause.arg(QString())) &&
                 logged.contains(QStringLiteral("PlayPick.dat.new")) && !logged.contains('\n'),
             qPrintable(logged));
    QVERIFY(!answer.Body.contains("PlayPick"));

    QVERIFY(QDir(staged).removeRecursively());
    QCOMPARE(Post(TServerFixture::Entry("Eve", "99", F->Winners())).Status, 200);
    QCOMPARE(taken.count(), 1);
  }

  void stoppedServesNothing() {
    const quint16 port = Port();
    Server->Stop();
    QCOMPARE(HttpProbe::Exchange(HttpProbe::Request("GET", "/", port), port).Status, 0);
  }

 private:
  QString LinkFor(const QString& name) {
    // The link of an entry in the pool, as its player got it: the entry sent again with it.
    TEntryLinks links;
    QString reason;
    if (!links.Load(F->PoolDir, &reason))
      qFatal("%s", qPrintable(reason));
    return links.Link(name);
  }
};

QTEST_MAIN(TestServer)
#include "tst_server.moc"
