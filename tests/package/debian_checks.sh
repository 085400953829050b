#!/usr/bin/env bash
# Debian's own checks of the package: its AppStream metadata together with the launcher it names
# (validate-tree validates each metainfo file as `appstreamcli validate` does, then looks for the
# launcher), the launcher itself, and lintian, which must find no error (the package's overrides
# applied). Exit status 77 (reported "skipped") when a checker is not installed.
# Usage: debian_checks.sh FOLDER VERSION   (checks FOLDER/navelo_VERSION_ARCH.deb)
set -euo pipefail
deb="$1/navelo_$2_$(dpkg --print-architecture).deb"
for tool in appstreamcli desktop-file-validate lintian; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
appstreamcli validate-tree --no-net "$root"
desktop-file-validate "$root/usr/share/applications/navelo.desktop"
lintian --fail-on error "$deb"
