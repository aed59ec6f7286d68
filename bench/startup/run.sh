#!/usr/bin/env bash
# Start-up time and peak memory of the program's window against one empty Qt
# window, alternately, on the offscreen platform and on Xvfb; prints the
# tables and writes them into docs/PERFORMANCE.md.
#   bench/startup/run.sh [runs per window, default 30]
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-30}

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target startup_probe_program startup_probe_minimal startup_bench
dir=build/release/bench/startup
report=$(mktemp)

measure() {
  {
    echo "Measured $(date -u +%Y-%m-%d) with \`bench/startup/run.sh $runs\` (release build), the two windows started alternately; the first start of each is not counted."
    echo
    echo "Offscreen platform:"
    echo
    QT_QPA_PLATFORM=offscreen "$dir/startup_bench" "$dir/startup_probe_program" "$dir/startup_probe_minimal" "$runs"
    echo
    echo "Xvfb (xcb platform):"
    echo
    xvfb-run -a -s "-screen 0 1280x800x24" env QT_QPA_PLATFORM=xcb \
      "$dir/startup_bench" "$dir/startup_probe_program" "$dir/startup_probe_minimal" "$runs"
  } 2>/dev/null > "$report"
}
# Never at the same time as another measurement on this machine.
export -f measure
export dir runs report
flock /tmp/taborvane-measure.lock bash -c measure

cat "$report"
scripts/update-doc-section.sh docs/PERFORMANCE.md startup "$report"
rm -f "$report"
