#include <sys/stat.h>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <thread>
#include <vector>

#include "FFDataModule.h"
#include "FakePrompts.h"
#include "InOutError.h"
#include "LimitedChild.h"
#include "PoolNames.h"
#include "TeamNames.h"
#include "TestPools.h"
#include "Win1252.h"

using namespace TestPools;

namespace {

QByteArray Int32(int32_t value) {
  QByteArray bytes(4, '\0');
  RecordField::WriteInt32(bytes.data(), value);
  return bytes;
}

// A string field: length byte, characters, then `fill` up to the field's width.
QByteArray Field(const QByteArray& text, int width, char fill = '\0', int length = -1) {
  QByteArray bytes;
  bytes.append(static_cast<char>(length < 0 ? text.size() : length));
  bytes.append(text.left(width));
  bytes.append(QByteArray(width - std::min<int>(text.size(), width), fill));
  return bytes;
}

QByteArray TeamRecord(const QByteArray& name, int region, int seed, int round, bool eliminated,
                      int nameLength = -1) {
  QByteArray record = Field(name, 35, 'x', nameLength) + Int32(region) + Int32(seed) + Int32(round);
  record.append(eliminated ? '\1' : '\0');
  record.append(QByteArray(3, '\0'));
  return record;
}

QByteArray PlayerRecord(const QByteArray& name, int tieBreaker, int picks) {
  QByteArray record = Field(name, 35) + Int32(tieBreaker);
  for (int i = 0; i < 64; ++i) {
    if (i < picks) {
      record += Field("Team" + QByteArray::number(i), 35) + Int32(1 + i / 16) + Int32(1 + i % 16) +
                Int32(1 + i % 7);
    } else {
      record += QByteArray(48, '\0');
    }
  }
  return record;
}

}  // namespace

