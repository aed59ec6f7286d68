#!/usr/bin/env bash
# Replaces the block between "<!-- NAME:begin -->" and "<!-- NAME:end -->" in
# a Markdown file with the contents of another file, so that each benchmark
# rewrites only its own figures.
# Usage: scripts/update-doc-section.sh DOC.md NAME CONTENT_FILE
set -euo pipefail
doc=$1
name=$2
content=$3
begin="<!-- $name:begin -->"
end="<!-- $name:end -->"
grep -qF "$begin" "$doc" || printf '\n%s\n%s\n' "$begin" "$end" >> "$doc"
tmp=$(mktemp)
awk -v begin="$begin" -v end="$end" -v file="$content" '
  $0 == begin { print; while ((getline line < file) > 0) print line; skipping = 1; next }
  $0 == end { skipping = 0 }
  !skipping { print }
' "$doc" > "$tmp"
mv "$tmp" "$doc"
