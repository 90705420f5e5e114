#!/usr/bin/env bash
# mksfx from the outside, on the demo installer (examples/plugin/ beside Quenda.dll, built with
# --folder as make demo does): one folder gives one installer byte for byte; --verify passes
# it and fails a copy with one flipped byte in each region and a truncated copy; UTF-8 scripts
# are refused or converted; the exit statuses.
#   mksfx_demo_test.sh SOURCE_DIR INSTALL_EXE QUENDA_DLL MKSFX [RUNNER...]
# With a runner (scripts/wine-run), mksfx is a Windows program and gets Z: paths.
# Exits 77 (skipped) when the installer or the plug-in has not been built.
set -u
source_dir="$1" install="$2" dll="$3"
shift 3
[ -f "$install" ] && [ -f "$dll" ] || { echo "no $install or $dll: build the Windows preset first (skipped)"; exit 77; }
drive=""
[ $# -gt 1 ] && drive="Z:"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
runner=("${@:2}" "$1")  # the runner's words, then the program
mksfx() { "${runner[@]}" "$@" >"$work/out" 2>&1; }
expect() {  # expect STATUS WHAT: the last run's status
  if [ "$status" != "$1" ]; then
    echo "FAIL: $2: status $status, expected $1"; sed 's/^/  | /' "$work/out"; failed=1
  fi
}
build() {  # build OUTPUT SCRIPT [OPTIONS...]
  mksfx --image "$drive$work/install.exe" --script "$drive$2" --folder "$drive$work/plugin" -o "$drive$1" "${@:3}"
  status=$?
}

mkdir "$work/plugin"
cp -Rp "$source_dir/examples/plugin/." "$work/plugin/"
mkdir -p "$work/plugin/docs"
cp -p "$source_dir/examples/sample.html" "$work/plugin/docs/beispiel.html"
cp -p "$source_dir/examples/sample.xhtml" "$work/plugin/docs/beispiel.xhtml"
cp -p "$dll" "$work/plugin/Quenda.dll"
cp "$install" "$work/install.exe"
build "$work/setup.exe" "$source_dir/examples/install.ini" --strict
[ "$status" = 77 ] && { cat "$work/out"; exit 77; }  # Wine cannot run the program here
expect 0 "the demo installer builds without a warning"
build "$work/again.exe" "$source_dir/examples/install.ini"
cmp -s "$work/setup.exe" "$work/again.exe" || { echo "FAIL: two builds of one folder differ"; failed=1; }
mksfx --verify "$drive$work/setup.exe"; status=$?
expect 0 "--verify on the demo installer"
grep -q "would install all 4 files" "$work/out" || { echo "FAIL: verdict"; cat "$work/out"; failed=1; }

# One flipped byte in the image, the script, the archive and the trailer; then a truncation.
size=$(stat -c %s "$work/setup.exe")
read -r script_at archive_at < <(od -An -t u4 -j $((size - 12)) -N 8 "$work/setup.exe")
for at in 64 $((script_at + 2)) $((archive_at + 40)) $((size - 8)); do
  cp "$work/setup.exe" "$work/damaged.exe"
  byte=$(od -An -t u1 -j "$at" -N 1 "$work/damaged.exe" | tr -d ' ')
  printf "\\$(printf %o $((byte ^ 4)))" | dd of="$work/damaged.exe" bs=1 seek="$at" conv=notrunc status=none
  mksfx --verify "$drive$work/damaged.exe"; status=$?
  expect 1 "--verify on a copy with byte $at flipped"
done
head -c $((size - 5)) "$work/setup.exe" >"$work/damaged.exe"
mksfx --verify "$drive$work/damaged.exe"; status=$?
expect 1 "--verify on a truncated copy"

# A UTF-8 script: refused by default, converted to Windows-1252 on request.
printf '[plugin]\r\nname=Quenda\r\nversion=1.0\r\n[language]\r\nfinished=Gr\xc3\xb6\xc3\x9fe \xe2\x82\xac\r\n' >"$work/utf8.ini"
build "$work/utf8.exe" "$work/utf8.ini"
expect 1 "a UTF-8 script without --script-encoding"
grep -q "utf8.ini:5: error: the text is UTF-8" "$work/out" || { echo "FAIL: UTF-8 message"; cat "$work/out"; failed=1; }
[ ! -e "$work/utf8.exe" ] || { echo "FAIL: a refused build left a file"; failed=1; }
build "$work/utf8.exe" "$work/utf8.ini" --script-encoding=utf8
expect 0 "a UTF-8 script with --script-encoding=utf8"
grep -qa "$(printf 'finished=Gr\xf6\xdfe \x80\r')" "$work/utf8.exe" || { echo "FAIL: script not converted"; failed=1; }
printf '[plugin]\r\nname=Quenda\r\n' >"$work/warn.ini"
build "$work/warn.exe" "$work/warn.ini" --strict
expect 1 "--strict with a warning"
mksfx --image "$drive$work/install.exe" --folder "$drive$work/plugin"; status=$?
expect 2 "a build without script and output"
mksfx --verify "$drive$work/setup.exe" --script-encoding=utf8; status=$?
expect 2 "--verify with a build option"
exit $failed
