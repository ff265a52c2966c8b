#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what a desktop needs of it:
# the program, its library, help pages and manual in the folder the program
# looks in (its own), a valid desktop entry that starts it on the file it is
# given, and a well-formed MIME type that claims *.qmf. Then starts the
# installed program on a project under a headless display for a few seconds:
# it must keep running, with the judgement library loaded from its folder.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
work=$build/test-output/install
rm -rf "$work"
mkdir -p "$work"
prefix="$work/prefix with blank"
fail() { echo "FAIL: $*" >&2; exit 1; }
well_formed() { python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' "$1"; }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log" >&2; fail "cmake --install"; }

program=$prefix/bin/Quilmorn2008
[[ -x $program ]] || fail "no $program"
folder=$(dirname "$(readlink -f "$program")")
[[ $folder == "$prefix/lib/quilmorn2008" ]] || fail "program folder is $folder"
for f in Quilmorn2008 libquorlith.so HELP/index.htm HELP/getting_started.htm \
  HELP/results.htm HELP/printing.htm manual/pdf.htm manual/Quilmorn2008.pdf; do
  [[ -s $folder/$f ]] || fail "missing $folder/$f"
done
# Every help page of the source is installed.
for page in "$source"/program/resources/help/*.htm; do
  cmp -s "$page" "$folder/HELP/$(basename "$page")" || fail "help page $(basename "$page")"
done
head -c 5 "$folder/manual/Quilmorn2008.pdf" | grep -q '%PDF-' || fail "the manual is no PDF"

entry=$prefix/share/applications/quilmorn2008.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate $entry"
grep -qx "Exec=\"$program\" %f" "$entry" || fail "Exec of $entry: $(grep Exec "$entry")"
grep -qx 'MimeType=application/x-quilmorn2008;' "$entry" || fail "MimeType of $entry"
grep -q '^Name\[ja\]=Vekt／Quilmorn2008' "$entry" || fail "Japanese name of $entry"
grep -q '^Categories=.*Engineering;' "$entry" || fail "category of $entry"
[[ -s $prefix/share/icons/hicolor/scalable/apps/quilmorn2008.svg ]] || fail "no icon"
well_formed "$prefix/share/icons/hicolor/scalable/apps/quilmorn2008.svg" || fail "icon SVG"

types=$prefix/share/mime/packages/quilmorn2008.xml
well_formed "$types" || fail "MIME XML $types"
update-mime-database "$prefix/share/mime" 2>/dev/null
grep -qx 'application/x-quilmorn2008:\*.qmf' <(cut -d: -f2,3 "$prefix/share/mime/globs2") ||
  fail "*.qmf is not application/x-quilmorn2008 in the MIME database"

# Started from the prefix, on a copy of the example, with settings of its own.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
cp "$source/examples/example.qmf" "$work/example.qmf"
status=0
(cd / && QT_QPA_PLATFORM=offscreen LD_DEBUG=files LD_DEBUG_OUTPUT=$work/ld \
  ASAN_OPTIONS=detect_leaks=0 timeout 6 "$program" "$work/example.qmf") \
  >"$work/run.log" 2>&1 || status=$?
((status == 124)) || { cat "$work/run.log" >&2; fail "the installed program ended with $status"; }
grep -hq "calling init: $folder/libquorlith.so" "$work"/ld.* ||
  fail "the judgement library was not loaded from $folder"
echo "installed and started from $prefix"
