#include "CollectPicksForm.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
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

#include "Clock.h"
#include "EntryDesk.h"
#include "FFDataModule.h"
#include "InvitedFile.h"
#include "LiveServer.h"
#include "OpenPool.h"
#include "OutsideText.h"
#include "PicksServer.h"
#include "Prompts.h"
#include "Registry.h"

namespace {
const QString kLoopback = QStringLiteral("127.0.0.1");

QString Now() {
  return TClock::Current().Now().time().toString(QStringLiteral("HH:mm"));
}

// A player's name in a command's text, its "&" shown rather than taken for a shortcut key.
QString Caption(const QString& command, const QString& step) {
  return command + QString(step).replace(QLatin1Char('&'), QStringLiteral("&&"));
}
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
  // No time is proposed: a guessed one could let entries in after the first game. The
  // lowest time the box takes, the last minute of yesterday, stands for none chosen yet.
  edtCloses->setMinimumDateTime(QDateTime(QDate::currentDate(), QTime(0, 0)).addSecs(-60));
  edtCloses->setSpecialValueText(kClosesNotChosen);
  edtCloses->setDateTime(edtCloses->minimumDateTime());
  edtCloses->installEventFilter(this);
  RestoreAddress();

  btnStart = new QPushButton(QStringLiteral("&Start"), this);
  btnStop = new QPushButton(QStringLiteral("S&top"), this);
  btnClose = new QPushButton(QStringLiteral("&Close"), this);
  actUndo = new QAction(this);
  actUndo->setShortcut(QKeySequence::Undo);
  actRedo = new QAction(this);
  actRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence::Redo});
  addActions({actUndo, actRedo});
  btnUndo = new QPushButton(this);
  btnUndo->setToolTip(QStringLiteral("Takes the last entry out of the pool again and saves it"));
  btnRedo = new QPushButton(this);
  btnRedo->setToolTip(QStringLiteral("Puts the entry taken out back into the pool and saves it"));
  connect(actUndo, &QAction::triggered, this, &TfrmCollectPicks::actUndoExecute);
  connect(actRedo, &QAction::triggered, this, &TfrmCollectPicks::actRedoExecute);
  connect(btnUndo, &QPushButton::clicked, actUndo, &QAction::trigger);
  connect(btnRedo, &QPushButton::clicked, actRedo, &QAction::trigger);
  connect(FServer->UndoStack(), &QUndoStack::indexChanged, this, &TfrmCollectPicks::ShowSteps);
  ShowSteps();

  lblUrl = new QLabel(this);
  lblUrl->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  QFont big = lblUrl->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  lblUrl->setFont(big);
  lblState = new QLabel(this);
  lblState->setWordWrap(true);
  lblCount = new QLabel(this);
  btnInvited = new QPushButton(QStringLiteral("&Invited..."), this);
  btnInvited->setToolTip(QStringLiteral("Reads the people invited from a file of one name a line"));
  lblMissing = new QLabel(this);
  lblMissing->setWordWrap(true);
  lblMissing->setTextFormat(Qt::PlainText);
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
  buttons->addWidget(btnRedo);
  buttons->addStretch();
  buttons->addWidget(btnClose);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(settings);
  layout->addLayout(startStop);
  layout->addWidget(handOut);
  layout->addWidget(lblCount);
  auto* invited = new QHBoxLayout;
  invited->addWidget(lblMissing, 1);
  invited->addWidget(btnInvited, 0, Qt::AlignTop);
  layout->addLayout(invited);
  layout->addWidget(lstEntries, 1);
  layout->addLayout(buttons);
  resize(520, 460);

  connect(btnStart, &QPushButton::clicked, this, &TfrmCollectPicks::btnStartClick);
  connect(btnStop, &QPushButton::clicked, this, &TfrmCollectPicks::btnStopClick);
  connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
  connect(btnInvited, &QPushButton::clicked, this, &TfrmCollectPicks::btnInvitedClick);
  // Each entry, taken here or typed in the player window, and each new list.
  connect(&FPool, &TOpenPool::InvitedChanged, this, &TfrmCollectPicks::ShowMissing);
  connect(&FPool, &TOpenPool::PlayersInserted, this, &TfrmCollectPicks::ShowMissing);
  connect(&FPool, &TOpenPool::PlayersRemoved, this, &TfrmCollectPicks::ShowMissing);
  connect(&FPool, &TOpenPool::Replaced, this, &TfrmCollectPicks::ShowMissing);
  connect(FServer, &TPicksServer::EntryTaken, this, [this](const QString& name, bool replaced) {
    ++(replaced ? FChanged : FNew);
    // Names come from the network: one line each in the log, whatever they hold.
    Log((replaced ? QStringLiteral("%1 changed the entry of %2")
                  : QStringLiteral("%1 new entry: %2"))
            .arg(TClock::Current().Now().time().toString(QStringLiteral("HH:mm")),
                 OutsideText::Quoted(name)));
  });
  connect(FServer, &TPicksServer::EntryRefused, this,
          [this](const QString& name, const QString& why) {
            ++FRefused;
            Log(QStringLiteral("%1 refused %2: %3")
                    .arg(TClock::Current().Now().time().toString(QStringLiteral("HH:mm")),
                         OutsideText::Quoted(name), OutsideText::Plain(why)));
          });
  connect(FServer, &TPicksServer::EntryUndone, this, [this](const QString& name, bool replaced) {
    --(replaced ? FChanged : FNew);
    Log(QStringLiteral("%1 took back the entry of \"%2\"").arg(Now(), name));
  });
  connect(FServer, &TPicksServer::EntryRedone, this, [this](const QString& name, bool replaced) {
    ++(replaced ? FChanged : FNew);
    Log(QStringLiteral("%1 put back the entry of \"%2\"").arg(Now(), name));
  });
  // The players go on finding the pool at the address they were given: the standings now.
  connect(FServer, &TPicksServer::EntriesClosed, this, [this] {
    const QString address = cbxAddress->currentData().toString();
    const quint16 port = FServer->Port();
    FServer->Stop();
    ServeStandings(address, port);
  });
  // A winner taken off the results chart again opens the entries again.
  connect(&FPool, &TOpenPool::ChartChanged, this, &TfrmCollectPicks::ShowState);
  // Another pool, or an open first round, takes no entries.
  connect(&FPool, &TOpenPool::AboutToBeReplaced, this, &TfrmCollectPicks::btnStopClick);
  connect(&FPool, &TOpenPool::LockChanged, this, [this](bool finalized) {
    if (!finalized)
      btnStopClick();
  });
  ShowState();
  ShowMissing();
}

