#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, with AddressSanitizer and UndefinedBehaviorSanitizer) and
# runs them side by side, seeded from tests/data and the sample exports, printing the executions of
# each. An input that breaks a target is kept in tests/fuzz/regressions/<target>/, which the
# normal test suite replays, and the script fails.
# Usage: scripts/fuzz.sh [SECONDS]   (seconds per target; default 180)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-180}
samples=${BREVIK_SAMPLES_DIR:-$(pwd)/../shared/samples}/iif
targets=(exportreader rowscan numberrules settingsfiles)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_targets >/dev/null

corpus=build-fuzz/corpus
exports=(tests/data/*.iif)
[ -d "$samples" ] && exports+=("$samples"/*.iif)

# Seeds: whole exports for the reader, their rows for the scan (behind the ten bytes that give
# version "1" and the usual columns), their fields for the number rules, and a few settings and
# version files.
seed_once() {
    local target=$1
    [ -d "$corpus/$target" ] && return 0
    mkdir -p "$corpus/$target"
    local n=0
    case $target in
    exportreader)
        cp "${exports[@]}" "$corpus/$target/" ;;
    rowscan)
        cat "${exports[@]}" | tr '\r' '\n' | grep -a . | sort -u | while IFS= read -r row; do
            n=$((n + 1)); { printf '\001\123\127\004\007\010\011\012\013\021'; printf '%s' "$row"; } > "$corpus/$target/row$n"
        done ;;
    numberrules)
        cat "${exports[@]}" | tr '\t\r' '\n\n' | grep -a . | sort -u | while IFS= read -r field; do
            n=$((n + 1)); { printf '\000'; printf '%s' "$field"; } > "$corpus/$target/field$n"
        done ;;
    settingsfiles)
        printf 'C:\\Orvella\\Data\r\nC:\\QuickBooks\r\n' > "$corpus/$target/settings"
        printf '/srv/orvella\n/srv/qb' > "$corpus/$target/noend"
        printf '1\r\n' > "$corpus/$target/version1"
        printf '  "0",V5.0-V2000\r\n' > "$corpus/$target/quoted" ;;
    esac
}

declare -A max_len=([exportreader]=4096 [rowscan]=4096 [numberrules]=128 [settingsfiles]=1024)

# Runs one target for its seconds; its exit status lands beside its log.
run_target() {
    local target=$1 status=0
    build-fuzz/bin/fuzz_$target "$corpus/$target" -max_total_time="$seconds" -max_len="${max_len[$target]}" \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="tests/fuzz/regressions/$target/" >"build-fuzz/fuzz_$target.log" 2>&1 || status=$?
    echo "$status" >"build-fuzz/fuzz_$target.status"
}

# The targets run side by side, as many at a time as the machine has cores.
cores=$(nproc)
running=0
for target in "${targets[@]}"; do
    seed_once "$target"
    mkdir -p "tests/fuzz/regressions/$target"
    run_target "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$cores" ]; then
        wait -n
        running=$((running - 1))
    fi
done
wait

failed=0
summary=()
for target in "${targets[@]}"; do
    log=build-fuzz/fuzz_$target.log
    status=$(cat "build-fuzz/fuzz_$target.status")
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    if [ "$status" -eq 0 ]; then
        summary+=("fuzz_$target: ${executions:-0} executions in $seconds s, no fault")
    else
        failed=1
        summary+=("fuzz_$target: FAULT after ${executions:-?} executions; see $log, input kept in tests/fuzz/regressions/$target/")
    fi
done
printf '%s\n' "${summary[@]}"
exit $failed
