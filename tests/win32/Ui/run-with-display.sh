#!/usr/bin/env bash
# run-with-display.sh COMMAND [args...]: runs the command with DISPLAY set to a virtual display
# of its own (Xvfb), for tests that need real windows; the display goes when the command ends.
set -uo pipefail
command -v Xvfb >/dev/null || { echo "Xvfb is missing (scripts/deps.sh installs it)"; exit 1; }
work=$(mktemp -d)
xvfb=""
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# Xvfb picks a free display and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start: $(cat "$work/xvfb.log")"; exit 1; }
export DISPLAY=:$(cat "$work/display")
"$@"
