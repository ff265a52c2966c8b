#!/usr/bin/env bash
# Installs what is missing, builds the program (no sanitizers) into build/ and
# starts it on the user's own copy of the example boring, so that saving never
# writes into the checkout. Further arguments replace the example. The build is
# all that cmake --install takes from build/ (the target qm_program).
# QM_RUN_BUILD_DIR builds elsewhere; QM_RUN_BUILD_ONLY=1 only configures and
# builds (no packages installed, nothing started), as the install test does.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QM_RUN_BUILD_DIR:-$root/build}
build_only=${QM_RUN_BUILD_ONLY:-0}

[[ $build_only == 1 ]] || bash "$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_SANITIZE=OFF
cmake --build "$build" -j"${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" --target qm_program

if [[ $build_only == 1 ]]; then
  exit 0
fi

if [[ $# -gt 0 ]]; then
  exec "$build/bin/Quilmorn2008" "$@"
fi

# The copy is made once; a later run opens it as the user left it.
data=${XDG_DATA_HOME:-}
[[ $data == /* ]] || data=$HOME/.local/share
data=$data/varnholt
example=$data/example.qmf
if [[ ! -e $example ]]; then
  mkdir -p "$data"
  cp "$root/examples/example.qmf" "$example.tmp"
  mv -n "$example.tmp" "$example"
  rm -f "$example.tmp"
fi
exec "$build/bin/Quilmorn2008" "$example"
