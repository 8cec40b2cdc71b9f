#!/usr/bin/env bash
# The loader's language choice under Wine, which takes a user's language from the LANG of the
# wine process (SetThreadUILanguage and a child's Windows environment do not change it in
# Wine 8): for each language, catalogue_probe loads adaptalert's rows 19 and 20 and keywatch's
# row 109 (from the test that carries keywatch's tables) and compares them with the catalogue.
#   catalogue-languages.sh <catalogue.tsv> <probe.exe> <catalogue test.exe>
set -u
tsv=$1 probe=$2 keywatch=$3
[ -n "${ORVO_HARNESS:-}" ] && [ -n "${WINEPREFIX:-}" ] || { echo "run through scripts/test.sh" >&2; exit 1; }
adaptalert='C:\Program Files\Orvotek\Orvo Jumpdeck\adaptalert.exe'
out="$WINEPREFIX/drive_c/orvo-catalogue-probe.txt"
failures=0

expected() {  # <language id> <row>
  python3 - "$tsv" "$1" "$2" <<'PY'
import sys
tsv, language, row = sys.argv[1], int(sys.argv[2], 16), sys.argv[3]
for line in open(tsv, encoding="utf-8"):
    f = line.rstrip("\n").split("\t")
    if not line.startswith("#") and len(f) == 4 and int(f[0], 16) == language and f[1] == row and f[2] in ("*", "keywatch"):
        print(f[3], end="")
PY
}

load() {  # <LANG> <module> <row>
  rm -f "$out"
  LANG=$1 LC_ALL=$1 wine "$probe" "$2" "$3" 'C:\orvo-catalogue-probe.txt' >/dev/null 2>&1 </dev/null
  [ -f "$out" ] && iconv -f UTF-16LE -t UTF-8 "$out"
}

check() {  # <name> <LANG> <module> <row> <expected language id>
  local got want
  got=$(load "$2" "$3" "$4")
  want=$(expected "$5" "$4")
  if [ "$got" = "$want" ] && [ -n "$want" ]; then
    echo "ok   $1: row $4 = ${got:0:60}..."
  else
    echo "FAIL $1: row $4"
    echo "     got:  $got"
    echo "     want: $want"
    failures=$((failures + 1))
  fi
}

# name | LANG | block the loader should pick
while IFS='|' read -r name locale block; do
  check "$name" "$locale" "$adaptalert" 20 "$block"
  check "$name" "$locale" "$adaptalert" 19 "$block"
done <<'CASES'
German|de_DE.UTF-8|0x0407
Russian|ru_RU.UTF-8|0x0419
Japanese|ja_JP.UTF-8|0x0411
Portuguese (Brazil)|pt_BR.UTF-8|0x0416
Portuguese (Portugal)|pt_PT.UTF-8|0x0816
Chinese (PRC)|zh_CN.UTF-8|0x0804
Chinese (Taiwan)|zh_TW.UTF-8|0x0404
Spanish (Mexico)|es_MX.UTF-8|0x080A
Arabic (Saudi Arabia)|ar_SA.UTF-8|0x0401
Icelandic, not carried|is_IS.UTF-8|0x0409
Ukrainian, not carried|uk_UA.UTF-8|0x0409
English|en_US.UTF-8|0x0409
CASES
# keywatch's class name lives in block 7, English only: every language gets it.
for locale in ja_JP.UTF-8 de_DE.UTF-8 ru_RU.UTF-8; do
  check "keywatch class name, $locale" "$locale" "$(winepath -w "$keywatch")" 109 0x0409
done
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
