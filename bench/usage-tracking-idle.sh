#!/usr/bin/env bash
# Idle CPU of the real pendlow binary with app-usage tracking on, measured side by side with the same
# binary with tracking off: both run at the same time on the same display (each with settings, data
# and runtime folders of its own), signed in to a loopback ClickUp, popover closed, with a window of
# another application in front whose title the tracker captures. Each figure is the CPU time of all
# the process's threads over the window, in percent of one core.
# Budget: on at most 1.5 x off (with 0.02 percentage points allowed for the noise of figures this
# small); exits 1 when it is exceeded.
# Runs inside scripts/test-env.sh. Usage: usage-tracking-idle.sh <build dir> [seconds]
set -euo pipefail
build_dir=$(cd "$1" && pwd)
seconds=${2:-60}
here=$(cd "$(dirname "$0")/.." && pwd)
ON_PID=""
OFF_PID=""
WINDOW_PID=""
# shellcheck source=../scripts/loopback-session.sh
source "$here/scripts/loopback-session.sh"
cleanup() {
    set +e
    for pid in "$ON_PID" "$OFF_PID" "$WINDOW_PID"; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    loopback_cleanup
}
trap cleanup EXIT

start_loopback_clickup --no-timer
printf '%s\n' pk_loopback_0123456789 | "$build_dir/tests/pendlow-test-keyring" set clickup-api-token ||
    loopback_fail "cannot store the token"

# start_instance <name> <tracking true|false>: prints the PID.
start_instance() {
    local home="$LOOPBACK_DIR/$1"
    mkdir -p "$home/config/Pendlow" "$home/data" "$home/runtime"
    chmod 700 "$home/runtime"
    printf '[General]\nteamId=9001\ntimerReminderInterval=3600\nuseFloatingAlert=false\nuseMenuBarPulsing=false\nisAppUsageTrackingEnabled=%s\n' \
        "$2" >"$home/config/Pendlow/Pendlow.conf"
    XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/runtime" \
        PENDLOW_CLICKUP_API_URL="http://127.0.0.1:$LOOPBACK_PORT/api/v2" \
        "$build_dir/pendlow" >"$home/pendlow.log" 2>&1 &
    echo $!
}

"$build_dir/tests/pendlow-test-window" pendlow-probe PendlowProbe "plan.txt - Probe" >/dev/null &
WINDOW_PID=$!
ON_PID=$(start_instance on true)
OFF_PID=$(start_instance off false)
for _ in $(seq 1 200); do
    grep -q "Started session: PendlowProbe" "$LOOPBACK_DIR/on/pendlow.log" 2>/dev/null && break
    sleep 0.05
done
grep -q "Started session: PendlowProbe" "$LOOPBACK_DIR/on/pendlow.log" ||
    loopback_fail "the tracking instance opened no session"
sleep 5

before_on=$(process_cpu_ns "$ON_PID")
before_off=$(process_cpu_ns "$OFF_PID")
sleep "$seconds"
after_on=$(process_cpu_ns "$ON_PID")
after_off=$(process_cpu_ns "$OFF_PID")
kill -0 "$ON_PID" && kill -0 "$OFF_PID" || loopback_fail "an instance ended during the measurement"

awk -v on=$((after_on - before_on)) -v off=$((after_off - before_off)) -v s="$seconds" 'BEGIN {
    con = 100 * on / (s * 1e9); coff = 100 * off / (s * 1e9)
    ratio = coff > 0 ? con / coff : 0
    printf "idle CPU over %d s: tracking on %.3f %%, off %.3f %% of a core (ratio %.2f, budget 1.5)\n", s, con, coff, ratio
    exit (con <= 1.5 * coff + 0.02) ? 0 : 1
}'
