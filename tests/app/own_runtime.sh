#!/usr/bin/env bash
# Runs a command with a runtime folder of its own (XDG_RUNTIME_DIR), which
# also holds the program's lock that lets one copy run (TARVEL_SCRIPT_LOCK_DIR),
# removed afterwards: runs of the suite side by side never meet in it.
set -u
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
XDG_RUNTIME_DIR=$dir TARVEL_SCRIPT_LOCK_DIR=$dir "$@"
exit $?
