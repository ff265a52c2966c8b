#!/usr/bin/env bash
# Installs what is missing, builds the program (no sanitizers) into build/ and
# starts it on the user's own copy of the example boring, so that saving never
# writes into the checkout. Further arguments replace the example.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QM_RUN_BUILD_DIR:-$root/build}

bash "$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_SANITIZE=OFF
cmake --build "$build" -j"$(nproc)" --target Quilmorn2008 quorlith qm_help_pages

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
