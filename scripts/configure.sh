#!/usr/bin/env bash
# Configures a preset's build folder. A folder an older checkout made with
# another generator (the presets once used Unix Makefiles) cannot be
# configured again by CMake, so it is started over.
#   scripts/configure.sh PRESET [--if-new]   (--if-new: only when not yet configured)
set -euo pipefail
cd "$(dirname "$0")/.."
preset=$1
cache=build/$preset/CMakeCache.txt
wanted=$(/usr/bin/python3 -c 'import json, sys
presets = {p["name"]: p for p in json.load(open("CMakePresets.json"))["configurePresets"]}
preset = presets[sys.argv[1]]
while "generator" not in preset:
    preset = presets[preset["inherits"]]
print(preset["generator"])' "$preset")
if [ -f "$cache" ] && ! grep -qxF "CMAKE_GENERATOR:INTERNAL=$wanted" "$cache"; then
  echo "build/$preset was made by another generator than $wanted: starting it over"
  rm -rf "build/$preset"
fi
[ "${2:-}" = --if-new ] && [ -f "$cache" ] && exit 0
cmake --preset "$preset" > /dev/null
