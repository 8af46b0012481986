#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "ChartPaths.h"
#include "CliRunner.h"
#include "TestPools.h"

using namespace TestPools;

namespace {
const QStringList kRegions = {"East", "West", "South", "Midwest"};

// The field sheet of the four regions, team "E1" being East's 1 seed, and so on.
QByteArray FieldSheet() {
  QByteArray sheet = "region,seed,team\r\n";
  for (const QString& region : kRegions) {
    for (int seed = 1; seed <= 16; ++seed)
      sheet += QStringLiteral("%1,%2,%3\r\n")
                   .arg(region)
                   .arg(seed)
                   .arg(region.at(0) + QString::number(seed))
                   .toUtf8();
  }
  return sheet;
}

// The results of a tournament in which the better seed wins every game, up to tournament
// round `rounds` (1..6), as a results file: the upper team where seeds are equal.
QByteArray Favourites(int rounds) {
  using namespace ChartPaths;
  std::array<QString, kSlotCount + 1> chart;
  std::array<int, kSlotCount + 1> seed{};
  for (int r = 0; r < kRegions.size(); ++r) {
    for (int line = 0; line < kSeedsPerRegion; ++line) {
      const int slot = r * kSeedsPerRegion + line + 1;
      seed[static_cast<size_t>(slot)] = kSeedOrder[static_cast<size_t>(line)];
      chart[static_cast<size_t>(slot)] =
          QStringLiteral("%1%2").arg(kRegions[r].at(0)).arg(seed[static_cast<size_t>(slot)]);
    }
  }
  QByteArray lines = "# the favourites win\n";
  for (int slot = kFirstGameSlot; slot <= kSlotCount && SlotRound(slot) <= rounds + 1; ++slot) {
    const auto upper = static_cast<size_t>(FirstFeeder(slot));
    const size_t winner = seed[upper + 1] < seed[upper] ? upper + 1 : upper;
    chart[static_cast<size_t>(slot)] = chart[winner];
    seed[static_cast<size_t>(slot)] = seed[winner];
    lines += chart[winner].toUtf8() + (slot == kChampionSlot ? "\t70-65\n" : "\n");
  }
  return lines;
}
}  // namespace

// A season run from files by the command-line tool: the field from a sheet, the lock, the
// players from a picks sheet, the results round by round, a team renamed, the invited.
class TestCliSeason : public QObject {
  Q_OBJECT

  QTemporaryDir FDir;

  QString Write(const QString& name, const QByteArray& text) {
    const QString path = FDir.filePath(name);
    WriteBytes(path, text);
    return path;
  }

  static QJsonObject Row(const QString& dir, const QString& player) {
    const QJsonArray rows =
        RunTool({"standings", dir, "--format", "json"}).Json().object()["rows"].toArray();
    for (const auto& row : rows) {
      if (row.toObject()["player"].toString() == player)
        return row.toObject();
    }
    return {};
  }

 private slots:
  void aSeasonEndToEnd() {
    const QString dir = FDir.filePath("Season.BGD");
    QCOMPARE(RunTool({"new", dir}).Status, 0);
    const QString field = Write("field.csv", FieldSheet());
    const TCliRun in = RunTool({"field", dir, field});
    QCOMPARE(in.Status, 0);
    QCOMPARE(in.Out, QByteArray("The field is in: 64 teams in East, West, South, Midwest.\n"));
    QCOMPARE(RunTool({"field", dir, field}).Out,
             QByteArray("No change: the pool holds this already.\n"));
    const QJsonObject info = RunTool({"info", dir}).Json().object();
    QCOMPARE(info["bracket_names"].toArray().at(2).toString(), QString("South"));
    QCOMPARE(RunTool({"lock", dir}).Status, 0);
    QVERIFY(RunTool({"field", dir, field}).Err.startsWith("First round cannot be built"));

    // Ann picks every favourite (the template's example row), Bo the same but for East's 16
    // seed where Ann has East's 1 seed, from its first game to the title.
    const QString tmpl = FDir.filePath("template.csv");
    QCOMPARE(RunTool({"template", dir, "--csv", tmpl}).Status, 0);
    const QList<QByteArray> lines = ReadBytes(tmpl).split('\n');
    QByteArray ann = lines.at(1).trimmed();
    ann.replace("Example: higher seed wins,0", "Ann,140");
    QByteArray bo = ann;
    bo.replace("E1,", "E16,").replace("Ann,140", "Bo,120");
    bo.replace(bo.lastIndexOf("E1"), 2, "E16");
    const QString picks = Write("picks.csv", lines.at(0) + "\n" + ann + "\n" + bo + "\n");
    QCOMPARE(RunTool({"import-picks", dir, picks}).Status, 0);

    // Results round by round, each file the season so far.
    int points[7] = {};
    for (int k = 2; k <= 7; ++k)
      points[k - 1] = info["round_points"].toArray().at(k - 2).toInt();
    int annScore = 0;
    int eastOneWins = 0;
    for (int round = 1; round <= 6; ++round) {
      const TCliRun run = RunTool({"results", dir, Write("season.txt", Favourites(round))});
      QCOMPARE(run.Status, 0);
      // Every game of this round added, nothing earlier touched.
      QCOMPARE(run.Out.count("added: "), 64 >> round);
      QVERIFY(!run.Out.contains("corrected") && !run.Out.contains("taken back"));
      annScore += (64 >> round) * points[round];
      eastOneWins += points[round];
      QCOMPARE(Row(dir, "Ann")["current"].toInt(), annScore);
      QCOMPARE(Row(dir, "Bo")["current"].toInt(), annScore - eastOneWins);
    }
    // Bo's 16 seed lost its first game: nothing of its path was ever there to earn.
    QCOMPARE(Row(dir, "Bo")["potential"].toInt(), annScore - eastOneWins);
    QCOMPARE(RunTool({"standings", dir, "--format", "json"}).Json().object()["tie_breaker"].toInt(),
             135);
  }

