#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Mirado with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan/ (benchmarks left out) and runs every test headless under them,
# in a random order, while the user's real single-instance lock is held.
# Any report, from a test or from a program a test starts, fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --test
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMIRADO_SANITIZE=ON -DMIRADO_BUILD_BENCH=OFF
cmake --build build-asan --parallel "$(nproc)"

# Reports go to files, printed after the run, so that one from a program
# whose exit status a test does not look at still fails it.
logs=$PWD/build-asan/sanitizer-logs
rm -rf "$logs"
mkdir -p "$logs"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1:log_path=$logs/asan"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$logs/ubsan"
status=0
bash scripts/with-real-lock.sh build-asan/tests/lock/lock_holder \
    ctest --test-dir build-asan --output-on-failure --parallel "$(nproc)" --schedule-random ||
    status=$?

if compgen -G "$logs/*" > /dev/null; then
    echo "Sanitizer reports:"
    cat "$logs"/*
    exit 1
fi
exit "$status"
