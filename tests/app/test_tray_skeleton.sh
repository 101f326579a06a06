#!/usr/bin/env bash
# The real pendlow binary starts as a tray-only application: its icon is embedded in the
# XEmbed tray host (trayer) of the test session, it maps no window of its own, and it keeps running.
# Usage: test_tray_skeleton.sh <build dir>   (inside scripts/test-env.sh)
set -euo pipefail
build_dir=$1
APP_PID=""
cleanup() {
    set +e
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null
    [ -n "${data:-}" ] && rm -rf "$data"
}
trap cleanup EXIT

log=$(mktemp)
# A data folder of its own: one pendlow runs per data folder, and other tests start theirs alongside.
data=$(mktemp -d)
XDG_DATA_HOME="$data" PENDLOW_CLICKUP_API_URL=http://127.0.0.1:9/api/v2 "$build_dir/pendlow" >"$log" 2>&1 &
APP_PID=$!

embedded=no
for _ in $(seq 1 100); do
    panel=$(xwininfo -root -tree | awk '/\("panel" "trayer"\)/ {print $1; exit}')
    if [ -n "$panel" ] && xwininfo -tree -id "$panel" | grep -q '("pendlow" "Pendlow")'; then
        embedded=yes
        break
    fi
    sleep 0.05
done
[ "$embedded" = yes ] || { echo "FAIL: tray icon not embedded in trayer"; cat "$log"; exit 1; }

sleep 1
kill -0 "$APP_PID" 2>/dev/null || { echo "FAIL: pendlow exited"; cat "$log"; exit 1; }

# No window of ours is mapped at the top level (no taskbar entry): only the tray icon, inside trayer.
# Other tests may run their own pendlow on the same display at the same time: only this process's
# windows count (Qt sets _NET_WM_PID on every top-level window).
for id in $(xwininfo -root -children | awk '/\("pendlow" "Pendlow"\)/ {print $1}'); do
    pid=$(xprop -id "$id" _NET_WM_PID 2>/dev/null | awk '{print $NF}')
    [ "$pid" = "$APP_PID" ] || continue
    if xwininfo -id "$id" | grep -q 'Map State: IsViewable'; then
        echo "FAIL: pendlow maps a top-level window $id"
        exit 1
    fi
done
echo "PASS: tray icon embedded, no top-level window, still running"
