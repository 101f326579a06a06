#!/usr/bin/env bash
# QtWebEngine stays out of the tray process: pendlow links none of its libraries, directly or
# through another library, and the running application has none mapped. pendlow-web does link it,
# which shows that the check would see it.
# Usage: test_tray_without_webengine.sh <build dir>   (inside scripts/test-env.sh)
set -euo pipefail
build_dir=$1
APP_PID=""
cleanup() { set +e; [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null; }
trap cleanup EXIT

if ldd "$build_dir/pendlow" | grep -i webengine; then
    echo "FAIL: pendlow links QtWebEngine"
    exit 1
fi
# Read ldd's whole output first: `grep -q` in a pipe may end ldd early, which pipefail counts as a failure.
helper_libraries=$(ldd "$build_dir/pendlow-web")
grep -q 'libQt6WebEngineWidgets' <<<"$helper_libraries" || { echo "FAIL: the check does not see QtWebEngine"; exit 1; }

log=$(mktemp)
PENDLOW_CLICKUP_API_URL=http://127.0.0.1:9/api/v2 "$build_dir/pendlow" >"$log" 2>&1 &
APP_PID=$!
for _ in $(seq 1 100); do
    grep -q 'libQt6Widgets' "/proc/$APP_PID/maps" 2>/dev/null && break
    sleep 0.05
done
sleep 0.5
kill -0 "$APP_PID" 2>/dev/null || { echo "FAIL: pendlow exited"; cat "$log"; exit 1; }
grep -q 'libQt6Widgets' "/proc/$APP_PID/maps" || { echo "FAIL: cannot read the maps of pendlow"; exit 1; }
if grep -i webengine "/proc/$APP_PID/maps"; then
    echo "FAIL: pendlow has QtWebEngine mapped"
    exit 1
fi
echo "PASS: pendlow neither links nor maps QtWebEngine"
