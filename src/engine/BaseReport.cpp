#include "BaseReport.h"

#include <algorithm>
#include <cmath>

#include "ReportFonts.h"

namespace {
// Lines are a fifth taller than the font's size, as a typewriter-like single spacing; every
// writer uses the same figure so their pages break alike.
constexpr double kLineSpacing = 1.2;
constexpr double kPointsPerInch = 72.0;
constexpr double kLeftCellGap = 0.04;

bool ValidSlot(int slot) {
  return slot >= 1 && slot <= TBaseReport::kSlotCount;
}
}  // namespace

TBaseReport::TBaseReport() = default;
TBaseReport::~TBaseReport() = default;

void TBaseReport::UseFont(const QString& name, double size) {
  FFont = TReportFontSpec{name, size};
}

void TBaseReport::StoreFont(int slot) {
  if (ValidSlot(slot))
    FFontSlots[static_cast<size_t>(slot - 1)] = FFont;
}

void TBaseReport::RecallFont(int slot) {
  if (!ValidSlot(slot))
    return;
  const auto& stored = FFontSlots[static_cast<size_t>(slot - 1)];
  if (stored)
    FFont = *stored;
}

void TBaseReport::ClearTabStops() {
  FTabs.clear();
  FNextTab = 0;
}

void TBaseReport::AddTabStop(double position, int justify, double width, int margin, int boxLines,
                             int shade) {
  if (position == kPreviousStopEnd) {
    position = FTabs.empty() ? 0 : FTabs.back().Position + FTabs.back().Width;
  }
  FTabs.push_back(TTabStop{position, justify, width, margin, boxLines, shade});
}

void TBaseReport::StoreTabStops(int slot) {
  if (ValidSlot(slot))
    FTabSlots[static_cast<size_t>(slot - 1)] = FTabs;
}

void TBaseReport::RecallTabStops(int slot) {
  if (!ValidSlot(slot))
    return;
  const auto& stored = FTabSlots[static_cast<size_t>(slot - 1)];
  FTabs = stored ? *stored : std::vector<TTabStop>{};
  FNextTab = 0;
}

double TBaseReport::NextTabRoom() const {
  return FNextTab < FTabs.size() ? RoomOf(FTabs[FNextTab]) : -1;
}

double TBaseReport::RoomOf(const TTabStop& stop) {
  // A left-aligned text stops a hair short of its cell, so that neighbouring columns never
  // run into each other.
  const double gap = stop.Justify == kJustifyLeft ? kLeftCellGap : 0;
  return stop.Width - 2 * stop.Margin - gap;
}

void TBaseReport::PrintInNextTab(const QString& text) {
  const double inner = NextTabRoom();
  if (inner < 0)
    return;
  const TTabStop& stop = FTabs[FNextTab++];
  DoPrintCell(stop, FitText(FFont, text, inner), FYPos, LineHeight());
}

void TBaseReport::PrintFitInNextTab(const QString& text) {
  PrintSized(text, false);
}

QString TBaseReport::PrintWrapInNextTab(const QString& text) {
  return PrintSized(text, true);
}

QString TBaseReport::PrintSized(const QString& text, bool wrap) {
  const double inner = NextTabRoom();
  if (inner < 0)
    return {};
  const TTabStop& stop = FTabs[FNextTab++];
  // The cell keeps the height of the line in the font the layout chose; only its text is
  // smaller.
  const double height = LineHeight();
  const TReportFontSpec kept = FFont;
  FFont.Size = FitSize(FFont, text, inner);
  const QString shown = wrap ? FirstLine(FFont, text, inner) : FitText(FFont, text, inner);
  DoPrintCell(stop, shown, FYPos, height);
  FFont = kept;
  // A stop too narrow for even one letter shows nothing, and nothing is left to go on with.
  return wrap && !shown.isEmpty() ? text.mid(shown.size()).trimmed() : QString();
}

QString TBaseReport::FirstLine(const TReportFontSpec& font, const QString& text, double width) {
  const QString fitted = FitText(font, text, width);
  if (fitted.size() == text.size() || fitted.isEmpty())
    return fitted;
  // Broken after a blank where one fits; a word longer than the stop is broken where it
  // must be.
  const int blank = fitted.lastIndexOf(QLatin1Char(' '));
  return blank > 0 ? fitted.left(blank + 1) : fitted;
}

