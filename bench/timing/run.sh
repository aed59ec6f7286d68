#!/usr/bin/env bash
# Builds the program and the timing probe in release, runs the program with
# the probe preloaded on the offscreen platform and on a virtual X server,
# prints the probe's tables and writes them into docs/PERFORMANCE.md (section
# "timing"). With --baseline COMMIT it also builds that commit's program, as
# it is, and runs it under the same probe just before this build on each
# platform, the two builds' costs side by side. Other arguments go to the probe.
# Usage: bench/timing/run.sh [--baseline COMMIT] [--case-ms N] [--idle-ms N] [--trials N]
#                            [--stall-ms N] [--stall-trials N]
set -euo pipefail
cd "$(dirname "$0")/../.."

baseline=
if [ "${1:-}" = --baseline ]; then
  baseline=$(git rev-parse --short "$2^{commit}")
  shift 2
fi

scripts/install-deps.sh program headless test
scripts/configure.sh release
cmake --build --preset release --target taborvane timing_probe
probe=$PWD/build/release/bench/timing/libtiming_probe.so
after=$PWD/build/release/app/taborvane

if [ -n "$baseline" ]; then
  # The earlier commit's own sources, untouched; their build folder is kept,
  # so that a second run builds nothing again.
  tree=build/baseline-$baseline
  rm -rf "$tree/source"
  mkdir -p "$tree/source"
  git archive "$baseline" | tar -x -C "$tree/source"
  cmake -S "$tree/source" -B "$tree/build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF > /dev/null
  cmake --build "$tree/build" --target taborvane -j2
  before=$PWD/$tree/build/app/taborvane
fi

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# The machine has two cores: no other measurement may run at the same time, so
# each run holds the shared lock, and only while it measures.
run() { # NAME PLATFORM PROGRAM [PROBE ARGUMENTS...]
  local name=$1 platform=$2 program=$3
  shift 3
  echo "== $name, $platform" >&2
  local display=(env QT_QPA_PLATFORM=offscreen)
  [ "$platform" = xcb ] && display=(xvfb-run -a -s "-screen 0 1280x800x24" env QT_QPA_PLATFORM=xcb)
  flock /tmp/taborvane-measure.lock "${display[@]}" TABORVANE_TIMING_PROBE=1 LD_PRELOAD="$probe" \
    TABORVANE_TIMING_ARGS="--costs $out/$name-$platform.tsv $*" "$program" > "$out/$name-$platform.md"
}

for platform in offscreen xcb; do
  beside=()
  if [ -n "$baseline" ]; then
    run before "$platform" "$before" "$@"
    beside=(--before "$out/before-$platform.tsv")
  fi
  run after "$platform" "$after" "$@" "${beside[@]}"
done

{
  echo "Measured on $(date -u '+%Y-%m-%d %H:%M UTC') by \`bench/timing/run.sh${baseline:+ --baseline $baseline}${*:+ $*}\`:"
  echo "the release build of the program, run with the probe preloaded"
  echo "(\`TABORVANE_TIMING_PROBE=1 LD_PRELOAD=build/release/bench/timing/libtiming_probe.so\`), as"
  echo "\`QT_QPA_PLATFORM=offscreen taborvane\` and"
  echo "\`xvfb-run -a -s \"-screen 0 1280x800x24\" env QT_QPA_PLATFORM=xcb taborvane\`, each under"
  echo "\`flock /tmp/taborvane-measure.lock\`."
  [ -n "$baseline" ] && echo "\"Before\" is the program of commit $baseline, built as it is, run just before this build."
  for platform in offscreen xcb; do
    echo
    [ "$platform" = offscreen ] && echo "### Offscreen platform" || echo "### X server (Xvfb, no window manager)"
    echo
    cat "$out/after-$platform.md"
  done
} > "$out/section.md"

cat "$out/section.md"
scripts/update-doc-section.sh docs/PERFORMANCE.md timing "$out/section.md"
