#include "MessageBoxPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpacerItem>

namespace {
QMessageBox::Icon ToQt(TPrompts::Icon icon) {
  switch (icon) {
    case TPrompts::Icon::Information:
      return QMessageBox::Information;
    case TPrompts::Icon::Warning:
      return QMessageBox::Warning;
    case TPrompts::Icon::Stop:
      return QMessageBox::Critical;
    case TPrompts::Icon::Question:
      return QMessageBox::Question;
    case TPrompts::Icon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButton ToQt(TPrompts::Answer answer) {
  switch (answer) {
    case TPrompts::Answer::Ok:
      return QMessageBox::Ok;
    case TPrompts::Answer::Yes:
      return QMessageBox::Yes;
    case TPrompts::Answer::No:
      return QMessageBox::No;
    case TPrompts::Answer::Cancel:
      break;
  }
  return QMessageBox::Cancel;
}

TPrompts::Answer FromQt(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Yes:
      return TPrompts::Answer::Yes;
    case QMessageBox::No:
      return TPrompts::Answer::No;
    case QMessageBox::Cancel:
      return TPrompts::Answer::Cancel;
    default:
      break;
  }
  return TPrompts::Answer::Ok;
}

// A box sizes itself to its text, so a short text would cut its title off: room is made for
// the title and the title bar's buttons.
void MakeRoomForTitle(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (!grid)
    return;
  QFont titleFont = box.font();
  titleFont.setBold(true);
  constexpr int kTitleBarButtons = 140;
  const int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarButtons;
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                grid->rowCount(), 0, 1, grid->columnCount());
}
}  // namespace

QWidget* TMessageBoxPrompts::ParentFor(QWidget* asker, QWidget* mainWindow) {
  if (asker && asker->window()->isVisible())
    return asker->window();
  if (QWidget* modal = QApplication::activeModalWidget())
    return modal;
  if (QWidget* active = QApplication::activeWindow())
    return active;
  return mainWindow;
}

void TMessageBoxPrompts::SetButtons(QMessageBox& box, Buttons buttons, Answer defaultAnswer) {
  QMessageBox::StandardButtons shown = QMessageBox::Ok;
  QMessageBox::StandardButton escape = QMessageBox::Ok;
  switch (buttons) {
    case Buttons::Ok:
      break;
    case Buttons::OkCancel:
      shown = QMessageBox::Ok | QMessageBox::Cancel;
      escape = QMessageBox::Cancel;
      break;
    case Buttons::YesNo:
      shown = QMessageBox::Yes | QMessageBox::No;
      escape = QMessageBox::No;
      break;
    case Buttons::YesNoCancel:
      shown = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
      escape = QMessageBox::Cancel;
      break;
  }
  box.setStandardButtons(shown);
  if (shown.testFlag(ToQt(defaultAnswer)))
    box.setDefaultButton(ToQt(defaultAnswer));
  // Esc and the close box give the answer that changes nothing.
  box.setEscapeButton(escape);
}

TPrompts::Answer TMessageBoxPrompts::Message(const QString& text, const QString& title,
                                             Buttons buttons, Icon icon) {
  QMessageBox box(ToQt(icon), title, text, QMessageBox::NoButton, ParentFor(Asker(), FMainWindow));
  SetButtons(box, buttons, DefaultAnswer());
  MakeRoomForTitle(box);
  box.exec();
  return FromQt(box.standardButton(box.clickedButton()));
}

bool TMessageBoxPrompts::AskText(const QString& title, const QString& prompt, QString* text,
                                 int maxLength) {
  QInputDialog dialog(ParentFor(Asker(), FMainWindow));
  dialog.setWindowTitle(title);
  dialog.setLabelText(prompt);
  dialog.setTextValue(*text);
  // Setting the text made the dialog's field; it takes no more than the caller keeps.
  if (auto* edit = dialog.findChild<QLineEdit*>(); edit && maxLength > 0)
    edit->setMaxLength(maxLength);
  if (dialog.exec() != QDialog::Accepted)
    return false;
  *text = maxLength > 0 ? dialog.textValue().left(maxLength) : dialog.textValue();
  return true;
}

bool TMessageBoxPrompts::AskFileName(FileDialog dialog, const QString& title, const QString& filter,
                                     QString* path) {
  QWidget* parent = ParentFor(Asker(), FMainWindow);
  const QString chosen = dialog == FileDialog::Open
                             ? QFileDialog::getOpenFileName(parent, title, *path, filter)
                             : QFileDialog::getSaveFileName(parent, title, *path, filter);
  if (chosen.isEmpty())
    return false;
  *path = chosen;
  return true;
}
