#!/usr/bin/env bash
# End to end under Wine: the real Navelo.exe, in a folder of its own with settings of the oldest
# format, and the betting pages' stand-ins (ipat_pages.exe). Everything is done through the X
# display, as a user would with the mouse: bring a page forward by clicking it, click the shrunk
# panel's caption, key an amount on the pad, click a send button; then every field of the page
# is checked, and the bystander window must have received nothing. Last, Navelo.exe is started
# again, through another path to its folder, while a page is in front of the running panel.
#
# Usage: navelo_exe_e2e.sh NAVELO_EXE IPAT_PAGES_EXE
# NAVELO_E2E_RUNS sets the number of rounds (3); NAVELO_E2E_IDS="ID|PASSWORD|PARS" the identifiers
# (UTF-8; stored in code page 932). With NAVELO_E2E_TIMES=FILE the script records one tab-separated
# line per send instead of stopping at the first wrong one, for the benchmark:
#   <inquiry|vote> <ms from the click to the last change of the page> <the page's fields, |-joined>
# Exit status 77 (reported "skipped") when there is no display, no Wine or no xdotool.
set -uo pipefail

navelo_exe=$1
pages_exe=$2
runs=${NAVELO_E2E_RUNS:-3}
times=${NAVELO_E2E_TIMES:-}
# Plain identifiers with the characters that mean something to other typing tools, and Japanese.
ids='12345678|p+^%~(){}[]n|43競馬21'
IFS='|' read -r id password pars <<<"${NAVELO_E2E_IDS:-$ids}"

skip() {
  echo "skipped: $*"
  exit 77
}
[ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 || skip "no X display"
command -v wine >/dev/null || skip "Wine is not installed"
command -v xdotool >/dev/null || skip "xdotool is not installed"
command -v xwininfo >/dev/null || skip "xwininfo is not installed"
command -v xprop >/dev/null || skip "xprop is not installed"
command -v iconv >/dev/null || skip "iconv is not installed"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}

