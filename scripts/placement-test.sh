#!/usr/bin/env bash
# Launches the program again and again, each time on a fresh X server (Xvfb) with a window
# manager (openbox), and measures where the main window opens: its frame must lie wholly on the
# screen, title bar included, and be centred on it at the size it opens with; as it becomes active
# it shrinks below the same top, in the same place at every launch. Prints one line per launch
# and, on the last line, how many launches placed the window right.
# Usage: scripts/placement-test.sh [LAUNCHES]   (default 30)
# Needs Xvfb, openbox, xwininfo and xprop.
set -euo pipefail
cd "$(dirname "$0")/.."
launches=${1:-30}
title='QuickBooks/Orvella Customer Import'
screen_w=1280
screen_h=1024
# The client area the main window opens with, in pixels (6630 twips), below its menu bar.
opening_client_h=442

cmake --preset ci >/dev/null
cmake --build build-ci --target brevik brevik-import >/dev/null

# The program reads zrQBck.dat from its own folder: a copy of it runs in a folder of its own,
# with settings that name two existing folders, so that the main window follows the splash.
work=$(mktemp -d)
xvfb_pid=
wm_pid=
app_pid=
stop() {
    local pid
    for pid in $app_pid $wm_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    app_pid= wm_pid= xvfb_pid=
    return 0
}
trap 'stop; rm -rf "$work"' EXIT
mkdir -p "$work/program" "$work/data" "$work/quickbooks"
cp build-ci/bin/brevik "$work/program/"
build-ci/bin/brevik-import create-database "$work/data" >/dev/null
printf '%s\r\n%s\r\n' "$work/data" "$work/quickbooks" >"$work/program/zrQBck.dat"

# Waits up to 10 seconds for a command to succeed.
wait_for() {
    for _ in $(seq 100); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

placed=0
first_top=
launch=0
failed_starts=0
while [ "$launch" -lt "$launches" ]; do
    exec {fd}<> <(:)
    Xvfb -displayfd "$fd" -screen 0 "${screen_w}x${screen_h}x24" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    display=
    read -r -t 10 display <&"$fd" || true
    exec {fd}>&-
    export DISPLAY=":$display"
    openbox >/dev/null 2>&1 &
    wm_pid=$!
    # openbox is ready once it has claimed the window manager's selection.
    if [ -z "$display" ] || ! wait_for sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"; then
        # Not a launch of the program: the X server is tried again, a few times at most.
        echo "the X server or openbox did not start; trying again"
        stop
        failed_starts=$((failed_starts + 1))
        [ "$failed_starts" -le 5 ] || exit 1
        continue
    fi
    launch=$((launch + 1))
    "$work/program/brevik" >/dev/null 2>&1 &
    app_pid=$!

    verdict="no main window"
    if wait_for xwininfo -name "$title"; then
        # Let the window manager and the program settle: the window shrinks as it becomes active.
        sleep 1.5
        info=$(xwininfo -name "$title")
        x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
        y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
        w=$(awk '/Width:/ {print $2}' <<<"$info")
        h=$(awk '/Height:/ {print $2}' <<<"$info")
        # left, right, top, bottom
        read -r fl fr ft fb < <(xprop -name "$title" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
        left=$((x - fl))
        top=$((y - ft))
        width=$((w + fl + fr))
        height=$((h + ft + fb))
        dx=$((2 * left + width - screen_w))
        # The top centres a window of the opening height if the menu bar takes the rest of it.
        menu=$((screen_h - 2 * top - opening_client_h - ft - fb))
        first_top=${first_top:-$top}
        verdict="frame ${width}x${height} at ($left,$top), opening height centred with a menu bar of $menu px"
        if [ "$top" -gt 0 ] && [ "$left" -ge 0 ] && [ "${dx#-}" -le 1 ] && [ "$menu" -ge 15 ] &&
            [ "$menu" -le 40 ] && [ "$top" -eq "$first_top" ]; then
            verdict="$verdict: right"
            placed=$((placed + 1))
        else
            verdict="$verdict: WRONG"
        fi
    fi
    echo "launch $launch: $verdict"
    stop
done
echo "main window placed on the screen and centred: $placed of $launches launches"
[ "$placed" -eq "$launches" ]
