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
#include <utility>

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
// The chart takes what is left under the menu and the two tool-bar rows, up to its picture
// and scroll bar.
constexpr int kChartMargin = 130;
constexpr QSize kChartScrollRoom(0, 10);
}  // namespace

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
  FGamesPlayedAccepted = false;
  FClickStep.reset();
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
  if (value != FCurrentPlayer->TieBreakerPoints() && !MayEnterPicks()) {
    RefreshChart();
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

bool TfrmPlayerEntryForm::MayEnterPicks() {
  if (FGamesPlayedAccepted || !FPool.GamesPlayed())
    return true;
  const TOwnModal own(*this);
  FGamesPlayedAccepted = TPrompts::Current().Confirm(
      TOpenPool::kGamesPlayedQuestion, TPrompts::Icon::Question, this, TPrompts::Answer::No);
  return FGamesPlayedAccepted;
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
  FClickStep.reset();
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
  const TBracketItem* target = sbxBracket->HitSlot(point);
  if (!FCurrentPlayer || !source || !source->Team())
    return;
  // A click on a team's furthest line changes nothing, and asks nothing.
  const bool changes =
      target && (target != source || source->Team()->RoundReached() > source->Round());
  if (changes && !MayEnterPicks())
    return;
  const int steps = UndoStack()->index();
  const TEditResult dropped = FPool.DropPick(SlotNumber(source), SlotNumber(target), UndoStack());
  if (!dropped.Refusal.isEmpty())
    Refuse(dropped.Refusal);
  if (target == source && UndoStack()->index() > steps)
    FClickStep = TClickStep{SlotNumber(source), UndoStack()->index()};
  RefreshChart();
}

void TfrmPlayerEntryForm::imgBracketsDblClick(const QPoint& point) {
  const std::optional<TClickStep> click = std::exchange(FClickStep, std::nullopt);
  const TBracketItem* slot = sbxBracket->HitSlot(point);
  if (!FCurrentPlayer || !slot || !slot->Team() || !CommitGuess() || !MayEnterPicks())
    return;
  // The first click took the team out of its later rounds; the double-click means to move
  // it on from where it stood, in one step.
  if (click && click->Slot == SlotNumber(slot) && click->Index == UndoStack()->index())
    TOpenPool::DropSteps(UndoStack(), 1);
  if (FPool.AdvancePick(SlotNumber(slot), UndoStack()))
    RefreshChart();
}

void TfrmPlayerEntryForm::actPlayerAddExecute() {
  if (!FPool.IsOpen() || !CommitGuess() || !MayEnterPicks())
    return;
  QString name;
  const TPlayerPicksListObject* player = nullptr;
  while (!player) {
    bool ok = false;
    {
      const TOwnModal own(*this);
      ok = TPrompts::Current().AskText(kMessageTitle, kNamePrompt, &name,
                                       TPlayerPicksFile::kNameWidth);
    }
    if (!ok)
      return;
    QString reason;
    player = FPool.AddPlayer(name, UndoStack(), &reason);
    if (!player) {
      Refuse(reason);
      // No name at all ends Add; a name the pool has or cannot keep comes back, selected, to
      // be mended or typed anew.
      if (reason == TOpenPool::kNameMissing)
        return;
    }
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
  const QString& name = player->PlayerName();
  const QString question = picks == 0   ? kDeleteNoPicks.arg(name)
                           : picks == 1 ? kDeleteOnePick.arg(name)
                                        : kDeleteQuestion.arg(name, QString::number(picks));
  if (!Ask(question))
    return;
  ClearChart();
  FPool.DeletePlayer(player, UndoStack());
  cbxPlayerName->setCurrentIndex(-1);
  RefreshChart();
}

void TfrmPlayerEntryForm::actPlayerClearExecute() {
  if ((FCurrentPlayer && !MayEnterPicks()) || !Ask(kClearQuestion))
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
  if (!FPool.IsOpen() || !CommitGuess() || !MayEnterPicks())
    return;
  const TOwnModal own(*this);
  TShareCommands::ImportPlayers(FPool, this, UndoStack(), false);
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
  // The next opening asks again before picks are entered after games were played.
  if (!event->spontaneous())
    FGamesPlayedAccepted = false;
}

void TfrmPlayerEntryForm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FormResize();
}
