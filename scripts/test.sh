#!/usr/bin/env bash
# Installs what is missing, builds with sanitizers and warnings as errors,
# and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QM_BUILD_DIR:-$root/build-ci}

bash "$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_SANITIZE=ON -DQM_WERROR=ON
cmake --build "$build" -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"

if [[ -x "$root/scripts/fuzz.sh" ]] && command -v clang++ >/dev/null; then
  bash "$root/scripts/fuzz.sh"
fi
