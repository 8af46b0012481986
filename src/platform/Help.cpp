#include "Help.h"

namespace {
class TNoHelp : public THelp {
 public:
  void ShowContext(int) override {}
};

TNoHelp gNoHelp;
THelp* gCurrent = nullptr;
}  // namespace

THelp& THelp::Current() {
  return gCurrent ? *gCurrent : gNoHelp;
}

THelp* THelp::Install(THelp* help) {
  THelp* previous = gCurrent;
  gCurrent = help;
  return previous;
}
