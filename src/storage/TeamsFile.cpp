#include "TeamsFile.h"

#include "Text.h"

#include "Win1252.h"

namespace {
constexpr int kNameAt = 0;
constexpr int kRegionAt = 36;
constexpr int kSeedAt = 40;
constexpr int kRoundAt = 44;
constexpr int kEliminatedAt = 48;
}  // namespace

QString TrimTeamName(const QString& name) {
  return TrimBlanksAndControls(name);
}

TTeamsFile::TTeamsFile() : TFileWithList(kFileName, kTeamsFileErrorPrefix) {}

void TTeamsFile::Open() {
  Bind();
  FFile.Reset();
  FIsOpen = true;
  LoadAll();
}

void TTeamsFile::WriteRecord() {
  FFile.Write(FBuffer.data());
  BlankBuffer();
}

void TTeamsFile::LoadAll() {
  const int count = CountToLoad(kMaxTeams, "teams");
  for (int i = 0; i < count; ++i) {
    ReadRecord();
    CheckRange(i, QStringLiteral("Region"), BufferRegion(), 0, TChartEntry::kMaxRegion);
    CheckRange(i, QStringLiteral("Seed"), BufferSeed(), 0, TChartEntry::kMaxSeed);
    CheckRange(i, QStringLiteral("RoundReached"), BufferRoundReached(), 0, TChartEntry::kMaxRound);
    auto team = std::make_unique<TTeamSeedObject>();
    team->SetTeamName(BufferTeamName());
    team->SetRegion(BufferRegion());
    team->SetSeed(BufferSeed());
    team->SetRoundReached(BufferRoundReached());
    team->SetEliminated(BufferEliminated());
    Add(std::move(team));
  }
}

void TTeamsFile::SaveAll() {
  // Start from a blank record, as every later record does, so that what a save writes never
  // depends on what was read before it.
  BlankBuffer();
  SaveItems(kMaxTeams, "teams", [this](const TTeamSeedObject& team) {
    SetBufferTeamName(team.TeamName().left(kNameWidth));
    SetBufferRegion(team.Region());
    SetBufferSeed(team.Seed());
    SetBufferRoundReached(team.RoundReached());
    SetBufferEliminated(team.Eliminated());
  });
}

TTeamSeedObject* TTeamsFile::FindTeam(const QString& name) const {
  const QString wanted = TrimTeamName(name);
  for (const auto& team : FList) {
    if (TrimTeamName(team->TeamName()) == wanted)
      return team.get();
  }
  return nullptr;
}

void TTeamsFile::BlankBuffer() {
  FBuffer.fill(0);
  FBuffer[kNameAt] = kNameWidth;
  std::fill(FBuffer.begin() + 1, FBuffer.begin() + 1 + kNameWidth, ' ');
}

QString TTeamsFile::BufferTeamName() const {
  return RecordField::ReadString(FBuffer.data() + kNameAt, kNameWidth);
}
int32_t TTeamsFile::BufferRegion() const {
  return RecordField::ReadInt32(FBuffer.data() + kRegionAt);
}
int32_t TTeamsFile::BufferSeed() const {
  return RecordField::ReadInt32(FBuffer.data() + kSeedAt);
}
int32_t TTeamsFile::BufferRoundReached() const {
  return RecordField::ReadInt32(FBuffer.data() + kRoundAt);
}
bool TTeamsFile::BufferEliminated() const {
  return FBuffer[kEliminatedAt] != 0;
}

void TTeamsFile::SetBufferTeamName(const QString& value) {
  if (value == BufferTeamName())
    return;
  RecordField::WriteString(FBuffer.data() + kNameAt, kNameWidth, value);
  FModified = true;
}

void TTeamsFile::SetBufferInt(int offset, int32_t value) {
  if (RecordField::ReadInt32(FBuffer.data() + offset) == value)
    return;
  RecordField::WriteInt32(FBuffer.data() + offset, value);
  FModified = true;
}

void TTeamsFile::SetBufferRegion(int32_t value) {
  SetBufferInt(kRegionAt, value);
}
void TTeamsFile::SetBufferSeed(int32_t value) {
  SetBufferInt(kSeedAt, value);
}
void TTeamsFile::SetBufferRoundReached(int32_t value) {
  SetBufferInt(kRoundAt, value);
}

void TTeamsFile::SetBufferEliminated(bool value) {
  if (BufferEliminated() == value)
    return;
  FBuffer[kEliminatedAt] = value ? 1 : 0;
  FModified = true;
}
