#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <memory>

#include "FFDataModule.h"

// Helpers that build pools for tests, in memory or in a temporary folder.
namespace TestPools {

// A new, empty pool created in `directory` (the folder must exist), without its lock: a test
// builds the pool it then opens.
std::unique_ptr<TFFDataModule> CreatePool(const QString& directory);
// A pool opened from `directory` to change it, holding its lock.
std::unique_ptr<TFFDataModule> OpenPool(const QString& directory);
// A pool opened from `directory` only to look at it, as while a window holds it.
std::unique_ptr<TFFDataModule> OpenReadOnly(const QString& directory);

// Adds a team with the given name and place; returns it.
TTeamSeedObject* AddTeam(TTeamsFile& teams, const QString& name, int region = 0, int seed = 0,
                         int roundReached = 0, bool eliminated = false);
// Adds the 64 teams of a full chart, named "R<region>S<seed>", each on its first-round line.
void AddFullField(TTeamsFile& teams);
// A pool of the 64 teams of AddFullField saved in `directory` (made when missing) and closed,
// its first round locked or not. Returns the directory.
QString SaveFullPool(const QString& directory, bool locked);
// Adds a player created from the pool's teams (every entry at round 1).
TPlayerPicksListObject* AddPlayer(TFFDataModule& pool, const QString& name, int tieBreaker = 0);
// The same, with the teams named advanced to the chart rounds given.
TPlayerPicksListObject* AddPicks(TFFDataModule& pool, const QString& name, int tieBreaker,
                                 const QList<QPair<QString, int>>& picks);

// On AddFullField's chart, a tournament true to the chart up to chart round `upTo`: the upper
// line of every game wins (R1S1 is champion, R3S1 runner-up, R2S1 and R4S1 lose in the last
// four, R1S8 in round 2, R1S16 in round 1), the losers of the games played are out.
void PlayUpperLinesUpTo(TFFDataModule& pool, int upTo);
// The name of the team on first-round line j (0..63) of AddFullField's chart.
QString LineTeam(int j);

QByteArray ReadBytes(const QString& path);
void WriteBytes(const QString& path, const QByteArray& bytes);

}  // namespace TestPools
