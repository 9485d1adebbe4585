#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what Mirado needs, then configures and builds it in build/.
# Without options: the program and mirado-night only. With --test: also the
# tests and the benchmarks, with the packages they need.
#
#   scripts/build.sh [--test]
set -euo pipefail
cd "$(dirname "$0")/.."

extras=OFF
case "${1:-}" in
  "") ;;
  --test) extras=ON ;;
  *) echo "usage: $0 [--test]" >&2; exit 2 ;;
esac

bash scripts/install-deps.sh ${1:+"$1"}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMIRADO_BUILD_TESTS="$extras" -DMIRADO_BUILD_BENCH="$extras"
cmake --build build --parallel "$(nproc)"
