#!/usr/bin/env bash
# Runs the README's two commands as a new user of another Debian release
# would: in a fresh minbase system of that release (mmdebstrap, plus git,
# ca-certificates and sudo), on a fresh clone of this repository's HEAD.
# First run.sh, which with no display saves a screenshot and must install
# nothing of the test list, then the test command. Prints pass or fail, the
# time of each and the packages each installed.
#
# Given a command, it runs that one there instead (a benchmark, say), and
# copies back into this tree the files under docs/ that it changed or added.
#
# The pristine base is kept between runs in $TABORVANE_BASES (default
# /var/cache/taborvane/bases), so a second run downloads nothing for it; each
# run works on a copy that it deletes afterwards. Everything is mounted in a
# mount and process namespace of its own: when the run ends, however it ends,
# the kernel ends its processes and takes its mounts away.
# With TABORVANE_KEEP_SYSTEM=1 the system of the run is kept afterwards, to
# look into a failure (chroot into the folder it names, mounting proc first).
#
# Usage: scripts/on-fresh-debian.sh [SUITE [COMMAND [ARGUMENT...]]]
#   SUITE defaults to trixie; run as root or through sudo.
set -euo pipefail
suite=${1:-trixie}
repository=$(cd "$(dirname "$0")/.." && pwd)
bases=${TABORVANE_BASES:-/var/cache/taborvane/bases}
mirror=${TABORVANE_MIRROR:-http://deb.debian.org/debian}

if [ "$(id -u)" -ne 0 ]; then
  exec sudo --preserve-env=TABORVANE_BASES,TABORVANE_MIRROR,TABORVANE_KEEP_SYSTEM "$0" "$@"
fi

# Inside the namespaces: mount what a system needs, run the commands, report.
if [ "${2:-}" = "--inside" ]; then
  root=$3
  shift 3
  mount -t proc proc "$root/proc"
  mount --rbind /sys "$root/sys"
  mount --rbind /dev "$root/dev"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  clone=$root/root/taborvane
  # As a fresh login would have it: no variable of the caller's session.
  in_system() {
    chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin TERM=dumb \
      bash -c 'cd /root/taborvane && "$@"' bash "$@"
  }
  if [ $# -gt 0 ]; then
    in_system "$@"
    changed=$(git -C "$clone" diff --name-only -- docs; git -C "$clone" ls-files --others --exclude-standard -- docs)
    for file in $changed; do
      cp "$clone/$file" "$repository/$file"
      echo "changed: $file"
    done
    exit 0
  fi
  status=0 results=()
  for command in ./scripts/run.sh ./scripts/test.sh; do
    echo "== $suite: $command"
    started=$SECONDS
    outcome=pass
    log=$root/root/${command##*/}.log
    in_system "$command" 2>&1 | tee "$log" || outcome=fail
    elapsed=$((SECONDS - started))
    installed=$(sed -n 's/^Installed \([0-9]*\) packages (\([0-9]*\) MiB) in \([0-9]*\) s$/\1 packages, \2 MiB, in \3 s/p' "$log")
    results+=("$suite $command: $outcome in $elapsed s${installed:+; installed $installed}")
    [ "$outcome" = pass ] || status=1
    if [ "$command" = ./scripts/run.sh ]; then
      # Trying the program must not have set up the test bench.
      test_packages_there=$(in_system bash -c '. scripts/packages.sh &&
        dpkg-query -W -f="\${db:Status-Abbrev} \${binary:Package}\n" "${test_packages[@]}" 2> /dev/null |
        awk "\$1 == \"ii\" { print \$2 }"' || true)
      if [ -n "$test_packages_there" ]; then
        results+=("$suite $command: FAILED: it installed packages of the test list: $(echo $test_packages_there)")
        status=1
      fi
    fi
  done
  if [ -f "$clone/build/taborvane-screenshot.png" ]; then
    cp "$clone/build/taborvane-screenshot.png" "$OUTPUT_DIR/taborvane-$suite.png"
    results+=("$suite screenshot: $OUTPUT_DIR/taborvane-$suite.png")
  fi
  printf '%s\n' "${results[@]}"
  exit "$status"
fi

"$repository/scripts/install-deps.sh" fresh-system

# The system fetches from this machine's mirror; where this machine has been
# told that the mirror's lists are older than they say, so is the system.
mirror_dates=()
if grep -q '^Acquire::Check-Valid-Until "false";' <<< "$(apt-config dump 2> /dev/null)"; then
  mirror_dates=(--aptopt='Acquire::Check-Valid-Until "false"')
fi

base=$bases/$suite
if [ ! -d "$base" ]; then
  echo "== building a minbase $suite into $base"
  mkdir -p "$bases"
  rm -rf "$base.partial"
  started=$SECONDS
  # Like Debian's own container images, the throwaway system's dpkg does not
  # sync every file it unpacks to the disk: installing takes half the time.
  mmdebstrap --variant=minbase --include=git,ca-certificates,sudo --mode=root --dpkgopt=force-unsafe-io \
    "${mirror_dates[@]}" "$suite" "$base.partial" "$mirror" < /dev/null > "$bases/$suite.log" 2>&1 || {
    tail -n 20 "$bases/$suite.log" >&2
    echo "FAILED: mmdebstrap of $suite (log: $bases/$suite.log)" >&2
    exit 1
  }
  mv "$base.partial" "$base" # only a finished base is ever reused
  echo "built in $((SECONDS - started)) s"
fi

work=$(mktemp -d "${TMPDIR:-/var/tmp}/taborvane-$suite.XXXXXX")
if [ "${TABORVANE_KEEP_SYSTEM:-}" = 1 ]; then
  trap 'echo "kept: $work/root"' EXIT
else
  trap 'rm -rf --one-file-system "$work"' EXIT
fi
cp -a "$base" "$work/root"
git clone --quiet --no-hardlinks "$repository" "$work/root/root/taborvane"

export OUTPUT_DIR=${OUTPUT_DIR:-$repository/build}
mkdir -p "$OUTPUT_DIR"
# In the background, so that a signal reaches this script at once. unshare
# ignores INT and TERM while its child runs; killed, it kills that child,
# the first process of the namespace, and the kernel every other one.
unshare --mount --pid --fork --propagation private --kill-child \
  "$0" "$suite" --inside "$work/root" "${@:2}" &
inside=$!
trap 'kill -KILL "$inside" 2> /dev/null; wait "$inside" || true; echo "== $suite: interrupted" >&2; exit 1' INT TERM HUP
wait "$inside"
