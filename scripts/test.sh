#!/usr/bin/env bash
# The test command: installs what is missing, builds the three presets and runs the tiers.
#   scripts/test.sh [--tier unit|win|e2e]... [-R <ctest regex>]
# unit: native GoogleTest under ASan/UBSan; win: mingw GoogleTest under Wine;
# e2e: Windows programs that drive the installed product under Wine and Xvfb.
set -euo pipefail
ORVO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ORVO_ROOT"

tiers=()
ctest_args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --tier) tiers+=("$2"); shift 2 ;;
    -R) ctest_args+=(-R "$2"); shift 2 ;;
    *) echo "usage: scripts/test.sh [--tier unit|win|e2e]... [-R regex]" >&2; exit 2 ;;
  esac
done
[ ${#tiers[@]} -gt 0 ] || tiers=(unit win e2e)
wants() { local t; for t in "${tiers[@]}"; do [ "$t" = "$1" ] && return 0; done; return 1; }

start=$(date +%s)
scripts/setup.sh
scripts/build.sh
echo "[test] set-up and build: $(( $(date +%s) - start )) s"

passed=0
failed=0
summary=()
run_ctest() {  # <label> <build dir>
  local label=$1 dir=$2 log t0
  log=$(mktemp)
  t0=$(date +%s)
  set +e
  ctest --test-dir "$dir" -L "^$label\$" --output-on-failure --no-tests=ignore "${ctest_args[@]}" 2>&1 | tee "$log"
  set -e
  local line p f
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1 || true)
  if [ -n "$line" ]; then
    f=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/')
    p=$(( $(echo "$line" | sed -E 's/.*out of ([0-9]+).*/\1/') - f ))
    passed=$((passed + p))
    failed=$((failed + f))
    summary+=("$label/$(basename "$dir"): $p passed, $f failed, $(( $(date +%s) - t0 )) s")
  fi
  rm -f "$log"
}

home_wine_before=$(stat -c '%Y %i' "$HOME/.wine" 2>/dev/null || echo none)
if wants unit; then
  run_ctest unit build/native
fi
if wants win || wants e2e; then
  source scripts/harness.sh
  trap harness_stop EXIT
  t0=$(date +%s)
  harness_start "$ORVO_ROOT/build/wine"
  echo "[test] Wine prefix and Xvfb: $(( $(date +%s) - t0 )) s"
  for tier in win e2e; do
    wants "$tier" || continue
    run_ctest "$tier" build/win32
    run_ctest "$tier" build/win64
  done
  trap - EXIT
  if ! harness_stop; then
    summary+=("harness: processes left running")
    failed=$((failed + 1))
  fi
fi
if [ "$home_wine_before" != "$(stat -c '%Y %i' "$HOME/.wine" 2>/dev/null || echo none)" ]; then
  summary+=("harness: ~/.wine was touched")
  failed=$((failed + 1))
fi

echo
printf '%s\n' "${summary[@]}"
echo "[test] total: $(( $(date +%s) - start )) s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
