#!/usr/bin/env bash
# Runs a command inside a throw-away desktop session:
#   a fresh HOME and XDG tree, Xvfb (1920x1080), the XEmbed tray host trayer,
#   a private D-Bus session bus and an unlocked gnome-keyring (Secret Service).
# Everything it starts is stopped by PID when the command ends; the tree is removed.
# Usage: scripts/test-env.sh <command> [args...]
# Environment: PENDLOW_KEEP_ENV=1 keeps the temporary tree (its path is printed).
#   PENDLOW_TEST_DESKTOP=xfce: a real Xfce desktop in place of trayer: the window manager xfwm4 and
#   xfce4-panel (one top panel with its tray, which hosts StatusNotifierItems and XEmbed icons),
#   started inside the session bus; the command starts once the panel's tray watches for items.
set -euo pipefail

if [ $# -eq 0 ]; then
    echo "usage: $0 <command> [args...]" >&2
    exit 2
fi

XVFB_PID=""
TRAYER_PID=""
ENV_ROOT=""

cleanup() {
    set +e
    [ -n "$TRAYER_PID" ] && kill "$TRAYER_PID" 2>/dev/null && wait "$TRAYER_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    if [ -n "$ENV_ROOT" ]; then
        if [ "${PENDLOW_KEEP_ENV:-0}" = 1 ]; then
            echo "test environment kept in $ENV_ROOT" >&2
        else
            rm -rf "$ENV_ROOT"
        fi
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

ENV_ROOT=$(mktemp -d /tmp/pendlow-env.XXXXXX)
export HOME="$ENV_ROOT/home"
export XDG_CONFIG_HOME="$ENV_ROOT/config"
export XDG_DATA_HOME="$ENV_ROOT/data"
export XDG_CACHE_HOME="$ENV_ROOT/cache"
export XDG_RUNTIME_DIR="$ENV_ROOT/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export PENDLOW_TEST_ENV_ROOT="$ENV_ROOT"
unset DBUS_SESSION_BUS_ADDRESS XDG_CURRENT_DESKTOP WAYLAND_DISPLAY SESSION_MANAGER
export TZ="${TZ:-Europe/Amsterdam}"
export QT_QPA_PLATFORM=xcb
export QTWEBENGINE_DISABLE_SANDBOX=1
export LC_ALL=C.UTF-8

# Xvfb picks a free display number and writes it to fd 3.
display_file="$ENV_ROOT/display"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$display_file" >"$ENV_ROOT/xvfb.log" 2>&1 &
XVFB_PID=$!
for _ in $(seq 1 100); do
    [ -s "$display_file" ] && break
    if ! kill -0 "$XVFB_PID" 2>/dev/null; then
        echo "Xvfb failed to start:" >&2
        cat "$ENV_ROOT/xvfb.log" >&2
        exit 1
    fi
    sleep 0.05
done
export DISPLAY=":$(tr -d '[:space:]' <"$display_file")"

if [ "${PENDLOW_TEST_DESKTOP:-}" = xfce ]; then
    mkdir -p "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml"
    cp "$(dirname "$0")/xfce-panel.xml" "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml"
    export PENDLOW_TEST_DESKTOP
else
    trayer --edge top --align right --widthtype request --height 32 >"$ENV_ROOT/trayer.log" 2>&1 &
    TRAYER_PID=$!
fi

# Inside a private session bus: an unlocked keyring, then the command.
set +e
dbus-run-session -- bash -c '
    set -u
    KEYRING_PID=""
    WM_PID=""
    PANEL_PID=""
    stop_one() { [ -n "$1" ] && kill "$1" 2>/dev/null && wait "$1" 2>/dev/null; }
    stop_session() { stop_one "$PANEL_PID"; stop_one "$WM_PID"; stop_one "$KEYRING_PID"; }
    trap stop_session EXIT
    # Waits until the name has an owner on the session bus, at most tries times 50 ms.
    wait_for_bus_name() {
        for _ in $(seq 1 "$2"); do
            dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
                org.freedesktop.DBus.NameHasOwner string:"$1" 2>/dev/null | grep -q "boolean true" && return 0
            sleep 0.05
        done
    }
    printf %s pendlow-test | gnome-keyring-daemon --foreground --unlock --components=secrets \
        >"$PENDLOW_TEST_ENV_ROOT/keyring.log" 2>&1 &
    KEYRING_PID=$!
    wait_for_bus_name org.freedesktop.secrets 100
    if [ "${PENDLOW_TEST_DESKTOP:-}" = xfce ]; then
        xfwm4 --compositor=off >"$PENDLOW_TEST_ENV_ROOT/xfwm4.log" 2>&1 &
        WM_PID=$!
        for _ in $(seq 1 100); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
            sleep 0.05
        done
        xfce4-panel --disable-wm-check >"$PENDLOW_TEST_ENV_ROOT/xfce4-panel.log" 2>&1 &
        PANEL_PID=$!
        wait_for_bus_name org.kde.StatusNotifierWatcher 200
    fi
    "$@"
' pendlow-test-session "$@"
status=$?
exit $status
