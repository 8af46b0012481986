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
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QToolBar>
#include <QUndoStack>
#include <algorithm>

#include "BracketList.h"
#include "ChartView.h"
#include "DesignFont.h"
#include "FFDataModule.h"
#include "Help.h"
#include "IniOut.h"
#include "OpenPool.h"
#include "Prompts.h"
#include "SplashHelp1.h"
#include "TieBreakerPoints.h"

namespace {

// The team list is at least this wide, and wider when a name needs it; the chart follows it
// with this gap.
constexpr int kListWidth = 145;
constexpr int kChartGap = 2;
// What the window keeps right of the chart: its frame and a margin.
constexpr int kRightMargin = 13;
constexpr int kTop = 2;
constexpr int kPanelWidth = 143;
constexpr int kPanelHeight = 141;
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

// "Duke: on the chart, East 1".
const QString kPlacedTip = QStringLiteral("%1: on the chart, %2 %3");

// The mark of a team on the chart: a tick in the list's icon column. A team not placed keeps
// the same room empty, so the names stay in one column.
QIcon PlacedMark() {
  QPixmap picture(12, 12);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(0, 120, 0), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPolyline(QPolygonF({QPointF(2, 6.5), QPointF(5, 9.5), QPointF(10, 2.5)}));
  return QIcon(picture);
}

QIcon UnplacedMark() {
  QPixmap picture(12, 12);
  picture.fill(Qt::transparent);
  return QIcon(picture);
}

QLabel* MakeLabel(const QString& text, int x, int y, QWidget* parent, bool underlined = false) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  QFont font = DesignFont();
  font.setUnderline(underlined);
  label->setFont(font);
  label->adjustSize();
  label->move(x, y);
  return label;
}

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
  actFileExit = make(QStringLiteral("E&xit"), QStringLiteral("Exit Bracket Builder"),
                     QStyle::SP_DialogCloseButton, &TfrmBracketBuild::actFileExitExecute);
  actHelp = make(QStringLiteral("&Help"), QStringLiteral("Help"), QStyle::SP_DialogHelpButton,
                 &TfrmBracketBuild::actHelpExecute);
  actHelp->setShortcut(QKeySequence::HelpContents);
  MakeUndoActions(FPool.CreateUndoStack(this));
}

