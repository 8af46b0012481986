#pragma once

#include <QStringList>
#include <QWidget>
#include <memory>

class QAction;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class TOpenPool;
class TLiveServer;
class TPicksServer;

// File > Collect Picks Online...: serves the pick-entry page of the open pool on the address
// the organiser chooses, shows the address to hand out, the closing time and the entries as
// they come in. Closing the window stops the server.
class TfrmCollectPicks : public QWidget {
  Q_OBJECT

 public:
  static inline const QString kCaption = QStringLiteral("Collect Picks Online");
  static inline const QString kThisComputerOnly = QStringLiteral("%1 (this computer only)");
  static inline const QString kCollecting = QStringLiteral("Taking entries until %1.");
  static inline const QString kCollectingNoEnd = QStringLiteral("Taking entries until you stop.");
  static inline const QString kClosed = QStringLiteral("Entries are closed since %1.");
  static inline const QString kServingStandings = QStringLiteral(
      "Entries are closed: serving the standings, read-only. Results show on the page once the "
      "pool is saved.");
  static inline const QString kStopped = QStringLiteral(
      "Not serving. Choose the address and the "
      "closing time, then Start.");
  static inline const QString kCount =
      QStringLiteral("New entries: %1    Changed: %2    Refused: %3");
  static inline const QString kClosesInPast =
      QStringLiteral("The closing time has passed already. Choose a later one.");
  // Entries close when the first game tips off, which only the organiser knows.
  static inline const QString kClosesNotChosen = QStringLiteral("First game's tip-off?");
  static inline const QString kAskCloses = QStringLiteral(
      "When does the first game tip off? Entries close then: enter its date and time under "
      "\"Entries close\".");
  static inline const QString kDateFormat = QStringLiteral("yyyy-MM-dd HH:mm");
  // Who of the invited has not entered yet (the list beside the pool, Invited.txt).
  static inline const QString kNoInvited =
      QStringLiteral("Invited...: the list of the people invited, to see who has not entered.");
  static inline const QString kAllEntered = QStringLiteral("All %1 invited have entered.");
  static inline const QString kMissing = QStringLiteral("Not entered yet, %1 of %2 invited: %3");
  static inline const QString kInvitedTitle = QStringLiteral("The People Invited");
  static inline const QString kInvitedFilter =
      QStringLiteral("Text files, one name a line (*.txt);;All files (*)");
  // Where the address and port last served are kept.
  static inline const QString kSettingsKey = QStringLiteral("Tarnwell\\Courtsider\\Collect Picks");
  static inline const QString kAddressValue = QStringLiteral("Address");
  static inline const QString kPortValue = QStringLiteral("Port");

  TfrmCollectPicks(TOpenPool& pool, QWidget* parent = nullptr);
  ~TfrmCollectPicks() override;

  TPicksServer& Server() { return *FServer; }
  // The standings served once entries are closed; null while they are not served.
  const TLiveServer* Standings() const { return FStandings.get(); }
  // This machine's addresses that players can reach, the office network's first and this
  // computer's own (loopback) last.
  static QStringList LocalAddresses();

  void btnStartClick();
  void btnStopClick();
  // Reads the list of the invited from a file of one name a line.
  void btnInvitedClick();
  // Takes the last entry back out of the pool, or makes it again; saved at once.
  void actUndoExecute();
  void actRedoExecute();
  void FormActivate();
  void FormClose();

  QComboBox* cbxAddress;
  QSpinBox* edtPort;
  QDateTimeEdit* edtCloses;
  QPushButton* btnStart;
  QPushButton* btnStop;
  QPushButton* btnUndo;
  QPushButton* btnRedo;
  QPushButton* btnClose;
  QPushButton* btnInvited;
  QLabel* lblMissing;
  QLabel* lblUrl;
  QLabel* lblState;
  QLabel* lblCount;
  QListWidget* lstEntries;
  QAction* actUndo;
  QAction* actRedo;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void ShowState();
  void ShowMissing();
  // The undo and redo commands name the entry they take back or make again.
  void ShowSteps();
  void Log(const QString& line);
  // The address and port last served, offered again.
  void RestoreAddress();
  void StoreAddress();

  TOpenPool& FPool;
  // Once entries are closed the same address serves the standings, read-only.
  void ServeStandings(const QString& address, quint16 port);
  bool Serving() const;

  TPicksServer* FServer;
  std::unique_ptr<TLiveServer> FStandings;
  int FNew = 0;
  int FChanged = 0;
  int FRefused = 0;
};
