#!/usr/bin/env bash
# Builds the benchmark (RelWithDebInfo, the normal preset) and runs it.
# Usage: bench/run.sh [N] [brevik_bench options...]   N customers, 100000 unless given;
#   e.g. bench/run.sh 20000, or bench/run.sh 100000 --extract-mb 50 --dir /var/tmp/bench
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
customers=100000
if [[ $# -gt 0 && "$1" =~ ^[0-9]+$ ]]; then
    customers="$1"
    shift
fi
cd "$here"
cmake --preset default >/dev/null
cmake --build build -j2 --target brevik_bench
exec "$here/build/bin/brevik_bench" --customers "$customers" "$@"
