#!/usr/bin/env bash
# tarvel on a 1366 x 768 X screen (Xvfb, no window manager: the available
# area is the whole screen) with Qt's scale factors as a desktop's scaling
# sets them: the main window lies wholly on the screen. Skipped (77) without
# Xvfb.
set -euo pipefail
tarvel=$1
command -v Xvfb >/dev/null && command -v xwininfo >/dev/null || { echo "Xvfb or xwininfo is not installed: skipped"; exit 77; }
. "$(dirname "$0")/xvfb.sh"
dir=$(mktemp -d)
xpid=
apppid=
trap 'kill $apppid $xpid 2>/dev/null || true; rm -rf "$dir"' EXIT

start_xvfb "$dir" 1366x768x24 || exit 1

# The mapped top-level window at least 1000 wide as "x y width height".
main_window() {
  xwininfo -root -children 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) .* \([0-9]*\)x\([0-9]*\)+.*$/\1 \2/p' |
    while read -r id w; do
      [ "$w" -ge 1000 ] || continue
      info=$(xwininfo -id "$id" 2>/dev/null)
      grep -q "Map State: IsViewable" <<<"$info" || continue
      sed -n 's/^ *Absolute upper-left [XY]: *\(-\?[0-9]*\)$/\1/p; s/^ *\(Width\|Height\): *\([0-9]*\)$/\2/p' <<<"$info" |
        tr '\n' ' '
      echo
    done | head -1
}

for scale in QT_SCREEN_SCALE_FACTORS=1.25 QT_SCALE_FACTOR=1.25; do
  env "$scale" XDG_RUNTIME_DIR="$dir" TARVEL_SCRIPT_LOCK_DIR="$dir" QT_QPA_PLATFORM=xcb TARVEL_SCRIPT_PORT=1 \
    TARVEL_SCRIPT_MODEL=4 TARVEL_SCRIPT_CLOSE_MS=600000 "$tarvel" 2>"$dir/tarvel.log" &
  apppid=$!
  window=
  for _ in $(seq 1200); do
    kill -0 "$apppid" 2>/dev/null || { echo "tarvel ended ($scale)"; cat "$dir/tarvel.log"; exit 1; }
    window=$(main_window)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "the main window never showed ($scale)"; cat "$dir/tarvel.log"; exit 1; }
  read -r x y w h <<<"$window"
  if [ "$x" -lt 0 ] || [ "$y" -lt 0 ] || [ $((x + w)) -gt 1366 ] || [ $((y + h)) -gt 768 ]; then
    echo "$scale: the window ${w}x${h} at $x,$y leaves the 1366x768 screen"
    exit 1
  fi
  echo "$scale: ${w}x${h} at $x,$y"
  kill "$apppid"
  wait "$apppid" 2>/dev/null || true
  apppid=
done
