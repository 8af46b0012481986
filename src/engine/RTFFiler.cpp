#include "RTFFiler.h"

#include <QBuffer>

#include "ReportUi.h"
#include "SafeFile.h"
#include "Win1252.h"

namespace {
constexpr int kTwipsPerInch = 1440;
// A box line a screen pixel thick, as the painted pages draw it.
constexpr int kBorderTwips = 15;

QByteArray Twips(double inches) {
  return QByteArray::number(qRound(inches * kTwipsPerInch));
}

bool IsBlack(const TReportFontSpec& font) {
  return font.Name.compare(QLatin1String("Arial Black"), Qt::CaseInsensitive) == 0;
}

}  // namespace

TRTFFiler::TRTFFiler() = default;
TRTFFiler::~TRTFFiler() = default;

bool TRTFFiler::Run() {
  FError.clear();
  FFile = std::make_unique<TSafeFile>(FileName);
  if (!FFile->Open()) {
    FError = QStringLiteral("Cannot write ") + FFile->ErrorString();
    FFile.reset();
    return false;
  }
  TReportUi& ui = TReportUi::Current();
  OnPageStarted = [&](int page) {
    QString text = StatusFormat;
    ui.ShowStatus(TitleStatus, text.replace(QLatin1String("%p"), QString::number(page)));
  };
  SetMargins(TopMargin, BottomMargin);
  const bool made = Generate(*this);
  OnPageStarted = nullptr;
  ui.HideStatus();
  Pass(true);
  // The file takes the old one's place only when every part of the document reached it.
  const bool written = made && FError.isEmpty() && FFile->Commit();
  if (made && FError.isEmpty() && !written)
    FError = QStringLiteral("Cannot write ") + FFile->ErrorString();
  FFile.reset();
  FDocument.clear();
  return written;
}

void TRTFFiler::Pass(bool all) {
  constexpr int kPart = 1 << 20;
  if (!FFile || (!all && FDocument.size() < kPart))
    return;
  if (FError.isEmpty() && !FFile->Write(FDocument))
    FError = QStringLiteral("Cannot write ") + FFile->ErrorString();
  FDocument.clear();
}

QByteArray TRTFFiler::Escape(const QString& text) {
  QByteArray out;
  out.reserve(text.size());
  for (const QChar ch : text) {
    const char16_t c = ch.unicode();
    if (c == u'\\' || c == u'{' || c == u'}') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || (c >= 0x80 && c < 0xA0)) {
      // Control characters, the second set included, have no place in the text.
      out += ' ';
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (const int code = Win1252::ByteOf(c); code >= 0) {
      out += "\\'" + QByteArray::number(code, 16).rightJustified(2, '0');
    } else {
      // Outside the code page: the character by number, with "?" for older readers.
      out += "\\u" + QByteArray::number(static_cast<int16_t>(c)) + "?";
    }
  }
  return out;
}

bool TRTFFiler::DoBeginRun() {
  FCells.clear();
  FBreakPending = false;
  FDocument =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
      "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\n"
      "{\\colortbl;\\red0\\green0\\blue0;}\n";
  FDocument += "\\paperw" + Twips(kPageWidth) + "\\paperh" + Twips(kPageHeight) +
               "\\margl0\\margr0\\margt" + Twips(MarginTop()) + "\\margb" + Twips(MarginBottom()) +
               "\\portrait\\viewkind1\n";
  return true;
}

bool TRTFFiler::DoEndRun() {
  FDocument += "}\n";
  return true;
}

void TRTFFiler::DoBeginPage() {
  if (CurrentPage() > 1)
    FBreakPending = true;
}

void TRTFFiler::DoEndPage() {
  if (!FCells.empty())
    FlushLine(LineHeight());
}

void TRTFFiler::DoPrintCell(const TTabStop& stop, const QString& text, double, double) {
  FCells.push_back(TCell{stop, text, Font()});
}

void TRTFFiler::DoNextLine(double height) {
  FlushLine(height);
}

