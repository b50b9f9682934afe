#!/usr/bin/env bash
# Kills brevik-import with SIGKILL at random moments of an import, checking after each kill that
# the database is sound and every customer whole or absent, then runs the import to its end and
# checks every customer is stored exactly once. The import commits every quarter second, and a
# few thousand customers take less than that; 60000 make kills fall between commits too.
# Usage: scripts/kill-test.sh [KILLS [CUSTOMERS]]   (default 20 kills, 60000 customers)
# The last line reads "kills survived: N of N".
set -euo pipefail
cd "$(dirname "$0")/.."
kills=${1:-20}
customers=${2:-60000}

cmake --preset default >/dev/null
cmake --build build --target faultdrill brevik-import >/dev/null
build/bin/faultdrill kill --tool build/bin/brevik-import --kills "$kills" --customers "$customers"
