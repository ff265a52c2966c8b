#!/usr/bin/env bash
# Installs what is missing, builds with sanitizers and warnings as errors,
# runs every test, then the fuzz targets, and ends with the summary of both.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QM_BUILD_DIR:-$root/build-ci}

bash "$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_SANITIZE=ON -DQM_WERROR=ON
cmake --build "$build" -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
summary=$build/test-summary.txt
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" | tee "$summary"

# The fuzzers' output would bury the tests' summary: it is told again last.
fuzzing="the fuzz targets were not run (no clang++)"
if [[ -x "$root/scripts/fuzz.sh" ]] && command -v clang++ >/dev/null; then
  bash "$root/scripts/fuzz.sh"
  fuzzing="the fuzz targets ran without a failure"
fi
echo
echo "Summary:"
grep -E "tests passed|Total Test time" "$summary"
echo "$fuzzing"