TfrmCollectPicks::~TfrmCollectPicks() {
  // The server's undo stack tells of its last change while the server is half gone.
  disconnect(FServer->UndoStack(), nullptr, this, nullptr);
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
  QString reason;
  // A pool whose games have begun is served read-only, with no closing time to ask.
  if (!FServer->CanStart(&reason) && reason == TEntryDesk::kTournamentBegun) {
    ServeStandings(cbxAddress->currentData().toString(), static_cast<quint16>(edtPort->value()));
    return;
  }
  // A pool that takes no entries says so before anything is asked of the closing time.
  if (!FServer->CanStart(&reason)) {
    TPrompts::Current().Refuse(reason, this);
    return;
  }
  const QDateTime closes = edtCloses->dateTime();
  if (closes == edtCloses->minimumDateTime()) {
    TPrompts::Current().Refuse(kAskCloses, this);
    edtCloses->setFocus();
    return;
  }
  if (closes <= TClock::Current().Now()) {
    TPrompts::Current().Refuse(kClosesInPast, this);
    edtCloses->setFocus();
    return;
  }
  if (!FServer->Start(cbxAddress->currentData().toString(), static_cast<quint16>(edtPort->value()),
                      closes, &reason)) {
    TPrompts::Current().Refuse(reason, this);
    return;
  }
  StoreAddress();
  Log(QStringLiteral("%1 serving %2")
          .arg(TClock::Current().Now().time().toString(QStringLiteral("HH:mm")), FServer->Url()));
  ShowState();
}

void TfrmCollectPicks::ServeStandings(const QString& address, quint16 port) {
  auto standings = std::make_unique<TLiveServer>(FPool.DataModule()->Directory());
  QString reason;
  if (!standings->Start(address, port, &reason)) {
    Log(QStringLiteral("%1 %2").arg(Now(), OutsideText::Plain(reason)));
    TPrompts::Current().Refuse(reason, this);
    return;
  }
  FStandings = std::move(standings);
  StoreAddress();
  Log(QStringLiteral("%1 serving the standings at %2")
          .arg(Now(), TPicksServer::UrlOf(address, FStandings->Port())));
}

bool TfrmCollectPicks::Serving() const {
  return FServer->IsRunning() || FStandings;
}

void TfrmCollectPicks::btnStopClick() {
  if (!Serving())
    return;
  FServer->Stop();
  FStandings.reset();
  Log(QStringLiteral("%1 stopped")
          .arg(TClock::Current().Now().time().toString(QStringLiteral("HH:mm"))));
  ShowState();
}

