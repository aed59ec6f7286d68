#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need,
# and does nothing when they are all there already.
set -euo pipefail

packages=(
  cmake make g++ pkg-config build-essential
  libgtest-dev libbenchmark-dev
  clang libclang-rt-dev clang-tidy
  qt6-base-dev libgl-dev fonts-roboto-unhinted
  libxcb1-dev libwayland-dev qt6-wayland
  xvfb xauth xdotool imagemagick
  librsvg2-bin dpkg-dev debhelper lintian appstream desktop-file-utils
  weston sway dbus-daemon at-spi2-core python3-pyatspi qt6-gtk-platformtheme
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
# Another apt or dpkg run (an unattended upgrade, a software centre) may hold
# the package locks for a while: wait up to this long for it to finish.
lock_wait_seconds=300

# apt-get update does not wait for the lock of the package lists by itself.
update_package_lists() {
  local deadline=$((SECONDS + lock_wait_seconds)) errors
  until errors=$("${sudo_cmd[@]}" apt-get update -qq 2>&1 > /dev/null); do
    if ! grep -q "Could not get lock" <<< "$errors" || [ "$SECONDS" -ge "$deadline" ]; then
      echo "$errors" >&2
      return 1
    fi
    echo "Waiting for another apt or dpkg run to finish..."
    sleep 5
  done
  [ -z "$errors" ] || echo "$errors" >&2
}

started=$SECONDS
update_package_lists
"${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout="$lock_wait_seconds" install -y -qq --no-install-recommends "${missing[@]}"
echo "Installed ${#missing[@]} packages in $((SECONDS - started)) s"
