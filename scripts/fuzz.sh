#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets of the plain C++ core with clang in build-fuzz/
# and runs each in turn for SECONDS (default 5), one core at a time. A crash,
# a sanitizer report or a broken property fails the run; the input that did it
# is left in build-fuzz/fuzz/artifacts/.
#
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-5}

bash scripts/install-deps.sh --test
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMIRADO_FUZZ=ON -DMIRADO_FUZZ_SECONDS="$seconds"
cmake --build build-fuzz --parallel "$(nproc)"
ctest --test-dir build-fuzz --output-on-failure
