#!/usr/bin/env bash
# Starts the built program on a virtual display, waits until its window is
# shown, saves a PNG of the window, then ends the program.
# Usage: scripts/screenshot.sh PROGRAM OUTPUT.png
set -euo pipefail
program=$1
output=$2

if [ "${3:-}" != "--on-virtual-display" ]; then
  xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$program" "$output" --on-virtual-display
  echo "$output"
  exit 0
fi

"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Taborvane$' | head -n 1)
sleep 0.5  # let the first paint finish
import -window "$window" "$output"
