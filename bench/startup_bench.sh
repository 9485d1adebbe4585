#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts an X server without a window manager and times the main window's
# start against the minimal Qt window's (bench/startup_bench.cpp).
#
#   bench/startup_bench.sh [BUILD_DIR] [RUNS]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(readlink -f "${1:-$src/build}")
runs=${2:-10}
work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$src/examples/tokyo/site.txt" "$src/examples/tokyo/catalogue.txt" "$work/"
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.05; done
mkdir -m 0700 "$work/runtime"
DISPLAY=$display QT_QPA_PLATFORM=xcb HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
    "$build/bench/startup_bench" "$work" "$build/mainwindow/mirado" "$build/bench/startup_floor" "$runs"
