#!/usr/bin/env bash
# CPU time per second of the whole program (offscreen), measured over a
# window of seconds: idle and connected to the emulated amplifier (after the
# import), then searching for a device (nothing listens on its port; the
# hidraw discovery runs as it does on any machine).
#   bench/program_cpu.sh [build dir] [seconds]
set -euo pipefail
build="${1:-build/default}"
window="${2:-10}"
log=$(mktemp)
simpid=""
apppid=""
trap 'kill $simpid $apppid 2>/dev/null || true; rm -f "$log"' EXIT
hz=$(getconf CLK_TCK)
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# Runs the program against port $1 and prints its CPU per second after a
# settling time of $2 seconds.
measure() {
  QT_QPA_PLATFORM=offscreen TARVEL_SCRIPT_PORT="$1" TARVEL_SCRIPT_CLOSE_MS=$(( (window + $2 + 2) * 1000 )) \
    "$build/app/tarvel" 2>/dev/null &
  apppid=$!
  sleep "$2"
  local a b
  a=$(ticks $apppid)
  sleep "$window"
  b=$(ticks $apppid)
  awk -v t=$((b - a)) -v hz="$hz" -v w="$window" 'BEGIN { printf "%.1f", t * 1000 / hz / w }'
  wait $apppid || true
  apppid=""
}

"$build/sim/tool/tarvel-sim" --port 0 --quiet >"$log" 2>&1 &
simpid=$!
port=""
for _ in $(seq 100); do
  port=$(sed -n 's/.* on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$log" | head -1)
  [ -n "$port" ] && break
  sleep 0.05
done
echo "tarvel, idle and connected: $(measure "$port" 4) ms of CPU per second (over ${window} s)"
kill $simpid
wait $simpid 2>/dev/null || true
simpid=""
# The port the emulator had is free now: connects are refused.
echo "tarvel, searching for a device: $(measure "$port" 2) ms of CPU per second (over ${window} s)"
