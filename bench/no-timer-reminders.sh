#!/usr/bin/env bash
# Measures the CPU of the real pendlow binary while no timer runs (a loopback ClickUp with no running
# timer), in the three states the no-timer reminders leave it in:
#   panel    the floating no-timer panel shown (it pulses) and the tray icon pulsing
#   icon     only the tray icon pulsing (the panel switched off)
#   off      the panel and the pulsing switched off
# beside the floor of a bare Qt tray icon that sets its tooltip once a second, measured in the same
# run. Each figure is the CPU time of all the process's threads over the window, in percent of one
# core. Budgets: panel 1.0 %, icon 0.3 %; exits 1 when one is exceeded.
# Runs inside scripts/test-env.sh. Usage: no-timer-reminders.sh <build dir> [seconds per state]
# PENDLOW_BARE_TRAY names another bare tray program (default <build dir>/bench/pendlow-bare-tray).
set -euo pipefail
build_dir=$(cd "$1" && pwd)
seconds=${2:-30}
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../scripts/loopback-session.sh
source "$here/scripts/loopback-session.sh"
trap loopback_cleanup EXIT

start_loopback_clickup --no-timer

# measure_state <name> <settings...>: starts pendlow with the settings, waits until it has fetched
# (and, for the panel, until the panel is on screen), lets it settle, and prints "<cpu> <rss kb>".
measure_state() {
    local name=$1 cpu rss
    shift
    # A refresh period of an hour: one refresh at launch, then only the reminders under test.
    configure_pendlow timerReminderInterval=3600 "$@"
    start_pendlow
    tray_icon_centre >/dev/null
    wait_for_entry_fetches 1
    if [ "$name" = panel ]; then
        for _ in $(seq 1 100); do
            [ -n "$(panel_window)" ] && break
            sleep 0.05
        done
        [ -n "$(panel_window)" ] || loopback_fail "the no-timer panel did not appear"
    fi
    sleep 3
    cpu=$(process_cpu_percent "$LOOPBACK_APP_PID" "$seconds")
    if [ "$name" = panel ] && [ -z "$(panel_window)" ]; then
        loopback_fail "the no-timer panel closed during the measurement"
    fi
    rss=$(process_rss_kb "$LOOPBACK_APP_PID")
    stop_pendlow
    echo "$cpu $rss"
}

read -r cpu_panel rss_panel < <(measure_state panel alertAutoDismissSeconds=86400)
read -r cpu_icon rss_icon < <(measure_state icon useFloatingAlert=false)
read -r cpu_off rss_off < <(measure_state off useFloatingAlert=false useMenuBarPulsing=false)

[ -x "$bare_tray" ] || loopback_fail "no bare tray program at $bare_tray"
"$bare_tray" >/dev/null 2>&1 &
BARE_PID=$!
sleep 3
cpu_bare=$(process_cpu_percent "$BARE_PID" "$seconds")
kill "$BARE_PID" && wait "$BARE_PID" 2>/dev/null || true
BARE_PID=""

echo "no timer running, CPU over ${seconds} s (percent of one core):"
echo "  panel shown and icon pulsing:  ${cpu_panel} %   (RSS $((rss_panel / 1024)) MB, budget 1.0 %)"
echo "  icon pulsing only:             ${cpu_icon} %   (RSS $((rss_icon / 1024)) MB, budget 0.3 %)"
echo "  panel and pulsing off:         ${cpu_off} %   (RSS $((rss_off / 1024)) MB)"
echo "  bare Qt tray icon, 1 Hz tooltip: ${cpu_bare} %"

status=0
awk -v c="$cpu_panel" 'BEGIN {exit !(c <= 1.0)}' || { echo "OVER BUDGET: panel shown"; status=1; }
awk -v c="$cpu_icon" 'BEGIN {exit !(c <= 0.3)}' || { echo "OVER BUDGET: icon pulsing"; status=1; }
exit $status
