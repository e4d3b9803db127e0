# Sourced by the program tests on an X server. start_xvfb DIR SIZE: an Xvfb
# of screen SIZE (WxHxD) on a display number of its own (the server picks a
# free one and writes it), without reset between clients; sets xpid and
# DISPLAY, or prints why and returns 1.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 "$2" -nolisten tcp -noreset 3>"$1/display" 2>"$1/xvfb.log" &
  xpid=$!
  for _ in $(seq 600); do
    [ -s "$1/display" ] && break
    kill -0 "$xpid" 2>/dev/null || { echo "Xvfb did not start"; cat "$1/xvfb.log"; return 1; }
    sleep 0.1
  done
  [ -s "$1/display" ] || { echo "Xvfb did not start"; return 1; }
  export DISPLAY=":$(head -1 "$1/display")"
}
