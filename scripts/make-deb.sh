#!/usr/bin/env bash
# Makes the Debian package of an already built tree and prints its path:
#   make-deb.sh BUILD_DIR OUT_DIR   ->  OUT_DIR/navelo_VERSION_ARCH.deb
# The program and its files go under /usr (the program folder /usr/lib/navelo, a /usr/bin/navelo
# link, the launcher and the icons), with what Debian asks of a package beside them: AppStream
# metadata, a manual page, copyright and changelog; Depends lists the shared libraries' packages
# (dpkg-shlibdeps) plus the Japanese fonts and xdg-open.
set -euo pipefail
umask 022
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
[ -n "$version" ] || { echo "make-deb.sh: $build is not a configured build tree" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage="$work/root"
mkdir -p "$stage/DEBIAN" "$stage/usr/bin"
DESTDIR="$stage" cmake --install "$build" --prefix /usr --strip >/dev/null
# What `--strip` keeps and no one reads: the compilers' version strings.
strip --remove-section=.comment "$stage/usr/lib/navelo/navelo"
ln -s ../lib/navelo/navelo "$stage/usr/bin/navelo"

# The metadata file is named by the component id it declares.
metainfo="$root/assets/navelo.metainfo.xml"
id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$metainfo")
install -D -m 0644 "$metainfo" "$stage/usr/share/metainfo/$id.metainfo.xml"
maintainer="Navelo developers <navelo@localhost>"
doc="$stage/usr/share/doc/navelo"
install -D -m 0644 "$root/packaging/debian/copyright" "$doc/copyright"
# A native package's changelog: this version, dated by the last commit when there is one.
date=$(git -C "$root" log -1 --format=%cD 2>/dev/null || date -R)
printf 'navelo (%s) unstable; urgency=medium\n\n  * Navelo %s.\n\n -- %s  %s\n' \
  "$version" "$version" "$maintainer" "$date" | gzip -9n >"$doc/changelog.gz"
mkdir -p "$stage/usr/share/man/man1"
sed "s/@VERSION@/$version/" "$root/packaging/debian/navelo.1" |
  gzip -9n >"$stage/usr/share/man/man1/navelo.1.gz"
install -D -m 0644 "$root/packaging/debian/lintian-overrides" \
  "$stage/usr/share/lintian/overrides/navelo"

# dpkg-shlibdeps looks for debian/control in the current folder.
mkdir -p "$work/src/debian"
printf 'Source: navelo\n\nPackage: navelo\nArchitecture: any\n' >"$work/src/debian/control"
shlibs=$(cd "$work/src" && dpkg-shlibdeps -O "$stage/usr/lib/navelo/navelo" 2>/dev/null |
  sed -n 's/^shlibs:Depends=//p')
[ -n "$shlibs" ] || { echo "make-deb.sh: dpkg-shlibdeps found no libraries" >&2; exit 1; }

cat >"$stage/DEBIAN/control" <<CONTROL
Package: navelo
Version: $version
Architecture: $arch
Section: utils
Priority: optional
Maintainer: $maintainer
Installed-Size: $(du -sk --exclude=DEBIAN "$stage" | cut -f1)
Depends: $shlibs, fonts-noto-cjk, xdg-utils
Description: input-assist panel for IPAT internet betting in a web browser
 A narrow always-on-top panel that keeps the user's IPAT identifiers,
 enciphered, recognises the IPAT pages of an X11 browser window by their
 titles and types the identifiers into them at the press of a button. A
 ten-key pad builds the bet's total. Settings are kept in
 ~/.config/navelo/Navelo.INI.
CONTROL

(cd "$stage" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) \
  >"$stage/DEBIAN/md5sums"

deb="$out/navelo_${version}_${arch}.deb"
dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
echo "$deb"
