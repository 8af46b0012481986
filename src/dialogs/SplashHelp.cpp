#include "SplashHelp.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "DesignFont.h"

namespace {
constexpr int kMargin = 8;
constexpr int kTextLeft = 16;
constexpr int kTextTop = 14;

const QString kCaption = QStringLiteral("Courtsider Tips");
const QString kDontShow = QStringLiteral("Don't show me this dialog again.");
}  // namespace

TdlgSplashHelp::TdlgSplashHelp(const TLayout& layout, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), IniOut1(this) {
  setObjectName(layout.Name);
  setWindowTitle(kCaption);
  setFont(DesignFont());
  setFixedSize(layout.ClientSize);

  auto* bevel = new QFrame(this);
  bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
  bevel->setGeometry(kMargin, kMargin, layout.ClientSize.width() - 2 * kMargin,
                     layout.CheckAt.y() + 24 - kMargin);

  // A numbered tip's second line starts under the tip's text, not under its number.
  const int hanging = QFontMetrics(DesignFont()).horizontalAdvance(QStringLiteral("1.  "));
  int y = kTextTop;
  for (const TLine& line : layout.Lines) {
    const bool heading = line.Style == TLine::TStyle::Heading;
    const bool bold = heading || line.Style == TLine::TStyle::Bold;
    auto* label = new QLabel(line.Text, this);
    label->setTextFormat(Qt::PlainText);
    label->setFont(DesignFont(heading ? 12 : 8, bold));
    label->adjustSize();
    const int x = kTextLeft + (line.Style == TLine::TStyle::Continued ? hanging : 0);
    label->move(x, y);
    y += label->height() + (heading ? 6 : 2);
  }

  chkDontShow = new QCheckBox(kDontShow, this);
  chkDontShow->setObjectName(QStringLiteral("chkDontShow"));
  chkDontShow->adjustSize();
  chkDontShow->move(layout.CheckAt);

  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setGeometry(layout.ButtonAt.x(), layout.ButtonAt.y(), 75, 25);
  OKBtn->setDefault(true);
  connect(OKBtn, &QPushButton::clicked, this, &TdlgSplashHelp::OKBtnClick);

  IniOut1.SetItems(layout.Items);
  IniOut1.RestoreWindowState();
}

TdlgSplashHelp::~TdlgSplashHelp() {
  IniOut1.StoreWindowState();
}

void TdlgSplashHelp::OKBtnClick() {
  IniOut1.StoreWindowState();
  accept();
}
