#include "TieBreakerPoints.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "DesignFont.h"
#include "OpenPool.h"
#include "Prompts.h"

namespace {
// One required digit and two optional ones, a blank shown as a space: 0 to 999.
const QString kPointsMask = QStringLiteral("900; ");
}  // namespace

TdlgTieBreakerPoints::TdlgTieBreakerPoints(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("dlgTieBreakerPoints"));
  setWindowTitle(kCaption);
  setFont(DesignFont());
  setFixedSize(313, 106);

  auto* bevel = new QFrame(this);
  bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
  bevel->setGeometry(8, 8, 297, 57);

  auto* label = new QLabel(QStringLiteral("Enter Total Points of Championship Game"), this);
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(20, 26, 210, 21);

  edtTieBreakerPoints = new QLineEdit(this);
  edtTieBreakerPoints->setObjectName(QStringLiteral("edtTieBreakerPoints"));
  edtTieBreakerPoints->setInputMask(kPointsMask);
  edtTieBreakerPoints->setMaxLength(3);
  // Wide enough for three digits and the cursor, so that none scrolls out of sight.
  edtTieBreakerPoints->setGeometry(232, 24, 57, 23);
  label->setBuddy(edtTieBreakerPoints);

  btnOK = new QPushButton(QStringLiteral("OK"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setGeometry(79, 73, 75, 25);
  btnOK->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setGeometry(159, 73, 75, 25);
  connect(btnOK, &QPushButton::clicked, this, &TdlgTieBreakerPoints::btnOKClick);
  // Escape rejects a dialog of its own accord.
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void TdlgTieBreakerPoints::SetPoints(int32_t points) {
  edtTieBreakerPoints->setText(QString::number(points));
  edtTieBreakerPoints->selectAll();
}

bool TdlgTieBreakerPoints::Points(int32_t* points) const {
  // The shown text keeps a blank the mask lets through between digits; such a box does not
  // hold a number.
  const QString text = edtTieBreakerPoints->displayText().trimmed();
  bool ok = false;
  const int value = text.toInt(&ok);
  if (ok)
    *points = value;
  return ok;
}

void TdlgTieBreakerPoints::btnOKClick() {
  int32_t points = 0;
  if (!Points(&points)) {
    TPrompts::Current().Refuse(TOpenPool::kTieBreakerRange, this);
    edtTieBreakerPoints->setFocus();
    return;
  }
  accept();
}
