#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "ChartSvg.h"
#include "Outlook.h"
#include "RaceSvg.h"
#include "SamplePool.h"
#include "StandingsByPoints.h"
#include "StandingsHistory.h"
#include "StandingsPage.h"
#include "TestPools.h"
#include "WhatIfPage.h"

using namespace TestPools;

namespace {
const QString kHostile = QStringLiteral("<script>alert(\"x\")</script> & Co");

using TChanceRows = QList<QPair<QString, QString>>;

// The standings rows of a page: each player's name and win-chance cell, in the page's order.
TChanceRows ChanceRows(const QString& page) {
  static const QRegularExpression row(QStringLiteral(
      "<tr><td>\\d+</td><td class=\"name\">([^<]*)</td><td class=\"total\">-?\\d+</td>"
      "<td>-?\\d+</td><td(?: title=\"[^\"]*\")?>([^<]*)(?:<span class=\"ci\">[^<]*</span>)?</td>"));
  TChanceRows rows;
  for (auto it = row.globalMatch(page); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    rows << qMakePair(match.captured(1), match.captured(2));
  }
  return rows;
}

// What the page should show: every player's name and win chance from the outlook.
TChanceRows OutlookRows(const TOutlookResult& outlook, const QString& mark = {}) {
  TChanceRows rows;
  for (const TOutlookPlayer& player : outlook.Players)
    rows << qMakePair(player.Name.toHtmlEscaped(),
                      mark + FormatChance(player.WinChance).toHtmlEscaped());
  return rows;
}

TChanceRows Sorted(TChanceRows rows) {
  std::sort(rows.begin(), rows.end());
  return rows;
}
}  // namespace

