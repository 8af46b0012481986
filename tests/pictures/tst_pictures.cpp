// The SVG pictures: the chart from the chart picture's own geometry with every name in its
// box, a player's picks marked, and the race of the standings.

#include <QMap>
#include <QRegularExpression>
#include <QTest>
#include <QXmlStreamReader>

#include "BracketList.h"
#include "ChartPicture.h"
#include "ChartSvg.h"
#include "RaceSvg.h"
#include "StandingsHistory.h"
#include "SvgText.h"
#include "TestPools.h"

using namespace TestPools;

namespace {

// An element of an SVG picture: its name, attributes and text.
struct TElement {
  QString Name;
  QXmlStreamAttributes Attributes;
  QString Text;
  // A text shown in short: the whole of it, its tip.
  QString Tip;
  QString Attribute(const char* name) const { return Attributes.value(name).toString(); }
  double Number(const char* name) const { return Attribute(name).toDouble(); }
  // Where a text stands, and how wide it is drawn: a text drawn narrower is placed by its
  // transform, "matrix(squeeze 0 0 1 x y)".
  QPointF Place() const {
    if (Attributes.hasAttribute("x"))
      return QPointF(Number("x"), Number("y"));
    const QStringList matrix = Matrix();
    return QPointF(matrix.value(4).toDouble(), matrix.value(5).toDouble());
  }
  double Extent() const {
    return Number("textLength") * (Attributes.hasAttribute("x") ? 1 : Matrix().value(0).toDouble());
  }
  QStringList Matrix() const {
    const QString transform = Attribute("transform");
    return transform.isEmpty() ? QStringList() : transform.section('(', 1).chopped(1).split(' ');
  }
};

QList<TElement> Elements(const QString& svg) {
  QList<TElement> elements;
  QXmlStreamReader xml(svg);
  while (!xml.atEnd()) {
    if (xml.readNext() == QXmlStreamReader::StartElement) {
      elements.append({xml.name().toString(), xml.attributes(), {}, {}});
      if (xml.name() == QLatin1String("text")) {
        const qsizetype count = elements.size();
        // A text shown in short stands in a group whose title is the whole text.
        if (count >= 3 && elements.at(count - 2).Name == QLatin1String("title") &&
            elements.at(count - 3).Name == QLatin1String("g")) {
          elements.last().Tip = elements.at(count - 2).Text;
        }
        elements.last().Text = xml.readElementText();
      } else if (xml.name() == QLatin1String("title")) {
        elements.last().Text = xml.readElementText();
      }
    }
  }
  if (xml.hasError())
    QTest::qFail(qPrintable(xml.errorString()), __FILE__, __LINE__);
  return elements;
}

// The text element showing `text`, whole or in short; an empty element when there is none.
TElement TextOf(const QList<TElement>& elements, const QString& text) {
  for (const TElement& element : elements) {
    if (element.Name == QLatin1String("text") && (element.Text == text || element.Tip == text))
      return element;
  }
  return {};
}

bool Dark(const QImage& image, int x, int y) {
  return qGray(image.pixel(x, y)) < 128;
}

}  // namespace

