#!/usr/bin/env bash
# Measures, in screenshots of the built program on a virtual display, how
# wide the display's widest value and the caption "Start Countdown" are drawn
# against their boxes, at 1x and at 2x (QT_SCALE_FACTOR=2). Writes the rows of
# this Debian release into docs/APPEARANCE.md, and its screenshot at 1x into
# docs/window-RELEASE.png.
# The start entry takes 9 characters, so the widest value is typed as
# -2.1474e9 and shown as -2147400000: Roboto's digits share one advance, so
# it is drawn as wide as -2147483648.
# Usage: scripts/measure-widths.sh [PROGRAM]   (default: what run.sh builds)
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/program/app/taborvane}

# A control's box in logical pixels, as the design table places it.
box_of() {
  local twips_per_pixel
  twips_per_pixel=$(sed -n 's/.*kTwipsPerPixel = \([0-9]*\);.*/\1/p' window/design.h)
  sed -n "s/.*{\"$1\", *ControlKind::[A-Za-z]*, *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\),.*/\1 \2 \3 \4/p" \
    window/design.h | awk -v t="$twips_per_pixel" '{ printf "%d %d %d %d", $1 / t, $2 / t, $3 / t, $4 / t }'
}
read -ra display_box <<< "$(box_of lblDisplay)"
read -ra button_box <<< "$(box_of cmdStart)"
[ ${#display_box[@]} -eq 4 ] && [ ${#button_box[@]} -eq 4 ] || { echo "the design table has no box for them" >&2; exit 1; }

release=$(. /etc/os-release && echo "${VERSION_CODENAME:-$ID}")
qt=$(dpkg-query -W -f='${source:Upstream-Version}' qt6-base-dev | sed 's/+.*//')
roboto=$(dpkg-query -W -f='${Version}' fonts-roboto-unhinted)
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT

# The width of the ink within a box, INSET pixels in from its edges (inside a
# button's frame): dark pixels on what is lighter around them.
ink_width() {
  local shot=$1 scale=$2 inset=$7
  local left=$(($3 + inset)) top=$(($4 + inset)) width=$(($5 - 2 * inset)) height=$(($6 - 2 * inset))
  convert "$shot" -crop "$((width * scale))x$((height * scale))+$((left * scale))+$((top * scale))" +repage \
    -colorspace Gray -threshold 50% -trim -format '%w' info:
}

rows=$shots/rows.md
{
  echo "Measured $(date -u +%Y-%m-%d) with \`scripts/measure-widths.sh\`: ink in pixels against the box."
  echo
  echo '| release | Qt | fonts-roboto-unhinted | scale | the widest value in the display | "Start Countdown" on its button |'
  echo '|---|---|---|---|---|---|'
} > "$rows"
for scale in 1 2; do
  shot=$shots/window-${scale}x.png
  QT_SCALE_FACTOR=$scale scripts/screenshot.sh "$program" "$shot" -2.1474e9 > /dev/null
  printf '| %s | %s | %s | %sx | %s of %s | %s of %s |\n' "$release" "$qt" "$roboto" "$scale" \
    "$(ink_width "$shot" "$scale" "${display_box[@]}" 0)" "$((display_box[2] * scale))" \
    "$(ink_width "$shot" "$scale" "${button_box[@]}" 3)" "$((button_box[2] * scale))" >> "$rows"
done
cat "$rows"
cp "$shots/window-1x.png" "docs/window-$release.png"
scripts/update-doc-section.sh docs/APPEARANCE.md "widths-$release" "$rows"
