#!/usr/bin/env bash
# One soak run of the counting build (taborvane_soak) on its own virtual
# display: all four modes at a pace of 1 ms while a driver edits entries and
# clicks buttons through the X server, first with amounts that move the value,
# then with amounts that make every step fail. Writes raw figures to OUT/results.
# scripts/soak.sh builds, holds the measurement lock, and judges the figures.
# Usage: bench/soak/measure.sh PROGRAM SECONDS OUT_DIR
# shellcheck disable=SC2034  # the text lists are read through pick's name reference
set -euo pipefail
program=$1
seconds=$2
out=$3
repo=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$out"
status=$out/status
results=$out/results
: > "$results"
: > "$out/rss.log"
: > "$out/driver.log"
RANDOM=${SOAK_SEED:-1}  # the same edits in the same order on every run

now_ns() { date +%s%N; }
result() { printf '%s=%s\n' "$1" "$2" >> "$results"; }
log() { printf '%s %s\n' "$(now_ns)" "$*" >> "$out/driver.log"; }
fail() {
  result failure "$1"
  echo "soak: $1" >&2
  if [ -n "${program_pid:-}" ] && ! kill -0 "$program_pid" 2> /dev/null; then
    local code=0
    wait "$program_pid" || code=$?
    result program_exit_code "$code"
  fi
  exit 1
}

