#!/usr/bin/env bash
# Whole sites from the outside, on one generated tree: nested folders, names with blanks and
# Latin-1 bytes, an empty file, a converted file, a non-HTML file, a read-only file, an
# unreadable one, a folder link that loops, and the output folder inside the input.
#   site_test.sh QUENDA SOURCE_DIR
set -u
quenda="$1"
source_dir="$2"
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
passed=0
failed=0
check() { if eval "$2"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $1"; fi; }

site="$work/site"
invalid='<HTML><HEAD><TITLE>x</TITLE></HEAD>\n<BODY>\n<P>a<UL><LI>b</UL>\n</BODY></HTML>\n'
make_site() {
  rm -rf "$site" && mkdir -p "$site/a/b/c" "$site/with blank" "$site/a/out"
  cp "$source_dir/examples/sample.html" "$site/index.html"
  printf '<P>Gr\xf6\xdfe\r\n<UL><LI>x\n</UL>\x80\xa0' >"$site/a/b/c/deep.HTM"
  printf "$invalid" >"$site/with blank/page one.html"
  printf '<BR>\xe4' >"$site/a/gr"$'\xf6\xdf'"e.html"
  : >"$site/a/empty.html"
  "$quenda" "$site/index.html" -o "$site/a/done.html"
  printf 'not html <BR>' >"$site/a/notes.txt"
  printf '<BR>' >"$site/a/out/old.html"
  printf '<P>ro' >"$site/a/readonly.html" && chmod 444 "$site/a/readonly.html"
  printf '<P>mode' >"$site/a/b/mode.html" && chmod 640 "$site/a/b/mode.html"
  ln -s ../.. "$site/a/b/loop"
  ln -s nowhere.html "$site/a/unreadable.html"
}
# The documents a walk must find, in path order: every .htm/.html file but the broken link.
documents() { (cd "$site" && find . -path ./a/out -prune -o -type f -iname '*.htm*' -print | sed 's|^\./||' | LC_ALL=C sort); }

# --- mirror: each result is the single-document conversion of its file, with the same options
make_site
# The converted file stays as it is only with the options it was converted with.
for options in "" "--dtd=strict --language=english --eol=lf --ascii --no-compat --no-complete-lists"; do
  counts="7 converted, 1 unchanged" && [ -n "$options" ] && counts="8 converted, 0 unchanged"
  rm -rf "$site/a/out"
  # shellcheck disable=SC2086
  "$quenda" $options -j 3 --out-dir="$site/a/out" "$site" "$site/index.html" >"$work/out" 2>"$work/err"; rc=$?
  check "mirror exit 1 (unreadable file) [$options]: $rc" '[ $rc -eq 1 ]'
  check "mirror names the unreadable file" 'grep -q "cannot read .*unreadable.html" "$work/err"'
  check "summary counts each file once [$options]: $(tail -1 "$work/err")" \
    'tail -1 "$work/err" | grep -q "^quenda: 9 documents: $counts, 1 failed$"'
  mirrored=$( (cd "$site/a/out" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) )
  check "mirror holds exactly the documents: $mirrored" '[ "$mirrored" = "$(documents)" ]'
  while IFS= read -r doc; do
    # shellcheck disable=SC2086
    "$quenda" $options "$site/$doc" >"$work/single" 2>/dev/null
    check "mirror of '$doc' equals its single conversion [$options]" 'cmp -s "$work/single" "$site/a/out/$doc"'
  done < <(documents)
done
check "the non-HTML file is not converted" '[ ! -e "$site/a/out/a/notes.txt" ]'

# --- check: lists what would change, in path order, whatever finishes first
rm -rf "$site/a/out"
"$quenda" --check -j 4 "$site" >"$work/out" 2>"$work/err"; rc=$?
check "--check with an unreadable file exits 1: $rc" '[ $rc -eq 1 ]'
check "--check lists the changed files in path order" \
  '[ "$(cat "$work/out")" = "$(documents | grep -av done.html | sed "s|^|$site/|")" ]'
"$quenda" --check "$site/a/done.html" >/dev/null 2>&1; rc=$?
check "--check on a converted file exits 0: $rc" '[ $rc -eq 0 ]'
"$quenda" --check --quiet "$site/index.html" >/dev/null 2>"$work/err"; rc=$?
check "--check on an HTML 4 file exits 3, --quiet prints no summary: $rc" '[ $rc -eq 3 ] && [ ! -s "$work/err" ]'

# --- in place: results, backups, permissions, untouched failures, no temporary files
make_site
rm "$site/a/unreadable.html"
long="$site/$(printf 'n%.0s' {1..245}).html"
printf '<P>long' >"$long"
cp -a "$site" "$work/before"
inode_done=$(stat -c %i "$site/a/done.html")
"$quenda" --in-place --backup=.orig --out-dir-unused 2>/dev/null; rc=$?
check "unknown option: usage error" '[ $rc -eq 2 ]'
"$quenda" --in-place --backup=.orig "$site" >/dev/null 2>"$work/err"; rc=$?
check "--in-place with failures exits 1: $rc" '[ $rc -eq 1 ]'
check "the read-only file is named with its reason" 'grep -q "readonly.html.*read-only" "$work/err"'
check "the file too long to get a temporary name is named" 'grep -q "cannot write .*nnnn.html" "$work/err"'
for f in a/readonly.html "${long#"$site/"}" a/done.html; do
  check "'${f:0:20}' untouched" 'cmp -s "$site/$f" "$work/before/$f" && [ ! -e "$site/$f.orig" ]'
done
check "an unchanged file is not rewritten" '[ "$(stat -c %i "$site/a/done.html")" = "$inode_done" ]'
while IFS= read -r doc; do
  case "$doc" in a/readonly.html | a/done.html | nnn*) continue ;; esac
  "$quenda" "$work/before/$doc" >"$work/single"
  check "'$doc' replaced by its conversion" 'cmp -s "$work/single" "$site/$doc"'
  check "'$doc' kept as $doc.orig" 'cmp -s "$work/before/$doc" "$site/$doc.orig"'
