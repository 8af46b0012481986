#pragma once

// The common base of the rows a report data set owns, so that one list holds the rows of
// any data set and frees them whatever their class.
class TReportItem {
 public:
  virtual ~TReportItem() = default;

 protected:
  TReportItem() = default;
  TReportItem(const TReportItem&) = default;
  TReportItem& operator=(const TReportItem&) = default;
};
