#include "RecordingReport.h"

bool TRecordingReport::DoBeginRun() {
  FRecords.clear();
  FPages = 0;
  return true;
}

QString TRecordingReport::Text() const {
  QString text;
  bool lineStarted = false;
  for (const TRecord& record : FRecords) {
    switch (record.Kind) {
      case TKind::Page:
        if (record.Page > 1)
          text += QStringLiteral("<page>\n");
        lineStarted = false;
        break;
      case TKind::Cell:
        if (lineStarted)
          text += QLatin1Char('|');
        text += record.Text;
        lineStarted = true;
        break;
      case TKind::Line:
        text += QLatin1Char('\n');
        lineStarted = false;
        break;
      case TKind::Bitmap:
        text += QStringLiteral("<bitmap>");
        break;
    }
  }
  return text;
}

QStringList TRecordingReport::CellTexts(int page) const {
  QStringList texts;
  for (const TRecord& record : FRecords) {
    if (record.Kind == TKind::Cell && record.Page == page && !record.Text.isEmpty()) {
      texts << record.Text;
    }
  }
  return texts;
}

void TRecordingReport::DoBeginPage() {
  FPages = CurrentPage();
  TRecord record;
  record.Kind = TKind::Page;
  record.Page = CurrentPage();
  FRecords.push_back(record);
}

void TRecordingReport::DoPrintCell(const TTabStop& stop, const QString& text, double top, double) {
  TRecord record;
  record.Kind = TKind::Cell;
  record.Page = CurrentPage();
  record.Top = top;
  record.Stop = stop;
  record.Text = text;
  record.Font = Font();
  FRecords.push_back(record);
}

void TRecordingReport::DoNextLine(double) {
  TRecord record;
  record.Kind = TKind::Line;
  record.Page = CurrentPage();
  record.Top = YPos();
  FRecords.push_back(record);
}

void TRecordingReport::DoDrawBitmap(const QRectF& inches, const QImage& bitmap) {
  TRecord record;
  record.Kind = TKind::Bitmap;
  record.Page = CurrentPage();
  record.Top = YPos();
  record.Rect = inches;
  record.BitmapSize = bitmap.size();
  FRecords.push_back(record);
}
