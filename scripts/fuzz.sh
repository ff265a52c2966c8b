#!/usr/bin/env bash
# Builds the fuzz targets under fuzz/ with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer with float-cast-overflow) in build-fuzz/ and runs
# each for FUZZ_SECONDS (30 by default), seeded with the test fixtures:
#   project_file_fuzz  the project-file reader and writer
#   settings_fuzz      the settings reader and writer
#   open_chain_fuzz    read, calculate, results file, screen figures and both
#                      printed pages, with memory and time per input capped
# A crash fails the script; keep its input as a regression fixture under
# tests/data/project/fuzz/ (project files) or tests/data/settings/fuzz/
# (settings files), which the tests read again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QM_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-30}
jobs=${FUZZ_BUILD_JOBS:-4}

cmake -S "$root/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$jobs"

crashes=$build/crashes
mkdir -p "$crashes"
data=$root/tests/data

seed() {  # seed <corpus> <files...>: copies the files that exist
  local corpus=$1
  shift
  mkdir -p "$corpus"
  local f
  for f in "$@"; do
    [[ -f $f ]] && cp "$f" "$corpus"/
  done
  return 0
}
shopt -s nullglob
seed "$build/corpus/project_file" "$data"/project/*.qmf "$data"/project/fuzz/*
seed "$build/corpus/open_chain" "$data"/project/*.qmf "$data"/project/hostile/* \
  "$data"/project/fuzz/* "$data"/golden/*.qmf "$root"/examples/*.qmf
seed "$build/corpus/settings" "$data"/settings/*.ini "$data"/settings/fuzz/*
shopt -u nullglob

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run() {  # run <target> <corpus> <what>
  local target=$1 corpus=$2 what=$3
  echo "Fuzzing $what for ${seconds} s"
  local status=0
  "$build/$target" "$build/corpus/$corpus" -max_total_time="$seconds" -max_len=16384 \
    -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$crashes/$target-" \
    -print_final_stats=1 >"$build/$target.log" 2>&1 || status=$?
  grep -a -E "DONE|^stat::" "$build/$target.log" || true
  if ((status != 0)); then
    grep -a -m 20 -E "ERROR|SUMMARY|round trip|runtime error|Test unit" "$build/$target.log" >&2 || true
    echo "The fuzz target $target failed; its input is in $crashes/" >&2
    exit "$status"
  fi
}

run project_file_fuzz project_file "ReadProjectFile"
run settings_fuzz settings "LoadSettings and SaveSettings"
run open_chain_fuzz open_chain "the open-file chain (read, calculate, draw)"
