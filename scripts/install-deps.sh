#!/usr/bin/env bash
# Installs the Debian 12 packages Pendlow needs to build, run and test.
# Idempotent and quiet: when everything is present it only checks.
# Usage: scripts/install-deps.sh [build|test]   (build = build + run-time packages; test = those + test
# tools)
set -euo pipefail

mode=${1:-build}

build_pkgs=(
  build-essential cmake ninja-build pkg-config clang-16 libclang-rt-16-dev
  qt6-base-dev qt6-svg-dev qt6-webengine-dev qcoro-qt6-dev qtkeychain-qt6-dev
  libxcb1-dev libxcb-ewmh-dev libxcb-screensaver0-dev libsystemd-dev liblz4-dev
  libsecret-1-0 qt6-qpa-plugins
)
# What the application needs at run time besides its libraries: a colour emoji font, without which
# the emoji of the tray label and the notification titles show as boxes.
run_pkgs=(
  fonts-noto-color-emoji
)
test_pkgs=(
  xvfb trayer dbus gnome-keyring libgl1-mesa-dri fonts-dejavu-core
  clang-format libbenchmark-dev libxcb-xtest0-dev x11-utils xdotool time llvm-16 zlib1g-dev liblz4-dev
  openbox xfwm4 xfce4-panel xfconf dunst
)

pkgs=("${build_pkgs[@]}" "${run_pkgs[@]}")
if [ "$mode" = test ]; then
  pkgs+=("${test_pkgs[@]}")
fi

missing=()
for p in "${pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq >/dev/null
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
