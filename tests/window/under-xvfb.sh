#!/bin/sh
# Runs a command on a virtual display of its own: Xvfb picks a free display number, the screen is
# 1600 x 1000 at 120 dots per inch (the window tests check that the host reports exactly that).
# Exits 77 (ctest's skip) with a message when Xvfb or xdotool is missing.
set -u
for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed (make deps installs it)"
    exit 77
  fi
done
scratch=$(mktemp -d)
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$scratch"' EXIT INT TERM
Xvfb -displayfd 3 -screen 0 1600x1000x24 -dpi 120 -nolisten tcp 3>"$scratch/display" 2>"$scratch/log" &
server=$!
tries=0
while [ ! -s "$scratch/display" ]; do
  tries=$((tries + 1))
  if [ $tries -gt 100 ] || ! kill -0 "$server" 2>/dev/null; then
    echo "Xvfb did not start:"; cat "$scratch/log"
    exit 1
  fi
  sleep 0.1
done
DISPLAY=":$(head -n 1 "$scratch/display")"
export DISPLAY
"$@"
status=$?
exit $status
