# shellcheck shell=bash
# Start-up and helpers shared by the scripts that drive kasorel.exe under Wine on a virtual X
# server; they source ../xvfb_common.sh and then this file, and run inside xvfb_reexec (and,
# to reach the stand-in rate service, private_network_reexec before it).
#
# wine_setup gives each script a fresh Wine prefix in its scratch folder $work, as a new
# Japanese Windows user's would be: the ja-JP locale, the Japanese faces mapped to Noto Sans
# CJK JP, and a window manager on the display (without one, Wine waits 2 s every time a
# top-level window hides, and never gets the X focus).

windows_tests_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$windows_tests_dir/wine_commands.sh"

# Runs the calling script again, once, in network and mount namespaces of its own: only the
# loopback device, and the exchange-rate service's host name resolving to 127.0.0.1. Wine's
# WinHTTP takes no proxy when asked for the automatic one, so the system's proxy settings
# cannot lead the program to a stand-in; the stand-in answers as the service's host instead.
# The mount namespace is also where a test makes a file truly read-only (Wine run as root
# writes through a mode-0444 file).
#   private_network_reexec "$0" "$@"
private_network_reexec() {
  if [ "${KASOREL_IN_NETNS:-}" != 1 ]; then
    local user=()
    [ "$(id -u)" -eq 0 ] || user=(--map-root-user)
    exec env KASOREL_IN_NETNS=1 unshare "${user[@]}" --mount --net -- "$@"
  fi
  # Once: the script runs again inside xvfb_reexec.
  [ "${KASOREL_NETNS_READY:-}" = 1 ] && return 0
  export KASOREL_NETNS_READY=1
  ip link set lo up
  local hosts
  hosts=$(mktemp)
  { echo "127.0.0.1 api.exchangeratesapi.io"; cat /etc/hosts; } >"$hosts"
  mount --bind "$hosts" /etc/hosts
  rm -f "$hosts"
  unset http_proxy HTTP_PROXY https_proxy HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
}

# Starts the stand-in rate service on 127.0.0.1:80, answering after <delay> seconds; the
# targets it was asked for are in $work/requests.
#   start_rates_service <delay>
start_rates_service() {
  /usr/bin/python3 "$tests_dir/rates_proxy.py" "$work/service-port" "$work/requests" "$1" 80 &
  proxy_pid=$!
  for _ in $(seq 50); do
    [ -f "$work/service-port" ] && return 0
    sleep 0.1
  done
  fail "the stand-in rate service did not start"
}

# Makes <file> read-only for everyone, root and the Windows attribute included: a read-only
# bind mount over it.
make_read_only() { # file
  mount --bind "$1" "$1" || fail "cannot make $1 read-only"
  read_only_mounts+=("$1")
  mount -o remount,bind,ro "$1" || fail "cannot make $1 read-only"
}
read_only_mounts=()

# The faces the window and Wine's dialogs ask for, none of which Debian ships.
wine_faces=(メイリオ Meiryo "Meiryo UI" "Segoe UI" "AR P丸ゴシック体E" "MS UI Gothic"
            "ＭＳ ゴシック" "ＭＳ Ｐゴシック" "MS Gothic" "MS PGothic" "Yu Gothic UI")