class TestStorage : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir FDir;
  TFakePrompts FPrompts;
  std::unique_ptr<TPromptsScope> FScope;

  QString PoolPath(const char* name) const { return FDir.filePath(QString::fromLatin1(name)); }
  QString NewPoolFolder(const char* name) const {
    QDir().mkpath(PoolPath(name));
    return PoolPath(name);
  }

 private slots:
  void init() {
    FPrompts.Reset();
    FScope = std::make_unique<TPromptsScope>(&FPrompts);
  }
  void cleanup() { FScope.reset(); }

  void newPoolHasTheDefaultSettingsByteForByte() {
    const QString dir = NewPoolFolder("new");
    auto pool = CreatePool(dir);
    QVERIFY(!pool->Modified());
    QVERIFY(!pool->Finalized());
    QCOMPARE(pool->TeamsFile().Count(), 0);
    QCOMPARE(pool->PlayerPicksFile().Count(), 0);
    pool->ClosePool();
    QVERIFY(FPrompts.Shown().isEmpty());

    QByteArray expected = Field("", 30) + Field("Midwest", 10) + Field("South", 10) +
                          Field("East", 10) + Field("West", 10) + QByteArray(1, '\0');
    for (int points : {1, 2, 4, 8, 16, 32})
      expected += Int32(points);
    expected += QByteArray(4, '\0') + Int32(0);
    QCOMPARE(ReadBytes(dir + "/System.dat"), expected);
    QCOMPARE(ReadBytes(dir + "/Teams.dat"), QByteArray());
    QCOMPARE(ReadBytes(dir + "/PlayPick.dat"), QByteArray());
  }

  void systemFieldsAreReadFromTheirOffsets() {
    const QString dir = NewPoolFolder("offsets");
    QByteArray record = Field("Office Pool", 30, '#') + Field("North", 10, '#') +
                        Field("Left2", 10) + Field("Right1", 10) + Field("Right2", 10) + "\x7f";
    for (int points : {3, 5, 7, 11, 13, 17})
      record += Int32(points);
    record += QByteArray("\1\xaa\xbb\xcc", 4) + Int32(151);
    QCOMPARE(record.size(), 108);
    WriteBytes(dir + "/System.dat", record);
    WriteBytes(dir + "/Teams.dat", {});

    auto pool = OpenPool(dir);
    const TSystemFile& system = pool->SystemFile();
    QCOMPARE(system.PoolName(), QString("Office Pool"));
    QCOMPARE(system.BracketName(1), QString("North"));
    QCOMPARE(system.BracketName(4), QString("Right2"));
    QCOMPARE(system.RoundPoints(2), 3);
    QCOMPARE(system.RoundPoints(7), 17);
    QVERIFY(system.Finalized());
    QCOMPARE(system.TieBreakerPoints(), 151);
    QVERIFY(!pool->Modified());

    // Bytes we do not interpret survive a save untouched, and the file stays one record.
    pool->SystemFile().SetModified(true);
    pool->SavePool();
    pool->SavePool();
    QCOMPARE(ReadBytes(dir + "/System.dat"), record);
    pool->ClosePool();
  }

  void missingOrEmptySettingsFileFailsToOpen() {
    const QString dir = NewPoolFolder("broken");
    TFFDataModule missing;
    missing.SetDirectory(dir);
    QVERIFY_THROWS_EXCEPTION(EInOutError, missing.OpenPool());

    WriteBytes(dir + "/System.dat", QByteArray(50, '\0'));
    TFFDataModule cut;
    cut.SetDirectory(dir);
    QVERIFY_THROWS_EXCEPTION(EInOutError, cut.OpenPool());
    missing.ClosePool();
    cut.ClosePool();
  }

  void settingsSettersMarkModifiedOnlyOnChange() {
    TSystemFile system;
    QVERIFY(!system.Modified());
    system.SetBracketName(1, "Midwest");
    system.SetRoundPoints(2, 1);
    system.SetFinalized(false);
    system.SetTieBreakerPoints(0);
    system.SetPoolName("");
    QVERIFY(!system.Modified());

    system.SetRoundPoints(4, 5);
    QVERIFY(system.Modified());
    QCOMPARE(system.RoundPoints(4), 5);

    // A long name is stored cut, but compared uncut: setting it again changes the flag again.
    const QString longName = QString("A").repeated(35);
    system.SetModified(false);
    system.SetPoolName(longName);
    QVERIFY(system.Modified());
    QCOMPARE(system.PoolName(), QString("A").repeated(30));
    system.SetModified(false);
    system.SetPoolName(longName);
    QVERIFY(system.Modified());
    system.SetModified(false);
    system.SetBracketName(2, "Southeastern");
    QCOMPARE(system.BracketName(2), QString("Southeaste"));
    QVERIFY(system.Modified());
  }

  void teamRecordsLoadFieldByField() {
    const QString dir = NewPoolFolder("teams");
    CreatePool(dir)->ClosePool();
    QByteArray bytes = TeamRecord("Duke", 1, 4, 3, false) + TeamRecord("  Yale  ", 3, 13, 2, true) +
                       TeamRecord("Unplaced", 0, 0, 0, false);
    // A length byte larger than the field reads as the field; a record cut short is ignored.
    bytes += TeamRecord(QByteArray(35, 'L'), 2, 2, 1, false, 200);
    bytes += QByteArray(20, '\x55');
    WriteBytes(dir + "/Teams.dat", bytes);

    auto pool = OpenPool(dir);
    const TTeamsFile& teams = pool->TeamsFile();
    QCOMPARE(teams.Count(), 4);
    QCOMPARE(teams.Items(0)->TeamName(), QString("Duke"));
    QCOMPARE(teams.Items(0)->Region(), 1);
    QCOMPARE(teams.Items(0)->Seed(), 4);
    QCOMPARE(teams.Items(0)->RoundReached(), 3);
    QVERIFY(!teams.Items(0)->Eliminated());
    QVERIFY(teams.Items(1)->Eliminated());
    QCOMPARE(teams.Items(3)->TeamName(), QString(35, 'L'));
    QVERIFY(!pool->Modified());

    // FindTeam trims blanks and control characters on both sides, and minds letter case.
    QCOMPARE(teams.FindTeam("Yale"), teams.Items(1));
    QCOMPARE(teams.FindTeam("\tDuke \r\n"), teams.Items(0));
    QCOMPARE(teams.FindTeam("duke"), nullptr);
    QCOMPARE(teams.FindTeam("Nobody"), nullptr);
    pool->ClosePool();
  }

  // Two teams whose names differ only in surrounding blanks are one name to the search: the
  // first in the file is found, whichever spelling is asked for.
  void findTeamFindsTheFirstOfTwoEqualNames() {
    TTeamsFile teams;
    AddTeam(teams, "Other", 1, 1, 1);
    TTeamSeedObject* first = AddTeam(teams, " Dup", 1, 2, 1);
    AddTeam(teams, "Dup\t", 2, 2, 1);
    AddTeam(teams, "Dup", 3, 2, 1);
    QCOMPARE(teams.FindTeam("Dup"), first);
    QCOMPARE(teams.FindTeam("Dup\t"), first);
    QCOMPARE(teams.FindTeam(" Dup "), first);
  }

  void teamsSaveWholeRecordsAndRoundTrip() {
    const QString dir = NewPoolFolder("teamsave");
    auto pool = CreatePool(dir);
    AddTeam(pool->TeamsFile(), "Gonzaga", 4, 5, 2, true);
    AddTeam(pool->TeamsFile(), QString("X").repeated(40), 1, 16, 1);
    AddTeam(pool->TeamsFile(), "Listed only");
    QVERIFY(pool->SavePool());
    QVERIFY(!pool->Modified());
    const QByteArray saved = ReadBytes(dir + "/Teams.dat");
    QCOMPARE(saved.size(), 156);
    QCOMPARE(saved.mid(52, 36), Field(QByteArray(35, 'X'), 35));
    QCOMPARE(saved.mid(104 + 36, 16), QByteArray(16, '\0'));
    pool->ClosePool();

    auto again = OpenPool(dir);
    QCOMPARE(again->TeamsFile().Count(), 3);
    QCOMPARE(again->TeamsFile().Items(0)->TeamName(), QString("Gonzaga"));
    QVERIFY(again->TeamsFile().Items(0)->Eliminated());
    QCOMPARE(again->TeamsFile().Items(1)->TeamName(), QString("X").repeated(35));
    again->TeamsFile().SetModified(true);
    again->SavePool();
    QCOMPARE(ReadBytes(dir + "/Teams.dat"), saved);

    // Removing every team saves an empty file.
    while (again->TeamsFile().Count() > 0)
      again->TeamsFile().Remove(again->TeamsFile().Items(0));
    QVERIFY(again->Modified());
    again->SavePool();
    QCOMPARE(ReadBytes(dir + "/Teams.dat").size(), 0);
    again->ClosePool();
  }

  void listRulesForAddRemoveAndClear() {
    TTeamsFile teams;
    QCOMPARE(teams.Count(), 0);
    QVERIFY(!teams.Modified());
    QVERIFY(!teams.IsOpen());
    AddTeam(teams, "One");
    teams.SetModified(false);
    teams.Add(std::make_unique<TTeamSeedObject>());
    QVERIFY(!teams.Modified());

    TTeamSeedObject stranger;
    QCOMPARE(teams.Remove(&stranger), nullptr);
    QVERIFY(teams.Modified());
    std::unique_ptr<TTeamSeedObject> removed = teams.Remove(teams.Items(0));
    QCOMPARE(removed->TeamName(), QString("One"));
    QCOMPARE(teams.Count(), 1);

    teams.SetModified(false);
    teams.Clear();
    QCOMPARE(teams.Count(), 0);
    QVERIFY(!teams.Modified());
  }

  void playerRecordsLoadFieldByField() {
    const QString dir = NewPoolFolder("players");
    CreatePool(dir)->ClosePool();
    WriteBytes(dir + "/PlayPick.dat", PlayerRecord("Ann", 141, 64) + PlayerRecord("Bob", 999, 60) +
                                          QByteArray(3000, '\x11'));
    auto pool = OpenPool(dir);
    const TPlayerPicksFile& players = pool->PlayerPicksFile();
    QCOMPARE(players.Count(), 2);
    const TPlayerPicksListObject* ann = players.Items(0);
    QCOMPARE(ann->PlayerName(), QString("Ann"));
    QCOMPARE(ann->TieBreakerPoints(), 141);
    QCOMPARE(ann->Pick(17)->TeamName(), QString("Team17"));
    QCOMPARE(ann->Pick(17)->Region(), 2);
    QCOMPARE(ann->Pick(17)->Seed(), 2);
    QCOMPARE(ann->Pick(17)->RoundReached(), 4);
    const TPlayerPicksListObject* bob = players.Items(1);
    QCOMPARE(bob->TieBreakerPoints(), 999);
    QCOMPARE(bob->Pick(59)->TeamName(), QString("Team59"));
    QCOMPARE(bob->Pick(60)->TeamName(), QString());
    QCOMPARE(bob->Pick(63)->RoundReached(), 0);

    QCOMPARE(players.FindPlayer("Bob"), players.Items(1));
    QCOMPARE(players.FindPlayer("bob"), nullptr);
    QCOMPARE(players.FindPlayer(" Bob"), nullptr);
    // The same player, though: the first whose name is a look-alike.
    QCOMPARE(players.FindSamePlayer(QStringLiteral(" B\u00adOB")), players.Items(1));
    QCOMPARE(players.FindSamePlayer(QStringLiteral("Bobby")), nullptr);
    pool->ClosePool();
  }

  // A name from outside is stored in one form and compared in one key, so that blanks,
  // invisible characters, letter case and the encoding of accents make no second player.
  void namesHaveOneNormalFormAndKey() {
    const QList<QPair<QString, QString>> normal = {
        {QStringLiteral("  Bea  "), QStringLiteral("Bea")},
        {QStringLiteral("Bea \u00a0\t Smith"), QStringLiteral("Bea Smith")},
        {QStringLiteral("Be\u00ada\u200b\u200d\u2060\ufeff\u200e"), QStringLiteral("Bea")},
        {QStringLiteral("\x01 Tom \x1b"), QStringLiteral("Tom")},
        {QStringLiteral("Red\x1b[31m"), QStringLiteral("Red\x1b[31m")},
        {QStringLiteral("Jose\u0301 mu\u00d1oz"), QStringLiteral("Jos\u00e9 mu\u00d1oz")},
        {QStringLiteral(" \u00a0\u00ad\u3000 "), QString()},
    };
    for (const auto& [given, stored] : normal)
      QCOMPARE(PoolNames::Normal(given), stored);
    // Composed, a typed accent is one the code page has.
    QVERIFY(!PoolNames::Unstorable(QStringLiteral("Jose\u0301"), "name", 35).isEmpty());
    QVERIFY(PoolNames::Unstorable(PoolNames::Normal(QStringLiteral("Jose\u0301")), "name", 35)
                .isEmpty());
    QCOMPARE(PoolNames::Key(QStringLiteral(" JOS\u00c9\u00a0Mu\u00f1oz")),
             PoolNames::Key(QStringLiteral("Jose\u0301 mu\u00d1oz")));
    QVERIFY(PoolNames::Key(QStringLiteral("Bea")) != PoolNames::Key(QStringLiteral("Beat")));
  }

  // Loading shares one copy of each team name among the players' entries, and an entry that
  // differs from the same entry of the player before is still read as its own bytes say.
  void playerNamesAreSharedButNeverMixedUp() {
    const QString dir = NewPoolFolder("shared");
    CreatePool(dir)->ClosePool();
    QByteArray first = PlayerRecord("Ann", 1, 64);
    QByteArray second = PlayerRecord("Bob", 2, 64);
    auto setName = [](QByteArray& record, int entry, const QByteArray& field) {
      record.replace(40 + 48 * entry, 36, field);
    };
    setName(first, 1, Field("Duke", 35, 'e'));
    setName(second, 1, Field("Yale", 35, 'e'));  // same length, other letters
    setName(first, 2, Field("Duke", 35, 'e'));
    setName(second, 2, Field("Duke", 35, 'e', 5));  // one letter longer: "Dukee"
    WriteBytes(dir + "/PlayPick.dat", first + second);

    auto pool = OpenPool(dir);
    const TPlayerPicksListObject* ann = pool->PlayerPicksFile().Items(0);
    const TPlayerPicksListObject* bob = pool->PlayerPicksFile().Items(1);
    QCOMPARE(bob->Pick(0)->TeamName(), QString("Team0"));
    QCOMPARE(bob->Pick(0)->TeamName().constData(), ann->Pick(0)->TeamName().constData());
    QCOMPARE(ann->Pick(1)->TeamName(), QString("Duke"));
    QCOMPARE(bob->Pick(1)->TeamName(), QString("Yale"));
    QCOMPARE(ann->Pick(2)->TeamName(), QString("Duke"));
    QCOMPARE(bob->Pick(2)->TeamName(), QString("Dukee"));
    QCOMPARE(bob->Pick(63)->TeamName(), QString("Team63"));
    pool->ClosePool();
  }

  // The live page reads its pool on a thread of its own while the window edits: both keep
  // the one copy of each name, and neither sees the other's half-made table.
  void namesAreKeptOnceWhateverThreadMeetsThem() {
    QStringList names;
    for (int i = 0; i < 20000; ++i)
      names << QStringLiteral("Threaded %1").arg(i);
    std::vector<const QString*> kept[2];
    std::thread other([&] {
      for (const QString& name : names)
        kept[1].push_back(TTeamNames::Intern(name));
    });
    for (const QString& name : names)
      kept[0].push_back(TTeamNames::Intern(name));
    other.join();
    QVERIFY(kept[0] == kept[1]);
    for (int i = 0; i < names.size(); ++i)
      QCOMPARE(*kept[0][static_cast<size_t>(i)], names.at(i));
  }

  void playersAreCreatedFromTheTeamList() {
    TTeamsFile teams;
    for (int i = 0; i < 60; ++i)
      AddTeam(teams, QString("T%1").arg(i), 1 + i / 16, 1 + i % 16);
    auto player = TPlayerPicksListObject::CreateFromTeams(teams);
    QCOMPARE(player->Pick(0)->TeamName(), QString("T0"));
    QCOMPARE(player->Pick(59)->Region(), 4);
    QCOMPARE(player->Pick(59)->Seed(), 12);
    QCOMPARE(player->Pick(59)->RoundReached(), 1);
    QCOMPARE(player->Pick(60)->TeamName(), QString());
    QCOMPARE(player->Pick(60)->RoundReached(), 0);

    // An entry shares its team's name rather than copying it, yet renaming one touches no other.
    QCOMPARE(&player->Pick(3)->TeamName(), &teams.Items(3)->TeamName());
    player->Pick(3)->SetTeamName("Renamed");
    QCOMPARE(teams.Items(3)->TeamName(), QString("T3"));
    teams.Items(4)->SetTeamName("T3");
    QCOMPARE(&teams.Items(4)->TeamName(), &teams.Items(3)->TeamName());
    QCOMPARE(player->Pick(4)->TeamName(), QString("T4"));
  }

  void playersSaveOnlyWhileLockedOrCleared() {
    const QString dir = NewPoolFolder("locking");
    auto pool = CreatePool(dir);
    AddFullField(pool->TeamsFile());
    pool->SystemFile().SetFinalized(true);
    for (const char* name : {"Ann", "Bob", "Cy"})
      AddPlayer(*pool, name, 120);
    pool->PlayerPicksFile().Items(1)->Pick(5)->SetRoundReached(7);
    QVERIFY(pool->SavePool());
    const QByteArray locked = ReadBytes(dir + "/PlayPick.dat");
    QCOMPARE(locked.size(), 9336);
    pool->ClosePool();

    // Round trip: the same players, guesses and picks in the same order.
    auto reopened = OpenPool(dir);
    QCOMPARE(reopened->PlayerPicksFile().Count(), 3);
    QCOMPARE(reopened->PlayerPicksFile().Items(1)->Pick(5)->RoundReached(), 7);
    reopened->PlayerPicksFile().SetModified(true);
    reopened->SavePool();
    QCOMPARE(ReadBytes(dir + "/PlayPick.dat"), locked);

    // Unlocked and untouched: the file is left byte for byte as it was.
    reopened->SystemFile().SetFinalized(false);
    reopened->PlayerPicksFile().SetModified(false);
    reopened->PlayerPicksFile().Items(0)->SetTieBreakerPoints(1);
    reopened->SavePool();
    QCOMPARE(ReadBytes(dir + "/PlayPick.dat"), locked);

    // Unlocking clears the players, and that reaches the file on the next save.
    reopened->ClearPlayers();
    QVERIFY(reopened->Modified());
    QVERIFY(reopened->SavePool());
    QCOMPARE(ReadBytes(dir + "/PlayPick.dat").size(), 0);
    reopened->ClosePool();
    QCOMPARE(OpenPool(dir)->PlayerPicksFile().Count(), 0);
  }

  void missingPlayerFileIsCreatedOnOpen() {
    const QString dir = NewPoolFolder("noplayers");
    CreatePool(dir)->ClosePool();
    QVERIFY(QFile::remove(dir + "/PlayPick.dat"));
    auto pool = OpenPool(dir);
    QCOMPARE(pool->PlayerPicksFile().Count(), 0);
    QVERIFY(QFile::exists(dir + "/PlayPick.dat"));
    pool->ClosePool();
  }

  // Whether to save is the main window's question: closing writes nothing.
  void closingLetsUnsavedChangesGo() {
    const QString dir = NewPoolFolder("closing");
    CreatePool(dir)->ClosePool();
    auto pool = OpenPool(dir);
    pool->SystemFile().SetPoolName("Renamed");
    QCOMPARE(pool->ClosePool(), QStringList());
    QVERIFY(FPrompts.Shown().isEmpty());
    QCOMPARE(OpenPool(dir)->SystemFile().PoolName(), QString());
  }

  void textIsStoredAsWindows1252() {
    const QString dir = NewPoolFolder("codepage");
    auto pool = CreatePool(dir);
    AddTeam(pool->TeamsFile(), QString::fromUtf8("Saint Mary’s – Café €"));
    AddTeam(pool->TeamsFile(), QString::fromUtf8("Check ✓ 𝄞"));
    pool->SavePool();
    const QByteArray bytes = ReadBytes(dir + "/Teams.dat");
    QCOMPARE(bytes.mid(1, 21), QByteArray("Saint Mary\x92s \x96 Caf\xe9 \x80"));
    QCOMPARE(bytes.mid(53, 9), QByteArray("Check ? ?"));
    pool->ClosePool();

    auto again = OpenPool(dir);
    QCOMPARE(again->TeamsFile().Items(0)->TeamName(), QString::fromUtf8("Saint Mary’s – Café €"));
    again->ClosePool();

    // Every byte decodes to a character that encodes back to the same byte.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
      all.append(static_cast<char>(b));
    QCOMPARE(Win1252::Encode(Win1252::Decode(all.constData(), 256)), all);
  }

  // A value no pool holds refuses the whole pool, naming the file, the record and the field:
  // whatever reads a pool may count on its values, and no command goes on with a damaged one.
  void outOfRangeValuesRefuseThePool() {
    const QString dir = NewPoolFolder("hostile");
    CreatePool(dir)->ClosePool();
    const QByteArray system = ReadBytes(dir + "/System.dat");
    const QByteArray good = TeamRecord("Good", 1, 1, 1, false);
    auto refusal = [&dir]() -> QString {
      for (auto mode : {TFFDataModule::TOpenMode::ReadOnly, TFFDataModule::TOpenMode::ReadWrite}) {
        TFFDataModule pool;
        pool.SetDirectory(dir);
        try {
          pool.OpenPool(mode);
        } catch (const EInOutError& error) {
          pool.ClosePool();
          if (mode == TFFDataModule::TOpenMode::ReadWrite)
            return error.Reason();
          continue;
        }
        pool.ClosePool();
        return QString();
      }
      return QString();
    };
    const struct {
      QByteArray Teams;
      const char* Expected;
    } teams[] = {
        {TeamRecord("Odd", 5, 1, 1, false), "Teams.dat: record 1: Region is 5, not 0 to 4"},
        {good + TeamRecord("Odd", 1, 17, 1, false), "record 2: Seed is 17, not 0 to 16"},
        {TeamRecord("Odd", 1, 1, 100, false), "record 1: RoundReached is 100, not 0 to 7"},
        {TeamRecord("Odd", 1, INT32_MIN, 1, false), "Seed is -2147483648, not 0 to 16"},
    };
    for (const auto& test : teams) {
      WriteBytes(dir + "/Teams.dat", test.Teams);
      QVERIFY2(refusal().contains(test.Expected), qPrintable(refusal()));
    }
    WriteBytes(dir + "/Teams.dat", good);

    QByteArray player = PlayerRecord("Zed", 0, 1);
    player[40] = static_cast<char>(255);  // a name length far beyond its field reads as its width
    WriteBytes(dir + "/PlayPick.dat", player);
    QCOMPARE(refusal(), QString());
    QCOMPARE(OpenPool(dir)->PlayerPicksFile().Items(0)->Pick(0)->TeamName().size(), 35);
    WriteBytes(dir + "/PlayPick.dat", PlayerRecord("Zed", 1000, 1));
    QVERIFY(refusal().contains("PlayPick.dat: record 1: TieBreakerPoints is 1000, not 0 to 999"));
    player = PlayerRecord("Zed", 0, 1);
    player.replace(40 + 48 * 5 + 44, 4, Int32(8));
    WriteBytes(dir + "/PlayPick.dat", PlayerRecord("Ann", 0, 1) + player);
    QVERIFY2(refusal().contains("record 2: Picks[5].RoundReached is 8, not 0 to 7"),
             qPrintable(refusal()));
    WriteBytes(dir + "/PlayPick.dat", QByteArray());

    QByteArray points = system;
    points.replace(84, 4, Int32(-1));
    WriteBytes(dir + "/System.dat", points);
    QVERIFY(refusal().contains("System.dat: record 1: RoundPoints(4) is -1, not 0 to 999"));
    points = system;
    points.replace(104, 4, Int32(1000));
    WriteBytes(dir + "/System.dat", points);
    QVERIFY(refusal().contains("TieBreakerPoints is 1000, not 0 to 999"));
  }

  // Files no pool has: refused from their size or kind alone, with the reason, never read
  // whole and never waited on.
  void oversizedFilesAreRefusedFromTheirCount() {
    const QString dir = NewPoolFolder("oversized");
    CreatePool(dir)->ClosePool();
    auto refusal = [&dir]() -> QString {
      TFFDataModule pool;
      pool.SetDirectory(dir);
      try {
        pool.OpenPool(TFFDataModule::TOpenMode::ReadOnly);
      } catch (const EInOutError& error) {
        pool.ClosePool();
        return error.Reason();
      }
      pool.ClosePool();
      return QString();
    };
    QFile players(dir + "/PlayPick.dat");
    // 2^31 players, a sparse file of 6.7 TB: an int count would turn negative.
    QVERIFY(players.resize(3112LL << 31));
    QVERIFY2(refusal().contains("2147483648 records, more than the 1000000 players"),
             qPrintable(refusal()));
    // 2^32 + 1 players: a count kept in 32 bits would wrap to a single player.
    QVERIFY(players.resize(3112LL * ((1LL << 32) + 1)));
    QVERIFY(refusal().contains("4294967297 records"));
    // One over the stated limit is refused too; the limit itself would load.
    QVERIFY(players.resize(3112LL * (TPlayerPicksFile::kMaxPlayers + 1)));
    QVERIFY(refusal().contains("1000001 records"));
    QVERIFY(players.resize(0));

    QFile teams(dir + "/Teams.dat");
    QVERIFY(teams.resize(52LL * 65));
    QVERIFY2(refusal().contains("65 records, more than the 64 teams"), qPrintable(refusal()));
    QVERIFY(teams.resize(52LL * ((1LL << 32) + 1)));
    QVERIFY(refusal().contains("4294967297 records"));
    QVERIFY(teams.resize(52LL * 64));
    QCOMPARE(refusal(), QString());

    // A settings file of 1 GB: its first record is read, nothing more.
    QFile system(dir + "/System.dat");
    QVERIFY(system.resize(1LL << 30));
    auto pool = OpenPool(dir);
    QCOMPARE(pool->SystemFile().BracketName(2), QString("South"));
    QCOMPARE(pool->TeamsFile().Count(), 64);
    pool->ClosePool();
  }

  // A folder that may not be read says so, rather than that the pool is not there.
  void aFolderWithoutPermissionSaysSo() {
    const QString dir = NewPoolFolder("private");
    CreatePool(dir)->ClosePool();
    QCOMPARE(::chmod(QFile::encodeName(dir).constData(), 0), 0);
    const LimitedChild::TResult result = LimitedChild::Run(
        -1,
        [&dir](QByteArray& report) {
          for (auto mode :
               {TFFDataModule::TOpenMode::ReadOnly, TFFDataModule::TOpenMode::ReadWrite}) {
            TFFDataModule pool;
            pool.SetDirectory(dir);
            try {
              pool.OpenPool(mode);
              return 1;
            } catch (const EInOutError& error) {
              report += error.Reason().toUtf8() + '\n';
            }
          }
          return 0;
        },
        true);
    QCOMPARE(::chmod(QFile::encodeName(dir).constData(), 0755), 0);
    QCOMPARE(result.Status, 0);
    QVERIFY2(result.Written.count("permission denied") == 2, result.Written.constData());
    QVERIFY2(!result.Written.contains("File not found"), result.Written.constData());
  }

  void pipesAndFoldersInPlaceOfPoolFilesAreRefused() {
    for (const char* name : {"System.dat", "Teams.dat", "PlayPick.dat"}) {
      const QString dir = NewPoolFolder(name);
      CreatePool(dir)->ClosePool();
      const QString path = dir + "/" + name;
      QVERIFY(QFile::remove(path));
      // Opening a named pipe for reading would wait for a writer that never comes.
      QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
      for (auto mode : {TFFDataModule::TOpenMode::ReadOnly, TFFDataModule::TOpenMode::ReadWrite}) {
        TFFDataModule pool;
        pool.SetDirectory(dir);
        try {
          pool.OpenPool(mode);
          QFAIL("a named pipe was opened as a pool file");
        } catch (const EInOutError& error) {
          QVERIFY2(error.Reason().contains(name) && error.Reason().contains("Not a plain file"),
                   qPrintable(error.Reason()));
        }
        pool.ClosePool();
      }
      QVERIFY(QFile::remove(path));
      QVERIFY(QDir().mkdir(path));
      QVERIFY_THROWS_EXCEPTION(EInOutError, OpenPool(dir));
    }
  }
};

QTEST_GUILESS_MAIN(TestStorage)
#include "tst_storage.moc"
