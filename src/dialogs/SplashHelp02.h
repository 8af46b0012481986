#pragma once

#include "SplashHelp.h"

// The player entry window's tips.
class TdlgSplashHelp02 : public TdlgSplashHelp {
  Q_OBJECT

 public:
  explicit TdlgSplashHelp02(QWidget* parent = nullptr);
};
