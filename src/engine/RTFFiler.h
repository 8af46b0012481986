#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

#include "BaseReport.h"

class TSafeFile;

// Writes a report as one RTF document: it raises the report's events with itself as the page
// writer. Lines of plain stops become paragraphs with tab stops; a line with boxed stops
// becomes a table row whose cells carry the box lines, since tab stops cannot draw boxes.
// Every line has the exact height the other writers give it and pages break where theirs do.
// The file is written whole or not at all; the document goes to it as it is made, so that
// the selections of a million players need not be held in memory.
class TRTFFiler : public TBaseReport, public TReportEvents {
 public:
  QString FileName;
  QString StatusFormat = QStringLiteral("Printing page %p");
  QString TitleStatus = QStringLiteral("Report Status");
  double TopMargin = 0.35;
  double BottomMargin = 0.35;

  TRTFFiler();
  ~TRTFFiler() override;

  // Makes the document and replaces `FileName` with it. False when the file could not be
  // written; the old file, if any, is then left as it was and ErrorString() says why.
  bool Run();
  const QString& ErrorString() const { return FError; }

  // `text` as RTF characters of the Windows-1252 code page.
  static QByteArray Escape(const QString& text);

 protected:
  bool DoBeginRun() override;
  bool DoEndRun() override;
  void DoBeginPage() override;
  void DoEndPage() override;
  void DoPrintCell(const TTabStop& stop, const QString& text, double top, double height) override;
  void DoNextLine(double height) override;
  void DoDrawBitmap(const QRectF& inches, const QImage& bitmap) override;

 private:
  struct TCell {
    TTabStop Stop;
    QString Text;
    TReportFontSpec Font;
  };

  void FlushLine(double height);
  // Passes what the document holds on to the file once there is enough of it, or all of it.
  void Pass(bool all);
  void WriteParagraph(double height);
  void WriteTableRow(double height);
  QByteArray ParagraphStart(double height, bool inTable);
  static QByteArray CellText(const TCell& cell);

  // The part of the document not yet passed on to the file.
  QByteArray FDocument;
  std::unique_ptr<TSafeFile> FFile;
  std::vector<TCell> FCells;
  bool FBreakPending = false;
  QString FError;
};
