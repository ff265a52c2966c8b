#!/usr/bin/env bash
# The README's install, step by step as a user types it: the run command's
# build (scripts/run.sh without starting the program, into a build folder of
# its own beside BUILD_DIR's tests, so that a later run rebuilds only what
# changed), cmake --install into a fresh prefix, the installed program started
# from its desktop entry's Exec line, and the README's uninstall, after which
# nothing of ours is left. Checks on the way what a desktop needs: the program,
# its library, help pages and manual in the folder the program looks in (its
# own), a valid desktop entry, and a well-formed MIME type that claims *.qmf.
# And the two failures: a build that lacks a file installs nothing and names
# the command that builds it; an install that stops half-way is undone by the
# uninstall, which keeps a folder holding anything else.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
work=$build/test-output/install
readme_build=$build/install-test-build
rm -rf "$work"
mkdir -p "$work"
prefix="$work/prefix with blank"
fail() { echo "FAIL: $*" >&2; exit 1; }
well_formed() { python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' "$1"; }
# What of ours is under a prefix: named after the program, or naming it (the
# desktop's caches).
ours() { find "$1" -iname '*quilmorn2008*' | sort; { grep -rli quilmorn2008 "$1" || true; } | sort; }

# The run command's build. ccache, where there is one, spares a second
# compile of what the suite's own build compiled already.
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
QM_RUN_BUILD_DIR=$readme_build QM_RUN_BUILD_ONLY=1 bash "$source/scripts/run.sh" \
  >"$work/build.log" 2>&1 || { tail -40 "$work/build.log" >&2; fail "the run command's build"; }
manifest=$readme_build/install_manifest.txt
pdf=$readme_build/bin/manual/Quilmorn2008.pdf
install_into() { cmake --install "$readme_build" --prefix "$1" >"$work/install.log" 2>&1; }
uninstall() { bash "$source/scripts/uninstall.sh" "$readme_build" >"$work/uninstall.log" 2>&1 ||
  { cat "$work/uninstall.log" >&2; fail "uninstall"; }; }

# A build without the manual installs nothing, and says what to build.
refused=$work/refused
mv "$pdf" "$pdf.aside"
trap 'mv -f "$pdf.aside" "$pdf" 2>/dev/null || true' EXIT
if install_into "$refused"; then fail "installed from a build without the manual"; fi
mv "$pdf.aside" "$pdf"
grep -qF "$pdf" "$work/install.log" || { cat "$work/install.log" >&2; fail "the missing manual is not named"; }
grep -qF "cmake --build \"$readme_build\" --target qm_program" "$work/install.log" ||
  { cat "$work/install.log" >&2; fail "no command to build what is missing"; }
[[ ! -e $refused ]] || fail "a refused install left $(find "$refused" | head -3)"

# An install that stops half-way (its icon folder cannot be made) is undone by
# the uninstall; a file of the user's in the program folder stays, with the
# folders that hold it.
halfway=$work/halfway
mkdir -p "$halfway/share"
touch "$halfway/share/icons"
if install_into "$halfway"; then fail "installed where the icon folder cannot be made"; fi
[[ -s $halfway/lib/quilmorn2008/Quilmorn2008 ]] || fail "the half-way install copied nothing"
sed "s|^$halfway/|PREFIX/|" "$manifest" | sort >"$work/planned.txt"
echo "my notes" >"$halfway/lib/quilmorn2008/HELP/notes.txt"
uninstall
[[ -s $halfway/lib/quilmorn2008/HELP/notes.txt ]] || fail "the uninstall removed a file of the user's"
[[ ! -e $halfway/lib/quilmorn2008/manual ]] || fail "the uninstall left $halfway/lib/quilmorn2008/manual"
left=$(ours "$halfway")
[[ $left == "$halfway/lib/quilmorn2008" ]] || fail "the half-way install left: $left"

# The README's install.
install_into "$prefix" || { cat "$work/install.log" >&2; fail "cmake --install"; }
# What it listed before the first copy is what it installed.
diff <(sed "s|^$prefix/|PREFIX/|" "$manifest" | sort) "$work/planned.txt" >&2 ||
  fail "the list written before the install differs from the install's own"

program=$prefix/bin/Quilmorn2008
[[ -x $program ]] || fail "no $program"
folder=$(dirname "$(readlink -f "$program")")
[[ $folder == "$prefix/lib/quilmorn2008" ]] || fail "program folder is $folder"
for f in Quilmorn2008 libquorlith.so HELP/index.htm HELP/getting_started.htm \
  HELP/results.htm HELP/printing.htm manual/pdf.htm manual/Quilmorn2008.pdf; do
  [[ -s $folder/$f ]] || fail "missing $folder/$f"
done
# Every help page of the source is installed, and the manual is the one built.
for page in "$source"/program/resources/help/*.htm; do
  cmp -s "$page" "$folder/HELP/$(basename "$page")" || fail "help page $(basename "$page")"
done
head -c 5 "$folder/manual/Quilmorn2008.pdf" | grep -q '%PDF-' || fail "the manual is no PDF"
cmp -s "$pdf" "$folder/manual/Quilmorn2008.pdf" || fail "the installed manual is not the built one"

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
grep -qx 'application/x-quilmorn2008:\*.qmf' <(cut -d: -f2,3 "$prefix/share/mime/globs2") ||
  fail "*.qmf is not application/x-quilmorn2008 in the MIME database"

# Started as the menu starts it, by the entry's Exec line with %f the file, on
# a copy of the example, with settings of its own, for a few seconds: it must
# keep running, with the judgement library loaded from its folder.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
qmf=$work/example.qmf
cp "$source/examples/example.qmf" "$qmf"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
status=0
(cd / && export QT_QPA_PLATFORM=offscreen LD_DEBUG=files LD_DEBUG_OUTPUT=$work/ld &&
  eval "timeout 6 ${exec_line//%f/\"\$qmf\"}") >"$work/run.log" 2>&1 || status=$?
((status == 124)) || { cat "$work/run.log" >&2; fail "the installed program ended with $status"; }
grep -hq "calling init: $folder/libquorlith.so" "$work"/ld.* ||
  fail "the judgement library was not loaded from $folder"

# The README's uninstall leaves nothing of ours: no file, no folder, no entry
# in the desktop's caches.
uninstall
left=$(ours "$prefix")
[[ -z $left ]] || fail "the uninstall left: $left"
echo "installed as the README says into $prefix, started from the menu entry, uninstalled"
