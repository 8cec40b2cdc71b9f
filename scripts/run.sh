#!/usr/bin/env bash
# The main job: sets up, builds, and installs the product and the simulated machine into a
# private Wine prefix under Xvfb (build/run/wineprefix), then shows what is installed.
# The message service's scenario joins this script as the service is built.
set -euo pipefail
ORVO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ORVO_ROOT"
scripts/setup.sh
scripts/build.sh
source scripts/harness.sh
trap harness_stop EXIT
harness_start "$ORVO_ROOT/build/run"
wine 'C:\OrvoSim\bin\simctl.exe' fwbridge install
wine 'C:\OrvoSim\bin\simctl.exe' fwbridge start
echo "fwbridge state: $(wine 'C:\OrvoSim\bin\simctl.exe' fwbridge state | tr -d '\r') (4 = running)"
echo "installed under C:\\:"
(cd "$WINEPREFIX/drive_c" && find "Program Files/Orvotek" "OrvoSim" -type f | sort | sed 's/^/  /')
