#!/usr/bin/env bash
# Measures the real pendlow binary with a running timer and 200 time entries of today, served by a
# loopback ClickUp: the time from a click on the tray icon to the popover being mapped (first
# opening and the median of later ones), the resident memory with the popover open, and the CPU the
# process uses while idle (popover closed and open) over a window of seconds.
# Budgets: popover shown within 100 ms of the click; 45 MB resident with the popover open; idle CPU
# about 0.1 %. Exits 1 when a budget is exceeded.
# Runs inside scripts/test-env.sh. Usage: popover-performance.sh <build dir> [opens] [idle seconds]
set -euo pipefail
build_dir=$(cd "$1" && pwd)
opens=${2:-9}
idle_seconds=${3:-20}
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../scripts/loopback-session.sh
source "$here/scripts/loopback-session.sh"
trap loopback_cleanup EXIT

# Presses the mouse button on the icon (the tray reports the click on the press) and prints the
# milliseconds until the popover is mapped ("open") or unmapped ("close"); then releases it. The time
# includes starting xdotool and the polling of the display (a few milliseconds each).
click_and_time() {
    local want=$1 start end window
    xdotool mousemove "$icon_x" "$icon_y"
    start=$(date +%s%N)
    xdotool mousedown 1
    for _ in $(seq 1 2000); do
        window=$(popover_window)
        if [ "$want" = open ] && [ -n "$window" ]; then break; fi
        if [ "$want" = close ] && [ -z "$window" ]; then break; fi
    done
    end=$(date +%s%N)
    xdotool mouseup 1
    echo $(((end - start) / 1000000))
}

rss_mb() { awk '/^VmRSS:/ {printf "%.1f", $2 / 1024}' "/proc/$LOOPBACK_APP_PID/status"; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$LOOPBACK_APP_PID/stat"; }
idle_cpu_percent() {
    local before after hz
    hz=$(getconf CLK_TCK)
    before=$(cpu_ticks)
    sleep "$idle_seconds"
    after=$(cpu_ticks)
    awk -v t=$((after - before)) -v hz="$hz" -v s="$idle_seconds" 'BEGIN {printf "%.2f", 100 * t / hz / s}'
}

start_loopback_clickup --entries 200
# A long refresh period keeps the periodic refresh out of the idle measurement; no reminder toast.
configure_pendlow timerReminderInterval=3600 showActiveTimerReminder=false
start_pendlow
read -r icon_x icon_y < <(tray_icon_centre)
wait_for_entry_fetches 1
sleep 1
rss_closed=$(rss_mb)
cpu_closed=$(idle_cpu_percent)

first=$(click_and_time open)
[ -n "$(popover_window)" ] || loopback_fail "the popover did not open"
sleep 1
rss_open=$(rss_mb)
cpu_open=$(idle_cpu_percent)
grep -qi webengine "/proc/$LOOPBACK_APP_PID/maps" && loopback_fail "QtWebEngine is mapped into the tray process"

times=()
for _ in $(seq 1 "$opens"); do
    sleep 0.5
    click_and_time close >/dev/null
    sleep 0.5
    times+=("$(click_and_time open)")
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
median=${sorted[$((${#sorted[@]} / 2))]}
worst=${sorted[-1]}
rss_after=$(rss_mb)

echo "popover shown after the click: first ${first} ms, median ${median} ms, worst ${worst} ms over $opens openings (budget 100 ms)"
echo "resident memory: ${rss_closed} MB before the first opening, ${rss_open} MB with the popover open and 200 entries, ${rss_after} MB after $opens more openings (budget 45 MB)"
echo "idle CPU over ${idle_seconds} s: ${cpu_closed} % with the popover closed, ${cpu_open} % with it open (aim 0.1 %)"

status=0
[ "$median" -le 100 ] || { echo "OVER BUDGET: popover opening"; status=1; }
awk -v r="$rss_open" 'BEGIN {exit !(r <= 45)}' || { echo "OVER BUDGET: resident memory"; status=1; }
exit $status
