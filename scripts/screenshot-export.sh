#!/usr/bin/env bash
# Renders the export dialog with a sample day and an AI summary under the throw-away Xvfb session of
# scripts/test-env.sh and saves it as a PNG (for the README).
# Usage: scripts/screenshot-export.sh [build dir]    (writes docs/images/export.png)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
# On the Xfce test desktop (xfwm4, xfce4-panel and its tray), as a user sees it; PENDLOW_TEST_DESKTOP=
# (empty) takes it under trayer instead.
export PENDLOW_TEST_DESKTOP=${PENDLOW_TEST_DESKTOP-xfce}
cmake -S . -B "$build" -G Ninja -Wno-dev >/dev/null
cmake --build "$build" --target test_ui_reports_ExportScreenshot >/dev/null
mkdir -p docs/images
PENDLOW_SCREENSHOT_DIR="$(pwd)/docs/images" scripts/test-env.sh "$build/tests/test_ui_reports_ExportScreenshot" >/dev/null
echo docs/images/export.png