void TfrmCollectPicks::btnInvitedClick() {
  if (!FPool.IsOpen())
    return;
  QString path = FPool.DataModule()->Directory();
  if (!TPrompts::Current().AskFileName(TPrompts::FileDialog::Open, kInvitedTitle, kInvitedFilter,
                                       &path))
    return;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    TPrompts::Current().Refuse(QStringLiteral("Cannot read %1: %2")
                                   .arg(QDir::toNativeSeparators(path), file.errorString()),
                               this);
    return;
  }
  const QByteArray bytes = file.read(InvitedFile::kSizeLimit + 1);
  QStringList names;
  QString error;
  if (bytes.size() > InvitedFile::kSizeLimit)
    error = QStringLiteral("it is too long for a list of names");
  else if (!InvitedFile::Parse(bytes, &names, &error))
    error = QStringLiteral("its %1").arg(error);
  if (!error.isEmpty()) {
    TPrompts::Current().Refuse(QStringLiteral("%1 was not read: %2. The list of the invited is as "
                                              "it was.")
                                   .arg(QDir::toNativeSeparators(path), error),
                               this);
    return;
  }
  // Saved with the pool, as every other change of it.
  FPool.SetInvited(names);
}

void TfrmCollectPicks::ShowMissing() {
  const TFFDataModule* pool = FPool.IsOpen() ? FPool.DataModule() : nullptr;
  const QStringList invited = pool ? pool->Invited() : QStringList();
  btnInvited->setEnabled(pool != nullptr);
  if (invited.isEmpty()) {
    lblMissing->setText(kNoInvited);
    return;
  }
  const QStringList missing = InvitedFile::Missing(invited, pool->PlayerPicksFile());
  lblMissing->setText(missing.isEmpty() ? kAllEntered.arg(invited.size())
                                        : kMissing.arg(missing.size())
                                              .arg(invited.size())
                                              .arg(missing.join(QStringLiteral(", "))));
}

void TfrmCollectPicks::actUndoExecute() {
  QString why;
  if (!FServer->UndoEntry(&why) && !why.isEmpty())
    TPrompts::Current().Refuse(why, this);
}

void TfrmCollectPicks::actRedoExecute() {
  QString why;
  if (!FServer->RedoEntry(&why) && !why.isEmpty())
    TPrompts::Current().Refuse(why, this);
}

void TfrmCollectPicks::FormActivate() {
  FServer->UndoStack()->setActive();
}

void TfrmCollectPicks::FormClose() {
  btnStopClick();
}

bool TfrmCollectPicks::eventFilter(QObject* watched, QEvent* event) {
  // Digits typed over the question would be taken as text: the box gets a date to type over,
  // the start of today, which Start refuses unless it is changed.
  if (watched == edtCloses && event->type() == QEvent::FocusIn &&
      edtCloses->dateTime() == edtCloses->minimumDateTime()) {
    edtCloses->setDateTime(edtCloses->minimumDateTime().addSecs(60));
  }
  return QWidget::eventFilter(watched, event);
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
  const bool running = Serving();
  cbxAddress->setEnabled(!running);
  edtPort->setEnabled(!running);
  edtCloses->setEnabled(!running);
  btnStart->setEnabled(!running);
  btnStop->setEnabled(running);
  lblUrl->setText(
      FStandings ? TPicksServer::UrlOf(cbxAddress->currentData().toString(), FStandings->Port())
      : running  ? FServer->Url()
                 : QString());
  lblUrl->setVisible(running);
  const QString closes = FServer->Closes().toString(kDateFormat);
  const QString closed = FServer->ClosedReason();
  if (!running)
    lblState->setText(kStopped);
  else if (FStandings)
    lblState->setText(kServingStandings);
  else if (closed == TEntryDesk::kTournamentBegun)
    lblState->setText(closed);
  else if (!closed.isEmpty())
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

void TfrmCollectPicks::ShowSteps() {
  const QUndoStack* steps = FServer->UndoStack();
  actUndo->setEnabled(steps->canUndo());
  actUndo->setText(steps->canUndo() ? Caption(QStringLiteral("&Undo "), steps->undoText())
                                    : QStringLiteral("&Undo"));
  actRedo->setEnabled(steps->canRedo());
  actRedo->setText(steps->canRedo() ? Caption(QStringLiteral("&Redo "), steps->redoText())
                                    : QStringLiteral("&Redo"));
  btnUndo->setText(actUndo->text());
  btnUndo->setEnabled(actUndo->isEnabled());
  btnRedo->setText(actRedo->text());
  btnRedo->setEnabled(actRedo->isEnabled());
}

void TfrmCollectPicks::RestoreAddress() {
  TRegistry registry;
  if (!registry.OpenKey(kSettingsKey, false))
    return;
  // An address this computer no longer has is not offered.
  const int address = cbxAddress->findData(registry.ReadString(kAddressValue));
  if (address >= 0)
    cbxAddress->setCurrentIndex(address);
  bool number = false;
  const int port = registry.ReadString(kPortValue).toInt(&number);
  if (number && port >= edtPort->minimum() && port <= edtPort->maximum())
    edtPort->setValue(port);
}

void TfrmCollectPicks::StoreAddress() {
  TRegistry registry;
  if (!registry.OpenKey(kSettingsKey, true))
    return;
  registry.WriteString(kAddressValue, cbxAddress->currentData().toString());
  registry.WriteString(kPortValue, QString::number(edtPort->value()));
  registry.Flush();
}