class TestPictures : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    FPool = std::make_unique<TFFDataModule>();
    AddFullField(FPool->TeamsFile());
  }

  // Every name stands in its slot's box, the rules are the chart picture's, and a name too
  // long for its box is shown in short inside it, whole in its tip.
  void theChartIsThePicturesGeometryWithEveryNameInItsBox() {
    PlayUpperLinesUpTo(*FPool, 7);
    FPool->TeamsFile().FindTeam("R1S1")->SetTeamName("Florida Atlantic University Owls");
    FPool->TeamsFile().FindTeam("R1S16")->SetTeamName("Texas A&M <Aggies>");
    const QString svg = TChartSvg(FPool->SystemFile()).Results(FPool->TeamsFile());
    const QList<TElement> elements = Elements(svg);

    TBracketList chart;
    chart.PlaceTeams(FPool->TeamsFile());
    for (int n = 1; n <= TBracketList::kSlotCount; ++n) {
      const TBracketItem* slot = chart.Slot(n);
      const TElement name = TextOf(elements, slot->Team()->TeamName());
      const QRect box = slot->TextBox();
      QVERIFY2(!name.Name.isEmpty(), qPrintable(slot->Team()->TeamName()));
      // The same name stands in several slots: one of them is this one.
      bool here = false;
      for (const TElement& element : elements) {
        const QPointF at = element.Place();
        here = here || (TextOf({element}, slot->Team()->TeamName()).Name == "text" &&
                        at.x() == box.left() && at.y() > box.top() && at.y() <= box.bottom() &&
                        element.Extent() <= box.width() + 0.01);
      }
      QVERIFY2(here, qPrintable(QString::number(n)));
    }
    QVERIFY(TextOf(elements, "Florida Atlantic University Owls").Text.endsWith(QChar(0x2026)));

    QStringList rules;
    for (const QRect& rule : ChartRules()) {
      rules << QStringLiteral("M%1 %2h%3v%4h-%3z")
                   .arg(rule.left())
                   .arg(rule.top())
                   .arg(rule.width())
                   .arg(rule.height());
    }
    const auto lines = std::find_if(elements.begin(), elements.end(),
                                    [](const TElement& e) { return e.Name == "path"; });
    QVERIFY(lines != elements.end());
    QCOMPARE(lines->Attribute("d"), rules.join(QString()));

    // Drawn, the rules cover what the picture's cover, and the long name ends inside its box.
    const QImage drawn = SvgText::Render(svg.toUtf8(), 2400);
    QCOMPARE(drawn.size(), QSize(2400, 1800));
    for (const QRect& rule : ChartRules()) {
      const QPoint middle = rule.center();
      QVERIFY(qGray(LoadChartPicture().pixel(middle)) < 128);
      QVERIFY(Dark(drawn, middle.x() * 3 + 1, middle.y() * 3 + 1));
    }
    const QRect box = chart.Slot(1)->TextBox();
    bool inkNearTheEnd = false;
    for (int y = box.top() * 3; y < (box.bottom() + 1) * 3; ++y) {
      for (int x = (box.right() - 6) * 3; x < (box.right() + 1) * 3; ++x)
        inkNearTheEnd = inkNearTheEnd || Dark(drawn, x, y);
      for (int x = (box.right() + 2) * 3; x < 91 * 3; ++x)
        QVERIFY2(!Dark(drawn, x, y), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    }
    QVERIFY(inkNearTheEnd);
  }

  // A player's picks past the first round: come true in green, dead struck through in red,
  // still open as they are. The second chart of a page uses the first one's rules.
  void aPlayersPicksAreMarked() {
    PlayUpperLinesUpTo(*FPool, 3);
    // R1S1 has won twice and plays on; R1S9 lost in round 1 and R1S4 in round 2.
    TPlayerPicksListObject* player =
        AddPicks(*FPool, "Ann", 0, {{"R1S1", 4}, {"R1S9", 2}, {"R1S4", 3}});
    TChartSvg writer(FPool->SystemFile());
    const QString results = writer.Results(FPool->TeamsFile());
    const QString picks = writer.Picks(*player, FPool->TeamsFile());
    QVERIFY(results.contains(QStringLiteral("<defs>")));
    QVERIFY(!picks.contains(QStringLiteral("<defs>")));
    QVERIFY(picks.contains(QStringLiteral("<use href=\"#chart-lines\"/>")));
    QVERIFY(picks.contains(QStringLiteral("<title>The picks of Ann</title>")));

    TBracketList chart;
    chart.PlaceTeams(*player);
    auto inkAt = [&](int slot) {
      const QRect box = chart.Slot(slot)->TextBox();
      for (const TElement& element : Elements(picks)) {
        const QPointF at = element.Place();
        if (element.Name == QLatin1String("text") && at.x() == box.left() && at.y() > box.top() &&
            at.y() <= box.bottom()) {
          return element.Text + QLatin1Char(' ') + element.Attribute("fill");
        }
      }
      return QString();
    };
    QCOMPARE(inkAt(1), QStringLiteral("R1S1 "));  // the first round is no pick
    QCOMPARE(inkAt(65), QStringLiteral("R1S1 #176b2c"));
    QCOMPARE(inkAt(97), QStringLiteral("R1S1 #176b2c"));
    QCOMPARE(inkAt(113), QStringLiteral("R1S1 "));  // still open
    QCOMPARE(inkAt(66), QStringLiteral("R1S9 #9a2a2a"));
    QCOMPARE(inkAt(68), QStringLiteral("R1S4 #176b2c"));
    QCOMPARE(inkAt(98), QStringLiteral("R1S4 #9a2a2a"));
    QCOMPARE(picks.count(QStringLiteral("stroke=\"#9a2a2a\"")), 2);
  }

  // Places after each round, the top five named and coloured in finish order, the rest grey.
  void theRaceNamesTheLeaders() {
    AddPicks(*FPool, "Ann", 150, {{"R1S1", 7}});
    AddPicks(*FPool, "Bob", 140, {{"R3S1", 7}, {"R1S16", 2}});
    AddPicks(*FPool, "Cid & Co %3", 155, {{"R2S1", 5}, {"R4S1", 5}, {"R1S8", 3}});
    AddPicks(*FPool, "Dee", 0, {{"R1S5", 3}});
    AddPicks(*FPool, "Eve", 0, {{"R1S8", 2}});
    AddPlayer(*FPool, "Fay");
    AddPlayer(*FPool, "Gus");
    PlayUpperLinesUpTo(*FPool, 7);
    FPool->SystemFile().SetTieBreakerPoints(150);
    TStandingsHistory history;
    history.Build(*FPool);
    const QString svg = RaceSvg::Svg(history, QStringLiteral("The race"));
    const QList<TElement> elements = Elements(svg);

    // Ann, Cid and Bob, Dee and Eve named, from the last; Fay and Gus, level 6th, grey.
    QStringList labels;
    static const QRegularExpression named(QStringLiteral("^\\d+(st|nd|rd|th) .+ \\(\\d+\\)$"));
    for (const TElement& element : elements) {
      if (element.Name == QLatin1String("text") && named.match(element.Text).hasMatch())
        labels << element.Text;
    }
    QCOMPARE(labels, QStringList({"5th Eve (1)", "4th Dee (3)", "3rd Bob (31)",
                                  "2nd Cid & Co %3 (31)", "1st Ann (63)"}));
    int grey = 0;
    int coloured = 0;
    for (const TElement& element : elements) {
      if (element.Name != QLatin1String("polyline"))
        continue;
      (element.Attribute("stroke-width") == "3" ? coloured : grey) += 1;
    }
    QCOMPARE(coloured, 5);
    QCOMPARE(grey, 2);

    // Places run down the plot in even steps, the first at its top and the last at its bottom
    // (the rounds' lines span it), and each leader's last dot stands level with its place.
    double top = 0;
    double bottom = 0;
    QMap<int, double> placeY;
    QList<double> lastDots;
    double lastX = 0;
    static const QRegularExpression ordinal(QStringLiteral("^(\\d+)(st|nd|rd|th)$"));
    for (const TElement& element : elements) {
      const QString d = element.Attribute("d");
      if (element.Name == QLatin1String("path") && d.contains('V')) {
        top = d.section(' ', 1).section('V', 0, 0).toDouble();
        bottom = d.section('V', 1).toDouble();
      } else if (const auto match = ordinal.match(element.Text);
                 element.Name == QLatin1String("text") && match.hasMatch()) {
        placeY[match.captured(1).toInt()] = element.Number("y") - 5;
      } else if (element.Name == QLatin1String("circle") && element.Attribute("r") == "4") {
        if (element.Number("cx") > lastX) {
          lastX = element.Number("cx");
          lastDots.clear();
        }
        if (element.Number("cx") == lastX)
          lastDots << element.Number("cy");
      }
    }
    QCOMPARE(placeY.keys(), QList<int>({1, 2, 3, 4, 5, 6}));
    QCOMPARE(placeY.first(), top + 8);
    QCOMPARE(placeY.last(), bottom - 8);
    const double rowStep = (placeY.last() - placeY.first()) / 5;
    for (int place = 1; place <= 6; ++place)
      QCOMPARE(placeY.value(place), placeY.first() + rowStep * (place - 1));
    QCOMPARE(lastDots.size(), labels.size());
    for (qsizetype i = 0; i < labels.size(); ++i)
      QCOMPARE(lastDots.at(i), placeY.value(labels.at(i).section(' ', 0, 0).chopped(2).toInt()));
    QVERIFY(svg.contains(QStringLiteral("<title>The race</title>")));

    const QImage drawn = SvgText::Render(svg.toUtf8(), 1600);
    QCOMPARE(drawn.width(), 1600);
    QVERIFY(drawn.height() > 400);

    QCOMPARE(RaceSvg::Caption(history),
             QStringLiteral("Each line is a player's place after each completed round; the "
                            "leaders are named."));

    // A pool far larger: the lines of the first players in the standings only, and a caption
    // that says so.
    for (int i = 0; i < RaceSvg::kMostDrawn; ++i)
      AddPlayer(*FPool, QStringLiteral("Player %1").arg(i));
    history.Build(*FPool);
    const QString crowded = RaceSvg::Svg(history, QStringLiteral("The race"));
    QCOMPARE(crowded.count(QStringLiteral("<polyline ")), RaceSvg::kMostDrawn);
    QVERIFY(RaceSvg::Caption(history).endsWith(
        QStringLiteral("The first %1 players in the standings are drawn.")
            .arg(RaceSvg::kMostDrawn)));

    // Before any round is over there is no race to draw.
    PlayUpperLinesUpTo(*FPool, 1);
    history.Build(*FPool);
    QVERIFY(RaceSvg::Svg(history, QStringLiteral("The race")).isEmpty());
  }

 private:
  std::unique_ptr<TFFDataModule> FPool;
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
