#!/usr/bin/env bash
# Imports while another program adds clients in write transactions of its own and now and then
# keeps its write lock for about 100 ms: first a program that asks for the lock again and again,
# then one that waits through SQLite's busy handler (its longest wait is printed); then once
# more while the other program keeps the lock beyond the busy timeout (about 8 seconds).
# Each import is long enough (60000 customers, over a second) for the other program to write in
# the midst of it.
# Usage: scripts/concurrency-test.sh [RUNS [CUSTOMERS]]   (default 20 runs of 60000 customers)
# The figures are the lines "concurrent runs: ..." and "lock beyond the busy timeout: ...".
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
customers=${2:-60000}

cmake --preset default >/dev/null
cmake --build build --target faultdrill brevik-import >/dev/null
build/bin/faultdrill concurrent --tool build/bin/brevik-import --runs "$runs" --customers "$customers"
build/bin/faultdrill concurrent --tool build/bin/brevik-import --runs 5 --customers "$customers" --patient
build/bin/faultdrill locked --tool build/bin/brevik-import
