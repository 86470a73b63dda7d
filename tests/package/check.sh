#!/usr/bin/env bash
# The Debian package as a distribution would check it: built with cpack into a
# temporary folder, then lintian on the .deb, the software-centre data and the
# desktop entry as installed, the manual page through man and groff, and one
# version everywhere (a release bump that misses a file fails here).
# Usage: check.sh <build folder>. Exit 77 (skipped) only when a tool is missing.
set -euo pipefail

BUILD=$(cd "$1" && pwd)
APP_ID=example.nudgery.Nudgery

fail() { echo "FAIL: $*" >&2; exit 1; }

for tool in cpack dpkg-deb lintian appstreamcli desktop-file-validate man groff; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/install-deps.sh installs it)"; exit 77; }
done

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

cpack --config "$BUILD/CPackConfig.cmake" -G DEB -B "$WORK" >"$WORK/cpack.log" 2>&1 ||
  { cat "$WORK/cpack.log" >&2; fail "cpack could not build the package"; }
deb=$(ls "$WORK"/*.deb)
root="$WORK/root"
dpkg-deb -x "$deb" "$root"
version=$(dpkg-deb -f "$deb" Version)

# Errors and warnings fail; overrides carry their reasons in the package.
lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$WORK/lintian.log" 2>&1 ||
  { cat "$WORK/lintian.log" >&2; fail "lintian"; }
cat "$WORK/lintian.log"

# The component, its launchable desktop entry and the icon, together as installed.
metainfo="$root/usr/share/metainfo/$APP_ID.metainfo.xml"
desktop="$root/usr/share/applications/$APP_ID.desktop"
[ -f "$metainfo" ] || fail "no $APP_ID.metainfo.xml in share/metainfo"
[ -f "$desktop" ] || fail "no $APP_ID.desktop in share/applications"
appstreamcli validate --no-net --pedantic "$metainfo" || fail "appstreamcli validate"
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$root/usr/bin/$exec_name" ] || fail "the desktop entry starts '$exec_name', which the package lacks"

# The manual page: compressed reproducibly, and without a warning from man or groff.
page="$root/usr/share/man/man1/nudgery.1.gz"
[ -f "$page" ] || fail "no man1/nudgery.1.gz"
[ "$(od -An -tx1 -j4 -N4 "$page" | tr -d ' ')" = "00000000" ] ||
  fail "nudgery.1.gz carries a time stamp (gzip -n)"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man reports: $warnings"
warnings=$(zcat "$page" | groff -man -ww -z 2>&1)
[ -z "$warnings" ] || fail "groff reports: $warnings"

# One version: the package's, the newest release of the software-centre data,
# the changelog's newest entry and the page's header.
release=$(grep -o '<release [^>]*version="[^"]*"' "$metainfo" | head -n1 | sed 's/.*version="\([^"]*\)"/\1/')
[ "$release" = "$version" ] || fail "metainfo's newest release is '$release', the package is $version"
changelog=$(zcat "$root/usr/share/doc/nudgery/changelog.gz" | sed -n '1s/^nudgery (\([^)]*\)).*/\1/p')
[ "$changelog" = "$version" ] || fail "the changelog's newest entry is '$changelog', the package is $version"
zcat "$page" | grep -q "^\.TH NUDGERY 1 .*\"Nudgery $version\"" || fail "the manual page's header is not of $version"

echo "package $version: lintian, appstreamcli, desktop-file-validate, man and groff passed"