# Prepares $work (created here), the prefix $WINEPREFIX and the helpers $closer
# (wm_delete_window) and $win_dump (win_dump.exe), and starts the window manager.
#   wine_setup
wine_setup() {
  work=$(mktemp -d)
  pid= proxy_pid= tiny_wm_pid=
  trap wine_cleanup EXIT
  locale -a | grep -ix 'ja_JP.utf-\?8' >/dev/null ||
    fail "the ja_JP.UTF-8 locale is missing (script/bootstrap generates it)"
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  # Wine links the user's Desktop, Documents and Downloads to folders of $HOME: a home of
  # the test's own keeps what the tests put there.
  export HOME=$work/home
  unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_DESKTOP_DIR XDG_DOWNLOAD_DIR
  mkdir "$HOME"
  export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
  # No Mono or Gecko: a fresh prefix would otherwise offer to download them.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir "$work/tools"
  local flags=(-std=c++20 -O1 -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Werror)
  c++ "${flags[@]}" -o "$work/tools/tiny_wm" "$windows_tests_dir/tiny_wm.cpp" -lxcb ||
    fail "tiny_wm does not build"
  c++ "${flags[@]}" -o "$work/tools/wm_delete_window" "$tests_dir/wm_delete_window.cpp" -lxcb ||
    fail "wm_delete_window does not build"
  closer=$work/tools/wm_delete_window
  win_dump=$work/tools/win_dump.exe
  x86_64-w64-mingw32-g++-posix "${flags[@]}" -static -o "$win_dump" \
    "$windows_tests_dir/win_dump.cpp" || fail "win_dump.exe does not build"
  "$work/tools/tiny_wm" "$work/wm-ready" &
  tiny_wm_pid=$!
  for _ in $(seq 50); do
    [ -f "$work/wm-ready" ] && break
    sleep 0.1
  done
  [ -f "$work/wm-ready" ] || fail "the window manager did not start"

  # One server for the whole script, so each start does not pay for a new one.
  mkdir "$WINEPREFIX"
  wineserver -p || fail "wineserver did not start"
  wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log" >&2; fail "wineboot failed"; }
  local reg=$work/faces.reg face
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for face in "${wine_faces[@]}"; do
      printf '"%s"="Noto Sans CJK JP"\r\n' "$face"
    done
  } | iconv -f UTF-8 -t UTF-16 >"$reg"
  wine regedit /S "$(winepath -w "$reg")" || fail "the font replacements were not stored"
}

wine_cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
  [ -n "$tiny_wm_pid" ] && kill "$tiny_wm_pid" 2>/dev/null || true
  [ -n "$proxy_pid" ] && kill "$proxy_pid" 2>/dev/null || true
  local m
  for m in "${read_only_mounts[@]}"; do umount "$m" 2>/dev/null || true; done
  rm -rf "$work"
}

# Starts a Windows program (a Unix path) in the background, keeping its process id in $pid,
# and waits for its top-level window named exactly <caption>, whose X window it keeps in
# $wid and focuses once, as the user's first click would.
#   wine_start <exe> <caption>
wine_start() {
  local exe=$1 caption=$2
  wine "$(winepath -w "$exe")" >>"$work/wine.log" 2>&1 &
  pid=$!
  wid=
  for _ in $(seq 150); do
    wid=$(windows_named "$caption" | head -n1)
    [ -n "$wid" ] && break
    kill -0 "$pid" 2>/dev/null || fail "$exe ended before showing its window"
    sleep 0.2
  done
  [ -n "$wid" ] || fail "no window named $caption appeared"
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
}

# Closes the window as a window manager does and waits for the program to end with status 0.
wine_stop() {
  "$closer" "$wid" || fail "could not send WM_DELETE_WINDOW"
  if ! process_ended "$pid"; then
    box_open && fail "a message box came up at close: $(box_text)"
    fail "the window did not close"
  fi
  expect_exit_zero
}

# The open windows as win_dump.exe reads them (one line per window and per control).
windows_dump() {
  wine "$win_dump" 2>/dev/null
}

# The field <n> (1 kind, 2 text, 3 box, 4 flags) of the first line of <kind> with <text>,
# found in the window captioned <window> (its line and those after it up to the next window).
field_of() { # window kind text n
  windows_dump | awk -F'\t' -v w="$1" -v k="$2" -v t="$3" -v n="$4" '
    $1 == "window" { inside = ($2 == w) }
    inside && $1 == k && $2 == t { print $n; exit }'
}

