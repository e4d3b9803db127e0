#!/usr/bin/env bash
# tarvel against tarvel-sim on a free loopback port: the device must see the
# identification, both image reads and the channel names, the picker must
# end by itself, and the program must exit 0 on its scripted close.
# The close comes at a set time; a session that was not through by then (a
# busy machine) runs again with twice the time, up to 32 s.
set -euo pipefail
tarvel=$1
sim=$2
. "$(dirname "$0")/sim_port.sh"
dir=$(mktemp -d)  # also the program's runtime folder, its lock's own
simpid=
trap 'if [ -n "$simpid" ]; then kill "$simpid" 2>/dev/null || true; fi; rm -rf "$dir"' EXIT

# One session closed after $1 ms: 0 when it got through, 1 when it was not
# through by the close, 2 on a failure that more time cannot mend.
session() {
  rm -f "$dir/sim.log" "$dir/shot.png"
  "$sim" --port 0 >"$dir/sim.log" 2>&1 &
  simpid=$!
  local port
  port=$(sim_port "$dir/sim.log") || { echo "the emulated amplifier did not start"; cat "$dir/sim.log"; return 2; }
  XDG_RUNTIME_DIR=$dir TARVEL_SCRIPT_LOCK_DIR=$dir TARVEL_SCRIPT_PORT=$port TARVEL_SCRIPT_CLOSE_MS=$1 TARVEL_SCRIPT_SHOT="$dir/shot.png" "$tarvel" ||
    { echo "the program failed"; return 2; }
  kill "$simpid" 2>/dev/null || true
  wait "$simpid" 2>/dev/null || true
  simpid=
  for want in "CMD_DEVICE_INFO" "CMD_READ_EQUSER pages=" "CMD_READ_EQUSER2" "CMD_READ_CHANNEL_NAMES"; do
    grep -q "$want" "$dir/sim.log" || { echo "the device never saw $want"; return 1; }
  done
  # The picture is of the main window: the picker ended by itself.
  [ -s "$dir/shot.png" ] || { echo "no picture"; return 1; }
  local b0 b1 b2 b3
  read -r b0 b1 b2 b3 < <(od -An -tu1 -j16 -N4 "$dir/shot.png")  # the PNG header's width
  local width=$(( (b0 << 24) | (b1 << 16) | (b2 << 8) | b3 ))
  [ "$width" -ge 1000 ] || { echo "the picture is $width pixels wide: not the main window"; return 1; }
}

for close_ms in 4000 8000 16000 32000; do
  rc=0
  session "$close_ms" || rc=$?
  [ "$rc" -eq 0 ] && { echo "session ok"; exit 0; }
  [ "$rc" -eq 2 ] && exit 1
  echo "not through after $close_ms ms"
done
cat "$dir/sim.log"
exit 1
