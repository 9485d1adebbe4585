#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Mirado needs. Without options: what building
# and running it need. With --test: also what the tests, the sanitizer and
# fuzz builds and the package check need. Does nothing when all of them are
# already present.
#
#   scripts/install-deps.sh [--test]
set -euo pipefail

# Building and running.
build_packages=(
  build-essential
  cmake
  ninja-build
  pkg-config
  qt6-base-dev
  qt6-base-dev-tools
  qt6-charts-dev
  libqt6opengl6-dev
  qt6-svg-dev
  libqt6svg6
  qt6-qpa-plugins
  qt6-translations-l10n
  libgl-dev
  libxkbcommon-dev
  liberfa-dev
  librsvg2-bin
  help2man
  fonts-ipafont-gothic
  fonts-ipafont-mincho
  fonts-dejavu-core
  fonts-liberation
)

# Tests, benchmarks, sanitizers, fuzzing and the package check.
test_packages=(
  clang
  libclang-rt-dev
  llvm
  clang-format
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  xvfb
  x11-utils
  libx11-dev
  xauth
  poppler-utils
  python3
  locales
  file
  lintian
  appstream
  desktop-file-utils
)

packages=("${build_packages[@]}")
case "${1:-}" in
  "") ;;
  --test) packages+=("${test_packages[@]}") ;;
  *) echo "usage: $0 [--test]" >&2; exit 2 ;;
esac

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
