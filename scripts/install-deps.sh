#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; does nothing when all are present.
set -euo pipefail

packages=(
    cmake ninja-build g++ make python3 pkg-config
    libgtest-dev libgmock-dev
    clang-14 libclang-rt-14-dev clang-format
    qt6-base-dev qt6-translations-l10n xvfb xauth xdotool poppler-utils
    locales
    dpkg-dev lintian desktop-file-utils man-db
)
# scripts/screenshots.sh only (run by hand): install-deps.sh screenshots
if [ "${1:-}" = "screenshots" ]; then
    packages+=(imagemagick)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

if [ ${#missing[@]} -gt 0 ]; then
    echo "install-deps: installing ${missing[*]}"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests switch between a comma-decimal and a point-decimal locale.
for loc in cs_CZ en_US; do
    if ! locale -a 2>/dev/null | grep -qi "^${loc}\.utf-\?8$"; then
        echo "install-deps: generating ${loc}.UTF-8"
        $SUDO localedef -i "$loc" -f UTF-8 "${loc}.UTF-8"
    fi
done
