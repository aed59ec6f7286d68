#!/usr/bin/env bash
# Starts the built program on a virtual display, waits until its window is
# shown, types TEXT into the focused entry if given, saves a PNG of the
# window, then ends the program. QT_SCALE_FACTOR, if set, scales the window,
# and the virtual screen with it.
# Usage: scripts/screenshot.sh PROGRAM OUTPUT.png [TEXT]
set -euo pipefail
program=$1
output=$2
typed=${3:-}

if [ "${4:-}" != "--on-virtual-display" ]; then
  screen=$(awk -v scale="${QT_SCALE_FACTOR:-1}" 'BEGIN { printf "%dx%d", 1280 * scale, 800 * scale }')
  xvfb-run -a -s "-screen 0 ${screen}x24" "$0" "$program" "$output" "$typed" --on-virtual-display
  echo "$output"
  exit 0
fi

"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Taborvane$' | head -n 1)
[ -z "$typed" ] || xdotool windowfocus --sync "$window" key ctrl+a type -- "$typed"
sleep 0.5  # let the paint finish
import -window "$window" "$output"
