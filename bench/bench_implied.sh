#!/usr/bin/env bash
# How many real HTML 4 documents come out well-formed and valid XHTML 1.0: quenda by default,
# without list completion, with the implied end tags (--close-implied), and tidy -asxhtml.
#   bench/bench_implied.sh [QUENDA]      (default build/native/bin/quenda)
#
# The documents are the HTML manuals that documentation generators (texinfo, texi2html, the
# Berkeley DB book tools, ...) wrote for Debian packages: the script installs those packages,
# picks every page under /usr/share/doc whose document type is HTML 4.0 or 4.01, and converts
# each with the XHTML 1.0 document type that matches its own (strict, transitional, frameset).
# xmllint judges offline (--nonet) with the W3C DTDs from w3c-sgml-lib through the XML catalog.
# The figures come for the manuals and, apart, for the javadoc pages of db5.3-doc: javadoc 1.x
# writes markup that no inserted end tag can mend (a pre that runs across the end of a dl,
# stray </font> tags in table headings), so those pages measure the generator, not the step.
# The documents are not kept; nothing here runs in `make test`.
set -euo pipefail

quenda=${1:-build/native/bin/quenda}
[ -x "$quenda" ] || { echo "bench_implied: $quenda not found (build the native preset first)" >&2; exit 1; }
quenda=$(realpath "$quenda")

packages=(tidy libxml2-utils w3c-sgml-lib
          bash-doc diffutils-doc gettext-doc libtool-doc autoconf-doc m4-doc db5.3-doc)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  [ "$(id -u)" -eq 0 ] || { echo "bench_implied: skipped, needs ${missing[*]} (run as root to install)" >&2; exit 0; }
  echo "installing ${missing[*]}..."
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y -q -o DPkg::Lock::Timeout=900 --no-install-recommends "${missing[@]}" >/dev/null ||
    { apt-get update -q >/dev/null && apt-get install -y -q -o DPkg::Lock::Timeout=900 --no-install-recommends "${missing[@]}" >/dev/null; }
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The pages whose document type declaration names HTML 4.0 or 4.01.
grep -rlisZ --include='*.html' --include='*.htm' -E '<!DOCTYPE[^>]*DTD HTML 4\.0' /usr/share/doc | sort -z > "$work/pages"
count=$(tr -cd '\0' < "$work/pages" | wc -c)
echo "$count HTML 4 pages under /usr/share/doc"

names=("quenda" "quenda --no-complete-lists" "quenda --close-implied" "tidy -asxhtml")
groups=(manuals javadoc)
declare -A wf valid pages kinds

# xmllint: 0 valid; 3 or 4 well-formed but not valid; anything else not well-formed.
judge() {
  local key="$group:$1" file=$2 status=0
  xmllint --nonet --noout --valid "$file" >/dev/null 2>&1 || status=$?
  case $status in
    0) wf[$key]=$((${wf[$key]:-0} + 1)); valid[$key]=$((${valid[$key]:-0} + 1)) ;;
    3|4) wf[$key]=$((${wf[$key]:-0} + 1)) ;;
  esac
}

while IFS= read -r -d '' page; do
  doctype=$(grep -oiE -m1 'DTD HTML 4\.0?1?[^/]*//' "$page" | head -n1)
  case $doctype in
    *[Ff]rameset*) dtd=frameset ;;
    *[Tt]ransitional*|*[Ll]oose*) dtd=transitional ;;
    *) dtd=strict ;;
  esac
  # javadoc 1.x starts every page with this comment.
  group=manuals
  grep -q -m1 '<!--NewPage-->' "$page" && group=javadoc
  pages[$group]=$((${pages[$group]:-0} + 1))
  kinds[$dtd]=$((${kinds[$dtd]:-0} + 1))
  out="$work/out.xhtml"
  "$quenda" --dtd=$dtd "$page" -o "$out" 2>/dev/null && judge "quenda" "$out"
  "$quenda" --dtd=$dtd --no-complete-lists "$page" -o "$out" 2>/dev/null && judge "quenda --no-complete-lists" "$out"
  "$quenda" --dtd=$dtd --close-implied "$page" -o "$out" 2>/dev/null && judge "quenda --close-implied" "$out"
  rm -f "$out"
  tidy -asxhtml -q --doctype "$([ $dtd = frameset ] && echo auto || echo $dtd)" -o "$out" "$page" >/dev/null 2>&1 || true
  [ -s "$out" ] && judge "tidy -asxhtml" "$out"
done < "$work/pages"

echo "document types: strict ${kinds[strict]:-0}, transitional ${kinds[transitional]:-0}, frameset ${kinds[frameset]:-0}"
for group in "${groups[@]}"; do
  c=${pages[$group]:-0}
  [ "$c" -gt 0 ] || continue
  echo
  printf '%-28s %20s %20s\n' "$group ($c pages)" "well-formed" "valid"
  for n in "${names[@]}"; do
    awk -v n="$n" -v w="${wf[$group:$n]:-0}" -v v="${valid[$group:$n]:-0}" -v c="$c" \
      'BEGIN { printf "%-28s %12d %6.1f%% %12d %6.1f%%\n", n, w, 100 * w / c, v, 100 * v / c }'
  done
  awk -v g="$group" -v w="${wf[$group:quenda --close-implied]:-0}" -v v="${valid[$group:quenda --close-implied]:-0}" -v c="$c" \
    'BEGIN { met = w >= 0.98 * c && v >= 0.80 * c
             printf "%s: --close-implied goal (>= 98%% well-formed, >= 80%% valid): %s\n", g, met ? "met" : "NOT met" }'
done
