#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

// "Open New Pool": asks for the name of a new pool. The pool is kept in a folder named after
// it, so the dialog closes with OK only for a name that can become a new folder.
class TdlgFileNew : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kHelpContext = 110;
  static constexpr int kMaxNameLength = 80;
  static inline const QString kPoolExists =
      QStringLiteral("Pool of that name already exists.  Use File | Open to access existing pool");
  static inline const QString kUnsafeName = QStringLiteral(
      "That name cannot be used for a pool.  A pool is kept in a folder of the same name, so "
      "the name must not be blank, contain \"..\" or any of the characters \\ / : * ? \" < > |, "
      "or be a name the system reserves for a device (such as CON, PRN, AUX, NUL, COM1 or "
      "LPT1).");

  explicit TdlgFileNew(QWidget* parent = nullptr);

  // The folder that holds the pools; the dialog looks for existing pools there.
  void SetAppDirectory(const QString& directory) { FAppDirectory = directory; }
  // The entered name, without surrounding blanks.
  QString PoolName() const;
  // True when `name` can be the name of a pool's folder on every system we run on.
  static bool IsSafePoolName(const QString& name);

  // Runs each time the dialog is shown: the current folder becomes the pools' folder and
  // the name is emptied.
  void FormShow();
  // Decides whether the dialog may close with OK; refuses a name it cannot use.
  bool FormCloseQuery();
  void btnHelpClick();

  QLabel* lblPoolName;
  QLineEdit* edtPoolName;
  QPushButton* btnOK;
  QPushButton* btnCancel;
  QPushButton* btnHelp;

  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QString FAppDirectory;
};
