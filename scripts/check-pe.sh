#!/usr/bin/env bash
# Checks every PE file of a Windows build: ASLR and DEP on (high-entropy VA on 64-bit), no
# DLL dependencies beyond Windows' own and the product's, and padlink's ordinal-only exports.
#   check-pe.sh <objdump> <build dir>
set -uo pipefail
objdump=$1
build=$2
allowed='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|wtsapi32|msvcrt|ws2_32|comctl32|version|bcrypt|padlink|slidecard)\.dll$'
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

mapfile -t files < <(find "$build" -path "$build/googletest" -prune -o \( -name '*.exe' -o -name '*.dll' \) -type f -print | grep -v '/CMakeFiles/')
[ ${#files[@]} -gt 0 ] || fail "no PE files under $build"
for f in "${files[@]}"; do
  dump=$("$objdump" -p "$f")
  chars=$(echo "$dump" | awk '/^DllCharacteristics/ {print $2}')
  value=$((16#${chars:-0}))
  (( value & 0x40 )) || fail "$f: no dynamic base (DllCharacteristics $chars)"
  (( value & 0x100 )) || fail "$f: not NX compatible (DllCharacteristics $chars)"
  if echo "$dump" | grep -q 'pe-x86-64\|PE32+'; then
    (( value & 0x20 )) || fail "$f: no high-entropy VA (DllCharacteristics $chars)"
  fi
  while read -r dll; do
    echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed" || fail "$f: depends on $dll"
  done < <(echo "$dump" | awk '/DLL Name:/ {print $3}')
done

padlink=$(printf '%s\n' "${files[@]}" | grep '/padlink\.dll$' | head -1)
if [ -n "$padlink" ]; then
  exports=$("$objdump" -p "$padlink" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | tail -n +2 | grep -c '\]' || true)
  table=$("$objdump" -p "$padlink" | sed -n '/^Export Address Table -- Ordinal Base/,/^$/p')
  echo "$table" | grep -q '+base\[   1\]' || fail "padlink.dll: no ordinal 1"
  echo "$table" | grep -q '+base\[   2\]' || fail "padlink.dll: no ordinal 2"
  [ "$exports" -eq 0 ] || fail "padlink.dll exports $exports names"
fi
echo "checked ${#files[@]} PE files, $failures problems"
[ "$failures" -eq 0 ]
