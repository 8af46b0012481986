#pragma once

#include <QDialog>
#include <array>

#include "EditingWindow.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;
class QPushButton;
class QTabWidget;
class QToolButton;
class TOpenPool;
struct TPoolOptions;

// "Pool Options": the pool's name, its four bracket names, the points of a correct pick in
// each round, the scoring rule and the prizes, edited on the open pool. One window lives for the
// whole run and is shown without blocking the main window; every activation reloads the fields from
// the pool, and only Ok writes them back (to memory: the pool reaches the disk when it is saved),
// or shows why the pool refuses them. Each Ok that changes something is one step of the window's
// undo.
class TfrmOptions : public QDialog, public TEditingWindow {
  Q_OBJECT

 public:
  static constexpr int kHelpContext = 210;

  explicit TfrmOptions(TOpenPool& pool, QWidget* parent = nullptr);

  void FormActivate();
  void btnOkClick();
  void btnCancelClick();
  void btnHelpClick();
  // Leaving a round field whose first position holds no digit: a beep, the message, and the
  // focus back in the field. Returns false when the field was refused.
  bool edtMultRoundExit(QLineEdit* edit);
  // Another rule chosen, or another round value typed: the explanation and the table of what
  // an upset earns follow.
  void cbxScoringRuleChange();

  QTabWidget* pgcOptions = nullptr;
  QLineEdit* edtPoolName = nullptr;
  QLineEdit* edtBracket1 = nullptr;
  QLineEdit* edtBracket2 = nullptr;
  QLineEdit* edtBracket3 = nullptr;
  QLineEdit* edtBracket4 = nullptr;
  QLineEdit* edtMultRound1 = nullptr;
  QLineEdit* edtMultRound2 = nullptr;
  QLineEdit* edtMultRound3 = nullptr;
  QLineEdit* edtMultRound4 = nullptr;
  QLineEdit* edtMultRound5 = nullptr;
  QLineEdit* edtMultRound6 = nullptr;
  QComboBox* cbxScoringRule = nullptr;
  QLabel* lblScoringRule = nullptr;
  QTableWidget* grdUpsets = nullptr;
  QLineEdit* edtEntryFee = nullptr;
  QLineEdit* edtPrizeSplit = nullptr;
  QPushButton* btnOk = nullptr;
  QPushButton* btnCancel = nullptr;
  QPushButton* btnHelp = nullptr;
  QToolButton* btnUndo = nullptr;
  QToolButton* btnRedo = nullptr;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Escape and the title bar's close button cancel.
  void reject() override;
  // The fields show what the step taken back or made again leaves in the pool.
  void UndoOrRedo(bool undo) override;

 private:
  QWidget* MakeGeneralPage();
  QWidget* MakeValuesPage();
  QWidget* MakeScoringPage();
  QWidget* MakePrizesPage();
  // Puts the stored value of the pool back into one round field.
  void LoadRound(int round);
  // The names and the rule as the fields hold them.
  void TakeNamesAndRule(TPoolOptions& options) const;
  // Whether every field holds what the pool does: nothing typed waits for Ok.
  bool FieldsHoldStored() const;

  TOpenPool& FPool;
  std::array<QLineEdit*, 4> FBracketEdits{};
  std::array<QLineEdit*, 6> FRoundEdits{};
};
