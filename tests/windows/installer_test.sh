#!/usr/bin/env bash
# The Windows installer, made from the build tree, installed silently under Wine (files, Start-menu
# shortcut, uninstall entry); Navelo.exe started from the shortcut and closed must save beside
# itself; the silent uninstall keeps Navelo.INI, and with /REMOVESETTINGS (after an install into a
# folder given with /D=) leaves nothing of the user's.
# Usage: installer_test.sh MAKE_SETUP_SH BUILD_DIR VERSION
# Exit status 77 (reported "skipped") when there is no display, no Wine, no makensis or no xdotool.
set -uo pipefail

make_setup=$1 build=$2 version=$3
skip() { echo "skipped: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }
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
  local dir=$1 windir want
  typed "$(windows_path "$setup") /S ${2:-}" >/dev/null || fail "the installer ended with $?"
  [ "$(listing "$dir")" = "Navelo.exe Readme.txt Uninstall.exe" ] ||
    fail "installed into $dir: $(listing "$dir")"
  [ -s "$shortcut" ] || fail "no Start-menu shortcut at $shortcut"
  entry=$(entry) || fail "no uninstall entry $key"
  windir=$(windows_path "$dir")
  for want in DisplayName=Navelo DisplayVersion="$version" "Publisher=Navelo developers" \
    InstallLocation="$windir" UninstallString="\"$windir\\Uninstall.exe\""; do
    [ "$(value "${want%%=*}")" = "${want#*=}" ] ||
      fail "uninstall entry: $(value "${want%%=*}"), not $want"
  done
  echo "installed into $windir"
}

# Uninstalls silently, in place (_?= makes the uninstaller run from the folder and be waited for,
# and so stay behind itself), and checks what is left.
uninstall() {
  local dir=$1 left=$2
  (cd "$dir" && typed "Uninstall.exe /S ${3:-} _?=$(windows_path "$dir")") >/dev/null ||
    fail "the uninstaller ended with $?"
  [ "$(listing "$dir")" = "$left" ] || fail "left in $dir: '$(listing "$dir")', not '$left'"
  [ ! -e "$shortcut" ] || fail "the Start-menu shortcut is still there"
  entry >/dev/null && fail "the uninstall entry is still there"
  echo "uninstalled, left: $left"
}

# 1. The default folder; Navelo started from the shortcut keeps its settings beside itself.
install "$default_dir"
started=yes
w start /unix "$shortcut" >/dev/null 2>&1 || fail "the shortcut does not start"
panel() { timeout 10 xdotool search --name '^Navelo$' 2>/dev/null; }
wait_for() { for _ in $(seq 150); do eval "$1" && return 0; sleep 0.1; done; return 1; }  # 15 s
wait_for '[ -n "$(panel)" ]' || fail "the installed Navelo showed no panel"
# Closed as from its title bar (taskkill without /F sends WM_CLOSE), it saves and ends.
w taskkill /IM Navelo.exe >/dev/null 2>&1
wait_for '[ -z "$(panel)" ]' || fail "the installed Navelo did not end when closed"
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
