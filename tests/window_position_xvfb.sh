#!/usr/bin/env bash
# The window comes back where it was closed: starts kasorel on a virtual X server from a
# copy in a temporary folder (so its settings file lands there), moves the window, closes it
# the way a window manager asks (WM_DELETE_WINDOW), starts it again and compares positions.
# Also checks a stored top beyond the screen and a position on no screen.
#   window_position_xvfb.sh <kasorel executable> <wm_delete_window helper>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/xvfb_common.sh"

exe=${1:?usage: window_position_xvfb.sh <kasorel executable> <wm_delete_window helper>}
closer=${2:?usage: window_position_xvfb.sh <kasorel executable> <wm_delete_window helper>}
# -noreset: the server would otherwise reset whenever the program ends, and the next start
# could find no display.
xvfb_reexec "-screen 0 1920x1080x24 -noreset" "$0" "$@"
export LANG=ja_JP.UTF-8
unset QT_QPA_PLATFORM

xvfb_scratch_copy "$exe"
ini="$work/kasorel.ini"

fail() {
  echo "window_position_xvfb: $*" >&2
  [ -f "$ini" ] && { echo "--- $ini:" >&2; cat "$ini" >&2; }
  exit 1
}

# Polls for up to 20 s; the limit only keeps a broken build from hanging the suite.
start() {
  "$work/kasorel" &
  pid=$!
  wid=
  for _ in $(seq 100); do
    wid=$(xdotool search --onlyvisible --name '^Kasorel$' 2>/dev/null | head -n1 || true)
    [ -n "$wid" ] && return 0
    kill -0 "$pid" 2>/dev/null || fail "kasorel ended before showing its window"
    sleep 0.2
  done
  fail "no window appeared"
}

position() {
  xdotool getwindowgeometry "$wid" | sed -n 's/^ *Position: \([-0-9]*\),\([-0-9]*\).*/\1,\2/p'
}

wait_position() {
  wait_until "the window's position" "$1" position
}

# Asks the window to close as a window manager does, then waits for the program to end.
close_window() {
  "$closer" "$wid" || fail "could not send WM_DELETE_WINDOW"
  local rc=0
  wait "$pid" || rc=$?
  pid=
  [ "$rc" -eq 0 ] || fail "kasorel ended with exit code $rc"
}

# First start, no settings file: the window is moved, closed, and comes back there.
start
xdotool windowmove "$wid" 300 200
wait_position 300,200
close_window
grep -qx 'MainForm_left=300' "$ini" || fail "left edge not saved"
grep -qx 'MainForm_top=200' "$ini" || fail "top edge not saved"
start
wait_position 300,200
close_window

# A top beyond the 1080-pixel screen is brought back by its remainder.
printf '[Ap]\nMainForm_left=100\nMainForm_top=5000\n' >"$ini"
start
wait_position 100,680
close_window

# A position on no screen is not applied: the window opens where it does without settings.
rm -f "$ini"
start
fresh=$(position)
close_window
printf '[Ap]\nMainForm_left=-4000\nMainForm_top=10\n' >"$ini"
start
wait_position "$fresh"
close_window

echo "window_position_xvfb: ok"
