#include <QTest>
#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "BracketBitmap.h"
#include "BracketList.h"
#include "ChartPicture.h"
#include "FFDataModule.h"
#include "TestPools.h"

using namespace TestPools;

namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

// A chart entry of either kind will do for the model; teams are the simplest to make.
TTeamSeedObject MakeTeam(const QString& name, int region, int seed, int roundReached) {
  TTeamSeedObject team;
  team.SetTeamName(name);
  team.SetRegion(region);
  team.SetSeed(seed);
  team.SetRoundReached(roundReached);
  return team;
}

std::vector<int> SlotsOf(const TBracketList& chart, const TChartEntry* entry) {
  std::vector<int> numbers;
  for (int i = 0; i < chart.Count(); ++i) {
    if (chart.Items(i)->Team() == entry)
      numbers.push_back(i + 1);
  }
  return numbers;
}

std::vector<int> PathSlots(const TWinnerPathItem& path, int rounds) {
  std::vector<int> numbers;
  for (int round = 1; round <= rounds; ++round)
    numbers.push_back(path.Slot(round));
  return numbers;
}

// Where the chart's lines must be, written out here from the chart's own description rather
// than taken from the drawing code.
int RuleRow(const TBracketItem& slot) {
  return slot.Top() + (slot.Round() == 1 ? 13 : slot.Round() == 7 ? 15 : 14);
}
bool LeftSide(const TBracketItem& slot) {
  return slot.Round() <= 5 ? slot.Region() <= 2 : slot.Region() == 1;
}
// Connector columns at the inner end of rounds 1 to 5; either of two where the chart allows it.
const std::vector<std::vector<int>> kLeftConnectors = {{92}, {160}, {229, 230}, {296}, {363}};
const std::vector<std::vector<int>> kRightConnectors = {
    {705, 706}, {637, 638}, {568, 569}, {501, 502}, {435}};

const std::vector<int>& ConnectorColumns(const TBracketItem& slot) {
  if (slot.Round() == 6)
    return LeftSide(slot) ? kLeftConnectors[4] : kRightConnectors[4];
  const auto& table = LeftSide(slot) ? kLeftConnectors : kRightConnectors;
  return table[static_cast<size_t>(slot.Round() - 1)];
}

bool IsConnectorColumn(int x) {
  for (const auto* table : {&kLeftConnectors, &kRightConnectors}) {
    for (const auto& columns : *table) {
      if (std::find(columns.begin(), columns.end(), x) != columns.end())
        return true;
    }
  }
  return false;
}

// The pixels a name may cover: columns Left to Right - 5, rows Top to Bottom - 6.
QRect ExpectedTextBox(const TBracketItem& slot) {
  return QRect(QPoint(slot.Left(), slot.Top()), QPoint(slot.Right() - 5, slot.Bottom() - 6));
}

// Pool name (the bitmap's and the bracket builder's) and bracket names 1 to 4, as pixels.
const QRect kPoolNameBox(QPoint(320, 5), QPoint(459, 24));
const QRect kBuilderPoolNameBox(QPoint(290, 5), QPoint(489, 24));
const QRect kBracketNameBoxes[] = {
    QRect(QPoint(190, 140), QPoint(279, 159)), QRect(QPoint(190, 430), QPoint(279, 449)),
    QRect(QPoint(520, 140), QPoint(609, 159)), QRect(QPoint(520, 430), QPoint(609, 449))};

bool IsBlack(const QImage& image, int x, int y) {
  return image.pixel(x, y) == kBlack;
}

// The columns a rule must cover in full: the slot's width less two pixels at its outer end, up
// to the connector at its inner end (the champion's rule is two pixels short at both ends).
std::pair<int, int> RuleSpan(const TBracketItem& slot, int connector) {
  if (slot.Round() == 7)
    return {slot.Left() + 2, slot.Right() - 2};
  return LeftSide(slot) ? std::pair{slot.Left() + 2, connector}
                        : std::pair{connector, slot.Right() - 2};
}

// Fails unless the rule under the slot is two rows of black reaching one of its connector
// columns, with white directly above and below it wherever no connector crosses.
void VerifyRule(const QImage& image, const TBracketItem& slot, int number) {
  const int row = RuleRow(slot);
  int connector = 0;
  if (slot.Round() < 7) {
    for (int column : ConnectorColumns(slot)) {
      if (IsBlack(image, column, row) && IsBlack(image, column, row + 1))
        connector = column;
    }
    QVERIFY2(connector != 0,
             qPrintable(QStringLiteral("slot %1 misses its connector").arg(number)));
  }
  const auto [from, to] = RuleSpan(slot, connector);
  for (int x = from; x <= to; ++x) {
    const QString where = QStringLiteral("slot %1 at x=%2").arg(number).arg(x);
    QVERIFY2(IsBlack(image, x, row) && IsBlack(image, x, row + 1), qPrintable(where));
    if (IsConnectorColumn(x))
      continue;
    QVERIFY2(!IsBlack(image, x, row - 1) && !IsBlack(image, x, row + 2), qPrintable(where));
  }
}

