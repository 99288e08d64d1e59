#!/bin/sh
# The designer shows a form in a window (run by under-xvfb.sh): the window of the new form's
# caption appears, and Escape closes it with the designer ending well. Only a visible window is
# the final one: SDL may make its window again when it sets up drawing.
set -eu
program=$1
form=$(mktemp --suffix .vfm)
trap 'rm -f "$form"' EXIT
"$program" new "$form"
"$program" open "$form" --window &
designer=$!
window=$(timeout 10 xdotool search --sync --onlyvisible --name "^Form1$" | head -n 1)
[ -n "$window" ] || { echo "the designer showed no window"; kill "$designer"; exit 1; }
xdotool mousemove --window "$window" 20 20
xdotool key Escape
wait "$designer"
