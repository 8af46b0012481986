#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

// A stop of a line: where a cell starts and how wide it is, both in inches from the page's
// left edge, how its text is aligned and which sides of its box are drawn.
struct TTabStop {
  double Position = 0;
  int Justify = 0;
  double Width = 0;
  int Margin = 0;
  int BoxLines = 0;
  int Shade = 0;
};

// A font as the layouts name it: family and size in points.
struct TReportFontSpec {
  QString Name;
  double Size = 0;
};

// The events of a report run, each fired with the page writer as sender: before print, then
// new page at the start of every page (the first included, before print), print for the
// body, print footer at the end of every page, after print.
struct TReportEvents {
  using TEvent = std::function<void(class TBaseReport&)>;
  TEvent OnBeforePrint;
  TEvent OnNewPage;
  TEvent OnPrint;
  TEvent OnPrintFooter;
  TEvent OnAfterPrint;
};

// The page writer the layouts talk to. Pages are US Letter, portrait, measured in inches from
// the top-left corner of the paper. Text goes into the tab stops of the current line; a new
// line moves down by the height of the font in use and returns to the first stop. The writer
// keeps the page position, so every output (paper, preview, RTF, the tests' recording) breaks
// pages at the same rows. Descendants only put the cells, lines and pictures on their medium.
class TBaseReport {
 public:
  static constexpr double kPageWidth = 8.5;
  static constexpr double kPageHeight = 11.0;
  // A stop position that means "where the previous stop ends".
  static constexpr double kPreviousStopEnd = -32768;
  static constexpr int kJustifyCenter = 0;
  static constexpr int kJustifyLeft = 1;
  static constexpr int kBoxLeft = 1;
  static constexpr int kBoxRight = 2;
  static constexpr int kBoxTop = 4;
  static constexpr int kBoxBottom = 8;
  static constexpr int kBoxAll = kBoxLeft | kBoxRight | kBoxTop | kBoxBottom;
  static constexpr int kSlotCount = 10;
  // The font every run starts with, until a layout chooses one.
  static inline const TReportFontSpec kInitialFont{QStringLiteral("Arial"), 10};

  TBaseReport();
  virtual ~TBaseReport();
  TBaseReport(const TBaseReport&) = delete;
  TBaseReport& operator=(const TBaseReport&) = delete;

  void UseFont(const QString& name, double size);
  void StoreFont(int slot);
  void RecallFont(int slot);
  void ClearTabStops();
  void AddTabStop(double position, int justify, double width, int margin, int boxLines, int shade);
  void StoreTabStops(int slot);
  void RecallTabStops(int slot);
  void PrintInNextTab(const QString& text);
  // Prints `text` whole in the next stop: in the font in use when it fits, otherwise in the
  // largest smaller size of that font, in half points, that fits, never below kSmallestSize.
  // Names are made to fit rather than cut, so that two long names never read alike; only a
  // text too long even at the smallest size is cut.
  void PrintFitInNextTab(const QString& text);
  // As PrintFitInNextTab, but a text too long even at the smallest size is broken after its
  // last blank that fits (within a word when none does) and the rest returned, for the
  // layout to print under it in the same stop at kSmallestSize, the size the first line was
  // printed in; empty when the text was printed whole.
  QString PrintWrapInNextTab(const QString& text);
  // Whether `text` fits the next stop whole in the font in use.
  bool FitsNextTab(const QString& text) const;
  void NextLine();
  // Box lines are drawn with this pen (always in copy mode); `width` is in device units.
  void UsePen(const QColor& color, Qt::PenStyle style, int width);
  void DrawBitmap(double x1, double y1, double x2, double y2, const QImage& bitmap);

  // Whole lines of the standard font (the one every run starts with) that still fit above
  // the bottom margin, the current line included.
  int LinesLeft() const;
  // Whole lines of the standard font between the margins of a page.
  int LinesPerPage() const;
  // Ends the page (its footer event first) and starts the next (its new-page event last).
  void NewPage();

  int CurrentPage() const { return FPage; }
  // The top of the current line, inches from the top of the paper.
  double YPos() const { return FYPos; }
  double LineHeight() const;
  const TReportFontSpec& Font() const { return FFont; }
  const std::vector<TTabStop>& TabStops() const { return FTabs; }
  void SetMargins(double top, double bottom);
  double MarginTop() const { return FMarginTop; }
  double MarginBottom() const { return FMarginBottom; }

  // Runs a report on this writer: fires `events` in their order around a fresh set of pages.
  // False when the medium could not be written.
  bool Generate(const TReportEvents& events);

  // Told the number of every page as it starts, for the run's status window.
  std::function<void(int page)> OnPageStarted;

  // The line height of a font, in inches.
  static double LineHeightOf(const TReportFontSpec& font);
  // `text` shortened from its end until it fits `width` inches in `font`.
  static QString FitText(const TReportFontSpec& font, const QString& text, double width);
  // The largest size of `font`, in half points, no larger than its own and no smaller than
  // kSmallestSize, in which `text` fits `width` inches; `font`'s size when it fits as it is.
  static double FitSize(const TReportFontSpec& font, const QString& text, double width);
  // The lines PrintWrapInNextTab takes for `text` in `stop` in `font`, going on under itself.
  static int WrapLines(const TReportFontSpec& font, const QString& text, const TTabStop& stop);

  // Text is never printed smaller than this, in points, however long: below it print is not
  // read.
  static constexpr double kSmallestSize = 6;

 protected:
  QFont CurrentQFont() const;
  const QColor& PenColor() const { return FPenColor; }
  Qt::PenStyle PenStyle() const { return FPenStyle; }
  int PenWidth() const { return FPenWidth; }

  // The medium is opened before the first page and closed after the last; false fails the run.
  virtual bool DoBeginRun() { return true; }
  virtual bool DoEndRun() { return true; }
  virtual void DoBeginPage() = 0;
  virtual void DoEndPage() = 0;
  // A cell of the current line: its stop, its text already cut to fit, the line's top and
  // the height of the font in use.
  virtual void DoPrintCell(const TTabStop& stop, const QString& text, double top,
                           double height) = 0;
  // The current line is complete; the next starts `height` inches lower.
  virtual void DoNextLine(double height) { Q_UNUSED(height); }
  virtual void DoDrawBitmap(const QRectF& inches, const QImage& bitmap) = 0;

 private:
  void StartPage();
  // The inner width of the next stop, -1 when no stop is left.
  double NextTabRoom() const;
  // The room a text has in a stop, in inches.
  static double RoomOf(const TTabStop& stop);
  QString PrintSized(const QString& text, bool wrap);
  // The start of `text` that goes on the first line of a stop `width` wide in `font`.
  static QString FirstLine(const TReportFontSpec& font, const QString& text, double width);

  TReportEvents::TEvent FNewPageEvent;
  TReportEvents::TEvent FFooterEvent;

  TReportFontSpec FFont = kInitialFont;
  std::array<std::optional<TReportFontSpec>, kSlotCount> FFontSlots;
  std::vector<TTabStop> FTabs;
  std::array<std::optional<std::vector<TTabStop>>, kSlotCount> FTabSlots;
  size_t FNextTab = 0;
  QColor FPenColor = Qt::black;
  Qt::PenStyle FPenStyle = Qt::SolidLine;
  int FPenWidth = 1;
  double FMarginTop = 0.35;
  double FMarginBottom = 0.35;
  double FYPos = 0;
  int FPage = 0;
};