void VerifyTextBoxWhite(const QImage& image, const QRect& box, const QString& what) {
  for (int y = box.top(); y <= box.bottom(); ++y) {
    for (int x = box.left(); x <= box.right(); ++x) {
      QVERIFY2(image.pixel(x, y) == kWhite,
               qPrintable(QStringLiteral("%1 at (%2, %3)").arg(what).arg(x).arg(y)));
    }
  }
}

// Pixels darker than `below`: black ones by default; with a higher bound, the grey of text
// narrowed so far that its strokes are thinner than a pixel.
bool HasBlack(const QImage& image, const QRect& box, int below = 128) {
  for (int y = box.top(); y <= box.bottom(); ++y) {
    for (int x = box.left(); x <= box.right(); ++x) {
      if (qGray(image.pixel(x, y)) < below)
        return true;
    }
  }
  return false;
}

// Fails where `drawn` differs from the chart picture outside all of `boxes`.
void VerifyChangedOnlyIn(const QImage& drawn, const std::vector<QRect>& boxes) {
  const QImage picture = LoadChartPicture().convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      if (drawn.pixel(x, y) == picture.pixel(x, y))
        continue;
      const bool inBox = std::any_of(boxes.begin(), boxes.end(),
                                     [x, y](const QRect& box) { return box.contains(x, y); });
      QVERIFY2(inBox, qPrintable(QStringLiteral("(%1, %2) changed").arg(x).arg(y)));
    }
  }
}

// Every rule and connector of the chart, checked on `image`.
void VerifyLines(const QImage& image) {
  const TBracketList chart;
  for (int i = 0; i < chart.Count(); ++i) {
    VerifyRule(image, *chart.Items(i), i + 1);
    if (QTest::currentTestFailed())
      return;
  }
  // Slots 2k-1 and 2k of rounds 1 to 5 feed one game: a one-pixel column joins their rules.
  for (int i = 0; i + 1 < 124; i += 2) {
    const TBracketItem& upper = *chart.Items(i);
    const TBracketItem& lower = *chart.Items(i + 1);
    bool joined = false;
    for (int column : ConnectorColumns(upper)) {
      bool whole = true;
      for (int y = RuleRow(upper); y <= RuleRow(lower) + 1; ++y)
        whole &= IsBlack(image, column, y);
      joined |= whole;
    }
    QVERIFY2(joined,
             qPrintable(QStringLiteral("slots %1 and %2 are not joined").arg(i + 1).arg(i + 2)));
  }
}

}  // namespace

class TestBracket : public QObject {
  Q_OBJECT

 private slots:
  // --- slots and their numbering ---

  void newChartHas127EmptySlotsInRoundOrder() {
    const TBracketList chart;
    QCOMPARE(chart.Count(), 127);
    QCOMPARE(chart.PathCount(), 64);
    const int firstOfRound[] = {1, 65, 97, 113, 121, 125, 127, 128};
    for (int round = 1; round <= 7; ++round) {
      for (int n = firstOfRound[round - 1]; n < firstOfRound[round]; ++n) {
        const TBracketItem* slot = chart.Slot(n);
        QCOMPARE(slot->Round(), round);
        QCOMPARE(slot->Team(), nullptr);
        QCOMPARE(slot->Bottom() - slot->Top(), 18);
        QCOMPARE(chart.SlotNumber(slot), n);
        if (round <= 5) {
          // Each region's slots of a round come in one block, regions in order.
          const int perRegion = (firstOfRound[round] - firstOfRound[round - 1]) / 4;
          QCOMPARE(slot->Region(), (n - firstOfRound[round - 1]) / perRegion + 1);
        }
        if (round > 1)
          QCOMPARE(slot->Seed(), 0);
      }
    }
    QCOMPARE(chart.Slot(125)->Region(), 1);
    QCOMPARE(chart.Slot(126)->Region(), 2);
    QCOMPARE(chart.Slot(127)->Region(), 1);
    QCOMPARE(chart.Slot(0), nullptr);
    QCOMPARE(chart.Slot(128), nullptr);
    TBracketItem stranger(1, 1, 1, 0, 0, 1, 1);
    QCOMPARE(chart.IndexOf(&stranger), -1);
  }

  void firstRoundLinesCarryTheSeedOrder() {
    const TBracketList chart;
    const int seedOrder[] = {1, 16, 8, 9, 5, 12, 4, 13, 6, 11, 3, 14, 7, 10, 2, 15};
    for (int region = 1; region <= 4; ++region) {
      for (int line = 1; line <= 16; ++line) {
        const TBracketItem* slot = chart.Slot(16 * (region - 1) + line);
        QCOMPARE(slot->Region(), region);
        QCOMPARE(slot->Seed(), seedOrder[line - 1]);
      }
    }
  }

