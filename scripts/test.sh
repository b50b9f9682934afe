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
# tests run once more as the user nobody, who meets the read-only folder as operators do. The
# programs are started by their absolute path and look for their own folder by it, so nobody must
# reach that path; where the clone lies in a folder that only root may enter (one made by mktemp
# -d, say), the programs run from a copy in a scratch folder instead; those that also read the
# checkout by its absolute path (its sample exports, the build's brevik-import), which no copy
# stands in for, are then skipped, saying so. Each run has a private, empty home, runtime and
# temporary folder, which is also its working folder (where the folder lists start), and nothing
# of this shell's environment.
if [ "$(id -u)" -eq 0 ]; then
    step "read-only folder cases as an ordinary user"
    as_nobody() { setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups "$@"; }
    cases=(tst_settingsplace tst_folderwindowcontinue tst_versionchoice)
    checkout_cases=(tst_planandreport)
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    chmod 755 "$scratch"
    bin="$(pwd)/build-ci/bin"
    if ! as_nobody test -x "$scratch"; then
        echo "skipped: the user nobody cannot reach the scratch folder $scratch"
    else
        if ! as_nobody test -x "$bin/${cases[0]}"; then
            echo "the user nobody cannot reach $bin: the tests run from a copy in $scratch/bin"
            mkdir -m 755 "$scratch/bin"
            for test in "${cases[@]}"; do
                cp "$bin/$test" "$scratch/bin/"
            done
            for test in "${checkout_cases[@]}"; do
                echo "skipped: $test, which reads the checkout that the user nobody cannot reach"
            done
            checkout_cases=()
            bin="$scratch/bin"
        fi
        for test in "${cases[@]}" "${checkout_cases[@]}"; do
            run="$scratch/$test"
            mkdir -m 755 "$run"
            mkdir -m 700 "$run/home" "$run/runtime" "$run/tmp"
            chown nobody "$run/home" "$run/runtime" "$run/tmp"
            (cd "$run/home" && as_nobody env -i PATH=/usr/bin:/bin LANG=C.UTF-8 HOME="$run/home" \
                XDG_RUNTIME_DIR="$run/runtime" TMPDIR="$run/tmp" QT_QPA_PLATFORM=offscreen "$bin/$test" -silent)
        done
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
