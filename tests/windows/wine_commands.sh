# shellcheck shell=bash
# Wine's commands, through the 64-bit loader itself. Debian's wine64 package holds only the
# loader and the server; wine, wineboot, winepath and wineserver on the PATH come from the
# wine package, which wine64 merely recommends. Sourced by every script that drives Wine.
wine64_loader=/usr/lib/wine/wine64
command -v wine64 >/dev/null && wine64_loader=$(command -v wine64)
wine() { "$wine64_loader" "$@"; }
wineboot() { "$wine64_loader" wineboot "$@"; }
winepath() { "$wine64_loader" winepath "$@"; }
wineserver() { /usr/lib/wine/wineserver64 "$@"; }
