#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds with warnings as errors and runs every test; checks the
# Debian package made of that build (scripts/package-check.sh); then runs the whole suite again
# under AddressSanitizer and UndefinedBehaviorSanitizer, and fuzzes each fuzz target for 30
# seconds.
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

# As root every folder can be written, and the tests skip their read-only folder cases; these
# tests run once more as an ordinary user, who meets the read-only folder as operators do.
if [ "$(id -u)" -eq 0 ]; then
    step "read-only folder cases as an ordinary user"
    as_nobody() { setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups env HOME=/tmp "$@"; }
    if as_nobody test -x build-ci/bin/tst_settingsplace; then
        for test in tst_settingsplace tst_folderwindowcontinue tst_versionchoice tst_planandreport; do
            as_nobody QT_QPA_PLATFORM=offscreen "build-ci/bin/$test" -silent
        done
    else
        echo "skipped: the user nobody cannot reach $(pwd)/build-ci"
    fi
fi

step "package: its files and validators, and the installed programs run by an ordinary user"
rm -rf build-ci/packages
cpack --config build-ci/CPackConfig.cmake -B build-ci/packages >/dev/null
scripts/package-check.sh build-ci/packages/brevik_*.deb

step "build under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan >/dev/null
cmake --build --preset asan

step "tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ctest --preset asan --parallel 2

step "fuzzing, 30 seconds per target"
scripts/fuzz.sh 30
step "done"
