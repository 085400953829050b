#!/usr/bin/env bash
# Runs a command on a KDE Plasma compositor of its own: a headless KWin with XWayland, on a
# 1280x1024 screen, with a session bus of its own, ending with the command. As root both run as
# the unprivileged user navelo-wayland (made here when missing). Debian's kwin_wayland carries a
# file capability that a container will not let it take up, so a copy without it runs; KWin's own
# window system plugin wants the program named kwin_wayland, so the copy keeps that name.
#   with-kwin.sh [--grant|--refuse] COMMAND...
# With neither, KWin checks no permissions. --grant installs, in a data folder of the run's own,
# a launcher naming COMMAND's program that asks for Plasma's window management and fake input, and
# lets KWin check permissions; --refuse lets it check them with no such launcher. A desktop that
# cannot be had (no KWin) ends with 77, which the tests report as skipped.
set -euo pipefail
mode=none
case "${1:-}" in
  --grant|--refuse) mode=${1#--}; shift ;;
esac
if ! command -v kwin_wayland >/dev/null || ! command -v dbus-run-session >/dev/null; then
  echo "with-kwin.sh: kwin_wayland or dbus-run-session is not installed: skipped" >&2
  exit 77
fi

source "$(dirname "$0")/wayland-user.sh"

work=$(mktemp -d /tmp/navelo-kwin.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime" "$work/bin" "$work/data" "$work/cache" "$work/config"
cp "$(command -v kwin_wayland)" "$work/bin/kwin_wayland"
chmod 755 "$work" "$work/bin" "$work/bin/kwin_wayland" "$work/data"
program=$(readlink -f "$(command -v "$1")")
kwin_env=()
case $mode in
  none) kwin_env=(KWIN_WAYLAND_NO_PERMISSION_CHECKS=1) ;;
  refuse) kwin_env=(NAVELO_KWIN_GRANT=0) ;;
  grant)
    kwin_env=(NAVELO_KWIN_GRANT=1)
    mkdir -p "$work/data/applications"
    cat >"$work/data/applications/navelo-test.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Navelo test
Exec=$program
NoDisplay=true
X-KDE-Wayland-Interfaces=org_kde_plasma_window_management,org_kde_kwin_fake_input
DESKTOP
    ;;
esac
# KWin ends with the command it starts, but not with its exit status: the command leaves it here.
# Its output goes to the caller's at the end.
{
  echo '#!/bin/sh'
  printf 'cd %q && ' "$PWD"
  printf '%q ' "$@"
  echo ">'$work/output' 2>&1"
  echo "echo \$? > '$work/status'"
} >"$work/session.sh"
chmod 755 "$work/session.sh"
[ "$(id -u)" -eq 0 ] && chown -R "$user:" "$work"

set +e
"${as[@]}" env -i "XDG_RUNTIME_DIR=$work/runtime" "HOME=$home" "PATH=/usr/local/bin:/usr/bin:/bin" \
  "LANG=C.UTF-8" "XDG_DATA_DIRS=$work/data:/usr/local/share:/usr/share" \
  "XDG_CACHE_HOME=$work/cache" "XDG_CONFIG_HOME=$work/config" XDG_CURRENT_DESKTOP=KDE \
  "${kwin_env[@]}" \
  dbus-run-session -- "$work/bin/kwin_wayland" --virtual --no-lockscreen --no-global-shortcuts \
  --no-kactivities --xwayland --socket navelo-kwin --width 1280 --height 1024 \
  --exit-with-session "$work/session.sh" >"$work/kwin.log" 2>&1
status=$(cat "$work/status" 2>/dev/null || echo 1)
cat "$work/output" 2>/dev/null
if [ $status -ne 0 ] && [ $status -ne 77 ]; then
  echo "with-kwin.sh: KWin's log:" >&2
  grep -v -E '^(kwin_|Texture|Virtual|OpenGL|GLSL|Mesa|Driver|GPU|Linux kernel|X server|Requires)' \
    "$work/kwin.log" | tail -n 20 >&2
fi
exit $status
