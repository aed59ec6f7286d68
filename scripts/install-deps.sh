#!/usr/bin/env bash
# Installs the Debian packages of the purposes named (scripts/packages.sh:
# program, headless, test, screen-reader, fresh-system), and does nothing when they are all there already.
# Usage: scripts/install-deps.sh PURPOSE...
set -euo pipefail
. "$(dirname "$0")/packages.sh"

packages=()
for purpose in "$@"; do
  case $purpose in
    program) packages+=("${program_packages[@]}") ;;
    headless) packages+=("${headless_packages[@]}") ;;
    test) packages+=("${test_packages[@]}") ;;
    screen-reader) packages+=("${screen_reader_packages[@]}") ;;
    fresh-system) packages+=("${fresh_system_packages[@]}") ;;
    *)
      echo "usage: $0 program|headless|test|screen-reader|fresh-system..." >&2
      exit 2
      ;;
  esac
done

# One question to dpkg for all of them: those it does not list as installed are missing.
installed=$(dpkg-query -W -f='${db:Status-Abbrev} ${binary:Package}\n' "${packages[@]}" 2> /dev/null |
  awk '$1 == "ii" { sub(/:.*/, "", $2); print $2 }' || true)
missing=()
for package in "${packages[@]}"; do
  grep -qxF "$package" <<< "$installed" || missing+=("$package")
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

# Every installed package with its size in KiB, to tell what this run added.
installed_packages() { dpkg-query -W -f='${db:Status-Abbrev} ${binary:Package} ${Installed-Size}\n' | awk '$1 == "ii" { print $2, $3 }' | sort; }

started=$SECONDS
before=$(installed_packages)
update_package_lists
"${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout="$lock_wait_seconds" install -y -qq --no-install-recommends "${missing[@]}"
added=$(comm -13 <(echo "$before") <(installed_packages))
echo "Installed $(grep -c . <<< "$added" || true) packages ($(awk '{ size += $2 } END { printf "%d", size / 1024 }' <<< "$added") MiB) in $((SECONDS - started)) s"
