#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and fuzzing Quib Sum needs.
# Skips what is already installed, so it is cheap to run again.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config python3
    libicu-dev
    libcurl4-openssl-dev libexpat1-dev rapidjson-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    qt6-base-dev libxcb1-dev libxcb-keysyms1-dev
    xvfb xauth xdotool xclip dbus imagemagick fonts-dejavu-core
    desktop-file-utils appstream lintian dpkg-dev file librsvg2-bin
)
if [ "${QUIBSUM_FUZZ_TOOLS:-0}" = 1 ]; then
    packages+=(clang-16 libclang-rt-16-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
