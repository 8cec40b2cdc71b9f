#!/usr/bin/env bash
# smbprobe.dll as objdump sees it: a PE32 i386 DLL whose export table holds exactly one name,
# kroGetBIOSInitialize, undecorated.
#   check-export.sh <objdump> <smbprobe.dll>
set -uo pipefail
dump=$("$1" -p "$2") || { echo "FAIL: objdump could not read $2"; exit 1; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
grep -q 'file format pei-i386' <<<"$dump" || fail "not pei-i386"
grep -Eq '^Magic[[:space:]]+010b' <<<"$dump" || fail "not PE32 (Magic $(awk '/^Magic/ {print $2}' <<<"$dump"))"
chars=$(awk '/^Characteristics/ {print $2; exit}' <<<"$dump")
(( chars & 0x2000 )) || fail "not a DLL (Characteristics $chars)"
names=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | grep -E '^\s+\[' | awk '{print $NF}')
[ "$names" = "kroGetBIOSInitialize" ] || fail "exported names: [$(echo $names)]"
addresses=$(sed -n '/^Export Address Table -- Ordinal Base/,/^$/p' <<<"$dump" | grep -c 'Export RVA' || true)
[ "$addresses" -eq 1 ] || fail "$addresses export addresses"
echo "smbprobe.dll exports: $names; $failures problems"
[ "$failures" -eq 0 ]
