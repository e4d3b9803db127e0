#!/usr/bin/env bash
# Runs a command with a runtime folder of its own (XDG_RUNTIME_DIR, where the
# program keeps the lock that lets one copy run), removed afterwards: runs
# of the suite side by side never meet in it.
set -u
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
XDG_RUNTIME_DIR=$dir "$@"
exit $?
