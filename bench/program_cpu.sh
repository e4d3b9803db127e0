#!/usr/bin/env bash
# CPU time per second of the whole program while idle and connected to the
# emulated amplifier (offscreen): waits until the import is over, then
# measures over a window of seconds.
#   bench/program_cpu.sh [build dir] [seconds]
set -euo pipefail
build="${1:-build/default}"
window="${2:-10}"
log=$(mktemp)
"$build/sim/tool/tarvel-sim" --port 0 --quiet >"$log" 2>&1 &
simpid=$!
trap 'kill $simpid $apppid 2>/dev/null || true; rm -f "$log"' EXIT
port=""
for _ in $(seq 100); do
  port=$(sed -n 's/.* on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$log" | head -1)
  [ -n "$port" ] && break
  sleep 0.05
done
QT_QPA_PLATFORM=offscreen TARVEL_SCRIPT_PORT="$port" TARVEL_SCRIPT_CLOSE_MS=$(( (window + 6) * 1000 )) \
  "$build/app/tarvel" 2>/dev/null &
apppid=$!
sleep 4
ticks() { awk '{print $14 + $15}' "/proc/$apppid/stat"; }
hz=$(getconf CLK_TCK)
a=$(ticks)
sleep "$window"
b=$(ticks)
echo "tarvel, idle and connected: $(( (b - a) * 1000 / hz / window )) ms of CPU per second (over ${window} s)"
wait $apppid
