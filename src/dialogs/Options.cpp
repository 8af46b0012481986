#include "Options.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>

#include "DesignFont.h"
#include "FieldExit.h"
#include "Help.h"
#include "OpenPool.h"
#include "Scoring.h"
#include "ScoringRule.h"

namespace {
const QString kCaption = QStringLiteral("Pool Options");
// A required digit and two optional ones, blanks shown as spaces: 0 to 999.
const QString kRoundMask = QStringLiteral("900; ");
constexpr int kEditHeight = 21;
// What stands in the table where a case cannot happen, and why.
const QString kCannotHappen = QStringLiteral("-");
const QString kFirstRoundLoserPicked =
    QStringLiteral("Every team is picked to reach the first round, so its loser always was.");

// The upsets the Scoring page prices: winner's seed, loser's seed and the round (1..6).
struct TUpsetExample {
  int32_t Winner;
  int32_t Loser;
  int Round;
};
constexpr TUpsetExample kUpsetExamples[] = {{12, 5, 1}, {10, 2, 2}, {11, 3, 3}, {7, 1, 5}};

QLabel* MakeLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  return label;
}

QLineEdit* MakeEdit(const QString& name, int maxLength, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setMaxLength(maxLength);
  return edit;
}

QPushButton* MakeButton(const QString& text, int x, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setGeometry(x, 232, 75, 25);
  // A click must not pull the focus out of a round field first: that would refuse the field
  // before Ok could report it, and keep Cancel from abandoning it.
  button->setFocusPolicy(Qt::TabFocus);
  return button;
}
}  // namespace

