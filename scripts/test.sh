#!/usr/bin/env bash
# Sets up everything, builds, and runs the whole test suite: in the
# development build, on the Debian package, as fuzz targets for a short
# bounded time (beside the sanitizer build), and under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh program headless test

# Set-up has installed everything every test needs, so here a skipped test
# means something is broken: it fails the run, named with the reason it gave.
# A test skips as a whole (status 77), or one of its QtTest or GoogleTest cases does.
fail_on_skips() {
  local preset=$1 summary=$2
  local log=build/$preset/Testing/Temporary/LastTest.log
  local skips
  skips=$(sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (Skipped)$/\1/p' "$summary" |
    awk -v logfile="$log" '
      { whole[$0] = 1 }
      END {
        while ((getline line < logfile) > 0) {
          if (line ~ /^[0-9]+\/[0-9]+ Test: /) { sub(/^[0-9]+\/[0-9]+ Test: /, "", line); test = line; reason = ""; continue }
          if (line == "<end of output>") { if (test in whole) print test ": " reason; continue }
          if (line ~ /^SKIP   : |\[  SKIPPED \]/) print test ": " line
          if (line ~ /[^[:space:]]/ && line !~ /^-+$/) reason = line
        }
      }')
  [ -z "$skips" ] && return 0
  echo "FAILED: these tests skipped, though set-up has installed all they need:" >&2
  echo "$skips" | sed 's/^/  /' >&2
  return 1
}

build_and_test() {
  local started=$SECONDS
  echo "== $1 build"
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
  local summary status=0
  summary=$(mktemp)
  ctest --preset "$1" 2>&1 | tee "$summary" || status=$?
  fail_on_skips "$1" "$summary" || status=1
  rm -f "$summary"
  echo "== $1 build and tests: $((SECONDS - started)) s"
  return "$status"
}

build_and_test dev
started=$SECONDS
scripts/check-package.sh
echo "== package build and checks: $((SECONDS - started)) s"
# The fuzz targets run on one core each, beside the sanitize build.
mkdir -p build
scripts/fuzz.sh 30 > build/fuzz-run.log 2>&1 &
fuzz=$!
status=0
build_and_test sanitize || status=$?
fuzz_status=0
wait "$fuzz" || fuzz_status=$?
echo "== fuzz targets, 30 s each"
cat build/fuzz-run.log
if [ "$fuzz_status" -ne 0 ]; then
  echo "FAILED: the fuzz targets (status $fuzz_status); log: build/fuzz-run.log" >&2
  status=1
fi
exit "$status"
