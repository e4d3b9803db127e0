#!/usr/bin/env bash
# Two starts of tarvel in one runtime folder: the second must say that the
# program already runs and end at once (exit 0), leaving the first running;
# once the first has died by SIGKILL, its lock is gone and a third start runs.
set -euo pipefail
tarvel=$1
dir=$(mktemp -d)
firstpid=
trap 'if [ -n "$firstpid" ]; then kill -9 "$firstpid" 2>/dev/null || true; fi; rm -rf "$dir"' EXIT
export XDG_RUNTIME_DIR=$dir/run TARVEL_SCRIPT_PORT=1
mkdir -m 700 "$XDG_RUNTIME_DIR"

# The first copy holds the lock while the model picker waits (no device).
TARVEL_SCRIPT_CLOSE_MS=600000 "$tarvel" 2>"$dir/first.log" &
firstpid=$!
# It listens beside its lock once it holds it.
for _ in $(seq 600); do
  [ -S "$XDG_RUNTIME_DIR/tarvel.socket" ] && break
  kill -0 "$firstpid" 2>/dev/null || { echo "the first copy ended"; cat "$dir/first.log"; exit 1; }
  sleep 0.1
done
[ -S "$XDG_RUNTIME_DIR/tarvel.socket" ] || { echo "the first copy never took the lock"; exit 1; }

# The second ends by itself, after its message (offscreen: the box takes its
# default at once and is reported on stderr).
rc=0
timeout 120 "$tarvel" 2>"$dir/second.log" || rc=$?
[ "$rc" -eq 0 ] || { echo "the second copy exited with $rc (124: it ran on)"; cat "$dir/second.log"; exit 1; }
grep -q "^message box: .*already running" "$dir/second.log" ||
  { echo "the second copy did not say that the program runs"; cat "$dir/second.log"; exit 1; }
kill -0 "$firstpid" 2>/dev/null || { echo "the first copy ended too"; cat "$dir/first.log"; exit 1; }

# A crash leaves no lock behind: the next start runs (its picture is taken
# by the scripted close, which only a running window gets to).
kill -9 "$firstpid"
wait "$firstpid" 2>/dev/null || true
firstpid=
rc=0
TARVEL_SCRIPT_CLOSE_MS=1000 TARVEL_SCRIPT_SHOT="$dir/third.png" timeout 120 "$tarvel" 2>"$dir/third.log" || rc=$?
[ "$rc" -eq 0 ] || { echo "the start after the crash exited with $rc"; cat "$dir/third.log"; exit 1; }
if grep -q "already running" "$dir/third.log"; then echo "the crashed copy's lock held"; exit 1; fi
[ -s "$dir/third.png" ] || { echo "the start after the crash showed no window"; cat "$dir/third.log"; exit 1; }
echo "one copy at a time"