TfrmOptions::TfrmOptions(TOpenPool& pool, QWidget* parent)
    : QDialog(parent), TEditingWindow(static_cast<QWidget&>(*this)), FPool(pool) {
  setObjectName(QStringLiteral("frmOptions"));
  setWindowTitle(kCaption);
  setFont(DesignFont());
  resize(360, 279);

  auto* panel = new QFrame(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(panel);

  auto* scrollBox = new QScrollArea(panel);
  scrollBox->setFrameShape(QFrame::NoFrame);
  auto* inner = new QVBoxLayout(panel);
  inner->setContentsMargins(4, 4, 4, 4);
  inner->addWidget(scrollBox);

  auto* content = new QWidget;
  content->setFixedSize(347, 262);
  pgcOptions = new QTabWidget(content);
  pgcOptions->setObjectName(QStringLiteral("pgcOptions"));
  pgcOptions->setGeometry(2, 0, 343, 225);
  pgcOptions->addTab(MakeGeneralPage(), QStringLiteral("General"));
  pgcOptions->addTab(MakeValuesPage(), QStringLiteral("Values"));
  pgcOptions->addTab(MakeScoringPage(), QStringLiteral("Scoring"));
  pgcOptions->addTab(MakePrizesPage(), QStringLiteral("Prizes"));

  btnOk = MakeButton(QStringLiteral("O&k"), 57, content);
  btnCancel = MakeButton(QStringLiteral("&Cancel"), 137, content);
  btnHelp = MakeButton(QStringLiteral("&Help"), 217, content);
  btnOk->setDefault(true);
  connect(btnOk, &QPushButton::clicked, this, &TfrmOptions::btnOkClick);
  connect(btnCancel, &QPushButton::clicked, this, &TfrmOptions::btnCancelClick);
  connect(btnHelp, &QPushButton::clicked, this, &TfrmOptions::btnHelpClick);
  // Undo and Redo beside the buttons, named after the step they take back or make again.
  MakeUndoActions(FPool.CreateUndoStack(this));
  btnUndo = new QToolButton(content);
  btnUndo->setObjectName(QStringLiteral("btnUndo"));
  btnUndo->setDefaultAction(actEditUndo);
  btnUndo->setGeometry(297, 232, 25, 25);
  btnRedo = new QToolButton(content);
  btnRedo->setObjectName(QStringLiteral("btnRedo"));
  btnRedo->setDefaultAction(actEditRedo);
  btnRedo->setGeometry(322, 232, 25, 25);
  // A text box keeps the keys for what is typed in it.
  for (QLineEdit* edit : content->findChildren<QLineEdit*>())
    edit->installEventFilter(this);
  scrollBox->setWidget(content);

  // Fields showing the pool that was just closed would write its values into the next one.
  connect(&FPool, &TOpenPool::Replaced, this, [this] {
    if (isVisible())
      FormActivate();
  });
}

QWidget* TfrmOptions::MakeGeneralPage() {
  auto* page = new QWidget;
  MakeLabel(QStringLiteral("Pool Name"), page)->move(14, 21);
  edtPoolName = MakeEdit(QStringLiteral("edtPoolName"), 30, page);
  edtPoolName->setGeometry(80, 16, 233, kEditHeight);

  auto* group = new QGroupBox(QStringLiteral("Bracket Names"), page);
  group->setGeometry(16, 48, 297, 137);
  const QString captions[] = {QStringLiteral("Upper Left"), QStringLiteral("Lower Left"),
                              QStringLiteral("Upper Right"), QStringLiteral("Lower Right")};
  const int rows[] = {18, 46, 74, 102};
  for (int i = 0; i < 4; ++i) {
    QLabel* label = MakeLabel(captions[i], group);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setGeometry(8, rows[i], 96, kEditHeight);
    QLineEdit* edit = MakeEdit(QStringLiteral("edtBracket%1").arg(i + 1), 10, group);
    edit->setGeometry(112, rows[i], 129, kEditHeight);
    label->setBuddy(edit);
    FBracketEdits[i] = edit;
  }
  edtBracket1 = FBracketEdits[0];
  edtBracket2 = FBracketEdits[1];
  edtBracket3 = FBracketEdits[2];
  edtBracket4 = FBracketEdits[3];
  return page;
}

QWidget* TfrmOptions::MakeValuesPage() {
  auto* page = new QWidget;
  auto* group = new QGroupBox(QStringLiteral("Point Value for Correct Selections By Round"), page);
  group->setGeometry(6, 3, 321, 185);
  const int rows[] = {24, 50, 75, 101, 126, 152};
  for (int i = 0; i < 6; ++i) {
    QLabel* label = MakeLabel(QStringLiteral("Round %1 Point Value").arg(i + 1), group);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setGeometry(26, rows[i], 112, kEditHeight);
    QLineEdit* edit = MakeEdit(QStringLiteral("edtMultRound%1").arg(i + 1), 3, group);
    edit->setInputMask(kRoundMask);
    edit->setGeometry(143, rows[i], 45, kEditHeight);
    label->setBuddy(edit);
    FRoundEdits[i] = edit;
  }
  edtMultRound1 = FRoundEdits[0];
  edtMultRound2 = FRoundEdits[1];
  edtMultRound3 = FRoundEdits[2];
  edtMultRound4 = FRoundEdits[3];
  edtMultRound5 = FRoundEdits[4];
  edtMultRound6 = FRoundEdits[5];
  return page;
}

QWidget* TfrmOptions::MakeScoringPage() {
  auto* page = new QWidget;
  QLabel* label = MakeLabel(QStringLiteral("&Rule"), page);
  label->setGeometry(10, 10, 40, kEditHeight);
  cbxScoringRule = new QComboBox(page);
  cbxScoringRule->setObjectName(QStringLiteral("cbxScoringRule"));
  cbxScoringRule->setGeometry(56, 10, 180, kEditHeight + 2);
  for (int rule = 0; rule < ScoringRules::kCount; ++rule)
    cbxScoringRule->addItem(ScoringRules::Caption(static_cast<TScoringRule>(rule)), rule);
  label->setBuddy(cbxScoringRule);
  lblScoringRule = MakeLabel(QString(), page);
  lblScoringRule->setObjectName(QStringLiteral("lblScoringRule"));
  lblScoringRule->setWordWrap(true);
  lblScoringRule->setGeometry(10, 36, 317, 30);

  grdUpsets = new QTableWidget(static_cast<int>(std::size(kUpsetExamples)), 3, page);
  grdUpsets->setObjectName(QStringLiteral("grdUpsets"));
  grdUpsets->setGeometry(10, 70, 317, 118);
  grdUpsets->setHorizontalHeaderLabels(
      {QStringLiteral("Upset"), QStringLiteral("Earns"), QStringLiteral("Loser not picked")});
  grdUpsets->verticalHeader()->hide();
  grdUpsets->verticalHeader()->setDefaultSectionSize(22);
  grdUpsets->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  grdUpsets->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grdUpsets->setSelectionMode(QAbstractItemView::NoSelection);
  grdUpsets->setFocusPolicy(Qt::NoFocus);
  for (int row = 0; row < grdUpsets->rowCount(); ++row) {
    const TUpsetExample& upset = kUpsetExamples[row];
    grdUpsets->setItem(row, 0,
                       new QTableWidgetItem(QStringLiteral("%1 over %2, Round %3")
                                                .arg(upset.Winner)
                                                .arg(upset.Loser)
                                                .arg(upset.Round)));
    for (int column = 1; column < 3; ++column) {
      auto* item = new QTableWidgetItem;
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      grdUpsets->setItem(row, column, item);
    }
  }
  connect(cbxScoringRule, &QComboBox::currentIndexChanged, this,
          &TfrmOptions::cbxScoringRuleChange);
  for (QLineEdit* edit : FRoundEdits)
    connect(edit, &QLineEdit::textChanged, this, &TfrmOptions::cbxScoringRuleChange);
  return page;
}

QWidget* TfrmOptions::MakePrizesPage() {
  auto* page = new QWidget;
  QLabel* feeLabel = MakeLabel(QStringLiteral("Entry &fee"), page);
  feeLabel->setGeometry(14, 16, 80, kEditHeight);
  edtEntryFee = MakeEdit(QStringLiteral("edtEntryFee"), 16, page);
  edtEntryFee->setGeometry(100, 16, 90, kEditHeight);
  feeLabel->setBuddy(edtEntryFee);
  QLabel* splitLabel = MakeLabel(QStringLiteral("Prize &split"), page);
  splitLabel->setGeometry(14, 44, 80, kEditHeight);
  edtPrizeSplit = MakeEdit(QStringLiteral("edtPrizeSplit"), 200, page);
  edtPrizeSplit->setGeometry(100, 44, 213, kEditHeight);
  edtPrizeSplit->setPlaceholderText(QStringLiteral("60,30,10"));
  splitLabel->setBuddy(edtPrizeSplit);
  QLabel* about = MakeLabel(
      QStringLiteral("The pot, the entry fee times the number of players, is split by place: a "
                     "percentage per place, first place first, adding up to 100. Players "
                     "still level after the tie-breaker share the prizes of the places they "
                     "span. Leave both boxes empty for a pool without prizes."),
      page);
  about->setWordWrap(true);
  about->setGeometry(14, 76, 299, 100);
  about->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return page;
}

void TfrmOptions::cbxScoringRuleChange() {
  const auto rule = static_cast<TScoringRule>(cbxScoringRule->currentData().toInt());
  lblScoringRule->setText(ScoringRules::Explanation(rule));
  // Priced with the round values as typed; one that is not a number yet counts as none.
  TScoring::TRoundPoints points{};
  for (int round = 1; round <= 6; ++round)
    points[static_cast<size_t>(round + 1)] =
        FRoundEdits[static_cast<size_t>(round - 1)]->displayText().trimmed().toInt();
  const TScoring scoring(rule, points);
  for (int row = 0; row < grdUpsets->rowCount(); ++row) {
    const TUpsetExample& upset = kUpsetExamples[row];
    for (const bool picked : {true, false}) {
      QTableWidgetItem* cell = grdUpsets->item(row, picked ? 1 : 2);
      // Every team is picked to reach the first round: its loser is always a pick.
      if (!picked && upset.Round == 1) {
        cell->setText(kCannotHappen);
        cell->setToolTip(kFirstRoundLoserPicked);
        continue;
      }
      const TWonGame game{upset.Round + 1, upset.Winner, upset.Loser, picked};
      cell->setText(QString::number(scoring.Points(game)));
    }
  }
}

void TfrmOptions::FormActivate() {
  UndoStack()->setActive();
  if (!FPool.DataModule())
    return;
  const TPoolOptions options = FPool.Options();
  edtPoolName->setText(options.PoolName);
  for (size_t i = 0; i < FBracketEdits.size(); ++i)
    FBracketEdits[i]->setText(options.BracketNames[i]);
  for (int round = 1; round <= 6; ++round)
    LoadRound(round);
  cbxScoringRule->setCurrentIndex(cbxScoringRule->findData(static_cast<int>(options.ScoringRule)));
  cbxScoringRuleChange();
  const bool prizes = options.Prizes.IsSet();
  edtEntryFee->setText(prizes ? Prizes::MoneyText(options.Prizes.FeeCents) : QString());
  edtPrizeSplit->setText(prizes ? Prizes::SplitText(options.Prizes.Split) : QString());
}

void TfrmOptions::TakeNamesAndRule(TPoolOptions& options) const {
  options.PoolName = edtPoolName->text();
  for (size_t i = 0; i < FBracketEdits.size(); ++i)
    options.BracketNames[i] = FBracketEdits[i]->text();
  options.ScoringRule = static_cast<TScoringRule>(cbxScoringRule->currentData().toInt());
}

bool TfrmOptions::FieldsHoldStored() const {
  if (!FPool.DataModule())
    return true;
  const TPoolOptions stored = FPool.Options();
  TPoolOptions shown = stored;
  TakeNamesAndRule(shown);
  for (size_t i = 0; i < FRoundEdits.size(); ++i) {
    bool ok = false;
    shown.RoundPoints[i] = FRoundEdits[i]->displayText().trimmed().toInt(&ok);
    if (!ok)
      return false;
  }
  return Prizes::Parse(edtEntryFee->text(), edtPrizeSplit->text(), shown.Prizes).isEmpty() &&
         shown == stored;
}

void TfrmOptions::UndoOrRedo(bool undo) {
  TEditingWindow::UndoOrRedo(undo);
  FormActivate();
}

void TfrmOptions::LoadRound(int round) {
  if (!FPool.DataModule())
    return;
  FRoundEdits[static_cast<size_t>(round - 1)]->setText(
      QString::number(FPool.Options().RoundPoints[static_cast<size_t>(round - 1)]));
}

void TfrmOptions::btnOkClick() {
  if (!FPool.DataModule()) {
    hide();
    return;
  }
  // The fields are taken in order; a round that does not convert stops there, and what came
  // before it is stored all the same.
  TPoolOptions options = FPool.Options();
  TakeNamesAndRule(options);
  for (int round = 1; round <= 6; ++round) {
    QLineEdit* edit = FRoundEdits[static_cast<size_t>(round - 1)];
    // The shown text keeps the blanks the mask lets through between digits; the plain text
    // would quietly close them up.
    const QString text = edit->displayText().trimmed();
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok) {
      if (const TEditResult stored = FPool.SetOptions(options, UndoStack());
          !stored.Refusal.isEmpty()) {
        Refuse(stored.Refusal);
        return;
      }
      pgcOptions->setCurrentIndex(1);
      edit->setFocus();
      TellNotAnInteger(text);
      return;
    }
    options.RoundPoints[static_cast<size_t>(round - 1)] = value;
  }
  // Prizes the pool cannot pay keep the other fields from being stored too.
  if (const QString why =
          Prizes::Parse(edtEntryFee->text(), edtPrizeSplit->text(), options.Prizes);
      !why.isEmpty()) {
    pgcOptions->setCurrentIndex(3);
    // The box to mend: the fee's when it is no amount of money or the split is sound (the fee
    // is missing then), else the split's.
    int64_t cents = 0;
    std::vector<int32_t> split;
    const bool feeRead = edtEntryFee->text().trimmed().isEmpty() ||
                         Prizes::ParseMoney(edtEntryFee->text(), cents).isEmpty();
    const bool splitRead = !edtPrizeSplit->text().trimmed().isEmpty() &&
                           Prizes::ParseSplit(edtPrizeSplit->text(), split).isEmpty();
    (!feeRead || splitRead ? edtEntryFee : edtPrizeSplit)->setFocus();
    Refuse(why);
    return;
  }
  if (const TEditResult stored = FPool.SetOptions(options, UndoStack());
      !stored.Refusal.isEmpty()) {
    Refuse(stored.Refusal);
    return;
  }
  hide();
}

