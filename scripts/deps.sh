#!/usr/bin/env bash
# Installs the Debian 12 packages Navelo needs, when any is missing:
#   deps.sh          to build and run it
#   deps.sh --test      also what the test suite and the benchmark need (among them Debian's
#                       checks of the package: appstream, desktop-file-utils, lintian; and the
#                       Wayland desktops the tests run: sway and KWin, with XWayland)
#   deps.sh --package   also what the Debian package is made with
#   deps.sh --windows   what the Windows build, its installer and its tests under Wine need
set -euo pipefail

packages=(
  cmake ninja-build g++ qt6-base-dev libgl-dev libgtest-dev libx11-dev libxtst-dev
  libwayland-dev libwayland-bin libxkbcommon-dev plasma-wayland-protocols
  xvfb openbox x11-utils xdg-utils fonts-noto-cjk
)
if [ "${1:-}" = "--test" ]; then
  packages+=(clang libclang-rt-14-dev clang-format xdotool x11-xkb-utils chromium dpkg-dev xfwm4
             dbus-daemon appstream desktop-file-utils lintian sway xwayland kwin-wayland)
elif [ "${1:-}" = "--package" ]; then
  packages+=(dpkg-dev)
fi
if [ "${1:-}" = "--zip" ]; then
  packages=(zip)
fi
if [ "${1:-}" = "--windows" ]; then
  # The Windows build: the cross compiler, GoogleTest's sources, NSIS for the installer, and Wine
  # to run the result.
  packages=(cmake ninja-build g++-mingw-w64-x86-64-posix googletest nsis wine64 wine xvfb openbox
            x11-utils fonts-noto-cjk fonts-ipafont-gothic fonts-wine xdotool)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
