#!/usr/bin/env bash
# Under Wine, the starts of the real Navelo.exe:
# - with a settings file it must leave as it is: a FIFO, a link to a device and a file over 64 MiB
#   are reported at start, in a message box before the panel; a read-only file is read. Closing
#   the panel then says the settings could not be saved, and the program ends; the file is as it
#   was;
# - a second start, through another path to the same folder (a link to it), while a page of
#   ipat_pages.exe is in front: it ends at once, and the running panel is raised above the page.
#
# Usage: start_e2e.sh NAVELO_EXE IPAT_PAGES_EXE
# Exit status 77 (reported "skipped") when there is no display, no Wine or no xdotool.
set -uo pipefail

navelo_exe=$1
pages_exe=$2

skip() {
  echo "skipped: $*"
  exit 77
}
[ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 || skip "no X display"
command -v wine >/dev/null || skip "Wine is not installed"
command -v xdotool >/dev/null || skip "xdotool is not installed"
command -v xprop >/dev/null || skip "xprop is not installed"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}

dir=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  chmod -R u+w "$dir" 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*"
  [ -f "$dir/navelo.log" ] && { echo "--- Navelo's output"; cat "$dir/navelo.log"; }
  exit 1
}

# Polls (every 20 ms, up to 10 s) until a condition, evaluated afresh each time, holds.
wait_for() {
  for ((i = 0; i < 500; i++)); do
    eval "$1" && return 0
    sleep 0.02
  done
  return 1
}

# Navelo's shown windows: the panel is 80 pixels wide, a message box wider.
shown() { timeout 10 xdotool search --onlyvisible --name '^Navelo$' 2>/dev/null; }
width() { timeout 10 xdotool getwindowgeometry "$1" 2>/dev/null | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p'; }
message() {
  local w
  for w in $(shown); do [ "$(width "$w")" -gt 150 ] && echo "$w" && return; done
}
panel() {
  local w
  for w in $(shown); do [ "$(width "$w")" -le 150 ] && echo "$w" && return; done
}
answer() {  # presses Enter in the message box shown
  local box
  box=$(message)
  timeout 10 xdotool windowactivate --sync "$box" key Return
  wait_for '[ "$(message)" != "$box" ]'
}
# Starts Navelo.exe in $dir/$1; $navelo is its process.
start() {
  (cd "$dir/$1" && exec wine Navelo.exe) >"$dir/navelo.log" 2>&1 &
  navelo=$!
  pids+=("$navelo")
}
fresh() {
  rm -rf "$dir/navelo"
  mkdir -p "$dir/navelo"
  cp "$navelo_exe" "$dir/navelo/Navelo.exe"
}
close_panel() {
  timeout 10 xdotool windowactivate --sync "$(panel)" key alt+F4
}
ended() {
  wait_for '! kill -0 "$navelo" 2>/dev/null' || return 1
  wait "$navelo"
}

# What the file is, to compare before and after: its kind, mode, size and content's checksum.
state() { stat -c '%F %a %s' "$1"; [ -f "$1" ] && [ -r "$1" ] && head -c 4096 "$1" | md5sum; }

settings='[General]\r\nZenmen=1\r\n'
cases=(
  # name          told at start   how the settings file is made
  "FIFO           yes             mkfifo Navelo.INI"
  "device         yes             ln -s /dev/zero Navelo.INI"
  "over-64-MiB    yes             printf '$settings' >Navelo.INI && truncate -s 65M Navelo.INI"
  "read-only      no              printf '$settings' >Navelo.INI && chmod a-w Navelo.INI"
)
for c in "${cases[@]}"; do
  read -r name told make <<<"$c"
  echo "case $name"
  fresh
  (cd "$dir/navelo" && eval "$make") || fail "$name: cannot make the settings file"
  before=$(state "$dir/navelo/Navelo.INI")
  start navelo
  wait_for '[ -n "$(message)$(panel)" ]' || fail "$name: nothing appeared"
  if [ "$told" = yes ]; then
    [ -n "$(message)" ] && [ -z "$(panel)" ] || fail "$name: no message before the panel"
    answer
  fi
  wait_for '[ -n "$(panel)" ]' || fail "$name: the panel did not appear"
  [ -z "$(message)" ] || fail "$name: an unexpected message at start"
  close_panel
  wait_for '[ -n "$(message)" ]' || fail "$name: closing did not say the settings were not saved"
  answer
  ended || fail "$name: Navelo did not end"
  [ "$(state "$dir/navelo/Navelo.INI")" = "$before" ] || fail "$name: the settings file changed"
  [ "$(ls "$dir/navelo")" = "$(printf 'Navelo.INI\nNavelo.exe')" ] || fail "$name: files were left"
done
echo "passed: ${#cases[@]} settings files left as they were"

# The second start.
above() {  # whether window $1 is stacked above window $2
  xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g' | tr ' ' '\n' |
    awk -v a="$(printf '0x%x' "$1")" -v b="$(printf '0x%x' "$2")" \
      '$1 == a { ia = NR } $1 == b { ib = NR } END { exit !(ia > ib) }'
}
fresh
start navelo
first=$navelo
wait_for '[ -n "$(panel)" ]' || fail "the panel did not appear"
running=$(panel)
mkdir -p "$dir/pages"
pages_dir=$(timeout 60 winepath -w "$dir/pages" 2>/dev/null) || skip "winepath does not run"
wine "$pages_exe" "$pages_dir" >/dev/null 2>&1 &
pids+=($!)
page() { timeout 10 xdotool search --name '^IPAT照会ログイン' 2>/dev/null | head -n1; }
wait_for '[ -n "$(page)" ]' || fail "the test page did not appear"
inquiry=$(page)
# Clicked, as a user would bring it forward.
eval "$(timeout 10 xdotool getwindowgeometry --shell "$inquiry")"
timeout 10 xdotool mousemove $((X + 40)) $((Y + 20)) click 1
wait_for 'above "$inquiry" "$running"' || fail "the page did not come in front of the panel"
ln -s "$dir/navelo" "$dir/same-folder"
start same-folder
ended || fail "the second start did not end"
grep -q 'in use by another Navelo' "$dir/navelo.log" || fail "the second start ran"
wait_for 'above "$running" "$inquiry"' || fail "the running panel was not brought forward"
[ "$(panel)" = "$running" ] && [ "$(shown | wc -l)" = 1 ] || fail "a second window appeared"
navelo=$first
close_panel
ended || fail "the running Navelo did not end"
echo "passed: a second start brought the running panel forward"
