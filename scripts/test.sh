#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds with warnings as errors and runs every test; then runs
# the whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer, and fuzzes each
# fuzz target for 30 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

# Each step names itself with the minutes and seconds since the start.
step() { printf '== %s (at %dm%02ds)\n' "$1" $((SECONDS / 60)) $((SECONDS % 60)); }

step "format"
scripts/format-check.sh

step "build (warnings are errors)"
cmake --preset ci >/dev/null
cmake --build --preset ci

step "tests"
ctest --preset ci --parallel 2

step "build under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan >/dev/null
cmake --build --preset asan

step "tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ctest --preset asan --parallel 2

step "fuzzing, 30 seconds per target"
scripts/fuzz.sh 30
step "done"
