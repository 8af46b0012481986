#pragma once

#include <QDialog>

#include "Version.h"

class QLabel;
class QPushButton;

// "About Courtsider 99": the program's picture, name, version and maker. Made once at start
// and shown without blocking the main window; OK only hides it.
class TfrmAboutBox : public QDialog {
  Q_OBJECT

 public:
  static inline const QString kProduct = QStringLiteral("Courtsider 99 for Linux and Windows");
  static inline const QString kDescription =
      QStringLiteral("College Basketball Office Pool Manager");
  static inline const QString kVersion = QStringLiteral("Version ") + kProgramVersion;

  explicit TfrmAboutBox(QWidget* parent = nullptr);

  void btnOkClick();

  QLabel* imgProgram = nullptr;
  QLabel* lblProduct = nullptr;
  QLabel* lblDescription = nullptr;
  QLabel* lblVersion = nullptr;
  QLabel* lblMaker = nullptr;
  QLabel* lblMakerNote = nullptr;
  QPushButton* btnOk = nullptr;
};
