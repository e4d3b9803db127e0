#!/usr/bin/env bash
# CPU time per second of the whole program (offscreen), measured over a
# window of seconds: idle and connected to the emulated amplifier (after the
# import), then searching for a device (nothing listens on its port; the
# hidraw discovery runs as it does on any machine).
#
# The time is the scheduler's count in nanoseconds: the first field of
# /proc/PID/task/*/schedstat, summed over the program's threads at the start
# and at the end of the window (a thread that starts inside the window counts
# from zero; one that ends inside it is not counted).
#   bench/program_cpu.sh [build dir] [seconds]
# With THREADS=1 each row is followed by one line per thread: its name, CPU
# per second and times it ran per second (the third schedstat field).
set -euo pipefail
build="${1:-build/default}"
window="${2:-10}"
log=$(mktemp)
before=$(mktemp)
after=$(mktemp)
run=$(mktemp -d)  # the program's runtime folder: its lock is its own
simpid=""
apppid=""
trap 'kill $simpid $apppid 2>/dev/null || true; rm -rf "$log" "$log.rows" "$before" "$after" "$run"' EXIT

# One line per thread: tid, name, ns on the CPU, times it ran.
snapshot() {
  local t
  for t in /proc/"$1"/task/*; do
    local comm stat
    comm=$(tr ' ' '_' <"$t/comm" 2>/dev/null) || continue
    stat=$(cat "$t/schedstat" 2>/dev/null) || continue
    echo "${t##*/} $comm $stat"
  done
}

# Runs the program against port $1 and prints its CPU per second after a
# settling time of $2 seconds (and, with THREADS=1, the threads' lines).
measure() {
  XDG_RUNTIME_DIR="$run" TARVEL_SCRIPT_LOCK_DIR="$run" QT_QPA_PLATFORM=offscreen TARVEL_SCRIPT_PORT="$1" TARVEL_SCRIPT_CLOSE_MS=$(( (window + $2 + 2) * 1000 )) \
    "$build/app/tarvel" 2>/dev/null &
  apppid=$!
  sleep "$2"
  snapshot $apppid >"$before"
  sleep "$window"
  snapshot $apppid >"$after"
  awk -v w="$window" -v threads="${THREADS:-0}" '
    NR == FNR { ns[$1] = $3; runs[$1] = $5; next }
    {
      d = ($3 - ns[$1]) / 1e6 / w
      total += d
      line[++n] = sprintf("    %-16s %6.2f ms/s %7.1f runs/s", $2, d, ($5 - runs[$1]) / w)
    }
    END {
      printf "%.1f\n", total
      if (threads == "1") for (i = 1; i <= n; ++i) print line[i]
    }' "$before" "$after" >"$log.rows"
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
[ -n "$port" ] || { echo "program_cpu: the emulated amplifier did not start" >&2; exit 1; }

row() {
  local first
  first=$(head -1 "$log.rows")
  echo "tarvel, $1: $first ms of CPU per second (over ${window} s)"
  tail -n +2 "$log.rows"
  rm -f "$log.rows"
}

measure "$port" 4
row "idle and connected"
kill $simpid
wait $simpid 2>/dev/null || true
simpid=""
# The port the emulator had is free now: connects are refused.
measure "$port" 2
row "searching for a device"
