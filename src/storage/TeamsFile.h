#pragma once

#include <array>

#include "ChartEntry.h"
#include "FileWithList.h"

// One team of the pool: its name and where it stands on the results chart.
class TTeamSeedObject : public TChartEntry {
 public:
  bool Eliminated() const { return FEliminated; }
  void SetEliminated(bool value) { FEliminated = value; }

 private:
  bool FEliminated = false;
};

// "Teams.dat": one 52-byte record per team, in the order the teams were added.
class TTeamsFile : public TFileWithList<TTeamSeedObject> {
 public:
  static constexpr int kRecordSize = 52;
  static constexpr int kNameWidth = 35;
  static inline const QString kFileName = QStringLiteral("Teams.dat");

  TTeamsFile();

  void Open() override;
  void CreateNew() override;
  void ReadRecord() override;
  void WriteRecord() override;
  void Close() override;

  void SetDirectory(const QString& path);
  void SetReadOnly(bool readOnly) { FFile.SetReadOnly(readOnly); }
  int RecordCount() const;
  void LoadAll();
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

  std::array<char, kRecordSize> FBuffer{};
  TTypedFile FFile;
  QString FDirectory;
};

// The trimming FindTeam applies to both names: surrounding blanks and control characters.
QString TrimTeamName(const QString& name);
