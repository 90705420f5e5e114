#!/usr/bin/env bash
# The plug-in's export table holds the host interface under its plain, undecorated names,
# and on 32-bit Windows pluginStart removes its three arguments (12 bytes) from the stack.
# The DLL and each further program carry a version resource with the product's version.
#   check-exports.sh OBJDUMP Quenda.dll [PROGRAM.exe...]
set -euo pipefail
objdump="$1"
dll="$2"

names=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^\t\[ *[0-9]+\]/ {print $NF}' | sort)
expected=$(printf '%s\n' _Hauptform pluginInterfaceVersion pluginRueckgabetyp pluginStart | sort)
if [ "$names" != "$expected" ]; then
  echo "exports of $dll:"; echo "$names"; echo "expected:"; echo "$expected"
  exit 1
fi

if "$objdump" -f "$dll" | grep -q 'pei-i386'; then
  # stdcall with three 32-bit arguments: the function returns with "ret $0xc".
  body=$("$objdump" -d --disassemble='_pluginStart@12' "$dll")
  if ! grep -q 'ret *\$0xc' <<<"$body"; then
    echo "pluginStart does not return with ret \$0xc:"; grep -E 'ret' <<<"$body" || true
    exit 1
  fi
fi
# The resource's texts are UTF-16: each key followed by its value.
version=$(sed -n 's/^project(Quenda VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
for file in "$dll" "${@:3}"; do
  texts=$(strings -el "$file" | tr '\n' '|')
  for pair in "FileVersion|$version" "ProductVersion|$version" "ProductName|Quenda" "CompanyName|Das Quenda-Team"; do
    if [[ "$texts" != *"|$pair|"* ]]; then
      echo "$(basename "$file"): the version resource lacks ${pair/|/ = }"
      exit 1
    fi
  done
done
echo "exports ok: $(echo $names); version $version in $(($# - 1)) files"
