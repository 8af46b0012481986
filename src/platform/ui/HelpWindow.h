#pragma once

#include <QString>
#include <QWidget>

#include "Help.h"

class QTextBrowser;

// The program's help: a browser window over the pages kept in a folder named after the help
// file, "Courtsider.hlp", among the files the program ships with (InstallLayout). Each context
// number the windows ask for leads to one topic; a number without a topic opens the contents.
class THelpWindow : public QWidget, public THelp {
  Q_OBJECT

 public:
  static inline const QString kContentsPage = QStringLiteral("contents.html");
  static inline const QString kCaption = QStringLiteral("Courtsider 99 Help");

  // `pagesFolder` holds the pages; by default the folder the program ships them in.
  explicit THelpWindow(const QString& pagesFolder = DefaultFolder(), QWidget* parent = nullptr);

  static QString DefaultFolder();
  // The page, with its anchor, of a context number; the contents for an unknown one.
  static QString TopicOf(int context);

  // While a modal dialog is open, help opens in a window of that dialog's, over it, as
  // any other window would be blocked by the dialog.
  void ShowContext(int context) override;
  void ShowContents();

  QTextBrowser* Browser() const { return FBrowser; }
  const QString& PagesFolder() const { return FPagesFolder; }

 private:
  // The help window to show a topic in while `modal` (may be null) is the dialog in front.
  THelpWindow& WindowOver(QWidget* modal);
  // False, after telling the user, when the pages are not there.
  bool Open(const QString& topic);

  QString FPagesFolder;
  QTextBrowser* FBrowser = nullptr;
};
