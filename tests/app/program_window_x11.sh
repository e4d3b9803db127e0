#!/usr/bin/env bash
# tarvel on an X server (Xvfb): its main window is a normal top-level window
# (type NORMAL, not modal, transient for nothing) whose WM_CLASS is the
# desktop entry's StartupWMClass; a popup it opens (the settings, button
# $3) is a modal dialog in front of it. Skipped (77) without Xvfb.
set -euo pipefail
tarvel=$1
desktop_entry=$2
setup_button=$3
command -v Xvfb >/dev/null && command -v xprop >/dev/null && command -v xwininfo >/dev/null ||
  { echo "Xvfb, xprop or xwininfo is not installed: skipped"; exit 77; }
. "$(dirname "$0")/xvfb.sh"
dir=$(mktemp -d)
xpid=
apppid=
trap 'kill $apppid $xpid 2>/dev/null || true; rm -rf "$dir"' EXIT

start_xvfb "$dir" 1920x1080x24 || exit 1

XDG_RUNTIME_DIR=$dir TARVEL_SCRIPT_LOCK_DIR=$dir QT_QPA_PLATFORM=xcb TARVEL_SCRIPT_PORT=1 TARVEL_SCRIPT_MODEL=4 \
  TARVEL_SCRIPT_CLICK="$setup_button" TARVEL_SCRIPT_CLOSE_MS=600000 "$tarvel" 2>"$dir/tarvel.log" &
apppid=$!

# The mapped top-level windows as "id width height", widest first.
windows() {
  xwininfo -root -children 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) .* \([0-9]*\)x\([0-9]*\)+.*$/\1 \2 \3/p' |
    while read -r id w h; do
      xwininfo -id "$id" 2>/dev/null | grep -q "Map State: IsViewable" && echo "$id $w $h"
    done | sort -k2 -n -r
}

# The main window and, once the click has opened it, the settings dialog.
main= popup=
for _ in $(seq 1200); do
  kill -0 "$apppid" 2>/dev/null || { echo "tarvel ended"; cat "$dir/tarvel.log"; exit 1; }
  mapfile -t shown < <(windows)
  if [ "${#shown[@]}" -ge 2 ]; then
    read -r main w _ <<<"${shown[0]}"
    popup=$(cut -d' ' -f1 <<<"${shown[1]}")
    [ "$w" -ge 1000 ] && break
  fi
  sleep 0.1
done
[ -n "$popup" ] || { echo "the window and its popup never showed"; windows; cat "$dir/tarvel.log"; exit 1; }

fail=0
props() { xprop -id "$1" "$2" 2>&1; }
check() {  # window, what, property, grep pattern, want (yes: matches, no: does not)
  local out
  out=$(props "$1" "$3")
  if { [ "$5" = yes ] && ! grep -q -- "$4" <<<"$out"; } || { [ "$5" = no ] && grep -q -- "$4" <<<"$out"; }; then
    echo "$2: $out"
    fail=1
  fi
}
check "$main" "the main window's type is not NORMAL" _NET_WM_WINDOW_TYPE _NET_WM_WINDOW_TYPE_NORMAL yes
check "$main" "the main window is a dialog" _NET_WM_WINDOW_TYPE _NET_WM_WINDOW_TYPE_DIALOG no
check "$main" "the main window is modal" _NET_WM_STATE _NET_WM_STATE_MODAL no
check "$main" "the main window is transient" WM_TRANSIENT_FOR "window id" no
wmclass=$(sed -n 's/^StartupWMClass=//p' "$desktop_entry")
[ -n "$wmclass" ] || { echo "$desktop_entry has no StartupWMClass"; fail=1; }
check "$main" "the main window's class is not StartupWMClass ($wmclass)" WM_CLASS ", \"$wmclass\"\$" yes
check "$popup" "the popup is not a dialog" _NET_WM_WINDOW_TYPE _NET_WM_WINDOW_TYPE_DIALOG yes
check "$popup" "the popup is not modal" _NET_WM_STATE _NET_WM_STATE_MODAL yes
check "$popup" "the popup is not in front of the main window" WM_TRANSIENT_FOR "window id # $main\$" yes
[ "$fail" -eq 0 ] || exit 1
echo "a normal window with a modal popup"
