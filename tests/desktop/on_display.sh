#!/usr/bin/env bash
# Runs a command on a display server of its own, X11 (Xvfb) or Wayland (a
# headless Weston, which leaves windows' frames to their programs, or a
# headless sway, which draws them itself), inside a session bus of its own,
# with nothing of the caller's session in reach: on Weston and sway no X
# server exists, so a program can only show its window as a Wayland client.
# Usage: on_display.sh x11|wayland|sway COMMAND [ARGUMENT...]
# Exits 77 (the test is skipped), with the reason on its last line, when the
# display server or the session bus is not installed: scripts/install-deps.sh
# installs them, and the test command fails on any skip.
set -euo pipefail
kind=$1
shift

case $kind in
  wayland) server_program=weston server_package=weston ;;
  sway) server_program=sway server_package=sway ;;
  *) server_program=Xvfb server_package=xvfb ;;
esac
for needed in "$server_program:$server_package" dbus-run-session:dbus-daemon; do
  if ! command -v "${needed%%:*}" > /dev/null; then
    echo "skipped: ${needed%%:*} is not installed (package ${needed##*:})"
    exit 77
  fi
done

runtime=$(mktemp -d) # mode 0700, as a runtime folder must be
sway_runtime=
server_pid=
cleanup() {
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2> /dev/null || true
    wait "$server_pid" 2> /dev/null || true
  fi
  rm -rf "$runtime" ${sway_runtime:+"$sway_runtime"}
}
trap cleanup EXIT
unset DISPLAY WAYLAND_DISPLAY WAYLAND_SOCKET SWAYSOCK XDG_SESSION_TYPE QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME DBUS_SESSION_BUS_ADDRESS
export XDG_RUNTIME_DIR=$runtime
# A UTF-8 locale, as every desktop session has: without one, a newer Qt warns.
export LC_ALL=C.UTF-8

# wait_for DESCRIPTION TEST...: up to 10 s.
wait_for() {
  local what=$1
  shift
  for _ in $(seq 100); do
    "$@" && return 0
    sleep 0.1
  done
  echo "$what did not start" >&2
  [ -f "$runtime/server.log" ] && cat "$runtime/server.log" >&2
  exit 1
}

case $kind in
  wayland)
    # No fading in: a screenshot shows the window in its own colours at once.
    printf '[shell]\nstartup-animation=none\nanimation=none\nclose-animation=none\n' > "$runtime/weston.ini"
    # Pixman renders real pixels, and --debug lets weston-screenshooter take them.
    weston --config="$runtime/weston.ini" --backend=headless-backend.so --use-pixman --debug --width=1024 \
      --height=640 --idle-time=0 --socket=wayland-taborvane --log="$runtime/server.log" 2> /dev/null &
    server_pid=$!
    wait_for weston test -S "$runtime/wayland-taborvane"
    export WAYLAND_DISPLAY=wayland-taborvane XDG_SESSION_TYPE=wayland
    ;;
  sway)
    # sway refuses to run as root: then it runs as nobody, in a runtime folder of
    # its own, and the program reaches its socket by the socket's full path.
    sway_runtime=$(mktemp -d) # beside the other, which its user could not enter
    printf 'output HEADLESS-1 resolution 1024x640\n' > "$sway_runtime/config"
    as_user=()
    if [ "$(id -u)" -eq 0 ]; then
      chown nobody:nogroup "$sway_runtime"
      as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    fi
    "${as_user[@]}" env -i HOME="$sway_runtime" XDG_RUNTIME_DIR="$sway_runtime" PATH=/usr/bin:/bin \
      WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
      sway --config "$sway_runtime/config" > "$runtime/server.log" 2>&1 &
    server_pid=$!
    wait_for sway compgen -G "$sway_runtime/sway-ipc.*.sock" > /dev/null
    wait_for sway compgen -G "$sway_runtime/wayland-[0-9]" > /dev/null
    socket=$(compgen -G "$sway_runtime/wayland-[0-9]" | head -n 1)
    export WAYLAND_DISPLAY=$socket XDG_SESSION_TYPE=wayland SWAYSOCK=$(compgen -G "$sway_runtime/sway-ipc.*.sock")
    ;;
  x11)
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3> "$runtime/display" 2> "$runtime/server.log" &
    server_pid=$!
    wait_for Xvfb test -s "$runtime/display"
    export DISPLAY=":$(head -n 1 "$runtime/display")" XDG_SESSION_TYPE=x11
    ;;
  *)
    echo "usage: $0 x11|wayland|sway COMMAND [ARGUMENT...]" >&2
    exit 2
    ;;
esac

dbus-run-session -- "$@"
