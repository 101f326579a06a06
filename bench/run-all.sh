#!/usr/bin/env bash
# Runs every benchmark of a build: each bench_* executable in <build dir>/bench, then every script
# bench/*.sh other than this one, given the build directory. Fails when one of them fails.
# Usage: bench/run-all.sh <bench build dir>   (make bench runs it inside scripts/test-env.sh)
set -uo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 <bench build dir>" >&2
    exit 2
fi
build_dir=$(cd "$1" && pwd) || exit 2
here=$(cd "$(dirname "$0")" && pwd)
status=0

for program in "$build_dir"/bench/bench_*; do
    [ -f "$program" ] && [ -x "$program" ] || continue
    echo "== $(basename "$program")"
    "$program" || status=1
done

for script in "$here"/*.sh; do
    [ "$(basename "$script")" = run-all.sh ] && continue
    [ -f "$script" ] || continue
    echo "== $(basename "$script")"
    bash "$script" "$build_dir" || status=1
done

exit $status
