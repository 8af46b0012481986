#include "OpenPoolDialog.h"

#include <QDir>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "Help.h"

TfrmOpenPool::TfrmOpenPool(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmOpenPool"));
  setWindowTitle(QStringLiteral("Select Pool"));

  lbSelectPool = new QListWidget(this);
  lbSelectPool->setObjectName(QStringLiteral("lbSelectPool"));
  btnOpen = new QPushButton(QStringLiteral("&Open"), this);
  btnOpen->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
  btnHelp = new QPushButton(QStringLiteral("&Help"), this);
  // The keyboard moves the choice as a click does; a double click opens at once.
  connect(lbSelectPool, &QListWidget::itemSelectionChanged, this, &TfrmOpenPool::lbSelectPoolClick);
  connect(lbSelectPool, &QListWidget::itemDoubleClicked, this, &TfrmOpenPool::btnOpenClick);
  connect(btnOpen, &QPushButton::clicked, this, &TfrmOpenPool::btnOpenClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(btnHelp, &QPushButton::clicked, this, &TfrmOpenPool::btnHelpClick);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(btnOpen);
  buttons->addWidget(btnCancel);
  buttons->addWidget(btnHelp);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(lbSelectPool, 1);
  layout->addLayout(buttons);
  resize(340, 240);
}

void TfrmOpenPool::FormShow() {
  QDir::setCurrent(FAppDirectory);
  lbSelectPool->clear();
  const QStringList pools =
      QDir(FAppDirectory)
          .entryList({QStringLiteral("*.BGD")}, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  for (const QString& pool : pools)
    lbSelectPool->addItem(QLatin1Char('[') + pool + QLatin1Char(']'));
  lbSelectPoolClick();
  lbSelectPool->setFocus();
}

void TfrmOpenPool::lbSelectPoolClick() {
  btnOpen->setEnabled(!lbSelectPool->selectedItems().isEmpty());
}

void TfrmOpenPool::btnOpenClick() {
  const QList<QListWidgetItem*> selected = lbSelectPool->selectedItems();
  if (selected.isEmpty())
    return;
  const QString text = selected.first()->text();
  FSelectedPool = text.mid(1, text.size() - 2);
  accept();
}

void TfrmOpenPool::btnHelpClick() {
  THelp::Current().ShowContext(kHelpContext);
}

void TfrmOpenPool::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}
