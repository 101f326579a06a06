#!/usr/bin/env bash
# Runs the real pendlow binary in the no-timer state with the default reminders for a long time and
# reports how its resident memory grows: a loopback ClickUp with no running timer, the default
# settings but a reminder interval of 60 s, so the floating panel comes for 30 s of every minute and
# the tray icon pulses throughout. RSS is read after a minute of warm-up and at the end; the growth
# in between must stay within 1 MB (exit 1 otherwise). Also prints the mean CPU over the run.
# Runs inside scripts/test-env.sh. Usage: no-timer-soak.sh <build dir> [minutes, default 30]
set -euo pipefail
build_dir=$(cd "$1" && pwd)
minutes=${2:-30}
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../scripts/loopback-session.sh
source "$here/scripts/loopback-session.sh"
trap loopback_cleanup EXIT

start_loopback_clickup --no-timer
configure_pendlow timerReminderInterval=60
start_pendlow
tray_icon_centre >/dev/null
wait_for_entry_fetches 1
sleep 60
rss_start=$(process_rss_kb "$LOOPBACK_APP_PID")
cpu_start=$(process_cpu_ns "$LOOPBACK_APP_PID")
panels=0
samples=()
for minute in $(seq 1 "$minutes"); do
    # One panel a minute: count the ones seen, and keep the RSS at each minute.
    for _ in $(seq 1 12); do
        sleep 5
        if [ -n "$(panel_window)" ]; then
            seen=1
        fi
    done
    if [ "${seen:-0}" = 1 ]; then panels=$((panels + 1)); fi
    seen=0
    samples+=("$(process_rss_kb "$LOOPBACK_APP_PID")")
    kill -0 "$LOOPBACK_APP_PID" 2>/dev/null || loopback_fail "pendlow ended after $minute minutes"
done
rss_end=$(process_rss_kb "$LOOPBACK_APP_PID")
cpu_end=$(process_cpu_ns "$LOOPBACK_APP_PID")
growth=$((rss_end - rss_start))
cpu=$(awk -v d=$((cpu_end - cpu_start)) -v s=$((minutes * 60)) 'BEGIN {printf "%.2f", 100 * d / (s * 1e9)}')

echo "no-timer state for $minutes min (panel seen in $panels of them), RSS by minute (MB):"
printf '%s\n' "${samples[@]}" | awk '{printf " %.1f", $1 / 1024} END {print ""}'
echo "RSS $(awk -v k="$rss_start" 'BEGIN {printf "%.1f", k / 1024}') MB after warm-up," \
    "$(awk -v k="$rss_end" 'BEGIN {printf "%.1f", k / 1024}') MB at the end:" \
    "growth $(awk -v k="$growth" 'BEGIN {printf "%.2f", k / 1024}') MB (budget 1 MB); mean CPU ${cpu} %"
[ "$growth" -le 1024 ] || { echo "OVER BUDGET: memory growth"; exit 1; }
