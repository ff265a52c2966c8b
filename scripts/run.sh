#!/usr/bin/env bash
# Installs what is missing, builds the program (no sanitizers) into build/ and
# starts it on the example boring. Further arguments replace the example.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QM_RUN_BUILD_DIR:-$root/build}

bash "$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_SANITIZE=OFF
cmake --build "$build" -j"$(nproc)" --target Quilmorn2008 quorlith qm_help_pages

if [[ $# -gt 0 ]]; then
  exec "$build/bin/Quilmorn2008" "$@"
fi
exec "$build/bin/Quilmorn2008" "$root/examples/example.qmf"
