#!/usr/bin/env bash
# Builds the Debian package of Quib Sum and installs it with apt, which pulls in the libraries
# it links. As root it installs directly; otherwise through sudo, which may ask for your
# password. The package stays in build/default/package/ for other machines.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target quibsum quibsum-window quibsum-bus quibsum-network quibsum-icons
rm -rf build/default/package
cpack --config build/default/CPackConfig.cmake -G DEB -B build/default/package >/dev/null
debs=(build/default/package/quibsum_*.deb)
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "install.sh: installing needs root: apt-get install ./${debs[0]}" >&2; exit 1; }
    sudo=sudo
fi
# apt reads a local package as its own unprivileged user when it can, and says so when it
# cannot (a home folder closed to others); either way it installs it.
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y "./${debs[0]}"
echo "Installed ${debs[0]}: run quibsum, or find Quib Sum in the desktop's menu."