dir=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  # Never wait for ever on a program that does not end: a second later it is killed outright.
  for pid in "${pids[@]}"; do
    for ((i = 0; i < 50 && $(kill -0 "$pid" 2>/dev/null && echo 1 || echo 0); i++)); do sleep 0.02; done
    kill -9 "$pid" 2>/dev/null
  done
  rm -rf "$dir"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*"
  for f in "$dir"/pages/*.txt; do echo "--- $(basename "$f")"; cat "$f"; done
  [ -f "$dir/navelo.log" ] && { echo "--- Navelo's output"; cat "$dir/navelo.log"; }
  exit 1
}

# Polls (every 20 ms, up to 10 s by default) until a condition, evaluated afresh each time, holds.
wait_for() {
  local tries=${WAIT_TRIES:-500}
  for ((i = 0; i < tries; i++)); do
    eval "$1" && return 0
    sleep 0.02
  done
  return 1
}

window_titled() {  # the first window whose title begins so
  timeout 10 xdotool search --name "^$1" 2>/dev/null | head -n1
}
height() { timeout 10 xdotool getwindowgeometry "$1" 2>/dev/null | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p'; }
position() {  # the client area's top-left corner on the screen
  timeout 10 xwininfo -id "$1" 2>/dev/null | sed -n 's/.*Absolute upper-left [XY]: *\(-*[0-9]*\)/\1/p' | paste -sd' '
}
now_us() { date +%s%6N; }

# Clicks a point of a window's client area.
click() {
  local pos
  read -r -a pos <<<"$(position "$1")"
  timeout 10 xdotool mousemove $((pos[0] + $2)) $((pos[1] + $3)) click 1
}

# The prepared folder: plain identifiers in the oldest format (no VERSION), in code page 932. The
# panel is not kept above the other windows, so that a page can come in front of it.
mkdir -p "$dir/navelo" "$dir/pages"
cp "$navelo_exe" "$dir/navelo/Navelo.exe"
printf '[General]\r\nZenmen=0\r\nFormLeft=0\r\nFormTop=0\r\n[Data]\r\nPatID=%s\r\nPassword=%s\r\nPars=%s\r\n' \
  "$id" "$password" "$pars" |
  iconv -f UTF-8 -t CP932 >"$dir/navelo/Navelo.INI" || fail "cannot write the settings"

pages_dir=$(timeout 60 winepath -w "$dir/pages" 2>/dev/null) || skip "winepath does not run"
wine "$pages_exe" "$pages_dir" >"$dir/pages.log" 2>&1 &
pids+=($!)
wait_for 'test -n "$(window_titled IPAT照会ログイン)"' || fail "the test pages did not appear"
echo "the test pages are up"
inquiry=$(window_titled 'IPAT照会ログイン')
vote=$(window_titled 'IPAT合計金額入力')
bystander=$(window_titled 'Notes - Test Page')

(cd "$dir/navelo" && exec wine Navelo.exe) >"$dir/navelo.log" 2>&1 &
pids+=($!)
wait_for 'test -n "$(window_titled Navelo\$)"' || fail "the panel did not appear"
panel=$(window_titled 'Navelo$')
wait_for 'test "$(height "$panel")" -gt 200' || fail "the panel is not at full height"
full=$(height "$panel")
echo "the panel is up, $full pixels high"

fields() { tail -n +2 "$dir/pages/$1.txt" 2>/dev/null | paste -sd'|'; }
changed_at() { head -n1 "$dir/pages/$1.txt" 2>/dev/null; }

# Brings a page forward, empty with its first field focused, by clicking its Clear button; then
# gives the bystander the focus, and comes back to the panel by its caption, as a user would.
page_then_panel() {
  local page=$1 name=$2
  # Under Wine a click now and then does not make its window the foreground one (Wine's own
  # foreground follows the X focus loosely); a person would click again, and so does this.
  local attempt
  for ((attempt = 0; attempt < 5; attempt++)); do
    click "$page" 40 20
    WAIT_TRIES=250 wait_for 'test "$(height "$panel")" -lt 60' && break
  done
  wait_for 'test -z "$(fields "$name" | tr -d "|")"' || fail "$name was not cleared"
  wait_for 'test "$(height "$panel")" -lt 60' ||
    fail "the panel did not shrink for $name (in front: $(timeout 5 xdotool getactivewindow getwindowname 2>&1))"
  click "$bystander" 200 60
  click "$panel" 25 -10
  wait_for 'test "$(height "$panel")" = "$full"' || fail "the panel did not come back"
  sleep 0.3  # a person needs a moment to aim at a button
}

# Clicks a point of the panel's client area, below its menu bar, like the Linux end-to-end test.
panel_click() { click "$panel" "$1" $((full - 241 + $2)); }

# Sends with a button and checks the page; a line for the benchmark when it records.
send() {
  local kind=$1 name=$2 x=$3 y=$4 want=$5 pos start got
  read -r -a pos <<<"$(position "$panel")"
  timeout 10 xdotool mousemove $((pos[0] + x)) $((pos[1] + full - 241 + y))
  start=$(now_us)
  timeout 10 xdotool click 1
  WAIT_TRIES=100 wait_for 'test "$(fields "$name")" = "$want"'
  # A stray key would still land: look again a moment later.
  sleep 0.2
  got=$(fields "$name")
  if [ -n "$times" ]; then
    printf '%s\t%s\t%s\n' "$kind" $((($(changed_at "$name") - start) / 1000)) "$got" >>"$times"
  elif [ "$got" != "$want" ]; then
    fail "$kind: $name shows '$got', not '$want'"
  fi
}

for ((run = 0; run < runs; run++)); do
  echo "round $((run + 1))"
  page_then_panel "$inquiry" inquiry
  send inquiry inquiry 41 177 "$id|$password|$pars"
  page_then_panel "$vote" vote
  panel_click 64 62  # ３
  panel_click 16 86  # 0
  send vote vote 41 153 "$id|$password|$pars|3000"
  [ "$(fields bystander)" = "" ] || fail "the bystander received '$(fields bystander)'"
done
if [ -n "$times" ]; then
  echo "measured: $runs rounds of inquiry and vote"
  exit 0
fi
echo "passed: $runs rounds of inquiry and vote"

# The second start ends at once, and the running panel is raised above the page (which Wine's
# window manager leaves the keyboard focus: see the README).
above() {  # whether window $1 is stacked above window $2
  xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g' | tr ' ' '\n' |
    awk -v a="$(printf '0x%x' "$1")" -v b="$(printf '0x%x' "$2")" \
      '$1 == a { ia = NR } $1 == b { ib = NR } END { exit !(ia > ib) }'
}
click "$inquiry" 40 20
wait_for 'above "$inquiry" "$panel"' || fail "the page did not come in front of the panel"
ln -s "$dir/navelo" "$dir/same-folder"
(cd "$dir/same-folder" && timeout 60 wine Navelo.exe) >"$dir/second.log" 2>&1 &&
  grep -q 'in use by another Navelo' "$dir/second.log" || fail "the second start ran: $(cat "$dir/second.log")"
wait_for 'above "$panel" "$inquiry"' || fail "the running panel was not brought forward"
echo "passed: a second start brought the running panel forward"
