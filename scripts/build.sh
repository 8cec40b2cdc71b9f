#!/usr/bin/env bash
# Configures and builds the three presets (native, win32, win64).
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in "${@:-native win32 win64}"; do
  for p in $preset; do
    [ -f "build/$p/CMakeCache.txt" ] || cmake --preset "$p" >/dev/null
    cmake --build --preset "$p" -j "$(nproc)"
  done
done
