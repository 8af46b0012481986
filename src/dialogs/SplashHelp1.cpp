#include "SplashHelp1.h"

namespace {
using TStyle = TdlgSplashHelp::TLine::TStyle;
}

TdlgSplashHelp1::TdlgSplashHelp1(QWidget* parent)
    : TdlgSplashHelp(
          {QStringLiteral("dlgSplashHelp1"),
           QSize(336, 214),
           {{TStyle::Heading, QStringLiteral("Bracket Builder")},
            {TStyle::Bold, QStringLiteral("Tips on filling in the brackets:")},
            {TStyle::Plain, QStringLiteral("1.  Enter teams into the list to the left.")},
            {TStyle::Plain,
             QStringLiteral("2.  Drag and drop the team from the list over to the ")},
            {TStyle::Continued, QStringLiteral("appropriate place on the brackets.")},
            {TStyle::Plain, QStringLiteral("3.  To advance a team, aim and double click the left")},
            {TStyle::Continued,
             QStringLiteral("mouse button.  To remove, aim and click the right button.")}},
           QPoint(16, 144),
           QPoint(119, 180),
           TIniOut::kSplashHelp1Items},
          parent) {}
