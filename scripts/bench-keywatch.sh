#!/usr/bin/env bash
# Builds the win32 preset and runs the keywatch benchmark under its own private prefix
# (build/bench) and Xvfb; prints the figures. Not a test: nothing here passes or fails.
set -euo pipefail
ORVO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ORVO_ROOT"
scripts/build.sh win32
source scripts/harness.sh
trap harness_stop EXIT
harness_start "$ORVO_ROOT/build/bench" >"$ORVO_ROOT/build/bench.harness.log" 2>&1
wine "$ORVO_ROOT/build/win32/keywatch/keywatch_bench.exe" </dev/null 2>/dev/null | tr -d '\r'
