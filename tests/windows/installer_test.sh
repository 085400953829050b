#!/usr/bin/env bash
# The Windows installer under Wine, as a user's silent install would go: it is made from the build
# tree (scripts/make-setup.sh), installed with /S into %LOCALAPPDATA%\Programs\Navelo, checked
# (files, Start-menu shortcut, the uninstall entry under HKCU), the installed Navelo.exe started
# from the shortcut and closed, which must save Navelo.INI beside itself, then uninstalled with
# /S _?= (waiting for it), which must keep Navelo.INI. A second install into a folder given with
# /D= is uninstalled with /REMOVESETTINGS, which leaves nothing of the user's.
#
# Usage: installer_test.sh MAKE_SETUP_SH BUILD_DIR VERSION
# Exit status 77 (reported "skipped") when there is no display, no Wine, no makensis or no xdotool.
set -uo pipefail

make_setup=$1
build=$2
version=$3

skip() {
  echo "skipped: $*"
  exit 77
}
[ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 || skip "no X display"
command -v wine >/dev/null || skip "Wine is not installed"
command -v makensis >/dev/null || skip "makensis (NSIS) is not installed"
command -v xdotool >/dev/null || skip "xdotool is not installed"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}

work=$(mktemp -d)
started=""
cleanup() {
  # A Navelo left running by a failure would stand in front of the next tests' windows.
  [ -n "$started" ] && timeout 30 wine taskkill /F /IM Navelo.exe >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*"
  exit 1
}
# Every call into Wine is bounded: a hung installer or program fails the test, not the run.
w() { timeout 120 wine "$@"; }
# A command line as a user types it: NSIS takes /D= and _?= only last and unquoted, spaces and
# all, which Wine's own quoting of arguments would spoil; cmd /c passes it on as it is.
typed() { w cmd /c "$1" 2>/dev/null; }
unix_path() { timeout 30 winepath -u "$1" 2>/dev/null; }
windows_path() { timeout 30 winepath -w "$1" 2>/dev/null; }
# The files a folder holds, sorted, space-separated.
listing() {
  (cd "$1" 2>/dev/null && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort | paste -sd' ')
}

key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Navelo'
# The uninstall entry as `reg export` writes it (UTF-16, whatever the code page), in UTF-8; fails
# when there is none.
entry() {
  rm -f "$work/entry.reg"
  w reg export "$key" "$(windows_path "$work")\\entry.reg" /y >/dev/null 2>&1 &&
    iconv -f UTF-16LE -t UTF-8 "$work/entry.reg" | tr -d '\r'
}
# A string value of the entry read last ("NAME"="VALUE", with \ and " escaped).
value() { sed -n "s/^\"$1\"=\"\(.*\)\"$/\1/p" <<<"$entry" | sed 's/\\\(.\)/\1/g'; }

setup=$(bash "$make_setup" "$build" "$work" 2>"$work/makensis.log") ||
  { cat "$work/makensis.log"; fail "the installer could not be made"; }
[ "$(basename "$setup")" = "Navelo-$version-setup.exe" ] || fail "installer named $setup"
echo "made $(basename "$setup") ($(($(stat -c %s "$setup") / 1024)) KiB)"

