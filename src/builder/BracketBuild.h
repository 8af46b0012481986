#pragma once

#include <QMainWindow>
#include <QPoint>
#include <memory>
#include <optional>

#include "BracketBitmap.h"
#include "EditingWindow.h"

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QToolBar;
class TBracketItem;
class TChartView;
class TIniOut;
class TOpenPool;
class TTeamSeedObject;
struct TEditResult;
class TdlgSplashHelp1;
class TdlgTieBreakerPoints;

// "Bracket Builder": where the organiser keeps the tournament. Before the first round is
// locked, teams are typed into the team list and dragged onto first-round lines; after it is
// locked, winners are advanced by a double-click or by dragging them onto a later line of
// their path, and a right-click takes a team off a line. The window decides which team and
// which line a click or a drop means; every change itself is an edit of the pool's document on
// this window's undo stack, and a refused one is shown with the document's reason.
class TfrmBracketBuild : public QMainWindow, public TEditingWindow {
  Q_OBJECT

 public:
  static constexpr int kHelpContext = 220;
  static constexpr int kDesignWidth = 740;
  static constexpr int kDesignHeight = 475;
  static inline const QString kCaption = QStringLiteral("Bracket Builder ");

  static inline const QString kPromptUnlocked = QStringLiteral(
      "To build brackets:  Drag team from list and drop directly on bracket display.");
  static inline const QString kPromptLocked = QStringLiteral(
      "To advance team : Double click directly on team on display or drag from list and drop on "
      "bracket");

  explicit TfrmBracketBuild(TOpenPool& pool, QWidget* parent = nullptr);
  ~TfrmBracketBuild() override;

  // --- Window ----------------------------------------------------------------------------
  void FormActivate();
  void FormResize();
  // Copies the chart picture with this pool's titles and writes every team on it.
  void RefreshChart();
  // Locked: Tie Breaker Score only once a champion stands. Unlocked: left as it is.
  void UpdateTieBreakerAction();

  // --- The chart picture -----------------------------------------------------------------
  // A press of any button; a plain right-click takes the team off the line under it.
  // `buttons` are all the buttons held, `button` by itself when none is given.
  void imgBracketsMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                            const QPoint& point, Qt::MouseButtons buttons = {});
  // Advances the team under the last press to the next line of its path.
  void imgBracketsDblClick();
  // The team list's selected team dropped at `point`.
  void imgBracketsDragDrop(const QPoint& point);

  // --- Team list and team maintenance ----------------------------------------------------
  void lstTeamsClick();
  void btnAddTeamNameClick();
  void btnRemoveTeamNameClick();

  // --- Commands ----------------------------------------------------------------------------
  void actTeamsClearExecute();
  // File > Import Field...: the field from a sheet, one step to undo.
  void actFileImportFieldExecute();
  // Teams > Rename Team...: the team selected in the list, in every player's picks too.
  void actTeamsRenameExecute();
  void actTeamsMaintExecute();
  void actTeamsAuditExecute();
  void actTieBreakerPtsExecute();
  void actFileExitExecute();
  void actHelpExecute();

  QMenu* mnuFile = nullptr;
  QMenu* mnuEdit = nullptr;
  QMenu* mnuView = nullptr;
  QMenu* mnuTeams = nullptr;
  QMenu* mnuHelp = nullptr;
  QToolBar* ToolBar1 = nullptr;
  QLabel* lblPrompt = nullptr;
  QListWidget* lstTeams = nullptr;
  QWidget* pnlTeamMaint = nullptr;
  QLineEdit* edtTeamName = nullptr;
  QPushButton* btnAddTeamName = nullptr;
  QPushButton* btnRemoveTeamName = nullptr;
  TChartView* sbxBracket = nullptr;
  QAction* actTeamsClear = nullptr;
  QAction* actFileImportField = nullptr;
  QAction* actTeamsRename = nullptr;
  QAction* actTeamsMaint = nullptr;
  QAction* actTeamsAudit = nullptr;
  QAction* actTieBreakerPts = nullptr;
  QAction* actFileExit = nullptr;
  QAction* actHelp = nullptr;
  TdlgTieBreakerPoints* dlgTieBreakerPoints = nullptr;
  // Made the first time the window becomes active.
  TdlgSplashHelp1* dlgSplashHelp1 = nullptr;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The team list is at least this wide, and wider when a name needs it; the chart follows it
  // with this gap.
  static constexpr int kListWidth = 145;
  static constexpr int kChartGap = 2;
  // The top of the list and of the chart below the tool bar.
  static constexpr int kTop = 2;

  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  QWidget* CreateTeamMaint(QWidget* parent);
  void ConnectChart();
  void ConnectPool();
  // The team list afresh from the teams file, keeping the selected row and the scroll.
  void FillTeamList();
  // A team came into the teams file at `index`, or left it.
  void InsertTeamItem(int index);
  void RemoveTeamItem(int index);
  void RenameTeamItem(int index);
  // Widens the team list to its widest name (never narrower than it was designed), the
  // chart moving over beside it.
  void FitTeamListWidth();
  // Marks the teams of the list that stand on the chart.
  void MarkPlacedTeams();
  // Puts a name into the team name box, or empties it: the text the window put there, whose
  // undo is the window's.
  void SetTeamNameBox(const QString& name);
  void SetPrompt();
  // The team of the list's selected item, by its exact name.
  const TTeamSeedObject* SelectedTeam() const;
  // The chart's number of the slot; 0 for none.
  int SlotNumberAt(const TBracketItem* slot) const;
  // Shows the document's refusal of an edit, if it refused.
  void ShowRefusal(const TEditResult& result);

  TOpenPool& FPool;
  std::unique_ptr<TIniOut> IniOut1;
  std::optional<TBracketBitmap> FBitmap;
  QPoint FPressPoint;
  QString FTeamNameSet;
};
