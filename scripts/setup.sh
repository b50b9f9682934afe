#!/usr/bin/env bash
# Installs what the build, the tests and the program need on a Debian machine, when missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config git
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libsqlite3-dev sqlite3
    clang clang-format libclang-rt-14-dev
    fonts-liberation fonts-dejavu-core
    xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -eq 0 ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo=$(command -v sudo || true)
    [ -n "$sudo" ] || { echo "setup: run as root or install sudo to add: ${missing[*]}" >&2; exit 1; }
fi
echo "setup: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
