#pragma once

#include <QDialog>
#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

#include "IniOut.h"

class QCheckBox;
class QPushButton;

// A "Courtsider Tips" dialog: a few lines of advice inside a framed bevel and the tick that
// keeps it away for good. Its owner shows it modally each time the owner becomes active,
// unless chkDontShow is ticked; the tick is read from the registry when the dialog is made
// and written back on OK and when the dialog is destroyed.
class TdlgSplashHelp : public QDialog {
  Q_OBJECT

 public:
  struct TLine {
    enum class TStyle { Heading, Bold, Plain, Continued };
    TStyle Style;
    QString Text;
  };
  struct TLayout {
    QString Name;
    QSize ClientSize;
    QList<TLine> Lines;
    QPoint CheckAt;
    QPoint ButtonAt;
    QStringList Items;
  };

  ~TdlgSplashHelp() override;

  // Stores the tick and hides the dialog with the result OK.
  void OKBtnClick();

  QCheckBox* chkDontShow = nullptr;
  QPushButton* OKBtn = nullptr;

 protected:
  TdlgSplashHelp(const TLayout& layout, QWidget* parent);

 private:
  TIniOut IniOut1;
};