# --- virtual display: Xvfb picks a free display number and tells it on a pipe
exec {display_fd}> "$out/display"
Xvfb -displayfd "$display_fd" -screen 0 1280x800x24 -nolisten tcp > "$out/xvfb.log" 2>&1 &
xvfb_pid=$!
exec {display_fd}>&-
program_pid=
sampler_pid=
cleanup() {
  for pid in $sampler_pid $program_pid $xvfb_pid; do kill "$pid" 2> /dev/null || true; done
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$out/display" ] && break; sleep 0.1; done
[ -s "$out/display" ] || fail "Xvfb did not start"
DISPLAY=:$(head -n 1 "$out/display")
export DISPLAY
export QT_QPA_PLATFORM=xcb

# --- the program, with every sanitizer report going to OUT/sanitizer.PID
export TABORVANE_SOAK_STATUS=$status
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:log_path=$out/sanitizer"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$out/sanitizer"
export LSAN_OPTIONS="suppressions=$repo/tests/lsan.supp:print_suppressions=0"
launch_ns=$(now_ns)
"$program" > "$out/program.log" 2>&1 &
program_pid=$!
result launch_ns "$launch_ns"
result program_pid "$program_pid"

get() { sed -n "s/^$1=//p" "$status" 2> /dev/null; }
alive() { kill -0 "$program_pid" 2> /dev/null; }

# The window is up once the program has written a status with the window exposed.
for _ in $(seq 300); do
  [ "$(get exposed)" = 1 ] && break
  alive || fail "the program died while starting"
  sleep 0.1
done
[ "$(get exposed)" = 1 ] || fail "the window did not appear within 30 s"

# --- every 2 s until the program ends: VmRSS, the value shown, the heap in use
(
  while [ -e "/proc/$program_pid" ]; do
    rss=$(sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$program_pid/status" 2> /dev/null || true)
    [ -n "$rss" ] && printf '%s %s %s %s\n' "$(now_ns)" "$rss" "$(get display | tr -d ' ')" "$(get heap_bytes)" >> "$out/rss.log"
    sleep 2
  done
) &
sampler_pid=$!

# --- the driver
declare -A centre
while IFS='=' read -r key value; do
  [[ $key == centre.* ]] && centre[${key#centre.}]=$value
done < "$status"

clicks=0
edits=0
click() {
  alive || fail "the program died (last action: $last_action)"
  last_action="click $1"
  log "$last_action"
  # shellcheck disable=SC2086  # the centre is "X Y"
  xdotool mousemove ${centre[$1]} click 1 || fail "xdotool could not click $1"
  clicks=$((clicks + 1))
}
# Click into the entry, select all, then type the new text (an empty one is a BackSpace).
edit() {
  alive || fail "the program died (last action: $last_action)"
  last_action="edit $1 '$2'"
  log "$last_action"
  local typing=(type --delay 15 -- "$2")
  [ -z "$2" ] && typing=(key BackSpace)
  # shellcheck disable=SC2086
  xdotool mousemove ${centre[$1]} click 1 key ctrl+a "${typing[@]}" || fail "xdotool could not edit $1"
  edits=$((edits + 1))
}
# Sets $picked to one text of the named list (not in a subshell, so that RANDOM's sequence goes on).
pick() {
  local -n list=$1
  picked=${list[RANDOM % ${#list[@]}]}
}

paces=(txtinterval txtintUp txtDividePace txtTimes)
starts=(cmdStart Command1 cmdDivide cmdTimes)
# Paces: texts that keep the pace at 1 ms, and texts that read as 0 (pausing
# the mode), as a negative pace (refused: the previous one stays) or as junk.
pace_keep=("1" "1" "1" "1.4" " 1" "+1" "01" "1e0" "0.6")
pace_upset=("0" "" "-5" "-1" "x" "0.4" "abc" " " "-0" "1e" "2" "1.5" "2e0")
# Phase one: amounts that move the value, with a few junk or failing ones among them.
step_move=("7" "3" "-2" "250" "1e3" "12 34" "1.5" "-40" "0" "" "x" "5e9" "-1e300")
divisor_move=("2" "-1" "3" "-3" "1.5" "7e0" "2" "0" "" "junk" "-0.4")
factor_move=("1.5" "-1" "0.5" "2" "-2.5" "1.25" "3" "0" "abc" "1,5" "1e300" "1e999")
start_move=("777" "0" "-42" "2.1e9" "-2.1e9" "2.15e9" "3e9" "-3e9" "junk" "" "1" "999999999" "-999999999" "12 345" "1e5")
# Phase two: amounts that make every step fail: a step beyond the 32-bit
# range whatever the value, a divisor that reads as 0, a factor whose product
# with any nonzero value is beyond 32 bits. Typing a whole new text would pass
# through prefixes that succeed ("5" of "5e9"), so an amount is edited only at
# its end: a failing base text keeps a suffix that is rubbed out and retyped,
# and every text on the way fails too (5e99, 5e999 beyond the double range, 0.4
# rounding to a divisor of 0, 1e3000, trailing junk).
declare -A fail_base=([txtincdown]=5e9 [txtIncriments]=-5e9 [txtdivideAmount]=0 [txtTimesamount]=1e300)
declare -A fail_suffixes=([txtincdown]=step [txtIncriments]=step [txtdivideAmount]=divisor [txtTimesamount]=factor)
declare -A fail_suffix=([txtincdown]='' [txtIncriments]='' [txtdivideAmount]='' [txtTimesamount]='')
suffix_step=("" "9" "99" "0" "x" " junk" "." "e")
suffix_divisor=("" "0" ".4" ".49" "e5" "x9" " " ".0")
suffix_factor=("" "0" "9" "x" " " "." "e")
# Start values that never read as 0 while typed, so that no product is 0 × factor.
start_fail=("777" "42" "2.1e9" "5" "123456789" "1e5" "3e9" "9")

# Click into the entry, go to its end, rub out the old suffix and type the new one.
edit_suffix() {
  local entry=$1 new=$2 old=${fail_suffix[$1]}
  alive || fail "the program died (last action: $last_action)"
  last_action="edit $entry '${fail_base[$entry]}$old' to '${fail_base[$entry]}$new'"
  log "$last_action"
  local keys=(key End)
  for ((i = 0; i < ${#old}; i++)); do keys+=(key BackSpace); done
  [ -n "$new" ] && keys+=(type --delay 15 -- "$new")
  # shellcheck disable=SC2086
  xdotool mousemove ${centre[$entry]} click 1 "${keys[@]}" || fail "xdotool could not edit $entry"
  fail_suffix[$entry]=$new
  edits=$((edits + 1))
}
amount_edit() {
  local entry=$1 kind=$2 list=$3
  if [ "$kind" = move ]; then
    pick "${list}_move"
    edit "$entry" "$picked"
  else
    pick "suffix_${fail_suffixes[$entry]}"
    edit_suffix "$entry" "$picked"
  fi
}

# One action every 200 to 500 ms until the phase's end time: mostly an entry
# edit, sometimes the four start buttons again (a mode may have stopped itself
# at its stop value) or Reset Zero. A pace upset is put right by the next action.
# Usage: drive_until END_NS move|fail
drive_until() {
  local end_ns=$1 kind=$2
  local restore='' entry
  while [ "$(now_ns)" -lt "$end_ns" ]; do
    if [ -n "$restore" ]; then
      pick pace_keep
      edit "$restore" "$picked"
      restore=
    else
      case $((RANDOM % 20)) in
        0 | 1 | 2 | 3)
          entry=${paces[RANDOM % 4]}
          pick pace_upset
          edit "$entry" "$picked"
          restore=$entry
          ;;
        4 | 5 | 6 | 7) amount_edit txtincdown "$kind" step ;;
        8 | 9 | 10) amount_edit txtIncriments "$kind" step ;;
        11 | 12) amount_edit txtdivideAmount "$kind" divisor ;;
        13 | 14) amount_edit txtTimesamount "$kind" factor ;;
        15 | 16) pick "start_$kind" && edit txtStart "$picked" ;;
        17 | 18) for button in "${starts[@]}"; do click "$button"; done ;;
        # Reset Zero would make the value 0, whose product with any factor succeeds.
        19) if [ "$kind" = move ]; then click cmdReset; else click "${starts[RANDOM % 4]}"; fi ;;
      esac
    fi
    sleep "0.$((2 + RANDOM % 4))"
  done
}

# Sets the start value, the amounts and every pace to 1 ms, and starts all four modes.
start_phase() {
  edit txtStart "$1"
  edit txtincdown "$2"
  edit txtIncriments "$3"
  edit txtdivideAmount "$4"
  edit txtTimesamount "$5"
  for entry in "${paces[@]}"; do edit "$entry" 1; done
  for button in "${starts[@]}"; do click "$button"; done
}

# Clicks Stop, waits for two fresh status writes, and records the ticks after the click.
stop_and_check() {
  local name=$1 written
  click cmdStop
  written=$(get elapsed_ms)
  sleep 2.5
  [ "$(get elapsed_ms)" != "$written" ] || fail "the program stopped writing its status"
  result "${name}_stop_clicks" "$(get stop_clicks)"
  result "${name}_ticks_after_stop" "$(get ticks_after_stop)"
  result "${name}_ticks" "$(get ticks)"
  result "${name}_last_tick_ms" "$(get last_tick_ms)"
  result "${name}_last_stop_ms" "$(get last_stop_ms)"
}

half_ns=$((seconds * 1000000000 / 2))
last_action=start
result running_ns "$(now_ns)"

start_phase 777 7 3 -1 1.5
result phase1_ns "$(now_ns)"
drive_until $(($(now_ns) + half_ns)) move
stop_and_check phase1

start_phase 777 "${fail_base[txtincdown]}" "${fail_base[txtIncriments]}" "${fail_base[txtdivideAmount]}" \
  "${fail_base[txtTimesamount]}"
result phase2_ns "$(now_ns)"
drive_until $(($(now_ns) + seconds * 1000000000 - half_ns)) fail
# With every step failing, the value is the start value last typed and stays so while the modes tick.
edit txtStart 4242
sleep 0.5
before=$(get ticks)
written=$(get elapsed_ms)
sleep 2.5
[ "$(get elapsed_ms)" != "$written" ] || fail "the program stopped writing its status"
result phase2_end_display "$(get display)"
result phase2_end_ticks_in_check "$(($(get ticks) - before))"
result end_of_driving_ns "$(now_ns)"
stop_and_check phase2

click Cmdexit
result edits "$edits"
result clicks "$clicks"
exit_ns=$(now_ns)
result exit_click_ns "$exit_ns"
for _ in $(seq 300); do alive || break; sleep 0.1; done
if alive; then
  result program_exit "did not end within 30 s of the Exit click"
  kill "$program_pid"
fi
set +e
wait "$program_pid"
result program_exit_code $?
set -e
program_pid=
wait "$sampler_pid" 2> /dev/null || true
sampler_pid=
result exited_status "$(get exited)"
result final_ticks "$(get ticks)"
result final_ticks_after_stop "$(get ticks_after_stop)"
for timer in tmrCountdown tmrCountUp tmrDivide tmrTimes; do result "ticks.$timer" "$(get "ticks.$timer")"; done
