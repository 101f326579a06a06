#!/usr/bin/env bash
# The real pendlow binary against a loopback ClickUp (PENDLOW_CLICKUP_API_URL):
#  - without a ClickUp token in the keyring, the launch refresh logs "ClickUp not configured,
#    skipping refresh" once and nothing is sent;
#  - with a token in the keyring and "teamId" set, the launch performs one refresh: the current
#    timer and today's entries (from local midnight), once each, with the token, and nothing else;
#    the refresh's log lines appear once and the token never reaches the log.
# Usage: test_launch_refresh.sh <build dir>   (inside scripts/test-env.sh)
set -euo pipefail
build_dir=$1
tools=$build_dir/tests
work=$(mktemp -d)
APP_PID=""
SERVER_PID=""
TOKEN_STORED=""

cleanup() {
    set +e
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null
    [ -n "$SERVER_PID" ] && kill "$SERVER_PID" 2>/dev/null && wait "$SERVER_PID" 2>/dev/null
    [ -n "$TOKEN_STORED" ] && "$tools/pendlow-test-keyring" delete clickup-api-token
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    for f in "$work"/*.log; do
        echo "--- $(basename "$f")"
        cat "$f"
    done
    exit 1
}

# Waits up to 10 s until the command succeeds.
wait_for() {
    for _ in $(seq 1 200); do
        if "$@"; then
            return 0
        fi
        sleep 0.05
    done
    return 1
}

count() { grep -cF -- "$1" "$2" || true; }
# at_least <n> <text> <file>: the file holds the text on n lines or more.
at_least() { [ "$(count "$2" "$3")" -ge "$1" ]; }

token=pk_81234567_SYSTEMTESTTOKEN0123456789
team=9001

"$tools/pendlow-fake-clickup" --port-file "$work/port" --log "$work/requests.log" 2>"$work/server.log" &
SERVER_PID=$!
wait_for test -s "$work/port" || fail "the loopback ClickUp did not start"
api="http://127.0.0.1:$(tr -d '[:space:]' <"$work/port")/api/v2"

# Starts pendlow with settings of its own: the team id and debug logging (so the refresh's info and
# debug lines are written too).
start_app() {
    local name=$1
    mkdir -p "$work/$name/config/Pendlow" "$work/$name/data" "$work/$name/cache"
    printf '[General]\nteamId=%s\ndebugLoggingEnabled=true\n' "$team" >"$work/$name/config/Pendlow/Pendlow.conf"
    XDG_CONFIG_HOME="$work/$name/config" XDG_DATA_HOME="$work/$name/data" XDG_CACHE_HOME="$work/$name/cache" \
        PENDLOW_CLICKUP_API_URL="$api" "$build_dir/pendlow" >"$work/$name.log" 2>&1 &
    APP_PID=$!
}

stop_app() {
    kill -0 "$APP_PID" 2>/dev/null || fail "pendlow exited by itself"
    kill "$APP_PID"
    wait "$APP_PID" 2>/dev/null || true
    APP_PID=""
}

# --- no token: the launch refresh stops after loading the configuration ---
"$tools/pendlow-test-keyring" delete clickup-api-token || fail "could not clear the keyring item"
start_app no-token
wait_for at_least 1 'ClickUp not configured, skipping refresh' "$work/no-token.log" ||
    fail "no-token: the skip line was not logged"
sleep 0.5
stop_app
[ "$(count 'ClickUp not configured, skipping refresh' "$work/no-token.log")" -eq 1 ] ||
    fail "no-token: the skip line was logged more than once"
grep -qF '[API] ClickUp not configured, skipping refresh' "$work/no-token.log" ||
    fail "no-token: the skip line lacks its category"
[ ! -s "$work/requests.log" ] || fail "no-token: requests were sent"

# --- token and team id: one refresh of two requests ---
printf '%s\n' "$token" | "$tools/pendlow-test-keyring" set clickup-api-token || fail "could not store the token"
TOKEN_STORED=1
start_app configured
current="GET /api/v2/team/$team/time_entries/current auth=yes"
midnight_ms="$(date -d 'today 00:00' +%s)000"
entries="GET /api/v2/team/$team/time_entries?start_date=$midnight_ms auth=yes"
wait_for at_least 1 "$current" "$work/requests.log" ||
    fail "configured: the launch refresh did not ask for the current timer"
wait_for at_least 1 "$entries" "$work/requests.log" ||
    fail "configured: the launch refresh did not ask for today's entries"
wait_for at_least 1 'Fetched 2 time entries' "$work/configured.log" ||
    fail "configured: the entries were not stored"
# The period is 60 s: nothing more comes within a second.
sleep 1
[ "$(wc -l <"$work/requests.log")" -eq 2 ] || fail "configured: the launch sent more than one timer and one entry request"

log=$work/configured.log
for line in \
    "[Timer] fetchActiveTimer() called with teamId: $team" \
    "[Timer] Received timer from API: YES" \
    "[Timer] fetchActiveTimer() completed. hasActiveTimer: true" \
    "[API] fetchTimeEntries() called with teamId: $team" \
    "[API] Fetched 2 time entries"; do
    [ "$(count "$line" "$log")" -eq 1 ] || fail "configured: expected once in the log: $line"
done
! grep -qF 'ClickUp not configured' "$log" || fail "configured: the refresh was skipped"
! grep -qF "${token:0:8}" "$log" || fail "configured: the token reached the log"
stop_app

echo "PASS: no token: 1 skipped refresh, no requests; token: 1 refresh of 2 requests"
