#pragma once

#include <QStringList>

class TChartEntry;
class TFFDataModule;

// Two entries name the same team at the same place and round.
bool SameChartEntry(const TChartEntry& a, const TChartEntry& b);

// What differs between the pool open here and the same pool's files on disk, as lines to show
// the organiser who chooses between them: the players and teams that only one version has,
// those that differ, and the settings that differ. Players and teams are matched by name.
// Empty when both hold the same.
QStringList PoolDifferences(const TFFDataModule& here, const TFFDataModule& onDisk);
