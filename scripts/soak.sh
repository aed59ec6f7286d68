#!/usr/bin/env bash
# The soak run: the program built with AddressSanitizer and
# UndefinedBehaviorSanitizer, on a virtual display, all four modes at a pace of
# 1 ms for a bounded time while a driver edits entries and clicks buttons
# (bench/soak/measure.sh). Prints the report as a Markdown table, writes it
# into docs/RELIABILITY.md, and exits non-zero when a check fails.
# Usage: scripts/soak.sh [SECONDS]   (600 when not given)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -lt 10 ]; then
  echo "usage: scripts/soak.sh [SECONDS]   (at least 10)" >&2
  exit 2
fi

# The sanitize preset's flags, in a folder of our own: that preset leaves out bench/.
build=build/soak
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTABORVANE_WERROR=ON -DTABORVANE_BUILD_BENCH=ON \
  -DBUILD_TESTING=OFF -DTABORVANE_KEEP_LIBRARIES_LOADED=ON -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" > /dev/null
cmake --build "$build" --target taborvane_soak -j2
program=$build/bench/soak/taborvane_soak

out=$PWD/$build/run-$(date -u +%Y%m%dT%H%M%SZ)
mkdir -p "$out"
lock=/tmp/taborvane-measure.lock
# Measurements on this machine take turns, so that none slows another down.
exec {lock_fd}> "$lock"
if ! flock -n "$lock_fd"; then echo "Waiting for another measurement to finish ($lock)..."; fi
exec {lock_fd}>&-
echo "Soak run of $seconds s; figures in $out"
measured=0
flock "$lock" bench/soak/measure.sh "$program" "$seconds" "$out" || measured=$?

# --- figures
r() { sed -n "s/^$1=//p" "$out/results" | tail -n 1; }
failures=()
# check NAME CONDITION...: sets $verdict, and notes NAME as failed unless the condition holds.
check() {
  local name=$1
  shift
  if "$@"; then verdict=pass; else
    failures+=("$name")
    verdict=FAIL
  fi
}
is() { [ "$1" = "$2" ]; }
at_most() { [[ $1 =~ ^-?[0-9]+$ ]] && [ "$1" -le "$2" ]; }
above() { [[ $1 =~ ^-?[0-9]+$ ]] && [ "$1" -gt "$2" ]; }

[ "$measured" = 0 ] || failures+=("the run itself: $(r failure)")

phase1_ns=$(r phase1_ns)
phase2_ns=$(r phase2_ns)
end_ns=$(r end_of_driving_ns)
exit_ns=$(r exit_click_ns)
# Memory after the first minute of the modes running (a third of the run when it is shorter),
# from the samples of OUT/rss.log: time, VmRSS in KiB, value shown, heap in use in bytes.
ref_s=$((seconds / 3 < 60 ? seconds / 3 : 60))
# figures COLUMN SCALE: start, at the reference time, end, largest, largest from the
# reference time on, in KiB; "-" for a figure the run did not reach.
figures() {
  awk -v col="$1" -v scale="$2" -v t0="${phase1_ns:-0}" -v ref="$ref_s" -v stop="${exit_ns:-0}" '
    function or_none(x) { return x == "" ? "-" : x }
    $col == "" { next }
    stop == 0 || $1 <= stop {
      kb = int($col / scale)
      if (start == "") start = kb
      end = kb
      if (max == "" || kb > max) max = kb
      if (t0 > 0 && $1 >= t0 + ref * 1e9) {
        if (at_ref == "") at_ref = kb
        if (kb > max_after) max_after = kb
      }
    }
    END { print or_none(start), or_none(at_ref), or_none(end), or_none(max), or_none(max_after) }
  ' "$out/rss.log"
}
read -r rss_start rss_ref rss_end rss_max rss_max_after <<< "$(figures 2 1)"
read -r heap_start heap_ref heap_end heap_max heap_max_after <<< "$(figures 4 1024)"
growth() { if [ "$1" = - ] || [ "$2" = - ]; then echo -; else echo $(($2 - $1)); fi; }
rss_growth=$(growth "$rss_ref" "$rss_max_after")
heap_growth=$(growth "$heap_ref" "$heap_max_after")
samples=$(wc -l < "$out/rss.log")
# How much the value moved while the amounts moved it: distinct values among the first half's samples.
distinct=$(awk -v t0="${phase1_ns:-0}" -v p2="${phase2_ns:-0}" '$1 >= t0 && $1 < p2 { print $3 }' "$out/rss.log" |
  sort -u | wc -l)
mib() { if [ "$1" = - ]; then echo "not reached"; else awk -v kb="$1" 'BEGIN { printf "%.1f MiB", kb / 1024 }'; fi; }

ticks1=$(r phase1_ticks)
ticks2_total=$(r phase2_ticks)
ticks2=$((${ticks2_total:-0} - ${ticks1:-0}))
final_ticks=$(r final_ticks)
rate() { awk -v n="$1" -v ns="$2" 'BEGIN { if (ns > 0) printf "%.0f", n / (ns / 1e9); else printf "?" }'; }
rate1=$(rate "${ticks1:-0}" $((${phase2_ns:-0} - ${phase1_ns:-0})))
rate2=$(rate "$ticks2" $((${end_ns:-0} - ${phase2_ns:-0})))
per_mode=""
every_mode_ticked=1
for timer in tmrCountdown tmrCountUp tmrDivide tmrTimes; do
  n=$(r "ticks.$timer")
  per_mode+="${per_mode:+, }$timer ${n:-?}"
  above "${n:-}" 0 || every_mode_ticked=0
