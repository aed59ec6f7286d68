#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan, UBSan) and runs them side by side
# for a bounded time, each on a fresh copy of its seed corpus in build/fuzz, so that the
# repository's corpus never changes. Exits non-zero on any finding; crashing
# inputs are kept in build/fuzz/runs/<target>/artifacts.
#   scripts/fuzz.sh [seconds per target, default 30]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-30}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [seconds per target]" >&2
  exit 2
fi

scripts/install-deps.sh program headless test
scripts/configure.sh fuzz
cmake --build --preset fuzz --target read_number_fuzz event_sequence_fuzz

export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# target:max_len. Entry texts long enough for the slow path of the reading
# (hundreds of digits); event inputs hold up to 64 short lines.
targets=(read_number:4096 event_sequence:1024)
# Every target at once, each on its own core.
fuzz_target() {
  local name=$1 max_len=$2 run=build/fuzz/runs/$1
  rm -rf "$run"
  mkdir -p "$run/corpus" "$run/artifacts"
  cp fuzz/corpus/"$name"/* "$run/corpus/"
  "build/fuzz/fuzz/${name}_fuzz" "$run/corpus" \
    -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$run/artifacts/" -print_final_stats=1 2>"$run/log"
}
declare -A running
for entry in "${targets[@]}"; do
  fuzz_target "${entry%%:*}" "${entry##*:}" &
  running[${entry%%:*}]=$!
done
status=0
for entry in "${targets[@]}"; do
  name="${entry%%:*}"
  run="build/fuzz/runs/$name"
  echo "== $name: $seconds s, max_len ${entry##*:}"
  wait "${running[$name]}" || status=1
  grep -E '^(#[0-9]+[[:space:]]+DONE|stat::|Done )' "$run/log" || true
  if [ -n "$(ls -A "$run/artifacts")" ]; then
    status=1
    echo "$name found a fault; log: $run/log, inputs:" >&2
    ls "$run/artifacts" >&2
  fi
done
exit "$status"
