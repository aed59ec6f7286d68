#!/usr/bin/env bash
# The soak run: the program of the sanitize build (AddressSanitizer with
# LeakSanitizer, and UndefinedBehaviorSanitizer) on a virtual display, driven
# by bench/soak's probe preloaded into it: all four modes at a pace of 1 ms
# for a bounded time while it edits entries and clicks buttons. Prints the
# report as a Markdown table, writes it into docs/RELIABILITY.md, and exits
# non-zero when a check fails.
# Usage: scripts/soak.sh [SECONDS]   (600 when not given)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -lt 10 ]; then
  echo "usage: scripts/soak.sh [SECONDS]   (at least 10)" >&2
  exit 2
fi

scripts/install-deps.sh program headless test
scripts/configure.sh sanitize
cmake --build --preset sanitize --target taborvane
scripts/configure.sh release
cmake --build --preset release --target soak_probe
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# The sanitizer's runtime must come first among the libraries a process loads.
preload="$(g++ -print-file-name=libasan.so):$PWD/build/release/bench/soak/libsoak_probe.so"
echo "Soak run of $seconds s (waiting for any other measurement on this machine to end first)"
status=0
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:log_path=$out/sanitizer" \
  UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$out/sanitizer" \
  LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
  flock /tmp/taborvane-measure.lock timeout $((seconds + 120)) xvfb-run -a -s "-screen 0 1280x800x24" \
  env QT_QPA_PLATFORM=xcb TABORVANE_SOAK_SECONDS="$seconds" LD_PRELOAD="$preload" build/sanitize/app/taborvane \
  > "$out/figures.md" 2> "$out/program.log" || status=$?

# What only the end of the process tells: the sanitizers' reports and the exit status.
reports=$(cat "$out"/sanitizer.* 2> /dev/null | grep -cE 'ERROR: (Address|Leak)Sanitizer|runtime error:' || true)
reports=$((reports + $(grep -cE 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$out/program.log" || true)))
verdict() { if [ "$1" = "$2" ]; then echo pass; else echo FAIL; fi; }
table=$out/report.md
{
  echo "## Soak run"
  echo
  echo "Command: \`scripts/soak.sh $seconds\`, run $(date -u '+%Y-%m-%d %H:%M UTC') on commit" \
    "$(git rev-parse --short HEAD) ($(nproc) cores). The program is the sanitize build's \`taborvane\`"
  echo "(AddressSanitizer and UndefinedBehaviorSanitizer, RelWithDebInfo) on Xvfb, with the driver"
  echo "\`bench/soak/soak_probe.cpp\` preloaded: it reaches the window by its design names, counts each"
  echo "mode's ticks on the window's tickRan signal, and runs all four modes at a pace of 1 ms: for the first"
  echo "half with amounts that move the value, for the second half with amounts that make every step"
  echo "fail (a step of 5e9, a divisor of 0, a factor of 1e300). Every 200–500 ms it clicks into an"
  echo "entry and types a new text through Qt's delivery of mouse and key events (paces of 0, negative"
  echo "and junk, put right by the next action; start values; amounts, in the second half edited only"
  echo "at their end so that every text on the way fails too) or clicks a start button or Reset Zero."
  echo "The run ends with Stop, then Exit."
  echo
  echo "Memory is sampled every 2 s. Growth is judged on the heap in use as the sanitizer's"
  echo "allocator counts it (the bytes the program holds). VmRSS of this build is shown but"
  echo "not judged: it is mostly the sanitizer's own memory (its quarantine of freed blocks,"
  echo "shadow memory, stored stack traces), which keeps creeping up as the mix of block"
  echo "sizes changes, whatever the program holds."
  echo
  sed '/^$/d' "$out/figures.md"
  [ -s "$out/figures.md" ] || printf '| figure | value | check |\n| --- | --- | --- |\n| the driver'"'"'s figures | none: the program ended before its Exit click | FAIL |\n'
  echo "| sanitizer reports | $reports | $(verdict "$reports" 0) |"
  echo "| program end after the Exit click | exit status $status | $(verdict "$status" 0) |"
} > "$table"
cat "$table"
if grep -q '| FAIL' "$table"; then
  tail -n 40 "$out/program.log" >&2
  cat "$out"/sanitizer.* 2> /dev/null | head -n 60 >&2 || true
  echo "soak: FAILED: $(grep '| FAIL' "$table" | cut -d'|' -f2 | paste -sd';')" >&2
  printf '\nFailed: %s\n' "$(grep '| FAIL' "$table" | cut -d'|' -f2 | paste -sd';')" >> "$table"
fi
scripts/update-doc-section.sh docs/RELIABILITY.md soak "$table"
echo "Written to docs/RELIABILITY.md"
! grep -q '^Failed:' "$table"
