# Sourced by test.sh and run.sh: one private 64-bit Wine prefix and one Xvfb per run.
#   harness_start <dir>   fresh prefix in <dir>/wineprefix, Xvfb on a free display,
#                         persistent wineserver, product and simulated machine installed
#   harness_stop          ends only this run's wineserver and Xvfb
# Everything else runs with WINEPREFIX, DISPLAY and ORVO_HARNESS exported.

ORVO_ROOT=${ORVO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
HARNESS_XVFB_PID=""

harness_log() { echo "[harness] $*" >&2; }

harness_free_display() {
  local n
  for n in $(seq 90 250); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      echo "$n"
      return 0
    fi
  done
  return 1
}

harness_start() {
  local dir=$1
  mkdir -p "$dir"
  export WINEPREFIX="$dir/wineprefix"
  export WINEARCH=win64
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export ORVO_HARNESS=1
  rm -rf "$WINEPREFIX"

  local display
  display=$(harness_free_display) || { harness_log "no free X display"; return 1; }
  Xvfb ":$display" -screen 0 1366x768x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
  HARNESS_XVFB_PID=$!
  export DISPLAY=":$display"
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
  done
  harness_log "Xvfb $DISPLAY (pid $HARNESS_XVFB_PID), prefix $WINEPREFIX"

  wineboot -i >"$dir/wineboot.log" 2>&1
  # The wineserver that created the prefix is restarted once, then kept alive for the whole
  # run; otherwise it exits shortly after the last program and takes services with it.
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wineserver -p
  # The first program after the restart brings up services.exe, explorer and the device
  # hosts; start them here, so they hold our log file and not the pipe of a test runner
  # (ctest would wait for them forever).
  wine cmd.exe /c exit >>"$dir/wineboot.log" 2>&1
  harness_install
}

# Copies the installed trees of both Windows builds onto drive C: of the prefix.
harness_install() {
  local drive="$WINEPREFIX/drive_c" preset
  for preset in win32 win64; do
    if [ -f "$ORVO_ROOT/build/$preset/CMakeCache.txt" ]; then
      cmake --install "$ORVO_ROOT/build/$preset" --prefix "$drive" >/dev/null
    fi
  done
  local product="$drive/Program Files/Orvotek/Orvo Jumpdeck"
  if [ ! -f "$product/adaptalert.exe" ]; then
    cp "$drive/OrvoSim/bin/adaptalert-standin.exe" "$product/adaptalert.exe"
  fi
  harness_log "installed the product and the simulated machine"
}

# Fails when any process of this run's prefix, or its Xvfb, is still alive.
harness_check_clean() {
  local prefix=$1 xvfb_pid=$2 left="" pid
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    if tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$prefix"; then
      left="$left $pid"
    fi
  done
  if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
    left="$left $xvfb_pid(Xvfb)"
  fi
  if [ -n "$left" ]; then
    harness_log "still running after the run:$left"
    return 1
  fi
  harness_log "no process of this run is left"
}

harness_stop() {
  local xvfb_pid=$HARNESS_XVFB_PID
  if [ -n "${WINEPREFIX:-}" ] && [ -n "${ORVO_HARNESS:-}" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
  if [ -n "$HARNESS_XVFB_PID" ]; then
    kill "$HARNESS_XVFB_PID" 2>/dev/null || true
    wait "$HARNESS_XVFB_PID" 2>/dev/null || true
    HARNESS_XVFB_PID=""
  fi
  [ -z "${WINEPREFIX:-}" ] || harness_check_clean "$WINEPREFIX" "$xvfb_pid"
}
