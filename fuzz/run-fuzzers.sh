#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ and runs each for a given time.
#   fuzz/run-fuzzers.sh [SECONDS] [TARGET ...]
# SECONDS is per target (60 by default); the targets are system_file, teams_file,
# player_picks_file, chart, picks_import, outlook and entry_request (all by default). Each
# starts from the corpus kept in the repository (fuzz/corpus/TARGET) and keeps what it learns
# in build-fuzz/corpus/TARGET. An input that makes a target fail is left in
# build-fuzz/findings/TARGET/; once the fault is fixed, add it to fuzz/corpus/TARGET so that
# the test run replays it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
EACH=${1:-60}
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] &&
  TARGETS=(system_file teams_file player_picks_file chart picks_import outlook entry_request)
JOBS=$(nproc 2>/dev/null || echo 2)

CC=clang CXX=clang++ cmake -S "$ROOT" -B "$ROOT/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCOURTSIDER_FUZZ=ON -DCOURTSIDER_TESTS=OFF >/dev/null
cmake --build "$ROOT/build-fuzz" -j "$JOBS" --target "${TARGETS[@]/#/fuzz_}"

status=0
for target in "${TARGETS[@]}"; do
  mkdir -p "build-fuzz/corpus/$target" "build-fuzz/findings/$target"
  echo "== $target: $EACH s"
  if ! QT_QPA_PLATFORM=offscreen "build-fuzz/bin/fuzz_$target" \
      "build-fuzz/corpus/$target" "fuzz/corpus/$target" \
      -max_total_time="$EACH" -print_final_stats=1 -rss_limit_mb=4096 \
      -artifact_prefix="build-fuzz/findings/$target/" >"build-fuzz/$target.log" 2>&1; then
    echo "   FAILED: see build-fuzz/$target.log and build-fuzz/findings/$target/"
    status=1
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' \
    "build-fuzz/$target.log" | sed 's/^/   /'
  grep -E '#[0-9]+.*(DONE|cov:)' "build-fuzz/$target.log" | tail -1 | sed 's/^/   /'
done
exit $status
