#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "BracketBitmap.h"
#include "StandingsPage.h"
#include "TestPools.h"

using namespace TestPools;

namespace {
const QString kHostile = QStringLiteral("<script>alert(\"x\")</script> & Co");
}

class TestStandingsPage : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir FDir;
  std::unique_ptr<TFFDataModule> FPool;

  QString Page(const QDate& date = QDate(2026, 3, 15)) {
    return QString::fromUtf8(StandingsPage::Html(*FPool, date));
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
    AddPlayer(*FPool, QStringLiteral("Zoë Ñúñez"), 0);
  }

  void namesAreEscapedEverywhere() {
    const QString page = Page();
    QVERIFY(!page.contains(QStringLiteral("<script"), Qt::CaseInsensitive));
    QVERIFY(
        page.contains(QStringLiteral("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; "
                                     "&amp; Co")));
    QVERIFY(page.contains(QStringLiteral("<h1>Tom &amp; Jerry's &lt;Pool&gt;</h1>")));
    QVERIFY(page.contains(QStringLiteral("Zoë Ñúñez")));
  }

  void thePageIsValidAndSelfContained() {
    const QString page = Page();
    QCOMPARE(Check(page), QString());
    QVERIFY(page.startsWith(QStringLiteral("<!DOCTYPE html>")));
    QVERIFY(page.contains(QStringLiteral("name=\"viewport\"")));
    QVERIFY(page.contains(QStringLiteral("@media print")));
    // The checker itself catches what a page must not hold.
    QVERIFY(Check(QString(page).replace(QStringLiteral("</main>"), QStringLiteral("<p></main>")))
                .contains(QStringLiteral("where </p> was due")));
    QVERIFY(
        Check(QString(page).replace(QStringLiteral("<main>"),
                                    QStringLiteral("<main><img src=\"http://x/y.png\" alt=\"\">")))
            .contains(QStringLiteral("refers outside the page")));
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
    FPool->SystemFile().SetTieBreakerPoints(0);
  }

  void theChartIsTheResultsChart() {
    const QString page = Page();
    const QRegularExpression image(QStringLiteral("<img src=\"data:image/png;base64,([^\"]+)\""));
    const QRegularExpressionMatch match = image.match(page);
    QVERIFY(match.hasMatch());
    const QImage shown =
        QImage::fromData(QByteArray::fromBase64(match.captured(1).toLatin1()), "PNG");
    QCOMPARE(shown.size(), QSize(800, 600));
    const QImage expected = TBracketBitmap::ResultsPicture(FPool->SystemFile(), FPool->TeamsFile());
    QCOMPARE(shown.convertToFormat(QImage::Format_RGB32),
             expected.convertToFormat(QImage::Format_RGB32));
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

  void aPoolWithoutPlayersStillMakesAPage() {
    const QString directory = FDir.filePath("Empty.BGD");
    QDir().mkpath(directory);
    auto empty = CreatePool(directory);
    const QString page = QString::fromUtf8(StandingsPage::Html(*empty, QDate(2026, 1, 2)));
    QVERIFY(page.contains(QStringLiteral("No players yet.")));
    QVERIFY(page.contains(QStringLiteral("<h1>Office Pool</h1>")));
    QCOMPARE(Check(page), QString());
  }
};

QTEST_MAIN(TestStandingsPage)
#include "tst_standings_page.moc"