  void eachRefusalOfTheFieldNamesItsRow() {
    const QString dir = FDir.filePath("Field.BGD");
    QCOMPARE(RunTool({"new", dir}).Status, 0);
    const QByteArray good = FieldSheet();
    const QByteArray teams = ReadBytes(dir + "/Teams.dat");
    const auto withRow = [&good](int row, const QByteArray& text) {
      QList<QByteArray> rows = good.split('\n');
      rows[row - 1] = text + "\r";
      return rows.join('\n');
    };
    const QList<QPair<QByteArray, QByteArray>> cases = {
        {"team,seed,region\n" + good.mid(good.indexOf('\n') + 1),
         "Row 1: the header must read \"region,seed,team\""},
        {withRow(3, "East,1,E2"), "Row 3: East has seed 1 already, on row 2"},
        {withRow(18, "West,1,e1"), "Row 18: \"e1\" is named on row 2 already"},
        {withRow(66, "North,1,N1"), "Row 66: \"North\" would be a fifth region"},
        {withRow(5, "East,17,E4"), "Row 5: the seed must be a whole number from 1 to 16"},
        {withRow(4, "East,3," + QByteArray(36, 'x')),
         "Row 4: the team name \"" + QByteArray(36, 'x') + "\" is 36 characters long"},
        {withRow(7, "East,6,Erd\xc5\x91s"), "Row 7: the team name \"Erd\xc5\x91s\" holds"},
        {withRow(17, ""), "Row 2: region East is short: it has no seed 16"},
        {good.left(good.indexOf("South")), "Row 34: the sheet ends with 2 region(s)"},
    };
    for (const auto& [text, message] : cases) {
      const TCliRun run = RunTool({"field", dir, Write("bad.csv", text)});
      QCOMPARE(run.Status, 1);
      QVERIFY2(run.Err.startsWith(message), run.Err.constData());
      QCOMPARE(ReadBytes(dir + "/Teams.dat"), teams);
    }
    // A play-in game's two teams stand on one line as a placeholder.
    QCOMPARE(
        RunTool({"field", dir, Write("playin.csv", withRow(17, "East,16,Howard/Wagner"))}).Status,
        0);
  }

  void aRenameCarriesIntoEveryPick() {
    const QString dir = FDir.filePath("Rename.BGD");
    QCOMPARE(RunTool({"new", dir}).Status, 0);
    QByteArray sheet = FieldSheet();
    sheet.replace("East,16,E16", "East,16,Howard/Wagner");
    QCOMPARE(RunTool({"field", dir, Write("playin.csv", sheet)}).Status, 0);
    QCOMPARE(RunTool({"lock", dir}).Status, 0);
    const QString tmpl = FDir.filePath("rename-template.csv");
    RunTool({"template", dir, "--csv", tmpl});
    QList<QByteArray> lines = ReadBytes(tmpl).split('\n');
    QByteArray row = lines.at(1).trimmed().replace("Example: higher seed wins", "Cy");
    row.replace("E1,", "Howard/Wagner,");
    row.replace(row.lastIndexOf("E1"), 2, "Howard/Wagner");
    QCOMPARE(
        RunTool({"import-picks", dir, Write("cy.csv", lines.at(0) + "\n" + row + "\n")}).Status, 0);
    QCOMPARE(RunTool({"rename", dir, "HOWARD/wagner", "E4"}).Err,
             QByteArray("This team is already placed in the list\n"));
    QCOMPARE(RunTool({"rename", dir, "howard/wagner", " Wagner "}).Status, 0);
    const QByteArray exported = [&] {
      const QString out = FDir.filePath("export.csv");
      RunTool({"export-picks", dir, "--csv", out});
      return ReadBytes(out);
    }();
    QVERIFY(exported.contains("Cy,0,Wagner,"));
    QVERIFY(exported.trimmed().endsWith(",Wagner"));
    QVERIFY(!exported.contains("Howard"));
    // The results file then names the team as the pool holds it now.
    QCOMPARE(RunTool({"results", dir, Write("w.txt", "wagner\n")}).Out,
             QByteArray("added: Wagner beat E1\n"));
    QCOMPARE(RunTool({"info", dir}).Json().object()["locked"].toBool(), true);
  }

  void theInvitedWhoHaveNotEntered() {
    const QString dir = SaveFullPool(FDir.filePath("Invited.BGD"), true);
    QVERIFY(RunTool({"players", dir, "--missing"}).Err.contains("no list of the invited"));
    {
      auto pool = OpenPool(dir);
      AddPlayer(*pool, "Ann");
      pool->SavePool();
      pool->ClosePool();
    }
    QCOMPARE(RunTool({"invite", dir, Write("twice.txt", "Ann\nBo\n bo\n")}).Err,
             QByteArray("line 3: bo is on line 2 already\n"
                        "Nothing was changed; the pool is as it was.\n"));
    const QString list = Write("invited.txt", "# the office\n ANN \nBo\n\nCy\n");
    QCOMPARE(RunTool({"invite", dir, list}).Status, 0);
    QCOMPARE(ReadBytes(dir + "/Invited.txt"), QByteArray("ANN\nBo\nCy\n"));
    const TCliRun missing = RunTool({"players", dir, "--missing"});
    QCOMPARE(missing.Out, QByteArray("Bo\nCy\n"));
    QCOMPARE(missing.Err, QByteArray("2 of 3 invited have not entered.\n"));
  }
};

QTEST_GUILESS_MAIN(TestCliSeason)
#include "tst_cli_season.moc"
