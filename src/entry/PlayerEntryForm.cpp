#include "PlayerEntryForm.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QUndoStack>
#include <algorithm>

#include "BracketList.h"
#include "DesignFont.h"
#include "FFDataModule.h"
#include "FieldExit.h"
#include "Help.h"
#include "IniOut.h"
#include "OpenPool.h"
#include "Prompts.h"
#include "ShareCommands.h"
#include "SplashHelp02.h"

namespace {
// A required digit and two optional ones, blanks shown as spaces: 0 to 999.
const QString kGuessMask = QStringLiteral("900; ");
// The chart takes what is left under the menu and the two tool-bar rows, up to its picture
// and scroll bar.
constexpr int kChartMargin = 130;
constexpr QSize kChartScrollRoom(0, 10);
constexpr int kPromptWidth = 330;
}  // namespace

TfrmPlayerEntryForm::TfrmPlayerEntryForm(TOpenPool& pool, QWidget* parent)
    : QMainWindow(parent), TEditingWindow(static_cast<QWidget&>(*this)), FPool(pool) {
  setObjectName(QStringLiteral("frmPlayerEntryForm"));
  setWindowTitle(kCaption);
  setFont(DesignFont());
  resize(kDesignWidth, kDesignHeight);

  CreateActions();
  CreateMenus();
  CreateToolBars();

  auto* client = new QWidget(this);
  sbxBracket = new TChartView(client);
  sbxBracket->setFocusPolicy(Qt::StrongFocus);
  imgBrackets = sbxBracket->Picture();
  mnuView->addActions(sbxBracket->ZoomActions());
  connect(sbxBracket, &TChartView::ZoomChanged, this, &TfrmPlayerEntryForm::FormResize);
  setCentralWidget(client);
  setTabOrder(cbxPlayerName, edtTotalPoints);
  setTabOrder(edtTotalPoints, sbxBracket);

  sbxBracket->OnMouseDown = [this](const TChartView::TChartMouse& mouse) {
    imgBracketsMouseDown(mouse.Button, mouse.DoubleClick, mouse.Point);
  };
  sbxBracket->OnDoubleClick = [this](const TChartView::TChartMouse& mouse) {
    imgBracketsDblClick(mouse.Point);
  };
  sbxBracket->OnMouseMove = [this](const TChartView::TChartMouse& mouse) {
    imgBracketsMouseMove(mouse.Point);
  };
  sbxBracket->OnDragOver = [this](const TChartView::TChartDrop& drop) {
    return imgBracketsDragOver(drop.FromThisChart);
  };
  sbxBracket->OnDragDrop = [this](const TChartView::TChartDrop& drop) {
    imgBracketsDragDrop(drop.Point);
  };

  // Nothing of a pool that is going away may be touched again: not the player, not the
  // entries on the old chart's slots, not the slot under the mouse.
  connect(&FPool, &TOpenPool::AboutToBeReplaced, this, &TfrmPlayerEntryForm::ForgetPool);
  connect(&FPool, &TOpenPool::Replaced, this, [this] {
    sbxBracket->SetChart(FPool.PicksBracket());
    MakeChartBitmap();
    // Players are entered only while the first round is locked.
    if (isVisible() && !FPool.Finalized())
      hide();
    ClearChart();
    LoadPlayerList();
    RefreshChart();
  });
  connect(&FPool, &TOpenPool::LockChanged, this, [this](bool finalized) {
    if (finalized)
      return;
    ClearChart();
    LoadPlayerList();
    RefreshChart();
    hide();
  });
  connect(&FPool, &TOpenPool::PlayersInserted, this, &TfrmPlayerEntryForm::InsertPlayerItems);
  connect(&FPool, &TOpenPool::PlayersAboutToBeRemoved, this,
          &TfrmPlayerEntryForm::RemovePlayerItems);
  connect(&FPool, &TOpenPool::PlayerChanged, this, [this](const TPlayerPicksListObject* player) {
    if (player == FCurrentPlayer)
      RefreshChart();
  });
  connect(&FPool, &TOpenPool::PicksChartChanged, this, [this] { sbxBracket->RefreshChart(); });
  connect(&FPool, &TOpenPool::OptionsChanged, this, [this] {
    MakeChartBitmap();
    RefreshChart();
  });

  sbxBracket->SetChart(FPool.PicksBracket());
  MakeChartBitmap();
  ClearChart();
  LoadPlayerList();
  RefreshChart();

  IniOut1 = std::make_unique<TIniOut>(this);
  IniOut1->SetItems(TIniOut::kPlayerEntryItems);
  IniOut1->RestoreWindowState();
}

