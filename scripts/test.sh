#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds with warnings as errors and runs every test; then runs
# the whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer, and fuzzes each
# fuzz target for 30 seconds.
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

echo "== build under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan >/dev/null
cmake --build --preset asan

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ctest --preset asan --parallel 2

echo "== fuzzing, 30 seconds per target"
scripts/fuzz.sh 30
