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

build_and_test() {
  local started=$SECONDS
  echo "== $1 build"
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
  local status=0 junit=$PWD/build/$1/junit.xml
  ctest --preset "$1" --output-junit "$junit" || status=$?
  fail_on_skips "$junit" || status=1
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
