// "Teams.dat" as a damaged or hostile pool may hold it: read, looked up, saved and read back.
#include "FuzzChecks.h"
#include "FuzzPool.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray input = FuzzPool::Bytes(data, size);
  FuzzPool::Write(FuzzPool::NewSystemRecord(), input, QByteArray(""));
  const bool roundTrip = FuzzPool::RoundTrip(input);
  auto pool = FuzzPool::Open(roundTrip ? TFFDataModule::TOpenMode::ReadWrite
                                       : TFFDataModule::TOpenMode::ReadOnly);
  if (!pool) {
    // Refused only for holding too many teams or a value out of range.
    bool inRange = true;
    for (size_t at = 0; at + 52 <= size; at += 52)
      inRange = inRange && FuzzPool::EntryInRange(input.constData() + at + 36);
    FUZZ_CHECK(size / 52 > TTeamsFile::kMaxTeams || !inRange);
    return 0;
  }
  const TTeamsFile& teams = pool->TeamsFile();
  FUZZ_CHECK(teams.Count() == static_cast<int>(size / 52));
  for (const auto& team : teams.List()) {
    FUZZ_CHECK(team->TeamName().size() <= TTeamsFile::kNameWidth);
    FUZZ_CHECK(teams.FindTeam(team->TeamName()) != nullptr);
  }

  if (!roundTrip) {
    pool->ClosePool();
    return 0;
  }

  // Round trip: what a save writes reads back as the same teams.
  struct TTeam {
    QString Name;
    int32_t Region, Seed, Round;
    bool Eliminated;
  };
  std::vector<TTeam> before;
  for (const auto& team : teams.List()) {
    before.push_back(
        {team->TeamName(), team->Region(), team->Seed(), team->RoundReached(), team->Eliminated()});
  }
  pool->TeamsFile().SetModified(true);
  FUZZ_CHECK(pool->SavePool());
  pool->ClosePool();
  auto again = FuzzPool::Open(TFFDataModule::TOpenMode::ReadOnly);
  FUZZ_CHECK(again && again->TeamsFile().Count() == static_cast<int>(before.size()));
  for (size_t i = 0; i < before.size(); ++i) {
    const TTeamSeedObject& team = *again->TeamsFile().Items(static_cast<int>(i));
    FUZZ_CHECK(team.TeamName() == before[i].Name && team.Region() == before[i].Region &&
               team.Seed() == before[i].Seed && team.RoundReached() == before[i].Round &&
               team.Eliminated() == before[i].Eliminated);
  }
  again->ClosePool();
  return 0;
}
