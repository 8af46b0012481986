#pragma once

#include <QMainWindow>
#include <QPoint>
#include <QStyle>
#include <memory>
#include <optional>

#include "BracketBitmap.h"
#include "ChartView.h"
#include "EditingWindow.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QToolBar;
class TBracketItem;
class TIniOut;
class TOpenPool;
class TPlayerPicksListObject;
class TdlgSplashHelp02;

// "Player Entry": the pool's players and each player's picks, entered by dragging teams along
// their winner paths on a copy of the bracket chart, and the player's guess of the
// championship game's total points. One window lives for the whole run and is shown without
// blocking the main window. Every change goes through the pool's document on this window's
// undo stack; the window itself only decides what a click or a drop means, and shows what
// came of it, the document's reason for a refusal included.
class TfrmPlayerEntryForm : public QMainWindow, public TEditingWindow {
  Q_OBJECT

 public:
  static constexpr int kHelpContext = 240;
  static constexpr int kDesignWidth = 662;
  static constexpr int kDesignHeight = 478;
  static inline const QString kCaption = QStringLiteral("Player Entry ");
  static inline const QString kPrompt = QStringLiteral(
      "To advance team:   Drag team name to its final destination.  Let autofill do the rest.");
  static inline const QString kNamePrompt = QStringLiteral("Enter new player name");
  // "Delete Tom Baker and all 63 picks?": the player shown, and the games picked.
  static inline const QString kDeleteQuestion = QStringLiteral("Delete %1 and all %2 picks?");
  static inline const QString kDeleteOnePick = QStringLiteral("Delete %1 and the 1 pick?");
  static inline const QString kDeleteNoPicks =
      QStringLiteral("Delete %1? No picks are entered yet.");

  explicit TfrmPlayerEntryForm(TOpenPool& pool, QWidget* parent = nullptr);
  ~TfrmPlayerEntryForm() override;

  // The player shown, or null.
  const TPlayerPicksListObject* CurrentPlayer() const { return FCurrentPlayer; }
  TdlgSplashHelp02* TipsDialog() const { return FTips; }

  // --- Handlers ------------------------------------------------------------------------------
  void FormActivate();
  // Commits the guess and shows no player; false when the guess cannot be stored.
  bool FormClose();
  void FormResize();
  void cbxPlayerNameClick();
  // Commits the guess when the focus leaves the field; false (focus kept) when refused.
  bool edtTotalPointsExit();
  void imgBracketsMouseDown(Qt::MouseButton button, bool doubleClick, const QPoint& point);
  void imgBracketsMouseMove(const QPoint& point);
  bool imgBracketsDragOver(bool fromThisChart);
  void imgBracketsDragDrop(const QPoint& point);
  // Moves the team under the point one line further along its path.
  void imgBracketsDblClick(const QPoint& point);
  void actPlayerAddExecute();
  void actPlayerDeleteExecute();
  void actPlayerClearExecute();
  void actPlayerAuditExecute();
  void actPlayerPreviousExecute();
  void actPlayerNextExecute();
  void actEditUndoExecute();
  void actEditRedoExecute();
  // Players from and to a picks sheet, as the main window's File menu does; the guess typed
  // for the player shown is stored first. An import here can be undone on this window's stack.
  void actFileImportExecute();
  void actFileExportExecute();
  void actFileExitExecute();
  void actHelpExecute();

  // --- Controls ------------------------------------------------------------------------------
  QMenu* mnuFile = nullptr;
  QMenu* mnuEdit = nullptr;
  QMenu* mnuView = nullptr;
  QMenu* mnuPlayer = nullptr;
  QMenu* mnuHelp = nullptr;
  QToolBar* ToolBar1 = nullptr;
  QToolBar* pnlPlayer = nullptr;
  QLabel* lblPrompt = nullptr;
  QComboBox* cbxPlayerName = nullptr;
  QLineEdit* edtTotalPoints = nullptr;
  TChartView* sbxBracket = nullptr;
  QWidget* imgBrackets = nullptr;
  QAction* actPlayerClear = nullptr;
  QAction* actPlayerAdd = nullptr;
  QAction* actPlayerDelete = nullptr;
  QAction* actPlayerAudit = nullptr;
  QAction* actPlayerPrevious = nullptr;
  QAction* actPlayerNext = nullptr;
  QAction* actFileImport = nullptr;
  QAction* actFileExport = nullptr;
  QAction* actFileExit = nullptr;
  QAction* actHelp = nullptr;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBars();
  // A command of the window: its caption, hint and the glyph of the style, if any.
  QAction* MakeCommand(const QString& caption, const QString& hint,
                       std::optional<QStyle::StandardPixmap> glyph);

  // The internal steps of the window.
  void ClearChart();
  void LoadPlayerList();
  void RefreshChart();
  // Puts the pool's titles on a fresh chart picture.
  void MakeChartBitmap();
  // Shows `player` (null: none) and selects its item.
  void ChoosePlayer(const TPlayerPicksListObject* player);
  // Stores the guess field into the current player. False when the text is not a whole
  // number, or a changed guess is not wanted after games were played: the message is shown
  // and the guess stays as it was.
  bool CommitGuess();
  // Once games have been played, picks are entered here only for an entry handed in before
  // the first game: asked once an opening, No by default.
  bool MayEnterPicks();
  // Moves to the player `step` items away in the list, committing the guess first.
  void StepPlayer(int step);
  // Undoes or redoes the edit of the undo stack, the guess typed first, and shows the player
  // it changed.
  void UndoOrRedo(bool undo) override;
  // Players came into the pool's list, or are leaving it: the items follow.
  void InsertPlayerItems(int first, int count);
  void RemovePlayerItems(int first, int count);
  // Everything that pointed into the pool is dropped: no player, an empty chart.
  void ForgetPool();
  // The player of a list item: the item's place in the list is the player's place in the file.
  const TPlayerPicksListObject* PlayerOfItem(int index) const;
  int ItemOfPlayer(const TPlayerPicksListObject* player) const;
  int SlotNumber(const TBracketItem* slot) const;

  TOpenPool& FPool;
  std::optional<TBracketBitmap> ChartBitmap;
  const TPlayerPicksListObject* FCurrentPlayer = nullptr;
  QPoint PressPoint;
  std::unique_ptr<TIniOut> IniOut1;
  TdlgSplashHelp02* FTips = nullptr;
  bool FLoadingList = false;
  // Picks may be entered although games have been played (MayEnterPicks), for this opening.
  bool FGamesPlayedAccepted = false;
  // The step a click left: the team dropped on the line it was pressed on, which takes it out
  // of the later rounds. A double-click's first click is such a step, and the double-click
  // takes it back before it moves the team on.
  struct TClickStep {
    int Slot = 0;
    int Index = 0;
  };
  std::optional<TClickStep> FClickStep;
};
