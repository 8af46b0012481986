#pragma once

#include <QString>

#include "StandingsPage.h"

class TFFDataModule;

// The parts of the standings page that live in files of their own.
namespace StandingsPageParts {

// The page as it is made, passed on to the sink a part at a time.
class TPageWriter {
 public:
  explicit TPageWriter(const StandingsPage::TSink& sink) : FSink(sink) {}

  TPageWriter& operator+=(const QString& text) {
    constexpr int kPart = 1 << 20;
    FText += text;
    if (FText.size() >= kPart)
      Pass();
    return *this;
  }
  // Passes on the rest; whether every part was taken.
  bool Finish() {
    Pass();
    return FTaken;
  }

 private:
  void Pass() {
    if (FTaken && !FText.isEmpty())
      FTaken = FSink(FText.toUtf8());
    FText.clear();
  }

  const StandingsPage::TSink& FSink;
  QString FText;
  bool FTaken = true;
};

// Who picked what: the champions most picked, every team round by round, and the picks no one
// else made.
void PopularitySection(TPageWriter& html, const TFFDataModule& pool);

}  // namespace StandingsPageParts
