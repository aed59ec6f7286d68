#!/usr/bin/env bash
# Builds the timing benchmark in release, runs it on the offscreen platform and
# on a virtual X server, prints its tables and writes them into
# docs/PERFORMANCE.md (section "timing"). With --baseline COMMIT it also builds
# this same benchmark against the window of that commit, runs the two builds
# one after the other on each platform, and sets their costs side by side.
# Other arguments go to the benchmark.
# Usage: bench/timing/run.sh [--baseline COMMIT] [--case-ms N] [--idle-ms N] [--trials N]
set -euo pipefail
cd "$(dirname "$0")/../.."

baseline=
if [ "${1:-}" = --baseline ]; then
  baseline=$(git rev-parse --short "$2^{commit}")
  shift 2
fi

build_bench() {  # SOURCE_DIR BUILD_DIR
  cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$2" --target timing_bench -j2 >&2
}

build=build/bench-timing
build_bench . "$build"
after=$PWD/$build/bench/timing/timing_bench

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

if [ -n "$baseline" ]; then
  # The earlier commit's sources, with this benchmark in place of its own.
  tree=build/baseline-$baseline
  rm -rf "$tree"
  mkdir -p "$tree"
  git archive "$baseline" | tar -x -C "$tree"
  rm -rf "$tree/bench/timing"
  cp -r bench/timing "$tree/bench/timing"
  build_bench "$tree" "$tree/build"
  before=$PWD/$tree/build/bench/timing/timing_bench
fi

# The machine has two cores: no other measurement may run at the same time, so
# each run holds the shared lock, and only while it measures.
run() {  # NAME PLATFORM BENCH ARGS...
  local name=$1 platform=$2 bench=$3
  shift 3
  echo "== $name, $platform" >&2
  if [ "$platform" = offscreen ]; then
    flock /tmp/taborvane-measure.lock env QT_QPA_PLATFORM=offscreen \
      "$bench" --costs "$out/$name-$platform.tsv" "$@" >"$out/$name-$platform.md"
  else
    flock /tmp/taborvane-measure.lock xvfb-run -a -s "-screen 0 1280x800x24" env QT_QPA_PLATFORM=xcb \
      "$bench" --costs "$out/$name-$platform.tsv" "$@" >"$out/$name-$platform.md"
  fi
}

for platform in offscreen xcb; do
  [ -n "$baseline" ] && run before "$platform" "$before" "$@"
  run after "$platform" "$after" "$@"
done

# One row a case: the costs of the earlier build, of this one, and their ratio.
side_by_side() {  # PLATFORM
  echo "| pace | modes | CPU before | CPU after | ratio | display paints/s before | after | wake-ups/s before | after | ratio |"
  echo "| ---: | --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: |"
  paste "$out/before-$1.tsv" "$out/after-$1.tsv" | awk -F'\t' '{
    printf "| %s ms | %s | %.2f %% | %.2f %% | %.3f | %.1f | %.1f | %.0f | %.0f | %.3f |\n",
      $1, $2, $4, $10, ($4 > 0 ? $10 / $4 : 0), $5, $11, $6, $12, ($6 > 0 ? $12 / $6 : 0) }'
}

platform_title() { [ "$1" = offscreen ] && echo "Offscreen platform" || echo "X server (Xvfb, no window manager)"; }

{
  echo "Measured on $(date -u '+%Y-%m-%d %H:%M UTC') by \`bench/timing/run.sh${baseline:+ --baseline $baseline}${*:+ $*}\`: a release"
  echo "build (\`cmake -S . -B build/bench-timing -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF\`), run as"
  echo "\`QT_QPA_PLATFORM=offscreen timing_bench\` and"
  echo "\`xvfb-run -a -s \"-screen 0 1280x800x24\" env QT_QPA_PLATFORM=xcb timing_bench\`, each under"
  echo "\`flock /tmp/taborvane-measure.lock\`."
  if [ -n "$baseline" ]; then
    echo "The same benchmark was built against the window of commit $baseline (\"before\") and run just"
    echo "before this build (\"after\") on each platform."
    for platform in offscreen xcb; do
      echo
      echo "### Before and after: $(platform_title "$platform")"
      echo
      side_by_side "$platform"
    done
  fi
  for platform in offscreen xcb; do
    echo
    echo "### $(platform_title "$platform")"
    echo
    cat "$out/after-$platform.md"
  done
  if [ -n "$baseline" ]; then
    for platform in offscreen xcb; do
      echo
      echo "<details><summary>Before ($baseline): $(platform_title "$platform")</summary>"
      echo
      cat "$out/before-$platform.md"
      echo "</details>"
    done
  fi
} >"$out/section.md"

cat "$out/section.md"
scripts/update-doc-section.sh docs/PERFORMANCE.md timing "$out/section.md"