TfrmPlayerEntryForm::~TfrmPlayerEntryForm() {
  IniOut1->StoreWindowState();
  // The chart belongs to the document, which may go first.
  sbxBracket->SetChart(nullptr);
}

QAction* TfrmPlayerEntryForm::MakeCommand(const QString& caption, const QString& hint,
                                          std::optional<QStyle::StandardPixmap> glyph) {
  return MakeAction(caption, hint, glyph ? style()->standardIcon(*glyph) : QIcon());
}

void TfrmPlayerEntryForm::CreateActions() {
  actPlayerClear =
      MakeCommand(QStringLiteral("&Clear Brackets"),
                  QStringLiteral("Clear the Player's selections"), QStyle::SP_DialogResetButton);
  actPlayerAdd = MakeCommand(QStringLiteral("&Add"), QStringLiteral("Add a new player"),
                             QStyle::SP_FileDialogNewFolder);
  actPlayerDelete = MakeCommand(QStringLiteral("&Delete"),
                                QStringLiteral("Delete the player shown"), QStyle::SP_TrashIcon);
  actPlayerAudit =
      MakeCommand(QStringLiteral("A&udit"), QStringLiteral("Audit the brackets for completeness"),
                  QStyle::SP_DialogApplyButton);
  actFileExit = MakeCommand(QStringLiteral("E&xit"), QStringLiteral("Exit Player Entry"),
                            QStyle::SP_DialogCloseButton);
  actFileImport =
      MakeCommand(TShareCommands::kImportCaption, TShareCommands::kImportHint, std::nullopt);
  actFileImport->setShortcut(TShareCommands::kImportKey);
  actFileExport =
      MakeCommand(TShareCommands::kExportCaption, TShareCommands::kExportHint, std::nullopt);
  actFileExport->setShortcut(TShareCommands::kExportKey);
  actHelp = MakeCommand(QStringLiteral("&Help"), QStringLiteral("Help Contents"),
                        QStyle::SP_MessageBoxQuestion);
  actHelp->setShortcut(QKeySequence::HelpContents);

  // Quick entry: the next and previous player without reaching for the list.
  actPlayerPrevious = MakeCommand(QStringLiteral("&Previous Player"),
                                  QStringLiteral("Show the previous player"), std::nullopt);
  actPlayerPrevious->setShortcut(QKeySequence(Qt::Key_PageUp));
  actPlayerNext = MakeCommand(QStringLiteral("&Next Player"),
                              QStringLiteral("Show the next player"), std::nullopt);
  actPlayerNext->setShortcut(QKeySequence(Qt::Key_PageDown));

  MakeUndoActions(FPool.CreateUndoStack(this));

  connect(actPlayerClear, &QAction::triggered, this, &TfrmPlayerEntryForm::actPlayerClearExecute);
  connect(actPlayerAdd, &QAction::triggered, this, &TfrmPlayerEntryForm::actPlayerAddExecute);
  connect(actPlayerDelete, &QAction::triggered, this, &TfrmPlayerEntryForm::actPlayerDeleteExecute);
  connect(actPlayerAudit, &QAction::triggered, this, &TfrmPlayerEntryForm::actPlayerAuditExecute);
  connect(actPlayerPrevious, &QAction::triggered, this,
          &TfrmPlayerEntryForm::actPlayerPreviousExecute);
  connect(actPlayerNext, &QAction::triggered, this, &TfrmPlayerEntryForm::actPlayerNextExecute);
  connect(actFileImport, &QAction::triggered, this, &TfrmPlayerEntryForm::actFileImportExecute);
  connect(actFileExport, &QAction::triggered, this, &TfrmPlayerEntryForm::actFileExportExecute);
  connect(actFileExit, &QAction::triggered, this, &TfrmPlayerEntryForm::actFileExitExecute);
  connect(actHelp, &QAction::triggered, this, &TfrmPlayerEntryForm::actHelpExecute);
}

