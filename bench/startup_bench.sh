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
# Xvfb picks a free display itself and names it once it is ready, so the
# runs never land on another X server that happens to hold a number.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
if ! kill -0 "$xvfb" 2>/dev/null || [ ! -s "$work/display" ]; then
    echo "startup_bench.sh: Xvfb did not start" >&2
    exit 1
fi
display=:$(head -n 1 "$work/display")
mkdir -m 0700 "$work/runtime"
DISPLAY=$display QT_QPA_PLATFORM=xcb HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
    "$build/bench/startup_bench" "$work" "$build/mainwindow/mirado" "$build/bench/startup_floor" "$runs"
