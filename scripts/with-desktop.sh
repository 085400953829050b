#!/usr/bin/env bash
# Runs a command on an X desktop: the current one when DISPLAY works, otherwise a private virtual
# display (Xvfb) with the openbox window manager, stopped again when the command ends.
set -euo pipefail
# What runs here is an X11 client of this display; a Wayland session around it is not its own.
unset WAYLAND_DISPLAY

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi

# Xvfb picks a free display number itself and writes it once it accepts connections, so two
# desktops started at the same time cannot take the same number.
numfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -f "$numfile"
}
trap cleanup EXIT
# On a busy machine starting takes seconds; wait up to 60 s for each step.
for _ in $(seq 600); do
  [ -s "$numfile" ] && break
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.1
done
[ -s "$numfile" ] || { echo "with-desktop.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$numfile")"

# Wait until the window manager has claimed the screen (it sets _NET_SUPPORTING_WM_CHECK); start
# it again should it end before.
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
for _ in 1 2 3; do
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  for _ in $(seq 600); do
    wm_ready && break
    kill -0 "$wm" 2>/dev/null || break
    sleep 0.1
  done
  wm_ready && break
done
wm_ready || { echo "with-desktop.sh: openbox did not start on $DISPLAY" >&2; exit 1; }
set +e
"$@"
rc=$?
exit $rc
