#!/usr/bin/env bash
# Runs the Win32 window's suite under wine64 on a virtual X server with a small window manager
# (without one Wine waits 2 s each time a top-level window hides), in a Wine prefix of its own
# that is made on first use: a prefix whose desktop started without a display cannot make
# windows.
#   win_shell_xvfb.sh <win_shell_test.exe> <prefix folder> [gtest options...]
set -euo pipefail
exe=$1 prefix=$(realpath -m "$2")
shift 2
tests_dir=$(cd "$(dirname "$0")" && pwd)
. "$tests_dir/windows/wine_commands.sh"
if [ -z "${KASOREL_WIN_SHELL_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24" env KASOREL_WIN_SHELL_DISPLAY=1 "$0" "$exe" "$prefix" "$@"
fi

work=$(mktemp -d)
wm=
cleanup() {
  wineserver -k 2>/dev/null || true
  if [ -n "$wm" ]; then kill "$wm" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

c++ -std=c++20 -O1 -o "$work/tiny_wm" "$tests_dir/windows/tiny_wm.cpp" -lxcb
"$work/tiny_wm" "$work/wm-ready" &
wm=$!
for _ in $(seq 50); do
  [ -f "$work/wm-ready" ] && break
  sleep 0.1
done
[ -f "$work/wm-ready" ] || { echo "the window manager did not start" >&2; exit 1; }

export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log" >&2; exit 1; }
fi
wine "$exe" "$@"
