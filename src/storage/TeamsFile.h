#pragma once

#include "ChartEntry.h"
#include "FileWithList.h"
#include "PoolNames.h"

// One team of the pool: its name and where it stands on the results chart.
class TTeamSeedObject : public TChartEntry {
 public:
  bool Eliminated() const { return FEliminated; }
  void SetEliminated(bool value) { FEliminated = value; }

 private:
  bool FEliminated = false;
};

// "Teams.dat": one 52-byte record per team, in the order the teams were added.
class TTeamsFile : public TFileWithList<TTeamSeedObject, 52> {
 public:
  static constexpr int kNameWidth = PoolNames::kNameWidth;
  // A chart has a first-round line for each region and seed; a file with more records is not
  // a pool's.
  static constexpr int kMaxTeams = TChartEntry::kMaxRegion * TChartEntry::kMaxSeed;
  static inline const QString kFileName = QStringLiteral("Teams.dat");

  TTeamsFile();

  void Open() override;
  void WriteRecord() override;

  void LoadAll();
  // Writes every team into the file's staged copy; throws EInOutError.
  void SaveAll();
  // The first team whose name, trimmed of blanks and control characters, equals `name`
  // trimmed the same way (case counts); nullptr when none does.
  TTeamSeedObject* FindTeam(const QString& name) const;

  // The one-record buffer. Each setter marks the file modified only when the value changes;
  // the name is compared uncut.
  QString BufferTeamName() const;
  int32_t BufferRegion() const;
  int32_t BufferSeed() const;
  int32_t BufferRoundReached() const;
  bool BufferEliminated() const;
  void SetBufferTeamName(const QString& value);
  void SetBufferRegion(int32_t value);
  void SetBufferSeed(int32_t value);
  void SetBufferRoundReached(int32_t value);
  void SetBufferEliminated(bool value);

 private:
  void BlankBuffer();
  void SetBufferInt(int offset, int32_t value);
};

// The trimming FindTeam applies to both names: surrounding blanks and control characters.
QString TrimTeamName(const QString& name);
