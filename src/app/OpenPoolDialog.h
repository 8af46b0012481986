#pragma once

#include <QDialog>
#include <QString>

class QListWidget;
class QPushButton;

// "Select Pool": lists the pools of the pools' folder, each folder name in square brackets,
// and keeps the one chosen.
class TfrmOpenPool : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kHelpContext = 120;

  explicit TfrmOpenPool(QWidget* parent = nullptr);

  void SetAppDirectory(const QString& directory) { FAppDirectory = directory; }
  // The folder name of the chosen pool, without the brackets.
  const QString& SelectedPool() const { return FSelectedPool; }

  // Runs each time the dialog is shown: lists the pools afresh; "&Open" waits for a choice.
  void FormShow();
  void lbSelectPoolClick();
  void btnOpenClick();
  void btnHelpClick();

  QListWidget* lbSelectPool;
  QPushButton* btnOpen;
  QPushButton* btnCancel;
  QPushButton* btnHelp;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QString FAppDirectory;
  QString FSelectedPool;
};
