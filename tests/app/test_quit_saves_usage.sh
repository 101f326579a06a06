#!/usr/bin/env bash
# The real pendlow with usage tracking switched on records the window in front; on SIGTERM it ends the
# open session and saves the day before it exits (0600 in a 0700 folder); SIGHUP does the same. A second
# start on the same data folder, even one without XDG_RUNTIME_DIR, says that Pendlow already runs and
# exits with 0. On an X display of the test's own, so that windows other
# tests put in front stay out of the way.
# Usage: test_quit_saves_usage.sh <build dir>   (inside scripts/test-env.sh)
set -euo pipefail
build_dir=$1
APP_PID=""
WINDOW_PID=""
XVFB_PID=""
work=$(mktemp -d)
cleanup() {
    set +e
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null
    [ -n "$WINDOW_PID" ] && kill "$WINDOW_PID" 2>/dev/null && wait "$WINDOW_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    echo "--- pendlow output"
    cat "$work/pendlow.log" 2>/dev/null
    exit 1
}

# Waits until pendlow's log says it started a session for the probe window; fails with the message.
wait_for_session() {
    for _ in $(seq 1 200); do
        grep -q "Started session: PendlowProbe" "$work/pendlow.log" 2>/dev/null && return 0
        sleep 0.05
    done
    fail "$1"
}

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
XVFB_PID=$!
for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(tr -d '[:space:]' <"$work/display")"

mkdir -p "$work/config/Pendlow" "$work/data"
printf '[General]\nisAppUsageTrackingEnabled=true\n' >"$work/config/Pendlow/Pendlow.conf"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export PENDLOW_CLICKUP_API_URL=http://127.0.0.1:9/api/v2

"$build_dir/tests/pendlow-test-window" pendlow-probe PendlowProbe "plan.txt - Probe" >"$work/window" &
WINDOW_PID=$!
"$build_dir/pendlow" >"$work/pendlow.log" 2>&1 &
APP_PID=$!

wait_for_session "no session for the window in front"
sleep 1.5 # a session must last more than a second to be kept

# A second start on the same data folder leaves at once, also from a session without a runtime folder.
status=0
env -u XDG_RUNTIME_DIR "$build_dir/pendlow" >"$work/second.log" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "the second start exited with $status"
grep -q "already running" "$work/second.log" || { cat "$work/second.log"; fail "the second start did not say why it ended"; }

kill -TERM "$APP_PID"
status=0
wait "$APP_PID" || status=$?
APP_PID=""
[ "$status" -eq 0 ] || fail "pendlow exited with $status after SIGTERM"

day_file="$work/data/Pendlow/usage/$(date +%F).json"
[ -f "$day_file" ] || fail "no day file $day_file"
grep -q '"bundleIdentifier":"PendlowProbe"' "$day_file" || { cat "$day_file"; fail "the open session was not saved"; }
grep -q '"endTime":"' "$day_file" || fail "the saved session has no end"
grep -q '"title":"plan.txt - Probe"' "$day_file" || fail "the window title was not captured"
grep -q "Stopped tracking" "$work/pendlow.log" || fail "tracking did not stop at quit"
[ "$(stat -c %a "$day_file")" = 600 ] || fail "the day file is not the user's alone"
[ "$(stat -c %a "$work/data/Pendlow/usage")" = 700 ] || fail "the usage folder is not the user's alone"

# SIGHUP saves the day like SIGTERM: the new session is added to the file.
"$build_dir/pendlow" >"$work/pendlow.log" 2>&1 &
APP_PID=$!
wait_for_session "no session after the restart"
sleep 1.5
kill -HUP "$APP_PID"
status=0
wait "$APP_PID" || status=$?
APP_PID=""
[ "$status" -eq 0 ] || fail "pendlow exited with $status after SIGHUP"
sessions=$(grep -o '"bundleIdentifier":"PendlowProbe"' "$day_file" | wc -l)
[ "$sessions" -eq 2 ] || { cat "$day_file"; fail "SIGHUP did not save the session ($sessions in the file)"; }
echo "PASS"
