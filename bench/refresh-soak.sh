#!/usr/bin/env bash
# Soak test of the real pendlow binary: a running timer and 200 entries of today from a loopback
# ClickUp, refreshed every few milliseconds (PENDLOW_REFRESH_INTERVAL_MS) for thousands of refreshes.
# Reports the resident memory after a warm-up and at the end, and the growth per refresh.
# Budget: at most 1 MB of growth over 10,000 refreshes. Exits 1 when it is exceeded.
# Runs inside scripts/test-env.sh. Usage: refresh-soak.sh <build dir> [refreshes] [warm-up refreshes]
set -euo pipefail
build_dir=$(cd "$1" && pwd)
refreshes=${2:-10000}
warmup=${3:-500}
budget_kb=1024
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../scripts/loopback-session.sh
source "$here/scripts/loopback-session.sh"
trap loopback_cleanup EXIT

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$LOOPBACK_APP_PID/status"; }
fetches() { grep -c 'time_entries?' "$LOOPBACK_REQUESTS" 2>/dev/null || true; }
# Waits until n refreshes have fetched today's entries (a refresh takes milliseconds).
wait_for_fetches() {
    local n=$1 last=-1 same=0 now
    while :; do
        now=$(fetches)
        [ "$now" -ge "$n" ] && return 0
        if [ "$now" = "$last" ]; then
            same=$((same + 1))
            [ "$same" -ge 100 ] && loopback_fail "the refresh stopped after $now fetches"
        else
            same=0
        fi
        last=$now
        sleep 0.1
    done
}

start_loopback_clickup --entries 200
# No reminder toasts: only the refresh itself runs.
configure_pendlow showActiveTimerReminder=false
export PENDLOW_REFRESH_INTERVAL_MS=${PENDLOW_SOAK_INTERVAL_MS:-10}
start_pendlow

start_s=$(date +%s)
wait_for_fetches "$warmup"
before=$(rss_kb)
wait_for_fetches $((warmup + refreshes))
after=$(rss_kb)
end_s=$(date +%s)
growth=$((after - before))
echo "refresh soak: $refreshes refreshes after $warmup warm-up ones in $((end_s - start_s)) s:" \
    "RSS $((before / 1024)).$(((before % 1024) * 10 / 1024)) MB -> $((after / 1024)).$(((after % 1024) * 10 / 1024)) MB," \
    "growth ${growth} KB ($(awk -v g="$growth" -v n="$refreshes" 'BEGIN {printf "%.2f", g * 1024 / n}') bytes per refresh)"
if [ "$growth" -gt "$budget_kb" ]; then
    echo "FAIL: more than $budget_kb KB of growth over $refreshes refreshes" >&2
    exit 1
fi
