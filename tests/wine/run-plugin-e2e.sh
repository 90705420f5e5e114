#!/usr/bin/env bash
# The plug-in's end-to-end test: runs the Windows driver under Wine, which works the real
# converter window through quenda-host. Pictures of the window that the driver takes are left
# as PNG files in the shots folder. QUENDA_SOAK_SECONDS and QUENDA_SEED pass through to the
# driver's randomized exerciser.
#   run-plugin-e2e.sh --wine-run SCRIPT --prefix DIR --driver EXE --host EXE --dll DLL
#                     --source DIR --shots DIR
set -euo pipefail

while [ $# -gt 0 ]; do
  case "$1" in
    --wine-run) wine_run="$2" ;;
    --prefix) prefix="$2" ;;
    --driver) driver="$2" ;;
    --host) host="$2" ;;
    --dll) dll="$2" ;;
    --source) source="$2" ;;
    --shots) shots="$2" ;;
    *) echo "run-plugin-e2e: unknown argument $1" >&2; exit 2 ;;
  esac
  shift 2
done

work=$(mktemp -d /tmp/quenda-plugin-e2e.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$shots"
# Only this test's pictures of an earlier run go; the installer test keeps its own there.
find "$shots" -maxdepth 1 \( -name '*.bmp' -o -name '*.png' \) ! -name 'installer-*' -delete

# A host hands over its document with CR LF line breaks.
for document in "$source/examples/sample.html" "$source/tests/wine/data/lists_forms.html" \
                "$source/tests/wine/data/frameset.html"; do
  sed 's/\r$//; s/$/\r/' "$document" >"$work/$(basename "$document")"
done

export QUENDA_E2E_WORK="Z:$work" QUENDA_E2E_HOST="Z:$host" QUENDA_E2E_DLL="Z:$dll" QUENDA_E2E_SHOTS="Z:$shots"
status=0
"$wine_run" --prefix "$prefix" "$driver" || status=$?

for picture in "$shots"/*.bmp; do
  [ -e "$picture" ] || continue
  convert "$picture" "${picture%.bmp}.png" && rm -f "$picture"
done
exit $status
