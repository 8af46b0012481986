#include "ReportShell.h"

#include "BaseReport.h"

void TReportShell::Run(TBaseReport& writer) {
  FValid = true;
  if (OnBodyBefore)
    OnBodyBefore(writer, *this);
  EnsureRoom(writer, TSection::SectionBodyHeader);
  if (OnBodyHeader)
    OnBodyHeader(writer, *this);
  while (FValid) {
    if (OnRowBefore)
      OnRowBefore(writer, *this, FValid);
    if (FValid) {
      EnsureRoom(writer, TSection::SectionRow);
      if (OnRowPrint)
        OnRowPrint(writer, *this, FValid);
    }
    if (OnRowAfter)
      OnRowAfter(writer, *this, FValid);
    if (!FValid)
      break;
    if (DetailReport)
      DetailReport->Run(writer);
    // A row that no handler can end would print forever.
    if (!OnRowBefore && !OnRowPrint && !OnRowAfter)
      break;
  }
  if (OnBodyAfter)
    OnBodyAfter(writer, *this);
}

void TReportShell::EnsureRoom(TBaseReport& writer, TSection section) const {
  const int needed = MinHeight(section);
  if (needed > 0 && writer.LinesLeft() < needed)
    writer.NewPage();
}