void TfrmPlayerEntryForm::CreateMenus() {
  mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
  mnuFile->addActions({actFileImport, actFileExport});
  mnuFile->addSeparator();
  mnuFile->addAction(actFileExit);
  mnuEdit = menuBar()->addMenu(QStringLiteral("&Edit"));
  mnuEdit->addActions({actEditUndo, actEditRedo});
  // Filled with the chart's zoom commands once the chart is made.
  mnuView = menuBar()->addMenu(QStringLiteral("&View"));
  mnuPlayer = menuBar()->addMenu(QStringLiteral("&Player"));
  mnuPlayer->addActions({actPlayerAdd, actPlayerDelete, actPlayerAudit, actPlayerClear});
  mnuPlayer->addSeparator();
  mnuPlayer->addActions({actPlayerPrevious, actPlayerNext});
  mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
  mnuHelp->addAction(actHelp);
}

void TfrmPlayerEntryForm::CreateToolBars() {
  ToolBar1 = addToolBar(QStringLiteral("Commands"));
  ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1->setMovable(false);
  ToolBar1->setIconSize(QSize(20, 20));
  ToolBar1->addActions({actPlayerClear, actPlayerAdd, actPlayerDelete, actPlayerAudit});
  ToolBar1->addSeparator();
  ToolBar1->addActions({actEditUndo, actEditRedo});
  ToolBar1->addSeparator();
  ToolBar1->addActions({actFileExit, actHelp});
  lblPrompt = new QLabel(kPrompt, ToolBar1);
  lblPrompt->setObjectName(QStringLiteral("lblPrompt"));
  lblPrompt->setTextFormat(Qt::PlainText);
  // Two lines beside the buttons, so that the window's design width shows all of it.
  lblPrompt->setWordWrap(true);
  lblPrompt->setFixedWidth(kPromptWidth);
  lblPrompt->setContentsMargins(8, 0, 4, 0);
  ToolBar1->addWidget(lblPrompt);

  addToolBarBreak();
  pnlPlayer = addToolBar(QStringLiteral("Player"));
  pnlPlayer->setObjectName(QStringLiteral("pnlPlayer"));
  pnlPlayer->setMovable(false);
  auto* nameLabel = new QLabel(QStringLiteral("Player Name"), pnlPlayer);
  nameLabel->setContentsMargins(4, 0, 6, 0);
  pnlPlayer->addWidget(nameLabel);
  cbxPlayerName = new QComboBox(pnlPlayer);
  cbxPlayerName->setObjectName(QStringLiteral("cbxPlayerName"));
  cbxPlayerName->setEditable(false);
  cbxPlayerName->setMinimumContentsLength(TPlayerPicksFile::kNameWidth / 2);
  cbxPlayerName->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cbxPlayerName->setFocusPolicy(Qt::StrongFocus);
  nameLabel->setBuddy(cbxPlayerName);
  pnlPlayer->addWidget(cbxPlayerName);
  auto* pointsLabel = new QLabel(QStringLiteral("Total Points"), pnlPlayer);
  pointsLabel->setContentsMargins(12, 0, 6, 0);
  pnlPlayer->addWidget(pointsLabel);
  edtTotalPoints = new QLineEdit(pnlPlayer);
  edtTotalPoints->setObjectName(QStringLiteral("edtTotalPoints"));
  edtTotalPoints->setInputMask(kGuessMask);
  edtTotalPoints->setMaxLength(3);
  edtTotalPoints->setFixedWidth(40);
  edtTotalPoints->setText(QStringLiteral("0"));
  edtTotalPoints->installEventFilter(this);
  pointsLabel->setBuddy(edtTotalPoints);
  pnlPlayer->addWidget(edtTotalPoints);

  connect(cbxPlayerName, qOverload<int>(&QComboBox::activated), this,
          [this](int) { cbxPlayerNameClick(); });
}

