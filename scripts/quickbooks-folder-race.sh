#!/usr/bin/env bash
# Starts two imports of different exports into different databases at the same moment, both
# with one QuickBooks folder, round after round. Neither may import the other's QBCUST.TXT:
# each imports its own export whole, or stops at once because the other holds the folder.
# Usage: scripts/quickbooks-folder-race.sh [ROUNDS [CUSTOMERS]]   (default 20 rounds of 20000)
# The last line reads "rounds without a swap: N of N (...)".
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-20}
customers=${2:-20000}

cmake --preset default >/dev/null
cmake --build build --target faultdrill brevik-import >/dev/null
build/bin/faultdrill race --tool build/bin/brevik-import --runs "$rounds" --customers "$customers"
