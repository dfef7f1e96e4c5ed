#!/usr/bin/env bash
# The packaged program run by an ordinary user, as on a system-wide install: the service key
# set through "API設定" is kept in the user's own settings file (mode 0600, in a 0700
# folder), with no error box then or at close; a second start converts US dividends with
# that key.
#   package_xvfb.sh <unpacked package root> <wm_delete_window helper>
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/xvfb_common.sh"

root=$1 closer=$2
xvfb_reexec "-screen 0 1280x1024x24 -noreset" "$0" "$@"
export LANG=ja_JP.UTF-8

fail() { echo "package_xvfb: $*" >&2; atspi >&2 2>/dev/null || true; exit 1; }

work=$(mktemp -d)
pid= proxy_pid=
trap xvfb_cleanup EXIT
export HOME=$work/home XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
unset XDG_CONFIG_HOME
start_rates_proxy 0
ini=$HOME/.config/kasorel/kasorel.ini

start() {
  "$root/usr/bin/kasorel" &
  pid=$!
  wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Kasorel$' | head -n1) ||
    fail "no window named Kasorel appeared"
  wait_atspi
}

# Closes as a window manager does; an error box would hold the program open.
stop() {
  "$closer" "$wid" || fail "could not send WM_DELETE_WINDOW"
  if ! process_ended "$pid"; then
    dialog_open && fail "an error box came up at close"
    fail "the window did not close"
  fi
  expect_exit_zero
}

start
pick_menu 設定 API設定
dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^API Key' | head -n1) ||
  fail "the key prompt did not open"
xdotool windowfocus --sync "$dialog"
xdotool type NEWKEY
xdotool key Return
wait_status "設定を保存しました: $ini"
dialog_open && fail "an error box came up after the key was stored"
stop

[ "$(stat -c %a "$ini")" = 600 ] || fail "the settings file has mode $(stat -c %a "$ini")"
[ "$(stat -c %a "$(dirname "$ini")")" = 700 ] || fail "its folder is not the user's alone"
grep -qx 'APIKey=NEWKEY' "$ini" || fail "the key is not in $ini"
grep -q '^MainForm_left=' "$ini" || fail "the window position was not kept"

# The next day: the key is read back and sent with the rate query.
start
printf '銘柄名abcdefgSAMPLE INC\r\n入金額abcdefg100.00 USD\r\n' | xclip -selection clipboard -t UTF8_STRING
click_object "push button" 貼り付け
wait_status "貼り付け: 2 行を貼り付けました"
click_object "push button" 国外配当
wait_status "国外配当: 1 行をクリップボードにコピーしました (1 USD = 151.3 円)"
grep -q 'access_key=NEWKEY' "$work/requests" || fail "the query did not send the stored key"
stop
echo "package_xvfb: 1 passed, 0 failed"
