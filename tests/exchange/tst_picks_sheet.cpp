#include <QDir>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include "BracketList.h"
#include "Csv.h"
#include "OpenPool.h"
#include "PicksImport.h"
#include "PicksSheet.h"
#include "TestPools.h"

using namespace TestPools;

namespace {

// Column of the game titled `title` (0-based cell index).
int Column(const TPicksSheet& sheet, const QString& title) {
  const int at = static_cast<int>(sheet.Header().indexOf(title));
  if (at < 0)
    qFatal("no column titled %s", qPrintable(title));
  return at;
}

// A row of the sheet: name, guess and every game empty.
QStringList EmptyRow(const QString& name, const QString& guess = QStringLiteral("0")) {
  QStringList row{name, guess};
  for (int g = 0; g < TPicksSheet::kGameCount; ++g)
    row << QString();
  return row;
}

QByteArray Sheet(const TPicksSheet& sheet, const QList<QStringList>& rows) {
  Csv::TWriter writer;
  writer.Row(sheet.Header());
  for (const QStringList& row : rows)
    writer.Row(row);
  return writer.Bytes();
}

// Fills a player's chart at random the way the player entry window could: each game gets the
// team of one of its two feeding lines, or is left open.
void RandomPicks(TPlayerPicksListObject& player, QRandomGenerator& random, bool complete) {
  TBracketList chart;
  chart.PlaceTeams(player);
  for (int slot = ChartPaths::kFirstGameSlot; slot <= ChartPaths::kSlotCount; ++slot) {
    std::vector<TChartEntry*> playing;
    for (int line : ChartPaths::Game(slot).Feeders) {
      if (chart.Slot(line)->Team())
        playing.push_back(chart.Slot(line)->Team());
    }
    if (playing.empty() || (!complete && random.bounded(10) == 0))
      continue;
    TChartEntry* winner = playing[random.bounded(static_cast<quint32>(playing.size()))];
    chart.Slot(slot)->SetTeam(winner);
    winner->SetRoundReached(chart.Slot(slot)->Round());
  }
}

// Brings the players of a sheet that read well into the pool through its document, as the
// program and the tool do, saves and closes it. True when the save went through.
bool ImportAndSave(std::unique_ptr<TFFDataModule> pool, TPicksImport& import) {
  TOpenPool document;
  document.SetDataModule(std::move(pool));
  document.ImportPlayers(std::move(import.Players()));
  const bool saved = document.Save();
  document.Close();
  return saved;
}

}  // namespace

