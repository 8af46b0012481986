#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <vector>

class QUndoStack;
class TEntryLinks;
class TOpenPool;
class TPlayerPicksListObject;

// One player's entry as the page sends it.
struct TOnlineEntry {
  QString Name;
  // The tie-breaker guess as typed; empty for none.
  QString Guess;
  // The winner of each game, in the order of the picks sheet's columns; empty for none.
  QStringList Winners;
  // The player's private link, when an entry is being changed.
  QString Link;

  // Reads the JSON the page sends. False, with what is wrong in `why`, for anything else.
  static bool FromJson(const QByteArray& body, TOnlineEntry* entry, QString* why);
};

// What the server answers: a status and a JSON body.
struct THttpReply {
  int Status = 200;
  QByteArray Body;
};

// The pool's side of collecting picks online: what the page needs to draw the bracket, and
// the entries, checked as an imported picks sheet is checked and brought into the pool through
// its document. It lives on the thread of the document (the program's user-interface thread);
// the server hands it every request that reads or changes the pool.
class TEntryDesk : public QObject {
  Q_OBJECT

 public:
  static inline const QString kClosed = QStringLiteral("Entries are closed.");
  // Once a game has its winner, an entry could be made in hindsight.
  static inline const QString kTournamentBegun =
      QStringLiteral("Entries are closed: the tournament has begun.");
  // The step an entry is on the undo stack: "Entry of Bea Lindqvist".
  static inline const QString kEntryStep = QStringLiteral("Entry of %1");
  static inline const QString kWrongLink = QStringLiteral(
      "This private link belongs to another entry. Open the link you were given for your "
      "own entry, or send a new entry without a link.");
  // A name the pool has, or a look-alike of one, sent without that entry's link.
  static inline const QString kNameTaken = QStringLiteral(
      "This name already has an entry. To change it, use the private link you were given.");
  static inline const QString kNotSaved = QStringLiteral(
      "The pool could not be saved, so your entry was not taken. Please send it again in a "
      "little while.");
  static inline const QString kNotSavedBecause =
      QStringLiteral("The pool could not be saved, so the entry was not taken: %1");
  static inline const QString kStepNotSaved =
      QStringLiteral("The pool could not be saved, so the entry of \"%1\" is as it was.");
  static inline const QString kNameTakenSince =
      QStringLiteral("The pool has a player named \"%1\" again, so that entry cannot be put back.");
  static inline const QString kPlayerGone = QStringLiteral(
      "\"%1\" is no longer a player of the pool, so the change of that entry cannot be taken "
      "back or made again.");

  TEntryDesk(TOpenPool& pool, TEntryLinks& links, QObject* parent = nullptr);

  // Indexes the links of every player of the pool, after the links' key was read; the players
  // that come later are indexed as they come.
  void IndexLinks();

  // Entries are taken until `closes`, and until a game of the results chart has its winner;
  // an invalid time takes them until then or until the server stops.
  void SetCloses(const QDateTime& closes) { FCloses = closes; }
  const QDateTime& Closes() const { return FCloses; }
  bool EntriesOpen() const { return ClosedReason().isEmpty(); }
  // Why entries are closed, as the players are told; empty while they are open.
  QString ClosedReason() const;
  // Each entry taken is a step here, named after its player.
  QUndoStack* UndoStack() const { return FUndo; }
  // Takes the last entry taken back out of the pool (its player gone, or the player's picks
  // as they were before), or makes again the last one taken back, and saves the pool at once
  // as an entry is saved. False, with the pool as it was and why in `why`, when the player
  // has gone or its name has been taken since, or the pool cannot be saved; false with `why`
  // empty when there is nothing to take back or make again.
  bool UndoEntry(QString* why) { return StepEntry(true, why); }
  bool RedoEntry(QString* why) { return StepEntry(false, why); }

  // The pool's name, brackets, teams and games for the page, and, with the private link of an
  // entry in the pool, that entry.
  THttpReply Data(const QString& link) const;
  // Checks the entry and brings it into the pool; it is saved by Commit.
  THttpReply Take(const TOnlineEntry& entry);
  // Saves the pool with the entries taken since the last Commit and tells of them. When the
  // pool cannot be saved they are taken out again and false is returned.
  bool Commit();

 signals:
  void EntryTaken(const QString& name, bool replaced);
  void EntryRefused(const QString& name, const QString& why);
  // An entry taken back by the organiser, or made again.
  void EntryUndone(const QString& name, bool replaced);
  void EntryRedone(const QString& name, bool replaced);

 private:
  struct TTaken {
    QString Name;
    bool Replaced = false;
  };

  // What is wrong with an entry, for the page to show by the field it is about.
  struct TProblem {
    TProblem(const QString& field, const QString& text, int game = -1, const QString& existing = {})
        : Field(field), Text(text), Game(game), Existing(existing) {}
    QString Field;  // "entry", "name", "guess" or "game"
    QString Text;
    // Of a game: its place in the sheet's order.
    int Game;
    // Of a name taken: the pool's player's name.
    QString Existing;
  };

  THttpReply Refuse(int status, const QString& name, const std::vector<TProblem>& problems);
  bool StepEntry(bool undo, QString* why);
  // The player whose entry `link` opens, among those whose name is the same player's as
  // `name`; null when the link is none of theirs.
  const TPlayerPicksListObject* LinkedPlayer(const QString& name, const QString& link) const;

  TOpenPool& FPool;
  TEntryLinks& FLinks;
  QUndoStack* FUndo;
  QDateTime FCloses;
  std::vector<TTaken> FBatch;
  // The entry of each step of FUndo, in the stack's order.
  std::vector<TTaken> FSteps;
};
