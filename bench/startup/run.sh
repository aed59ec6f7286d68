#!/usr/bin/env bash
# Start-up time and peak memory of the program's window against empty Qt
# windows: from inside (a probe preloaded into each reports when its window is
# first painted) on the offscreen platform and on Xvfb, and from outside (the
# display server reports when the window reaches it) on Xvfb, on a headless
# Weston and on a headless sway; prints the tables and writes them into
# docs/PERFORMANCE.md, in the section of this Debian release.
#   bench/startup/run.sh [runs per window from inside, default 30] [runs from outside, default 15]
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-30}
outside_runs=${2:-15}

scripts/install-deps.sh program headless test
scripts/configure.sh release
cmake --build --preset release --target taborvane startup_empty_window startup_probe startup_watch startup_report
dir=build/release/bench/startup
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# Each Debian release has a section of its own: its Qt decides much of the start.
release=$(. /etc/os-release && echo "Debian ${VERSION_ID:-$VERSION_CODENAME}")
qt_version=$(dpkg-query -W -f='${source:Upstream-Version}' qt6-base-dev | sed 's/+.*//')

program=(--window Taborvane build/release/app/taborvane)
shipped=(--window "empty Qt window, as shipped" "$dir/startup_empty_window")
driverless=(--window "empty Qt window, QT_WAYLAND_DISABLE_WINDOWDECORATION=1"
  QT_WAYLAND_DISABLE_WINDOWDECORATION=1 "$dir/startup_empty_window")
inside=(--window Taborvane "LD_PRELOAD=$dir/libstartup_probe.so" build/release/app/taborvane
  --window "one empty Qt window" "LD_PRELOAD=$dir/libstartup_probe.so" "$dir/startup_empty_window")
xvfb=(xvfb-run -a -s "-screen 0 1280x800x24")
# On X11 the third window would be the second: Qt sets up no OpenGL for a plain window there.
x11_watch=(tests/desktop/on_display.sh x11 "$dir/startup_watch" --x11 "$outside_runs" "${program[@]}" "${shipped[@]}")
weston_watch=(tests/desktop/on_display.sh wayland "$dir/startup_watch" --weston "$outside_runs"
  "${program[@]}" "${shipped[@]}" "${driverless[@]}")
sway_watch=(tests/desktop/on_display.sh sway "$dir/startup_watch" --sway "$outside_runs"
  "${program[@]}" "${shipped[@]}" "${driverless[@]}")

# measure NAME COMMAND...: the watch's lines into OUT/NAME.tsv. Never at the
# same time as another measurement on this machine. Qt and the servers talk on
# stderr: kept aside, and shown only when a measurement fails.
measure() {
  local name=$1
  shift
  echo "== $name" >&2
  if ! flock /tmp/taborvane-measure.lock "$@" > "$out/$name.tsv" 2> "$out/log"; then
    tail -n 30 "$out/log" >&2
    echo "the measurement failed; docs/PERFORMANCE.md is left as it was" >&2
    exit 1
  fi
}
measure offscreen env QT_QPA_PLATFORM=offscreen "$dir/startup_watch" --inside "$runs" "${inside[@]}"
measure xcb "${xvfb[@]}" env QT_QPA_PLATFORM=xcb "$dir/startup_watch" --inside "$runs" "${inside[@]}"
measure x11 "${x11_watch[@]}"
measure weston "${weston_watch[@]}"
measure sway "${sway_watch[@]}"

# A command as one would type it: words with blanks or commas quoted.
shell_words() {
  local word words=()
  for word; do
    [[ $word =~ [[:space:],] ]] && word="'$word'"
    words+=("$word")
  done
  echo "${words[*]}"
}
report() { "$dir/startup_report" "$@"; }
{
  echo "Measured $(date -u +%Y-%m-%d) on $release (Qt $qt_version) with \`bench/startup/run.sh $runs $outside_runs\` (release build). In each table the windows start in turn, each as a new process, after one unmeasured start of each; the figures are medians."
  echo
  echo "From inside, offscreen platform:"
  echo
  report inside "$runs" "$out/offscreen.tsv"
  echo "From inside, Xvfb (xcb platform):"
  echo
  report inside "$runs" "$out/xcb.tsv"
  echo "From outside, the commands run one after the other:"
  echo
  echo '```'
  shell_words "${x11_watch[@]}"
  shell_words "${weston_watch[@]}"
  shell_words "${sway_watch[@]}"
  echo '```'
  echo
  report outside "$outside_runs" "$out/x11.tsv" "$out/weston.tsv" "$out/sway.tsv"
} > "$out/section.md"
cat "$out/section.md"
scripts/update-doc-section.sh docs/PERFORMANCE.md "startup-$(tr ' A-Z' '-a-z' <<< "$release")" "$out/section.md"