class TestPicksSheet : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir FDir;
  std::unique_ptr<TFFDataModule> FPool;

  // A locked pool of 64 teams named "R<region>S<seed>", a few with real names, and one player.
  std::unique_ptr<TFFDataModule> MakePool(const QString& name) {
    const QString directory = FDir.filePath(name);
    QDir().mkpath(directory);
    auto pool = CreatePool(directory);
    pool->SystemFile().SetFinalized(true);
    AddFullField(pool->TeamsFile());
    pool->TeamsFile().Items(0)->SetTeamName(QStringLiteral("Connecticut"));  // region 1 seed 1
    pool->TeamsFile().Items(15)->SetTeamName(QStringLiteral("Stetson"));     // region 1 seed 16
    pool->TeamsFile().Items(16)->SetTeamName(QStringLiteral("Houston"));     // region 2 seed 1
    pool->TeamsFile().Items(7)->SetTeamName(QStringLiteral("Florida A&M, \"Rattlers\""));
    AddPlayer(*pool, QStringLiteral("Already Here"), 120);
    return pool;
  }

  // Reads `bytes` into FPool and expects exactly one problem at (row, column) saying `part`.
  void ExpectOneProblem(const QByteArray& bytes, int row, int column, const QString& part,
                        bool replace = false) {
    TPicksImport import(*FPool, replace);
    QVERIFY(!import.Read(bytes));
    QVERIFY(import.Players().empty());
    QCOMPARE(import.ProblemCount(), 1);
    const TPicksImport::TProblem& problem = import.Problems().front();
    QCOMPARE(problem.Row, row);
    QCOMPARE(problem.Column, column);
    QVERIFY2(problem.Text.contains(part), qPrintable(problem.Describe()));
  }

 private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    FPool = MakePool(QStringLiteral("Office.BGD"));
  }

  void headerNamesEveryGameInSlotOrder() {
    const TPicksSheet sheet(*FPool);
    const QStringList& header = sheet.Header();
    QCOMPARE(header.size(), TPicksSheet::kColumnCount);
    QCOMPARE(header[0], QStringLiteral("Player Name"));
    QCOMPARE(header[2], QStringLiteral("Midwest R1: (1) Connecticut v (16) Stetson"));
    QCOMPARE(header[9], QStringLiteral("Midwest R1: (2) R1S2 v (15) R1S15"));
    QCOMPARE(header[10], QStringLiteral("South R1: (1) Houston v (16) R2S16"));
    QCOMPARE(header[2 + 32], QStringLiteral("Midwest R2 game 1"));
    QCOMPARE(header[2 + 48], QStringLiteral("Midwest R3 game 1"));
    QCOMPARE(header[2 + 56], QStringLiteral("Midwest final"));
    QCOMPARE(header[2 + 60], QStringLiteral("Semifinal 1: Midwest v South"));
    QCOMPARE(header[2 + 61], QStringLiteral("Semifinal 2: East v West"));
    QCOMPARE(header.last(), QStringLiteral("Champion"));
    QCOMPARE(sheet.Games().front().Feeders, (std::array<int, 2>{1, 2}));
    QCOMPARE(sheet.Games().back().Feeders, (std::array<int, 2>{125, 126}));
  }

  void templateExampleImportsAsACompleteChart() {
    const TPicksSheet sheet(*FPool);
    const Csv::TTable table = Csv::Read(sheet.Template());
    QCOMPARE(table.Rows.size(), size_t(2));
    QCOMPARE(table.Rows[0], sheet.Header());
    QCOMPARE(table.Rows[1].last(), QStringLiteral("Connecticut"));

    // The example row as the template has it is left out: it is there to be copied.
    TPicksImport untouched(*FPool, false);
    QVERIFY2(untouched.Read(sheet.Template()), qPrintable(untouched.Report()));
    QCOMPARE(untouched.NewCount(), 0);

    // Given a player's name, it is a whole chart.
    QByteArray named = sheet.Template();
    named.replace(TPicksSheet::kExampleName.toUtf8(), "Chalk");
    TPicksImport import(*FPool, false);
    QVERIFY2(import.Read(named), qPrintable(import.Report()));
    QCOMPARE(import.NewCount(), 1);
    const TPlayerPicksListObject& example = *import.Players().front().Player;
    QCOMPARE(example.PlayerName(), QStringLiteral("Chalk"));
    // The better seed wins each game: the seed 1 teams reach the last four, the first
    // bracket's wins the title; every other team goes out where a better seed meets it.
    // Equal seeds: the team on the upper line goes on.
    QCOMPARE(example.Pick(0)->RoundReached(), 7);
    QCOMPARE(example.Pick(16)->RoundReached(), 5);
    QCOMPARE(example.Pick(32)->RoundReached(), 6);
    QCOMPARE(example.Pick(48)->RoundReached(), 5);
    QCOMPARE(example.Pick(1)->RoundReached(), 4);   // seed 2 loses the regional final
    QCOMPARE(example.Pick(15)->RoundReached(), 1);  // seed 16 loses at once
  }

  void partialRowsFollowThePlayerEntryRules() {
    const TPicksSheet sheet(*FPool);
    QStringList row = EmptyRow(QStringLiteral("Partial Pat"), QStringLiteral("007"));
    row[Column(sheet, "Midwest R1: (1) Connecticut v (16) Stetson")] = "  Connecticut ";
    row[Column(sheet, "Midwest R2 game 1")] = "Connecticut";
    QStringList untouched = EmptyRow(QStringLiteral("Blank Bo"), QString());
    TPicksImport import(*FPool, false);
    QVERIFY2(import.Read(Sheet(sheet, {row, untouched})), qPrintable(import.Report()));
    QCOMPARE(import.Players().size(), size_t(2));
    const TPlayerPicksListObject& pat = *import.Players()[0].Player;
    QCOMPARE(pat.TieBreakerPoints(), 7);
    QCOMPARE(pat.Pick(0)->RoundReached(), 3);
    for (int i = 1; i < 64; ++i)
      QCOMPARE(pat.Pick(i)->RoundReached(), 1);
    // An empty row of picks is a new player as the entry window adds one.
    const TPlayerPicksListObject& bo = *import.Players()[1].Player;
    QCOMPARE(bo.TieBreakerPoints(), 0);
    const auto fresh = TPlayerPicksListObject::CreateFromTeams(FPool->TeamsFile());
    for (int i = 0; i < 64; ++i) {
      QCOMPARE(bo.Pick(i)->TeamName(), fresh->Pick(i)->TeamName());
      QCOMPARE(bo.Pick(i)->Region(), fresh->Pick(i)->Region());
      QCOMPARE(bo.Pick(i)->Seed(), fresh->Pick(i)->Seed());
      QCOMPARE(bo.Pick(i)->RoundReached(), 1);
    }
  }

  void everyRefusalNamesItsRowAndColumn() {
    const TPicksSheet sheet(*FPool);
    const int first = Column(sheet, "Midwest R1: (1) Connecticut v (16) Stetson");
    const int second = Column(sheet, "Midwest R2 game 1");
    auto with = [&](int column, const QString& value) {
      QStringList row = EmptyRow(QStringLiteral("Someone"));
      row[column] = value;
      return row;
    };
    const QStringList good = EmptyRow(QStringLiteral("Good Row"));

    // Unknown team, with the closest name offered.
    ExpectOneProblem(Sheet(sheet, {good, with(first, "Conneticut")}), 3, first + 1,
                     "did you mean \"Connecticut\"?");
    // A first-round winner that is not in that game.
    ExpectOneProblem(Sheet(sheet, {with(first, "Houston")}), 2, first + 1, "does not play");
    // A later winner that did not win a feeding game of the same row.
    ExpectOneProblem(Sheet(sheet, {with(second, "Connecticut")}), 2, second + 1,
                     "did not win a game that leads to this one");
    // A champion who won a regional final but no semifinal.
    QStringList champion = EmptyRow(QStringLiteral("Someone"));
    for (const QString& game : {sheet.Header().at(first), QStringLiteral("Midwest R2 game 1"),
                                QStringLiteral("Midwest R3 game 1"),
                                QStringLiteral("Midwest final"), QStringLiteral("Champion")}) {
      champion[Column(sheet, game)] = QStringLiteral("Connecticut");
    }
    ExpectOneProblem(Sheet(sheet, {champion}), 2, Column(sheet, QStringLiteral("Champion")) + 1,
                     "did not win a game that leads to this one");
    for (const char* guess : {"1000", "-1", "12.5", "ten", "+5"}) {
      ExpectOneProblem(Sheet(sheet, {with(1, guess)}), 2, 2, "from 0 to 999");
    }
    ExpectOneProblem(Sheet(sheet, {with(0, QString(36, 'n'))}), 2, 1, "at most 35");
    ExpectOneProblem(Sheet(sheet, {with(0, " \t ")}), 2, 1, "name is empty");
    // A look-alike of a name is that name: the problem names the player the pool has.
    ExpectOneProblem(Sheet(sheet, {with(0, QStringLiteral("already\u00a0HERE "))}), 2, 1,
                     "already has a player named \"Already Here\"");
    const QStringList percent = EmptyRow(QStringLiteral("Pct %1 of %2"));
    ExpectOneProblem(Sheet(sheet, {percent, with(0, QStringLiteral(" pct %1 OF\u00ad %2"))}), 3, 1,
                     "\"pct %1 OF %2\" is already named in row 2");
    ExpectOneProblem(Sheet(sheet, {good, with(0, QStringLiteral("Snow \u2603 Man"))}), 3, 1,
                     "a character a pool cannot store");
    // A name that would put an escape into a terminal or a page is not quoted back.
    ExpectOneProblem(Sheet(sheet, {with(0, QStringLiteral("Red\x1b[31m"))}), 2, 1,
                     "the player name holds the control character U+001B");
    // A message quotes at most 80 characters of a cell and shows a control character by its
    // code: no cell floods a message or sends a terminal codes of its own.
    ExpectOneProblem(Sheet(sheet, {with(first, QString(10000, 'w'))}), 2, first + 1,
                     "\"" + QString(80, 'w') + QChar(0x2026) + "\" is not a team of this pool");
    ExpectOneProblem(Sheet(sheet, {with(first, "Bad\x1b[2JTeam")}), 2, first + 1,
                     "\"Bad\\x1b[2JTeam\" is not a team");
    QStringList tooWide = good;
    tooWide << ""
            << "extra";
    ExpectOneProblem(Sheet(sheet, {tooWide}), 2, 67, "beyond the last game");
    ExpectOneProblem("Player Name,Guess\r\n", 1, 2, "the header should read");
    ExpectOneProblem(Sheet(sheet, {good}) + "x,\"open", 3, 2, "not closed");
    ExpectOneProblem(QByteArray(), 0, 0, "empty");
  }

  void oneWrongCellGivesOneProblem() {
    // The mistyped first-round winner also stands in the next round's game of the same row;
    // only the cell that is wrong is reported.
    const TPicksSheet sheet(*FPool);
    QStringList row = EmptyRow(QStringLiteral("Typo"));
    row[Column(sheet, "Midwest R1: (1) Connecticut v (16) Stetson")] = "Stetsen";
    row[Column(sheet, "Midwest R2 game 1")] = "Stetson";
    ExpectOneProblem(Sheet(sheet, {row}), 2,
                     Column(sheet, "Midwest R1: (1) Connecticut v (16) Stetson") + 1,
                     "did you mean \"Stetson\"?");
  }

  void problemsAreCountedBeyondThoseKept() {
    const TPicksSheet sheet(*FPool);
    QList<QStringList> rows;
    for (int i = 0; i < TPicksImport::kMaxProblems + 50; ++i)
      rows << EmptyRow(QStringLiteral("P%1").arg(i), QStringLiteral("x"));
    TPicksImport import(*FPool, false);
    QVERIFY(!import.Read(Sheet(sheet, rows)));
    QCOMPARE(import.ProblemCount(), TPicksImport::kMaxProblems + 50);
    QCOMPARE(import.Problems().size(), size_t(TPicksImport::kMaxProblems));
    QVERIFY(import.Report().endsWith("... and 50 more problems."));
    QVERIFY(!import.OnlyExistingNames());
  }

  void aPoolStillOpenForPlacingIsRefused() {
    const QString directory = FDir.filePath("Open.BGD");
    QDir().mkpath(directory);
    auto pool = CreatePool(directory);
    AddFullField(pool->TeamsFile());
    TPicksImport import(*pool, false);
    QVERIFY(!import.Read(TPicksSheet(*pool).Template()));
    QCOMPARE(import.Report(), TOpenPool::kNotLocked);
  }

  void replaceKeepsThePlayersPlaceAndUndoes() {
    auto module = MakePool(QStringLiteral("Replace.BGD"));
    AddPlayer(*module, QStringLiteral("Second"), 5);
    module->PlayerPicksFile().SetModified(false);
    TOpenPool document;
    document.SetDataModule(std::move(module));
    const TFFDataModule& pool = *document.DataModule();
    const TPicksSheet sheet(pool);
    // Written as a spreadsheet or a phone may write them: the first row is the pool's player,
    // the second a new one, stored in the name's normal form.
    QStringList row = EmptyRow(QStringLiteral(" already HERE\u00a0"), QStringLiteral("77"));
    row[Column(sheet, "South R1: (1) Houston v (16) R2S16")] = "Houston";
    const QByteArray bytes =
        Sheet(sheet, {row, EmptyRow(QStringLiteral("  New\u00adcomer\u200b "))});

    TPicksImport refused(pool, false);
    QVERIFY(!refused.Read(bytes));
    QVERIFY(refused.OnlyExistingNames());

    TPicksImport import(pool, true);
    QVERIFY2(import.Read(bytes), qPrintable(import.Report()));
    QCOMPARE(import.NewCount(), 1);
    QCOMPARE(import.ReplacedCount(), 1);
    const TPlayerPicksListObject* kept = pool.PlayerPicksFile().Items(0);
    QSignalSpy listed(&document, &TOpenPool::PlayersInserted);
    QUndoStack undo;
    document.ImportPlayers(std::move(import.Players()), &undo);
    QVERIFY(pool.PlayerPicksFile().Modified());
    QCOMPARE(listed.count(), 1);
    auto check = [&](bool imported) {
      QCOMPARE(pool.PlayerPicksFile().Count(), imported ? 3 : 2);
      QCOMPARE(pool.PlayerPicksFile().Items(0), kept);
      QCOMPARE(kept->PlayerName(), QStringLiteral("Already Here"));
      QCOMPARE(kept->TieBreakerPoints(), imported ? 77 : 120);
      QCOMPARE(kept->Pick(16)->RoundReached(), imported ? 2 : 1);
      QCOMPARE(pool.PlayerPicksFile().Items(1)->PlayerName(), QStringLiteral("Second"));
      if (imported)
        QCOMPARE(pool.PlayerPicksFile().Items(2)->PlayerName(), QStringLiteral("Newcomer"));
    };
    check(true);
    const TPlayerPicksListObject* newcomer = pool.PlayerPicksFile().Items(2);
    undo.undo();
    check(false);
    undo.redo();
    check(true);
    QCOMPARE(pool.PlayerPicksFile().Items(2), newcomer);
  }

  void windows1252NamesSurviveTheSave() {
    auto pool = MakePool(QStringLiteral("Accents.BGD"));
    const TPicksSheet sheet(*pool);
    const QString name = QStringLiteral("José Muñoz “Pepe” €");
    TPicksImport import(*pool, false);
    QVERIFY2(import.Read(Sheet(sheet, {EmptyRow(name)})), qPrintable(import.Report()));
    const QString directory = pool->Directory();
    QVERIFY(ImportAndSave(std::move(pool), import));
    auto reopened = OpenPool(directory);
    QVERIFY(reopened->PlayerPicksFile().FindPlayer(name));
    reopened->ClosePool();
  }

  // Names a spreadsheet would run as formulas are exported guarded, and imported back as they
  // were: the round trip gives the same player file.
  void formulaNamesAreGuardedBothWays() {
    auto pool = MakePool(QStringLiteral("Formulas.BGD"));
    const QStringList names = {"=1+1", "+Plus", "-Minus", "@At", "'=Quoted", "O'Brien"};
    for (const QString& name : names)
      AddPlayer(*pool, name, 1);
    QVERIFY(pool->SavePool());
    const QByteArray exported = TPicksSheet(*pool).Export();
    for (const char* row : {"\r\n'=1+1,", "\r\n'+Plus,", "\r\n'-Minus,", "\r\n'@At,",
                            "\r\n''=Quoted,", "\r\nO'Brien,"}) {
      QVERIFY2(exported.contains(row), row);
    }
    const QString source = pool->Directory();
    pool->ClosePool();
    const QString copy = FDir.filePath(QStringLiteral("FormulasCopy.BGD"));
    QDir().mkpath(copy);
    for (const QString& file : {TSystemFile::kFileName, TTeamsFile::kFileName})
      QVERIFY(QFile::copy(QDir(source).filePath(file), QDir(copy).filePath(file)));
    auto target = OpenPool(copy);
    TPicksImport import(*target, false);
    QVERIFY2(import.Read(exported), qPrintable(import.Report()));
    QVERIFY(ImportAndSave(std::move(target), import));
    QCOMPARE(ReadBytes(QDir(copy).filePath(TPlayerPicksFile::kFileName)),
             ReadBytes(QDir(source).filePath(TPlayerPicksFile::kFileName)));
  }

  // A pool holds at most 1,000,000 players: a sheet that would take it past them is refused at
  // the row that would, before anything is written, and so is a save of more. The sheet of a
  // pool at the limit is no larger than a sheet is allowed to be.
  void aPoolIsNeverFilledPastItsPlayers() {
    auto pool = MakePool(QStringLiteral("Full.BGD"));
    TPlayerPicksFile& players = pool->PlayerPicksFile();
    while (players.Count() < TPlayerPicksFile::kMaxPlayers - 2)
      players.Add(std::make_unique<TPlayerPicksListObject>());
    const TPicksSheet sheet(*pool);
    QList<QStringList> rows{EmptyRow(QStringLiteral("Already Here"), QStringLiteral("7"))};
    for (const char* name : {"Fits", "Fits too", "One too many", "And another"})
      rows << EmptyRow(QString::fromLatin1(name));
    TPicksImport overfilling(*pool, true);
    QVERIFY(!overfilling.Read(Sheet(sheet, rows)));
    QCOMPARE(overfilling.ProblemCount(), 1);
    QVERIFY(overfilling.Players().empty());
    QCOMPARE(overfilling.Report(),
             QStringLiteral("Row 5: this row would make the pool hold more than the 1000000 "
                            "players a pool can have"));
    rows.removeLast();
    rows.removeLast();
    TPicksImport import(*pool, true);
    QVERIFY2(import.Read(Sheet(sheet, rows)), qPrintable(import.Report()));
    QCOMPARE(import.NewCount(), 2);
    QCOMPARE(import.ReplacedCount(), 1);

    players.Add(std::make_unique<TPlayerPicksListObject>());
    players.Add(std::make_unique<TPlayerPicksListObject>());
    players.Add(std::make_unique<TPlayerPicksListObject>());
    players.SetModified(true);
    const QByteArray before =
        ReadBytes(QDir(pool->Directory()).filePath(TPlayerPicksFile::kFileName));
    QVERIFY(!pool->SavePool());
    QVERIFY2(pool->SaveError().Reason.contains("1000001 players, more than the 1000000"),
             qPrintable(pool->SaveError().Text()));
    QCOMPARE(ReadBytes(QDir(pool->Directory()).filePath(TPlayerPicksFile::kFileName)), before);
    pool->ClosePool();

    // No row of a sheet is longer than the bound the limit on a sheet's size is made of: every
    // name of the longest a pool stores, in characters of the most bytes.
    auto longest = MakePool(QStringLiteral("Longest.BGD"));
    const QString wide = QStringLiteral("‘’“”•–—˜™");
    for (int i = 0; i < longest->TeamsFile().Count(); ++i) {
      longest->TeamsFile().Items(i)->SetTeamName(QString(33, QChar(0x20AC)) + wide.at(i % 9) +
                                                 wide.at(i / 9));
    }
    TPlayerPicksListObject* player = AddPlayer(*longest, QString(35, QChar(0x20AC)), 999);
    QRandomGenerator random(7);
    RandomPicks(*player, random, true);
    const QList<QByteArray> lines = TPicksSheet(*longest).Export().split('\n');
    QVERIFY(lines.first().size() < TPicksImport::kMaxRecordBytes);
    const qsizetype row = lines.at(lines.size() - 2).size() + 1;  // the last player's
    QVERIFY2(row > TPicksImport::kMaxRowBytes * 9 / 10 && row <= TPicksImport::kMaxRowBytes,
             qPrintable(QString::number(row)));
    longest->ClosePool();

    // A file of 600 MB is read, one past the largest sheet of a pool refused unread.
    const QString path = FDir.filePath(QStringLiteral("big.csv"));
    QFile big(path);
    QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(qint64{600} << 20));
    QFile file;
    QString error;
    QVERIFY2(TPicksImport::OpenFile(path, &file, &error), qPrintable(error));
    file.close();
    QVERIFY(big.resize(TPicksImport::kMaxFileSize + 1));
    QVERIFY(!TPicksImport::OpenFile(path, &file, &error));
    QVERIFY2(error.endsWith(QStringLiteral("too large for a picks sheet")), qPrintable(error));
    QVERIFY(big.remove());
  }

  // Export, then import into a copy of the pool without its players: the saved player file
  // is the same to the byte.
  void roundTrip_data() {
    QTest::addColumn<QString>("source");
    QTest::newRow("500 random players") << QString();
#ifdef COURTSIDER_SAMPLE_POOL
    QTest::newRow("sample pool") << QStringLiteral(COURTSIDER_SAMPLE_POOL);
#endif
  }

  void roundTrip() {
    QFETCH(QString, source);
    if (source.isEmpty()) {
      auto pool = MakePool(QStringLiteral("Random.BGD"));
      QRandomGenerator random(20260315);
      for (int i = 0; i < 500; ++i) {
        TPlayerPicksListObject* player = AddPlayer(
            *pool, QStringLiteral("Player %1 Ñandú, \"%2\"").arg(i).arg(random.bounded(1000)),
            static_cast<int>(random.bounded(1000)));
        RandomPicks(*player, random, i % 3 != 0);
      }
      QVERIFY(pool->SavePool());
      source = pool->Directory();
      pool->ClosePool();
    }
    const QString copy = FDir.filePath(QStringLiteral("Copy%1.BGD").arg(QTest::currentDataTag()));
    QDir().mkpath(copy);
    for (const QString& file : {TSystemFile::kFileName, TTeamsFile::kFileName})
      QVERIFY(QFile::copy(QDir(source).filePath(file), QDir(copy).filePath(file)));

    auto original = OpenPool(source);
    QVERIFY(original->PlayerPicksFile().Count() > 0);
    const QByteArray sheet = TPicksSheet(*original).Export();
    original->ClosePool();

    auto target = OpenPool(copy);
    TPicksImport import(*target, false);
    QVERIFY2(import.Read(sheet), qPrintable(import.Report()));
    QVERIFY(ImportAndSave(std::move(target), import));
    const QByteArray before = ReadBytes(QDir(source).filePath(TPlayerPicksFile::kFileName));
    QCOMPARE(ReadBytes(QDir(copy).filePath(TPlayerPicksFile::kFileName)), before);
  }
};

QTEST_MAIN(TestPicksSheet)
#include "tst_picks_sheet.moc"
