#include "SplashHelp02.h"

namespace {
using TStyle = TdlgSplashHelp::TLine::TStyle;
}

TdlgSplashHelp02::TdlgSplashHelp02(QWidget* parent)
    : TdlgSplashHelp(
          {QStringLiteral("dlgSplashHelp02"),
           QSize(377, 238),
           {{TStyle::Heading, QStringLiteral("Player Entry Form")},
            {TStyle::Bold, QStringLiteral("Tips on filling in the player entry brackets:")},
            {TStyle::Plain,
             QStringLiteral("1.  Drag the team name to its predicted final position in the")},
            {TStyle::Plain,
             QStringLiteral("     tournament and drop the team on the line.  Courtsider will")},
            {TStyle::Plain, QStringLiteral("     fill in the rest for you automatically.")},
            {TStyle::Bold, QStringLiteral("Remember:  You do not need to fill in every game.")},
            {TStyle::Bold,
             QStringLiteral("Let Courtsider do it for you with drag-and-drop fill-in.")},
            {TStyle::Bold,
             QStringLiteral("Start with the Champion and work back to the 1st Round.")}},
           QPoint(24, 168),
           QPoint(151, 205),
           TIniOut::kSplashHelp2Items},
          parent) {}
