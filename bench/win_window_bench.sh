#!/usr/bin/env bash
# Runs win_window_bench.exe under Wine on a virtual X server, in a fresh Wine prefix with the
# window manager and the Japanese faces the window tests use.
#   win_window_bench.sh <win_window_bench.exe> [lines] [runs]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../tests/xvfb_common.sh"
. "$here/../tests/windows/wine_common.sh"

exe=$(realpath "${1:?usage: win_window_bench.sh <win_window_bench.exe> [lines] [runs]}")
shift
xvfb_reexec "-screen 0 1920x1080x24 -noreset" "$0" "$exe" "$@"
fail() { echo "win_window_bench: $*" >&2; exit 1; }

wine_setup
wine "$(winepath -w "$exe")" "$@"
