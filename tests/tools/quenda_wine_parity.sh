#!/usr/bin/env bash
# The Windows quenda.exe, run under Wine, must give byte for byte what the native quenda gives:
# on the sample page and on edge-case documents, with several option sets, through standard
# input and output and through files.
#   quenda_wine_parity.sh NATIVE_QUENDA WINDOWS_QUENDA_EXE WINE_RUN WINE_PREFIX SOURCE_DIR
# Exits 77 (skipped) when the native program has not been built or Wine cannot run the .exe.
set -u
native="$1"
windows="$2"
wine_run="$3"
prefix="$4"
source_dir="$5"

if [ ! -x "$native" ]; then
  echo "native quenda not found at $native: build the native preset first (skipped)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

# A few documents that exercise the byte handling.
cp "$source_dir/examples/sample.html" "$work/sample.html"
printf '' >"$work/empty.html"
printf '<P>a</P>\n<P>b</P>\n' >"$work/lf.html"
printf '<P>a</P>\r<P>b</P>\r' >"$work/cr.html"
printf 'a\r\nb\nc\rd\r\r\n<BR>' >"$work/mixed.html"
printf '<P>a\0b</P>\0\r\n' >"$work/nul.html"
printf '\xef\xbb\xbf<P>Gr\xc3\xb6\xc3\x9fe \xe2\x82\xac \xf0\x9f\x98\x80</P>\n' >"$work/utf8bom.html"
printf '<P>\xa0\xa1\xad\xd7\xdf\xf7\xff \x80\x9f</P>\n' >"$work/latin1.html"
printf '<p>ab\xc3(</p>' >"$work/badutf8.html"
{
  printf '<HTML><HEAD><TITLE>Gro\xdf</TITLE></HEAD><BODY>\r\n'
  for i in $(seq 1 3000); do printf '<UL><LI>Eintrag %d \xfc<LI>mehr<BR></UL>\r\n' "$i"; done
  printf '</BODY></HTML>'
} >"$work/large.html"

# compare NAME INPUT ARGS...: both programs read INPUT on standard input.
compare() {
  local name="$1" input="$2"
  shift 2
  "$native" "$@" <"$input" >"$work/$name.native" 2>/dev/null
  local nativeStatus=$?
  "$wine_run" --prefix "$prefix" "$windows" "$@" <"$input" >"$work/$name.windows" 2>"$work/$name.err"
  local windowsStatus=$?
  if [ "$windowsStatus" -eq 77 ] && grep -q skipped "$work/$name.err"; then
    echo "Wine cannot run $(basename "$windows") here (skipped)"
    exit 77
  fi
  if [ "$nativeStatus" -ne "$windowsStatus" ]; then
    failed=$((failed + 1))
    echo "FAIL $name: exit $windowsStatus under Wine, $nativeStatus natively"
  elif ! cmp -s "$work/$name.native" "$work/$name.windows"; then
    failed=$((failed + 1))
    echo "FAIL $name: output differs: $(cmp "$work/$name.native" "$work/$name.windows" 2>&1 | head -1)"
  else
    passed=$((passed + 1))
  fi
}

# Each run under Wine costs seconds, so every case checks something of its own.
for doc in sample empty lf cr nul utf8bom latin1 large; do
  compare "$doc" "$work/$doc.html"
done
compare sample-options "$work/sample.html" --dtd=strict --language=english --no-compat --no-complete-lists
compare mixed-lf "$work/mixed.html" --eol=lf --encoding=windows-1252 --dtd=frameset --close-implied
compare badutf8-forced "$work/badutf8.html" --input-encoding=utf8
compare usage-error "$work/empty.html" --dtd=loose

# Through files: the Windows program writes with -o to a path Wine maps to this folder.
"$native" "$work/sample.html" -o "$work/sample.file.native"
"$wine_run" --prefix "$prefix" "$windows" "Z:$work/sample.html" -o "Z:$work/sample.file.windows" 2>/dev/null
if cmp -s "$work/sample.file.native" "$work/sample.file.windows"; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
  echo "FAIL sample through files: $(cmp "$work/sample.file.native" "$work/sample.file.windows" 2>&1 | head -1)"
fi

# Whole sites: the walk (nested folders, a blank in a name, a non-HTML file, the output folder
# inside the input) and writing in place with a backup beside a read-only file. Both programs
# work on copies of one tree; the trees must end up equal, and so must the exit statuses.
mkdir -p "$work/site/sub/deep" "$work/site/with blank"
cp "$work/sample.html" "$work/site/index.html"
cp "$work/mixed.html" "$work/site/sub/deep/page.htm"
cp "$work/latin1.html" "$work/site/with blank/Page One.HTML"
printf '<BR>' >"$work/site/notes.txt"
printf '<P>ro' >"$work/site/sub/ro.html" && chmod 444 "$work/site/sub/ro.html"
cp -a "$work/site" "$work/site-windows"
site_step() {
  local name="$1"
  shift
  "$native" "${@//@/$work/site}" >/dev/null 2>&1
  local nativeStatus=$?
  "$wine_run" --prefix "$prefix" "$windows" "${@//@/Z:$work/site-windows}" >/dev/null 2>&1
  local windowsStatus=$?
  if [ "$nativeStatus" -ne "$windowsStatus" ] || ! diff -r "$work/site" "$work/site-windows" >"$work/diff"; then
    failed=$((failed + 1))
    echo "FAIL site $name: exit $windowsStatus under Wine, $nativeStatus natively; $(head -3 "$work/diff")"
  else
    passed=$((passed + 1))
  fi
}
site_step out-dir --out-dir=@/out -j 2 @
site_step check --check @
site_step in-place --in-place --backup=.orig @
site_step in-place-again --in-place -j 3 @
"$wine_run" --prefix "$prefix" "$windows" --validate "Z:$work/sample.html" >/dev/null 2>"$work/err"
status=$?
if [ "$status" -eq 2 ] && [ "$(wc -l <"$work/err")" -eq 1 ]; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
  echo "FAIL --validate in the Windows build: exit $status, $(cat "$work/err")"
fi

echo "quenda under Wine against native: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
