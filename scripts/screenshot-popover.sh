#!/usr/bin/env bash
# Renders the popover of the real pendlow binary under the throw-away Xvfb session of
# scripts/test-env.sh, signed in to a loopback ClickUp with a running timer and two entries of today,
# and saves it as a PNG (for the README).
# Usage: scripts/screenshot-popover.sh [file.png]    (default: docs/images/popover.png)
# Environment: BUILD_DIR, the build folder to use (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/images/popover.png}
mkdir -p "$(dirname "$out")"
out="$(cd "$(dirname "$out")" && pwd)/$(basename "$out")"

export BUILD_DIR=${BUILD_DIR:-build}
# On the Xfce test desktop (xfwm4, xfce4-panel and its tray), as a user sees it; PENDLOW_TEST_DESKTOP=
# (empty) takes it under trayer instead.
export PENDLOW_TEST_DESKTOP=${PENDLOW_TEST_DESKTOP-xfce}
cmake -S . -B "$BUILD_DIR" -G Ninja -Wno-dev >/dev/null
cmake --build "$BUILD_DIR" --target pendlow pendlow-fake-clickup pendlow-test-keyring pendlow-grab-window >/dev/null

PENDLOW_SCREENSHOT="$out" scripts/test-env.sh bash -c '
    set -euo pipefail
    build_dir=$(cd "$BUILD_DIR" && pwd)
    source scripts/loopback-session.sh
    trap loopback_cleanup EXIT
    start_loopback_clickup
    configure_pendlow showActiveTimerReminder=false
    start_pendlow
    read -r icon_x icon_y < <(tray_icon_centre)
    wait_for_entry_fetches 1
    xdotool mousemove "$icon_x" "$icon_y" click 1
    for _ in $(seq 1 100); do
        window=$(popover_window)
        [ -n "$window" ] && break
        sleep 0.05
    done
    [ -n "$window" ] || loopback_fail "the popover did not open"
    # It hangs under the panel, over the icon, as the click placed it.
    read -r left top width < <(xwininfo -id "$window" | awk "/Absolute upper-left X/ {x=\$4}
        /Absolute upper-left Y/ {y=\$4} /Width:/ {w=\$2} END {print x, y, w}")
    [ "$left" -le "$icon_x" ] && [ "$icon_x" -lt $((left + width)) ] && [ "$top" -gt "$icon_y" ] &&
        [ "$top" -le $((icon_y + 40)) ] ||
        loopback_fail "the popover at $left,$top (width $width) does not hang from the icon at $icon_x,$icon_y"
    # Let the rows load and draw.
    sleep 1.5
    "$build_dir/tests/pendlow-grab-window" "$window" "$PENDLOW_SCREENSHOT"
' >/dev/null
echo "$out"
