#!/usr/bin/env bash
# tarvel against tarvel-sim on a free loopback port: the device must see the
# identification, both image reads and the channel names, the picker must
# end by itself, and the program must exit 0 on its scripted close.
set -euo pipefail
tarvel=$1
sim=$2
dir=$(mktemp -d)
trap 'kill "$simpid" 2>/dev/null || true; rm -rf "$dir"' EXIT
"$sim" --port 0 >"$dir/sim.log" 2>&1 &
simpid=$!
for _ in $(seq 100); do
  port=$(sed -n 's/.* on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$dir/sim.log" | head -1)
  [ -n "$port" ] && break
  sleep 0.05
done
[ -n "$port" ] || { echo "the emulated amplifier did not start"; cat "$dir/sim.log"; exit 1; }
TARVEL_SCRIPT_PORT=$port TARVEL_SCRIPT_CLOSE_MS=4000 TARVEL_SCRIPT_SHOT="$dir/shot.png" "$tarvel"
for want in "CMD_DEVICE_INFO" "CMD_READ_EQUSER pages=" "CMD_READ_EQUSER2" "CMD_READ_CHANNEL_NAMES"; do
  grep -q "$want" "$dir/sim.log" || { echo "the device never saw $want"; cat "$dir/sim.log"; exit 1; }
done
# The picture is of the main window: the picker ended by itself.
read -r b0 b1 b2 b3 < <(od -An -tu1 -j16 -N4 "$dir/shot.png")  # the PNG header's width
width=$(( (b0 << 24) | (b1 << 16) | (b2 << 8) | b3 ))
[ "$width" -ge 1000 ] || { echo "the picture is $width pixels wide: not the main window"; exit 1; }
echo "session ok"
