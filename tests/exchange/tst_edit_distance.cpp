#include <QRandomGenerator>
#include <QTest>
#include <algorithm>
#include <limits>
#include <vector>

#include "EditDistance.h"

namespace {

// The distance as the textbook table works it out, to hold the fast one to.
int PlainDistance(const QString& x, const QString& y) {
  std::vector<int> row(static_cast<size_t>(y.size()) + 1);
  for (size_t j = 0; j < row.size(); ++j)
    row[j] = static_cast<int>(j);
  for (qsizetype i = 1; i <= x.size(); ++i) {
    int diagonal = row[0];
    row[0] = static_cast<int>(i);
    for (qsizetype j = 1; j <= y.size(); ++j) {
      const auto at = static_cast<size_t>(j);
      const int above = row[at];
      row[at] = std::min({above + 1, row[at - 1] + 1, diagonal + (x[i - 1] == y[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row.back();
}

// Letters from a small alphabet, so that names share many, from the first 256 code units and
// beyond them (a surrogate half among them).
QString RandomName(QRandomGenerator& random, int length) {
  static const char16_t kLetters[] = {u'a', u'b', u'c', u' ', u'\u00e9', u'\u00ff',
                                      u'\u0153', u'\u20ac', char16_t{0xd83c}, u'\u0100'};
  QString name;
  for (int i = 0; i < length; ++i)
    name += QChar(kLetters[random.bounded(static_cast<int>(std::size(kLetters)))]);
  return name;
}

}  // namespace

class TestEditDistance : public QObject {
  Q_OBJECT

 private slots:
  void agreesWithThePlainTableUnderEveryBound() {
    std::vector<std::pair<QString, QString>> pairs = {
        {"", ""}, {"", "abc"}, {"abc", ""}, {"abc", "abc"}, {"kitten", "sitting"},
        {"duke", "dukes"}, {"\u0153uvre", "oeuvre"}, {QString(64, 'a'), QString(64, 'b')},
        {QString(63, 'a'), QString(65, 'a')}, {QString(64, 'a') + "b", QString(64, 'a') + "c"},
        {"x" + QString(128, 'a'), QString(128, 'a') + "x"}, {QString(129, 'b'), "b"}};
    QRandomGenerator random(20261210);
    for (int i = 0; i < 3000; ++i) {
      // Lengths across one, two and three words of letters, and names a few edits apart.
      const QString from = RandomName(random, random.bounded(i % 3 == 0 ? 150 : 40));
      QString to = RandomName(random, random.bounded(i % 3 == 0 ? 150 : 40));
      if (i % 2 == 0) {
        to = from;
        for (int edits = random.bounded(4); edits > 0; --edits) {
          const int at = to.isEmpty() ? 0 : random.bounded(static_cast<int>(to.size()));
          to.insert(at, RandomName(random, 1));
          to.remove(random.bounded(static_cast<int>(to.size())), random.bounded(2));
        }
      }
      pairs.emplace_back(from, to);
    }
    // One name is compared with many, each to this pair's other, to one that begins as that
    // one does and to the last pair's, under bounds that stop some early, and one measure
    // serves every name in turn.
    QString last;
    TEditDistance distance;
    for (const auto& [from, to] : pairs) {
      distance.SetFrom(from);
      const QString alike = to.left(random.bounded(static_cast<int>(to.size()) + 1)) +
                            RandomName(random, random.bounded(3));
      for (const QString& other : {to, alike, last}) {
        const int plain = PlainDistance(from, other);
        for (const int bound : {1, 2, plain, plain + 1, plain + 7, std::numeric_limits<int>::max()}) {
          if (bound < 1)
            continue;
          QVERIFY2(distance.To(other, bound) == std::min(plain, bound),
                   qPrintable(QStringLiteral("\"%1\" to \"%2\" under %3: %4, not %5")
                                  .arg(from, other)
                                  .arg(bound)
                                  .arg(distance.To(other, bound))
                                  .arg(std::min(plain, bound))));
        }
      }
      last = to;
    }
  }

  void foldsNamesAsQtDoes() {
    // Letters of every kind of fold: to another letter of the first 256, from beyond them, to
    // itself, Greek finals, and a pair of surrogates folding to another pair.
    const QStringList letters = {"A", "z", "\u00c9", "\u00df", "\u0152", "\u0178", "\u03a3",
                                 "\u03c2", "\u0130", "\u212a", "1", " ", "\U00010400",
                                 "\U00010428"};
    QRandomGenerator random(1210);
    for (int i = 0; i < 2000; ++i) {
      QString name;
      for (int length = random.bounded(12); length > 0; --length)
        name += letters.at(random.bounded(static_cast<int>(letters.size())));
      QString folded = QStringLiteral("kept ");
      TEditDistance::AppendFolded(folded, name);
      QCOMPARE(folded, QStringLiteral("kept ") + name.toCaseFolded());
    }
  }
};

QTEST_GUILESS_MAIN(TestEditDistance)
#include "tst_edit_distance.moc"
