#!/usr/bin/env bash
# Builds the Debian package from a copy of the tree (so the tree stays clean
# and the results land in build/package), then checks it as a packager
# would: lintian, the AppStream metadata and the desktop entry, the files a
# user needs unpacked into a scratch root, and the menu entry's command
# starting the window on a virtual display. The tests have already run in the
# test command, so the package build skips them (nocheck).
# Needs what scripts/install-deps.sh installs.
set -euo pipefail
cd "$(dirname "$0")/.."

app_id=org.taborvane.Taborvane
out=$PWD/build/package
root=$out/root
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# --- one version and one release date everywhere
version=$(sed -n 's/^project(taborvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
changelog_version=$(dpkg-parsechangelog -S Version)
changelog_date=$(date -u -d "$(dpkg-parsechangelog -S Date)" +%F)
metainfo=packaging/$app_id.metainfo.xml
release=$(grep -m1 -o '<release version="[^"]*" date="[^"]*"' "$metainfo" || true)
[ "$changelog_version" = "$version" ] || fail "debian/changelog is at $changelog_version, CMakeLists.txt at $version"
[ "$release" = "<release version=\"$version\" date=\"$changelog_date\"" ] ||
  fail "$metainfo's newest release ($release) is not $version of $changelog_date (debian/changelog)"
grep -q "^\.TH TABORVANE 1 .* \"taborvane $version\"" docs/taborvane.1 || fail "docs/taborvane.1 is not for $version"

# --- the package, built from the files git knows (ignored ones stay out).
# Built again only when what it is built from has changed: those files (their
# contents and modes), the packages installed on the machine (compilers,
# libraries, debhelper) and the build options. Otherwise the last build's
# package is checked again as it is.
echo "== Debian package"
files_git_knows() {
  git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done
}
inputs=$({
  files_git_knows | xargs -0 stat -c '%a %n' | sort
  files_git_knows | xargs -0 sha256sum | sort -k2
  dpkg-query -W -f='${binary:Package} ${Version}\n'
  echo "DEB_BUILD_OPTIONS=nocheck"
} | sha256sum | cut -d' ' -f1)
if [ -f "$out/inputs" ] && [ "$(cat "$out/inputs")" = "$inputs" ] && [ -f "$out/build.log" ]; then
  echo "nothing it is built from has changed: checking the package built before ($out/build.log)"
  rm -rf "$root" "$out"/menu-entry.png "$out"/lintian.log
else
  rm -rf "$out"
  mkdir -p "$out/source"
  files_git_knows | tar --null -T - -cf - | tar -xf - -C "$out/source"
  # Through the compiler cache where there is one (debhelper gives the build
  # a HOME of its own, so the cache is named by its folder).
  launcher=()
  if command -v ccache > /dev/null; then
    launcher=(env CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_DEPEND=1 "CCACHE_DIR=$(ccache -k cache_dir)")
  fi
  start=$SECONDS
  if ! (cd "$out/source" && "${launcher[@]}" env DEB_BUILD_OPTIONS="nocheck" dpkg-buildpackage -us -uc -b -J2 -Pnocheck) \
      >"$out/build.log" 2>&1; then
    tail -n 40 "$out/build.log" >&2
    echo "FAIL: dpkg-buildpackage; log: $out/build.log" >&2
    exit 1
  fi
  echo "$inputs" > "$out/inputs"
  echo "built in $((SECONDS - start)) s; log: $out/build.log"
fi
deb=$out/taborvane_${version}_amd64.deb
dbgsym=$out/taborvane-dbgsym_${version}_amd64.deb
changes=$out/taborvane_${version}_amd64.changes
ls "$out"/*.deb "$changes"

# --- lintian, on the .changes (both packages and the build information).
# Lintian unpacks what it checks, so it runs as an unprivileged user, on
# copies that user can read.
echo "== lintian"
lint_dir=$(mktemp -d)
trap 'rm -rf "$lint_dir"' EXIT
cp "$out"/*.deb "$out"/*.buildinfo "$changes" "$lint_dir/"
chmod 755 "$lint_dir" && chmod 644 "$lint_dir"/*
as_user=()
[ "$(id -u)" -ne 0 ] || as_user=(runuser -u nobody --)
# It starts from the copies' folder: that user may not enter the one the tree is in.
if ! (cd "$lint_dir" && "${as_user[@]}" env HOME="$lint_dir" TMPDIR="$lint_dir" \
    lintian -I -E --pedantic --fail-on error,warning "$(basename "$changes")") | tee "$out/lintian.log"; then
  fail "lintian reports errors or warnings"
fi
# Hardening counts even where lintian only informs.
! grep -E '^[EWIP]: .*hardening-' "$out/lintian.log" || fail "the binary misses a hardening feature"

# --- the files a user needs, unpacked into a scratch root
echo "== files in the package"
dpkg -x "$deb" "$root"
program=$root/usr/bin/taborvane
desktop=$root/usr/share/applications/$app_id.desktop
hicolor=$root/usr/share/icons/hicolor
needed=(
  "$program" "$desktop" "$root/usr/share/metainfo/$app_id.metainfo.xml"
  "$hicolor/scalable/apps/$app_id.svg" "$root/usr/share/man/man1/taborvane.1.gz"
  "$root/usr/share/doc/taborvane/copyright" "$root/usr/share/doc/taborvane/changelog.gz"
)
for file in "${needed[@]}"; do [ -s "$file" ] || fail "missing: ${file#"$root"}"; done
for size in 16 24 32 48 64 128 256; do
  icon=$hicolor/${size}x${size}/apps/$app_id.png
  if [ ! -s "$icon" ]; then
    fail "missing: ${icon#"$root"}"
  elif [ "$(identify -format '%wx%h' "$icon")" != "${size}x${size}" ]; then
    fail "${icon#"$root"} is $(identify -format '%wx%h' "$icon"), not ${size}x${size}"
  fi
done
[ -x "$program" ] || fail "/usr/bin/taborvane is not executable"
! readelf -d "$program" | grep -E 'RPATH|RUNPATH' || fail "/usr/bin/taborvane carries a library search path"
# Wayland compositors match the window to its entry by the name the program gives Qt.
strings -el "$program" | grep -x "$app_id" >/dev/null || fail "the program does not name its desktop entry $app_id"
grep -q "^Icon=$app_id$" "$desktop" || fail "the desktop entry's Icon is not $app_id"
# The faces come from their own package at run time, not from a copy inside the program.
dpkg-deb -f "$deb" Depends | grep -q 'fonts-roboto-unhinted' || fail "the package does not depend on fonts-roboto-unhinted"
! strings -eb "$program" | grep -q 'Copyright 2011' || fail "the program carries a copy of a Roboto face"
build_id=$(readelf -n "$program" | sed -n 's/^ *Build ID: //p')
dpkg -c "$dbgsym" | grep "usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug" >/dev/null ||
  fail "the -dbgsym package has no symbols for build id $build_id"

# --- the manual page lists exactly the options the program's --help lists
man_options=$(zcat "$root/usr/share/man/man1/taborvane.1.gz" | sed -n '/^\.SH OPTIONS/,/^\.SH [^O]/p' |
  grep -A1 '^\.TP' | grep -E '^\.BR? ' | grep -oE '\\-(\\-)?[a-z][a-z\\-]*' |
  sed 's/\\-/-/g' | sort -u)
help_options=$("$program" --help | grep -oE '(^|[ ,])--?[a-z][a-z-]*' | tr -d ' ,' | sort -u)
[ "$man_options" = "$help_options" ] ||
  fail "the manual page's options ($(echo $man_options)) are not those of --help ($(echo $help_options))"

# --- the desktop entry and the AppStream metadata
echo "== desktop-file-validate"
desktop_report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed"
[ -z "$desktop_report" ] || fail "desktop-file-validate: $desktop_report"
echo "${desktop_report:-(silent)}"
echo "== appstreamcli"
# Pedantic and info remarks may stay; warnings and errors fail.
appstream_report=$(appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/$app_id.metainfo.xml" 2>&1 &&
  appstreamcli validate-tree --no-net --pedantic "$root" 2>&1) || fail "appstreamcli validation failed"
echo "$appstream_report"
! grep -E '^ *[EW]: ' <<<"$appstream_report" >/dev/null || fail "appstreamcli reports warnings or errors"

# --- the menu entry's command opens the window (from the scratch root)
echo "== the menu entry's command"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[ "$(PATH="$root/usr/bin:$PATH" command -v "$exec_line")" = "$program" ] ||
  fail "Exec=$exec_line does not run the packaged program"
PATH="$root/usr/bin:$PATH" scripts/screenshot.sh "$exec_line" "$out/menu-entry.png" || fail "Exec=$exec_line opened no window"

if [ "$failures" -ne 0 ]; then
  echo "Package check: $failures failed" >&2
  exit 1
fi
echo "Package check passed: $(basename "$deb"), $(basename "$dbgsym")"