done

# Sanitizer reports: any file the runtimes wrote, and any report on the program's own output.
reports=0
for file in "$out"/sanitizer.*; do [ -s "$file" ] && reports=$((reports + 1)); done
log_reports=$(grep -cE 'ERROR: (Address|Leak)Sanitizer|runtime error:|SUMMARY: (Address|UndefinedBehavior|Leak)Sanitizer' \
  "$out/program.log" || true)
reports=$((reports + log_reports))

exit_code=$(r program_exit_code)
after_stop="$(r phase1_ticks_after_stop); $(r phase2_ticks_after_stop); $(r final_ticks_after_stop)"
stop_clicks="$(r phase1_stop_clicks) $(r phase2_stop_clicks)"

check "no ticks in the first half" above "${ticks1:-}" 0
v_ticks1=$verdict
check "no ticks in the second half" above "$ticks2" 0
v_ticks2=$verdict
check "a mode never ticked" is "$every_mode_ticked" 1
v_modes=$verdict
check "the value moved while every step failed" is "$(r phase2_end_display)" 4242
v_value=$verdict
check "heap growth" at_most "$heap_growth" 1024
v_memory=$verdict
check "sanitizer report" is "$reports" 0
v_reports=$verdict
# Both Stop clicks reached the program, and no tick came after either.
check "tick after Stop" is "$after_stop/$stop_clicks" "0; 0; 0/1 2"
v_stop=$verdict
check "the program died or failed" is "${exit_code:-}" 0
v_exit=$verdict

table=$out/report.md
{
  echo "## Soak run"
  echo
  echo "Command: \`scripts/soak.sh $seconds\`, run $(date -u '+%Y-%m-%d %H:%M UTC') on commit" \
    "$(git rev-parse --short HEAD) ($(nproc) cores). The program is \`taborvane_soak\`"
  echo "(bench/soak): the window and main of the program, built with AddressSanitizer and"
  echo "UndefinedBehaviorSanitizer (RelWithDebInfo), plus counters on each mode's timer. It"
  echo "runs on Xvfb with all four modes at a pace of 1 ms: for the first half with amounts"
  echo "that move the value, for the second half with amounts that make every step fail (a"
  echo "step of 5e9, a divisor of 0, a factor of 1e300). Every 200–500 ms xdotool clicks"
  echo "into an entry and types a new text (paces of 0, negative and junk, put right by the"
  echo "next action; start values; amounts, in the second half edited only at their end so"
  echo "that every text on the way fails too) or clicks a start button or Reset Zero. The run"
  echo "ends with Stop, then Exit."
  echo
  echo "Memory is sampled every 2 s. Growth is judged on the heap in use as the sanitizer's"
  echo "allocator counts it (the bytes the program holds). VmRSS of this build is shown but"
  echo "not judged: it is mostly the sanitizer's own memory (its quarantine of freed blocks,"
  echo "shadow memory, stored stack traces), which keeps creeping up as the mix of block"
  echo "sizes changes, whatever the program holds."
  echo
  echo "| figure | value | check |"
  echo "|---|---|---|"
  echo "| ticks, first half (value moving) | ${ticks1:-?} (${rate1}/s) | $v_ticks1 |"
  echo "| ticks, second half (every step failing) | ${ticks2} (${rate2}/s) | $v_ticks2 |"
  echo "| ticks in all, by mode | ${final_ticks:-?}: $per_mode | $v_modes |"
  echo "| distinct values seen in the first half's samples | ${distinct:-0} | |"
  echo "| value 2.5 s after typing 4242, every step failing | $(r phase2_end_display) ($(r phase2_end_ticks_in_check) ticks meanwhile) | $v_value |"
  echo "| driver actions | $(r edits) entry edits, $(r clicks) clicks | |"
  echo "| heap in use at the start (window shown) / at ${ref_s} s / at the end / largest | $(mib "$heap_start") / $(mib "$heap_ref") / $(mib "$heap_end") / $(mib "$heap_max") | |"
  echo "| heap growth after ${ref_s} s (largest later sample minus that one) | ${heap_growth} KiB | $v_memory ≤ 1024 KiB |"
  echo "| VmRSS at the start / at ${ref_s} s / at the end / largest of ${samples} samples | $(mib "$rss_start") / $(mib "$rss_ref") / $(mib "$rss_end") / $(mib "$rss_max") | |"
  echo "| VmRSS growth after ${ref_s} s | ${rss_growth} KiB | not judged, see above |"
  echo "| sanitizer reports | $reports | $v_reports |"
  echo "| ticks after Stop (mid-run; at the end; until exit) | $after_stop | $v_stop |"
  echo "| program end after the Exit click | exit status ${exit_code:-none} | $v_exit |"
} > "$table"

if [ ${#failures[@]} -gt 0 ]; then
  {
    echo
    echo "Failed: $(printf '%s; ' "${failures[@]}")"
  } >> "$table"
fi
cat "$table"
scripts/update-doc-section.sh docs/RELIABILITY.md soak "$table"
echo "Written to docs/RELIABILITY.md"
if [ ${#failures[@]} -gt 0 ]; then
  echo "soak: FAILED: $(printf '%s; ' "${failures[@]}")" >&2
  exit 1
fi
