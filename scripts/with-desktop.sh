#!/usr/bin/env bash
# Runs a command on an X desktop: the current one when DISPLAY works, otherwise a private virtual
# display (Xvfb) with the openbox window manager, stopped again when the command ends.
set -euo pipefail
# What runs here is an X11 client of this display; a Wayland session around it is not its own.
unset WAYLAND_DISPLAY

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi

num=$(( 90 + RANDOM % 400 ))
while [ -e "/tmp/.X${num}-lock" ] || [ -e "/tmp/.X11-unix/X${num}" ]; do num=$(( num + 1 )); done
export DISPLAY=":${num}"
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
# Wait until the window manager has claimed the screen (it sets _NET_SUPPORTING_WM_CHECK).
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done
set +e
"$@"
rc=$?
exit $rc
