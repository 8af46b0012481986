#pragma once

#include <QDialog>
#include <QStringList>
#include <array>
#include <map>
#include <vector>

#include "Outlook.h"

class QLabel;
class QPushButton;
class QTableWidget;

// "What If": the games still to be played whose two teams are known, each given a winner or
// left open. As a game is given its winner, the game of the next round it feeds shows once
// both its teams are known, so that several rounds can be chosen; changing or opening a game
// again drops the choices that hung on it.
class TdlgWhatIf : public QDialog {
  Q_OBJECT

 public:
  // The columns of tblGames: the round, the two teams, and "open".
  static constexpr int kRoundColumn = 0;
  static constexpr int kOpenColumn = 3;

  explicit TdlgWhatIf(TOutlookInput input, QWidget* parent = nullptr);

  // The winners chosen, in the order their games are played, as AssumeWinners takes them.
  const QStringList& Winners() const { return FWinners; }

  // A team's cell makes it the winner of its game, the "open" cell leaves the game open;
  // choosing again what is chosen changes nothing, so a double click is no second choice.
  void tblGamesCellClicked(int row, int column);
  void btnClearClick();

  QLabel* lblGames;
  QTableWidget* tblGames;
  QPushButton* btnClear;
  QPushButton* btnOk;
  QPushButton* btnCancel;

 private:
  struct TRow {
    int32_t Slot = 0;
    int32_t Round = 0;
    std::array<int32_t, 2> Teams{};
  };
  // Plays the chosen games in slot order from the pool's own results, drops the choices whose
  // game is no longer there, and shows the games that follow.
  void Refill();

  // The pool's chart and games left, its players dropped.
  TOutlookInput FBase;
  std::map<int32_t, int32_t> FChosen;  // game slot -> winning team
  std::vector<TRow> FRows;
  QStringList FWinners;
};
