#pragma once

#include <array>

#include "ChartEntry.h"
#include "FileWithList.h"
#include "TeamsFile.h"

// One pick entry of a player: a team and the chart round to which the player advances it.
class TPlayerPickArrayObject : public TChartEntry {};

// One player: name, tie-breaker guess and an entry for each team a pool can hold. The
// setters mark nothing modified; the window that edits a player marks the file.
class TPlayerPicksListObject {
 public:
  static constexpr int kPickCount = TTeamsFile::kMaxTeams;

  TPlayerPicksListObject() = default;
  // A new player whose entries name the given teams, in list order, each at round 1.
  static std::unique_ptr<TPlayerPicksListObject> CreateFromTeams(const TTeamsFile& teams);
  void LoadFromTeams(const TTeamsFile& teams);

  const QString& PlayerName() const { return FPlayerName; }
  void SetPlayerName(const QString& value) { FPlayerName = value; }
  int32_t TieBreakerPoints() const { return FTieBreakerPoints; }
  void SetTieBreakerPoints(int32_t value) { FTieBreakerPoints = value; }

  // Entry i, 0..63.
  TPlayerPickArrayObject* Pick(int i) { return &FPicks.at(static_cast<size_t>(i)); }
  const TPlayerPickArrayObject* Pick(int i) const { return &FPicks.at(static_cast<size_t>(i)); }
  const std::array<TPlayerPickArrayObject, kPickCount>& Picks() const { return FPicks; }

 private:
  QString FPlayerName;
  int32_t FTieBreakerPoints = 0;
  std::array<TPlayerPickArrayObject, kPickCount> FPicks;
};

// "PlayPick.dat": one 3112-byte record per player, in the order the players were added.
class TPlayerPicksFile : public TFileWithList<TPlayerPicksListObject, 3112> {
 public:
  static constexpr int kNameWidth = PoolNames::kNameWidth;
  // Far beyond any office pool, yet small enough to load: a file that claims more players is
  // refused rather than read.
  static constexpr int kMaxPlayers = 1000000;
  // A guess of the championship game's total points, as every window takes it: 0 to 999.
  static constexpr int32_t kMaxGuess = 999;
  static inline const QString kFileName = QStringLiteral("PlayPick.dat");

  TPlayerPicksFile();

  void Open() override;
  void WriteRecord() override;

  void LoadAll();
  // Writes every player into the file's staged copy; throws EInOutError.
  void SaveAll();
  // The first player whose name equals `name` exactly; nullptr when none does.
  TPlayerPicksListObject* FindPlayer(const QString& name) const;
  // The first player whose name is the same player's as `name` (PoolNames::Key): "Bea",
  // " bea" and "BEA" are one person. nullptr when none is.
  TPlayerPicksListObject* FindSamePlayer(const QString& name) const;

 private:
  // Refuses the file when entry `entry` of player `player` holds a value out of range.
  void CheckPick(int player, int entry, const TPlayerPickArrayObject& pick) const;
  void FillBuffer(const TPlayerPicksListObject& player);
};
