#include "AboutBox.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "DesignFont.h"
#include "Pictures.h"

namespace {
const QString kCaption = QStringLiteral("About Courtsider 99");
const QString kMaker = QStringLiteral("Tarnwell Software");
// Which Qt the program runs on is the first thing asked when a picture or a printer misbehaves.
QString MakerNote() {
  return QStringLiteral("Built with C++ on Qt %1").arg(QString::fromLatin1(qVersion()));
}

QLabel* TextLine(const QString& text, bool bold, int y, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->setFont(DesignFont(8, bold));
  label->setGeometry(190, y, 200, 16);
  return label;
}
}  // namespace

TfrmAboutBox::TfrmAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("frmAboutBox"));
  setWindowTitle(kCaption);
  setFont(DesignFont());
  setFixedSize(415, 223);

  // A lowered outer bevel with a raised one just inside it.
  auto* outer = new QFrame(this);
  outer->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  outer->setGeometry(8, 8, 399, 169);
  auto* inner = new QFrame(outer);
  inner->setFrameStyle(QFrame::Panel | QFrame::Raised);
  inner->setGeometry(1, 1, 397, 167);

  imgProgram = new QLabel(inner);
  imgProgram->setGeometry(7, 7, 169, 153);
  imgProgram->setScaledContents(true);
  imgProgram->setPixmap(QPixmap(Pictures::kAbout));

  lblProduct = TextLine(kProduct, true, 20, inner);
  lblDescription = TextLine(kDescription, false, 44, inner);
  lblVersion = TextLine(kVersion, false, 68, inner);
  lblMaker = TextLine(kMaker, false, 116, inner);
  lblMakerNote = TextLine(MakerNote(), false, 136, inner);

  btnOk = new QPushButton(QStringLiteral("OK"), this);
  btnOk->setGeometry(170, 187, 75, 25);
  btnOk->setDefault(true);
  connect(btnOk, &QPushButton::clicked, this, &TfrmAboutBox::btnOkClick);
}

void TfrmAboutBox::btnOkClick() {
  hide();
}
