#include "CollectPicksForm.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QNetworkInterface>
#include <QPushButton>
#include <QSpinBox>
#include <QTime>
#include <QUndoStack>
#include <QVBoxLayout>

#include "OpenPool.h"
#include "OutsideText.h"
#include "PicksServer.h"
#include "Prompts.h"

namespace {
const QString kLoopback = QStringLiteral("127.0.0.1");
}  // namespace

TfrmCollectPicks::TfrmCollectPicks(TOpenPool& pool, QWidget* parent)
    : QWidget(parent, Qt::Window), FPool(pool), FServer(new TPicksServer(pool, this)) {
  setObjectName(QStringLiteral("frmCollectPicks"));
  setWindowTitle(kCaption);

  cbxAddress = new QComboBox(this);
  for (const QString& address : LocalAddresses()) {
    cbxAddress->addItem(address == kLoopback ? kThisComputerOnly.arg(address) : address, address);
  }
  edtPort = new QSpinBox(this);
  edtPort->setRange(0, 65535);
  edtPort->setSpecialValueText(QStringLiteral("Any free port"));
  edtPort->setValue(TPicksServer::kDefaultPort);
  edtCloses = new QDateTimeEdit(this);
  edtCloses->setDisplayFormat(kDateFormat);
  edtCloses->setCalendarPopup(true);
  // Tomorrow on the hour: entries usually close before the first game of the next day.
  const QDateTime now = QDateTime::currentDateTime();
  edtCloses->setDateTime(QDateTime(now.date().addDays(1), QTime(now.time().hour(), 0)));

  btnStart = new QPushButton(QStringLiteral("&Start"), this);
  btnStop = new QPushButton(QStringLiteral("S&top"), this);
  btnClose = new QPushButton(QStringLiteral("&Close"), this);
  actUndo = FServer->UndoStack()->createUndoAction(this, QStringLiteral("&Undo"));
  actUndo->setShortcut(QKeySequence::Undo);
  addAction(actUndo);
  btnUndo = new QPushButton(this);
  btnUndo->setToolTip(QStringLiteral("Takes the last entry out of the pool again"));
  connect(actUndo, &QAction::changed, this,
          [this] { btnUndo->setText(actUndo->text()), btnUndo->setEnabled(actUndo->isEnabled()); });
  connect(btnUndo, &QPushButton::clicked, actUndo, &QAction::trigger);
  btnUndo->setText(actUndo->text());
  btnUndo->setEnabled(actUndo->isEnabled());

  lblUrl = new QLabel(this);
  lblUrl->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  QFont big = lblUrl->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  lblUrl->setFont(big);
  lblState = new QLabel(this);
  lblState->setWordWrap(true);
  lblCount = new QLabel(this);
  lstEntries = new QListWidget(this);
  lstEntries->setWordWrap(true);
  lstEntries->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  auto* settings = new QFormLayout;
  settings->addRow(QStringLiteral("&Address:"), cbxAddress);
  settings->addRow(QStringLiteral("&Port:"), edtPort);
  settings->addRow(QStringLiteral("Entries c&lose:"), edtCloses);
  auto* startStop = new QHBoxLayout;
  startStop->addWidget(btnStart);
  startStop->addWidget(btnStop);
  startStop->addStretch();
  auto* handOut = new QGroupBox(QStringLiteral("Hand out this address to the players"), this);
  auto* handOutLayout = new QVBoxLayout(handOut);
  handOutLayout->addWidget(lblUrl);
  handOutLayout->addWidget(lblState);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnUndo);
  buttons->addStretch();
  buttons->addWidget(btnClose);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(settings);
  layout->addLayout(startStop);
  layout->addWidget(handOut);
  layout->addWidget(lblCount);
  layout->addWidget(lstEntries, 1);
  layout->addLayout(buttons);
  resize(520, 460);

  connect(btnStart, &QPushButton::clicked, this, &TfrmCollectPicks::btnStartClick);
  connect(btnStop, &QPushButton::clicked, this, &TfrmCollectPicks::btnStopClick);
  connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
  connect(FServer, &TPicksServer::EntryTaken, this, [this](const QString& name, bool replaced) {
    ++(replaced ? FChanged : FNew);
    // Names come from the network: one line each in the log, whatever they hold.
    Log((replaced ? QStringLiteral("%1 changed the entry of %2")
                  : QStringLiteral("%1 new entry: %2"))
            .arg(QTime::currentTime().toString(QStringLiteral("HH:mm")),
                 OutsideText::Quoted(name)));
  });
  connect(FServer, &TPicksServer::EntryRefused, this,
          [this](const QString& name, const QString& why) {
            ++FRefused;
            Log(QStringLiteral("%1 refused %2: %3")
                    .arg(QTime::currentTime().toString(QStringLiteral("HH:mm")),
                         OutsideText::Quoted(name), OutsideText::Plain(why)));
          });
  connect(FServer, &TPicksServer::EntriesClosed, this, &TfrmCollectPicks::ShowState);
  // Another pool, or an open first round, takes no entries.
  connect(&FPool, &TOpenPool::AboutToBeReplaced, this, &TfrmCollectPicks::btnStopClick);
  connect(&FPool, &TOpenPool::LockChanged, this, [this](bool finalized) {
    if (!finalized)
      btnStopClick();
  });
  ShowState();
}

