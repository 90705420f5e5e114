#!/usr/bin/env bash
# The plug-in's export table holds the host interface under its plain, undecorated names,
# and on 32-bit Windows pluginStart removes its three arguments (12 bytes) from the stack.
#   check-exports.sh OBJDUMP Quenda.dll
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
echo "exports ok: $(echo $names)"