// --- Internal steps ----------------------------------------------------------------------------

void TfrmPlayerEntryForm::MakeChartBitmap() {
  if (FPool.DataModule()) {
    ChartBitmap.emplace(FPool.DataModule()->SystemFile());
    sbxBracket->SetBackground(*ChartBitmap);
  }
}

void TfrmPlayerEntryForm::ClearChart() {
  edtTotalPoints->setText(QStringLiteral("0"));
  edtTotalPoints->setModified(false);
  FPool.ShowPlayer(nullptr);
}

void TfrmPlayerEntryForm::LoadPlayerList() {
  FLoadingList = true;
  cbxPlayerName->clear();
  if (FPool.IsOpen()) {
    for (const auto& player : FPool.DataModule()->PlayerPicksFile().List())
      cbxPlayerName->addItem(player->PlayerName());
  }
  cbxPlayerName->setCurrentIndex(-1);
  FLoadingList = false;
  FCurrentPlayer = nullptr;
}

void TfrmPlayerEntryForm::RefreshChart() {
  sbxBracket->RefreshChart();
  const bool shown = FCurrentPlayer && cbxPlayerName->currentIndex() >= 0;
  edtTotalPoints->setEnabled(shown);
  // Delete acts on the player shown, so it waits for one.
  actPlayerDelete->setEnabled(shown);
  edtTotalPoints->setText(shown ? QString::number(FCurrentPlayer->TieBreakerPoints())
                                : QStringLiteral("0"));
  edtTotalPoints->setModified(false);
}

const TPlayerPicksListObject* TfrmPlayerEntryForm::PlayerOfItem(int index) const {
  if (!FPool.IsOpen() || index < 0)
    return nullptr;
  const auto& players = FPool.DataModule()->PlayerPicksFile().List();
  return index < static_cast<int>(players.size()) ? players[static_cast<size_t>(index)].get()
                                                  : nullptr;
}

int TfrmPlayerEntryForm::ItemOfPlayer(const TPlayerPicksListObject* player) const {
  if (!FPool.IsOpen() || !player)
    return -1;
  const auto& players = FPool.DataModule()->PlayerPicksFile().List();
  for (size_t i = 0; i < players.size(); ++i) {
    if (players[i].get() == player)
      return static_cast<int>(i);
  }
  return -1;
}

int TfrmPlayerEntryForm::SlotNumber(const TBracketItem* slot) const {
  const TBracketList* chart = FPool.PicksBracket();
  return chart && slot ? chart->SlotNumber(slot) : 0;
}

void TfrmPlayerEntryForm::ChoosePlayer(const TPlayerPicksListObject* player) {
  FCurrentPlayer = player;
  cbxPlayerName->setCurrentIndex(ItemOfPlayer(player));
  ClearChart();
  FPool.ShowPlayer(player);
  RefreshChart();
}

void TfrmPlayerEntryForm::InsertPlayerItems(int first, int count) {
  const auto& players = FPool.DataModule()->PlayerPicksFile().List();
  FLoadingList = true;
  for (int i = first; i < first + count; ++i)
    cbxPlayerName->insertItem(i, players[static_cast<size_t>(i)]->PlayerName());
  FLoadingList = false;
  // The player shown keeps its item, wherever it moved to; with none shown, none is chosen
  // (a box that was empty chooses its first item by itself).
  cbxPlayerName->setCurrentIndex(ItemOfPlayer(FCurrentPlayer));
}

