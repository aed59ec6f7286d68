#!/usr/bin/env bash
# Start-up time and peak memory of the program's window against one empty Qt
# window, alternately: from inside (a probe reports when its window is first
# painted) on the offscreen platform and on Xvfb, and from outside (the X
# server reports when the real program's window is mapped) on Xvfb; prints the
# tables and writes them into docs/PERFORMANCE.md.
#   bench/startup/run.sh [runs per window from inside, default 30] [runs from outside, default 15]
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-30}
outside_runs=${2:-15}

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target startup_probe_program startup_probe_minimal startup_bench \
  taborvane startup_empty_window startup_watch
dir=build/release/bench/startup
report=$(mktemp)

measure() {
  {
    echo "Measured $(date -u +%Y-%m-%d) with \`bench/startup/run.sh $runs $outside_runs\` (release build), the two windows started alternately; the first start of each is not counted."
    echo
    echo "Offscreen platform:"
    echo
    QT_QPA_PLATFORM=offscreen "$dir/startup_bench" "$dir/startup_probe_program" "$dir/startup_probe_minimal" "$runs"
    echo
    echo "Xvfb (xcb platform):"
    echo
    xvfb-run -a -s "-screen 0 1280x800x24" env QT_QPA_PLATFORM=xcb \
      "$dir/startup_bench" "$dir/startup_probe_program" "$dir/startup_probe_minimal" "$runs"
    echo
    echo "From outside, Xvfb without a window manager: the real program (\`taborvane\`) against an empty,"
    echo "titled QWidget, from the start of the process until the X server maps its window, and the"
    echo "process's peak resident memory (VmHWM) at that moment:"
    echo
    xvfb-run -a -s "-screen 0 1280x800x24" env QT_QPA_PLATFORM=xcb \
      "$dir/startup_watch" build/release/app/taborvane "$dir/startup_empty_window" "$outside_runs"
  } 2>/dev/null > "$report"
}
# Never at the same time as another measurement on this machine.
export -f measure
export dir runs outside_runs report
flock /tmp/taborvane-measure.lock bash -c measure

cat "$report"
scripts/update-doc-section.sh docs/PERFORMANCE.md startup "$report"
rm -f "$report"
