#!/usr/bin/env bash
# Kills brevik-import with SIGKILL at random moments of an import of a few thousand customers,
# checking after each kill that the database is sound and every customer whole or absent, then
# runs the import to its end and checks every customer is stored exactly once.
# Usage: scripts/kill-test.sh [KILLS [CUSTOMERS]]   (default 20 kills, 3000 customers)
# The last line reads "kills survived: N of N".
set -euo pipefail
cd "$(dirname "$0")/.."
kills=${1:-20}
customers=${2:-3000}

cmake --preset default >/dev/null
cmake --build build --target faultdrill brevik-import >/dev/null
build/bin/faultdrill kill --tool build/bin/brevik-import --kills "$kills" --customers "$customers"
