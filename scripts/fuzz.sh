#!/usr/bin/env bash
# Builds the fuzz targets under fuzz/ with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs each for FUZZ_SECONDS
# (30 by default), seeded with the project-file fixtures. A crash fails the
# script; keep its input under tests/data/project/fuzz/ as a fixture.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QM_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-30}

cmake -S "$root/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j4

corpus=$build/corpus/project_file
crashes=$build/crashes
mkdir -p "$corpus" "$crashes"
cp "$root"/tests/data/project/*.qmf "$corpus"/
cp "$root"/tests/data/project/fuzz/* "$corpus"/ 2>/dev/null || true

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
echo "Fuzzing ReadProjectFile for ${seconds} s"
"$build/project_file_fuzz" "$corpus" -max_total_time="$seconds" -max_len=16384 \
  -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$crashes/" -print_final_stats=1 2>&1 |
  tail -n 25
status=${PIPESTATUS[0]}
if ((status != 0)); then
  echo "The fuzz target failed; its input is in $crashes/" >&2
  exit "$status"
fi
