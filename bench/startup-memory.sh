#!/usr/bin/env bash
# Measures the real pendlow binary: time from exec to its tray icon being embedded in the
# tray host, and its resident memory (VmRSS once settled, and the peak from /usr/bin/time -v).
# Runs inside scripts/test-env.sh (needs Xvfb and trayer). Usage: startup-memory.sh <build dir> [runs]
set -euo pipefail
build_dir=$1
runs=${2:-5}
APP_PID=""
cleanup() { set +e; [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null; }
trap cleanup EXIT

icon_embedded() {
    local panel
    panel=$(xwininfo -root -tree | awk '/\("panel" "trayer"\)/ {print $1; exit}')
    [ -n "$panel" ] && xwininfo -tree -id "$panel" | grep -q '("pendlow" "Pendlow")'
}

# No ClickUp token in the keyring: the application starts without network work.
export PENDLOW_CLICKUP_API_URL=http://127.0.0.1:9/api/v2
startups=()
for run in $(seq 1 "$runs"); do
    timing=$(mktemp)
    start=$(date +%s%N)
    /usr/bin/time -v -o "$timing" "$build_dir/pendlow" >/dev/null 2>&1 &
    APP_PID=$!
    until icon_embedded; do sleep 0.002; done
    end=$(date +%s%N)
    startups+=($(( (end - start) / 1000000 )))
    sleep 2
    child=$(pgrep -P "$APP_PID" -x pendlow || true)
    rss_kb=$(awk '/^VmRSS:/ {print $2}' "/proc/${child:-$APP_PID}/status")
    kill "${child:-$APP_PID}"
    wait "$APP_PID" || true
    APP_PID=""
    peak_kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$timing")
    echo "run $run: tray icon after ${startups[-1]} ms, RSS $((rss_kb / 1024)) MB settled, peak $((peak_kb / 1024)) MB"
    rm -f "$timing"
done
sorted=($(printf '%s\n' "${startups[@]}" | sort -n))
echo "startup to tray icon: median ${sorted[$(( runs / 2 ))]} ms over $runs runs"
