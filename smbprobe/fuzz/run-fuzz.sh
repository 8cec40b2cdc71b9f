#!/usr/bin/env bash
# Builds the smbprobe fuzz target with clang (libFuzzer, ASan, UBSan) and runs it.
#   run-fuzz.sh WORK_DIR SECONDS SMBGEN
# WORK_DIR keeps the binary and the growing corpus; seeds are generated machines plus the real
# tables of smbprobe/testdata. Exits non-zero when the fuzzer finds a crash or a leak.
set -euo pipefail
work=$(mkdir -p "$1" && cd "$1" && pwd)
seconds=$2
smbgen=$3
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
mkdir -p "$work/corpus" "$work/seeds"

sources=("$here/smbios-fuzz.cpp")
for f in ansi-decoder-cp1252 dmi-dump smbios-index sysinfo-fill sysinfo-getters text-scan; do
  sources+=("$src/smbprobe/$f.cpp")
done
binary="$work/smbios-fuzz"
rebuild=0
[ -x "$binary" ] || rebuild=1
for f in "${sources[@]}" "$src"/smbprobe/*.h; do
  [ "$f" -nt "$binary" ] && rebuild=1
done
if [ "$rebuild" = 1 ]; then
  echo "[fuzz] building $binary"
  clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I"$src" "${sources[@]}" -o "$binary"
fi

"$smbgen" "$work/seeds" 64 --seed 7
cp "$src"/smbprobe/testdata/*.table "$src"/smbprobe/testdata/*.bin "$work/seeds/"

cd "$work"
exec "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
  -print_final_stats=1 corpus seeds
