#!/usr/bin/env bash
# smbprobe benchmarks: the native viewer (optimised, no sanitizers) filling the record from a
# dump file against `dmidecode --from-dump` on the same file, as whole processes in the same
# run (target: ratio at most 1), then the long fuzz run (default 10 minutes; must find nothing).
#   scripts/bench-smbprobe.sh [--runs N] [--fuzz-seconds S]   (S = 0 skips the fuzz run)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=20
fuzz_seconds=600
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --fuzz-seconds) fuzz_seconds=$2; shift 2 ;;
    *) echo "usage: scripts/bench-smbprobe.sh [--runs N] [--fuzz-seconds S]" >&2; exit 2 ;;
  esac
done
scripts/setup.sh
out=$PWD/build/bench-smbprobe
mkdir -p "$out/machines"

core=(smbprobe/ansi-decoder-cp1252.cpp smbprobe/dmi-dump.cpp smbprobe/record-format.cpp smbprobe/smbios-index.cpp
      smbprobe/sysinfo-fill.cpp smbprobe/sysinfo-getters.cpp smbprobe/text-scan.cpp)
echo "[bench] building the optimised viewer, generator and timer"
# Linked statically, like every Windows binary of the product: no dynamic loading of libstdc++
# at start-up, which would otherwise dominate a process this short.
g++ -std=c++20 -O2 -static -I. "${core[@]}" smbprobe/smbview-native.cpp -o "$out/smbview"
g++ -std=c++20 -O2 -I. "${core[@]}" smbprobe/test-machine-generator.cpp smbprobe/test-table-builder.cpp \
  -DSMBPROBE_TESTDATA="\"$PWD/smbprobe/testdata\"" smbprobe/smbgen-native.cpp -o "$out/smbgen"
g++ -std=c++20 -O2 tests/bench/smbprobe/process-timer.cpp -o "$out/process-timer"

rm -f "$out"/machines/*
"$out/smbgen" "$out/machines" 40 --dump --seed 11
cp smbprobe/testdata/*.bin "$out/machines/"
files=("$out"/machines/*.bin)
dmidecode=$(command -v dmidecode || echo /usr/sbin/dmidecode)

echo "[bench] viewer vs dmidecode: ${#files[@]} dump files x $runs rounds, interleaved"
"$out/process-timer" "$runs" "${files[@]}" -- "$out/smbview" "{}" -- "$dmidecode" --from-dump "{}"
for name in lenovo-thinkpad-t440s dell-xps13-9365; do
  echo "[bench] $name alone:"
  "$out/process-timer" $((runs * 10)) "$out/machines/$name.bin" -- "$out/smbview" "{}" -- "$dmidecode" --from-dump "{}"
done

if [ "$fuzz_seconds" -gt 0 ]; then
  echo "[bench] fuzzing for $fuzz_seconds s"
  smbprobe/fuzz/run-fuzz.sh "$out/fuzz" "$fuzz_seconds" "$out/smbgen" 2>&1 | tail -8
fi