void TRTFFiler::DoDrawBitmap(const QRectF& inches, const QImage& bitmap) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  bitmap.save(&buffer, "PNG");
  // A frame placed on the page, out of the flow of lines, as the other writers draw it.
  FDocument += "\\pard\\plain\\phpg\\posx" + Twips(inches.x()) + "\\pvpg\\posy" +
               Twips(inches.y()) + "\\absw" + Twips(inches.width()) + "\\absh-" +
               Twips(inches.height()) + "{\\pict\\pngblip\\picw" +
               QByteArray::number(bitmap.width()) + "\\pich" + QByteArray::number(bitmap.height()) +
               "\\picwgoal" + Twips(inches.width()) + "\\pichgoal" + Twips(inches.height()) + "\n";
  const QByteArray hex = png.toHex();
  for (int i = 0; i < hex.size(); i += 128)
    FDocument += hex.mid(i, 128) + "\n";
  FDocument += "}\\par\n";
  Pass(false);
}

void TRTFFiler::FlushLine(double height) {
  bool boxed = false;
  for (const TCell& cell : FCells)
    boxed = boxed || cell.Stop.BoxLines != 0;
  if (boxed) {
    WriteTableRow(height);
  } else {
    WriteParagraph(height);
  }
  FCells.clear();
  Pass(false);
}

QByteArray TRTFFiler::ParagraphStart(double height, bool inTable) {
  QByteArray start = "\\pard\\plain";
  if (inTable)
    start += "\\intbl";
  if (FBreakPending && !inTable) {
    start += "\\pagebb";
    FBreakPending = false;
  }
  start += "\\sl-" + Twips(height) + "\\slmult0";
  return start;
}

void TRTFFiler::WriteParagraph(double height) {
  QByteArray line = ParagraphStart(height, false);
  QByteArray text;
  for (const TCell& cell : FCells) {
    const TTabStop& stop = cell.Stop;
    const bool left = stop.Justify != kJustifyCenter;
    if (left) {
      if (stop.Position > 0) {
        line += "\\tx" + Twips(stop.Position);
        text += "\\tab";
      }
    } else {
      line += "\\tqc\\tx" + Twips(stop.Position + stop.Width / 2);
      text += "\\tab";
    }
    text += CellText(cell);
  }
  // An empty line keeps the height of the font it was ended in.
  const QByteArray size = "\\fs" + QByteArray::number(qRound(Font().Size * 2));
  FDocument += line + size + " " + text + "\\par\n";
}

void TRTFFiler::WriteTableRow(double height) {
  if (FBreakPending) {
    FDocument += "\\pard\\plain\\pagebb\\sl-20\\slmult0\\fs2\\par\n";
    FBreakPending = false;
  }
  QByteArray row = "\\trowd\\trgaph0\\trpaddl0\\trpaddr0\\trpaddfl3\\trpaddfr3\\trleft" +
                   Twips(FCells.front().Stop.Position) + "\\trrh-" + Twips(height);
  QByteArray cells;
  double right = FCells.front().Stop.Position;
  for (const TCell& cell : FCells) {
    const TTabStop& stop = cell.Stop;
    if (stop.Position > right + 1e-6) {
      // A gap between stops: an empty cell without lines.
      row += "\\cellx" + Twips(stop.Position);
      cells += ParagraphStart(height, true) + "\\cell";
    }
    if (stop.BoxLines & kBoxLeft)
      row += "\\clbrdrl\\brdrs\\brdrw" + QByteArray::number(kBorderTwips);
    if (stop.BoxLines & kBoxTop)
      row += "\\clbrdrt\\brdrs\\brdrw" + QByteArray::number(kBorderTwips);
    if (stop.BoxLines & kBoxRight)
      row += "\\clbrdrr\\brdrs\\brdrw" + QByteArray::number(kBorderTwips);
    if (stop.BoxLines & kBoxBottom)
      row += "\\clbrdrb\\brdrs\\brdrw" + QByteArray::number(kBorderTwips);
    right = stop.Position + stop.Width;
    row += "\\clvertalc\\cellx" + Twips(right);
    cells += ParagraphStart(height, true) + (stop.Justify == kJustifyCenter ? "\\qc " : "\\ql ") +
             CellText(cell) + "\\cell";
  }
  FDocument += row + "\n" + cells + "\\row\n";
}

QByteArray TRTFFiler::CellText(const TCell& cell) {
  // Arial Black is written as bold Arial: it is what every reader has, and the columns were
  // measured with the bold face standing in for it.
  QByteArray run = "{\\f0\\fs" + QByteArray::number(qRound(cell.Font.Size * 2));
  if (IsBlack(cell.Font))
    run += "\\b";
  return run + " " + Escape(cell.Text) + "}";
}
