# Shared by bench/popover-performance.sh and scripts/screenshot-popover.sh: the real pendlow binary
# signed in to a loopback ClickUp (tests/support/tools/pendlow_fake_clickup) inside scripts/test-env.sh,
# and the tray icon and popover as the X display shows them. Source it with build_dir set.
LOOPBACK_SERVER_PID=""
LOOPBACK_APP_PID=""
LOOPBACK_DIR=$(mktemp -d)
LOOPBACK_APP_LOG="$LOOPBACK_DIR/pendlow.log"
LOOPBACK_REQUESTS="$LOOPBACK_DIR/requests.log"
# The bare Qt tray that benchmarks measure pendlow beside (PENDLOW_BARE_TRAY names another build of
# it); BARE_PID is its process while one runs, stopped with the rest.
bare_tray=${PENDLOW_BARE_TRAY:-$build_dir/bench/pendlow-bare-tray}
BARE_PID=""

loopback_cleanup() {
    set +e
    [ -n "$BARE_PID" ] && kill "$BARE_PID" 2>/dev/null && wait "$BARE_PID" 2>/dev/null
    [ -n "$LOOPBACK_APP_PID" ] && kill "$LOOPBACK_APP_PID" 2>/dev/null && wait "$LOOPBACK_APP_PID" 2>/dev/null
    [ -n "$LOOPBACK_SERVER_PID" ] && kill "$LOOPBACK_SERVER_PID" 2>/dev/null &&
        wait "$LOOPBACK_SERVER_PID" 2>/dev/null
    rm -rf "$LOOPBACK_DIR"
}

loopback_fail() {
    echo "FAIL: $*" >&2
    [ -f "$LOOPBACK_APP_LOG" ] && cat "$LOOPBACK_APP_LOG" >&2
    exit 1
}

# start_loopback_clickup [server options]: serves a running timer and today's entries.
start_loopback_clickup() {
    local port_file="$LOOPBACK_DIR/port"
    "$build_dir/tests/pendlow-fake-clickup" --port-file "$port_file" --log "$LOOPBACK_REQUESTS" "$@" &
    LOOPBACK_SERVER_PID=$!
    for _ in $(seq 1 100); do
        [ -s "$port_file" ] && break
        sleep 0.05
    done
    [ -s "$port_file" ] || loopback_fail "the loopback ClickUp did not start"
    LOOPBACK_PORT=$(tr -d '[:space:]' <"$port_file")
}

# configure_pendlow [settings lines]: a ClickUp token in the keyring, team id 9001 and the given
# "key=value" settings.
configure_pendlow() {
    printf '%s\n' pk_loopback_0123456789 | "$build_dir/tests/pendlow-test-keyring" set clickup-api-token ||
        loopback_fail "cannot store the token"
    mkdir -p "$XDG_CONFIG_HOME/Pendlow"
    { printf '[General]\nteamId=9001\n'; printf '%s\n' "$@"; } >"$XDG_CONFIG_HOME/Pendlow/Pendlow.conf"
}

start_pendlow() {
    PENDLOW_CLICKUP_API_URL="http://127.0.0.1:$LOOPBACK_PORT/api/v2" "$build_dir/pendlow" >"$LOOPBACK_APP_LOG" 2>&1 &
    LOOPBACK_APP_PID=$!
}

# Prints "x y" of the centre of pendlow's icon in the session's tray, once the tray shows it: in
# trayer's panel (the icon is an XEmbed window of ours; another program's icon with its WM_CLASS
# instance name as argument), or on the Xfce test desktop (PENDLOW_TEST_DESKTOP=xfce) in xfce4-panel's
# tray, where the StatusNotifierItem has no window of its own: there the tray is the panel plugin's
# embedded window, which holds only our item.
tray_icon_centre() {
    if [ "${PENDLOW_TEST_DESKTOP:-}" = xfce ]; then
        xfce_tray_icon_centre
        return
    fi
    local panel icon info instance=${1:-pendlow}
    for _ in $(seq 1 200); do
        panel=$(xwininfo -root -tree 2>/dev/null | awk '/\("panel" "trayer"\)/ {print $1; exit}' || true)
        if [ -n "$panel" ]; then
            icon=$(xwininfo -tree -id "$panel" 2>/dev/null |
                awk -v want="(\"$instance\" " 'index($0, want) {print $1; exit}' || true)
            if [ -n "$icon" ]; then
                info=$(xwininfo -id "$icon" 2>/dev/null) || continue
                window_centre <<<"$info"
                return 0
            fi
        fi
        sleep 0.05
    done
    loopback_fail "the tray icon was not embedded"
}

# The centre "x y" of a window from its xwininfo output on stdin.
window_centre() {
    awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2}
         /Height:/ {h=$2} END {print int(x + w / 2), int(y + h / 2)}'
}

