#!/usr/bin/env bash
# Measures how far each button's caption keeps from its button's top and
# bottom edge, in device pixels, at the scales a desktop may set: the rows the
# caption ink test (tests/caption_ink_test.cpp) reports, run offscreen at
# each QT_SCALE_FACTOR. With --before COMMIT, the same test is built against
# that commit's window code as well and its rows are set beside these. Writes
# the rows of this Debian release into docs/APPEARANCE.md.
# Usage: scripts/measure-caption-margins.sh [--before COMMIT] [TEST]
#   TEST: the built test (default build/dev/tests/caption_ink_tests)
set -euo pipefail
cd "$(dirname "$0")/.."
before=
if [ "${1:-}" = --before ]; then
  before=$2
  shift 2
fi
test_program=$(realpath "${1:-build/dev/tests/caption_ink_tests}")
scales=(1 1.25 1.5 1.75 2)
captions=("Start Countdown" "Count Up" "Divide" "Multiply" "Reset Zero" "Stop" "Exit")
work=$(mktemp -d)
trap 'git worktree remove --force "$work/before" 2> /dev/null || true; rm -rf "$work"' EXIT

# The test's own report of each caption's margins, one file a scale, under the first style it runs in.
measure() {
  local program=$1 into=$2
  for scale in "${scales[@]}"; do
    QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=$scale "$program" inkIsWholeAndInsideTheTextArea 2>&1 |
      sed -n 's/^QINFO .*) \([A-Za-z0-9]*\) "\(.*\)" at [0-9.]*x in fusion: ink top margin \([0-9]*\), bottom margin \([0-9]*\) of \([0-9]*\) device pixels.*/\2\t\3\/\4 of \5/p' \
        > "$into.$scale" || true
  done
}

measure "$test_program" "$work/after"
if [ -n "$before" ]; then
  git worktree add --quiet --detach "$work/before" "$before"
  cp tests/caption_ink_test.cpp tests/find_control.h "$work/before/tests/"
  cat >> "$work/before/tests/CMakeLists.txt" << 'EOF'
qt_add_executable(caption_ink_tests caption_ink_test.cpp)
target_link_libraries(caption_ink_tests PRIVATE taborvane_window Qt6::Test taborvane_defaults)
EOF
  cmake -S "$work/before" -B "$work/before/build" -DCMAKE_BUILD_TYPE=Release -DTABORVANE_BUILD_BENCH=OFF > /dev/null
  cmake --build "$work/before/build" --target caption_ink_tests -j2 > /dev/null
  measure "$work/before/build/tests/caption_ink_tests" "$work/before-rows"
fi

release=$(. /etc/os-release && echo "${VERSION_CODENAME:-$ID}")
qt=$(dpkg-query -W -f='${source:Upstream-Version}' qt6-base-dev | sed 's/+.*//')
rows=$work/rows.md
{
  echo "Measured $(date -u +%Y-%m-%d) with \`scripts/measure-caption-margins.sh${before:+ --before $before}\` on $release (Qt $qt): device pixels between the caption's ink and its button's top and bottom edge, of the button's height${before:+; before → after}."
  echo
  printf '| caption |'
  printf ' %sx |' "${scales[@]}"
  echo
  printf '|---|'
  printf -- '---|%.0s' "${scales[@]}"
  echo
  for caption in "${captions[@]}"; do
    printf '| %s |' "$caption"
    for scale in "${scales[@]}"; do
      after=$(awk -F'\t' -v c="$caption" '$1 == c { print $2; exit }' "$work/after.$scale")
      if [ -n "$before" ]; then
        was=$(awk -F'\t' -v c="$caption" '$1 == c { print $2; exit }' "$work/before-rows.$scale")
        printf ' %s → %s |' "${was% of *}" "$after"
      else
        printf ' %s |' "$after"
      fi
    done
    echo
  done
} > "$rows"
cat "$rows"
scripts/update-doc-section.sh docs/APPEARANCE.md "margins-$release" "$rows"
