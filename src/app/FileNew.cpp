#include "FileNew.h"

#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "Help.h"
#include "Prompts.h"

TdlgFileNew::TdlgFileNew(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("dlgFileNew"));
  setWindowTitle(QStringLiteral("Open New Pool"));

  auto* frame = new QFrame(this);
  frame->setFrameShape(QFrame::StyledPanel);
  frame->setFrameShadow(QFrame::Sunken);
  lblPoolName = new QLabel(QStringLiteral("Pool Name"), frame);
  edtPoolName = new QLineEdit(frame);
  edtPoolName->setObjectName(QStringLiteral("edtPoolName"));
  edtPoolName->setMaxLength(kMaxNameLength);
  edtPoolName->setMinimumWidth(220);
  lblPoolName->setBuddy(edtPoolName);
  auto* fields = new QHBoxLayout(frame);
  fields->addWidget(lblPoolName);
  fields->addWidget(edtPoolName, 1);

  btnOK = new QPushButton(QStringLiteral("OK"), this);
  btnOK->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnHelp = new QPushButton(QStringLiteral("&Help"), this);
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(btnHelp, &QPushButton::clicked, this, &TdlgFileNew::btnHelpClick);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  buttons->addWidget(btnHelp);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  layout->addLayout(buttons);
}

QString TdlgFileNew::PoolName() const {
  return edtPoolName->text().trimmed();
}

bool TdlgFileNew::IsSafePoolName(const QString& name) {
  const QString trimmed = name.trimmed();
  if (trimmed.isEmpty() || trimmed.contains(QStringLiteral("..")))
    return false;
  for (const QChar c : trimmed) {
    if (c.category() == QChar::Other_Control || QStringLiteral("\\/:*?\"<>|").contains(c)) {
      return false;
    }
  }
  // Windows keeps these names for devices, whatever follows the dot.
  static const QRegularExpression kDeviceName(
      QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])$"),
      QRegularExpression::CaseInsensitiveOption);
  return !kDeviceName.match(trimmed).hasMatch();
}

void TdlgFileNew::FormShow() {
  QDir::setCurrent(FAppDirectory);
  edtPoolName->clear();
  edtPoolName->setFocus();
}

bool TdlgFileNew::FormCloseQuery() {
  // An untouched name field keeps the dialog open without a word, as the OK of an empty
  // form does nothing.
  if (edtPoolName->text().isEmpty())
    return false;
  const QString name = PoolName();
  if (!IsSafePoolName(name)) {
    TPrompts::Current().Refuse(kUnsafeName, this);
    return false;
  }
  if (QDir(FAppDirectory).exists(name + QStringLiteral(".BGD"))) {
    TPrompts::Current().Refuse(kPoolExists, this);
    return false;
  }
  return true;
}

void TdlgFileNew::btnHelpClick() {
  THelp::Current().ShowContext(kHelpContext);
}

void TdlgFileNew::done(int result) {
  if (result == QDialog::Accepted && !FormCloseQuery())
    return;
  QDialog::done(result);
}

void TdlgFileNew::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}
