#!/usr/bin/env bash
# The command line's behaviour from the outside: options, line endings, input encodings,
# error exits and the safe writing of -o.
#   quenda_cli_test.sh QUENDA SOURCE_DIR
set -u
quenda="$1"
source_dir="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

pass() { passed=$((passed + 1)); }
fail() { failed=$((failed + 1)); echo "FAIL: $*"; }

# run NAME STDIN_BYTES ARGS...: runs quenda with printf-escaped input; sets $out (file), $err, $rc.
run() {
  local name="$1" input="$2"
  shift 2
  out="$work/$name.out"
  printf "$input" >"$work/$name.in"
  "$quenda" "$@" <"$work/$name.in" >"$out" 2>"$work/$name.err"
  rc=$?
  err=$(cat "$work/$name.err")
}
# has NAME PRINTF_PATTERN: the output holds the bytes.
has() { LC_ALL=C grep -qF -- "$(printf "$2")" "$out" && pass || fail "$1: output lacks $(printf %q "$(printf "$2")")"; }
lacks() { LC_ALL=C grep -qF -- "$(printf "$2")" "$out" && fail "$1: output holds $(printf %q "$(printf "$2")")" || pass; }
status() { [ "$rc" -eq "$2" ] && pass || fail "$1: exit $rc, expected $2 (stderr: $err)"; }
stderr_has() { [[ "$err" == *"$2"* ]] && pass || fail "$1: stderr '$err' lacks '$2'"; }
crs() { LC_ALL=C tr -cd '\r' <"$out" | wc -c; }
lfs() { LC_ALL=C tr -cd '\n' <"$out" | wc -c; }

# --- help, version, usage errors -------------------------------------------------------------
run help "" --help; status help 0; has help "Usage: quenda [OPTIONS] [INPUT] [-o OUTPUT]"
run version "" --version; status version 0; has version "quenda 1."
for bad in "--bogus" "--bogus=1" "--dtd=loose" "--language=french" "--eol=cr" "--input-encoding=latin9" \
           "--no-compat=yes" "-o" "a.html b.html" "--dtd"; do
  # shellcheck disable=SC2086
  run usage "" $bad
  status "usage $bad" 2
  [ "$(wc -l <"$work/usage.err")" -eq 1 ] && pass || fail "usage $bad: not one line: $err"
  stderr_has "usage $bad" "quenda --help"
  [ ! -s "$out" ] && pass || fail "usage $bad: wrote output"
done

# --- conversion and options -------------------------------------------------------------------
run plain "<P>Gr\xf6\xdfe<BR>" ; status plain 0
has plain '<?xml version="1.0" encoding="iso-8859-1"?>'
has plain "Gr&ouml;&szlig;e<br />"
has plain "xhtml1-transitional.dtd"
run strict "<p>x</p>" --dtd=strict; has strict "xhtml1-strict.dtd"
run frameset "<p>x</p>" --dtd frameset; has frameset "xhtml1-frameset.dtd"
run english "<html>" --language=english; has english 'encoding="UTF-8"'; has english 'lang="en"'
run typed "<html>" --language=english --encoding=windows-1252; has typed 'encoding="windows-1252"'
run german "<html>" --encoding=latin1 --language=german; has german 'encoding="latin1"'; has german 'lang="de"'
run nocompat "<BR>" --no-compat; has nocompat "<br/>"; lacks nocompat "<br />"
run lists "<UL>\n<LI>a\n</UL>" ; has lists "<li>a</li>"
run nolists "<UL>\n<LI>a\n</UL>" --no-complete-lists; has nolists "<li>a\n"; lacks nolists "</li>"
run implied "<UL>\n<LI>a\n  b\n<LI>c\n</UL>" --close-implied; has implied "  b</li>"; has implied "<li>c</li>"; lacks implied "a</li>"
run nul "a\0b<BR>" ; status nul 0
LC_ALL=C grep -qaP 'a\x00b<br />' "$out" && pass || fail "nul: the NUL byte and its neighbours did not come through"
[ "$(LC_ALL=C tr -cd '\0' <"$out" | wc -c)" -eq 1 ] && pass || fail "nul: NUL byte not passed through"

# --- line endings -----------------------------------------------------------------------------
run lf "<p>a</p>\n<p>b</p>\n"; [ "$(crs)" -eq 0 ] && pass || fail "lf input gave CRs"
[ "$(lfs)" -eq 4 ] && pass || fail "lf input: $(lfs) line breaks, expected 4"
run crlf "<p>a</p>\r\n<p>b</p>\r\n"; [ "$(crs)" -eq 4 ] && [ "$(lfs)" -eq 4 ] && pass || fail "crlf input lost CR LF"
run cr "<p>a</p>\r<p>b</p>\r"; [ "$(crs)" -eq 4 ] && [ "$(lfs)" -eq 4 ] && pass || fail "cr input: CR ends a line, output CR LF"
run mixed "a\nb\rc\r\nd" --eol=lf; [ "$(crs)" -eq 0 ] && [ "$(lfs)" -eq 5 ] && pass || fail "mixed: every break style ends a line"
has mixed "a\nb\nc\nd"
run nobreak "<p>x</p>"; [ "$(crs)" -eq 2 ] && [ "$(lfs)" -eq 2 ] && pass || fail "no break in input: CR LF expected"
run tolf "a\r\nb\r\n" --eol=lf; [ "$(crs)" -eq 0 ] && pass || fail "--eol=lf left CRs"
run tocrlf "a\nb\n" --eol=crlf; [ "$(crs)" -eq "$(lfs)" ] && [ "$(crs)" -eq 4 ] && pass || fail "--eol=crlf"
run lffirst "a\nb\r\nc"; [ "$(crs)" -eq 0 ] && pass || fail "the first break decides the style"