TfrmCollectPicks::~TfrmCollectPicks() {
  // The server goes first, while the window is whole: its undo stack still tells the undo
  // action and the buttons as it goes.
  delete FServer;
}

QStringList TfrmCollectPicks::LocalAddresses() {
  QStringList network;
  for (const QNetworkInterface& face : QNetworkInterface::allInterfaces()) {
    const auto flags = face.flags();
    if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
        flags.testFlag(QNetworkInterface::IsLoopBack)) {
      continue;
    }
    for (const QNetworkAddressEntry& entry : face.addressEntries()) {
      const QHostAddress address = entry.ip();
      // A link-local IPv6 address needs its interface named, which no player would type.
      if (address.isLoopback() || address.isLinkLocal())
        continue;
      if (address.protocol() == QAbstractSocket::IPv4Protocol)
        network.prepend(address.toString());
      else if (address.protocol() == QAbstractSocket::IPv6Protocol)
        network.append(address.toString());
    }
  }
  network.removeDuplicates();
  network << kLoopback;
  return network;
}

void TfrmCollectPicks::btnStartClick() {
  if (FServer->IsRunning())
    return;
  const QDateTime closes = edtCloses->dateTime();
  if (closes <= QDateTime::currentDateTime()) {
    TPrompts::Current().Refuse(kClosesInPast, this);
    return;
  }
  QString reason;
  if (!FServer->Start(cbxAddress->currentData().toString(), static_cast<quint16>(edtPort->value()),
                      closes, &reason)) {
    TPrompts::Current().Refuse(reason, this);
    return;
  }
  Log(QStringLiteral("%1 serving %2")
          .arg(QTime::currentTime().toString(QStringLiteral("HH:mm")), FServer->Url()));
  ShowState();
}

void TfrmCollectPicks::btnStopClick() {
  if (!FServer->IsRunning())
    return;
  FServer->Stop();
  Log(QStringLiteral("%1 stopped").arg(QTime::currentTime().toString(QStringLiteral("HH:mm"))));
  ShowState();
}

void TfrmCollectPicks::FormActivate() {
  FServer->UndoStack()->setActive();
}

void TfrmCollectPicks::FormClose() {
  btnStopClick();
}

void TfrmCollectPicks::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow())
    FormActivate();
  QWidget::changeEvent(event);
}

void TfrmCollectPicks::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void TfrmCollectPicks::ShowState() {
  const bool running = FServer->IsRunning();
  cbxAddress->setEnabled(!running);
  edtPort->setEnabled(!running);
  edtCloses->setEnabled(!running);
  btnStart->setEnabled(!running);
  btnStop->setEnabled(running);
  lblUrl->setText(running ? FServer->Url() : QStringLiteral("-"));
  const QString closes = FServer->Closes().toString(kDateFormat);
  if (!running)
    lblState->setText(kStopped);
  else if (!FServer->EntriesOpen())
    lblState->setText(kClosed.arg(closes));
  else
    lblState->setText(FServer->Closes().isValid() ? kCollecting.arg(closes) : kCollectingNoEnd);
  lblCount->setText(kCount.arg(FNew).arg(FChanged).arg(FRefused));
}

void TfrmCollectPicks::Log(const QString& line) {
  lstEntries->addItem(line);
  lstEntries->scrollToBottom();
  ShowState();
}
