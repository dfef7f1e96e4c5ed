# shellcheck shell=bash
# Start-up and helpers shared by the scripts that drive the real program on a virtual X
# server and read it through AT-SPI; they source this file first.

tests_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Runs the calling script again inside xvfb-run with the given server arguments, and there
# inside a session bus of its own, once:
#   xvfb_reexec "<server arguments>" "$0" "$@"
# Inside (KASOREL_IN_XVFB=1) it returns and the script goes on, with the accessibility bus
# started so that AT-SPI can read the window, and the program told to serve it.
xvfb_reexec() {
  local server=$1
  shift
  if [ "${KASOREL_IN_XVFB:-}" != 1 ]; then
    # xvfb-run -a takes the first display without a lock file, so two scripts that ctest
    # starts at once would both take it; each script looks from a number of its own.
    local first=$(($(basename "$1" | cksum | cut -d' ' -f1) % 500 + 100))
    exec env KASOREL_IN_XVFB=1 xvfb-run -a -n "$first" -s "$server" dbus-run-session -- "$@"
  fi
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
  # Nobody else may answer for the rate service: requests go to rates_proxy.py or nowhere.
  unset https_proxy HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
  export http_proxy=http://127.0.0.1:9/
}

# Copies the program to $work/kasorel in a fresh scratch folder $work, so its settings file
# lands there and not in the build tree. The script keeps the started program's process id
# in $pid (empty once it has ended); on exit a program still running is ended and the folder
# removed.
#   xvfb_scratch_copy <kasorel executable>
xvfb_scratch_copy() {
  work=$(mktemp -d)
  pid=
  proxy_pid=
  trap xvfb_cleanup EXIT
  cp "$1" "$work/kasorel"
}

xvfb_cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  [ -n "$proxy_pid" ] && kill "$proxy_pid" 2>/dev/null || true
  rm -rf "$work"
}

# Starts the stand-in rate service, answering after <delay> seconds, as the HTTP proxy of
# programs started afterwards; the targets it was asked for are in $work/requests.
#   start_rates_proxy <delay>
start_rates_proxy() {
  /usr/bin/python3 "$tests_dir/rates_proxy.py" "$work/proxy-port" "$work/requests" "$1" &
  proxy_pid=$!
  for _ in $(seq 50); do
    [ -f "$work/proxy-port" ] && break
    sleep 0.1
  done
  export http_proxy="http://127.0.0.1:$(cat "$work/proxy-port")/"
}

# The program's window as a screen reader sees it: one line per object (atspi_dump.py).
atspi() {
  /usr/bin/python3 "$tests_dir/atspi_dump.py" kasorel "$@"
}

# Waits until the program's window is on the accessibility bus.
wait_atspi() {
  for _ in $(seq 100); do
    atspi 2>/dev/null | grep -q $'^frame\tKasorel\t' && return 0
    sleep 0.2
  done
  fail "the window never appeared on the accessibility bus"
}

# The field <n> (1 role, 2 name, 3 box, 4 flags, 5 text) of the first object with the given
# role and name.
atspi_field() { # role name n
  atspi | awk -F'\t' -v r="$1" -v n="$2" -v f="$3" '$1 == r && $2 == n { print $f; exit }'
}

# Clicks the middle of the object with the given role and name, as a person would.
click_object() { # role name [button]
  local box
  box=$(atspi_field "$1" "$2" 3)
  [ -n "$box" ] || fail "no $1 named $2 on the screen"
  set -- "$1" "$2" "${3:-1}" $box
  [ "$6" -gt 0 ] || fail "$1 $2 is not shown"
  xdotool mousemove $(($4 + $6 / 2)) $(($5 + $7 / 2)) click "$3"
}

# Opens a menu of the menu bar and picks one of its items.
pick_menu() { # menu item
  click_object "menu item" "$1"
  for _ in $(seq 25); do
    local box
    box=$(atspi_field "menu item" "$2" 3)
    [ -n "$box" ] && [ "${box##* }" != 0 ] && [ "$(echo "$box" | cut -d' ' -f2)" != 0 ] && break
    sleep 0.2
  done
  click_object "menu item" "$2"
}

# What the status line under the buttons says.
status_text() {
  atspi | awk -F'\t' '$1 == "label" { print $2; exit }'
}

# Polls for up to 20 s until the process <pid> has ended; false while it still runs then.
process_ended() { # pid
  for _ in $(seq 100); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.2
  done
  return 1
}

# Collects the ended program $pid and fails unless it ended with exit status 0.
expect_exit_zero() {
  local rc=0
  wait "$pid" || rc=$?
  pid=
  [ "$rc" -eq 0 ] || fail "exit status $rc"
}

# Polls for up to 20 s until <command> prints <want>; the limit only keeps a broken build
# from hanging the suite.
wait_until() { # what want command...
  local what=$1 want=$2 got=
  shift 2
  for _ in $(seq 100); do
    got=$("$@")
    [ "$got" = "$want" ] && return 0
    sleep 0.2
  done
  fail "$what is '$got', expected '$want'"
}

# Polls until the status line says <message>.
wait_status() {
  wait_until "the status line" "$1" status_text
}

# The text area's whole text, line breaks as \n.
memo_text() {
  atspi_field text 明細テキスト 5
}

# Whether an error box (or any other dialog) is open.
dialog_open() {
  atspi | grep -qE $'^(dialog|alert)\t'
}
