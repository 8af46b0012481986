#include "BracketBuild.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStyle>
#include <QToolBar>
#include <QUndoStack>
#include <algorithm>

#include "BracketList.h"
#include "ChartView.h"
#include "FFDataModule.h"
#include "Help.h"
#include "IniOut.h"
#include "OpenPool.h"
#include "SplashHelp1.h"
#include "TieBreakerPoints.h"
#include "TournamentCommands.h"

namespace {

// What the window keeps right of the chart: its frame and a margin.
constexpr int kRightMargin = 13;
constexpr int kPromptWidth = 543;
// The chart's scroll box is never larger than its picture and this, its frame and scroll bars.
constexpr QSize kChartScrollRoom(20, 20);

QFont WindowFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
  font.setPointSize(8);
  return font;
}

// The team list: a drag from it carries the selected team's name. Over the list itself a drag
// from a list is welcome, and dropping it there does nothing.
class TTeamListBox : public QListWidget {
 public:
  explicit TTeamListBox(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("lstTeams"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    // A name wider than the list is cut at its edge, as on the chart; its tip shows it whole.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  }

 protected:
  QStringList mimeTypes() const override { return {TChartView::kTeamMimeType}; }
  QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override {
    if (items.isEmpty())
      return nullptr;
    return TChartView::TeamMimeData(items.first()->text()).release();
  }
  // A copy only: a move would let the view take the item out of the list once dropped.
  Qt::DropActions supportedDropActions() const override { return Qt::CopyAction; }
  void dragEnterEvent(QDragEnterEvent* event) override { Welcome(event); }
  void dragMoveEvent(QDragMoveEvent* event) override { Welcome(event); }
  void dropEvent(QDropEvent* event) override { event->acceptProposedAction(); }

 private:
  static void Welcome(QDropEvent* event) {
    if (qobject_cast<QListWidget*>(event->source())) {
      event->acceptProposedAction();
    } else {
      event->ignore();
    }
  }
};

// The prompt at the end of the tool bar takes the room the buttons leave, up to its design
// width, and wraps its text onto a second line when that room is short; a label asking for its
// whole text's width would be pushed out of sight behind the tool bar's extension button.
class TPromptLabel : public QLabel {
 public:
  explicit TPromptLabel(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("lblPrompt"));
    setMaximumWidth(kPromptWidth);
    setWordWrap(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  }
  QSize sizeHint() const override { return QSize(kPromptWidth / 4, QLabel::sizeHint().height()); }
  QSize minimumSizeHint() const override { return sizeHint(); }
};

}  // namespace

TfrmBracketBuild::TfrmBracketBuild(TOpenPool& pool, QWidget* parent)
    : QMainWindow(parent), TEditingWindow(static_cast<QWidget&>(*this)), FPool(pool) {
  setObjectName(QStringLiteral("frmBracketBuild"));
  setWindowTitle(kCaption);
  setFont(WindowFont());
  resize(kDesignWidth, kDesignHeight);
  move(23, 53);

  CreateActions();
  CreateMenus();
  CreateToolBar();

  auto* client = new QWidget(this);
  lstTeams = new TTeamListBox(client);
  lstTeams->setGeometry(0, kTop, kListWidth, 200);
  pnlTeamMaint = CreateTeamMaint(client);
  sbxBracket = new TChartView(client);
  sbxBracket->move(kListWidth + kChartGap, kTop);
  sbxBracket->Picture()->setToolTip(QStringLiteral("Double-click team or drag from list"));
  setCentralWidget(client);

  connect(lstTeams, &QListWidget::itemClicked, this, &TfrmBracketBuild::lstTeamsClick);
  connect(lstTeams, &QListWidget::currentRowChanged, this, &TfrmBracketBuild::lstTeamsClick);

  dlgTieBreakerPoints = new TdlgTieBreakerPoints(this);

  // The chart picture, its titles redrawn for the pool open at each refresh.
  FBitmap.emplace(TSystemFile());
  ConnectChart();
  ConnectPool();
  sbxBracket->SetChart(FPool.ResultsBracket());
  RefreshChart();
  SetPrompt();

  IniOut1 = std::make_unique<TIniOut>(this);
  IniOut1->SetItems(TIniOut::kBracketBuildItems);
  IniOut1->RestoreWindowState();
  FormResize();
}

TfrmBracketBuild::~TfrmBracketBuild() {
  IniOut1->StoreWindowState();
  // The chart belongs to the document, which may go first.
  sbxBracket->SetChart(nullptr);
}

void TfrmBracketBuild::CreateActions() {
  auto make = [this](const QString& caption, const QString& hint, QStyle::StandardPixmap icon,
                     void (TfrmBracketBuild::*handler)()) {
    QAction* action = MakeAction(caption, hint, style()->standardIcon(icon));
    connect(action, &QAction::triggered, this, handler);
    return action;
  };
  actTeamsClear = make(QStringLiteral("Clear Brackets"), QStringLiteral("Clear Brackets"),
                       QStyle::SP_DialogResetButton, &TfrmBracketBuild::actTeamsClearExecute);
  actTeamsMaint =
      make(QStringLiteral("&Team Maintenance On/Off"), QStringLiteral("Toggle Team Maintenance"),
           QStyle::SP_FileDialogDetailedView, &TfrmBracketBuild::actTeamsMaintExecute);
  actTeamsAudit =
      make(QStringLiteral("&Audit Brackets"), QStringLiteral("Audit bracket for completeness"),
           QStyle::SP_DialogApplyButton, &TfrmBracketBuild::actTeamsAuditExecute);
  actTieBreakerPts =
      make(QStringLiteral("Tie &Breaker Score"), QStringLiteral("Enter tie breaker total points"),
           QStyle::SP_FileDialogInfoView, &TfrmBracketBuild::actTieBreakerPtsExecute);
  actFileImportField = make(TTournamentCommands::kFieldCaption, TTournamentCommands::kFieldHint,
                            QStyle::SP_DialogOpenButton,
                            &TfrmBracketBuild::actFileImportFieldExecute);
  actTeamsRename =
      make(TTournamentCommands::kRenameCaption,
           QStringLiteral("Rename the team selected in the list, in every player's picks too"),
           QStyle::SP_FileDialogContentsView, &TfrmBracketBuild::actTeamsRenameExecute);
  actFileExit = make(QStringLiteral("E&xit"), QStringLiteral("Exit Bracket Builder"),
                     QStyle::SP_DialogCloseButton, &TfrmBracketBuild::actFileExitExecute);
  actHelp = make(QStringLiteral("&Help"), QStringLiteral("Help"), QStyle::SP_DialogHelpButton,
                 &TfrmBracketBuild::actHelpExecute);
  actHelp->setShortcut(QKeySequence::HelpContents);
  MakeUndoActions(FPool.CreateUndoStack(this));
}

void TfrmBracketBuild::CreateMenus() {
  mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
  mnuFile->addAction(actFileImportField);
  mnuFile->addSeparator();
  mnuFile->addAction(actFileExit);
  mnuEdit = menuBar()->addMenu(QStringLiteral("&Edit"));
  mnuEdit->addActions({actEditUndo, actEditRedo});
  // Filled with the chart's zoom commands once the chart is made.
  mnuView = menuBar()->addMenu(QStringLiteral("&View"));
  mnuTeams = menuBar()->addMenu(QStringLiteral("&Teams"));
  mnuTeams->addActions(
      {actTeamsMaint, actTeamsClear, actTeamsAudit, actTieBreakerPts, actTeamsRename});
  mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
  mnuHelp->addAction(actHelp);
}

void TfrmBracketBuild::CreateToolBar() {
  ToolBar1 = addToolBar(QStringLiteral("Bracket Builder"));
  ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  ToolBar1->setIconSize(QSize(16, 16));
  ToolBar1->addAction(actTeamsClear);
  ToolBar1->addSeparator();
  ToolBar1->addActions({actTeamsMaint, actTeamsAudit, actTieBreakerPts});
  ToolBar1->addSeparator();
  ToolBar1->addActions({actFileExit, actHelp});
  ToolBar1->addSeparator();
  ToolBar1->addActions({actEditUndo, actEditRedo});
  lblPrompt = new TPromptLabel(ToolBar1);
  lblPrompt->setIndent(6);
  ToolBar1->addWidget(lblPrompt);
}

void TfrmBracketBuild::ConnectChart() {
  mnuView->addActions(sbxBracket->ZoomActions());
  connect(sbxBracket, &TChartView::ZoomChanged, this, &TfrmBracketBuild::FormResize);
  sbxBracket->OnMouseDown = [this](const TChartView::TChartMouse& mouse) {
    imgBracketsMouseDown(mouse.Button, mouse.Modifiers, mouse.Point, mouse.Buttons);
  };
  sbxBracket->OnDoubleClick = [this](const TChartView::TChartMouse& mouse) {
    if (mouse.Button == Qt::LeftButton)
      imgBracketsDblClick();
  };
  // The only drag the picture takes is a team from this window's list: it carries the name
  // of the list's selected item.
  sbxBracket->OnDragOver = [this](const TChartView::TChartDrop& drop) {
    bool has = false;
    const QString name = TChartView::TeamFromMime(drop.Data, &has);
    const QListWidgetItem* item = lstTeams->currentItem();
    return has && item && item->text() == name;
  };
  // Any message of the drop waits until the drag has ended.
  sbxBracket->OnDragDrop = [this](const TChartView::TChartDrop& drop) {
    const QPoint point = drop.Point;
    QMetaObject::invokeMethod(
        this, [this, point] { imgBracketsDragDrop(point); }, Qt::QueuedConnection);
  };
}

void TfrmBracketBuild::ConnectPool() {
  connect(&FPool, &TOpenPool::AboutToBeReplaced, this, [this] { sbxBracket->SetChart(nullptr); });
  connect(&FPool, &TOpenPool::Replaced, this, [this] {
    sbxBracket->SetChart(FPool.ResultsBracket());
    FillTeamList();
    SetPrompt();
    RefreshChart();
  });
  connect(&FPool, &TOpenPool::TeamInserted, this, &TfrmBracketBuild::InsertTeamItem);
  connect(&FPool, &TOpenPool::TeamRemoved, this, &TfrmBracketBuild::RemoveTeamItem);
  connect(&FPool, &TOpenPool::TeamRenamed, this, &TfrmBracketBuild::RenameTeamItem);
  connect(&FPool, &TOpenPool::ChartChanged, this, [this] {
    MarkPlacedTeams();
    RefreshChart();
  });
  connect(&FPool, &TOpenPool::OptionsChanged, this, &TfrmBracketBuild::RefreshChart);
  connect(&FPool, &TOpenPool::LockChanged, this, [this] {
    SetPrompt();
    RefreshChart();
  });
}

// --- Window --------------------------------------------------------------------------------

void TfrmBracketBuild::FormActivate() {
  UndoStack()->setActive();
  SetPrompt();
  FillTeamList();
  RefreshChart();
  if (!dlgSplashHelp1)
    dlgSplashHelp1 = new TdlgSplashHelp1(this);
  ShowTipsOnce(*dlgSplashHelp1);
  SetTeamNameBox(QString());
  const TFFDataModule* pool = FPool.DataModule();
  if (pool && pool->TeamsFile().Count() >= TTeamsFile::kMaxTeams) {
    // The list makes its first item current when it gets the focus with none; that is no
    // click, and must not fill the name box just emptied.
    if (!lstTeams->currentItem() && lstTeams->count() > 0) {
      const QSignalBlocker quiet(lstTeams);
      lstTeams->setCurrentRow(0);
    }
    lstTeams->setFocus();
  } else {
    edtTeamName->setFocus();
  }
}

void TfrmBracketBuild::FormResize() {
  // The room below the menu and the tool bar, less a small margin at the bottom; worked out
  // from their heights so that it holds before the window was ever laid out.
  const int room =
      height() - menuBar()->sizeHint().height() - ToolBar1->sizeHint().height() - kTop - 5;
  const QSize most = sbxBracket->UsefulSize(kChartScrollRoom);
  sbxBracket->resize(std::min(width() - sbxBracket->x() - kRightMargin, most.width()),
                     std::min(room, most.height()));
  const int chartBottom = sbxBracket->y() + sbxBracket->height();
  if (pnlTeamMaint->isVisibleTo(this)) {
    pnlTeamMaint->move(pnlTeamMaint->x(), chartBottom - 3 - pnlTeamMaint->height());
    lstTeams->resize(lstTeams->width(), sbxBracket->height() - pnlTeamMaint->height() - 10);
  } else {
    lstTeams->resize(lstTeams->width(), room);
  }
}

void TfrmBracketBuild::SetPrompt() {
  lblPrompt->setText(FPool.Finalized() ? kPromptLocked : kPromptUnlocked);
}

void TfrmBracketBuild::RefreshChart() {
  TBracketBitmap picture = *FBitmap;
  if (const TFFDataModule* pool = FPool.DataModule())
    picture.DrawTitles(pool->SystemFile(), ChartGeometry::kBuilderPoolNameBox);
  sbxBracket->SetBackground(picture);
  UpdateTieBreakerAction();
}

void TfrmBracketBuild::UpdateTieBreakerAction() {
  if (!FPool.Finalized())
    return;
  const TBracketList* chart = FPool.ResultsBracket();
  actTieBreakerPts->setEnabled(chart && chart->Slot(ChartPaths::kChampionSlot)->Team());
}

// --- The chart picture ---------------------------------------------------------------------

int TfrmBracketBuild::SlotNumberAt(const TBracketItem* slot) const {
  return slot ? FPool.ResultsBracket()->SlotNumber(slot) : 0;
}

void TfrmBracketBuild::ShowRefusal(const TEditResult& result) {
  if (!result.Refusal.isEmpty())
    Refuse(result.Refusal);
}

void TfrmBracketBuild::imgBracketsMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                                            const QPoint& point, Qt::MouseButtons buttons) {
  FPressPoint = point;
  if (!buttons)
    buttons = button;
  const bool plainRight =
      button == Qt::RightButton && buttons == Qt::RightButton &&
      !(modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
  if (!plainRight || !FPool.IsOpen())
    return;
  const TBracketItem* slot = sbxBracket->HitSlot(point);
  if (!slot)
    return;
  ShowRefusal(FPool.RemoveTeamFromSlot(SlotNumberAt(slot), UndoStack()));
  RefreshChart();
}

void TfrmBracketBuild::imgBracketsDblClick() {
  if (!FPool.IsOpen())
    return;
  // Refused before the first round is locked, wherever the click was.
  const TBracketItem* slot = sbxBracket->HitSlotForTeam(FPressPoint, nullptr);
  const TEditResult advanced = FPool.AdvanceTeam(SlotNumberAt(slot), UndoStack());
  ShowRefusal(advanced);
  if (advanced)
    RefreshChart();
}

void TfrmBracketBuild::imgBracketsDragDrop(const QPoint& point) {
  const TTeamSeedObject* team = SelectedTeam();
  if (const TBracketItem* slot = team ? sbxBracket->HitSlotForTeam(point, team) : nullptr)
    ShowRefusal(FPool.PlaceTeam(team, SlotNumberAt(slot), UndoStack()));
  RefreshChart();
}

// --- Commands ------------------------------------------------------------------------------

void TfrmBracketBuild::actTieBreakerPtsExecute() {
  const TFFDataModule* pool = FPool.DataModule();
  if (!pool || !FPool.IsOpen())
    return;
  dlgTieBreakerPoints->SetPoints(pool->SystemFile().TieBreakerPoints());
  if (ShowModal(*dlgTieBreakerPoints) != QDialog::Accepted)
    return;
  int32_t points = 0;
  if (dlgTieBreakerPoints->Points(&points))
    ShowRefusal(FPool.SetTieBreakerPoints(points, UndoStack()));
}

void TfrmBracketBuild::actFileExitExecute() {
  close();
}

void TfrmBracketBuild::actHelpExecute() {
  THelp::Current().ShowContext(kHelpContext);
}

// --- Qt's events ---------------------------------------------------------------------------

bool TfrmBracketBuild::event(QEvent* event) {
  if (Activates(event))
    FormActivate();
  return QMainWindow::event(event);
}

bool TfrmBracketBuild::eventFilter(QObject* watched, QEvent* event) {
  // The name box keeps its own undo only for a name being typed.
  if (watched == edtTeamName && PassUndoKeyOn(event, edtTeamName->text() == FTeamNameSet))
    return true;
  return QMainWindow::eventFilter(watched, event);
}

void TfrmBracketBuild::hideEvent(QHideEvent* event) {
  QMainWindow::hideEvent(event);
  NoteHidden(event);
}

void TfrmBracketBuild::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FormResize();
}