class TestStandingsPage : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir FDir;
  std::unique_ptr<TFFDataModule> FPool;

  // A locked pool of 64 teams a few weeks in: `rounds` rounds played, `players` brackets.
  std::unique_ptr<TFFDataModule> PlayedPool(const QString& name, int players, int rounds,
                                            int32_t actualTotal = 0) {
    const QString directory = FDir.filePath(name);
    QDir().mkpath(directory);
    auto pool = CreatePool(directory);
    SamplePool::Fill(*pool, players, rounds, actualTotal);
    return pool;
  }

  QString Page(const QDate& date = QDate(2026, 3, 15)) {
    return QString::fromUtf8(StandingsPage::Html(*FPool, date, nullptr));
  }

  // Runs the HTML checker on `page`; returns what it reported, empty when all is well.
  QString Check(const QString& page) {
    const QString file = FDir.filePath("page.html");
    WriteBytes(file, page.toUtf8());
    QProcess python;
    python.start(
        "python3",
        {qEnvironmentVariable("COURTSIDER_SOURCE_DIR") + "/tests/exchange/check_html.py", file});
    if (!python.waitForFinished(60000))
      return QStringLiteral("the checker did not run");
    const QString report =
        QString::fromUtf8(python.readAllStandardOutput() + python.readAllStandardError());
    if (python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0)
      return report.isEmpty() ? QStringLiteral("the checker failed") : report;
    return {};
  }

 private slots:
  void initTestCase() {
    QVERIFY(FDir.isValid());
    const QString directory = FDir.filePath("Web.BGD");
    QDir().mkpath(directory);
    FPool = CreatePool(directory);
    FPool->SystemFile().SetPoolName(QStringLiteral("Tom & Jerry's <Pool>"));
    FPool->SystemFile().SetFinalized(true);
    AddFullField(FPool->TeamsFile());
    // Region 1 seed 1 has won two games; its first opponent and region 1 seed 8 are out.
    FPool->TeamsFile().Items(0)->SetRoundReached(3);
    FPool->TeamsFile().Items(15)->SetEliminated(true);
    FPool->TeamsFile().Items(7)->SetEliminated(true);
    // "Ann" takes region 1 seed 1 to the title; the hostile name backs region 1 seed 16.
    TPlayerPicksListObject* ann = AddPlayer(*FPool, QStringLiteral("Ann"), 140);
    ann->Pick(0)->SetRoundReached(7);
    TPlayerPicksListObject* hostile = AddPlayer(*FPool, kHostile, 155);
    hostile->Pick(15)->SetRoundReached(3);
    AddPlayer(*FPool, QStringLiteral("Zoë Ñúñez %3 wins %4"), 0);
  }

  void namesAreEscapedEverywhere() {
    const QString page = Page();
    QVERIFY(!page.contains(QStringLiteral("<script"), Qt::CaseInsensitive));
    QVERIFY(
        page.contains(QStringLiteral("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; "
                                     "&amp; Co")));
    QVERIFY(page.contains(QStringLiteral("<h1>Tom &amp; Jerry's &lt;Pool&gt;</h1>")));
    // Kept as typed, never read as the places of figures that follow it.
    QVERIFY(page.contains(QStringLiteral("<td class=\"name\">Zoë Ñúñez %3 wins %4</td>")));
  }

  void thePageIsValidAndSelfContained() {
    const QString page = Page();
    QCOMPARE(Check(page), QString());
    QVERIFY(page.startsWith(QStringLiteral("<!DOCTYPE html>")));
    QVERIFY(page.contains(QStringLiteral("name=\"viewport\"")));
    QVERIFY(page.contains(QStringLiteral("@media print")));
    QVERIFY(page.contains(QStringLiteral("<svg ")));
    // The checker itself catches what a page must not hold.
    QVERIFY(Check(QString(page).replace(QStringLiteral("</main>"), QStringLiteral("<p></main>")))
                .contains(QStringLiteral("where </p> was due")));
    QVERIFY(
        Check(QString(page).replace(QStringLiteral("<main>"),
                                    QStringLiteral("<main><img src=\"http://x/y.png\" alt=\"\">")))
            .contains(QStringLiteral("refers outside the page")));
    QVERIFY(
        Check(QString(page).replace(QStringLiteral("<svg "), QStringLiteral("<svg><img/><svg ")))
            .contains(QStringLiteral("<img> is not an element this page may hold")));
  }

  void standingsRankByPointsWithTheTieBreaker() {
    FPool->SystemFile().SetTieBreakerPoints(0);
    QString page = Page();
    QVERIFY(page.contains(QStringLiteral("Standings as of 15 March 2026")));
    // Ann has 3 points (two games of her champion won), the others none.
    const QRegularExpression first(
        QStringLiteral("<tr><td>1</td><td class=\"name\">Ann</td>"
                       "<td class=\"total\">3</td><td>63</td>"));
    QVERIFY(first.match(page).hasMatch());
    QVERIFY(!page.contains(QStringLiteral("<th>+/-</th>")));
    QVERIFY(page.contains(QStringLiteral("<th>Tie-breaker</th>")));

    // With the actual total entered, the closer guess ranks first among equal points.
    FPool->SystemFile().SetTieBreakerPoints(150);
    page = Page();
    QVERIFY(page.contains(QStringLiteral("<th>+/-</th>")));
    const qsizetype hostile = page.indexOf(QStringLiteral("<td>155</td><td>+5</td>"));
    const qsizetype zoe = page.indexOf(QStringLiteral("<td>0</td><td>-150</td>"));
    QVERIFY(hostile > 0 && zoe > hostile);
    // Level on points before the final, the two share their place.
    QVERIFY(page.contains(QStringLiteral("<tr><td>2</td><td class=\"name\">Zoë Ñúñez %3 wins %4")));
    FPool->SystemFile().SetTieBreakerPoints(0);
  }

  // While games are left the players are also ordered by the most each can still reach: Zoë,
  // backing two teams still in, passes Ann, who leads on points; with no game left, no order.
  void standingsByPotentialWhileGamesAreLeft() {
    TPlayerPicksListObject& zoe = *FPool->PlayerPicksFile().Items(2);
    const int32_t was[] = {zoe.Pick(16)->RoundReached(), zoe.Pick(32)->RoundReached()};
    zoe.Pick(16)->SetRoundReached(7);
    zoe.Pick(32)->SetRoundReached(3);
    QString page = Page();
    const qsizetype section =
        page.indexOf(QStringLiteral("<h2>Standings by Potential Points Remaining</h2>"));
    QVERIFY(section > 0);
    const qsizetype first = page.indexOf(QStringLiteral("<tr><td class=\"name\">Zoë"), section);
    const qsizetype second = page.indexOf(
        QStringLiteral("<tr><td class=\"name\">Ann</td><td class=\"total\">63</td><td>3</td>"),
        section);
    QVERIFY(first > section && second > first);
    zoe.Pick(16)->SetRoundReached(was[0]);
    zoe.Pick(32)->SetRoundReached(was[1]);
  }

  // The charts are drawn inline, the results chart first with the lines every player's chart
  // draws on; each player's chart comes with the player's picks.
  void theChartsAreDrawnInline() {
    const QString page = Page();
    QVERIFY(!page.contains(QStringLiteral("<img")));
    TChartSvg charts(FPool->SystemFile());
    const QString results = charts.Results(FPool->TeamsFile());
    QVERIFY(page.contains(QStringLiteral("<h2>Results</h2>\n<figure>") + results));
    for (int p = 0; p < FPool->PlayerPicksFile().Count(); ++p) {
      const QString picks = charts.Picks(*FPool->PlayerPicksFile().Items(p), FPool->TeamsFile());
      QVERIFY(page.contains(QStringLiteral("<summary>Chart</summary>") + picks + "</details>"));
    }
    QCOMPARE(page.count(QStringLiteral("<svg ")), 4);

    // A large pool: a chart for the first players in the list only, and a note that says so.
    auto large = PlayedPool(QStringLiteral("Large.BGD"), 205, 1);
    const QString many =
        QString::fromUtf8(StandingsPage::Html(*large, QDate(2026, 3, 30), nullptr));
    QCOMPARE(many.count(QStringLiteral("<summary>Chart</summary>")), 200);
    QVERIFY(many.contains(QStringLiteral("The first 200 players in the list have a chart")));
  }

  // A pool three rounds in: the race of its players, and who picked what.
  void theRaceAndThePicksPopularity() {
    auto pool = PlayedPool(QStringLiteral("Race.BGD"), 6, 3);
    const QString page = QString::fromUtf8(StandingsPage::Html(*pool, QDate(2026, 3, 30), nullptr));
    TStandingsHistory history;
    history.Build(*pool);
    QCOMPARE(history.Rounds().size(), size_t{3});
    QVERIFY(page.contains(QStringLiteral("<h2>The Race</h2>\n<figure>") +
                          RaceSvg::Svg(history, QStringLiteral("Places after each round")) +
                          QStringLiteral("</figure>")));
    QVERIFY(page.contains(QStringLiteral("<h2>Pick Popularity</h2>")));
    QVERIFY(page.contains(QStringLiteral("The share of the 6 players who picked each team")));
    // One row a team on the chart, in the table of every team.
    const qsizetype table = page.indexOf(QStringLiteral("<h3>Every team</h3>"));
    const qsizetype end = page.indexOf(QStringLiteral("</table>"), table);
    QCOMPARE(page.mid(table, end - table).count(QStringLiteral("<tr><td class=\"name\">")), 64);
    QCOMPARE(Check(page), QString());

    // Before the first round is over there is no race; with nobody, no popularity either.
    QVERIFY(!Page().contains(QStringLiteral("The Race")));
    const QString directory = FDir.filePath("Nobody2.BGD");
    QDir().mkpath(directory);
    auto nobody = CreatePool(directory);
    const QString empty =
        QString::fromUtf8(StandingsPage::Html(*nobody, QDate(2026, 1, 2), nullptr));
    QVERIFY(!empty.contains(QStringLiteral("Pick Popularity")));
  }

  void everyPlayersPicksByRound() {
    const QString page = Page();
    QCOMPARE(page.count(QStringLiteral("<article class=\"player\">")), 3);
    // Ann's champion has won its first two games and is still playing.
    const qsizetype ann = page.indexOf(QStringLiteral("<h3>Ann</h3>"));
    QVERIFY(ann > 0);
    QVERIFY(page.indexOf(QStringLiteral("<tr><th>Rd 2</th><td><span class=\"won\">R1S1</span>"),
                         ann) > ann);
    QVERIFY(page.indexOf(QStringLiteral("<tr><th>Rd 3</th><td><span>R1S1</span>"), ann) > ann);
    // The hostile player's team lost its first game: both its picks are struck through.
    QVERIFY(
        page.contains(QStringLiteral("<tr><th>Rd 1</th><td><span class=\"lost\">R1S16</span>")));
  }

  void winChancesAreTheOutlooksWithEightTeamsLeft() {
    auto pool = PlayedPool(QStringLiteral("Eight.BGD"), 6, 3);
    QVERIFY(StandingsPage::ShowsWinChances(*pool));
    // A second player under the name of the favourite, with no picks and so no chance: each
    // row must carry its own player's figure, not the first of that name.
    const QString favourite =
        ComputeOutlook(TOutlookInput::FromPool(*pool), TOutlookOptions{}).Players.front().Name;
    AddPlayer(*pool, favourite);
    const TOutlookResult outlook =
        ComputeOutlook(TOutlookInput::FromPool(*pool), TOutlookOptions{});
    QCOMPARE(outlook.GamesLeft, 7);
    QVERIFY(outlook.Exact);
    QVERIFY(outlook.Players.front().WinChance > 0);
    QCOMPARE(outlook.Players.back().WinChance, 0.0);

    const QString page =
        QString::fromUtf8(StandingsPage::Html(*pool, QDate(2026, 3, 30), &outlook));
    QVERIFY(page.contains(QStringLiteral("<th>Win chance</th>")));
    const TChanceRows rows = ChanceRows(page);
    QCOMPARE(rows.size(), 7);
    QCOMPARE(Sorted(rows), Sorted(OutlookRows(outlook)));
    // The rows stay in the order of points, the column beside them.
    TStandingsByPoints standings;
    standings.Build(*pool);
    for (int row = 0; row < rows.size(); ++row)
      QCOMPARE(rows.at(row).first, standings.StandingsItem(row).PlayerName().toHtmlEscaped());
    QVERIFY(page.contains(OutlookSummary(outlook).toHtmlEscaped()));
    QVERIFY(!page.contains(QStringLiteral("&asymp;")));
    QVERIFY(!page.contains(QStringLiteral("<h2>The Last Games</h2>")));
    QCOMPARE(Check(page), QString());
  }

  // Three games left: every outcome, its chance, its winners and who finishes first.
  void theLastGamesWithThreeLeft() {
    auto pool = PlayedPool(QStringLiteral("Three.BGD"), 6, 4);
    const TOutlookResult outlook =
        ComputeOutlook(TOutlookInput::FromPool(*pool), TOutlookOptions{});
    QCOMPARE(outlook.LastGames.size(), size_t{8});
    const QString page = QString::fromUtf8(StandingsPage::Html(*pool, QDate(2026, 4, 5), &outlook));
    QVERIFY(page.contains(QStringLiteral("<h2>The Last Games</h2>")));
    for (const TLastGamesOutcome& outcome : outlook.LastGames) {
      const QString row = QStringLiteral(
                              "<tr><td>12.50%</td><td class=\"name\">%1</td><td class=\"name\">%2 "
                              "(%3)</td></tr>")
                              .arg(outcome.Winners.join(", ").toHtmlEscaped(),
                                   outcome.First.join(", ").toHtmlEscaped())
                              .arg(outcome.Points);
      QVERIFY2(page.contains(row), qPrintable(row));
    }
    QCOMPARE(Check(page), QString());

    // Where the pool pays prizes: who wins what in each outcome, each player's expectation.
    pool->SetPrizes({1000, {6000, 3000, 1000}});
    const TOutlookResult paid = ComputeOutlook(TOutlookInput::FromPool(*pool), TOutlookOptions{});
    QVERIFY(paid.PaysPrizes);
    const QString prizes = QString::fromUtf8(StandingsPage::Html(*pool, QDate(2026, 4, 5), &paid));
    QVERIFY(prizes.contains(QStringLiteral("<th>Expected prize</th><th>Prize chance</th>")));
    for (const TLastGamesOutcome& outcome : paid.LastGames) {
      QStringList who;
      for (const TLastGamesOutcome::TPaid& entry : outcome.Paid)
        who << entry.Player.toHtmlEscaped() + " " + Prizes::MoneyText(entry.Cents);
      const QString cell = "<td class=\"name\">" + who.join(", ") + "</td></tr>";
      QVERIFY2(prizes.contains(cell), qPrintable(cell));
    }
    // The same columns on a what-if's page.
    const QString whatIf = QString::fromUtf8(WhatIfPage::Html(
        QStringLiteral("Three"), {QStringLiteral("x")}, {QStringLiteral("x")},
        TOutlookInput::FromPool(*pool), paid, static_cast<int>(paid.Players.size())));
    for (const TOutlookPlayer& player : paid.Players) {
      const QString cells = QStringLiteral("<td>%1</td><td>%2</td>")
                                .arg(FormatPrize(player.ExpectedPrize).toHtmlEscaped(),
                                     FormatChance(player.PrizeChance).toHtmlEscaped());
      QVERIFY2(prizes.contains(cells), qPrintable(cells));
      QVERIFY2(whatIf.contains(cells + "</tr>"), qPrintable(cells));
    }
    // Its rooting guide goes by the expected prize, for whoever can still be paid.
    QVERIFY(prizes.contains(
        QStringLiteral("<th>Expected prize</th><th class=\"name\">Root for</th></tr>")));
    for (const TOutlookPlayer& player : paid.Players) {
      const QString line =
          QStringLiteral("<tr><td class=\"name\">%1</td><td>%2</td>")
              .arg(player.Name.toHtmlEscaped(), FormatPrize(player.ExpectedPrize).toHtmlEscaped());
      QCOMPARE(prizes.contains(line), player.PrizeChance > 0);
    }
    QCOMPARE(Check(prizes), QString());
  }

  void sampledChancesAreMarkedAsEstimates() {
    // 63 games left: drawn outcomes, fewer here than the program draws, for the test's time.
    auto pool = PlayedPool(QStringLiteral("Open.BGD"), 3, 0);
    TOutlookOptions options;
    options.Samples = 4000;
    const TOutlookResult outlook = ComputeOutlook(TOutlookInput::FromPool(*pool), options);
    QVERIFY(!outlook.Exact);
    const QString page =
        QString::fromUtf8(StandingsPage::Html(*pool, QDate(2026, 3, 17), &outlook));
    QCOMPARE(Sorted(ChanceRows(page)),
             Sorted(OutlookRows(outlook, QStringLiteral("&asymp;&nbsp;"))));
    const TOutlookPlayer& best = outlook.Players.front();
    QVERIFY(page.contains(QStringLiteral("title=\"95% interval %1 to %2\"")
                              .arg(FormatChance(best.ChanceLow), FormatChance(best.ChanceHigh))));
    // The interval shows under the figure, not only when pointed at.
    QVERIFY(page.contains(QStringLiteral("<span class=\"ci\">%1</span>")
                              .arg(FormatInterval(best.ChanceLow, best.ChanceHigh))));
    QVERIFY(page.contains(OutlookSummary(outlook).toHtmlEscaped() +
                          QStringLiteral("; &asymp; marks an estimate")));
    QCOMPARE(Check(page), QString());
  }

  void aFinishedPoolGivesTheWinnerEverything() {
    auto pool = PlayedPool(QStringLiteral("Done.BGD"), 5, 6, 141);
    const TOutlookResult outlook =
        ComputeOutlook(TOutlookInput::FromPool(*pool), TOutlookOptions{});
    QCOMPARE(outlook.GamesLeft, 0);
    TStandingsByPoints standings;
    standings.Build(*pool);
    // The pool of this seed has one player alone on top.
    QVERIFY(standings.StandingsItem(0).CurrentPoints() >
            standings.StandingsItem(1).CurrentPoints());
    const QString page = QString::fromUtf8(StandingsPage::Html(*pool, QDate(2026, 4, 8), &outlook));
    const TChanceRows rows = ChanceRows(page);
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows.at(0).second, QStringLiteral("100.00%"));
    for (int row = 1; row < rows.size(); ++row)
      QCOMPARE(rows.at(row).second, QStringLiteral("0.00%"));
    QVERIFY(page.contains(QStringLiteral("the tournament is over")));
    QVERIFY(!page.contains(QStringLiteral("Standings by Potential")));
    QCOMPARE(Check(page), QString());
  }

  void noWinChancesWhileTheFirstRoundIsOpenOrNobodyPlays() {
    QVERIFY(StandingsPage::ShowsWinChances(*FPool));
    FPool->SystemFile().SetFinalized(false);
    QVERIFY(!StandingsPage::ShowsWinChances(*FPool));
    FPool->SystemFile().SetFinalized(true);
    const QString directory = FDir.filePath("Nobody.BGD");
    QDir().mkpath(directory);
    auto nobody = CreatePool(directory);
    AddFullField(nobody->TeamsFile());
    nobody->SystemFile().SetFinalized(true);
    QVERIFY(!StandingsPage::ShowsWinChances(*nobody));
    // Without an outlook the page has no column and no note for it.
    const QString page = Page();
    QVERIFY(!page.contains(QStringLiteral("Win chance")));
    QCOMPARE(ChanceRows(page), TChanceRows());
  }

  void aPoolWithoutPlayersStillMakesAPage() {
    const QString directory = FDir.filePath("Empty.BGD");
    QDir().mkpath(directory);
    auto empty = CreatePool(directory);
    const QString page = QString::fromUtf8(StandingsPage::Html(*empty, QDate(2026, 1, 2), nullptr));
    QVERIFY(page.contains(QStringLiteral("No players yet.")));
    QVERIFY(page.contains(QStringLiteral("<h1>Office Pool</h1>")));
    QCOMPARE(Check(page), QString());
  }
};

QTEST_MAIN(TestStandingsPage)
#include "tst_standings_page.moc"
