#!/usr/bin/env bash
# scripts/install-deps.sh against a package manager that only pretends:
# dpkg-query answers from a list of installed packages, apt-get writes down
# how it was called and "installs" by adding to that list. Each case sets what
# is installed, runs the script for a purpose, and checks what it asked apt-get
# for and what it said.
# Usage: install_deps_test.sh REPOSITORY
set -euo pipefail
repository=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"

# Installed packages, one "name:architecture status size-in-KiB" a line.
cat > "$work/bin/dpkg-query" << 'STUB'
#!/usr/bin/env bash
format=
asked=()
for argument in "$@"; do
  case $argument in
    -W) ;;
    -f=*) format=${argument#-f=} ;;
    *) asked+=("$argument") ;;
  esac
done
status=0
while read -r package state size; do
  name=${package%%:*}
  if [ ${#asked[@]} -gt 0 ] && ! printf '%s\n' "${asked[@]}" | grep -qxF "$name"; then continue; fi
  line=${format//'${db:Status-Abbrev}'/"$state "}
  line=${line//'${binary:Package}'/$package}
  line=${line//'${Installed-Size}'/$size}
  printf "$line"
done < "$INSTALLED"
for name in "${asked[@]}"; do
  grep -q "^$name:" "$INSTALLED" || { echo "dpkg-query: no packages found matching $name" >&2; status=1; }
done
exit $status
STUB
cat > "$work/bin/apt-get" << 'STUB'
#!/usr/bin/env bash
echo "$*" >> "$CALLS"
[ "${1:-}" = update ] && exit 0
[ -n "${INSTALLS_NOTHING:-}" ] && exit 0  # what it was asked for is as new as it gets
for argument in "$@"; do
  case $argument in
    -* | install | *=*) ;;
    *)
      sed -i "/^$argument:/d" "$INSTALLED"
      echo "$argument:amd64 ii 2048" >> "$INSTALLED"
      ;;
  esac
done
STUB
printf '#!/bin/sh\nexec "$@"\n' > "$work/bin/sudo"
chmod +x "$work/bin/"*

. "$repository/scripts/packages.sh"
failures=0
check() { # check DESCRIPTION CONDITION...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

# run CASE PURPOSE... with $INSTALLED set up: leaves the calls in $CALLS, the words in $SAID
run() {
  local name=$1
  shift
  export CALLS=$work/$name.calls INSTALLED=$work/$name.installed
  : > "$CALLS"
  SAID=$(PATH=$work/bin:$PATH "$repository/scripts/install-deps.sh" "$@" 2>&1)
}
installed_as() { # installed_as CASE STATE PACKAGE...
  local name=$1 state=$2
  shift 2
  for package in "$@"; do echo "$package:amd64 $state 1024"; done >> "$work/$name.installed"
}
# The packages apt-get was asked to install, one a line.
asked() { sed -n 's/.* install //p' "$CALLS" | tr ' ' '\n' | grep -v '^-' | grep .; }
asked_for() { asked | grep -qxF "$1"; }

# Everything there, as dpkg lists it with its architecture: nothing asked, nothing said.
installed_as all-there ii "${program_packages[@]}"
run all-there program
check "all there: apt-get is not called" test ! -s "$CALLS"
check "all there: nothing is said" test -z "$SAID"

# One missing: that one alone is installed, and said.
installed_as one-missing ii "${program_packages[@]/qt6-wayland/}"
run one-missing program
check "one missing: only qt6-wayland is asked for" test "$(asked)" = qt6-wayland
check "one missing: it is named" grep -qx 'Installing: qt6-wayland' <<< "$SAID"
check "one missing: one package is counted" grep -q '^Installed 1 packages' <<< "$SAID"

# A package half there (removed, its configuration kept) is installed again.
installed_as half-there ii "${program_packages[@]/qt6-wayland/}"
installed_as half-there rc qt6-wayland
run half-there program
check "half there: it is asked for" test "$(asked)" = qt6-wayland
check "half there: it is counted" grep -q '^Installed 1 packages' <<< "$SAID"

# Asked for, but apt-get adds nothing new: none is counted.
installed_as nothing-new ii "${program_packages[@]/qt6-wayland/}"
INSTALLS_NOTHING=1 run nothing-new program
check "nothing new: no package counted" grep -q '^Installed 0 packages' <<< "$SAID"

# What trying the program needs, installed by run.sh's purposes: the README promises the
# Wayland plugin and the faces among them, and nothing of the test bench.
: > "$work/nothing.installed"
run nothing program headless
for package in cmake g++ qt6-base-dev qt6-wayland fonts-roboto-unhinted libxcb1-dev libwayland-dev xvfb; do
  check "run.sh's purposes install $package" asked_for "$package"
done
for package in "${test_packages[@]}"; do
  if asked_for "$package"; then check "run.sh's purposes leave $package to the test list" false; fi
done
check "run.sh's purposes ask for nothing of the test list" true

[ "$failures" -eq 0 ] || { echo "$failures checks failed"; exit 1; }
