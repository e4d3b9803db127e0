#!/usr/bin/env bash
# One copy of tarvel at a time, however it was started. Every start keeps its
# lock in one folder of the test's (TARVEL_SCRIPT_LOCK_DIR), as every start of
# a user agrees on the user's own.
#   $1 tarvel
#   $2 "unwritable": both starts have a runtime folder they cannot write
#      (skipped, 77, as root, who writes everywhere)
# Without $2: a start with XDG_RUNTIME_DIR and one without it; the second
# says that the program runs and that its window came forward, and ends at
# once (exit 0), leaving the first running; a plain file or folder at the
# socket's place stays, and a second start then says that it could not reach
# the first; once the first has died by SIGKILL, its lock is gone and the
# next start runs.
set -euo pipefail
tarvel=$1
mode=${2:-}
if [ "$mode" = unwritable ] && [ "$(id -u)" -eq 0 ]; then
  echo "root writes to any folder: run as an ordinary user"
  exit 77
fi
dir=$(mktemp -d)
firstpid=
trap 'if [ -n "$firstpid" ]; then kill -9 "$firstpid" 2>/dev/null || true; fi; chmod -R u+w "$dir"; rm -rf "$dir"' EXIT
lock=$dir/lock
mkdir -m 700 "$lock" "$dir/run"
export TARVEL_SCRIPT_LOCK_DIR=$lock TARVEL_SCRIPT_PORT=1
[ "$mode" = unwritable ] && chmod 500 "$dir/run"

# Starts the first copy, which holds the lock while the model picker waits
# (no device), and waits until it holds it (/proc/locks: a test of its own
# would take the lock for a moment).
start_first() {
  XDG_RUNTIME_DIR=$dir/run TARVEL_SCRIPT_CLOSE_MS=600000 "$tarvel" 2>"$dir/first.log" &
  firstpid=$!
  for _ in $(seq 600); do
    grep -q "FLOCK .* WRITE $firstpid " /proc/locks && return 0
    kill -0 "$firstpid" 2>/dev/null || { echo "the first copy ended"; cat "$dir/first.log"; exit 1; }
    sleep 0.1
  done
  echo "the first copy never took the lock"
  cat "$dir/first.log"
  exit 1
}

# A second start, with the environment given, ends by itself after its
# message (offscreen: the box takes its default at once and is reported on
# stderr), which must match $1.
second_start_says() {
  local want=$1 rc=0
  shift
  timeout 120 env "$@" "$tarvel" 2>"$dir/second.log" || rc=$?
  [ "$rc" -eq 0 ] || { echo "the second copy exited with $rc (124: it ran on)"; cat "$dir/second.log"; exit 1; }
  grep -q "^message box: .*$want" "$dir/second.log" ||
    { echo "the second copy did not say: $want"; cat "$dir/second.log"; exit 1; }
  kill -0 "$firstpid" 2>/dev/null || { echo "the first copy ended too"; cat "$dir/first.log"; exit 1; }
}

stop_first() {
  kill -9 "$firstpid"
  wait "$firstpid" 2>/dev/null || true
  firstpid=
}

start_first
if [ "$mode" = unwritable ]; then
  second_start_says "already running.*brought to the front" XDG_RUNTIME_DIR="$dir/run"
  stop_first
  echo "one copy at a time with a runtime folder that cannot be written"
  exit 0
fi
second_start_says "already running.*brought to the front" -u XDG_RUNTIME_DIR
stop_first

# What someone put at the socket's place stays; the first copy runs without
# it, and a second start cannot reach it.
for kind in file folder; do
  rm -f "$lock/tarvel.socket"
  if [ "$kind" = file ]; then echo mine >"$lock/tarvel.socket"; else mkdir "$lock/tarvel.socket"; fi
  start_first
  second_start_says "already running.*could not be reached" XDG_RUNTIME_DIR="$dir/run"
  stop_first
  # A copy that runs to its end (the scripted close) leaves it too.
  rc=0
  XDG_RUNTIME_DIR=$dir/run TARVEL_SCRIPT_CLOSE_MS=1000 timeout 120 "$tarvel" 2>"$dir/alone.log" || rc=$?
  [ "$rc" -eq 0 ] || { echo "the start beside a $kind exited with $rc"; cat "$dir/alone.log"; exit 1; }
  if [ "$kind" = file ]; then
    [ "$(cat "$lock/tarvel.socket" 2>/dev/null)" = mine ] || { echo "the file at the socket's place is gone"; exit 1; }
  else
    [ -d "$lock/tarvel.socket" ] || { echo "the folder at the socket's place is gone"; exit 1; }
    rmdir "$lock/tarvel.socket"
  fi
done

# A crash leaves no lock behind: the next start runs (its picture is taken
# by the scripted close, which only a running window gets to).
start_first
stop_first
rc=0
XDG_RUNTIME_DIR=$dir/run TARVEL_SCRIPT_CLOSE_MS=1000 TARVEL_SCRIPT_SHOT="$dir/third.png" timeout 120 "$tarvel" \
  2>"$dir/third.log" || rc=$?
[ "$rc" -eq 0 ] || { echo "the start after the crash exited with $rc"; cat "$dir/third.log"; exit 1; }
if grep -q "already running" "$dir/third.log"; then echo "the crashed copy's lock held"; exit 1; fi
[ -s "$dir/third.png" ] || { echo "the start after the crash showed no window"; cat "$dir/third.log"; exit 1; }
echo "one copy at a time"
