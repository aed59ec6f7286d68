#!/usr/bin/env bash
# Installs what building and running the program need, builds it and opens
# its window. Without a display it also installs a virtual one, runs the
# program there and saves a screenshot instead.
# Once everything is installed and built, it starts the window at once.
set -euo pipefail
cd "$(dirname "$0")/.."

headless=
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  headless=headless
  echo "No display found: Taborvane will run on a virtual display (Xvfb), and a screenshot of it will be saved."
fi
scripts/install-deps.sh program $headless
# Configured once; afterwards the build itself notices a changed CMakeLists.txt.
scripts/configure.sh program --if-new
cmake --build --preset program
program=build/program/app/taborvane

if [ -n "$headless" ]; then
  scripts/screenshot.sh "$program" "$PWD/build/taborvane-screenshot.png"
  exit 0
fi
exec "$program"
