#include "PlayerPicksFile.h"

#include <QFileInfo>
#include <QHash>
#include <cstring>

#include "Win1252.h"

namespace {
constexpr int kNameAt = 0;
constexpr int kTieBreakerAt = 36;
constexpr int kPicksAt = 40;
constexpr int kPickSize = 48;
constexpr int kPickRegion = 36;
constexpr int kPickSeed = 40;
constexpr int kPickRound = 44;
}  // namespace

std::unique_ptr<TPlayerPicksListObject> TPlayerPicksListObject::CreateFromTeams(
    const TTeamsFile& teams) {
  auto player = std::make_unique<TPlayerPicksListObject>();
  player->LoadFromTeams(teams);
  return player;
}

void TPlayerPicksListObject::LoadFromTeams(const TTeamsFile& teams) {
  const int count = std::min(teams.Count(), kPickCount);
  for (int i = 0; i < count; ++i) {
    const TTeamSeedObject* team = teams.Items(i);
    TPlayerPickArrayObject& pick = FPicks[static_cast<size_t>(i)];
    pick.ShareTeamName(*team);
    pick.SetRegion(team->Region());
    pick.SetSeed(team->Seed());
    pick.SetRoundReached(1);
  }
}

TPlayerPicksFile::TPlayerPicksFile() : TFileWithList(kFileName, kPlayerPicksFileErrorPrefix) {}

void TPlayerPicksFile::Open() {
  Bind();
  // Anything at all under the name (a pipe, a folder) is opened, and refused, as the file.
  if (QFileInfo::exists(FFile.Path()) || QFileInfo(FFile.Path()).isSymLink()) {
    FFile.Reset();
  } else if (!FFile.ReadOnly()) {
    FFile.Rewrite();
    FFile.Sync();
  }
  FIsOpen = true;
  LoadAll();
}

void TPlayerPicksFile::WriteRecord() {
  FFile.Write(FBuffer.data());
}

void TPlayerPicksFile::LoadAll() {
  // Players pick the same 64 teams over and over: decode each distinct name once. Entry i of
  // a player nearly always names the same team as entry i of the player before, so the bytes
  // of that entry are compared first and its name taken over.
  QHash<QByteArray, TPlayerPickArrayObject> names;
  auto decode = [&names](const char* text, int length) -> const TPlayerPickArrayObject& {
    auto it = names.constFind(QByteArray::fromRawData(text, length));
    if (it == names.constEnd()) {
      TPlayerPickArrayObject named;
      named.SetTeamName(Win1252::Decode(text, length));
      it = names.insert(QByteArray(text, length), named);
    }
    return *it;
  };
  std::array<char, kRecordSize> previous{};
  const TPlayerPicksListObject* before = nullptr;

  const int count = CountToLoad(kMaxPlayers, "players");
  FList.reserve(FList.size() + static_cast<size_t>(count));
  for (int p = 0; p < count; ++p) {
    ReadRecord();
    auto player = std::make_unique<TPlayerPicksListObject>();
    player->SetPlayerName(RecordField::ReadString(FBuffer.data() + kNameAt, kNameWidth));
    player->SetTieBreakerPoints(RecordField::ReadInt32(FBuffer.data() + kTieBreakerAt));
    CheckRange(p, QStringLiteral("TieBreakerPoints"), player->TieBreakerPoints(), 0, kMaxGuess);
    for (int i = 0; i < TPlayerPicksListObject::kPickCount; ++i) {
      const int offset = kPicksAt + kPickSize * i;
      const char* at = FBuffer.data() + offset;
      const int length = std::min<int>(static_cast<unsigned char>(at[0]), kNameWidth);
      TPlayerPickArrayObject* pick = player->Pick(i);
      if (before != nullptr && std::memcmp(at, previous.data() + offset, 1 + length) == 0) {
        pick->ShareTeamName(*before->Pick(i));
      } else {
        pick->ShareTeamName(decode(at + 1, length));
      }
      pick->SetRegion(RecordField::ReadInt32(at + kPickRegion));
      pick->SetSeed(RecordField::ReadInt32(at + kPickSeed));
      pick->SetRoundReached(RecordField::ReadInt32(at + kPickRound));
      CheckPick(p, i, *pick);
    }
    before = player.get();
    previous = FBuffer;
    Add(std::move(player));
  }
}

void TPlayerPicksFile::CheckPick(int player, int entry, const TPlayerPickArrayObject& pick) const {
  const auto out = [](int32_t value, int32_t high) { return value < 0 || value > high; };
  // A million players hold 64 million entries: the field is named only when one is wrong.
  if (!out(pick.Region(), TChartEntry::kMaxRegion) && !out(pick.Seed(), TChartEntry::kMaxSeed) &&
      !out(pick.RoundReached(), TChartEntry::kMaxRound)) {
    return;
  }
  const auto field = [entry](const char* name) {
    return QStringLiteral("Picks[%1].%2").arg(entry).arg(QLatin1String(name));
  };
  CheckRange(player, field("Region"), pick.Region(), 0, TChartEntry::kMaxRegion);
  CheckRange(player, field("Seed"), pick.Seed(), 0, TChartEntry::kMaxSeed);
  CheckRange(player, field("RoundReached"), pick.RoundReached(), 0, TChartEntry::kMaxRound);
}

void TPlayerPicksFile::FillBuffer(const TPlayerPicksListObject& player) {
  // From a clean record: what a save writes never depends on the player written before.
  FBuffer.fill(0);
  RecordField::WriteString(FBuffer.data() + kNameAt, kNameWidth, player.PlayerName());
  RecordField::WriteInt32(FBuffer.data() + kTieBreakerAt, player.TieBreakerPoints());
  for (int i = 0; i < TPlayerPicksListObject::kPickCount; ++i) {
    char* at = FBuffer.data() + kPicksAt + kPickSize * i;
    const TPlayerPickArrayObject* pick = player.Pick(i);
    RecordField::WriteString(at, kNameWidth, pick->TeamName());
    RecordField::WriteInt32(at + kPickRegion, pick->Region());
    RecordField::WriteInt32(at + kPickSeed, pick->Seed());
    RecordField::WriteInt32(at + kPickRound, pick->RoundReached());
  }
}

void TPlayerPicksFile::SaveAll() {
  SaveItems(kMaxPlayers, "players",
            [this](const TPlayerPicksListObject& player) { FillBuffer(player); });
}

TPlayerPicksListObject* TPlayerPicksFile::FindPlayer(const QString& name) const {
  for (const auto& player : FList) {
    if (player->PlayerName() == name)
      return player.get();
  }
  return nullptr;
}

TPlayerPicksListObject* TPlayerPicksFile::FindSamePlayer(const QString& name) const {
  const QString key = PoolNames::Key(name);
  for (const auto& player : FList) {
    if (PoolNames::Key(player->PlayerName()) == key)
      return player.get();
  }
  return nullptr;
}
