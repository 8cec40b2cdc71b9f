#!/usr/bin/env bash
# Configures and builds the three presets (native, win32, win64).
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in "${@:-native win32 win64}"; do
  for p in $preset; do
    # Always re-run: a folder added since the last configure must join the build.
    cmake --preset "$p" >/dev/null
    cmake --build --preset "$p" -j "$(nproc)"
  done
done
