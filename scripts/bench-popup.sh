#!/usr/bin/env bash
# Prints the popup's fade figures measured under Wine and Xvfb: the cost of one alpha update,
# the duration of each paced fade, and what the literal 235,000 updates per fade would take.
set -euo pipefail
ORVO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ORVO_ROOT"
scripts/build.sh win64 >/dev/null
source scripts/harness.sh
trap harness_stop EXIT
harness_start "$ORVO_ROOT/build/wine" 2>/dev/null
# Output goes through a file: the persistent wineserver keeps any pipe open.
wine build/win64/tests/bench/popup/popup_fade_bench.exe >build/wine/bench-popup.txt 2>&1 </dev/null
cat build/wine/bench-popup.txt
