#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <vector>

class QJsonArray;
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
  static inline const QString kWrongLink = QStringLiteral(
      "This private link belongs to another entry. Open the link you were given for your "
      "own entry, or send a new entry without a link.");
  // A name the pool has, or a look-alike of one, sent without that entry's link.
  static inline const QString kNameTaken = QStringLiteral(
      "This name already has an entry. To change it, use the private link you were given.");
  static inline const QString kNotSaved = QStringLiteral(
      "The pool could not be saved, so your entry was not taken. Please send it again in a "
      "little while.");

  TEntryDesk(TOpenPool& pool, const TEntryLinks& links, QObject* parent = nullptr);

  // Entries are taken until `closes`; an invalid time takes them until the server stops.
  void SetCloses(const QDateTime& closes) { FCloses = closes; }
  const QDateTime& Closes() const { return FCloses; }
  bool EntriesOpen() const;
  // The entries are pushed here, so that the organiser can take one back.
  QUndoStack* UndoStack() const { return FUndo; }

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

 private:
  struct TTaken {
    QString Name;
    bool Replaced = false;
  };

  THttpReply Refuse(int status, const QString& name, const QJsonArray& problems);
  // The player whose entry `link` opens, among those whose name is the same player's as
  // `name`; null when the link is none of theirs.
  const TPlayerPicksListObject* LinkedPlayer(const QString& name, const QString& link) const;

  TOpenPool& FPool;
  const TEntryLinks& FLinks;
  QUndoStack* FUndo;
  QDateTime FCloses;
  std::vector<TTaken> FBatch;
};
