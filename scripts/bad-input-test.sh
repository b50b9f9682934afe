#!/usr/bin/env bash
# Runs the tests of bad input: exports, databases, data folders and the files around an import
# that are not what they seem, and backups that cannot be made. Each case must give its
# designed result or one clear message, and never a crash or a hang. Prints every case and, on
# the last line, how many were tried.
set -euo pipefail
cd "$(dirname "$0")/.."
tests=(tst_badexports tst_baddatabase tst_badfiles tst_backup tst_backupbeforestrip)
# Cases of these tests that check a sound run rather than a bad input.
sound='copyHoldsTheDatabase|copiesWithinOneSecondKeepApart|keepsTheFiveNewest|copyHoldsTheStateBeforeTheRun'

cmake --preset default >/dev/null
cmake --build build --target brevik-import "${tests[@]}" >/dev/null
tried=0
skipped=0
failed=0
for test in "${tests[@]}"; do
    output=$(QT_QPA_PLATFORM=offscreen "build/bin/$test" 2>&1) || failed=1
    cases=$(grep -E '^(PASS|FAIL!|SKIP) +: ' <<<"$output" | grep -vE 'initTestCase|cleanupTestCase' |
        grep -vE "::($sound)\(" || true)
    printf '%s\n' "$cases"
    tried=$((tried + $(grep -c . <<<"$cases")))
    skipped=$((skipped + $(grep -c '^SKIP' <<<"$cases" || true)))
    grep -q '^FAIL!' <<<"$output" && failed=1
done
if [ "$failed" -ne 0 ]; then
    echo "bad inputs tried: $tried, some FAILED"
    exit 1
fi
echo "bad inputs tried: $tried, every one with its designed result or one clear message ($skipped skipped)"
