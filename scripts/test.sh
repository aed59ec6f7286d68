#!/usr/bin/env bash
# Sets up everything, builds, and runs the whole test suite: in the
# development build, on the Debian package, as fuzz targets for a short
# bounded time, and under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

build_and_test() {
  echo "== $1 build"
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
  ctest --preset "$1"
}

build_and_test dev
scripts/check-package.sh
scripts/fuzz.sh 30
build_and_test sanitize
