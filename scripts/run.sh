#!/usr/bin/env bash
# Sets up everything, builds the program and opens its window. Without a
# display it runs the program on a virtual one and saves a screenshot instead.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target taborvane
program=build/release/app/taborvane

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running Taborvane on a virtual display and saving a screenshot."
  scripts/screenshot.sh "$program" "$PWD/build/taborvane-screenshot.png"
  exit 0
fi
exec "$program"