void TfrmBracketBuild::CreateMenus() {
  mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
  mnuFile->addAction(actFileExit);
  mnuEdit = menuBar()->addMenu(QStringLiteral("&Edit"));
  mnuEdit->addActions({actEditUndo, actEditRedo});
  // Filled with the chart's zoom commands once the chart is made.
  mnuView = menuBar()->addMenu(QStringLiteral("&View"));
  mnuTeams = menuBar()->addMenu(QStringLiteral("&Teams"));
  mnuTeams->addActions({actTeamsMaint, actTeamsClear, actTeamsAudit, actTieBreakerPts});
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

QWidget* TfrmBracketBuild::CreateTeamMaint(QWidget* parent) {
  auto* panel = new QWidget(parent);
  panel->setObjectName(QStringLiteral("pnlTeamMaint"));
  panel->setGeometry(1, 200, kPanelWidth, kPanelHeight);

  edtTeamName = new QLineEdit(panel);
  edtTeamName->setObjectName(QStringLiteral("edtTeamName"));
  edtTeamName->setMaxLength(TTeamsFile::kNameWidth);
  edtTeamName->setGeometry(2, 2, kPanelWidth - 4, 21);
  edtTeamName->installEventFilter(this);

  btnAddTeamName = new QPushButton(QStringLiteral("&Add"), panel);
  btnAddTeamName->setObjectName(QStringLiteral("btnAddTeamName"));
  btnAddTeamName->setGeometry(2, 27, 67, 25);
  btnRemoveTeamName = new QPushButton(QStringLiteral("&Remove"), panel);
  btnRemoveTeamName->setObjectName(QStringLiteral("btnRemoveTeamName"));
  btnRemoveTeamName->setGeometry(74, 27, 67, 25);
  connect(btnAddTeamName, &QPushButton::clicked, this, &TfrmBracketBuild::btnAddTeamNameClick);
  connect(btnRemoveTeamName, &QPushButton::clicked, this,
          &TfrmBracketBuild::btnRemoveTeamNameClick);
  // Enter in the name box adds the name, as the button's accelerator would.
  connect(edtTeamName, &QLineEdit::returnPressed, this, &TfrmBracketBuild::btnAddTeamNameClick);

  const QLabel* add = MakeLabel(QStringLiteral("To Add Team:"), 2, 60, panel, true);
  MakeLabel(QStringLiteral("Enter team"), add->width() + 6, 60, panel);
  MakeLabel(QStringLiteral("name in above box and "), 2, 74, panel);
  MakeLabel(QStringLiteral("press Add."), 2, 88, panel);
  const QLabel* remove = MakeLabel(QStringLiteral("To Remove: "), 2, 108, panel, true);
  MakeLabel(QStringLiteral("Select team"), remove->width() + 4, 108, panel);
  MakeLabel(QStringLiteral("in list and press Remove."), 2, 122, panel);
  return panel;
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

void TfrmBracketBuild::FillTeamList() {
  const int row = lstTeams->currentRow();
  const int scroll = lstTeams->verticalScrollBar()->value();
  const QSignalBlocker quiet(lstTeams);
  lstTeams->clear();
  if (const TFFDataModule* pool = FPool.DataModule()) {
    for (const auto& team : pool->TeamsFile().List())
      new QListWidgetItem(team->TeamName(), lstTeams);
  }
  MarkPlacedTeams();
  FitTeamListWidth();
  if (row >= 0 && lstTeams->count() > 0)
    lstTeams->setCurrentRow(std::min(row, lstTeams->count() - 1));
  // The scroll range follows the new items only once they are laid out.
  lstTeams->doItemsLayout();
  lstTeams->verticalScrollBar()->setValue(scroll);
}

void TfrmBracketBuild::InsertTeamItem(int index) {
  const TFFDataModule* pool = FPool.DataModule();
  const QSignalBlocker quiet(lstTeams);
  lstTeams->insertItem(index, pool->TeamsFile().Items(index)->TeamName());
  MarkPlacedTeams();
  FitTeamListWidth();
}

void TfrmBracketBuild::RemoveTeamItem(int index) {
  const QSignalBlocker quiet(lstTeams);
  delete lstTeams->takeItem(index);
  MarkPlacedTeams();
  FitTeamListWidth();
}

void TfrmBracketBuild::FitTeamListWidth() {
  // Every name whole beside its mark, with room for the scroll bar a long list shows.
  const int names = lstTeams->count() > 0 ? lstTeams->sizeHintForColumn(0) : 0;
  const int wanted = std::max(kListWidth, names + 2 * lstTeams->frameWidth() +
                                              lstTeams->verticalScrollBar()->sizeHint().width() +
                                              2 * lstTeams->spacing() + 4);
  if (wanted == lstTeams->width())
    return;
  lstTeams->resize(wanted, lstTeams->height());
  sbxBracket->move(wanted + kChartGap, kTop);
  FormResize();
}

void TfrmBracketBuild::MarkPlacedTeams() {
  const TFFDataModule* pool = FPool.DataModule();
  if (!pool || pool->TeamsFile().Count() != lstTeams->count())
    return;
  const QIcon placed = PlacedMark();
  const QIcon unplaced = UnplacedMark();
  for (int i = 0; i < lstTeams->count(); ++i) {
    const TTeamSeedObject* team = pool->TeamsFile().Items(i);
    QListWidgetItem* item = lstTeams->item(i);
    const bool onChart = team->RoundReached() > 0;
    item->setIcon(onChart ? placed : unplaced);
    // A name cut by the list's edge shows whole here, with where it stands.
    item->setToolTip(onChart ? kPlacedTip.arg(team->TeamName(),
                                              pool->SystemFile().BracketName(team->Region()),
                                              QString::number(team->Seed()))
                             : team->TeamName());
  }
}

// --- The chart picture ---------------------------------------------------------------------

int TfrmBracketBuild::SlotNumberAt(const TBracketItem* slot) const {
  return slot ? FPool.ResultsBracket()->SlotNumber(slot) : 0;
}

const TTeamSeedObject* TfrmBracketBuild::SelectedTeam() const {
  const QListWidgetItem* item = lstTeams->currentItem();
  const TFFDataModule* pool = FPool.DataModule();
  if (!item || !pool)
    return nullptr;
  for (const auto& team : pool->TeamsFile().List()) {
    if (team->TeamName() == item->text())
      return team.get();
  }
  return nullptr;
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

// --- Team list and team maintenance --------------------------------------------------------

void TfrmBracketBuild::lstTeamsClick() {
  if (const QListWidgetItem* item = lstTeams->currentItem())
    SetTeamNameBox(item->text());
}

void TfrmBracketBuild::SetTeamNameBox(const QString& name) {
  edtTeamName->setText(name);
  FTeamNameSet = name;
}

void TfrmBracketBuild::btnAddTeamNameClick() {
  if (!FPool.IsOpen())
    return;
  QString reason;
  if (!FPool.AddTeam(edtTeamName->text(), UndoStack(), &reason)) {
    Refuse(reason);
    return;
  }
  // A new name below the visible part of the list is scrolled into view, one row above the
  // bottom.
  const int index = lstTeams->count() - 1;
  const int rowHeight = std::max(1, lstTeams->sizeHintForRow(0));
  const int visible = lstTeams->viewport()->height() / rowHeight;
  if (index > visible - 1) {
    const int top = std::min(index - visible + 2, index);
    lstTeams->scrollToItem(lstTeams->item(top), QAbstractItemView::PositionAtTop);
  }
  SetTeamNameBox(QString());
}

void TfrmBracketBuild::btnRemoveTeamNameClick() {
  const TEditResult removed = FPool.RemoveTeam(edtTeamName->text(), UndoStack());
  ShowRefusal(removed);
  if (removed)
    SetTeamNameBox(QString());
}

// --- Commands ------------------------------------------------------------------------------

void TfrmBracketBuild::actTeamsClearExecute() {
  if (!FPool.IsOpen() || !Ask(kClearQuestion))
    return;
  FPool.ClearChart(UndoStack());
  RefreshChart();
}

void TfrmBracketBuild::actTeamsMaintExecute() {
  if (pnlTeamMaint->isVisibleTo(this)) {
    lstTeams->resize(lstTeams->width(), sbxBracket->height());
    pnlTeamMaint->hide();
  } else {
    lstTeams->resize(lstTeams->width(), sbxBracket->height() - pnlTeamMaint->height() - 2);
    // Where the window's size now puts it, if it changed while the panel was away.
    pnlTeamMaint->move(pnlTeamMaint->x(),
                       sbxBracket->y() + sbxBracket->height() - 3 - pnlTeamMaint->height());
    pnlTeamMaint->show();
  }
}

void TfrmBracketBuild::actTeamsAuditExecute() {
  const TBracketList* chart = FPool.ResultsBracket();
  if (!chart || !FPool.IsOpen())
    return;
  const int checked = FPool.Finalized() ? chart->Count() : TBracketList::kPathCount;
  bool complete = true;
  for (int i = 0; i < checked && complete; ++i)
    complete = chart->Items(i)->Team() != nullptr;
  Tell(complete ? kAuditPassed : kAuditFailed, TPrompts::Icon::None);
}

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
