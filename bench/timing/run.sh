#!/usr/bin/env bash
# Builds the timing benchmark in release, runs it on the offscreen platform and
# on a virtual X server, prints its tables and writes them into
# docs/PERFORMANCE.md (section "timing"). Arguments go to the benchmark.
# Usage: bench/timing/run.sh [--case-ms N] [--idle-ms N] [--trials N]
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build/bench-timing
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target timing_bench -j2
bench=$build/bench/timing/timing_bench

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# The machine has two cores: no other measurement may run at the same time, so
# each run holds the shared lock, and only while it measures.
echo "== offscreen platform" >&2
flock /tmp/taborvane-measure.lock env QT_QPA_PLATFORM=offscreen "$bench" "$@" >"$out/offscreen.md"
echo "== X server (Xvfb)" >&2
flock /tmp/taborvane-measure.lock \
  xvfb-run -a -s "-screen 0 1280x800x24" env QT_QPA_PLATFORM=xcb "$bench" "$@" >"$out/xcb.md"

{
  echo "Measured on $(date -u '+%Y-%m-%d %H:%M UTC') by \`bench/timing/run.sh${*:+ $*}\`: a release build"
  echo "(\`cmake -S . -B build/bench-timing -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF\`), run as"
  echo "\`QT_QPA_PLATFORM=offscreen timing_bench\` and"
  echo "\`xvfb-run -a -s \"-screen 0 1280x800x24\" env QT_QPA_PLATFORM=xcb timing_bench\`, each under"
  echo "\`flock /tmp/taborvane-measure.lock\`."
  echo
  echo "### Offscreen platform"
  echo
  cat "$out/offscreen.md"
  echo
  echo "### X server (Xvfb, no window manager)"
  echo
  cat "$out/xcb.md"
} >"$out/section.md"

cat "$out/section.md"
scripts/update-doc-section.sh docs/PERFORMANCE.md timing "$out/section.md"
