#pragma once

#include "SplashHelp.h"

// The bracket builder's tips.
class TdlgSplashHelp1 : public TdlgSplashHelp {
  Q_OBJECT

 public:
  explicit TdlgSplashHelp1(QWidget* parent = nullptr);
};
