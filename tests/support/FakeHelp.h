#pragma once

#include <QList>

#include "Help.h"

// Help for tests: records which topics were asked for and opens nothing.
class TFakeHelp : public THelp {
 public:
  void ShowContext(int context) override { FContexts.append(context); }
  const QList<int>& Contexts() const { return FContexts; }

 private:
  QList<int> FContexts;
};
