#!/usr/bin/env bash
# The search of all fixed drives, for real: a Wine prefix of its own whose drive Z: (the
# Linux root) is removed, so the search covers only the prefix's drive C:, into which
# weaversl.exe (in capitals) and its manconf.ini are planted.
#   drive_search_test.sh WINE-RUN PREFIX TEST-PROGRAM
set -euo pipefail
wine_run=$1 prefix=$2 program=$3

# Make the prefix (the runner does that on first use); 77 means it cannot run here.
"$wine_run" --prefix "$prefix" "$program" --gtest_filter=None >/dev/null 2>&1 || exit $?

rm -f "$prefix/dosdevices/z:"
# The user folders are links into the Linux home folder; make them plain folders so that the
# search stays inside the prefix.
find "$prefix/drive_c" -type l | while read -r link; do rm -f "$link"; mkdir -p "$link"; done

weaver="$prefix/drive_c/Programme/WeaverSlave"
mkdir -p "$weaver" "$prefix/drive_c/Zzz/Later"
printf 'MZ' >"$weaver/WEAVERSL.EXE"
printf '[Plugins]\r\nPath=C:\\Programme\\WeaverSlave\\Eigene Plugins\r\n' >"$weaver/manconf.ini"

QUENDA_DRIVE_SEARCH_FOLDER='C:\Programme\WeaverSlave\' \
  "$wine_run" --prefix "$prefix" "$program" --gtest_filter='DriveSearch.*:FixedDrives.*' --gtest_also_run_disabled_tests
