#!/usr/bin/env bash
# The real program on a real X server: paste a 楽天カード statement through the X
# clipboard, press "貼り付け" and "楽天カード", read the rows back, close the window as a
# window manager would and expect exit status 0.
#   window_xvfb.sh <kasorel executable> <wm_delete_window helper> <artefact folder>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/xvfb_common.sh"

exe=$1 closer=$2 out=$3
xvfb_reexec "-screen 0 1280x1024x24" "$0" "$@"

fail() { echo "window_xvfb: $*" >&2; exit 1; }

xvfb_scratch_copy "$exe"

HOME=$work XDG_RUNTIME_DIR=$work "$work/kasorel" &
pid=$!

wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Kasorel$' | head -n1) ||
  fail "no window named Kasorel appeared"

# The client area (693 x 612) sits right below the menu bar; the buttons are placed in it.
eval "$(xdotool getwindowgeometry --shell "$wid")"
menu=$((HEIGHT - 612))
[ "$WIDTH" -eq 693 ] && [ "$menu" -gt 0 ] || fail "unexpected window size ${WIDTH}x${HEIGHT}"
press() { # x y: a button's centre in client coordinates
  xdotool mousemove --window "$wid" "$1" $(($2 + menu)) click 1
}

printf '明細\r\n2024/05/01\tショップA\t1,200 円\r\n支払方法\t一括\r\nx1\r\ny1\r\n2024/05/03\tショップB\t800 円\r\n支払方法\t一括\r\nx2\r\ny2' |
  xclip -selection clipboard -t UTF8_STRING
printf '2024/05/01\tショップA\t\t\t1,200\r\n2024/05/03\tショップB\t\t\t800\r\n' >"$work/expected"

press 67 569   # 貼り付け
sleep 0.5      # the paste must have read the clipboard before it is taken over
press 203 569  # 楽天カード

got=no
for _ in $(seq 50); do
  if xclip -o -selection clipboard -t UTF8_STRING >"$work/got" 2>/dev/null &&
     cmp -s "$work/expected" "$work/got"; then
    got=yes
    break
  fi
  sleep 0.2
done
mkdir -p "$out"
import -window "$wid" "$out/window_xvfb.png" || echo "window_xvfb: no screenshot" >&2
[ $got = yes ] || { od -c "$work/got" | head -20 >&2; fail "clipboard does not hold the rows"; }

"$closer" "$wid" || fail "could not send WM_DELETE_WINDOW"
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the window did not close"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "exit status $status"
echo "window_xvfb: 1 passed, 0 failed"
