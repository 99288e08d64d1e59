#!/bin/sh
# The embedding example under a virtual display (run by under-xvfb.sh): a left drag across the
# graph, fed by the application's own loop, must zoom it; Escape then ends the loop (the frame cap
# only bounds a run whose key got lost). The example prints the world window it ends with; the
# full window is x 0..20.
set -eu
program=$1
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$program" --frames 3000 >"$out" &
app=$!
window=$(timeout 10 xdotool search --sync --name "velgraph embedded" | head -n 1)
tries=0
until grep -q "shown" "$out"; do
  tries=$((tries + 1))
  [ $tries -le 200 ] || { echo "the example showed nothing in 20 s"; exit 1; }
  sleep 0.1
done
xdotool mousemove --window "$window" 250 150 mousedown 1
xdotool mousemove --window "$window" 400 250 mousemove --window "$window" 550 400 mouseup 1
xdotool key Escape
wait "$app"
cat "$out"
grep -q "window x 0\.\.20," "$out" && { echo "the drag did not zoom the graph"; exit 1; }
grep -q " frames, " "$out"
