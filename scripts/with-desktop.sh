#!/usr/bin/env bash
# Runs a command on an X desktop: the current one when DISPLAY works, otherwise a private virtual
# display (Xvfb) with a window manager, stopped again when the command ends. The window manager is
# openbox, or xfwm4 when NAVELO_WM=xfwm4 (a window manager that draws only the title-bar buttons a
# window's Motif hints allow; openbox always keeps iconify and close). A desktop that cannot be had
# because Xvfb or xfwm4 is missing ends with 77, which the desktop tests report as skipped.
set -euo pipefail
wm_name=${NAVELO_WM:-openbox}
if ! command -v Xvfb >/dev/null; then
  echo "with-desktop.sh: Xvfb is not installed: skipped" >&2
  exit 77
fi
case "$wm_name" in
  openbox) ;;
  xfwm4)
    if ! command -v xfwm4 >/dev/null || ! command -v dbus-run-session >/dev/null; then
      echo "with-desktop.sh: xfwm4 or dbus-run-session is not installed: skipped" >&2
      exit 77
    fi ;;
  *) echo "with-desktop.sh: unknown window manager NAVELO_WM=$wm_name" >&2; exit 2 ;;
esac
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
wmhome=""
cleanup() {
  # The display first: a window manager ends with its display, and xfwm4's session bus with it.
  kill "$xvfb" 2>/dev/null || true
  for _ in $(seq 50); do
    [ -n "${wm:-}" ] && kill -0 "$wm" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -f "$numfile"
  [ -n "$wmhome" ] && rm -rf "$wmhome"
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
start_wm() {
  if [ "$wm_name" = xfwm4 ]; then
    # xfwm4 reads its settings from xfconf, over a session bus of its own. Its settings live in a
    # private folder, with the title-bar buttons laid out as on Windows: window menu on the left;
    # minimise, maximise and close on the right.
    [ -n "$wmhome" ] || wmhome=$(mktemp -d)
    mkdir -p "$wmhome/xfce4/xfconf/xfce-perchannel-xml"
    cat >"$wmhome/xfce4/xfconf/xfce-perchannel-xml/xfwm4.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfwm4" version="1.0">
  <property name="general" type="empty">
    <property name="button_layout" type="string" value="O|HMC"/>
    <property name="use_compositing" type="bool" value="false"/>
  </property>
</channel>
XML
    NO_AT_BRIDGE=1 XDG_CONFIG_HOME="$wmhome" dbus-run-session -- xfwm4 --compositor=off >/dev/null 2>&1 &
  else
    openbox --sm-disable >/dev/null 2>&1 &
  fi
  wm=$!
}
for _ in 1 2 3; do
  start_wm
  for _ in $(seq 600); do
    wm_ready && break
    kill -0 "$wm" 2>/dev/null || break
    sleep 0.1
  done
  wm_ready && break
done
wm_ready || { echo "with-desktop.sh: $wm_name did not start on $DISPLAY" >&2; exit 1; }
export NAVELO_WM=$wm_name
set +e
"$@"
rc=$?
exit $rc
