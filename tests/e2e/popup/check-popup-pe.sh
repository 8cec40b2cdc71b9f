#!/usr/bin/env bash
# Checks how adaptalert.exe binds slidecard.dll: slidecard is PE32+ x86-64 with exactly one
# export, ShowToasterPopUp at ordinal 1; adaptalert is a PE32+ x86-64 GUI program importing
# ordinal 1 of slidecard.dll and no name from it.
#   check-popup-pe.sh <objdump> <slidecard.dll> <adaptalert.exe>
set -u
objdump=$1 dll=$2 exe=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
has() { grep -Eq "$2" <<<"$1"; }

dump=$("$objdump" -p "$dll")
has "$dump" 'file format pei-x86-64' || fail "$dll is not PE32+ x86-64"
has "$dump" 'Magic.*020b' || fail "$dll: optional header is not PE32+"
names=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | grep -E '^\s*\[ *[0-9]+\]')
[ "$(grep -c . <<<"$names")" = 1 ] || fail "$dll: expected one named export, got: $names"
has "$names" '^\s*\[ +0\] ShowToasterPopUp$' || fail "$dll: the first (ordinal 1) name is not ShowToasterPopUp: $names"
addresses=$(sed -n '/^Export Address Table -- Ordinal Base/,/^$/p' <<<"$dump")
has "$addresses" 'Ordinal Base 1$' || fail "$dll: ordinal base is not 1"
[ "$(grep -c 'Export RVA' <<<"$addresses")" = 1 ] || fail "$dll: expected one exported address: $addresses"

dump=$("$objdump" -p "$exe")
has "$dump" 'file format pei-x86-64' || fail "$exe is not PE32+ x86-64"
has "$dump" 'Subsystem.*\(Windows GUI\)' || fail "$exe is not a GUI program"
imports=$(awk '/DLL Name: slidecard.dll/ {on=1; next} on && /^$/ {exit} on' <<<"$dump" | grep -v 'vma:')
[ -n "$imports" ] || fail "$exe does not import slidecard.dll"
[ "$(grep -c . <<<"$imports")" = 1 ] || fail "$exe: expected one import from slidecard.dll: $imports"
has "$imports" '^\s*8000000000000001\s+0*1\s+<none>$' || fail "$exe: the slidecard import is not ordinal 1 without a name: $imports"

[ "$failures" -eq 0 ] && echo "slidecard.dll: one export, ShowToasterPopUp @1; adaptalert.exe imports slidecard.dll ordinal 1 only"
[ "$failures" -eq 0 ]
