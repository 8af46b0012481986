// The Bracket Builder's team list and its maintenance panel: the list kept in step with the
// pool's teams and marked with the teams on the chart, names added and removed, and the
// commands that clear, show the panel for and audit the teams.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>

#include "BracketBuild.h"
#include "BracketList.h"
#include "ChartView.h"
#include "DesignFont.h"
#include "FFDataModule.h"
#include "OpenPool.h"
#include "Prompts.h"
#include "TournamentCommands.h"

namespace {

constexpr int kPanelWidth = 143;
constexpr int kPanelHeight = 141;

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

void TfrmBracketBuild::RenameTeamItem(int index) {
  if (QListWidgetItem* item = lstTeams->item(index))
    item->setText(FPool.DataModule()->TeamsFile().Items(index)->TeamName());
  FitTeamListWidth();
}

void TfrmBracketBuild::actFileImportFieldExecute() {
  TTournamentCommands::ImportField(FPool, this, UndoStack());
}

void TfrmBracketBuild::actTeamsRenameExecute() {
  const QListWidgetItem* item = lstTeams->currentItem();
  if (!item) {
    TPrompts::Current().Refuse(QStringLiteral("Select the team to rename in the list."), this);
    return;
  }
  TTournamentCommands::RenameTeam(FPool, item->text(), this, UndoStack());
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
