#!/usr/bin/env bash
# `make install` (after its build, `cmake --install <build dir> --prefix PREFIX`) puts the binary,
# the desktop file and the icon under a temporary prefix; the desktop file names the installed
# program and the icon the notifications name ("pendlow"), and the Makefile's install target runs
# that very command.
# Usage: test_install.sh <build dir>
set -euo pipefail
build_dir=$1
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build_dir" --prefix "$prefix" >/dev/null
[ -x "$prefix/bin/pendlow" ] || fail "bin/pendlow not installed"
desktop="$prefix/share/applications/pendlow.desktop"
icon="$prefix/share/icons/hicolor/scalable/apps/pendlow.svg"
[ -f "$desktop" ] || fail "the desktop file is not installed"
[ -f "$icon" ] || fail "the icon is not installed"
grep -qx 'Type=Application' "$desktop" || fail "desktop file: no Type=Application"
grep -qx 'Exec=pendlow' "$desktop" || fail "desktop file: Exec is not pendlow"
grep -qx 'Icon=pendlow' "$desktop" || fail "desktop file: Icon is not pendlow"
grep -q '<svg' "$icon" || fail "the icon is not an SVG drawing"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop file"
fi

# The Makefile's target installs with the same command, into PREFIX.
plan=$(make -s -n -C "$source_dir" install BUILD_DIR="$build_dir" PREFIX="$prefix" 2>/dev/null)
grep -q "cmake --install $build_dir --prefix $prefix" <<<"$plan" || fail "make install does not run cmake --install"
echo "installed: $(cd "$prefix" && find . -type f | sort | tr '\n' ' ')"
