#pragma once

#include <QDialog>
#include <cstdint>

class QLineEdit;
class QPushButton;

// "Tie Breaker Points": the actual total points of the championship game, one to three
// digits. The builder puts the stored total in before showing it and reads it back after OK.
class TdlgTieBreakerPoints : public QDialog {
  Q_OBJECT

 public:
  static inline const QString kCaption = QStringLiteral("Tie Breaker Points");

  explicit TdlgTieBreakerPoints(QWidget* parent = nullptr);

  // The total shown in the box.
  void SetPoints(int32_t points);
  // The total typed in the box; false when the box does not hold a whole number.
  bool Points(int32_t* points) const;

  // OK closes the dialog only with a whole number in the box; otherwise the user is told, as
  // the pool refuses a total out of range, and the box keeps the focus.
  void btnOKClick();

  QLineEdit* edtTieBreakerPoints = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;
};
