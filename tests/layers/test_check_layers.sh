#!/usr/bin/env bash
# The layering check: a tree that keeps the rules passes; each kind of offending include fails the
# check and is reported with its file and line.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
script="$here/../../scripts/check-layers.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

make_tree() { # make_tree <dir>: a small tree that keeps every rule
    local dir=$1
    mkdir -p "$dir/scripts" "$dir/src/core" "$dir/src/platform" "$dir/src/services/clickup" \
        "$dir/src/services/tools" "$dir/src/ui/kit" "$dir/src/ui/clickup" \
        "$dir/src/ui/menubar" "$dir/src/app" "$dir/src/web"
    cp "$script" "$dir/scripts/"
    printf '#pragma once\n#include <QString>\n' >"$dir/src/core/Log.h"
    printf '#include "core/Log.h"\n' >"$dir/src/platform/Tray.h"
    printf '#include "platform/Tray.h"\n#include <QObject>\n' >"$dir/src/services/clickup/Client.h"
    printf '#include "services/clickup/Client.h"\n' >"$dir/src/services/tools/Planning.h"
    printf '#include "services/tools/Planning.h"\n' >"$dir/src/services/State.h"
    printf '#include "core/Log.h"\n#include <QWidget>\n' >"$dir/src/ui/kit/Row.h"
    printf '#include "services/clickup/Client.h"\n#include "ui/kit/Row.h"\n' >"$dir/src/ui/clickup/Badge.h"
    printf '#include "services/State.h"\n#include "ui/clickup/Badge.h"\n' >"$dir/src/ui/menubar/Popover.h"
    printf '#include "ui/menubar/Popover.h"\n' >"$dir/src/app/App.cpp"
    printf '#include "platform/Tray.h"\n' >"$dir/src/web/main.cpp"
    git -C "$dir" init -q
}

make_tree "$work/clean"
"$work/clean/scripts/check-layers.sh" || {
    echo "FAIL: a tree that keeps the rules was refused" >&2
    exit 1
}

expect_refused() { # expect_refused <name> <file> <content> <expected text>
    local dir="$work/$1"
    make_tree "$dir"
    mkdir -p "$(dirname "$dir/$2")"
    printf '%b' "$3" >"$dir/$2"
    local out
    if out=$("$dir/scripts/check-layers.sh" 2>&1); then
        echo "FAIL ($1): the check passed" >&2
        exit 1
    fi
    if ! grep -qF -- "$4" <<<"$out"; then
        echo "FAIL ($1): expected '$4' in:" >&2
        echo "$out" >&2
        exit 1
    fi
}

expect_refused higher_layer src/core/Bad.h '#pragma once\n\n#include "ui/kit/Row.h"\n' \
    'src/core/Bad.h:3: core includes the higher layer ui: "ui/kit/Row.h"'
expect_refused widgets_in_services src/services/clickup/Bad.cpp '#include <QLabel>\n' \
    'src/services/clickup/Bad.cpp:1: services must not include the Widgets header <QLabel>'
expect_refused higher_area src/services/clickup/Bad.cpp '#include "services/tools/Planning.h"\n' \
    'services/clickup includes the higher area services/tools'
expect_refused root_state src/services/tools/Bad.cpp '#include "services/State.h"\n' \
    'services/tools includes the root state'
expect_refused higher_ui src/ui/kit/Bad.cpp '#include "ui/menubar/Popover.h"\n' \
    'ui/kit includes the higher area ui/menubar'
expect_refused higher_ui_clickup src/ui/clickup/Bad.cpp '#include "ui/menubar/Popover.h"\n' \
    'ui/clickup includes the higher area ui/menubar'
expect_refused kit_uses_root_state src/ui/kit/Bad.cpp '#include "core/Log.h"\n#include "services/State.h"\n' \
    'src/ui/kit/Bad.cpp:2: ui/kit includes services: "services/State.h"'
expect_refused kit_uses_service_area src/ui/kit/Bad.h '#include "services/clickup/Client.h"\n' \
    'ui/kit includes services: "services/clickup/Client.h"'
expect_refused web_uses_services src/web/Bad.cpp '#include "services/State.h"\n' \
    'the web helper may include core and platform only'
echo "check-layers: all cases as expected"
