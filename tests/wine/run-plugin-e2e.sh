#!/usr/bin/env bash
# The plug-in's end-to-end test: converts the test documents with the native command line
# (the reference), then runs the Windows driver under Wine, which works the real converter
# window through quenda-host and compares what the plug-in hands back. Pictures of the window
# that the driver takes are left as PNG files in the shots folder.
#   run-plugin-e2e.sh --wine-run SCRIPT --prefix DIR --cli QUENDA --driver EXE --host EXE
#                     --dll DLL --source DIR --shots DIR
set -euo pipefail

while [ $# -gt 0 ]; do
  case "$1" in
    --wine-run) wine_run="$2" ;;
    --prefix) prefix="$2" ;;
    --cli) cli="$2" ;;
    --driver) driver="$2" ;;
    --host) host="$2" ;;
    --dll) dll="$2" ;;
    --source) source="$2" ;;
    --shots) shots="$2" ;;
    *) echo "run-plugin-e2e: unknown argument $1" >&2; exit 2 ;;
  esac
  shift 2
done

if [ ! -x "$cli" ]; then
  echo "run-plugin-e2e: the native command line $cli is not built (make native); skipped" >&2
  exit 77
fi

work=$(mktemp -d /tmp/quenda-plugin-e2e.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$shots"
# Only this test's pictures of an earlier run go; the installer test keeps its own there.
find "$shots" -maxdepth 1 -name '*.bmp' ! -name 'installer-*' -delete

# A host hands over its document with CR LF line breaks (a lone LF is no line break to the
# plug-in, while the command line takes it as one), so the documents go in as CR LF.
for document in "$source/examples/sample.html" "$source/tests/wine/data/lists_forms.html" \
                "$source/tests/wine/data/frameset.html"; do
  sed 's/\r$//; s/$/\r/' "$document" >"$work/$(basename "$document")"
done

# name, document, complete lists, compatible, language (0 Deutsch, 1 Englisch), encoding,
# document type (0 Transitional, 1 Strict, 2 Frameset). The last case also serves the
# test of a second conversion.
cases=(
  "sample-defaults sample.html 1 1 0 iso-8859-1 0"
  "lists-english-strict lists_forms.html 0 0 1 UTF-8 1"
  "lists-german-typed-charset lists_forms.html 1 1 0 windows-1252 2"
  "frameset-english frameset.html 1 0 1 UTF-8 2"
)
languages=(german english)
dtds=(transitional strict frameset)
: >"$work/manifest.txt"
for line in "${cases[@]}"; do
  read -r name document lists compat language encoding dtd <<<"$line"
  options=(--dtd="${dtds[$dtd]}" --language="${languages[$language]}" --encoding="$encoding"
           --eol=crlf --input-encoding=latin1)
  [ "$lists" = 1 ] || options+=(--no-complete-lists)
  [ "$compat" = 1 ] || options+=(--no-compat)
  "$cli" "${options[@]}" "$work/$document" -o "$work/$name.expected"
  "$cli" "${options[@]}" "$work/$name.expected" -o "$work/$name.expected.twice"
  printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$name" "$document" "$lists" "$compat" "$language" "$encoding" "$dtd" \
    "$name.expected" >>"$work/manifest.txt"
done

export QUENDA_E2E_WORK="Z:$work" QUENDA_E2E_HOST="Z:$host" QUENDA_E2E_DLL="Z:$dll" QUENDA_E2E_SHOTS="Z:$shots"
status=0
"$wine_run" --prefix "$prefix" "$driver" || status=$?

for picture in "$shots"/*.bmp; do
  [ -e "$picture" ] || continue
  convert "$picture" "${picture%.bmp}.png" && rm -f "$picture"
done
exit $status
