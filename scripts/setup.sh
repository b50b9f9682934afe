#!/usr/bin/env bash
# Installs what is missing on a Debian machine.
# Usage: scripts/setup.sh [run|package|check|all]   (default all)
#   run      what building and running the two programs needs
#   package  that, and what making the Debian package needs
#   check    that, and the validators of the menu entry, the metainfo and the manual pages
#   all      that, and what the tests, the format check and the fuzzing need
set -euo pipefail
group=${1:-all}

run=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
    libsqlite3-dev
    fonts-liberation fonts-dejavu-core
)
package=(dpkg-dev file binutils)
check=(desktop-file-utils appstream groff-base lintian bash-completion)
all=(
    git sqlite3
    clang clang-format cmake-format libclang-rt-14-dev
    xvfb xauth
)
case $group in
run) packages=("${run[@]}") ;;
package) packages=("${run[@]}" "${package[@]}") ;;
check) packages=("${run[@]}" "${package[@]}" "${check[@]}") ;;
all) packages=("${run[@]}" "${package[@]}" "${check[@]}" "${all[@]}") ;;
*) echo "setup: unknown group $group (run, package, check or all)" >&2; exit 2 ;;
esac

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
