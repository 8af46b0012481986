#pragma once

#include <QUndoCommand>
#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "OpenPool.h"
#include "PlayerPicksFile.h"

// The undo commands behind the document's edit operations. Each keeps what it needs to put
// back exactly the stored values its edit changed; the first redo does the edit itself, later
// ones put back the values the edit left. Removed teams and players are kept by the command
// while they are out of the list, never freed, so undo can put the same object back where it
// was.

class TPoolCommand : public QUndoCommand {
 public:
  // The one player the edit changes, or null (TOpenPool::PlayerOf).
  virtual const TPlayerPicksListObject* Player() const { return nullptr; }

 protected:
  TPoolCommand(TOpenPool& pool, const QString& text) : QUndoCommand(text), FPool(pool) {}
  TOpenPool& FPool;
};

// An edit of where the teams stand: placing, advancing, removing from a slot, clearing the
// chart. The edit moves the teams; the command then works out who has lost from the chart, and
// keeps every team's region, seed, round reached and eliminated flag from before and after.
class TTeamsCommand : public TPoolCommand {
 public:
  TTeamsCommand(TOpenPool& pool, const QString& text, std::function<void()> edit);
  void redo() override;
  void undo() override;

 private:
  struct TPlace {
    TTeamSeedObject* Team;
    int32_t Region, Seed, RoundReached;
    bool Eliminated;
    bool operator==(const TPlace& o) const {
      return Team == o.Team && Region == o.Region && Seed == o.Seed &&
             RoundReached == o.RoundReached && Eliminated == o.Eliminated;
    }
  };
  std::vector<TPlace> Snapshot() const;
  void Apply(const std::vector<TPlace>& places);

  std::function<void()> FEdit;
  std::vector<TPlace> FBefore;
  std::vector<TPlace> FAfter;
  bool FDone = false;
};

// An item added to one of the pool's lists or taken out of it. While it is out of the list the
// command holds it; put back, it goes where it was.
template <class TItem, class TFile>
class TListCommand : public TPoolCommand {
 public:
  void redo() override {
    if (FAdding) {
      PutIn();
    } else {
      TakeOut();
    }
  }
  void undo() override {
    if (FAdding) {
      TakeOut();
    } else {
      PutIn();
    }
  }

 protected:
  TItem* Item() const { return FItem; }
  // Adds `item` at the end of the list.
  TListCommand(TOpenPool& pool, const QString& text, std::unique_ptr<TItem> item)
      : TPoolCommand(pool, text), FAdding(true), FItem(item.get()), FHeld(std::move(item)) {}
  // Takes `item` out of the list.
  TListCommand(TOpenPool& pool, const QString& text, TItem* item)
      : TPoolCommand(pool, text), FAdding(false), FItem(item) {}

  virtual TFile& File() const = 0;
  // The item at `index` is about to leave the list: whoever points at it is told.
  virtual void Leaving(TItem* /*item*/, int /*index*/) {}
  // After the item left the list from `index`, or came into it there.
  virtual void Left(int index) = 0;
  virtual void Came(int index) = 0;

 private:
  void PutIn() {
    TFile& file = File();
    const int index = std::clamp(FIndex < 0 ? file.Count() : FIndex, 0, file.Count());
    file.Insert(index, std::move(FHeld));
    file.SetModified(true);
    Came(index);
  }
  void TakeOut() {
    TFile& file = File();
    const auto& list = file.List();
    const auto at = std::find_if(list.begin(), list.end(),
                                 [this](const auto& item) { return item.get() == FItem; });
    FIndex = static_cast<int>(at - list.begin());
    Leaving(FItem, FIndex);
    FHeld = file.Remove(FItem);
    Left(FIndex);
  }

  const bool FAdding;
  TItem* const FItem;
  std::unique_ptr<TItem> FHeld;
  int FIndex = -1;
};

// A team added to the list or taken out of it.
class TTeamListCommand : public TListCommand<TTeamSeedObject, TTeamsFile> {
 public:
  TTeamListCommand(TOpenPool& pool, std::unique_ptr<TTeamSeedObject> team);
  TTeamListCommand(TOpenPool& pool, TTeamSeedObject* team);

 protected:
  TTeamsFile& File() const override;
  void Left(int index) override;
  void Came(int index) override;
};

