#!/usr/bin/env bash
# Times the development loop: for each case, a one-line change to a file
# (an unused constant appended, its value new each time, so that it
# compiles anew, past any compiler cache, and nothing else differs),
# then the build and the tests that file's layer answers to. The file is put
# back and built again, untimed, after each case. Run it after a first build
# of the preset, on a quiet machine.
#   scripts/measure-edit-loop.sh [BUILD_PRESET [COUNTER_TESTS WINDOW_TESTS ALL_TESTS]]
# Defaults: edit, and the test presets counter, window and edit. Each test
# argument is what follows "ctest": "--preset counter", say.
set -euo pipefail
cd "$(dirname "$0")/.."

build_preset=${1:-edit}
counter_tests=${2:---preset counter}
window_tests=${3:---preset window}
all_tests=${4:---preset edit}
cases=(
  "counter/number_rules.cpp|$counter_tests"
  "window/lamp_widget.cpp|$window_tests"
  "counter/control_surface.h|$all_tests"
)

cmake --build --preset "$build_preset" > /dev/null
printf '| file changed | build | tests | edit to result |\n|---|---|---|---|\n'
for entry in "${cases[@]}"; do
  file=${entry%%|*}
  read -r -a tests <<< "${entry#*|}"
  saved=$(mktemp)
  cp -p "$file" "$saved"
  trap 'cp -p "$saved" "$file"' EXIT
  echo "[[maybe_unused]] static constexpr long long kMeasuredEdit = $(date +%s%N);" >> "$file"
  started=$(date +%s%N)
  cmake --build --preset "$build_preset" > /dev/null
  built=$(date +%s%N)
  ctest "${tests[@]}" > /dev/null
  tested=$(date +%s%N)
  cp -p "$saved" "$file"
  trap - EXIT
  rm -f "$saved"
  touch "$file"
  cmake --build --preset "$build_preset" > /dev/null
  printf '| `%s` (`ctest %s`) | %.1f s | %.1f s | %.1f s |\n' "$file" "${tests[*]}" \
    "$(((built - started) / 1000000))e-3" "$(((tested - built) / 1000000))e-3" "$(((tested - started) / 1000000))e-3"
done
