#!/usr/bin/env bash
# Measures, in a screenshot of the built program on a virtual display, how
# wide the display's widest value and the caption "Start Countdown" are drawn
# against their boxes, at 1x and at 2x (QT_SCALE_FACTOR=2); prints a table
# row of each, and keeps the screenshots.
# The start entry takes 9 characters, so the widest value is typed as
# -2.1474e9 and shown as -2147400000: Roboto's digits share one advance, so
# it is drawn as wide as -2147483648.
# Usage: scripts/measure-widths.sh PROGRAM OUTPUT_FOLDER
set -euo pipefail
program=$1
output=$2

# Boxes in logical pixels, from the design: the display and the first button.
display_box=(40 16 745 169)
button_box=(88 256 145 28)

if [ "${3:-}" != "--on-virtual-display" ]; then
  mkdir -p "$output"
  release=$(. /etc/os-release && echo "${VERSION_CODENAME:-$ID}")
  qt=$(dpkg-query -W -f='${Version}' libqt6core6t64 2> /dev/null || dpkg-query -W -f='${Version}' libqt6core6)
  roboto=$(dpkg-query -W -f='${Version}' fonts-roboto-unhinted)
  echo "| release | Qt | Roboto | scale | -2147483648 in the display | \"Start Countdown\" on its button |"
  echo "|---|---|---|---|---|---|"
  for scale in 1 2; do
    xvfb-run -a -s "-screen 0 $((1280 * scale))x$((800 * scale))x24" \
      "$0" "$program" "$output" --on-virtual-display "$scale" | sed "s/^/| $release | ${qt%%+*} | ${roboto} /"
  done
  exit 0
fi
scale=$4
shot=$output/window-${scale}x.png

QT_SCALE_FACTOR=$scale "$program" &
pid=$!
trap 'kill "$pid" 2> /dev/null || true' EXIT
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Taborvane$' | head -n 1)
xdotool windowfocus --sync "$window" key ctrl+a type -- -2.1474e9
sleep 0.5 # let the paint finish
import -window "$window" "$shot"

# The width of the ink within a box, INSET pixels in from its edges (inside a
# button's frame): dark pixels on what is lighter around them.
ink_width() {
  local inset=$5
  local left=$(($1 + inset)) top=$(($2 + inset)) width=$(($3 - 2 * inset)) height=$(($4 - 2 * inset))
  convert "$shot" -crop "$((width * scale))x$((height * scale))+$((left * scale))+$((top * scale))" +repage \
    -colorspace Gray -threshold 50% -trim -format '%w' info:
}
printf '| %sx | %s of %s pixels | %s of %s pixels |\n' "$scale" \
  "$(ink_width "${display_box[@]}" 0)" "$((display_box[2] * scale))" \
  "$(ink_width "${button_box[@]}" 3)" "$((button_box[2] * scale))"
