#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and fuzzing Quib Sum needs.
# Skips what is already installed, so it is cheap to run again, and says nothing then.
# Without root, installs through sudo; where sudo is missing or would ask for a password,
# prints the one command to run and fails. QUIBSUM_PRETEND_MISSING="pkg …" treats those
# packages as missing (to try that path).
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config python3 clang-format-16
    libicu-dev
    libcurl4-openssl-dev libexpat1-dev rapidjson-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    qt6-base-dev qt6-tools-dev qt6-l10n-tools qt6-wayland libxcb1-dev libxcb-keysyms1-dev
    xvfb xauth xdotool xclip x11-utils openbox wmctrl dbus imagemagick fonts-dejavu-core
    desktop-file-utils appstream lintian dpkg-dev file librsvg2-bin devscripts groff-base bash-completion
)
if [ "${QUIBSUM_FUZZ_TOOLS:-0}" = 1 ]; then
    packages+=(clang-16 libclang-rt-16-dev)
fi

pretended=" ${QUIBSUM_PRETEND_MISSING:-} "
missing=()
for p in "${packages[@]}"; do
    if [[ "$pretended" == *" $p "* ]] ||
        ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    # sudo without a password, or with one typed at this terminal; otherwise say what to run.
    if ! command -v sudo >/dev/null 2>&1 || ! { sudo -n true 2>/dev/null || { [ -t 0 ] && sudo -v; }; }; then
        echo "setup.sh: these packages are missing, and installing them needs root:" >&2
        echo "    sudo apt-get install ${missing[*]}" >&2
        echo "Run that as an administrator, then run this script again." >&2
        exit 1
    fi
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
