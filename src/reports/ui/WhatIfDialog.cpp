#include "WhatIfDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TdlgWhatIf::TdlgWhatIf(TOutlookInput input, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      FBase(std::move(input)) {
  FBase.DropPlayers();
  setWindowTitle(QStringLiteral("What If"));
  setModal(true);
  setFont(QFont(QStringLiteral("Arial"), 8));
  resize(420, 380);

  lblGames = new QLabel(
      QStringLiteral("Click the winner of each game to assume; the games of the next round "
                     "follow. Who Can Still Win then counts every other game as still open."),
      this);
  lblGames->setWordWrap(true);
  tblGames = new QTableWidget(0, 4, this);
  tblGames->setHorizontalHeaderLabels({QStringLiteral("Round"), QStringLiteral("Team"),
                                       QStringLiteral("Team"), QStringLiteral("Open")});
  tblGames->verticalHeader()->hide();
  tblGames->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tblGames->setSelectionMode(QAbstractItemView::SingleSelection);
  tblGames->setSelectionBehavior(QAbstractItemView::SelectItems);
  QHeaderView* header = tblGames->horizontalHeader();
  header->setSectionResizeMode(QHeaderView::Stretch);
  header->setSectionResizeMode(kRoundColumn, QHeaderView::ResizeToContents);
  header->setSectionResizeMode(kOpenColumn, QHeaderView::ResizeToContents);
  lblGames->setBuddy(tblGames);

  auto* buttons = new QDialogButtonBox(this);
  btnOk = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  btnOk->setDefault(true);
  btnCancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  btnClear = buttons->addButton(QStringLiteral("C&lear"), QDialogButtonBox::ResetRole);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblGames);
  layout->addWidget(tblGames, 1);
  layout->addWidget(buttons);

  connect(tblGames, &QTableWidget::cellClicked, this, &TdlgWhatIf::tblGamesCellClicked);
  // Enter on a cell chooses as a click does.
  connect(tblGames, &QTableWidget::cellActivated, this, &TdlgWhatIf::tblGamesCellClicked);
  connect(btnClear, &QPushButton::clicked, this, &TdlgWhatIf::btnClearClick);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  Refill();
}

void TdlgWhatIf::tblGamesCellClicked(int row, int column) {
  if (row < 0 || row >= static_cast<int>(FRows.size()) || column == kRoundColumn)
    return;
  const TRow& game = FRows[static_cast<size_t>(row)];
  if (column == kOpenColumn)
    FChosen.erase(game.Slot);
  else
    FChosen[game.Slot] = game.Teams[static_cast<size_t>(column - 1)];
  Refill();
  tblGames->setCurrentCell(row, column);
}

void TdlgWhatIf::btnClearClick() {
  FChosen.clear();
  Refill();
}

void TdlgWhatIf::Refill() {
  TOutlookInput played = FBase;
  std::map<int32_t, int32_t> kept;
  FRows.clear();
  FWinners.clear();
  // Slot order is round order: a game's winner is in before the game it feeds is looked at.
  for (const TOutlookInput::TGame& game : FBase.Games) {
    const int32_t a = played.Occupant[static_cast<size_t>(game.Feeder[0])];
    const int32_t b = played.Occupant[static_cast<size_t>(game.Feeder[1])];
    if (!game.Real || a < 0 || b < 0)
      continue;
    FRows.push_back({game.Slot, game.Round, {a, b}});
    const auto chosen = FChosen.find(game.Slot);
    if (chosen == FChosen.end() || (chosen->second != a && chosen->second != b))
      continue;
    int32_t loser = -1;
    QString why;
    // Both teams are there, so the game is the winner's next.
    if (played.AssumeWin(chosen->second, &loser, &why)) {
      kept.insert(*chosen);
      FWinners << played.TeamNames.at(chosen->second);
    }
  }
  FChosen = std::move(kept);

  tblGames->setRowCount(static_cast<int>(FRows.size()));
  for (int row = 0; row < tblGames->rowCount(); ++row) {
    const TRow& game = FRows[static_cast<size_t>(row)];
    const auto chosen = FChosen.find(game.Slot);
    const int32_t winner = chosen == FChosen.end() ? -1 : chosen->second;
    const auto cell = [this, row](int column, const QString& text, bool on) {
      auto* item = new QTableWidgetItem(text);
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      if (column != kRoundColumn)
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
      tblGames->setItem(row, column, item);
    };
    cell(kRoundColumn, QStringLiteral("Rd %1").arg(game.Round - 1), false);
    for (int side = 0; side < 2; ++side) {
      const int32_t team = game.Teams[static_cast<size_t>(side)];
      cell(1 + side, played.TeamNames.at(team), team == winner);
    }
    cell(kOpenColumn, QStringLiteral("open"), winner < 0);
  }
  btnOk->setEnabled(!FWinners.isEmpty());
  btnClear->setEnabled(!FWinners.isEmpty());
}
