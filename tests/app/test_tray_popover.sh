#!/usr/bin/env bash
# The real pendlow binary in the XEmbed tray host: a click on its tray icon opens the popover under
# the icon (340 x 450, within the screen), a second click on the icon closes it, and a click
# elsewhere closes it too. Clicks are real pointer clicks (xdotool), on an X display and tray host
# of the test's own, so that the windows and clicks of tests running alongside stay out of the way.
# Usage: test_tray_popover.sh <build dir>   (inside scripts/test-env.sh)
set -euo pipefail
build_dir=$1
APP_PID=""
XVFB_PID=""
TRAYER_PID=""
work=$(mktemp -d)
cleanup() {
    set +e
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null
    [ -n "$TRAYER_PID" ] && kill "$TRAYER_PID" 2>/dev/null && wait "$TRAYER_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
XVFB_PID=$!
for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
[ -s "$work/display" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=":$(tr -d '[:space:]' <"$work/display")"
for _ in $(seq 1 100); do
    xwininfo -root >/dev/null 2>&1 && break
    sleep 0.05
done
xwininfo -root >/dev/null 2>&1 || { echo "FAIL: the X display $DISPLAY does not answer"; cat "$work/xvfb.log"; exit 1; }
trayer --edge top --align right --widthtype request --height 32 >"$work/trayer.log" 2>&1 &
TRAYER_PID=$!

log="$work/pendlow.log"
# A data folder of its own: one pendlow runs per data folder, and other tests start theirs alongside.
XDG_DATA_HOME="$work/data" PENDLOW_CLICKUP_API_URL=http://127.0.0.1:9/api/v2 "$build_dir/pendlow" >"$log" 2>&1 &
APP_PID=$!

fail() { echo "FAIL: $*"; cat "$log" "$work/trayer.log"; exit 1; }

icon=""
for _ in $(seq 1 100); do
    panel=$(xwininfo -root -tree 2>/dev/null | awk '/\("panel" "trayer"\)/ {print $1; exit}' || true)
    if [ -n "$panel" ]; then
        icon=$(xwininfo -tree -id "$panel" 2>/dev/null | awk '/\("pendlow" "Pendlow"\)/ {print $1; exit}' || true)
        [ -n "$icon" ] && break
    fi
    sleep 0.05
done
[ -n "$icon" ] || fail "tray icon not embedded"
sleep 0.3
icon_x=$(xwininfo -id "$icon" | awk '/Absolute upper-left X/ {print $4}')
icon_y=$(xwininfo -id "$icon" | awk '/Absolute upper-left Y/ {print $4}')
icon_w=$(xwininfo -id "$icon" | awk '/Width:/ {print $2}')
icon_h=$(xwininfo -id "$icon" | awk '/Height:/ {print $2}')
click_x=$((icon_x + icon_w / 2))
click_y=$((icon_y + icon_h / 2))

# Our viewable top-level windows 340 wide (reminder windows have other widths), as "id WxH+X+Y".
popover_windows() {
    xwininfo -root -children 2>/dev/null | awk '/\("pendlow" "Pendlow"\) +340x/ {print $1}' | while read -r id; do
        info=$(xwininfo -id "$id" 2>/dev/null) || continue
        if grep -q 'Map State: IsViewable' <<<"$info"; then
            w=$(awk '/Width:/ {print $2}' <<<"$info")
            h=$(awk '/Height:/ {print $2}' <<<"$info")
            x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
            y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
            echo "$id ${w}x${h}+${x}+${y}"
        fi
    done
}

wait_for() { # wait_for open|closed
    for _ in $(seq 1 60); do
        count=$(popover_windows | wc -l)
        if [ "$1" = open ] && [ "$count" -eq 1 ]; then return 0; fi
        if [ "$1" = closed ] && [ "$count" -eq 0 ]; then return 0; fi
        sleep 0.05
    done
    return 1
}

[ "$(popover_windows | wc -l)" -eq 0 ] || fail "the popover is mapped before any click"

xdotool mousemove "$click_x" "$click_y" click 1
wait_for open || fail "the popover did not open on a click on the tray icon"
read -r _ geometry <<<"$(popover_windows)"
size=${geometry%%+*}
pos=${geometry#*+}
px=${pos%%+*}
py=${pos#*+}
[ "$size" = 340x450 ] || fail "popover is $size, not 340x450"
# Under the icon (the tray is at the top), within the 1920-wide screen.
[ "$py" -ge $((icon_y + icon_h)) ] || fail "popover at y=$py is not under the icon (bottom $((icon_y + icon_h)))"
[ "$px" -ge 0 ] && [ $((px + 340)) -le 1920 ] || fail "popover at x=$px is off the screen"

sleep 0.4
xdotool mousemove "$click_x" "$click_y" click 1
wait_for closed || fail "a second click on the tray icon did not close the popover"
sleep 0.4
xdotool mousemove "$click_x" "$click_y" click 1
wait_for open || fail "a third click on the tray icon did not open the popover again"
sleep 0.4
xdotool mousemove 300 800 click 1
wait_for closed || fail "a click outside did not close the popover"
kill -0 "$APP_PID" 2>/dev/null || fail "pendlow exited"
echo "PASS: the tray icon opens and closes the popover; a click outside closes it"
