#!/usr/bin/env bash
# tarvel against tarvel-sim with message boxes that wait for an answer also
# offscreen: the click on ResetAll raises its question, and the scripted
# close must end that box in front of the window (as its No) and then the
# program, which exits 0.
set -euo pipefail
tarvel=$1
sim=$2
reset_all=$3
. "$(dirname "$0")/sim_port.sh"
dir=$(mktemp -d)  # also the program's runtime folder, its lock's own
trap 'kill "$simpid" 2>/dev/null || true; rm -rf "$dir"' EXIT
"$sim" --port 0 --quiet >"$dir/sim.log" 2>&1 &
simpid=$!
port=$(sim_port "$dir/sim.log") || { echo "the emulated amplifier did not start"; cat "$dir/sim.log"; exit 1; }
# A close that came before the click (a slow start) is tried again with twice the time.
for close_ms in 6000 12000 24000 48000; do
  XDG_RUNTIME_DIR=$dir TARVEL_SCRIPT_LOCK_DIR=$dir TARVEL_SCRIPT_PORT=$port TARVEL_SCRIPT_REAL_BOXES=1 TARVEL_SCRIPT_CLICK=$reset_all TARVEL_SCRIPT_CLOSE_MS=$close_ms \
    "$tarvel" 2>"$dir/err.log" || { echo "tarvel exited with $?"; cat "$dir/err.log"; exit 1; }
  # Offscreen boxes that take their default at once would be reported instead.
  if grep -q "^message box:" "$dir/err.log"; then echo "a box took its default at once"; cat "$dir/err.log"; exit 1; fi
  if grep -q "the scripted close ends the message box" "$dir/err.log"; then echo "box closed"; exit 0; fi
done
echo "no popup was in front when the close came"
cat "$dir/err.log"
exit 1
