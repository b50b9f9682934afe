#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds the two programs (a Release build of their own, in
# build-release, without the tests) and starts the window.
#
# On a first run, where the program has no folder settings yet, it prepares a demo: a data
# folder with a new zrdata.mdb and a QuickBooks folder holding a sample export, and points the
# settings at them, so that the program opens on its main window and the sample imports in
# three clicks (choose the file, START, STRIP). Without a display it runs the same import with
# brevik-import and prints the summary. Settings and databases that exist are never touched.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/setup.sh run
cmake --preset release >/dev/null
cmake --build --preset release --target brevik brevik-import

bin="$root/build-release/bin"
demo="$root/demo"
settings="$bin/zrQBck.dat"
sample="$root/tests/data/sample_customers.iif"

if [ ! -e "$settings" ]; then
    mkdir -p "$demo/data" "$demo/quickbooks"
    touch "$demo/.brevik-demo"
    [ -e "$demo/data/zrdata.mdb" ] || "$bin/brevik-import" create-database "$demo/data"
    [ -e "$demo/quickbooks/sample_customers.iif" ] || cp "$sample" "$demo/quickbooks/"
    printf '%s\r\n%s\r\n' "$demo/data" "$demo/quickbooks" > "$settings"
    echo "Demo prepared: data folder $demo/data, QuickBooks folder $demo/quickbooks"
fi

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$bin/brevik" "$@"
fi

echo "No display: importing the sample with brevik-import instead of opening the window."
if [ -e "$demo/.brevik-demo" ] && [ "$(head -n1 "$settings" | tr -d '\r')" = "$demo/data" ]; then
    exec "$bin/brevik-import" import "$demo/quickbooks/sample_customers.iif"
fi
echo "The settings point at folders of your own; nothing is imported into them. For example:"
echo "  $bin/brevik-import import EXPORT_FILE"
