#!/usr/bin/env bash
# clang-tidy (.clang-tidy) over each of the program's own sources, every file
# alone, from a build's compile database, two files at a time; a finding
# fails. The precompiled header a build may force into each file is left
# out, so a file that forgets an include fails here too.
#   scripts/tidy.sh [BUILD_DIR]     (default build/edit; configure it first)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build/edit}
[ -f "$build/compile_commands.json" ] || {
  echo "no $build/compile_commands.json: configure that build first (cmake --preset edit)" >&2
  exit 2
}

database=$(mktemp -d)
trap 'rm -rf "$database"' EXIT
# The files to check, one a line, from the database written without the forced header.
/usr/bin/python3 - "$build/compile_commands.json" "$database/compile_commands.json" "$root" << 'PYTHON' |
import json, re, shlex, sys
entries, out, root = json.load(open(sys.argv[1])), sys.argv[2], sys.argv[3]
own = re.compile(re.escape(root) + r"/(counter|clock|window|app)/[^/]+\.cpp$")
kept = []
for entry in entries:
    if not own.match(entry["file"]):
        continue
    words = shlex.split(entry["command"])
    alone = []
    skip = False
    for word in words:
        if skip:
            skip = False
        elif word == "-include":
            skip = True
        elif word != "-Winvalid-pch":
            alone.append(word)
    entry["command"] = shlex.join(alone)
    kept.append(entry)
with open(out, "w") as database:
    json.dump(kept, database, indent=1)
print("\n".join(entry["file"] for entry in kept))
PYTHON
  xargs -P 2 -n 4 clang-tidy -p "$database" --quiet --warnings-as-errors='*' \
    "--header-filter=^$root/(counter|clock|window|app)/" 2> >(grep -v ' warnings\? generated\.$' >&2)
echo "clang-tidy: no findings"
