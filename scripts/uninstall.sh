#!/usr/bin/env bash
# Undoes cmake --install of a build folder (build/ unless one is given): removes
# every file that the install listed in the folder's install_manifest.txt, then
# the program's folders (PREFIX/lib/quilmorn2008 and those in it) that this
# left empty; a folder that holds anything else stays. Last, brings the
# desktop's caches of MIME types and entries up to date.
# Usage: uninstall.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
manifest=$build/install_manifest.txt
if [[ ! -f $manifest ]]; then
  echo "uninstall: $manifest is missing: nothing was installed from $build" >&2
  exit 1
fi

mapfile -t files <"$manifest"
# The program folder: the one that holds the program itself.
top=""
for file in "${files[@]}"; do
  if [[ $file == */quilmorn2008/Quilmorn2008 ]]; then
    top=${file%/Quilmorn2008}
  fi
done

folders=() mime="" applications=""
for file in "${files[@]}"; do
  [[ -n $file ]] || continue
  rm -f -- "$file"
  if [[ -n $top && $file == "$top"/* ]]; then
    # Every folder from the file's own up to the program folder.
    dir=${file%/*}
    while [[ $dir == "$top"/* ]]; do
      folders+=("$dir")
      dir=${dir%/*}
    done
    folders+=("$top")
  fi
  case $file in
    */mime/packages/quilmorn2008.xml) mime=${file%/packages/*} ;;
    */applications/quilmorn2008.desktop) applications=${file%/*} ;;
  esac
done

# Deepest first, so that a folder is empty of ours when its turn comes.
if ((${#folders[@]})); then
  while IFS= read -r dir; do
    if [[ -d $dir ]] && ! rmdir -- "$dir" 2>/dev/null; then
      echo "uninstall: kept $dir: it holds files that were not installed" >&2
    fi
  done < <(printf '%s\n' "${folders[@]}" | LC_ALL=C sort -ru)
fi

if [[ -n $mime && -d $mime ]] && command -v update-mime-database >/dev/null; then
  update-mime-database "$mime"
fi
if [[ -n $applications && -d $applications ]] && command -v update-desktop-database >/dev/null; then
  update-desktop-database "$applications"
fi
echo "uninstalled what $manifest lists"
