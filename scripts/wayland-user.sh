# Sourced by the scripts that start a Wayland compositor for the tests. Compositors refuse to run
# as root, so as root they, and the command run on them, run as the unprivileged user
# navelo-wayland, made here when missing. Sets `user`, its `home`, and `as`: what goes before a
# command to run it as that user (nothing when not root).
as=()
user=$(id -un)
if [ "$(id -u)" -eq 0 ]; then
  user=navelo-wayland
  if ! id "$user" >/dev/null 2>&1; then
    useradd --system --create-home --home-dir /var/lib/$user --shell /usr/sbin/nologin "$user"
  fi
  as=(runuser -u "$user" --)
fi
home=$(getent passwd "$user" | cut -d: -f6)
