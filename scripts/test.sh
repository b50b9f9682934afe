#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds with warnings as errors and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

echo "== format"
scripts/format-check.sh

echo "== build (warnings are errors)"
cmake --preset ci >/dev/null
cmake --build --preset ci

echo "== tests"
ctest --preset ci --parallel 2
