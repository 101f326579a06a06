#!/usr/bin/env bash
# The application on a real Xfce desktop (xfwm4, xfce4-panel and its tray), a session of its own:
# runs tst_XfceDesktop (the popover under the tray icon, no panel tooltip over it) there.
# Usage: test_xfce_desktop.sh <build dir>
set -euo pipefail
build_dir=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
PENDLOW_TEST_DESKTOP=xfce exec "$root/scripts/test-env.sh" "$build_dir/tests/test_app_XfceDesktop"