  void slotRectangles_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<QRect>("corners");  // left, top, right, bottom as x1, y1, x2, y2
    auto add = [](int n, int l, int t, int r, int b) {
      QTest::addRow("slot %d", n) << n << QRect(QPoint(l, t), QPoint(r, b));
    };
    add(1, 21, 3, 91, 21);
    add(16, 21, 273, 91, 291);
    add(17, 21, 291, 91, 309);
    add(32, 21, 561, 91, 579);
    add(33, 707, 3, 780, 21);
    add(65, 94, 11, 162, 29);
    add(81, 639, 11, 707, 29);
    add(97, 162, 29, 230, 47);
    add(113, 231, 65, 299, 83);
    add(120, 503, 497, 571, 515);
    add(121, 298, 137, 366, 155);
    add(124, 436, 425, 504, 443);
    add(125, 299, 284, 364, 302);
    add(126, 438, 284, 505, 302);
    add(127, 367, 259, 435, 277);
  }
  void slotRectangles() {
    QFETCH(int, number);
    QFETCH(QRect, corners);
    const TBracketList chart;
    const TBracketItem* slot = chart.Slot(number);
    QCOMPARE(QRect(QPoint(slot->Left(), slot->Top()), QPoint(slot->Right(), slot->Bottom())),
             corners);
    QCOMPARE(slot->TextBox(), ExpectedTextBox(*slot));
  }

  // Each slot of rounds 2 to 5 is fed by two slots of the round before, and its top lies
  // midway between theirs (one pixel higher in round 2).
  void laterRoundSlotsSitMidwayBetweenTheirFeeders() {
    const TBracketList chart;
    std::map<int, std::set<int>> feeders;
    for (int p = 0; p < chart.PathCount(); ++p) {
      for (int round = 2; round <= 5; ++round) {
        feeders[chart.Paths(p)->Slot(round)].insert(chart.Paths(p)->Slot(round - 1));
      }
    }
    QCOMPARE(feeders.size(), size_t(32 + 16 + 8 + 4));
    for (const auto& [number, fed] : feeders) {
      QCOMPARE(fed.size(), size_t(2));
      const TBracketItem* slot = chart.Slot(number);
      const int midway = (chart.Slot(*fed.begin())->Top() + chart.Slot(*fed.rbegin())->Top()) / 2;
      QCOMPARE(slot->Top(), slot->Round() == 2 ? midway - 1 : midway);
    }
  }

  // --- winner paths ---

  void pathExamples_data() {
    QTest::addColumn<int>("region");
    QTest::addColumn<int>("seed");
    QTest::addColumn<std::vector<int>>("pathSlots");
    QTest::newRow("region 1 seed 1") << 1 << 1 << std::vector<int>{1, 65, 97, 113, 121, 125, 127};
    QTest::newRow("region 1 seed 9") << 1 << 9 << std::vector<int>{4, 66, 97, 113, 121, 125, 127};
    QTest::newRow("region 3 seed 1") << 3 << 1 << std::vector<int>{33, 81, 105, 117, 123, 126, 127};
    QTest::newRow("region 4 seed 15")
        << 4 << 15 << std::vector<int>{64, 96, 112, 120, 124, 126, 127};
  }
  void pathExamples() {
    QFETCH(int, region);
    QFETCH(int, seed);
    QFETCH(std::vector<int>, pathSlots);
    const TBracketList chart;
    const TWinnerPathItem* path = chart.FindPathFor(region, seed);
    QVERIFY(path);
    QCOMPARE(path->Region(), region);
    QCOMPARE(path->Seed(), seed);
    QCOMPARE(PathSlots(*path, 7), pathSlots);
  }

  // Slots 2k-1 and 2k of a round's block feed slot k of the next block, for all 64 lines.
  void everyPathFollowsTheGames() {
    const TBracketList chart;
    const int base[] = {0, 64, 96, 112, 120, 124, 126};
    std::set<std::pair<int, int>> lines;
    for (int p = 0; p < chart.PathCount(); ++p) {
      const TWinnerPathItem& path = *chart.Paths(p);
      QCOMPARE(path.Slot(1), p + 1);
      QCOMPARE(chart.Slot(path.Slot(1))->Region(), path.Region());
      QCOMPARE(chart.Slot(path.Slot(1))->Seed(), path.Seed());
      lines.insert({path.Region(), path.Seed()});
      for (int round = 2; round <= 7; ++round) {
        const int from = path.Slot(round - 1) - base[round - 2];
        QCOMPARE(path.Slot(round) - base[round - 1], (from + 1) / 2);
        QCOMPARE(chart.Slot(path.Slot(round))->Round(), round);
        if (round <= 5)
          QCOMPARE(chart.Slot(path.Slot(round))->Region(), path.Region());
      }
      QCOMPARE(path.Slot(6), path.Region() <= 2 ? 125 : 126);
      QCOMPARE(path.Slot(7), 127);
      QCOMPARE(path.Slot(0), 0);
      QCOMPARE(path.Slot(8), 0);
    }
    QCOMPARE(lines.size(), size_t(64));
  }

  void firstRoundPairings() {
    const TBracketList chart;
    const int games[][2] = {{1, 16}, {8, 9}, {5, 12}, {4, 13}, {6, 11}, {3, 14}, {7, 10}, {2, 15}};
    for (int region = 1; region <= 4; ++region) {
      std::set<int> secondRoundSlots;
      for (const auto& game : games) {
        const int meet = chart.FindPathFor(region, game[0])->Slot(2);
        QCOMPARE(chart.FindPathFor(region, game[1])->Slot(2), meet);
        secondRoundSlots.insert(meet);
      }
      QCOMPARE(secondRoundSlots.size(), size_t(8));
      // The winners of 1-16 and 8-9 meet next.
      QCOMPARE(chart.FindPathFor(region, 1)->Slot(3), chart.FindPathFor(region, 9)->Slot(3));
      QVERIFY(chart.FindPathFor(region, 1)->Slot(3) != chart.FindPathFor(region, 5)->Slot(3));
    }
  }

  void lookupsFindNothingOffTheChart() {
    const TBracketList chart;
    QCOMPARE(chart.FindPathFor(0, 0), nullptr);
    QCOMPARE(chart.FindPathFor(0, 1), nullptr);
    QCOMPARE(chart.FindPathFor(5, 1), nullptr);
    QCOMPARE(chart.FindPathFor(1, 17), nullptr);
    const TTeamSeedObject unplaced = MakeTeam("Unplaced", 0, 0, 3);
    QCOMPARE(chart.FindPath(unplaced), nullptr);
    QCOMPARE(chart.SlotOnPath(0, 0, 1), nullptr);
    QCOMPARE(chart.SlotOnPath(1, 1, 0), nullptr);
    QCOMPARE(chart.SlotOnPath(1, 1, 8), nullptr);
    QCOMPARE(chart.SlotOnPath(1, 1, -1), nullptr);
    QCOMPARE(chart.SlotOnPath(1, 1, 7), chart.Slot(127));
    const TTeamSeedObject placed = MakeTeam("Placed", 3, 1, 1);
    QCOMPARE(chart.FindPath(placed), chart.FindPathFor(3, 1));
    TPlayerPickArrayObject pick;
    pick.SetRegion(4);
    pick.SetSeed(15);
    QCOMPARE(chart.FindPath(pick), chart.Paths(63));
  }

  // --- hit tests ---

  void hitSlotSharedEdges_data() {
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("slot");  // 0: none
    QTest::newRow("top-left corner of slot 1") << QPoint(21, 3) << 1;
    QTest::newRow("bottom-right of 1 is top of 2") << QPoint(91, 21) << 1;
    QTest::newRow("between rounds 1 and 2") << QPoint(92, 10) << 0;
    QTest::newRow("region border row") << QPoint(50, 291) << 16;
    QTest::newRow("just below the border") << QPoint(50, 292) << 17;
    QTest::newRow("right side: round 1 over round 2") << QPoint(707, 15) << 33;
    QTest::newRow("left side: round 2 over round 3") << QPoint(162, 29) << 65;
    QTest::newRow("right side: round 2 over round 3") << QPoint(639, 29) << 81;
    QTest::newRow("champion") << QPoint(400, 270) << 127;
    QTest::newRow("below the champion") << QPoint(400, 290) << 0;
    QTest::newRow("outside the chart") << QPoint(-1, 5) << 0;
  }
  void hitSlotSharedEdges() {
    QFETCH(QPoint, point);
    QFETCH(int, slot);
    const TBracketList chart;
    QCOMPARE(chart.SlotNumber(chart.HitSlot(point.x(), point.y())), slot);
  }

  void hitSlotForTeamAcceptance() {
    TBracketList chart;
    const TTeamSeedObject eastTeam = MakeTeam("East", 3, 1, 1);
    TTeamSeedObject midwestTeam = MakeTeam("Midwest", 1, 1, 1);
    const QPoint in65(120, 20), in97(200, 40), in125(330, 290), in127(400, 270), in1(50, 10);

    // Rounds 2-5 take only a team of their region.
    QCOMPARE(chart.HitSlotForTeam(in65.x(), in65.y(), &eastTeam), nullptr);
    QCOMPARE(chart.HitSlotForTeam(in65.x(), in65.y(), &midwestTeam), chart.Slot(65));
    // First round, finalists and champion take any team, or none.
    QCOMPARE(chart.HitSlotForTeam(in125.x(), in125.y(), &eastTeam), chart.Slot(125));
    QCOMPARE(chart.HitSlotForTeam(in127.x(), in127.y(), &eastTeam), chart.Slot(127));
    QCOMPARE(chart.HitSlotForTeam(in1.x(), in1.y(), &eastTeam), chart.Slot(1));
    QCOMPARE(chart.HitSlotForTeam(in1.x(), in1.y(), nullptr), chart.Slot(1));
    QCOMPARE(chart.HitSlotForTeam(in127.x(), in127.y(), nullptr), chart.Slot(127));
    // With no team, rounds 2-5 count only when occupied.
    QCOMPARE(chart.HitSlotForTeam(in97.x(), in97.y(), nullptr), nullptr);
    chart.Slot(97)->SetTeam(&midwestTeam);
    QCOMPARE(chart.HitSlotForTeam(in97.x(), in97.y(), nullptr), chart.Slot(97));
    // A slot that holds the point but refuses does not end the search: on the edge shared by
    // slots 65 (empty) and 97 (occupied) the later slot is found.
    QCOMPARE(chart.HitSlot(162, 29), chart.Slot(65));
    QCOMPARE(chart.HitSlotForTeam(162, 29, nullptr), chart.Slot(97));
    QCOMPARE(chart.HitSlotForTeam(92, 10, nullptr), nullptr);
  }

  // Every slot of the regional rounds, the regional final included, takes only a team of its
  // own region; the first round, the finalists and the champion take a team of any region.
  void hitSlotForTeamKeepsEachRegionalRoundToItsRegion() {
    const TBracketList chart;
    for (int number = 1; number <= 127; ++number) {
      const TBracketItem& slot = *chart.Slot(number);
      const QPoint centre((slot.Left() + slot.Right()) / 2, (slot.Top() + slot.Bottom()) / 2);
      QCOMPARE(chart.HitSlot(centre.x(), centre.y()), &slot);
      const bool regional = number > 64 && number <= 124;
      for (int region = 1; region <= 4; ++region) {
        const TTeamSeedObject team = MakeTeam(QStringLiteral("Team"), region, 1, 1);
        const bool accepted = chart.HitSlotForTeam(centre.x(), centre.y(), &team) == &slot;
        QVERIFY2(
            accepted == (!regional || region == slot.Region()),
            qPrintable(QStringLiteral("slot %1, a team of region %2").arg(number).arg(region)));
      }
    }
    // The regions of the last two regional rounds' slots (113 to 124), in slot order.
    QList<int> regions;
    for (int number = 113; number <= 124; ++number)
      regions << chart.Slot(number)->Region();
    QCOMPARE(regions, QList<int>({1, 1, 2, 2, 3, 3, 4, 4, 1, 2, 3, 4}));
  }

  // --- placing and clearing ---

  void clearTeamFromChampionAndFirstRound() {
    TBracketList chart;
    TTeamSeedObject champion = MakeTeam("Champion", 2, 8, 7);
    TTeamSeedObject other = MakeTeam("Other", 2, 5, 2);
    chart.PlaceTeam(&champion);
    chart.PlaceTeam(&other);
    const std::vector<int> path = PathSlots(*chart.FindPath(champion), 7);
    QCOMPARE(SlotsOf(chart, &champion), path);

    chart.ClearTeamFrom(chart.Slot(127));
    QCOMPARE(SlotsOf(chart, &champion), std::vector<int>(path.begin(), path.end() - 1));

    chart.ClearTeamFrom(chart.Slot(path[0]));
    QVERIFY(SlotsOf(chart, &champion).empty());
    QCOMPARE(SlotsOf(chart, &other), PathSlots(*chart.FindPath(other), 2));

    // An empty slot, or a slot of another chart, changes nothing.
    chart.ClearTeamFrom(chart.Slot(127));
    TBracketItem stranger(2, 2, 0, 0, 0, 1, 1);
    stranger.SetTeam(&other);
    chart.ClearTeamFrom(&stranger);
    chart.ClearTeamFrom(nullptr);
    QCOMPARE(SlotsOf(chart, &other), PathSlots(*chart.FindPath(other), 2));

    chart.ClearAllSlots();
    QVERIFY(SlotsOf(chart, &other).empty());
  }

  // Teams in file order, each up to its round; values no chart has are placed on the rounds
  // that exist, or not at all.
  void placeTeamsInFileOrderAndNeverOffTheChart() {
    QTemporaryDir dir;
    auto pool = CreatePool(dir.path());
    TTeamsFile& teams = pool->TeamsFile();
    TTeamSeedObject* third = AddTeam(teams, "Round 3", 1, 1, 3);
    TTeamSeedObject* later = AddTeam(teams, "Round 2, later in the file", 1, 16, 2);
    TTeamSeedObject* unplaced = AddTeam(teams, "No region", 0, 0, 5);
    TTeamSeedObject* beyond = AddTeam(teams, "Round 12", 4, 15, 12);
    TTeamSeedObject* negative = AddTeam(teams, "Round -3", 4, 2, -3);
    TTeamSeedObject* offChart = AddTeam(teams, "Region 9", 9, 1, 4);
    TTeamSeedObject* badSeed = AddTeam(teams, "Seed 40", 3, 40, 4);

    TBracketList chart;
    TTeamSeedObject keeper = MakeTeam("Keeper", 3, 1, 1);
    chart.Slot(33)->SetTeam(&keeper);
    chart.PlaceTeams(teams);

    // Both claim slot 65; the later team in the file has it.
    QCOMPARE(SlotsOf(chart, third), (std::vector<int>{1, 97}));
    QCOMPARE(SlotsOf(chart, later), (std::vector<int>{2, 65}));
    QCOMPARE(SlotsOf(chart, beyond), (std::vector<int>{64, 96, 112, 120, 124, 126, 127}));
    QVERIFY(SlotsOf(chart, unplaced).empty());
    QVERIFY(SlotsOf(chart, negative).empty());
    QVERIFY(SlotsOf(chart, offChart).empty());
    QVERIFY(SlotsOf(chart, badSeed).empty());
    // PlaceTeams does not empty the chart first.
    QCOMPARE(chart.Slot(33)->Team(), &keeper);
  }

  void placeTeamsFillsOnlyTheRoundsReached() {
    for (int round = 0; round <= 7; ++round) {
      TBracketList chart;
      TTeamSeedObject team = MakeTeam("Team", 2, 5, round);
      chart.PlaceTeam(&team);
      QCOMPARE(SlotsOf(chart, &team), PathSlots(*chart.FindPath(team), round));
    }
  }

  void placeTeamsOfAPlayerPutsPickEntriesOnTheChart() {
    QTemporaryDir dir;
    auto pool = CreatePool(dir.path());
    AddFullField(pool->TeamsFile());
    TPlayerPicksListObject* player = AddPlayer(*pool, "Ann");
    player->Pick(0)->SetRoundReached(3);
    player->Pick(62)->SetRoundReached(7);  // region 4, seed 15
    TBracketList chart;
    chart.PlaceTeams(*player);
    for (int i = 0; i < chart.Count(); ++i) {
      const TChartEntry* entry = chart.Items(i)->Team();
      QVERIFY(!entry || (entry >= player->Pick(0) && entry <= player->Pick(63)));
    }
    for (int n = 1; n <= 64; ++n)
      QVERIFY(chart.Slot(n)->Team());
    QCOMPARE(SlotsOf(chart, player->Pick(0)), (std::vector<int>{1, 65, 97}));
    QCOMPARE(SlotsOf(chart, player->Pick(62)), (std::vector<int>{64, 96, 112, 120, 124, 126, 127}));
  }

  // --- the chart picture ---

  void pictureIsTwoColoursOfTheChartSize() {
    const QImage& picture = LoadChartPicture();
    QCOMPARE(picture.size(), QSize(800, 600));
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 600; ++y) {
      for (int x = 0; x < 800; ++x) {
        const QRgb pixel = rgb.pixel(x, y);
        QVERIFY(pixel == kBlack || pixel == kWhite);
      }
    }
  }

  void pictureHasEveryRuleAndConnector() {
    VerifyLines(LoadChartPicture().convertToFormat(QImage::Format_RGB32));
  }

  void pictureLongConnectorsSpanTheRegionalWinners() {
    const QImage picture = LoadChartPicture().convertToFormat(QImage::Format_RGB32);
    for (int x : {363, 435}) {
      QVERIFY(!IsBlack(picture, x, 150));
      for (int y = 151; y <= 440; ++y)
        QVERIFY(IsBlack(picture, x, y));
      QVERIFY(!IsBlack(picture, x, 441));
    }
  }

  void pictureLeavesEveryTextAndTitleBoxWhite() {
    const QImage picture = LoadChartPicture().convertToFormat(QImage::Format_RGB32);
    const TBracketList chart;
    for (int i = 0; i < chart.Count(); ++i) {
      VerifyTextBoxWhite(picture, ExpectedTextBox(*chart.Items(i)),
                         QStringLiteral("slot %1").arg(i + 1));
    }
    VerifyTextBoxWhite(picture, kBuilderPoolNameBox, "pool name");
    for (const QRect& box : kBracketNameBoxes) {
      VerifyTextBoxWhite(picture, box, "bracket name");
    }
  }

  void pictureShowsSeedsAndWords() {
    const QImage picture = LoadChartPicture().convertToFormat(QImage::Format_RGB32);
    const TBracketList chart;
    for (int n = 1; n <= 64; ++n) {
      const TBracketItem& slot = *chart.Slot(n);
      const int left = slot.Region() <= 2 ? 2 : 783;
      const QRect digits(QPoint(left, slot.Top()), QPoint(left + 10, slot.Top() + 17));
      int top = 1000, bottom = -1;
      for (int y = digits.top(); y <= digits.bottom(); ++y) {
        for (int x = digits.left(); x <= digits.right(); ++x) {
          if (IsBlack(picture, x, y)) {
            top = std::min(top, y);
            bottom = std::max(bottom, y);
          }
        }
      }
      // Digits about 7 pixels high, standing on the line's rule.
      QCOMPARE(bottom, RuleRow(slot) - 1);
      QVERIFY2(bottom - top + 1 >= 6 && bottom - top + 1 <= 8, qPrintable(QString::number(n)));
    }
    QVERIFY(HasBlack(picture, QRect(QPoint(370, 282), QPoint(429, 296))));
    QVERIFY(HasBlack(picture, QRect(QPoint(306, 301), QPoint(352, 313))));
    QVERIFY(HasBlack(picture, QRect(QPoint(441, 301), QPoint(487, 313))));
  }

  // --- drawing names and titles ---

  void drawingKeepsToTheTextAndTitleBoxes() {
    QTemporaryDir dir;
    auto pool = CreatePool(dir.path());
    pool->SystemFile().SetPoolName(QString(30, 'W'));
    for (int i = 1; i <= 4; ++i)
      pool->SystemFile().SetBracketName(i, QString(10, 'W'));
    for (int region = 1; region <= 4; ++region) {
      for (int seed = 1; seed <= 16; ++seed) {
        // The widest names a team can have, every slot of the chart filled.
        AddTeam(pool->TeamsFile(), QString(35, QChar(u'W')) + QString::number(region * 100 + seed),
                region, seed,
                seed == 1   ? 7
                : seed <= 2 ? 6
                : seed <= 4 ? 5
                : seed <= 8 ? 4
                            : 3);
      }
    }
    TBracketList chart;
    chart.PlaceTeams(pool->TeamsFile());
    for (int i = 0; i < chart.Count(); ++i)
      QVERIFY(chart.Items(i)->Team());

    TBracketBitmap bitmap(pool->SystemFile());
    bitmap.DrawTitles(pool->SystemFile(), ChartGeometry::kBuilderPoolNameBox);
    bitmap.DrawAllSlots(&chart);
    bitmap.DrawSlot(chart.Slot(40), true);
    const QImage& drawn = bitmap.Image();
    QCOMPARE(drawn.size(), QSize(800, 600));

    // Names and titles change nothing outside their boxes: long names are made to fit them.
    std::vector<QRect> boxes(ChartGeometry::kBracketNameBoxes.begin(),
                             ChartGeometry::kBracketNameBoxes.end());
    boxes.push_back(ChartGeometry::kBuilderPoolNameBox);
    for (int i = 0; i < chart.Count(); ++i)
      boxes.push_back(chart.Items(i)->TextBox());
    const QImage picture = LoadChartPicture().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 600; ++y) {
      for (int x = 0; x < 800; ++x) {
        if (drawn.pixel(x, y) == picture.pixel(x, y))
          continue;
        const bool inBox = std::any_of(boxes.begin(), boxes.end(),
                                       [x, y](const QRect& box) { return box.contains(x, y); });
        QVERIFY2(inBox, qPrintable(QStringLiteral("(%1, %2) changed").arg(x).arg(y)));
      }
    }
    for (const QRect& box : boxes) {
      // Written from the box's top-left corner, and made to fit: ink reaches its left edge and
      // its last quarter, though these widest of names are narrowed to grey strokes.
      QVERIFY(HasBlack(drawn, QRect(box.left(), box.top(), 3, box.height()), 200));
      QVERIFY(HasBlack(
          drawn, QRect(box.right() - box.width() / 4, box.top(), box.width() / 4, box.height()),
          200));
    }
    // The rules under the names survive, the rows at Top + 13 included.
    VerifyLines(drawn.convertToFormat(QImage::Format_RGB32));
  }

  void newBitmapHasTheTitlesInTheirBoxes() {
    QTemporaryDir dir;
    auto pool = CreatePool(dir.path());
    pool->SystemFile().SetPoolName(QString(30, 'M'));
    const TBracketBitmap bitmap(pool->SystemFile());
    QCOMPARE(bitmap.Image().size(), QSize(800, 600));
    std::vector<QRect> boxes(std::begin(kBracketNameBoxes), std::end(kBracketNameBoxes));
    boxes.push_back(kPoolNameBox);
    VerifyChangedOnlyIn(bitmap.Image(), boxes);
    for (const QRect& box : boxes)
      QVERIFY(HasBlack(bitmap.Image(), box));
    QVERIFY(HasBlack(bitmap.Image(), QRect(kPoolNameBox.right() - 2, 5, 3, 20)));
  }

  // A name too wide for its box is written whole, smaller rather than cut at the box's edge.
  // On the right the first round's names keep as far from the seeds as the left's start after
  // theirs.
  void longNamesAreMadeToFitAndKeepClearOfTheSeeds() {
    QTemporaryDir dir;
    auto pool = CreatePool(dir.path());
    AddTeam(pool->TeamsFile(), "Duke", 1, 1, 1);
    AddTeam(pool->TeamsFile(), "Southeastern Louisiana A&M Lions 22", 1, 16, 1);
    AddTeam(pool->TeamsFile(), "Southeastern Louisiana A&M Lions 23", 3, 1, 1);
    TBracketList chart;
    chart.PlaceTeams(pool->TeamsFile());
    TBracketBitmap bitmap(pool->SystemFile());
    bitmap.DrawAllSlots(&chart);
    const QImage& drawn = bitmap.Image();
    // The first row with ink in a box: a smaller name starts lower on the same baseline (the
    // smallest size is not much smaller).
    const auto top = [&drawn](const QRect& box) {
      for (int y = box.top(); y <= box.bottom(); ++y) {
        if (HasBlack(drawn, QRect(box.left(), y, box.width(), 1), 200))
          return y - box.top();
      }
      return box.height();
    };
    const QRect shortName = chart.Slot(1)->TextBox();
    const QRect longName = chart.Slot(2)->TextBox();
    QVERIFY(top(longName) >= top(shortName) + 1);
    QVERIFY(
        HasBlack(drawn, QRect(longName.right() - 8, longName.top(), 8, longName.height()), 200));
    const QRect right = chart.Slot(33)->TextBox();
    QVERIFY(HasBlack(drawn, right, 200));
    const QRect gap(QPoint(ChartGeometry::kRightSeedsLeft - ChartGeometry::kSeedGap, right.top()),
                    QPoint(ChartGeometry::kRightSeedsLeft - 1, right.bottom()));
    QVERIFY(!HasBlack(drawn, gap, 250));
  }

  // However long, a name is never written below the smallest size nor squeezed past
  // reading, and never past its room: what does not fit is a start of it and an ellipsis.
  void namesKeepToTheSmallestSize() {
    const TBracketList chart;
    const QString names[] = {QStringLiteral("Duke"),
                             QStringLiteral("North Carolina Central Eagles"),
                             QString(35, QChar(u'W')), QString(35, QChar(u'i'))};
    for (int i = 0; i < chart.Count(); ++i) {
      const int room = ChartGeometry::NameRoom(chart.Items(i)->TextBox()).width();
      for (const QString& name : names) {
        for (const bool bold : {false, true}) {
          const TFittedText fitted = FitText(name, kChartTextPixelSize, bold, room);
          const QString what = name + QStringLiteral(" in slot ") + QString::number(i + 1);
          QVERIFY2(fitted.Shrink * kChartTextPixelSize >= kChartSmallestPixelSize - 1e-9,
                   qPrintable(what));
          QVERIFY2(fitted.Squeeze >= 0.85 - 1e-9, qPrintable(what));
          QVERIFY2(fitted.Width * fitted.Squeeze <= room + 0.01, qPrintable(what));
          if (fitted.Shortened(name)) {
            QVERIFY2(fitted.Text.endsWith(QChar(0x2026)), qPrintable(what));
            QVERIFY2(name.startsWith(fitted.Text.chopped(1)), qPrintable(what));
            QVERIFY2(fitted.Text.size() > 4, qPrintable(what));
          }
        }
      }
      QVERIFY(!FitText(QStringLiteral("Duke"), kChartTextPixelSize, true, room)
                   .Shortened(QStringLiteral("Duke")));
    }
  }

  void drawingAnEmptySlotWipesItsBox() {
    QTemporaryDir dir;
    auto pool = CreatePool(dir.path());
    TTeamSeedObject* team = AddTeam(pool->TeamsFile(), "Gonzaga Bulldogs", 1, 1, 2);
    TBracketList chart;
    chart.PlaceTeams(pool->TeamsFile());
    TBracketBitmap bitmap(pool->SystemFile());
    bitmap.DrawAllSlots(&chart);
    QVERIFY(HasBlack(bitmap.Image(), chart.Slot(65)->TextBox()));

    chart.ClearTeamFrom(chart.Slot(65));
    bitmap.DrawSlot(chart.Slot(65));
    bitmap.DrawSlot(nullptr);
    VerifyTextBoxWhite(bitmap.Image(), chart.Slot(65)->TextBox(), "wiped slot 65");
    QVERIFY(HasBlack(bitmap.Image(), chart.Slot(1)->TextBox()));
    QCOMPARE(chart.Slot(1)->Team(), team);
    VerifyLines(bitmap.Image());

    // A team without region is never drawn, whatever its round.
    team->SetRegion(0);
    TBracketList other;
    other.PlaceTeams(pool->TeamsFile());
    TBracketBitmap fresh(pool->SystemFile());
    fresh.DrawAllSlots(&other);
    fresh.DrawAllSlots(nullptr);
    for (int i = 0; i < other.Count(); ++i) {
      VerifyTextBoxWhite(fresh.Image(), other.Items(i)->TextBox(), "unplaced team");
    }
  }

  void boldNamesAreHeavierThanRegularOnes() {
    QTemporaryDir dir;
    auto pool = CreatePool(dir.path());
    AddTeam(pool->TeamsFile(), "Iowa", 1, 1, 1);
    TBracketList chart;
    chart.PlaceTeams(pool->TeamsFile());
    TBracketBitmap bitmap(pool->SystemFile());
    auto ink = [&bitmap](const QRect& box) {
      int sum = 0;
      for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x)
          sum += 255 - qGray(bitmap.Image().pixel(x, y));
      }
      return sum;
    };
    bitmap.DrawSlot(chart.Slot(1));
    const int regular = ink(chart.Slot(1)->TextBox());
    bitmap.DrawSlot(chart.Slot(1), true);
    const int bold = ink(chart.Slot(1)->TextBox());
    QVERIFY(bold > regular);
    bitmap.DrawSlot(chart.Slot(1));
    QCOMPARE(ink(chart.Slot(1)->TextBox()), regular);
  }
};

QTEST_MAIN(TestBracket)
#include "tst_bracket.moc"
