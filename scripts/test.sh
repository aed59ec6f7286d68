#!/usr/bin/env bash
# Sets up everything, builds, and runs the whole test suite: in the
# development build (warnings as errors, clang-tidy), under AddressSanitizer
# and UndefinedBehaviorSanitizer, as fuzz targets for a short bounded time,
# and on the Debian package (built file by file, checked by lintian).
# The builds take the two cores one after another; the tests, which mostly
# wait on windows and timers, run beside the next build. Everything compiles
# through ccache, so a second run rebuilds nothing it built before.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh program headless test

# Set-up has installed everything every test needs, so here a skipped test
# means something is broken: it fails the run, named with the reason it gave.
# CTest counts a test skipped when it exits 77, or when one of its QtTest or
# GoogleTest cases skips (tests/CMakeLists.txt, cmake/gtest_suite.cmake), and
# its JUnit report keeps what each printed.
fail_on_skips() {
  local skips
  skips=$(python3 - "$1" << 'EOF'
import sys
import xml.etree.ElementTree as tree
for case in tree.parse(sys.argv[1]).getroot().iter("testcase"):
    if case.find("skipped") is None:
        continue
    said = [line for line in (case.findtext("system-out") or "").splitlines() if line.strip()]
    # QtTest says why on its SKIP line; GoogleTest between a case's start and its SKIPPED line.
    why = [line for line in said if line.startswith("SKIP   :")]
    if not why and any(line.startswith("[  SKIPPED ]") for line in said):
        end = next(i for i, line in enumerate(said) if line.startswith("[  SKIPPED ]"))
        start = max((i for i, line in enumerate(said[:end]) if line.startswith("[ RUN")), default=end - 1)
        why = said[start + 1:end]
    print(f"{case.get('name')}: {' / '.join(why or said[-1:])}")
EOF
  )
  [ -z "$skips" ] && return 0
  echo "FAILED: these tests skipped, though set-up has installed all they need:" >&2
  echo "$skips" | sed 's/^/  /' >&2
  return 1
}

logs=$PWD/build/test-logs
mkdir -p "$logs"
started=$SECONDS

build() {
  local from=$SECONDS
  echo "== $1 build"
  scripts/configure.sh "$1"
  cmake --build --preset "$1"
  echo "== $1 build: $((SECONDS - from)) s"
}

run_tests() {
  local status=0 junit=$PWD/build/$1/junit.xml
  ctest --preset "$1" --output-junit "$junit" || status=$?
  fail_on_skips "$junit" || status=1
  return "$status"
}

# Runs a step in the background, its output kept in build/test-logs/STEP.log,
# in a process group of its own: should the run end early (a build that
# fails), whatever is still running goes with it.
set -m
declare -A step_pid
in_background() {
  local name=$1
  shift
  "$@" < /dev/null > "$logs/$name.log" 2>&1 &
  step_pid[$name]=$!
}
stop_background_steps() {
  local pid
  for pid in "${step_pid[@]}"; do kill -TERM -- "-$pid" 2> /dev/null || true; done
}
trap stop_background_steps EXIT

status=0
# Shows a background step's output once it has ended, and counts its failure.
finish() {
  local name=$1 outcome=0
  wait "${step_pid[$name]}" || outcome=$?
  unset "step_pid[$name]"
  echo "== $name"
  cat "$logs/$name.log"
  echo "== $name: ended $((SECONDS - started)) s into the run, $( [ "$outcome" -eq 0 ] && echo passed || echo "FAILED (status $outcome)")"
  [ "$outcome" -eq 0 ] || status=1
}

# The package, which only compiles and is checked, comes last, to fill what
# the cores have left beside the sanitizer build's tests and the fuzz targets.
build dev
in_background dev-tests run_tests dev
build sanitize
in_background sanitize-tests run_tests sanitize
in_background fuzz scripts/fuzz.sh 30
in_background package scripts/check-package.sh
finish dev-tests
finish sanitize-tests
finish fuzz
finish package
echo "== the test command: $((SECONDS - started)) s, $( [ "$status" -eq 0 ] && echo passed || echo FAILED)"
exit "$status"
