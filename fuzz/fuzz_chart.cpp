// A whole pool from the input, put on the charts and scored: the settings record, then two
// bytes giving the length of the teams file, the teams file and the player picks file.
#include "BracketList.h"
#include "FuzzChecks.h"
#include "FuzzPool.h"
#include "StandingsByPoints.h"
#include "StandingsByPotential.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!FuzzPool::WriteWhole(FuzzPool::Bytes(data, size)))
    return 0;
  auto pool = FuzzPool::Open(TFFDataModule::TOpenMode::ReadOnly);
  if (!pool)
    return 0;

  TBracketList results;
  results.PlaceTeams(pool->TeamsFile());
  FUZZ_CHECK(results.Count() == TBracketList::kSlotCount);
  for (const auto& player : pool->PlayerPicksFile().List()) {
    TBracketList picks;
    picks.PlaceTeams(*player);
  }

  TStandingsWithFinal4 points;
  points.Build(*pool);
  TPotentialWithFinal4 potential;
  potential.Build(*pool);
  FUZZ_CHECK(points.Items().size() == static_cast<size_t>(pool->PlayerPicksFile().Count()));
  FUZZ_CHECK(potential.Items().size() == points.Items().size());
  pool->ClosePool();
  return 0;
}
