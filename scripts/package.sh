#!/usr/bin/env bash
# Builds the Debian package brevik_<version>_<architecture>.deb from a Release build of the two
# programs (build-release) and leaves it in the project's folder. Install it with
#   sudo apt install ./brevik_<version>_<architecture>.deb
# scripts/package-check.sh checks it as an installed program.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh package
cmake --preset release >/dev/null
cmake --build --preset release
rm -f build-release/packages/brevik_*.deb
cpack --preset release >/dev/null
deb=$(ls build-release/packages/brevik_*.deb)
cp "$deb" .
echo "Package: $(pwd)/$(basename "$deb")"
