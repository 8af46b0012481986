#include "Help.h"

namespace {
class TNoHelp : public THelp {
 public:
  void ShowContext(int) override {}
};
}  // namespace

THelp& THelp::Default() {
  static TNoHelp none;
  return none;
}
