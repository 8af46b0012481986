// The player entry window as it is made: its controls, actions, menus and tool bars.
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
