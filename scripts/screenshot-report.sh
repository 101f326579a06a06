#!/usr/bin/env bash
# Renders the "App Usage Report" window's two tabs at the size it opens with (a seeded history and a
# planned day) under the throw-away Xvfb session of scripts/test-env.sh and saves them as PNGs (for
# the README).
# Usage: scripts/screenshot-report.sh [build dir]    (writes docs/images/report.png, report-planning.png)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
# On the Xfce test desktop (xfwm4, xfce4-panel and its tray), as a user sees it; PENDLOW_TEST_DESKTOP=
# (empty) takes it under trayer instead.
export PENDLOW_TEST_DESKTOP=${PENDLOW_TEST_DESKTOP-xfce}
cmake -S . -B "$build" -G Ninja -Wno-dev >/dev/null
cmake --build "$build" --target test_ui_reports_ReportScreenshot >/dev/null
mkdir -p docs/images
PENDLOW_SCREENSHOT_DIR="$(pwd)/docs/images" scripts/test-env.sh "$build/tests/test_ui_reports_ReportScreenshot" >/dev/null
echo docs/images/report.png docs/images/report-planning.png