# --- input encodings --------------------------------------------------------------------------
run utf8 "Gr\xc3\xb6\xc3\x9fe \xe2\x82\xac \xf0\x9f\x98\x80"; status utf8 0
has utf8 "Gr&ouml;&szlig;e &#8364; &#128512;"
run bom "\xef\xbb\xbf<p>x</p>"; lacks bom "\xef\xbb\xbf"; lacks bom "&iuml;"; has bom '"?>\r\n<!DOCTYPE'
run bomlatin "\xef\xbb\xbfx" --input-encoding=utf8; has bomlatin "\r\nx"
run latin "Gr\xc3\xb6e" --input-encoding=latin1; has latin "Gr&Atilde;&para;e"
run autolatin "Gr\xf6\xdfe \xc3\xb6"; has autolatin "Gr&ouml;&szlig;e &Atilde;&para;"
run ascii "plain" --input-encoding=auto; has ascii "plain"
run badutf8 "ab\xc3(" --input-encoding=utf8; status badutf8 1; stderr_has badutf8 "byte offset 2"
[ ! -s "$out" ] && pass || fail "badutf8 wrote output"
run badbom "\xef\xbb\xbfabc\xff" --input-encoding=utf8; status badbom 1; stderr_has badbom "byte offset 6"
run overlong "\xc0\xaf" --input-encoding=utf8; status overlong 1; stderr_has overlong "byte offset 0"
run surrogate "x\xed\xa0\x80" --input-encoding=utf8; status surrogate 1; stderr_has surrogate "byte offset 1"

# --- files: reading, -o, failures -------------------------------------------------------------
printf '<P>\xfc</P>\n' >"$work/in.html"
"$quenda" "$work/in.html" >"$work/stdout.html" 2>/dev/null; rc=$?
status "file input" 0
"$quenda" - <"$work/in.html" >"$work/stdin.html"
cmp -s "$work/stdout.html" "$work/stdin.html" && pass || fail "'-' reads standard input like a file"
"$quenda" "$work/in.html" -o "$work/out.html"; rc=$?; status "-o" 0
cmp -s "$work/stdout.html" "$work/out.html" && pass || fail "-o wrote other bytes than standard output"
"$quenda" --output="$work/out2.html" "$work/in.html" && cmp -s "$work/stdout.html" "$work/out2.html" && pass ||
  fail "--output=FILE"
ls "$work" | grep -q 'tmp' && fail "a temporary file was left: $(ls "$work")" || pass

printf 'keep me' >"$work/existing.html"
"$quenda" "$work/missing.html" -o "$work/existing.html" 2>"$work/e"; rc=$?; err=$(cat "$work/e")
status "missing input" 1; stderr_has "missing input" "$work/missing.html"
[ "$(cat "$work/existing.html")" = "keep me" ] && pass || fail "a failed run touched the existing output"
"$quenda" "$work" 2>"$work/e"; rc=$?; err=$(cat "$work/e")
status "folder as input" 1; stderr_has "folder as input" "cannot read '$work'"
printf '\xff' >"$work/bad.html"
"$quenda" --input-encoding=utf8 "$work/bad.html" -o "$work/existing.html" 2>"$work/e"; rc=$?
status "invalid utf8 with -o" 1
[ "$(cat "$work/existing.html")" = "keep me" ] && pass || fail "invalid input touched the existing output"
"$quenda" "$work/in.html" -o "$work/no/such/folder/out.html" 2>"$work/e"; rc=$?; err=$(cat "$work/e")
status "unwritable output" 1; stderr_has "unwritable output" "cannot write '$work/no/such/folder/out.html'"
mkdir "$work/adir"
"$quenda" "$work/in.html" -o "$work/adir" 2>"$work/e"; rc=$?; err=$(cat "$work/e")
status "output is a folder" 1; stderr_has "output is a folder" "$work/adir"
ls "$work" | grep -q 'tmp' && fail "a failed write left a temporary file" || pass
"$quenda" "$work/in.html" -o "$work/existing.html" && grep -q '&uuml;' "$work/existing.html" && pass ||
  fail "-o replaces an existing file"

# --- the sample page --------------------------------------------------------------------------
"$quenda" "$source_dir/examples/sample.html" >"$work/sample.out"; rc=$?; status sample 0
out="$work/sample.out"
has sample "B&auml;ckerei Gr&ouml;&szlig;e"
has sample "<table border=\"1\""
LC_ALL=C grep -q $'[\xa1-\xff]' "$out" && fail "sample: bytes above 160 left" || pass

echo "quenda command line: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
