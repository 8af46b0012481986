#include "ReportFonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>

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

}  // namespace ReportFonts