done < <(documents | grep -av '\.orig$')
check "permissions kept" '[ "$(stat -c %a "$site/a/b/mode.html")" = 640 ]'
check "no temporary file left" '[ -z "$(find "$site" -name "*.tmp*")" ]'

# --- validation: line and column in the converted document, --report, exit codes
printf "$invalid" >"$work/bad.html"
"$quenda" --validate --dtd=strict "$work/bad.html" -o "$work/bad.xhtml" 2>"$work/err"; rc=$?
check "invalid document exits 3: $rc" '[ $rc -eq 3 ]'
check "the problem's line and column: $(head -2 "$work/err" | tail -1)" \
  'grep -qx "$work/bad.xhtml:6:19: Opening and ending tag mismatch: li line 6 and ul" "$work/err"'
check "the head's content model problem at 3:81" 'grep -q "^$work/bad.xhtml:3:81: Element head content" "$work/err"'
mkdir -p "$work/v" && cp "$source_dir/examples/sample.html" "$work/v/good.html" && cp "$work/bad.html" "$work/v/"
"$quenda" --validate --report="$work/report" --out-dir="$work/vo" "$work/v" 2>"$work/err"; rc=$?
check "a site with an invalid document exits 3: $rc" '[ $rc -eq 3 ]'
check "--report gets the problems, stderr the summary only" \
  'grep -q "^$work/vo/bad.html:6:19: " "$work/report" && [ "$(wc -l <"$work/err")" -eq 1 ]'
check "summary counts valid and not valid" 'grep -q "1 valid, 1 not valid" "$work/err"'
"$quenda" --validate --language=english --ascii --out-dir="$work/vo" "$work/v/good.html" 2>"$work/err"; rc=$?
check "the sample in UTF-8 with --ascii is valid: $rc $(cat "$work/err")" '[ $rc -eq 0 ]'

# --- usage errors
for bad in "--in-place --check x" "--backup=.b --out-dir=o x" "--check -o f x" "--check" "-j 0 --check x" \
           "--report=r --check x" "--ext=, --check x" "--check -"; do
  # shellcheck disable=SC2086
  "$quenda" $bad >/dev/null 2>&1; rc=$?
  check "usage error for '$bad': $rc" '[ $rc -eq 2 ]'
done

# --- the progress line: on a terminal, not in a pipe
make_site
script -qefc "'$quenda' --out-dir='$work/p' '$site'" /dev/null >"$work/tty" 2>&1
check "progress line on a terminal" 'grep -q "[0-9] of [0-9]* documents, [0-9.]* of [0-9.]* MB" "$work/tty"'
"$quenda" --out-dir="$work/p" "$site" 2>"$work/err" >/dev/null
check "no progress line in a pipe" '! grep -q " MB" "$work/err"'

echo "quenda on whole sites: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
