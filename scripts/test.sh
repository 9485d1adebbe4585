#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Mirado and runs every test headless, then the whole suite again
# under AddressSanitizer and UndefinedBehaviorSanitizer, then each fuzz target
# for a few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/build.sh --test
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --parallel "$(nproc)"

bash scripts/test-sanitized.sh
bash scripts/fuzz.sh