# Clicks the middle of the control of <kind> with <text> in the window <window>.
click_control() { # window kind text
  local box
  box=$(field_of "$1" "$2" "$3" 3)
  [ -n "$box" ] || fail "no $2 '$3' in the window '$1'"
  set -- $box
  [ "$3" -gt 0 ] && [ "$4" -gt 0 ] || fail "the $2 is not shown"
  xdotool mousemove $(($1 + $3 / 2)) $(($2 + $4 / 2)) click 1
}

# Clicks a button of the main window by its caption.
click_button() {
  click_control Kasorel button "$1"
}

# The main window's menus and their items, in the order the window shows them.
menu_bar=("その他の書式:自動判別,Viewカード,T生協"
          "設定:スプシURL,API設定,View設定,生協設定,送信済みの行を除く,送信履歴を消去,書式を作る,書式を削除,費目を覚える,費目を埋める,覚えた費目を消去"
          "ヘルプ:作者ホームページ")

# Picks an item of the main window's menu bar from the keyboard, as a person does who knows
# where it is: F10, Right to the menu, Down to the item, Enter. (Wine keeps another
# process's menus to itself, so they cannot be read from outside.)
pick_menu() { # menu item
  local entry m=0 i keys=(F10)
  for entry in "${menu_bar[@]}"; do
    if [ "${entry%%:*}" = "$1" ]; then
      IFS=, read -r -a items <<<"${entry#*:}"
      for i in "${!items[@]}"; do
        if [ "${items[$i]}" = "$2" ]; then
          for _ in $(seq "$m"); do keys+=(Right); done
          for _ in $(seq 0 "$i"); do keys+=(Down); done
          xdotool windowfocus --sync "$wid" 2>/dev/null || true
          xdotool key --delay 60 "${keys[@]}" Return
          return 0
        fi
      done
    fi
    m=$((m + 1))
  done
  fail "no item $2 in the menu $1"
}

# What the status bar under the buttons says.
status_text() {
  windows_dump | awk -F'\t' '
    $1 == "window" { inside = ($2 == "Kasorel") }
    inside && $1 == "msctls_statusbar32" { print $2; exit }'
}

# The text area's whole text, line breaks as \r\n (escaped as win_dump writes them).
memo_text() {
  windows_dump | awk -F'\t' '
    $1 == "window" { inside = ($2 == "Kasorel") }
    inside && $1 == "edit" { print $2; exit }'
}

# Polls until the status bar says <message>.
wait_status() {
  wait_until "the status bar" "$1" status_text
}

# The main window's frame: left, top, width and height on the screen.
frame_of() { # caption
  windows_dump | awk -F'\t' -v w="$1" '$1 == "window" && $2 == w { print $3; exit }'
}

# The X windows of open top-level windows named exactly <caption>, letter case included
# (xdotool's own search ignores it, and "kasorel" is the error box, "Kasorel" the window).
windows_named() {
  local w
  for w in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true); do
    [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ] && echo "$w"
  done
  return 0
}

# Waits for a top-level window named exactly <caption> and prints its X window.
wait_window() { # caption
  local w=
  for _ in $(seq 100); do
    w=$(windows_named "$1" | head -n1)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.2
  done
  fail "no window named $1 appeared"
}

# The X clipboard's text (Wine turns CR LF into LF on the way out).
clipboard_text() {
  xclip -o -selection clipboard -t UTF8_STRING 2>/dev/null || true
}

# Puts <text> on the X clipboard as a browser would. (xclip stays to serve it, so it must
# not hold the caller's output open.)
set_clipboard() {
  printf '%s' "$1" | xclip -selection clipboard -t UTF8_STRING >/dev/null 2>&1
}

# Whether a message box captioned with the program's title is open.
box_open() {
  [ -n "$(windows_named kasorel)" ]
}

# The text of the open error box (its caption is the program's title).
box_text() {
  windows_dump | awk -F'\t' '
    $1 == "window" { inside = ($2 == "kasorel") }
    inside && $1 == "static" && $2 != "" { print $2; exit }'
}
