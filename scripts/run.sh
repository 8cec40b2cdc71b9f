#!/usr/bin/env bash
# The main job: sets up and builds everything, installs the product and the simulated machine
# into a private Wine prefix (build/run) under Xvfb, starts keywatch, plays the scenario
# steps scripts/scenario/*.sh in name order and prints what the system did. The transcript is
# also saved to build/run/transcript.txt.
#
# Functions for scenario steps (each prints into the transcript):
#   say <text>                      a heading for the next step
#   note <text>                     an indented remark
#   sim <args...>                   simctl.exe: fwbridge install|start|stop|remove, answer <code> <hex>,
#                                   noanswer <code>, delay <code> <ms>, reset, ... (see standins/simctl.cpp)
#   send_keywatch <wparam> <lparam> WM_KEYWATCH to the message window, synchronous (kwsend)
#   send_message <verb> <args...>   kwsend with any verb: command <id>, power <wparam>,
#                                   session <wparam>, display [<wparam> <lparam>]
#   start_keywatch                  starts keywatch.exe in the product folder; returns once its
#                                   window answers (creation, including the startup, has finished)
#   wait_keywatch_exit              waits for keywatch to end and prints its exit code
#   show_new_codes                  control codes fwbridge received since the last call
#   show_new_starts                 programs started since the last call (image and command line)
#   show_data_key                   the values of HKCU\Software\Orvotek\Orvo Jumpdeck\Data
#   show_padlink                    padlink's recorded start/stop calls
#   popup_geometry                  "x y w h" of the adapter warning popup, if one is on screen
#   show_adapter_popup              waits up to 5 s for that popup and says where it is
# Variables: ORVO_ROOT, RUN_DIR (build/run), PRODUCT_DIR (the product folder on the Unix side).
set -euo pipefail
ORVO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ORVO_ROOT"
RUN_DIR="$ORVO_ROOT/build/run"
TRANSCRIPT="$RUN_DIR/transcript.txt"
SIM_BIN='C:\OrvoSim\bin'

scripts/setup.sh
scripts/build.sh

# shellcheck source=harness.sh
source scripts/harness.sh
trap harness_stop EXIT
harness_start "$RUN_DIR" >"$RUN_DIR.harness.log" 2>&1 || { cat "$RUN_DIR.harness.log" >&2; exit 1; }
PRODUCT_DIR="$WINEPREFIX/drive_c/Program Files/Orvotek/Orvo Jumpdeck"
: >"$TRANSCRIPT"

emit() { printf '%s\n' "$*" | tee -a "$TRANSCRIPT"; }
say() { emit ""; emit "== $*"; }
note() { emit "   $*"; }
winrun() { wine "$@" </dev/null 2>/dev/null | tr -d '\r'; }

sim() { winrun "$SIM_BIN\\simctl.exe" "$@" >/dev/null; }

send_keywatch() {
  note "send WM_KEYWATCH wparam $1 lparam $2"
  winrun "$SIM_BIN\\kwsend.exe" keywatch "$1" "$2" >/dev/null || note "(no message window)"
}

send_message() {
  note "send $*"
  winrun "$SIM_BIN\\kwsend.exe" "$@" >/dev/null || note "(no message window)"
}

KEYWATCH_PID=""
start_keywatch() {
  rm -f "$RUN_DIR/keywatch.exit"
  (cd "$PRODUCT_DIR" && { wine keywatch.exe </dev/null >"$RUN_DIR/keywatch.out" 2>&1; echo $? >"$RUN_DIR/keywatch.exit"; }) &
  KEYWATCH_PID=$!
  local i
  for i in $(seq 1 120); do
    # kwsend waits for the window to be served; command 104 does nothing.
    if wine "$SIM_BIN\\kwsend.exe" command 104 </dev/null >/dev/null 2>&1; then
      note "keywatch is running (window \"Orvo Message Service\" answers)"
      return 0
    fi
    sleep 0.5
  done
  note "keywatch did not create its window"
  return 1
}

wait_keywatch_exit() {
  local i
  for i in $(seq 1 100); do
    [ -s "$RUN_DIR/keywatch.exit" ] && break
    sleep 0.1
  done
  wait "$KEYWATCH_PID" 2>/dev/null || true
  if [ -s "$RUN_DIR/keywatch.exit" ]; then
    note "keywatch ended with exit code $(cat "$RUN_DIR/keywatch.exit")"
  else
    note "keywatch has not ended"
  fi
}

CODES_SEEN=0
show_new_codes() {
  local codes
  mapfile -t codes < <(winrun "$SIM_BIN\\simctl.exe" received)
  local fresh=("${codes[@]:$CODES_SEEN}")
  CODES_SEEN=${#codes[@]}
  if [ ${#fresh[@]} -eq 0 ]; then
    note "fwbridge received: nothing"
  else
    note "fwbridge received: ${fresh[*]}"
  fi
}

# The X window of a top-level Wine window carries the window's name; prints "x y w h".
popup_geometry() {
  local id
  id=$(xwininfo -root -tree 2>/dev/null | awk '/"Orvo slidecard"/ {print $1; exit}')
  [ -n "$id" ] || return 1
  xwininfo -id "$id" 2>/dev/null | awk '
    /Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /^ +Width/ {w=$NF} /^ +Height/ {h=$NF} /Map State: IsViewable/ {v=1}
    END {if (v) print x, y, w, h; else exit 1}'
}

show_adapter_popup() {
  local geometry=""
  for _ in $(seq 1 50); do
    geometry=$(popup_geometry) && break
    sleep 0.1
  done
  if [ -n "$geometry" ]; then
    note "adapter warning shown: popup \"Orvo slidecard\" at ($(echo "$geometry" | awk '{print $1 ", " $2 "), " $3 " x " $4}')"
  else
    note "no adapter warning popup"
  fi
}

STARTS_SEEN=0
show_new_starts() {
  # Started programs record themselves a moment after they were launched, later on a busy
  # machine: read until the record has stopped growing for a second (at most 5 s).
  local lines count=-1 stable=0
  for _ in $(seq 1 25); do
    mapfile -t lines < <(winrun "$SIM_BIN\\simctl.exe" started)
    if [ ${#lines[@]} -eq "$count" ]; then
      stable=$((stable + 1))
      [ "$stable" -ge 5 ] && break
    else
      count=${#lines[@]}
      stable=0
    fi
    sleep 0.2
  done
  local fresh=("${lines[@]:$STARTS_SEEN}")
  STARTS_SEEN=${#lines[@]}
  if [ ${#fresh[@]} -eq 0 ]; then
    note "no stand-in program started"
    return 0
  fi
  local line
  for line in "${fresh[@]}"; do
    note "program started: $(printf '%s' "$line" | cut -f4)"
  done
}

show_data_key() {
  note "Data key:"
  winrun reg query 'HKCU\Software\Orvotek\Orvo Jumpdeck\Data' | grep REG_ | while read -r name type value; do
    note "  $name = ${value:-(empty)}"
  done
}

show_padlink() {
  local calls
  calls=$(winrun "$SIM_BIN\\simctl.exe" padlink | cut -f3 | paste -sd' ')
  note "padlink calls: ${calls:-none}"
}

emit "Orvo Jumpdeck Buttons: keywatch on the simulated machine ($(date -u '+%Y-%m-%d %H:%M UTC'))"
for step in scripts/scenario/*.sh; do
  # shellcheck disable=SC1090
  source "$step"
done

harness_stop
trap - EXIT
emit ""
emit "Transcript saved to $TRANSCRIPT"
