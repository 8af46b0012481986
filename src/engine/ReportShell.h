#pragma once

#include <array>
#include <functional>

class TBaseReport;

// A row driver: runs a body of rows on a page writer through its events. A body runs body
// before, body header, then per row: row before, row print (only while the row is valid) and
// row after; while the row is still valid after that, the detail shell runs whole and the
// next row follows. Body after ends it. Before the body header and before each row print a
// new page starts when fewer free lines remain than that section's minimum height.
class TReportShell {
 public:
  enum class TSection { SectionBodyHeader, SectionRow };
  using TBodyEvent = std::function<void(TBaseReport& writer, TReportShell& shell)>;
  using TRowEvent = std::function<void(TBaseReport& writer, TReportShell& shell, bool& valid)>;

  virtual ~TReportShell() = default;

  void Run(TBaseReport& writer);

  TBodyEvent OnBodyBefore;
  TBodyEvent OnBodyHeader;
  TRowEvent OnRowBefore;
  TRowEvent OnRowPrint;
  TRowEvent OnRowAfter;
  TBodyEvent OnBodyAfter;

  // Runs once for every valid row of this shell; not owned.
  TReportShell* DetailReport = nullptr;

  void SetMinHeight(TSection section, int lines) { FMinHeight[Index(section)] = lines; }
  int MinHeight(TSection section) const { return FMinHeight[Index(section)]; }
  bool Valid() const { return FValid; }

 private:
  static size_t Index(TSection section) { return static_cast<size_t>(section); }
  void EnsureRoom(TBaseReport& writer, TSection section) const;

  std::array<int, 2> FMinHeight{};
  bool FValid = true;
};

// The shell that a report's print event runs.
class TMasterShell : public TReportShell {};
// A shell run once per row of a master shell.
class TDetailShell : public TReportShell {};