local_app_data=$(w cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
app_data=$(w cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')
[ -n "$local_app_data" ] && [ -n "$app_data" ] || skip "Wine does not start programs"
default_dir=$(unix_path "$local_app_data\\Programs\\Navelo")
shortcut=$(unix_path "$app_data\\Microsoft\\Windows\\Start Menu\\Programs\\Navelo.lnk")
user_settings=$(unix_path "$app_data\\Navelo\\Navelo.INI")
# What an earlier run that failed half-way may have left in this (the test suite's own) prefix.
rm -rf "$default_dir" "$shortcut"
w reg delete "$key" /f >/dev/null 2>&1
user_settings_before=$(stat -c %Y "$user_settings" 2>/dev/null)

# Installs silently (with the installer's further arguments) and checks what is there.
install() {
  local dir=$1 rc
  typed "$(windows_path "$setup") /S ${2:-}" >/dev/null
  rc=$?
  [ $rc -eq 0 ] || fail "the installer ended with $rc"
  [ "$(listing "$dir")" = "Navelo.exe Readme.txt Uninstall.exe" ] ||
    fail "installed into $dir: $(listing "$dir")"
  cmp -s "$dir/Readme.txt" "$build/navelo/Readme.txt" || fail "Readme.txt differs"
  [ -s "$shortcut" ] || fail "no Start-menu shortcut at $shortcut"
  entry=$(entry) || fail "no uninstall entry $key"
  [ "$(value DisplayName)" = Navelo ] || fail "DisplayName is '$(value DisplayName)'"
  [ "$(value DisplayVersion)" = "$version" ] || fail "DisplayVersion is '$(value DisplayVersion)'"
  [ -n "$(value Publisher)" ] || fail "no Publisher in the uninstall entry"
  local windir
  windir=$(windows_path "$dir")
  [ "$(value InstallLocation)" = "$windir" ] ||
    fail "InstallLocation is '$(value InstallLocation)', not '$windir'"
  [ "$(value UninstallString)" = "\"$windir\\Uninstall.exe\"" ] ||
    fail "UninstallString is '$(value UninstallString)'"
  echo "installed into $windir"
}

# Uninstalls silently, in place (_?= makes the uninstaller run from the folder and be waited for,
# and so stay behind itself), and checks what is left.
uninstall() {
  local dir=$1 left=$2 rc
  (cd "$dir" && typed "Uninstall.exe /S ${3:-} _?=$(windows_path "$dir")") >/dev/null
  rc=$?
  [ $rc -eq 0 ] || fail "the uninstaller ended with $rc"
  [ "$(listing "$dir")" = "$left" ] || fail "left in $dir: '$(listing "$dir")', not '$left'"
  [ ! -e "$shortcut" ] || fail "the Start-menu shortcut is still there"
  entry >/dev/null && fail "the uninstall entry is still there"
  echo "uninstalled, left: $left"
}

# 1. The default folder; Navelo started from the shortcut keeps its settings beside itself.
install "$default_dir"
started=yes
w start /unix "$shortcut" >/dev/null 2>&1 || fail "the shortcut does not start"
panel_shown() { timeout 10 xdotool search --name '^Navelo$' >/dev/null 2>&1; }
for _ in $(seq 150); do panel_shown && break; sleep 0.1; done
panel_shown || fail "the installed Navelo showed no panel"
echo "the installed Navelo is up"
# Closed as from its title bar (taskkill without /F sends WM_CLOSE), it saves and ends.
w taskkill /IM Navelo.exe >/dev/null 2>&1
for _ in $(seq 150); do panel_shown || break; sleep 0.1; done
panel_shown && fail "the installed Navelo did not end when closed"
grep -q 'VERSION=' "$default_dir/Navelo.INI" 2>/dev/null ||
  fail "nothing saved beside the installed Navelo.exe"
[ "$(stat -c %Y "$user_settings" 2>/dev/null)" = "$user_settings_before" ] ||
  fail "the installed Navelo saved to $user_settings"
echo "the installed Navelo saved beside itself"
uninstall "$default_dir" "Navelo.INI Uninstall.exe"
rm -rf "$default_dir"

# 2. A folder of the user's choosing (with a space and Japanese in its name), holding settings; the
# user asks for them to go too.
mkdir "$work/apps"
chosen="$work/apps/ナベロ テスト"
install "$chosen" "/D=$(windows_path "$work/apps")\\ナベロ テスト"
printf '[General]\r\nVERSION=1.2\r\n' >"$chosen/Navelo.INI"
uninstall "$chosen" "Uninstall.exe" /REMOVESETTINGS
echo "passed"