void TfrmPlayerEntryForm::RemovePlayerItems(int first, int count) {
  const int shown = ItemOfPlayer(FCurrentPlayer);
  const bool leaving = shown >= first && shown < first + count;
  FLoadingList = true;
  for (int i = first + count - 1; i >= first; --i)
    cbxPlayerName->removeItem(i);
  FLoadingList = false;
  if (leaving) {
    FCurrentPlayer = nullptr;
    cbxPlayerName->setCurrentIndex(-1);
    RefreshChart();
  }
}

void TfrmPlayerEntryForm::ForgetPool() {
  FCurrentPlayer = nullptr;
  sbxBracket->SetChart(nullptr);
  FLoadingList = true;
  cbxPlayerName->clear();
  FLoadingList = false;
  edtTotalPoints->setText(QStringLiteral("0"));
  edtTotalPoints->setEnabled(false);
}

bool TfrmPlayerEntryForm::CommitGuess() {
  if (!FCurrentPlayer)
    return true;
  // The shown text keeps the blanks the mask lets through between digits; the plain text
  // would quietly close them up.
  const QString text = edtTotalPoints->displayText().trimmed();
  bool ok = false;
  const int value = text.toInt(&ok);
  if (!ok) {
    TellNotAnInteger(text);
    edtTotalPoints->setFocus();
    return false;
  }
  const TEditResult stored = FPool.SetGuess(FCurrentPlayer, value, UndoStack());
  if (!stored.Refusal.isEmpty()) {
    Refuse(stored.Refusal);
    edtTotalPoints->setFocus();
    return false;
  }
  edtTotalPoints->setModified(false);
  return true;
}

void TfrmPlayerEntryForm::StepPlayer(int step) {
  const int count = cbxPlayerName->count();
  if (count == 0 || !CommitGuess())
    return;
  const int at = cbxPlayerName->currentIndex();
  int next = at < 0 ? (step > 0 ? 0 : count - 1) : at + step;
  next = qBound(0, next, count - 1);
  if (next != at)
    ChoosePlayer(PlayerOfItem(next));
}

// --- Handlers ----------------------------------------------------------------------------------

void TfrmPlayerEntryForm::FormActivate() {
  UndoStack()->setActive();
  ClearChart();
  LoadPlayerList();
  MakeChartBitmap();
  RefreshChart();
  if (!FTips)
    FTips = new TdlgSplashHelp02(this);
  ShowTipsOnce(*FTips);
}

bool TfrmPlayerEntryForm::FormClose() {
  // A guess that is not a number keeps the window open rather than losing it.
  if (!CommitGuess())
    return false;
  FCurrentPlayer = nullptr;
  cbxPlayerName->setCurrentIndex(-1);
  ClearChart();
  RefreshChart();
  return true;
}

void TfrmPlayerEntryForm::FormResize() {
  QWidget* client = centralWidget();
  const QSize most = sbxBracket->UsefulSize(kChartScrollRoom);
  sbxBracket->setGeometry(0, 0, client->width(),
                          qMax(0, qMin(height() - kChartMargin, most.height())));
}

void TfrmPlayerEntryForm::cbxPlayerNameClick() {
  if (FLoadingList)
    return;
  const int index = cbxPlayerName->currentIndex();
  const TPlayerPicksListObject* const player = PlayerOfItem(index);
  if (!player || player == FCurrentPlayer)
    return;
  // The guess typed for the player shown stays with that player.
  if (!CommitGuess()) {
    cbxPlayerName->setCurrentIndex(ItemOfPlayer(FCurrentPlayer));
    return;
  }
  ChoosePlayer(player);
}

