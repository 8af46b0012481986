#include "HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <map>

#include "InstallLayout.h"
#include "Prompts.h"

namespace {
// The topics of the context numbers the windows use.
const std::map<int, QString>& Topics() {
  static const std::map<int, QString> topics = {
      {10, QStringLiteral("main-window.html")},
      {20, QStringLiteral("menus.html#file")},
      {30, QStringLiteral("menus.html#data")},
      {40, QStringLiteral("menus.html#reports")},
      {50, QStringLiteral("menus.html#help")},
      {3050, QStringLiteral("menus.html#tools")},
      {2010, QStringLiteral("commands.html#new")},
      {2020, QStringLiteral("commands.html#open")},
      {2030, QStringLiteral("commands.html#save")},
      {2050, QStringLiteral("commands.html#exit")},
      {3010, QStringLiteral("commands.html#options")},
      {620, QStringLiteral("commands.html#about")},
      {110, QStringLiteral("new-pool.html")},
      {120, QStringLiteral("open-pool.html")},
      {210, QStringLiteral("options.html")},
      {1600, QStringLiteral("quick-start.html")},
      {400, QStringLiteral("reports.html")},
      {220, QStringLiteral("bracket-builder.html")},
      {240, QStringLiteral("player-entry.html")},
  };
  return topics;
}

const QString kPagesMissing =
    QStringLiteral("The help pages could not be found. They belong in the folder %1.");
}  // namespace

THelpWindow::THelpWindow(const QString& pagesFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), FPagesFolder(pagesFolder) {
  setObjectName(QStringLiteral("frmHelp"));
  setWindowTitle(kCaption);
  resize(640, 560);
  // Help left open never keeps the program running once its main window has closed.
  setAttribute(Qt::WA_QuitOnClose, false);

  FBrowser = new QTextBrowser(this);
  FBrowser->setObjectName(QStringLiteral("brwHelp"));
  FBrowser->setOpenExternalLinks(true);

  auto* btnContents = new QPushButton(QStringLiteral("&Contents"), this);
  auto* btnBack = new QPushButton(QStringLiteral("&Back"), this);
  auto* btnForward = new QPushButton(QStringLiteral("&Forward"), this);
  btnBack->setEnabled(false);
  btnForward->setEnabled(false);
  connect(btnContents, &QPushButton::clicked, this, &THelpWindow::ShowContents);
  connect(btnBack, &QPushButton::clicked, FBrowser, &QTextBrowser::backward);
  connect(btnForward, &QPushButton::clicked, FBrowser, &QTextBrowser::forward);
  connect(FBrowser, &QTextBrowser::backwardAvailable, btnBack, &QPushButton::setEnabled);
  connect(FBrowser, &QTextBrowser::forwardAvailable, btnForward, &QPushButton::setEnabled);
  auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(close, &QShortcut::activated, this, &QWidget::hide);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnContents);
  buttons->addWidget(btnBack);
  buttons->addWidget(btnForward);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(FBrowser);
}

QString THelpWindow::DefaultFolder() {
  return QDir(InstallLayout::DataFolder()).filePath(kHelpFile);
}

QString THelpWindow::TopicOf(int context) {
  const auto found = Topics().find(context);
  return found == Topics().end() ? kContentsPage : found->second;
}

void THelpWindow::ShowContext(int context) {
  WindowOver(QApplication::activeModalWidget()).Open(TopicOf(context));
}

THelpWindow& THelpWindow::WindowOver(QWidget* modal) {
  if (!modal || modal == this || isAncestorOf(modal) || modal->isAncestorOf(this))
    return *this;
  auto* over = modal->findChild<THelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
  if (!over) {
    // Made once per dialog and gone with it; it opens where this window stands.
    over = new THelpWindow(FPagesFolder, modal);
    over->setAttribute(Qt::WA_QuitOnClose, false);
    over->resize(size());
  }
  return *over;
}

void THelpWindow::ShowContents() {
  Open(kContentsPage);
}

bool THelpWindow::Open(const QString& topic) {
  const QUrl relative(topic);
  const QString page = QDir(FPagesFolder).filePath(relative.path());
  if (!QFileInfo(page).isFile()) {
    TPrompts::Current().Inform(kPagesMissing.arg(QDir::toNativeSeparators(FPagesFolder)), this);
    return false;
  }
  QUrl url = QUrl::fromLocalFile(page);
  url.setFragment(relative.fragment());
  FBrowser->setSource(url);
  show();
  raise();
  activateWindow();
  return true;
}