# The X client (its WM_CLIENT_LEADER) that owns the tray selection of screen 0: xfce4-panel's tray
# plugin, which runs in a wrapper process of its own. Nothing when no tray runs.
xfce_tray_client() {
    local owner
    for owner in $(xwininfo -root -tree 2>/dev/null | awk '/"wrapper-2.0"/ {print $1}'); do
        if xprop -id "$owner" _NET_SYSTEM_TRAY_ORIENTATION 2>/dev/null | grep -q '= '; then
            xprop -id "$owner" WM_CLIENT_LEADER 2>/dev/null | awk '/window id/ {print $NF; exit}'
            return 0
        fi
    done
}

# Whether the session's StatusNotifierWatcher lists pendlow's item (its bus name holds the PID of the
# pendlow that start_pendlow started; any item when it started none).
pendlow_item_registered() {
    gdbus call --session --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher \
        --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher \
        RegisteredStatusNotifierItems 2>/dev/null | grep -q "StatusNotifierItem-${LOOPBACK_APP_PID:-[0-9]*}-"
}

xfce_tray_icon_centre() {
    local leader panel plug info width
    for _ in $(seq 1 200); do
        leader=$(xfce_tray_client || true)
        panel=$(xwininfo -root -tree 2>/dev/null | awk '/\("xfce4-panel" "Xfce4-panel"\)/ && !/10x10\+/ {print $1; exit}' || true)
        if [ -n "$leader" ] && [ -n "$panel" ] && pendlow_item_registered; then
            # The plugin's window embedded in the panel: the one of the tray's client.
            for plug in $(xwininfo -tree -id "$panel" 2>/dev/null | awk '/"wrapper-2.0"/ {print $1}'); do
                xprop -id "$plug" WM_CLIENT_LEADER 2>/dev/null | grep -q "window id # $leader\$" || continue
                info=$(xwininfo -id "$plug" 2>/dev/null) || continue
                # An empty tray is 1 px wide; it widens to a square per item once it shows ours.
                width=$(awk '/Width:/ {print $2}' <<<"$info")
                if [ "${width:-0}" -gt 8 ]; then
                    window_centre <<<"$info"
                    return 0
                fi
            done
        fi
        sleep 0.05
    done
    loopback_fail "xfce4-panel's tray does not show the item"
}

# The id of a program's viewable top-level window of the given width (its WM_CLASS instance name and
# the width), or nothing.
viewable_window() {
    local instance=$1 width=$2 id
    for id in $(xwininfo -root -children 2>/dev/null |
        awk -v want="(\"$instance\" " -v wide=" ${width}x" 'index($0, want) && index($0, wide) {print $1}'); do
        if xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
            echo "$id"
            return 0
        fi
    done
}

# The id of the popover (pendlow's viewable top-level window 340 wide), or nothing.
popover_window() {
    viewable_window pendlow 340
}

# Waits until the request log holds at least n time-entry requests (n refreshes have fetched).
wait_for_entry_fetches() {
    local n=$1
    for _ in $(seq 1 200); do
        [ "$(grep -c 'time_entries?' "$LOOPBACK_REQUESTS" 2>/dev/null)" -ge "$n" ] && return 0
        sleep 0.05
    done
    loopback_fail "pendlow did not fetch today's entries"
}

# Ends the pendlow started by start_pendlow (by its PID) and forgets it.
stop_pendlow() {
    if [ -n "$LOOPBACK_APP_PID" ]; then
        kill "$LOOPBACK_APP_PID" 2>/dev/null || true
        wait "$LOOPBACK_APP_PID" 2>/dev/null || true
        LOOPBACK_APP_PID=""
    fi
}

# The id of the floating no-timer panel (pendlow's viewable top-level window 380x200), or nothing.
panel_window() {
    local id
    for id in $(xwininfo -root -children 2>/dev/null | awk '/\("pendlow" "Pendlow"\) +380x200/ {print $1}'); do
        if xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
            echo "$id"
            return 0
        fi
    done
}

# CPU time in nanoseconds that all threads of a process have used so far.
process_cpu_ns() {
    local pid=$1
    cat /proc/"$pid"/task/*/schedstat 2>/dev/null | awk '{sum += $1} END {printf "%.0f", sum}'
}

# The CPU of a process over some seconds, in percent of one core, two decimals.
process_cpu_percent() {
    local pid=$1 seconds=$2 before after
    before=$(process_cpu_ns "$pid")
    sleep "$seconds"
    after=$(process_cpu_ns "$pid")
    awk -v d=$((after - before)) -v s="$seconds" 'BEGIN {printf "%.2f", 100 * d / (s * 1e9)}'
}

# Resident memory of a process in kilobytes.
process_rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
