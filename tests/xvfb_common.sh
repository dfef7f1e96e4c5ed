# shellcheck shell=bash
# Start-up shared by the scripts that drive the real program on a virtual X server; they
# source this file first.

# Runs the calling script again inside xvfb-run with the given server arguments, once:
#   xvfb_reexec "<server arguments>" "$0" "$@"
# Inside the server (KASOREL_IN_XVFB=1) it returns and the script goes on.
xvfb_reexec() {
  local server=$1
  shift
  if [ "${KASOREL_IN_XVFB:-}" != 1 ]; then
    exec env KASOREL_IN_XVFB=1 xvfb-run -a -s "$server" "$@"
  fi
}

# Copies the program to $work/kasorel in a fresh scratch folder $work, so its settings file
# lands there and not in the build tree. The script keeps the started program's process id
# in $pid (empty once it has ended); on exit a program still running is ended and the folder
# removed.
#   xvfb_scratch_copy <kasorel executable>
xvfb_scratch_copy() {
  work=$(mktemp -d)
  pid=
  trap xvfb_cleanup EXIT
  cp "$1" "$work/kasorel"
}

xvfb_cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
