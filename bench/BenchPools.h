#pragma once

#include <QString>

// The large pools of the benchmarks, written through the storage library.
namespace BenchPools {

// Writes a pool of `players` players into `directory`, made if missing: 64 teams listed in an
// order of their own, as they were typed in, the results in up to chart round `playedUpTo`
// (1: none), and every player a complete bracket picked at random. The same count of players
// always makes the same pool.
void Write(const QString& directory, int players, int playedUpTo);

}  // namespace BenchPools