bool TfrmPlayerEntryForm::edtTotalPointsExit() {
  if (!FCurrentPlayer || !edtTotalPoints->isModified())
    return true;
  if (!edtTotalPoints->hasAcceptableInput()) {
    RefuseFieldInput(*edtTotalPoints);
    return false;
  }
  return CommitGuess();
}

void TfrmPlayerEntryForm::imgBracketsMouseDown(Qt::MouseButton button, bool doubleClick,
                                               const QPoint& point) {
  PressPoint = point;
  if (button != Qt::LeftButton || doubleClick)
    return;
  // Only a line that holds a team has anything to drag.
  const TBracketItem* slot = sbxBracket->HitSlot(point);
  if (FCurrentPlayer && slot && slot->Team())
    sbxBracket->StartDrag(SlotNumber(slot));
}

void TfrmPlayerEntryForm::imgBracketsMouseMove(const QPoint& point) {
  // The name under the pointer is already bold; a name cut by its line shows whole here.
  const TBracketItem* slot = sbxBracket->HitSlot(point);
  imgBrackets->setToolTip(slot && slot->Team() ? slot->Team()->TeamName() : QString());
}

bool TfrmPlayerEntryForm::imgBracketsDragOver(bool fromThisChart) {
  return fromThisChart;
}

void TfrmPlayerEntryForm::imgBracketsDragDrop(const QPoint& point) {
  if (!CommitGuess())
    return;
  const TBracketItem* source = sbxBracket->HitSlot(PressPoint);
  if (!FCurrentPlayer || !source || !source->Team())
    return;
  const TEditResult dropped =
      FPool.DropPick(SlotNumber(source), SlotNumber(sbxBracket->HitSlot(point)), UndoStack());
  if (!dropped.Refusal.isEmpty())
    Refuse(dropped.Refusal);
  RefreshChart();
}

void TfrmPlayerEntryForm::imgBracketsDblClick(const QPoint& point) {
  const TBracketItem* slot = sbxBracket->HitSlot(point);
  if (!FCurrentPlayer || !slot || !slot->Team() || !CommitGuess())
    return;
  if (FPool.AdvancePick(SlotNumber(slot), UndoStack()))
    RefreshChart();
}

void TfrmPlayerEntryForm::actPlayerAddExecute() {
  if (!FPool.IsOpen() || !CommitGuess())
    return;
  QString name;
  bool ok = false;
  {
    const TOwnModal own(*this);
    ok = TPrompts::Current().AskText(kMessageTitle, kNamePrompt, &name,
                                     TPlayerPicksFile::kNameWidth);
  }
  if (!ok)
    return;
  QString reason;
  const TPlayerPicksListObject* const player = FPool.AddPlayer(name, UndoStack(), &reason);
  if (!player) {
    Refuse(reason);
    return;
  }
  FCurrentPlayer = player;
  cbxPlayerName->setCurrentIndex(ItemOfPlayer(player));
  ClearChart();
  FPool.ShowPlayer(player);
  RefreshChart();
}

void TfrmPlayerEntryForm::actPlayerDeleteExecute() {
  const TPlayerPicksListObject* const player = FCurrentPlayer;
  if (!player)
    return;
  // The games the player has picked: every line past the first round that an entry holds.
  int picks = 0;
  for (const TPlayerPickArrayObject& entry : player->Picks())
    picks += std::max(0, entry.RoundReached() - 1);
  const QString& question = picks == 0   ? kDeleteNoPicks
                            : picks == 1 ? kDeleteOnePick
                                         : kDeleteQuestion;
  if (!Ask(question.arg(player->PlayerName(), QString::number(picks))))
    return;
  ClearChart();
  FPool.DeletePlayer(player, UndoStack());
  cbxPlayerName->setCurrentIndex(-1);
  RefreshChart();
}

