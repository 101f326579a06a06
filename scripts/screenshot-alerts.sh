#!/usr/bin/env bash
# Takes a PNG screenshot of each reminder window (no-timer toast, active-timer toast, floating
# panel) under the throw-away Xvfb session of scripts/test-env.sh, so a person can look at them.
# Usage: scripts/screenshot-alerts.sh [output folder]    (default: build/alert-screenshots)
# Writes no-timer-toast.png, active-timer-toast.png, floating-panel.png, floating-panel-pulse-rest.png
# and floating-panel-pulse-widest.png (the panel's pulse at two phases), both-toasts.png (the no-timer
# toast over the active-timer toast, as they overlap) and screen.png (the whole screen).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/alert-screenshots}
mkdir -p "$out"
out=$(cd "$out" && pwd)

cmake -S . -B build -G Ninja -Wno-dev >/dev/null
cmake --build build --target test_ui_alerts_AlertWindows >/dev/null
PENDLOW_ALERT_SCREENSHOTS="$out" scripts/test-env.sh build/tests/test_ui_alerts_AlertWindows screenshots >/dev/null
ls "$out"/*.png
