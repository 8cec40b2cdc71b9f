#!/usr/bin/env bash
# Benchmark of a bezel-button press under Wine: firmware event 4 to the started program's
# first instruction, against a bare exchange plus a bare process start in the same run.
set -euo pipefail
ORVO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ORVO_ROOT"
scripts/setup.sh
scripts/build.sh win32
source scripts/harness.sh
trap harness_stop EXIT
harness_start "$ORVO_ROOT/build/bench-actions"
# Wine's helper processes may keep a pipe open, so the output goes through a file.
out="$ORVO_ROOT/build/bench-actions/bench.txt"
status=0
wine "$ORVO_ROOT/build/win32/keywatch/bench_button_start.exe" </dev/null >"$out" 2>&1 || status=$?
tr -d '\r' <"$out"
exit "$status"
