#pragma once

#include <QString>
#include <functional>

#include "Prompts.h"

class QAction;
class QDialog;
class QEvent;
class QHideEvent;
class QIcon;
class QUndoStack;
class QWidget;
class TdlgSplashHelp;

// A command's hint holds its tool tip, a vertical bar and its status-bar text; a hint without
// the bar is both.
QString ShortHint(const QString& hint);
QString LongHint(const QString& hint);

// What the pool's editing windows (the Bracket Builder, Player Entry and Pool Options) share,
// whichever kind of Qt window each is:
// - their own message boxes and dialogs, shown through the prompts or the modal runner, which
//   take the activation away and give it back;
// - the activation steps, run when the organiser comes back from another window, never when
//   one of those boxes closes (that would wipe what he was typing) nor while one is up;
// - the quick-start tips, shown with the first activation of each opening;
// - Edit | Undo and Redo on the window's undo stack, whatever control has the focus;
// - actions made from the program's hints.
class TEditingWindow {
 public:
  // The questions and answers of Clear Brackets and Audit in the builder and the player entry.
  static inline const QString kClearQuestion =
      QStringLiteral("This will clear the bracket information. Do you wish to continue?");
  static inline const QString kAuditPassed = QStringLiteral("Audit check passed!");
  static inline const QString kAuditFailed = QStringLiteral("Not all brackets have been completed");
  // The refusals of a masked number field: left without the digit it requires, and holding
  // no whole number when it is taken.
  static inline const QString kInvalidInput =
      QStringLiteral("Invalid input value.  Use escape key to abandon changes");
  static inline const QString kNotAnInteger = QStringLiteral("'%s' is not a valid integer value");

  // Shows a dialog modally and returns its result; tests put in one that works the dialog
  // through its handlers.
  using TModalRunner = std::function<int(QDialog&)>;

  void SetModalRunner(TModalRunner runner) { FModalRunner = std::move(runner); }
  // The window's undo stack in the document's group; null for a window without undo.
  QUndoStack* UndoStack() const { return FUndoStack; }

  // Edit | Undo and Redo, made by MakeUndoActions.
  QAction* actEditUndo = nullptr;
  QAction* actEditRedo = nullptr;

 protected:
  explicit TEditingWindow(QWidget& window) : FWindow(window) {}
  virtual ~TEditingWindow() = default;
  TEditingWindow(const TEditingWindow&) = delete;
  TEditingWindow& operator=(const TEditingWindow&) = delete;

  // Counts one of the window's own boxes or dialogs while it is up, for those shown from
  // elsewhere (a question asked by a shared command on the window's behalf).
  class TOwnModal {
   public:
    explicit TOwnModal(TEditingWindow& window) : FWindow(window) { ++FWindow.FOwnModal; }
    ~TOwnModal() { --FWindow.FOwnModal; }
    TOwnModal(const TOwnModal&) = delete;
    TOwnModal& operator=(const TOwnModal&) = delete;

   private:
    TEditingWindow& FWindow;
  };

  // A message with an OK button, titled "Courtsider 99" unless said otherwise.
  void Tell(const QString& text, TPrompts::Icon icon, const QString& title = kMessageTitle);
  // A refusal: the stop icon.
  void Refuse(const QString& text) { Tell(text, TPrompts::Icon::Stop); }
  // A question with Yes and No and the stop icon.
  bool Ask(const QString& text);
  // A masked field left without its required digit: a beep, the refusal, and the focus back
  // in the field.
  void RefuseFieldInput(QWidget& field);
  // A field's `text` that is no whole number when it is taken, reported as the program
  // reports any failed step.
  void TellNotAnInteger(const QString& text);
  int ShowModal(QDialog& dialog);

  // From the window's event(): true when `event` is an activation on which the window runs
  // its activation steps.
  bool Activates(const QEvent* event);
  // Shows the tips modally on the first activation of an opening, unless they were put away
  // for good; from the window's hideEvent(), NoteHidden makes the next opening a new one.
  void ShowTipsOnce(TdlgSplashHelp& tips);
  void NoteHidden(const QHideEvent* event);

  // An action of the window with the caption, the hint's parts as tool tip and status text,
  // and the icon.
  QAction* MakeAction(const QString& caption, const QString& hint, const QIcon& icon);
  // Makes actEditUndo and actEditRedo on `stack`: their text names the edit they take back or
  // make again ("&Undo Place Team"), they are enabled while there is one, and Ctrl+Z and
  // Ctrl+Shift+Z (beside the platform's redo keys) reach them from any control of the window.
  // Triggered, they run UndoOrRedo.
  void MakeUndoActions(QUndoStack* stack);
  // Takes back (undo) or makes again the last edit of the window's stack.
  virtual void UndoOrRedo(bool undo);
  // For a text box's event filter: a box claims the undo and redo keys for its own text
  // whenever it has the focus. While its text is what the pool holds (nothing typed to take
  // back) the key is the window's: the event is passed on, and true returned to filter it out.
  static bool PassUndoKeyOn(QEvent* event, bool boxHoldsStored);

 private:
  QWidget& FWindow;
  QUndoStack* FUndoStack = nullptr;
  TModalRunner FModalRunner;
  int FOwnModal = 0;
  // The activation that comes back when one of our own boxes closes, to be let pass.
  bool FSkipActivation = false;
  bool FTipsDue = true;
};
