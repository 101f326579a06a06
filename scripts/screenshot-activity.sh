#!/usr/bin/env bash
# Renders the popover's Activity tab of the real pendlow binary with a sample day (seven applications,
# browser pages and an e-mail) under the throw-away Xvfb session of scripts/test-env.sh, and saves it
# as a PNG (for the README).
# Usage: scripts/screenshot-activity.sh [build dir]    (writes docs/images/activity.png)
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p docs/images
out="$PWD/docs/images/activity.png"

export BUILD_DIR=${1:-build}
# On the Xfce test desktop (xfwm4, xfce4-panel and its tray), as a user sees it; PENDLOW_TEST_DESKTOP=
# (empty) takes it under trayer instead.
export PENDLOW_TEST_DESKTOP=${PENDLOW_TEST_DESKTOP-xfce}
cmake -S . -B "$BUILD_DIR" -G Ninja -Wno-dev >/dev/null
cmake --build "$BUILD_DIR" --target pendlow pendlow-fake-clickup pendlow-test-keyring pendlow-grab-window >/dev/null

PENDLOW_SCREENSHOT="$out" scripts/test-env.sh bash -c '
    set -euo pipefail
    build_dir=$(cd "$BUILD_DIR" && pwd)
    source scripts/loopback-session.sh
    trap loopback_cleanup EXIT

    # The sample day, in the day file the tracker reads at start.
    day=$(date +%F)
    at() { date -u -d "$day $1" +%Y-%m-%dT%H:%M:%SZ; }
    n=0
    session() { # id app name start end [captures json]
        n=$((n + 1))
        printf "{\"id\":\"00000000-0000-4000-8000-%012d\",\"bundleIdentifier\":\"%s\",\"appName\":\"%s\",\"startTime\":\"%s\",\"endTime\":\"%s\",\"windowCaptures\":[%s]}" \
            "$n" "$1" "$2" "$(at "$3")" "$(at "$4")" "${5:-}"
    }
    capture() { # title time [url] [subject]
        n=$((n + 1))
        printf "{\"id\":\"00000000-0000-4000-9000-%012d\",\"title\":\"%s\",\"capturedAt\":\"%s\",\"isRedacted\":false%s%s}" \
            "$n" "$1" "$(at "$2")" "${3:+,\"url\":\"$3\"}" "${4:+,\"emailSubject\":\"$4\"}"
    }
    mkdir -p "$XDG_DATA_HOME/Pendlow/usage"
    {
        printf "{\"date\":\"%s\",\"sessions\":[" "$day"
        session com.microsoft.VSCode "Visual Studio Code" 08:00 09:40 \
            "$(capture "planner.ts - pendlow - Visual Studio Code" 08:05)"; printf ,
        session org.mozilla.firefox Firefox 09:40 10:25 \
            "$(capture "Sprint board — Mozilla Firefox" 09:45 https://app.clickup.com/t/86abc)"; printf ,
        session org.mozilla.thunderbird Thunderbird 10:25 10:50 \
            "$(capture "Re: Quarterly numbers - Mozilla Thunderbird" 10:30 "" "Re: Quarterly numbers")"; printf ,
        session com.tinyspeck.slackmacgap Slack 10:50 11:20 "$(capture "design-review (Channel) - Brisvane - Slack" 10:55)"; printf ,
        session com.apple.Terminal Terminal 11:20 12:00 "$(capture "make test" 11:25)"; printf ,
        session com.figma.Desktop Figma 13:00 13:20; printf ,
        session org.gnome.Nautilus Files 13:20 13:30
        printf "]}"
    } >"$XDG_DATA_HOME/Pendlow/usage/$day.json"

    start_loopback_clickup
    configure_pendlow showActiveTimerReminder=false isAppUsageTrackingEnabled=true selectedContentTab=activity
    start_pendlow
    read -r icon_x icon_y < <(tray_icon_centre)
    wait_for_entry_fetches 1
    xdotool mousemove "$icon_x" "$icon_y" click 1
    for _ in $(seq 1 100); do
        window=$(popover_window)
        [ -n "$window" ] && break
        sleep 0.05
    done
    [ -n "$window" ] || loopback_fail "the popover did not open"
    sleep 1.5
    "$build_dir/tests/pendlow-grab-window" "$window" "$PENDLOW_SCREENSHOT"
' >/dev/null
echo "$out"
