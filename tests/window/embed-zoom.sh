#!/bin/sh
# The embedding example under a virtual display (run by under-xvfb.sh): a left drag across the
# graph, fed by the application's own loop, must zoom it. The example prints the world window it
# ends with; the full window is x 0..20.
set -eu
program=$1
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$program" --frames 240 >"$out" &
app=$!
window=$(timeout 10 xdotool search --sync --name "velgraph embedded" | head -n 1)
xdotool mousemove --window "$window" 250 150 mousedown 1
xdotool mousemove --window "$window" 400 250 mousemove --window "$window" 550 400 mouseup 1
wait "$app"
cat "$out"
grep -q "window x 0\.\.20," "$out" && { echo "the drag did not zoom the graph"; exit 1; }
grep -q "240 frames" "$out"
