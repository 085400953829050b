#!/usr/bin/env bash
# Runs a command on a Wayland desktop of its own: a headless sway (a wlroots compositor) with
# XWayland, on a 1280x1024 screen, stopped again when the command ends. sway refuses to run as
# root, so as root both sway and the command run as the unprivileged user navelo-wayland (made
# here when missing), with a private runtime folder. A desktop that cannot be had (no sway) ends
# with 77, which the tests report as skipped.
set -euo pipefail
if ! command -v sway >/dev/null || ! command -v Xwayland >/dev/null; then
  echo "with-sway.sh: sway or Xwayland is not installed: skipped" >&2
  exit 77
fi

source "$(dirname "$0")/wayland-user.sh"

runtime=$(mktemp -d /tmp/navelo-sway.XXXXXX)
chmod 700 "$runtime"
[ "$(id -u)" -eq 0 ] && chown "$user:" "$runtime"
cat >"$runtime/sway.conf" <<'CONF'
output HEADLESS-1 resolution 1280x1024 position 0 0
xwayland enable
exec sh -c 'echo "$DISPLAY" > "$XDG_RUNTIME_DIR/x-display"'
CONF
chmod 644 "$runtime/sway.conf"

base_env=(env -i "XDG_RUNTIME_DIR=$runtime" "HOME=$home" "PATH=/usr/local/bin:/usr/bin:/bin"
          "LANG=C.UTF-8")
"${as[@]}" "${base_env[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
  WLR_HEADLESS_OUTPUTS=1 sway -c "$runtime/sway.conf" >"$runtime/sway.log" 2>&1 &
sway=$!
cleanup() {
  kill "$sway" 2>/dev/null || true
  wait "$sway" 2>/dev/null || true
  rm -rf "$runtime"
}
trap cleanup EXIT
# On a busy machine starting takes seconds; wait up to 30 s.
socket=""
for _ in $(seq 300); do
  socket=$(cd "$runtime" && ls wayland-* 2>/dev/null | grep -v lock | head -n 1 || true)
  [ -n "$socket" ] && [ -s "$runtime/x-display" ] && break
  if ! kill -0 "$sway" 2>/dev/null; then
    echo "with-sway.sh: sway did not start:" >&2
    cat "$runtime/sway.log" >&2
    exit 1
  fi
  sleep 0.1
done
if [ -z "$socket" ] || [ ! -s "$runtime/x-display" ]; then
  echo "with-sway.sh: sway did not come up in time" >&2
  cat "$runtime/sway.log" >&2
  exit 1
fi
set +e
"${as[@]}" "${base_env[@]}" "WAYLAND_DISPLAY=$socket" "DISPLAY=$(cat "$runtime/x-display")" \
  "SWAYSOCK=$(ls "$runtime"/sway-ipc.*.sock 2>/dev/null | head -n 1)" "$@"