// An edit of one player: picks, guess, Clear Brackets. Keeps the guess and all 64 entries
// from before and after. An edit that changed nothing (a team dropped where it stood) is no
// step to undo: it leaves nothing on the stack.
class TPlayerCommand : public TPoolCommand {
 public:
  TPlayerCommand(TOpenPool& pool, const QString& text, TPlayerPicksListObject* player,
                 std::function<void()> edit);
  const TPlayerPicksListObject* Player() const override { return FPlayer; }
  void redo() override;
  void undo() override;

 private:
  struct TState {
    int32_t TieBreakerPoints = 0;
    std::array<TPlayerPickArrayObject, TPlayerPicksListObject::kPickCount> Picks;
  };
  TState Snapshot() const;
  void Apply(const TState& state);
  bool Changed() const;

  TPlayerPicksListObject* FPlayer;
  std::function<void()> FEdit;
  TState FBefore;
  TState FAfter;
  bool FDone = false;
};

// A player added to the list or deleted from it.
class TPlayerListCommand : public TListCommand<TPlayerPicksListObject, TPlayerPicksFile> {
 public:
  TPlayerListCommand(TOpenPool& pool, std::unique_ptr<TPlayerPicksListObject> player);
  TPlayerListCommand(TOpenPool& pool, TPlayerPicksListObject* player);
  const TPlayerPicksListObject* Player() const override { return Item(); }

 protected:
  TPlayerPicksFile& File() const override;
  void Leaving(TPlayerPicksListObject* player, int index) override;
  void Left(int index) override;
  void Came(int index) override;
};

// Players brought in from outside at once: new ones appended, existing ones given new picks.
// One command for them all, so that a sheet of thousands of players is one step to undo and
// tells the windows once.
class TImportPlayersCommand : public TPoolCommand {
 public:
  TImportPlayersCommand(TOpenPool& pool, std::vector<TIncomingPlayer> players);
  void redo() override;
  void undo() override;

 private:
  struct TReplaced {
    TPlayerPicksListObject* Player;
    TPlayerPicksListObject Before;
    TPlayerPicksListObject After;
  };
  // Gives `player` the guess and picks of `from`.
  static void TakePicks(TPlayerPicksListObject& player, const TPlayerPicksListObject& from);
  // After the players came in or left: the replaced ones changed.
  void Told();

  // The new players while they are out of the list, and which they are.
  std::vector<std::unique_ptr<TPlayerPicksListObject>> FHeld;
  std::vector<TPlayerPicksListObject*> FAdded;
  std::vector<TReplaced> FReplaced;
};

// A team's new name, carried into every entry of every player that names it. Names are one
// team's each, so undo is the same rename the other way.
class TRenameTeamCommand : public TPoolCommand {
 public:
  TRenameTeamCommand(TOpenPool& pool, TTeamSeedObject* team, const QString& newName);
  void redo() override { Rename(FOld, FNew); }
  void undo() override { Rename(FNew, FOld); }

 private:
  void Rename(const QString& from, const QString& to);

  TTeamSeedObject* FTeam;
  QString FOld;
  QString FNew;
};

// A new list of the invited, and the old one to put back.
class TInvitedCommand : public TPoolCommand {
 public:
  TInvitedCommand(TOpenPool& pool, const QStringList& names);
  void redo() override { Apply(FAfter); }
  void undo() override { Apply(FBefore); }

 private:
  void Apply(const QStringList& names);

  QStringList FBefore;
  QStringList FAfter;
};

// A change of the pool's settings: the options or the actual tie-breaker total. Keeps the
// stored bytes of both from before and after.
class TOptionsCommand : public TPoolCommand {
 public:
  TOptionsCommand(TOpenPool& pool, const QString& text, const TPoolOptions& options,
                  int32_t tieBreakerPoints);
  void redo() override;
  void undo() override;

 private:
  struct TBytes {
    QByteArray Settings;
    QByteArray TieBreaker;
    TScoringRule ScoringRule = ScoringRules::kDefault;
    Prizes::TPrizes Prizes;
  };
  TBytes Snapshot() const;
  void Apply(const TBytes& bytes);
  // Tells what changed since `was`.
  void Tell(const TPoolOptions& was, int32_t tieBreakerWas);

  TPoolOptions FOptions;
  int32_t FTieBreakerPoints;
  TBytes FBefore;
  TBytes FAfter;
  bool FDone = false;
};
