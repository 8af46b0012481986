#include "ReportFonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <unordered_map>

namespace {
constexpr int kMeasureDpi = 1200;

struct TFamily {
  QString Family;
  int Weight = QFont::Normal;
};

// The heaviest weight the family offers, read from its styles.
int HeaviestWeight(const QString& family) {
  int heaviest = QFont::Normal;
  for (const QString& style : QFontDatabase::styles(family)) {
    heaviest = std::max(heaviest, QFontDatabase::weight(family, style));
  }
  return heaviest;
}

TFamily Lookup(const QString& name) {
  static QHash<QString, TFamily> cache;
  auto found = cache.constFind(name);
  if (found != cache.constEnd())
    return *found;
  const QStringList families = QFontDatabase::families();
  const auto installed = [&families](const QString& family) {
    return families.contains(family, Qt::CaseInsensitive);
  };
  TFamily result{name, QFont::Normal};
  if (!installed(name)) {
    const bool black = name.compare(QLatin1String("Arial Black"), Qt::CaseInsensitive) == 0;
    const bool arial = black || name.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0;
    if (arial) {
      result.Family = installed(QStringLiteral("Arial")) ? QStringLiteral("Arial")
                                                         : QStringLiteral("Liberation Sans");
      if (black)
        result.Weight = HeaviestWeight(result.Family);
    }
  }
  cache.insert(name, result);
  return result;
}

const QImage& MeasureDevice() {
  static const QImage device = [] {
    QImage image(8, 8, QImage::Format_Mono);
    const int dotsPerMeter = qRound(kMeasureDpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
  }();
  return device;
}
}  // namespace

namespace ReportFonts {

QFont Resolve(const QString& name, double pointSize) {
  const TFamily family = Lookup(name);
  QFont font(family.Family);
  font.setPointSizeF(pointSize);
  font.setWeight(static_cast<QFont::Weight>(family.Weight));
  font.setKerning(false);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

double TextWidth(const QFont& font, const QString& text) {
  return QFontMetricsF(font, &MeasureDevice()).horizontalAdvance(text) / kMeasureDpi;
}

double TextWidth(const QString& name, double pointSize, const QString& text) {
  // Widths by font and text, forgotten all at once when there are many: one report's names.
  constexpr qsizetype kKept = 1 << 16;
  struct TKey {
    QString Name;
    double Size;
    QString Text;
    bool operator==(const TKey& other) const {
      return Size == other.Size && Text == other.Text && Name == other.Name;
    }
  };
  struct THash {
    size_t operator()(const TKey& key) const { return qHashMulti(0, key.Name, key.Size, key.Text); }
  };
  thread_local std::unordered_map<TKey, double, THash> widths;
  TKey key{name, pointSize, text};
  const auto found = widths.find(key);
  if (found != widths.end())
    return found->second;
  if (static_cast<qsizetype>(widths.size()) >= kKept)
    widths.clear();
  const double width = TextWidth(Resolve(name, pointSize), text);
  widths.emplace(std::move(key), width);
  return width;
}

}  // namespace ReportFonts
