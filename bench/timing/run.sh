#!/usr/bin/env bash
# Builds the timing benchmark in release, runs it on the offscreen platform and
# on a virtual X server, prints its tables and writes them into
# docs/PERFORMANCE.md (section "timing"). With --baseline COMMIT it also builds
# this same benchmark against the window of that commit, runs the two builds
# one after the other on each platform, and sets their figures side by side,
# the headline cases first. Other arguments go to the benchmark.
# Usage: bench/timing/run.sh [--baseline COMMIT] [--case-ms N] [--query-ms N] [--idle-ms N] [--trials N]
#                            [--stall-ms N] [--stall-trials N]
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
  # They are laid anew; their build folder is kept, so that only what changed
  # is built again.
  tree=build/baseline-$baseline
  mkdir -p "$tree"
  find "$tree" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} +
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

# One row a case, headline first, then the frame floor of each run: the
# earlier build's figures, this one's, and the ratio of their CPU shares.
side_by_side() {  # PLATFORM
  echo "| case | CPU before | CPU after | ratio | display paints/s before | after | wake-ups/s before | after | main thread before | after | differing / observed before | after | max delay before | after |"
  echo "| --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: |"
  paste "$out/before-$1.tsv" "$out/after-$1.tsv" | awk -F'\t' '
    function differing(observed, count) { return observed == "" ? "—" : count " / " observed }
    function delay(ms) { return ms == "" ? "—" : sprintf("%.2f ms", ms) }
    $1 != $11 { print "the two builds ran other cases: " $1 " and " $11 > "/dev/stderr"; exit 1 }
    { printf "| %s | %.2f %% | %.2f %% | %.3f | %.1f | %.1f | %.0f | %.0f | %.0f | %.0f | %s | %s | %s | %s |\n",
        $1, $2, $12, ($2 > 0 ? $12 / $2 : 0), $4, $14, $5, $15, $6, $16,
        differing($7, $8), differing($17, $18), delay($10), delay($20) }'
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