void TfrmPlayerEntryForm::actPlayerClearExecute() {
  if (!Ask(kClearQuestion))
    return;
  ClearChart();
  if (FCurrentPlayer) {
    FPool.ClearPlayer(FCurrentPlayer, UndoStack());
    FPool.ShowPlayer(FCurrentPlayer);
  }
  RefreshChart();
}

void TfrmPlayerEntryForm::actPlayerAuditExecute() {
  const TBracketList* chart = FPool.PicksBracket();
  bool complete = chart && FCurrentPlayer;
  for (int i = 0; complete && i < chart->Count(); ++i)
    complete = chart->Items(i)->Team() != nullptr;
  Tell(complete ? kAuditPassed : kAuditFailed, TPrompts::Icon::None);
}

void TfrmPlayerEntryForm::actPlayerPreviousExecute() {
  StepPlayer(-1);
}

void TfrmPlayerEntryForm::actPlayerNextExecute() {
  StepPlayer(1);
}

void TfrmPlayerEntryForm::actEditUndoExecute() {
  UndoOrRedo(true);
}

void TfrmPlayerEntryForm::actEditRedoExecute() {
  UndoOrRedo(false);
}

void TfrmPlayerEntryForm::UndoOrRedo(bool undo) {
  // A guess typed and not yet stored is the latest change: it is what an undo takes back.
  if (!CommitGuess())
    return;
  const int index = UndoStack()->index();
  const TPlayerPicksListObject* const player =
      FPool.PlayerOf(UndoStack()->command(undo ? index - 1 : index));
  TEditingWindow::UndoOrRedo(undo);
  // The change is seen on its player, also one chosen since or one a deletion put back.
  if (player && player != FCurrentPlayer && ItemOfPlayer(player) >= 0)
    ChoosePlayer(player);
}

void TfrmPlayerEntryForm::actFileImportExecute() {
  // Players exist only while the first round is locked; the guess shown is kept first, and a
  // guess that cannot be kept stops the import as it stops a change of player.
  if (!FPool.IsOpen() || !CommitGuess())
    return;
  const TOwnModal own(*this);
  TShareCommands::ImportPlayers(FPool, this, UndoStack());
}

void TfrmPlayerEntryForm::actFileExportExecute() {
  if (!FPool.IsOpen() || !CommitGuess())
    return;
  QString written;
  {
    const TOwnModal own(*this);
    written = TShareCommands::ExportPlayers(FPool, this);
  }
  // The window has no status bar: what was written is told in a message.
  if (!written.isEmpty())
    Tell(written, TPrompts::Icon::Information);
}

void TfrmPlayerEntryForm::actFileExitExecute() {
  close();
}

void TfrmPlayerEntryForm::actHelpExecute() {
  THelp::Current().ShowContext(kHelpContext);
}

// --- Qt events -----------------------------------------------------------------------------------

bool TfrmPlayerEntryForm::event(QEvent* event) {
  if (Activates(event))
    FormActivate();
  return QMainWindow::event(event);
}

bool TfrmPlayerEntryForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edtTotalPoints) {
    // The field keeps its own undo only for a guess typed and not yet stored.
    if (FCurrentPlayer &&
        PassUndoKeyOn(event, edtTotalPoints->displayText().trimmed() ==
                                 QString::number(FCurrentPlayer->TieBreakerPoints())))
      return true;
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && edtTotalPoints->isModified()) {
      RefreshChart();
      return true;
    }
    // The check waits until the focus has settled.
    if (LeavesField(event)) {
      QMetaObject::invokeMethod(
          this,
          [this] {
            if (isVisible())
              edtTotalPointsExit();
          },
          Qt::QueuedConnection);
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TfrmPlayerEntryForm::closeEvent(QCloseEvent* event) {
  if (FormClose()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void TfrmPlayerEntryForm::hideEvent(QHideEvent* event) {
  QMainWindow::hideEvent(event);
  NoteHidden(event);
}

void TfrmPlayerEntryForm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FormResize();
}