int TBaseReport::WrapLines(const TReportFontSpec& font, const QString& text, const TTabStop& stop) {
  const double inner = RoomOf(stop);
  TReportFontSpec sized = font;
  // The lines after the first are printed at the smallest size.
  TReportFontSpec asked = font;
  QString rest = text;
  int lines = 0;
  do {
    sized.Size = FitSize(asked, rest, inner);
    asked.Size = std::min(font.Size, kSmallestSize);
    const QString shown = FirstLine(sized, rest, inner);
    rest = shown.isEmpty() ? QString() : rest.mid(shown.size()).trimmed();
    ++lines;
  } while (!rest.isEmpty());
  return lines;
}

bool TBaseReport::FitsNextTab(const QString& text) const {
  const double inner = NextTabRoom();
  return inner >= 0 && ReportFonts::TextWidth(FFont.Name, FFont.Size, text) <= inner + 1e-9;
}

void TBaseReport::NextLine() {
  const double height = LineHeight();
  DoNextLine(height);
  FYPos += height;
  FNextTab = 0;
}

void TBaseReport::UsePen(const QColor& color, Qt::PenStyle style, int width) {
  FPenColor = color;
  FPenStyle = style;
  FPenWidth = width;
}

void TBaseReport::DrawBitmap(double x1, double y1, double x2, double y2, const QImage& bitmap) {
  DoDrawBitmap(QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized(), bitmap);
}

int TBaseReport::LinesLeft() const {
  const double room = kPageHeight - FMarginBottom - FYPos;
  // Counted in lines of the standard font whatever font is in use: a block that starts in a
  // small font (the selections list's picks) would otherwise be promised room that its
  // larger heading lines then overrun. A hair of tolerance keeps a line that fits exactly
  // from being lost to rounding.
  const double line = LineHeightOf(kInitialFont);
  return room <= 0 ? 0 : static_cast<int>(std::floor(room / line + 1e-9));
}

int TBaseReport::LinesPerPage() const {
  const double room = kPageHeight - FMarginBottom - FMarginTop;
  return room <= 0 ? 0 : static_cast<int>(std::floor(room / LineHeightOf(kInitialFont) + 1e-9));
}

void TBaseReport::NewPage() {
  if (FFooterEvent)
    FFooterEvent(*this);
  DoEndPage();
  StartPage();
}

double TBaseReport::LineHeight() const {
  return LineHeightOf(FFont);
}

void TBaseReport::SetMargins(double top, double bottom) {
  FMarginTop = top;
  FMarginBottom = bottom;
}

double TBaseReport::LineHeightOf(const TReportFontSpec& font) {
  return font.Size * kLineSpacing / kPointsPerInch;
}

QString TBaseReport::FitText(const TReportFontSpec& font, const QString& text, double width) {
  QString fitted = text;
  while (!fitted.isEmpty() && ReportFonts::TextWidth(font.Name, font.Size, fitted) > width + 1e-9) {
    fitted.chop(1);
  }
  return fitted;
}

double TBaseReport::FitSize(const TReportFontSpec& font, const QString& text, double width) {
  const double wide = ReportFonts::TextWidth(font.Name, font.Size, text);
  if (wide <= width + 1e-9 || wide <= 0)
    return font.Size;
  // Widths grow with the size, near enough in proportion: start there and step down to the
  // first half point that fits. The smallest size cuts what still does not fit.
  const double kSmallest = std::min(font.Size, kSmallestSize);
  double size = std::max(kSmallest, std::floor(2 * font.Size * width / wide) / 2);
  while (size > kSmallest && ReportFonts::TextWidth(font.Name, size, text) > width + 1e-9)
    size -= 0.5;
  return size;
}

bool TBaseReport::Generate(const TReportEvents& events) {
  FNewPageEvent = events.OnNewPage;
  FFooterEvent = events.OnPrintFooter;
  FFont = kInitialFont;
  FFontSlots = {};
  FTabs.clear();
  FTabSlots = {};
  FNextTab = 0;
  FPage = 0;
  if (events.OnBeforePrint)
    events.OnBeforePrint(*this);
  bool written = DoBeginRun();
  if (written) {
    StartPage();
    if (events.OnPrint)
      events.OnPrint(*this);
    if (FFooterEvent)
      FFooterEvent(*this);
    DoEndPage();
    written = DoEndRun();
  }
  if (events.OnAfterPrint)
    events.OnAfterPrint(*this);
  FNewPageEvent = nullptr;
  FFooterEvent = nullptr;
  return written;
}

QFont TBaseReport::CurrentQFont() const {
  return ReportFonts::Resolve(FFont.Name, FFont.Size);
}

void TBaseReport::StartPage() {
  ++FPage;
  FYPos = FMarginTop;
  FNextTab = 0;
  if (OnPageStarted)
    OnPageStarted(FPage);
  DoBeginPage();
  if (FNewPageEvent)
    FNewPageEvent(*this);
}
