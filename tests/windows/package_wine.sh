#!/usr/bin/env bash
# The two Windows release files as a user meets them, under Wine on a virtual X server:
#   - the zip holds kasorel.exe, guide.html and LICENSE, and nothing else; unzipped into a
#     folder of the user's, the program starts there and keeps kasorel.ini beside itself;
#   - the installer, run silently (/S) without administrator rights, installs into
#     %LOCALAPPDATA%\Programs\Kasorel with a Start-menu entry and an entry in the list of
#     apps; the installed program starts and keeps its settings; installing again over it
#     keeps them;
#   - the uninstaller, run as the list of apps runs it (QuietUninstallString), removes the
#     program, its entry and its shortcut, and keeps the settings.
#   package_wine.sh <kasorel-VERSION-win64.zip> <kasorel-VERSION-setup.exe>
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../xvfb_common.sh"
. "$here/wine_common.sh"

zip=${1:?usage: package_wine.sh <zip> <setup.exe>}
setup=${2:?usage: package_wine.sh <zip> <setup.exe>}
zip=$(realpath "$zip") setup=$(realpath "$setup")
xvfb_reexec "-screen 0 1280x1024x24 -noreset" "$0" "$@"

fail() {
  echo "package_wine: $*" >&2
  exit 1
}

version=$(sed -n 's/^project(kasorel VERSION \([0-9.]*\).*/\1/p' "$here/../../CMakeLists.txt")
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kasorel'

# The zip, before anything runs: its three files, the guide configured for this version.
[ "$(unzip -Z1 "$zip" | sort | tr '\n' ' ')" = "LICENSE guide.html kasorel.exe " ] ||
  fail "the zip holds: $(unzip -Z1 "$zip" | tr '\n' ' ')"
unzip -p "$zip" LICENSE | cmp -s - "$here/../../LICENSE" || fail "the zip's LICENSE is not the licence"
unzip -p "$zip" guide.html | grep -q '@[A-Z_]*@' && fail "the zip's guide.html is not configured"
unzip -p "$zip" guide.html | grep -q "$version" || fail "the zip's guide.html does not name $version"
[ "$(unzip -p "$zip" kasorel.exe | head -c 2)" = MZ ] || fail "the zip's kasorel.exe is no program"

wine_setup

# A value of the uninstall entry, or nothing when the entry or the value is missing.
reg_value() { # name
  wine reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' |
    awk -v n="$1" '$1 == n { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}

# The unzipped copy: it starts, and its settings land beside it.
windows_dir() { winepath -u "$(wine cmd /c echo "%$1%" | tr -d '\r')"; }
portable=$(windows_dir USERPROFILE)/Downloads/kasorel-$version
mkdir -p "$portable"
(cd "$portable" && unzip -q "$zip") || fail "the zip does not unpack"
wine_start "$portable/kasorel.exe" Kasorel
wine_stop
[ -f "$portable/kasorel.ini" ] || fail "the unzipped program kept no kasorel.ini beside itself"
tr -d '\r' <"$portable/kasorel.ini" | grep -q '^MainForm_left=' || fail "the unzipped program kept no position"

# The installer, silently, as the user.
dir=$(windows_dir LOCALAPPDATA)/Programs/Kasorel
shortcut="$(windows_dir APPDATA)/Microsoft/Windows/Start Menu/Programs/Kasorel.lnk"
wine "$(winepath -w "$setup")" /S || fail "the installer failed"
for f in kasorel.exe guide.html LICENSE uninstall.exe; do
  [ -f "$dir/$f" ] || fail "the installer did not install $f into $dir"
done
for f in kasorel.exe guide.html LICENSE; do
  unzip -p "$zip" "$f" | cmp -s - "$dir/$f" || fail "the installed $f is not the zip's"
done
[ -f "$shortcut" ] || fail "no Start-menu entry"
[ "$(reg_value DisplayName)" = Kasorel ] || fail "the list of apps shows '$(reg_value DisplayName)'"
[ "$(reg_value DisplayVersion)" = "$version" ] || fail "DisplayVersion is '$(reg_value DisplayVersion)'"
[ -n "$(reg_value Publisher)" ] || fail "no Publisher"
[ "$(reg_value InstallLocation)" = "$(winepath -w "$dir")" ] ||
  fail "InstallLocation is '$(reg_value InstallLocation)'"
[ "$(reg_value NoModify)" = 0x1 ] && [ "$(reg_value NoRepair)" = 0x1 ] || fail "the entry offers to modify or repair"
[ -n "$(reg_value EstimatedSize)" ] && [ -n "$(reg_value DisplayIcon)" ] || fail "no size or icon"
quiet=$(reg_value QuietUninstallString)
[ "$quiet" = "\"$(winepath -w "$dir")\\uninstall.exe\" /S" ] || fail "QuietUninstallString is '$quiet'"

# The installed program starts, and keeps its settings in its folder, which the user owns.
wine_start "$dir/kasorel.exe" Kasorel
xdotool windowmove "$wid" 200 150
sleep 0.5
wine_stop
[ -f "$dir/kasorel.ini" ] || fail "the installed program kept no settings"
cp "$dir/kasorel.ini" "$work/settings"

# Installing again (an upgrade) keeps the settings byte for byte.
wine "$(winepath -w "$setup")" /S || fail "installing again failed"
cmp -s "$dir/kasorel.ini" "$work/settings" || fail "installing again changed the settings"
[ -f "$dir/kasorel.exe" ] || fail "installing again lost the program"

# Uninstalling as the list of apps does (the command checked above). The uninstaller runs
# on from a copy of itself, so its work is done when it is gone.
wine "$(winepath -w "$dir/uninstall.exe")" /S || fail "the uninstaller failed"
for _ in $(seq 100); do
  [ ! -e "$dir/uninstall.exe" ] && [ -z "$(reg_value DisplayName)" ] && break
  sleep 0.2
done
for f in kasorel.exe guide.html LICENSE uninstall.exe; do
  [ ! -e "$dir/$f" ] || fail "the uninstaller left $f"
done
[ ! -e "$shortcut" ] || fail "the uninstaller left the Start-menu entry"
[ -z "$(reg_value DisplayName)" ] || fail "the uninstaller left the entry in the list of apps"
cmp -s "$dir/kasorel.ini" "$work/settings" || fail "the uninstaller did not keep the settings"
[ "$(ls "$dir")" = kasorel.ini ] || fail "the uninstaller left: $(ls "$dir")"

echo "package_wine: 1 passed, 0 failed"
