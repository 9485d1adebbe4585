#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs every Debian package Mirado needs to build, run and test.
# Does nothing when all of them are already present.
set -euo pipefail

packages=(
  build-essential
  cmake
  ninja-build
  pkg-config
  clang
  libclang-rt-dev
  llvm
  clang-format
  qt6-base-dev
  qt6-base-dev-tools
  qt6-charts-dev
  libqt6opengl6-dev
  qt6-svg-dev
  libqt6svg6
  qt6-qpa-plugins
  libgl-dev
  libxkbcommon-dev
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  liberfa-dev
  fonts-ipafont-gothic
  fonts-ipafont-mincho
  xvfb
  xauth
  poppler-utils
  locales
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