void TfrmOptions::btnCancelClick() {
  hide();
}

void TfrmOptions::btnHelpClick() {
  THelp::Current().ShowContext(kHelpContext);
}

void TfrmOptions::reject() {
  btnCancelClick();
}

bool TfrmOptions::edtMultRoundExit(QLineEdit* edit) {
  if (!edit->isModified() || edit->hasAcceptableInput())
    return true;
  RefuseFieldInput(*edit);
  return false;
}

bool TfrmOptions::event(QEvent* event) {
  if (Activates(event))
    FormActivate();
  return QDialog::event(event);
}

bool TfrmOptions::eventFilter(QObject* watched, QEvent* event) {
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (!edit)
    return QDialog::eventFilter(watched, event);
  // An undo reloads every field: the keys are the window's only while nothing typed waits
  // for Ok, in any box.
  if (PassUndoKeyOn(event, FieldsHoldStored()))
    return true;
  if (std::find(FRoundEdits.begin(), FRoundEdits.end(), edit) == FRoundEdits.end())
    return QDialog::eventFilter(watched, event);
  if (event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && edit->isModified()) {
    const auto at = std::find(FRoundEdits.begin(), FRoundEdits.end(), edit);
    LoadRound(static_cast<int>(at - FRoundEdits.begin()) + 1);
    return true;
  }
  // The check waits until the focus has settled.
  if (LeavesField(event)) {
    QMetaObject::invokeMethod(
        this,
        [this, edit] {
          if (isVisible())
            edtMultRoundExit(edit);
        },
        Qt::QueuedConnection);
  }
  return QDialog::eventFilter(watched, event);
}
