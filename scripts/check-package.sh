#!/usr/bin/env bash
# Checks a built .deb as a Debian maintainer would: lintian (errors and warnings fail; info and
# pedantic tags are shown) and desktop-file-validate on its desktop entry.
# usage: check-package.sh PACKAGE.deb
set -euo pipefail
deb=$1
echo "check-package: lintian $deb"
lintian --fail-on error,warning --display-info --pedantic "$deb"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch"
echo "check-package: desktop-file-validate"
desktop-file-validate "$scratch"/usr/share/applications/*.desktop
echo "check-package: $deb is fine"
