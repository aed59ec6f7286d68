# The Debian packages each purpose needs: one list a purpose, read by
# scripts/install-deps.sh. A package is named in the first list that needs it.

# Building the program and running it on a desktop, X11 or Wayland.
program_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev libxcb1-dev libwayland-dev
  fonts-roboto-unhinted
  qt6-wayland
)

# Running it where there is no display: a virtual X server, and what finds
# the window there and saves its picture.
headless_packages=(
  xvfb xauth xdotool imagemagick
)

# The tests, the benchmarks and fuzzing, and building and checking the Debian
# package with the icons it installs, rendered from their SVG; the tests run
# the program on X11 and on two Wayland compositors, read it over the
# accessibility bus and draw it under a dark GTK theme.
test_packages=(
  build-essential libgtest-dev libbenchmark-dev librsvg2-bin
  clang libclang-rt-dev clang-tidy ccache
  dpkg-dev debhelper lintian appstream desktop-file-utils
  weston sway dbus-daemon at-spi2-core python3-pyatspi qt6-gtk-platformtheme
)

# Hearing the window as a blind user does (scripts/orca-transcript.py): the
# screen reader, and a window manager to give the window the focus.
screen_reader_packages=(
  orca openbox
)

# Building a fresh system of another Debian release (scripts/on-fresh-debian.sh).
fresh_system_packages=(
  mmdebstrap
)
