#!/usr/bin/env bash
# The Debian package as a user meets it: lintian's verdict, the AppStream file software
# centres read, the hardening of the program, its two options, and the real window run from
# the unpacked package by an unprivileged user (package_xvfb.sh; as root, the user nobody).
#   package_test.sh <kasorel .deb> <wm_delete_window helper>
set -euo pipefail
deb=$1 closer=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
fail() { echo "package_test: $*" >&2; exit 1; }

lintian_args=(--fail-on error,warning --info)
[ "$(id -u)" -eq 0 ] && lintian_args+=(--allow-root)
lintian "${lintian_args[@]}" "$deb" || fail "lintian finds errors or warnings"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
dpkg-deb -x "$deb" "$stage/root"

# What software centres read: a valid AppStream file that launches the installed menu entry.
metainfo=$stage/root/usr/share/metainfo/example.kasorel.Kasorel.metainfo.xml
[ -f "$metainfo" ] || fail "no AppStream file in usr/share/metainfo"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli finds the AppStream file invalid"
appstreamcli validate-tree --no-net "$stage/root" || fail "appstreamcli finds the installed tree invalid"
launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
[ -n "$launchable" ] && [ -f "$stage/root/usr/share/applications/$launchable" ] ||
  fail "the AppStream file launches '$launchable', which the package does not install"

exe=$stage/root/usr/bin/kasorel
# Debian 12's start-up files carry no control-flow mark, so that one cannot be had here.
hardening-check --nocfprotection "$exe" || fail "the program lacks a hardening feature"

version=$(dpkg-deb -f "$deb" Version)
[ "$("$exe" --version)" = "kasorel $version" ] || fail "--version says '$("$exe" --version)'"
"$exe" --help | grep -q '^使い方: kasorel' || fail "--help gives no usage"

# The user runs copies of the test scripts it can read, wherever this checkout is.
mkdir "$stage/tests"
cp "$here"/{xvfb_common.sh,package_xvfb.sh,atspi_dump.py,rates_proxy.py} "$closer" "$stage/tests/"
chmod -R a+rX "$stage"
run=("$stage/tests/package_xvfb.sh" "$stage/root" "$stage/tests/$(basename "$closer")")
if [ "$(id -u)" -eq 0 ]; then
  runuser -u nobody -- "${run[@]}" || fail "the window test failed"
else
  "${run[@]}" || fail "the window test failed"
fi
[ "$(ls "$stage/root/usr/bin")" = kasorel ] || fail "something was written beside the program"
echo "package_test: 1 passed, 0 failed"
